// Every skin picture that is not a window frame or a page: icons, buttons,
// menu rows, the splash, the sending animation and the two sounds.
#pragma once

#include <string>

namespace tazu::arte {

bool GerarFiguras(const std::string& saida, std::string& erro);

}  // namespace tazu::arte
