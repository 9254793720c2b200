// However the server's stream is cut into reads, the client raises the same
// events: a message split across reads is kept until it is whole.
#include <gtest/gtest.h>

#include "core/UCriptografia.h"
#include "net/testing/FakeRuntime.h"
#include "server/ObservadorDeEventos.h"
#include "server/UClientePCTazu.h"

namespace tazu {
namespace {

const std::string S = "\xA7";

std::string Fluxo() {
  TCriptografia c;
  c.Chave = 143;
  auto l = [&](const std::string& t) { return c.Embaralhar(t) + "\r\n"; };
  return "[RVER]" + S + "1234" + S + "0" + S + "143\r\n" + l("[RCCA]") +
         l("[RUAC]" + S + "0" + S + "Ana") +
         l("[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" + S + "TPC") +
         l("[SACT]" + S + "21" + S + "Caio\xC0\xD3" + S + "A" + S + "3" + S + "SMS") +
         l("[SNCC]" + S + "21" + S + "Caio" + S + "6" + S + "TPC") +
         l("[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "ol\xE1#<RET>#\xC0\xC0\xD2 \xC9!") +
         l("[CMSG]" + S + "77" + S + "Zeca" + S + "C" + S + "oi") +
         l("[SNMS]" + S + "20" + S + "Bia" + S + "8" + S + "TPC") + l("[SCEM]" + S + "21") +
         l("[SEMS]" + S + "3" + S + "aviso \xA7 geral");
}

std::vector<std::string> Rodar(const std::vector<std::string_view>& leituras) {
  net::FakeRuntime rt;
  TClientePCTazu cliente(rt);
  cliente.IPServidor = "127.0.0.1";
  cliente.PortaServidor = 7498;
  std::vector<std::string> eventos;
  ObservarEventos(cliente, [&](const TEventoDoCliente& e) { eventos.push_back(DescreverEvento(e)); });
  cliente.Conectar();
  rt.RunPending();
  rt.LastPeer().Accept();
  rt.RunPending();
  cliente.Identificar(1);
  for (std::string_view l : leituras) {
    rt.LastPeer().Write(l);
    rt.RunPending();
  }
  eventos.push_back("enviado: " + rt.LastPeer().Take());
  return eventos;
}

TEST(Fluxo, EveryCutGivesTheEventsOfTheWholeStream) {
  const std::string fluxo = Fluxo();
  const std::vector<std::string> inteiro = Rodar({fluxo});
  ASSERT_GE(inteiro.size(), 12u);
  for (std::size_t i = 1; i < fluxo.size(); ++i) {
    const std::string_view f(fluxo);
    // The pending request is settled per read, so the login's reply may move
    // within the events; everything else must be the same, in the same order.
    std::vector<std::string> cortado = Rodar({f.substr(0, i), f.substr(i)});
    std::vector<std::string> esperado = inteiro;
    const std::string resposta = "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")";
    ASSERT_EQ(std::erase(cortado, resposta), 1u) << "cut at " << i;
    std::erase(esperado, resposta);
    ASSERT_EQ(cortado, esperado) << "cut at " << i;
  }
  // Byte by byte, the hardest cut of all.
  std::vector<std::string_view> bytes;
  for (std::size_t i = 0; i < fluxo.size(); ++i) bytes.push_back(std::string_view(fluxo).substr(i, 1));
  std::vector<std::string> umAUm = Rodar(bytes);
  std::vector<std::string> esperado = inteiro;
  const std::string resposta = "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")";
  std::erase(umAUm, resposta);
  std::erase(esperado, resposta);
  EXPECT_EQ(umAUm, esperado);
}

}  // namespace
}  // namespace tazu
