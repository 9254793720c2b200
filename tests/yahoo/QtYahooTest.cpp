// The Yahoo adapter on Qt's event loop against the simulated server and its
// echo bot, over real sockets on 127.0.0.1.
#include <gtest/gtest.h>

#include "net/qt/QtRuntime.h"
#include "sim/yahoo/RoboEco.h"
#include "sim/yahoo/ServidorYahoo.h"
#include "tests/support/LoopQt.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ComunicadorYahoo.h"

namespace tazu::test {
namespace {

bool Tem(const std::vector<std::string>& eventos, const std::string& trecho) {
  for (const std::string& e : eventos)
    if (e.find(trecho) != std::string::npos) return true;
  return false;
}

TEST(YahooQt, EntraConversaComOEcoESai) {
  AplicacaoDeTeste app("yahoo_qt");
  net::QtRuntime rt;
  simyahoo::TContasSim contas;
  std::string erro;
  for (const char* linha : {"ana:segredo:Amigos=eco,bia", "eco:e:Amigos=ana", "bia:b"}) {
    simyahoo::TContaSim c;
    ASSERT_TRUE(simyahoo::LerConta(linha, c, erro) && contas.Adicionar(std::move(c), erro));
  }
  simyahoo::TServidorYahoo servidor(rt, contas);
  ASSERT_TRUE(servidor.Escutar("127.0.0.1", 0, erro)) << erro;
  simyahoo::TRoboEco eco(rt, "eco", "e");
  eco.Conectar("127.0.0.1", servidor.Porta());
  ASSERT_TRUE(EsperarAte([&] { return eco.Logado(); }));

  std::vector<std::string> eventos;
  auto ana = std::make_unique<yahoo::TComunicadorYahoo>(rt, 1, "", "1", "segredo", "ana");
  ana->DefinirServidor("127.0.0.1", servidor.Porta());
  ObservarComunicador(*ana, eventos);
  bool desconectou = false;
  ana->OnDesconectar = [&](TInterfaceComunicador&) { desconectou = true; };
  ana->Conectar();
  ASSERT_TRUE(EsperarAte([&] { return Tem(eventos, "Identificador=\"eco\", Status=\"1\""); }));
  EXPECT_TRUE(Tem(eventos, "OnConectar()"));
  EXPECT_TRUE(Tem(eventos, "Identificador=\"bia\", Status=\"3\", Lista=D"));

  ana->EnviarMensagem("1", "eco", "oi eco, ol\xE1");
  ASSERT_TRUE(EsperarAte([&] { return Tem(eventos, "Msg=\"eco: oi eco, ol\xE1\""); }));
  EXPECT_TRUE(Tem(eventos, "OnConfirmaEnvio(Identificador=\"eco\", Recebido=true"));
  EXPECT_EQ(eco.Respondidas(), 1);

  ana->MudarStatus(3);
  ASSERT_TRUE(EsperarAte([&] { return desconectou && !servidor.Online("ana"); }));
}

}  // namespace
}  // namespace tazu::test
