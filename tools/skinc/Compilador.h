// Turns descriptor sources into the skin: the ".cap" records, the frame pieces
// sliced from each window's drawn design, and the page pictures.
#pragma once

#include <QImage>
#include <string>

#include "tools/skinc/Fonte.h"

namespace tazu::skinc {

// The window drawn whole at the size of its record, opaque, with the
// transparent key outside its rounded shape.
QImage DesenharJanela(const TDescritorFonte& d);

// Writes the descriptor, the frame pieces (when the source has a frame) and the
// pages under `saida`. Answers false with a message on the first problem.
bool Compilar(const TDescritorFonte& d, const std::string& saida, std::string& erro);

}  // namespace tazu::skinc
