// The Tazu client's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::textos {

inline constexpr std::string_view Comunidade = "Tazu"_cp;
inline constexpr std::string_view NomeDoProduto = "Tazu Messenger"_cp;
inline constexpr std::string_view VersaoDoCliente = "1.0 AA"_cp;
inline constexpr std::string_view TipoDoCliente = "P"_cp;

inline constexpr std::string_view SemConexao =
    "Não foi possível estabelecer conexão.\r\n"
    "Certifique-se de que o computador está conectado à Internet."_cp;
inline constexpr std::string_view ComunicacaoPerdida =
    "A comunicação com o servidor \"Tazu Messenger\" foi perdida."_cp;
inline constexpr std::string_view ErroDeComunicacao = "Erro de comunicação com o servidor."_cp;
inline constexpr std::string_view MensagemNaoReconhecida = "Mensagem não reconhecida: "_cp;
inline constexpr std::string_view LinhaLongaDemais =
    "Mensagem não reconhecida: linha maior que 1 MiB."_cp;
inline constexpr std::string_view ComandoInvalido = "Comando inválido: "_cp;
inline constexpr std::string_view CampoRecusadoAntes = "O comando ["_cp;
inline constexpr std::string_view CampoRecusadoDepois =
    "] não foi enviado: um dos seus campos contém quebra de linha ou caractere nulo."_cp;
inline constexpr std::string_view SeparadorRecusadoDepois =
    "] não foi enviado: um dos seus campos contém o caractere §, que separa os campos."_cp;
inline constexpr std::string_view ValorInvalidoAntes = "O servidor enviou um valor inválido em "_cp;
inline constexpr std::string_view ValorInvalidoDepois = "; a mensagem foi ignorada."_cp;
inline constexpr std::string_view SemConexaoComunidade =
    "Não foi possível estabelecer conexão com a comunidade "_cp;
inline constexpr std::string_view UsuarioAntes = "O usuário \""_cp;
inline constexpr std::string_view UsuarioNaoEncontrado = "\" não foi encontrado na comunidade "_cp;
inline constexpr std::string_view SeConectou = " se conectou "_cp;
inline constexpr std::string_view AComunidade = " à comunidade "_cp;
inline constexpr std::string_view RejeitarEmDesenvolvimento =
    "Rejeitar contato ICQ em desenvolvimento"_cp;

inline constexpr std::string_view ComunicadorAntes = "O comunicador "_cp;
inline constexpr std::string_view NaoHabilitado = " não está habilitado."_cp;
inline constexpr std::string_view AguardeLoginAntes = "Aguade: O comunicador \""_cp;
inline constexpr std::string_view AguardeLoginDepois = "\" está em processo de login."_cp;
inline constexpr std::string_view ComunicadorNaoConfigurado =
    "Esse comunicador ainda não foi configurado ou não está ativo no seu Tazu Messenger.\r\n"
    "Utilize a opção \"Comunicadores\" no menu de opções para configurá-lo."_cp;
inline constexpr std::string_view NaoConectadoAoTazu =
    " não está conectado ao Tazu no momento. A mensagem será enviada quando ele se conectar:"_cp;
inline constexpr std::string_view NaoRecebeu = " não recebeu sua mensagem."_cp;

inline constexpr std::string_view OrigemTPC = "por outro cliente PC"_cp;
inline constexpr std::string_view OrigemSMS = "via celular (SMS)"_cp;
inline constexpr std::string_view OrigemJ2M = "via celular (Java)"_cp;
inline constexpr std::string_view OrigemWAP = "via celular (WAP)"_cp;
inline constexpr std::string_view OrigemJ2E = "pela internet"_cp;
inline constexpr std::string_view OrigemOutra = "por outro meio"_cp;

inline constexpr std::string_view Enviando = "Enviando: "_cp;
inline constexpr std::string_view Recebido = "Recebido: "_cp;

}  // namespace tazu::textos
