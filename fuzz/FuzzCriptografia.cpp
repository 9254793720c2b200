// Unscrambling takes any bytes a peer or a damaged file may hold; scrambling
// must give every text back and never emit a byte a line reader splits on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/UCriptografia.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string entrada(reinterpret_cast<const char*>(data), size);
  tazu::TCriptografia c;
  (void)c.Desembaralhar(entrada);
  if (size > 0) c.Chave = data[0];
  const std::string e = c.Embaralhar(entrada);
  if (e.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
  if (c.Desembaralhar(e) != entrada) std::abort();
  return 0;
}
