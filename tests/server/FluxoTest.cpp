// However the server's stream is cut into reads, the client raises the same
// events: a message split across reads is kept until it is whole.
#include <gtest/gtest.h>

#include "tests/support/TazuClientRig.h"

namespace tazu::test {
namespace {

std::string Fluxo() {
  TazuDialect d;
  std::string fluxo;
  for (const char* linha : {
           "[RVER] 1234 0 143", "[RCCA]", "[RUAC] 0 Ana", "[SACT] 20 Bia A 1 TPC",
           "[SACT] 21 Caio\\xC0\\xD3 A 3 SMS", "[SNCC] 21 Caio 6 TPC",
           "[CMSG] 20 Bia C \"olá#<RET>#\\xC0\\xC0\\xD2 É!\"", "[CMSG] 77 Zeca C oi",
           "[SNMS] 20 Bia 8 TPC", "[SCEM] 21", "[SEMS] 3 \"aviso \\xA7 geral\""})
    fluxo += d.Encode(linha, false);
  return fluxo;
}

std::vector<std::string> Rodar(const std::vector<std::string_view>& leituras) {
  TazuClientRig rig;
  rig.Connect();
  rig.cliente.Identificar(1);
  for (std::string_view l : leituras) rig.ServerSendsRaw(l);
  std::vector<std::string> eventos = rig.TakeEvents();
  eventos.push_back("enviado: " + rig.TakeSent());
  // The pending request is settled per read, so the login's reply may move
  // within the events; everything else must be the same, in the same order.
  EXPECT_EQ(std::erase(eventos, "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")"), 1u);
  return eventos;
}

TEST(Fluxo, QualquerCorteDaOsEventosDoFluxoInteiro) {
  const std::string fluxo = Fluxo();
  const std::string_view f(fluxo);
  const std::vector<std::string> inteiro = Rodar({f});
  ASSERT_GE(inteiro.size(), 11u);
  for (std::size_t i = 1; i < fluxo.size(); ++i)
    ASSERT_EQ(Rodar({f.substr(0, i), f.substr(i)}), inteiro) << "cut at " << i;
  // Byte by byte, the hardest cut of all.
  std::vector<std::string_view> bytes;
  for (std::size_t i = 0; i < fluxo.size(); ++i) bytes.push_back(f.substr(i, 1));
  EXPECT_EQ(Rodar(bytes), inteiro);
}

}  // namespace
}  // namespace tazu::test
