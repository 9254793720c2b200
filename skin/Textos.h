// The skinned windows' own words, as Windows-1252 bytes.
#pragma once

#include <string_view>

#include "base/Cp1252.h"

namespace tazu::textos_skin {

inline constexpr std::string_view TituloErro = "Erro"_cp;
inline constexpr std::string_view TituloInformacao = "Informação"_cp;
inline constexpr std::string_view TituloMensagemDeSistema = "Mensagem de Sistema"_cp;
inline constexpr std::string_view TituloConfirmacao = "Confirmação"_cp;

}  // namespace tazu::textos_skin
