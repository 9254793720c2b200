// The Yahoo session's and adapter's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::yahoo::textos {

inline constexpr std::string_view NomeComunicador = "Yahoo"_cp;
inline constexpr std::string_view NomeComunidade = "Yahoo! Messenger"_cp;
inline constexpr std::string_view GrupoPadrao = "Tazu"_cp;

// Login failures.
inline constexpr std::string_view UsuarioOuSenhaInvalidos = "Usuário e/ou Senha inválidos"_cp;
inline constexpr std::string_view FalhaAoConectar = "Falha ao tentar conectar-se ao servidor"_cp;

// Debug lines.
inline constexpr std::string_view Recebido = "\r\nRecebido: \r\nServiço = $"_cp;
inline constexpr std::string_view Enviando = "\r\nEnviando: \r\nServiço = $"_cp;
inline constexpr std::string_view StatusDoPacote = "; Packet Status = $"_cp;
inline constexpr std::string_view Chave = "Key = "_cp;
inline constexpr std::string_view Valor = "; Value = "_cp;
inline constexpr std::string_view TamanhoDifere =
    "\r\nErro: \r\nTamanho do Pacote difere do informado em cabeçalho."_cp;
inline constexpr std::string_view ItemRuim =
    "\r\nErro ao gerar item de pacote (próximo pacote): Key = "_cp;
inline constexpr std::string_view CabecalhoInvalido =
    "\r\nErro: \r\nCabeçalho de pacote inválido; a conexão foi encerrada."_cp;
inline constexpr std::string_view NumeroInvalidoAntes =
    "\r\nErro: \r\nValor não numérico na chave "_cp;
inline constexpr std::string_view NumeroInvalidoDepois = "; o par foi ignorado."_cp;
inline constexpr std::string_view SementeInvalida =
    "\r\nErro: \r\nDesafio de autenticação inválido; a conexão foi encerrada."_cp;
inline constexpr std::string_view LoginSemResposta =
    "\r\nErro: \r\nO servidor não concluiu o login em 60 segundos; a conexão foi encerrada."_cp;
inline constexpr std::string_view NaoManipulado = "Serviço não manipulado recebido: "_cp;
inline constexpr std::string_view Desconhecido = "Serviço desconhecido recebido: "_cp;
inline constexpr std::string_view ChaveDeStatus = "Chave de Status desconhecida: "_cp;
inline constexpr std::string_view ChaveDeMensagem = "Chave de Mensagem desconhecida: "_cp;

// A message to a contact who is offline.
inline constexpr std::string_view NaoRecebeu =
    " não recebeu sua mensagem pois está desconectado."_cp;
inline constexpr std::string_view SeraRecebida = "Sua mensagem será recebida quando "_cp;
inline constexpr std::string_view SeConectar = " se conectar:"_cp;

}  // namespace tazu::yahoo::textos
