// The core's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::textos {

inline constexpr std::string_view ForaDaLista = "Fora da Lista."_cp;

inline constexpr std::string_view StatusConectado = "Conectado"_cp;
inline constexpr std::string_view StatusInvisivel = "Invisível"_cp;
inline constexpr std::string_view StatusDesconectado = "Desconectado"_cp;
inline constexpr std::string_view StatusNaoPerturbe = "Não Perturbe"_cp;
inline constexpr std::string_view StatusOcupado = "Ocupado"_cp;
inline constexpr std::string_view StatusLivreParaChat = "Livre para \"Chat\""_cp;
inline constexpr std::string_view StatusLonge = "Longe"_cp;
inline constexpr std::string_view StatusDesconhecido = "Desconhecido"_cp;
inline constexpr std::string_view StatusInativo = "Inativo"_cp;
inline constexpr std::string_view StatusVoltoJa = "Volto já"_cp;
inline constexpr std::string_view StatusAoTelefone = "Ao telefone"_cp;
inline constexpr std::string_view StatusHorarioDeAlmoco = "Horário de almoço"_cp;
inline constexpr std::string_view StatusForaDeCasa = "Fora de casa"_cp;
inline constexpr std::string_view StatusForaDoEscritorio = "Fora do escritório"_cp;
inline constexpr std::string_view StatusDeFerias = "De férias"_cp;
inline constexpr std::string_view StatusFuiEmbora = "Fui embora"_cp;

// Saving a user on this computer.
inline constexpr std::string_view NaoCabeAntes =
    "Não foi possível guardar o usuário neste computador: o campo \""_cp;
inline constexpr std::string_view NaoCabeDepois =
    "\" é longo demais para o arquivo de usuários."_cp;
inline constexpr std::string_view NumeroInvalido = "Número de usuário inválido: "_cp;
inline constexpr std::string_view CampoApelido = "Apelido"_cp;
inline constexpr std::string_view CampoSenha = "Senha"_cp;
inline constexpr std::string_view CampoNumeroICQ = "Número do ICQ"_cp;
inline constexpr std::string_view CampoSenhaICQ = "Senha do ICQ"_cp;
inline constexpr std::string_view CampoEmailMSN = "E-mail do MSN"_cp;
inline constexpr std::string_view CampoSenhaMSN = "Senha do MSN"_cp;
inline constexpr std::string_view CampoIdYahoo = "Identificação do Yahoo"_cp;
inline constexpr std::string_view CampoSenhaYahoo = "Senha do Yahoo"_cp;

inline constexpr std::string_view Sim = "Sim"_cp;
inline constexpr std::string_view Nao = "Não"_cp;

}  // namespace tazu::textos
