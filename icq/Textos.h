// The ICQ adapter's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::icq::textos {

inline constexpr std::string_view Rede = "ICQ"_cp;
inline constexpr std::string_view GrupoTazu = "Tazu"_cp;

inline constexpr std::string_view ListaOk = "Ok"_cp;
inline constexpr std::string_view ListaNaoEncontrado = "Contato não encontrado"_cp;
inline constexpr std::string_view ListaJaAdicionado = "Contato já foi adicionado anteriormente"_cp;
inline constexpr std::string_view ListaErroSSL = "Ocorreu um erro SSL"_cp;
inline constexpr std::string_view ListaNaoAutorizado = "Usuário não autorizado"_cp;
inline constexpr std::string_view ListaErroDesconhecido = "Erro desconhecido"_cp;

inline constexpr std::string_view NaoConectado =
    " não está conectado. A mensagem será enviada quando ele se conectar:"_cp;
inline constexpr std::string_view GrupoNaoRemovido =
    "Não foi possível remover o grupo \"Tazu\".\rMotivo: "_cp;

inline constexpr std::string_view Feminino = "Feminino"_cp;
inline constexpr std::string_view Masculino = "Masculino"_cp;

}  // namespace tazu::icq::textos
