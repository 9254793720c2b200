// The same login as on the fake runtime, through Qt's event loop and a real
// socket on 127.0.0.1.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "net/qt/QtRuntime.h"
#include "server/ObservadorDeEventos.h"
#include "server/UClientePCTazu.h"
#include "tests/support/LoopQt.h"
#include "tests/support/ServidorRoteirizado.h"

namespace tazu {
namespace {

const std::string S = "\xA7";

TEST(ClienteQt, LoginScrambledMessageAndQuitOverLoopback) {
  test::AplicacaoDeTeste app("cliente_qt");
  net::QtRuntime rt;
  test::ServidorRoteirizado servidor(rt);
  TClientePCTazu cliente(rt);
  cliente.IPServidor = "127.0.0.1";
  cliente.PortaServidor = servidor.Porta();
  cliente.NIU = 1000;
  cliente.Senha = "pw";
  std::vector<std::string> eventos;
  ObservarEventos(cliente, [&](const TEventoDoCliente& e) { eventos.push_back(e.nome); });
  cliente.AoConectarServidor = [](TClientePCTazu& c) { c.Identificar(1); };
  bool fim = false;
  cliente.AoFinalizarAplicativo = [&](TClientePCTazu&) { fim = true; };
  cliente.Conectar();
  ASSERT_TRUE(test::EsperarAte([&] { return cliente.Contatos.Quantidade() == 1; }));
  EXPECT_EQ(cliente.Apelido, "Ana");
  EXPECT_EQ(cliente.Criptografia.Chave, 77);
  cliente.EnviarMensagem(20, {"oi"});
  ASSERT_TRUE(test::EsperarAte([&] { return eventos.back() == "AoReceberMensagemUsuario"; }));
  cliente.Sair();
  ASSERT_TRUE(test::EsperarAte([&] { return fim; }));
  EXPECT_EQ(servidor.recebidas.size(), 4u);
  EXPECT_EQ(servidor.recebidas.at(1), "[CCON]" + S + "pw" + S + "1");
  EXPECT_EQ(std::count(eventos.begin(), eventos.end(), "AoConfirmarEnvio"), 1);
}

}  // namespace
}  // namespace tazu
