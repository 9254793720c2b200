// File formats the skin ships that Qt does not write: WAV sounds and animated
// GIF movies.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace tazu::arte {

// 16-bit mono PCM; samples in [-1, 1] are clipped.
bool GravarWav(const std::string& caminho, const std::vector<float>& amostras, int taxa);

// Frames of one size, looping forever, `atraso` hundredths of a second apart.
// Pixels with alpha below half are transparent.
bool GravarGif(const std::string& caminho, const std::vector<QImage>& quadros, int atraso,
               std::string& erro);

}  // namespace tazu::arte
