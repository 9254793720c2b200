// Where the outside servers are: defaults, the settings file, the variables.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "core/ServidoresExternos.h"
#include "tests/support/RaizTemporaria.h"

namespace tazu {
namespace {

class ServidoresExternos : public ::testing::Test {
 protected:
  void SetUp() override { Limpar(); }
  void TearDown() override { Limpar(); }
  static void Limpar() {
    for (const char* v :
         {"TAZU_SERVIDOR_YAHOO", "TAZU_SERVIDOR_MSN", "TAZU_SERVIDOR_ICQ", "TAZU_PROXY_ICQ"})
      unsetenv(v);
  }
  teste::TRaizTemporaria raiz_;
};

TEST_F(ServidoresExternos, PadroesArquivoEVariaveisNessaOrdem) {
  TServidoresExternos padrao = LerServidoresExternos();
  EXPECT_EQ(padrao.yahoo.porta, 5050);
  EXPECT_EQ(padrao.msn.porta, 1863);
  EXPECT_EQ(padrao.proxyICQ.tipo, TProxy::Tipo::Nenhum);

  raiz_.Escrever("Dados/Servidores.cfg",
                 "# comment\n\nyahoo = 127.0.0.1:7001\r\nmsn=127.0.0.1:7002\nicq=nada\nfoo=1:2\n"
                 "proxy_icq=socks5://ana:s:e@127.0.0.1:1080\n");
  setenv("TAZU_SERVIDOR_MSN", "127.0.0.1:9002", 1);
  std::vector<std::string> avisos;
  const TServidoresExternos s = LerServidoresExternos(&avisos);
  EXPECT_EQ(s.yahoo.host, "127.0.0.1");
  EXPECT_EQ(s.yahoo.porta, 7001);
  EXPECT_EQ(s.msn.porta, 9002);            // the variable wins
  EXPECT_EQ(s.icq.host, padrao.icq.host);  // what does not read stays
  ASSERT_EQ(avisos.size(), 2u);
  EXPECT_NE(avisos[0].find(":5: icq=nada"), std::string::npos) << avisos[0];
  EXPECT_NE(avisos[1].find(":6: foo=1:2"), std::string::npos) << avisos[1];
  EXPECT_EQ(s.proxyICQ.tipo, TProxy::Tipo::Socks5);
  EXPECT_EQ(s.proxyICQ.usuario, "ana");
  EXPECT_EQ(s.proxyICQ.senha, "s:e");

  ASSERT_TRUE(GravarServidoresExternos(s));
  EXPECT_EQ(teste::TRaizTemporaria::Modo(raiz_ / "Dados/Servidores.cfg"), 0600u);
  unsetenv("TAZU_SERVIDOR_MSN");
  const TServidoresExternos relido = LerServidoresExternos();
  EXPECT_EQ(relido.msn.porta, 9002);
  EXPECT_EQ(EscreverProxy(relido.proxyICQ), "socks5://ana:s:e@127.0.0.1:1080");
}

TEST(Enderecos, OQueLeEOQueNao) {
  struct Caso {
    const char* texto;
    bool le;
    const char* host;
    uint16_t porta;
  };
  for (const Caso& c :
       {Caso{"a.b:1", true, "a.b", 1}, Caso{"[::1]:5190", true, "::1", 5190},
        Caso{"h:65535", true, "h", 65535}, Caso{"h:65536", false, "", 0}, Caso{"h:0", false, "", 0},
        Caso{":80", false, "", 0}, Caso{"h:8x", false, "", 0}, Caso{"h", false, "", 0},
        Caso{"a b:1", false, "", 0}}) {
    TEnderecoServidor e;
    EXPECT_EQ(LerEndereco(c.texto, e), c.le) << c.texto;
    if (c.le) {
      EXPECT_EQ(e.host, c.host);
      EXPECT_EQ(e.porta, c.porta);
    }
  }
  TProxy p;
  for (const char* bom : {"socks4://h:1", "socks4a://h:1", "https://u:p@h:3128", "http://h:80", ""})
    EXPECT_TRUE(LerProxy(bom, p)) << bom;
  for (const char* ruim : {"ftp://h:1", "socks5//h:1", "socks5://h", "socks5://u@"})
    EXPECT_FALSE(LerProxy(ruim, p)) << ruim;
  ASSERT_TRUE(LerProxy("socks4a://h:1", p));
  EXPECT_TRUE(p.ResolveNomes());
}

}  // namespace
}  // namespace tazu
