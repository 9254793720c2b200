// Sounds: a WAV file of the skin played without waiting for it to end.
#pragma once

#include <string>

namespace tazu {

// Starts playing the file and returns at once. Silent when the machine has no
// sound device or the file is missing: a sound is never worth an error box.
void TocarSom(const std::string& arquivo);

}  // namespace tazu
