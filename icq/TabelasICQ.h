// ICQ's numeric codes for countries, languages and occupations, with the
// English names of the public ICQ code lists; unknown codes read "Unknown".
#pragma once

#include <cstdint>
#include <string_view>

namespace tazu::icq {

std::string_view NomeDoPais(uint16_t codigo);
std::string_view NomeDoIdioma(uint8_t codigo);
std::string_view NomeDaOcupacao(uint16_t codigo);

}  // namespace tazu::icq
