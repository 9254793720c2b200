// The MSN subsystem's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::msn::textos {

inline constexpr std::string_view UsuarioOuSenhaInvalidos = "Usuário e/ou Senha inválidos"_cp;
inline constexpr std::string_view FalhaAoConectar = "Falha ao tentar conectar-se ao servidor"_cp;

// Log lines of the notification connection.
inline constexpr std::string_view ComandoRecebido = "-> Comando recebido: "_cp;
inline constexpr std::string_view ComandoDesconhecido = "-> Comando desconhecido: "_cp;
inline constexpr std::string_view Argumentos = "       Argumentos: "_cp;
inline constexpr std::string_view Desafio = "** Challenge: "_cp;
inline constexpr std::string_view Enviado = "<- Enviado: "_cp;
inline constexpr std::string_view PerfilRecebido = "-> Perfil de Usuário Recebido.\r\n"_cp;
inline constexpr std::string_view AvisoDeEmail = "-> Notificação de E-Mail recebida.\r\n"_cp;

// Log lines of the switchboard sessions.
inline constexpr std::string_view SessaoIniciada = "** Sessão Iniciada ("_cp;
inline constexpr std::string_view SessaoEncerrada = "** Sessão Encerrada ("_cp;
inline constexpr std::string_view EnviandoNaSessao = "<- Enviando (Sessão "_cp;
inline constexpr std::string_view RecebidoNaSessao = "-> Comando recebido (Sessao "_cp;
inline constexpr std::string_view EnviandoMensagem = "<- Enviando Mensagem (Sessão "_cp;
inline constexpr std::string_view Tamanho = "). Tamanho = "_cp;

// The adapter's answers to a message that cannot go.
inline constexpr std::string_view NomeDaComunidade = "MSN Messenger"_cp;
inline constexpr std::string_view ErroAoEnviar =
    "Ocorreu um erro ao tentar enviar mensagem para o servidor. Mensagem:\r\n"_cp;
inline constexpr std::string_view NaoEnviaInvisivel =
    "O protocolo MSN Messenger não envia mensagem no \"status\" invisível (Aparecer "
    "desconectado). Mensagem:\r\n"_cp;
inline constexpr std::string_view NaoEnviaDesconectado =
    "O protocolo MSN Messenger não suporta envios para usuários desconectados. Mensagem:\r\n"_cp;

}  // namespace tazu::msn::textos
