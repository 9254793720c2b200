// The server's one-line packing: the shared codec's bytes for any line, and
// never more than one line whatever the line holds.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/ProtocoloTazu.h"
#include "tazud/Envio.h"

namespace tazu::tazud {
namespace {

TEST(Envio, SempreUmaLinhaEOsBytesDoCodecComumQuandoNadaHaAConsertar) {
  // Bytes that matter to framing, trimming and scrambling, and plain ones.
  const std::string alfabeto =
      std::string("\r\n \t\x01\xA7\xC0\xFF\x80[]#<>aZ09", 18) + std::string(1, '\0');
  std::mt19937 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    std::string linha;
    const int tamanho = static_cast<int>(rng() % 40);
    for (int j = 0; j < tamanho; ++j) linha += alfabeto[rng() % alfabeto.size()];
    TCriptografia cripto;
    cripto.Chave = static_cast<uint8_t>(i % 3 == 0 ? 0 : rng() % 256);
    std::string saida = "antes";
    const bool inteira = AnexarLinha(saida, linha, cripto);
    const bool temQuebra = linha.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    ASSERT_EQ(inteira, !temQuebra);
    if (inteira) {
      ASSERT_EQ(saida, "antes" + PrepararEnvio(linha, cripto))
          << "line of " << linha.size() << " bytes, key " << int(cripto.Chave);
      continue;
    }
    // Mended: one line, whose text holds no CR, LF or NUL once unscrambled.
    const std::string bytes = saida.substr(5);
    ASSERT_GE(bytes.size(), 2u);
    ASSERT_EQ(bytes.find_first_of(std::string("\r\n\0", 3)), bytes.size() - 2);
    const std::string texto = AbrirLinha(bytes.substr(0, bytes.size() - 2), cripto);
    ASSERT_EQ(texto.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
  }
}

}  // namespace
}  // namespace tazu::tazud
