// The client through Qt's event loop and a real socket on 127.0.0.1, against
// a server that plays a transcript: login at key 77, a message each way, quit.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "net/qt/QtRuntime.h"
#include "server/ObservadorDeEventos.h"
#include "server/UClientePCTazu.h"
#include "tests/support/Expect.h"
#include "tests/support/LoopQt.h"
#include "tests/support/TazuDialect.h"

namespace tazu {
namespace {

TEST(ClienteQt, LoginEmbaralhadoMensagemESaidaPeloLoopback) {
  test::AplicacaoDeTeste app("cliente_qt");
  net::QtRuntime rt;
  test::TazuDialect dialeto;
  test::ScriptedPeer servidor(R"(
    C: *
    S: [RVER] 1000 0 77
    C: [CCON] pw 1
    S: [RCCA]
    S: [RUAC] 0 Ana
    S: [SACT] 20 Bia A 1 TPC
    C: [CMSG] 20 oi#<RET>#
    S: [SCEM] 20
    S: [CMSG] 20 Bia C "olá Ana"
    C: [CDSC]
    S: [SDSC]
  )", dialeto);
  auto escuta = rt.CreateTcpListener();
  escuta->onAccept = [&](std::unique_ptr<net::TcpSocket> s) { servidor.PlayOver(std::move(s)); };
  ASSERT_TRUE(escuta->Listen("127.0.0.1", 0));

  TClientePCTazu cliente(rt);
  cliente.IPServidor = "127.0.0.1";
  cliente.PortaServidor = escuta->Port();
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
  EXPECT_TRUE(test::Played(servidor));
  EXPECT_EQ(std::count(eventos.begin(), eventos.end(), "AoConfirmarEnvio"), 1);
}

}  // namespace
}  // namespace tazu
