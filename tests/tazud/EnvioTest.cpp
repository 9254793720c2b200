// The server's one-line packing against the shared codec it stands in for.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/ProtocoloTazu.h"
#include "tazud/Envio.h"

namespace tazu::tazud {
namespace {

std::string Empacotar(const std::string& linha, uint8_t chave) {
  TCriptografia cripto;
  cripto.Chave = chave;
  std::string saida = "antes";
  AnexarLinha(saida, linha, cripto);
  return saida;
}

std::string Esperado(const std::string& linha, uint8_t chave) {
  TCriptografia cripto;
  cripto.Chave = chave;
  return "antes" + PrepararEnvio(linha, cripto);
}

TEST(Envio, WritesWhatTheSharedCodecWritesForAnyLine) {
  // Bytes that matter to framing, trimming and scrambling, and plain ones.
  const std::string alfabeto =
      std::string("\r\n \t\x01\xA7\xC0\xFF\x80[]#<>aZ09", 18) + std::string(1, '\0');
  std::mt19937 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    std::string linha;
    const int tamanho = static_cast<int>(rng() % 40);
    for (int j = 0; j < tamanho; ++j) linha += alfabeto[rng() % alfabeto.size()];
    const auto chave = static_cast<uint8_t>(i % 3 == 0 ? 0 : rng() % 256);
    ASSERT_EQ(Empacotar(linha, chave), Esperado(linha, chave))
        << "line of " << linha.size() << " bytes, key " << int(chave);
  }
  for (const std::string& linha : {std::string(), std::string("   "),
                                   std::string("[CMSG]\xA7"
                                               "1\xA7oi  "),
                                   std::string(" [SCEM]\xA7"
                                               "1000"),
                                   std::string("[RPNG]\r\n")}) {
    for (const uint8_t chave : {uint8_t{0}, uint8_t{77}, uint8_t{255}}) {
      EXPECT_EQ(Empacotar(linha, chave), Esperado(linha, chave));
    }
  }
}

}  // namespace
}  // namespace tazu::tazud
