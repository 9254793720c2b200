// tazu-cli's own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::textos::cli {

inline constexpr std::string_view ComandoDesconhecido = "Comando desconhecido: "_cp;
inline constexpr std::string_view Uso = "Uso: "_cp;
inline constexpr std::string_view LoginSemResposta =
    "O servidor não concluiu o login em 30 segundos."_cp;
inline constexpr std::string_view DesconecteSe = ": desconecte-se primeiro (disconnect)."_cp;
inline constexpr std::string_view ComunidadeDesconhecida = "Comunidade desconhecida: "_cp;
inline constexpr std::string_view ComunidadesConhecidas = " (use Tazu, ICQ, MSN ou Yahoo)."_cp;
inline constexpr std::string_view SemServidor = ": sem conexão com o servidor Tazu."_cp;
inline constexpr std::string_view OComunicador = ": o comunicador "_cp;
inline constexpr std::string_view NaoConectado = " não está conectado."_cp;
inline constexpr std::string_view ForaDaLista = " não está na lista de contatos."_cp;
inline constexpr std::string_view HistoricoNaoGravado =
    "Não foi possível gravar no histórico da conversa com "_cp;

}  // namespace tazu::textos::cli
