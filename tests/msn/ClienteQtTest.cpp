// Two MSN clients and the simulator on Qt's event loop, over real sockets on
// 127.0.0.1: login through the dispatch server, a challenge, a message each
// way with accents.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "base/Cp1252.h"
#include "msn/ClienteMSN.h"
#include "net/qt/QtRuntime.h"
#include "sim/msn/SimuladorMSN.h"
#include "tests/support/LoopQt.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

TEST(ClienteMsnQt, ConversaPeloLoopbackComDesafio) {
  AplicacaoDeTeste app("cliente_msn_qt");
  net::QtRuntime rt;
  sim::msn::TConfigSimMSN config;
  config.portaDespacho = 0;
  config.contas = {{"ana@tazu.test", "a", "Ana"}, {"bia@tazu.test", "b", "Bia"}};
  config.contatos = {{"ana@tazu.test", "bia@tazu.test"}, {"bia@tazu.test", "ana@tazu.test"}};
  config.intervaloDeDesafio = std::chrono::milliseconds(300);
  std::vector<std::string> log;
  sim::msn::TSimuladorMSN simulador(rt, config, [&](const std::string& l) { log.push_back(l); });
  ASSERT_TRUE(simulador.Iniciar());

  msn::TClienteMSN ana(rt), bia(rt);
  std::vector<std::string> eventosAna, eventosBia;
  for (auto [c, login, senha, ev] : {std::tuple{&ana, "ana@tazu.test", "a", &eventosAna},
                                     std::tuple{&bia, "bia@tazu.test", "b", &eventosBia}}) {
    c->Identificador = login;
    c->Senha = senha;
    c->DefinirServidor("127.0.0.1", simulador.PortaDespacho());
    RecordMsnEvents(*c, *ev);
    c->Conectar(1);
  }
  const auto tem = [](const std::vector<std::string>& ev, const std::string& e) {
    return std::find(ev.begin(), ev.end(), e) != ev.end();
  };
  ASSERT_TRUE(EsperarAte([&] { return ana.LoggedIn() && bia.LoggedIn(); }));
  ASSERT_TRUE(
      EsperarAte([&] { return tem(eventosAna, "AoMudarStatusContato(bia@tazu.test, Bia, 1)"); }));
  ana.EnviarMensagem("bia@tazu.test", cp1252::FromUtf8("olá, Bia"));
  ASSERT_TRUE(EsperarAte([&] {
    return !eventosBia.empty() && eventosBia.back().find("olá, Bia)") != std::string::npos;
  }));
  bia.EnviarMensagem("ana@tazu.test", cp1252::FromUtf8("ótimo"));
  ASSERT_TRUE(EsperarAte(
      [&] { return eventosAna.back().find("bia@tazu.test, Bia, ótimo)") != std::string::npos; }));
  ASSERT_TRUE(EsperarAte([&] {
    return std::count_if(log.begin(), log.end(), [](const std::string& l) {
             return l.find("tazu@tazumessenger.com.br 32 (+32 bytes)") != std::string::npos;
           }) >= 2;
  }));
  EXPECT_TRUE(ana.LoggedIn()) << "the challenges were answered right";
  EXPECT_TRUE(bia.LoggedIn());
}

}  // namespace
}  // namespace tazu::test
