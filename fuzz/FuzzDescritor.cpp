// Skin descriptors are files anyone may edit or damage. Decoding takes any
// bytes; what decodes writes back to the same records; anchoring any record in
// any parent stays within range (UBSan catches an overflow).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "skin/Descritor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto registros = tazu::DecodificarDescritor(bytes);
  if (registros.size() != size / 224) std::abort();
  const std::string volta = tazu::CodificarDescritor(registros);
  if (volta != bytes.substr(0, registros.size() * 224)) std::abort();
  const int32_t extremos[] = {0, 1, 800, -5, INT32_MAX, INT32_MIN};
  for (const auto& r : registros) {
    for (const int32_t l : extremos) {
      for (const int32_t a : extremos) {
        const tazu::TTamanho pai{l, a};
        (void)tazu::RetanguloDoElemento(r, pai);
        (void)tazu::PosicaoDaJanela(r, pai);
      }
    }
    // On any real screen a window gets a size it can be painted at.
    for (const int32_t l : {640, 1280, 3840}) {
      for (const int32_t a : {480, 1024, 2160}) {
        const tazu::TRetangulo j = tazu::PosicaoDaJanela(r, tazu::TTamanho{l, a});
        if (j.Largura() < 1 || j.Largura() > tazu::TamanhoMaximoDeJanela) std::abort();
        if (j.Altura() < 1 || j.Altura() > tazu::TamanhoMaximoDeJanela) std::abort();
      }
    }
  }
  return 0;
}
