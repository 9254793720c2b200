// What a hostile or broken client gets: RERR with a number and a text, or a
// clean disconnect; never a crash, never someone else's data.
#include <gmock/gmock.h>

#include <random>

#include "tests/tazud/Ambiente.h"

namespace tazu::tazud::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class EntradaRuim : public Ambiente {
 protected:
  void SetUp() override {
    config_.errosTolerados = 1000;
    Iniciar();
    ana_ = Criar("ana", "a");
    bia_ = Criar("bia", "b", false, /*privado=*/true);
  }

  // Every answer to `linha` is an RERR with a number and a Portuguese text, and
  // the connection stays usable.
  void EsperarRecusa(TCliente& c, const std::string& linha) {
    c.Enviar(linha);
    Rodar();
    const auto respostas = c.Receber();
    ASSERT_FALSE(respostas.empty()) << "no answer to " << linha;
    for (const auto& r : respostas) {
      std::string resto = r;
      EXPECT_EQ(LerComando(resto), "RERR") << linha << " -> " << r;
      uint32_t numero = 0;
      EXPECT_TRUE(LerNumero(ProximoCampo(resto, Separador), 100000, numero)) << r;
      EXPECT_FALSE(resto.empty()) << r;
    }
    ASSERT_FALSE(c.Fechado()) << linha;
    c.Enviar(L("CPNG"));
    Rodar();
    EXPECT_THAT(c.Receber(), ElementsAre(L("RPNG"))) << "after " << linha;
  }

  Niu ana_ = 0, bia_ = 0;
};

TEST_F(EntradaRuim, EveryCatalogueCommandMalformedIsRefused) {
  TCliente& a = Entrar(ana_, "a");
  a.Receber();
  const std::string S = "\xA7";
  const std::vector<std::string> malformadas = {
      "[CACL]",
      "[CACL]" + S + "abc",
      "[CACL]" + S + "-1",
      "[CACL]" + S + "70000",
      "[CACL]" + S + "0",
      "[CACL]" + S + "9999",
      "[CACL]" + S + std::to_string(ana_),
      "[CRCL]",
      "[CRCL]" + S + "1e3",
      "[CPAC]",
      "[CPAC]" + S + "x" + S + "texto",
      "[CPAC]" + S + "9999" + S + "t",
      "[CAAC]",
      "[CAAC]" + S + " 12",
      "[CAAC]" + S + std::to_string(bia_),
      "[CRAC]",
      "[CRAC]" + S + "+5",
      "[CRAC]" + S + std::to_string(bia_),
      "[CMSG]",
      "[CMSG]" + S + "x" + S + "oi",
      "[CMSG]" + S + "9999" + S + "oi",
      "[CMSG]" + S,
      "[CNMS]",
      "[CNMS]" + S + "x",
      "[CNMS]" + S + "3",
      "[CNMS]" + S + "4",
      "[CNMS]" + S + "300",
      "[CRIU]",
      "[CRIU]" + S + "0",
      "[CRIU]" + S + "0" + S + "y",
      "[CRIU]" + S + "0" + S + "9999",
      "[CADC]",
      "[CADC]" + S + "3" + S + "x",
      "[CADC]" + S + "x",
      "[CADC]" + S + "2" + std::string(12, '\xA7'),
      "[CSCM]",
      "[CSCM]" + S + "1" + S + "2",
      "[CCCT]",
      "[CCCT]" + S + "z",
      "[CCCT]" + S + std::to_string(bia_),
      "[CRBS]",
      "[CRBS]" + S + "9" + S + "x",
      "[CRBS]" + S + "x" + S + "y",
      "[CRBS]" + S + "5" + S + "so",
      "[CFNT]",
      "[CFNT]" + S + "dois",
      "[CVER]" + S + "1" + S + "2" + S + "1000" + S + "1.0 AA" + S + "P" + S + "Tazu Messenger",
      "[CCON]" + S + "a" + S + "1",
      "[CCUS]" + S + "1.0 AA",
      "[XXXX]" + S + "a",
      "[cpng]",
      "[SACT]" + S + "1",
      "hello",
      "[]" + S + "x",
      "[CPNG",
  };
  for (const std::string& linha : malformadas) {
    SCOPED_TRACE(linha);
    EsperarRecusa(a, linha);
  }
  EXPECT_EQ(servidor_->Conectados(), 1u);
}

TEST_F(EntradaRuim, CommandsBeforeLoginAndMalformedIdentification) {
  TCliente& c = Conectar();
  const std::string S = "\xA7";
  for (const std::string& linha :
       {L("CMSG", {"1000", "oi"}), L("CRLC"), L("CRIU", {"0", "1000"}), L("CCON", {"a", "1"}),
        "[CVER]" + S + "1" + S + "2" + S + "x" + S + "v" + S + "P" + S + "T",
        "[CVER]" + S + "1" + S + "2",
        "[CVER]" + S + "1" + S + "2" + S + "1000" + S + "v" + S + "P" + S + "T" + S + "x",
        "[CCUS]" + S + "1.0 AA" + S + "so isso"}) {
    SCOPED_TRACE(linha);
    EsperarRecusa(c, linha);
  }
  EXPECT_EQ(servidor_->Conectados(), 0u);
}

TEST_F(EntradaRuim, OversizedLinesAndTooManyErrorsCloseTheConnection) {
  config_.limiteDeLinha = 1000;
  config_.errosTolerados = 3;
  Reiniciar();
  TCliente& a = Conectar();
  a.Peer().Write(std::string(600, 'x'));
  Rodar();
  EXPECT_FALSE(a.Fechado()) << "an unfinished line within the bound waits";
  a.Peer().Write(std::string(600, 'x'));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(StartsWith("[RERR]\xA7"
                                                  "105")));
  EXPECT_TRUE(a.Fechado());

  TCliente& b = Conectar();
  for (int i = 0; i < 4; ++i) b.Enviar("lixo");
  Rodar();
  const auto r = b.Receber();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_THAT(r.back(), StartsWith("[RERR]\xA7"
                                   "118"));
  EXPECT_TRUE(b.Fechado());
}

TEST_F(EntradaRuim, BinaryGarbageNeverCrashesNorReachesAnotherUser) {
  config_.errosTolerados = 1'000'000;
  Reiniciar();
  TCliente& b = Entrar(bia_, "b");
  b.Receber();
  std::mt19937 rng(7);
  for (int rodada = 0; rodada < 40; ++rodada) {
    TCliente& c = rodada % 2 ? Entrar(ana_, "a") : Conectar();
    for (int i = 0; i < 50; ++i) {
      std::string lixo(rng() % 300, '\0');
      for (char& ch : lixo) ch = static_cast<char>(rng());
      c.Peer().Write(lixo);
    }
    Rodar();
  }
  for (const auto& l : b.Receber()) {
    EXPECT_THAT(l,
                ::testing::AnyOf(StartsWith("[CMSG]"), StartsWith("[SNIL]"), StartsWith("[SPAC]")))
        << "only what another user may send her";
  }
  EXPECT_THAT(falhas_, IsEmpty());
}

TEST_F(EntradaRuim, AnotherUsersDataIsNeverHandedOut) {
  TCliente& a = Entrar(ana_, "a");
  a.Receber();
  // Bia does not publish; she never wrote to Ana; Ana cannot read her entry,
  // her information or her accounts.
  a.Enviar(L("CCCT", {std::to_string(bia_)}));
  a.Enviar(L("CRIU", {"0", std::to_string(bia_)}));
  a.Enviar(L("CRBS", {"4", "bia@exemplo.com.br"}));
  a.Enviar(L("CRCM"));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(StartsWith("[RERR]\xA7"
                                                  "119"),
                                       L("SUNP", {std::to_string(bia_), "bia"}), L("SFBS"),
                                       L("SECM", {"0", "", "", "0", "", "", "0", "", ""})));
}

TEST_F(EntradaRuim, ConnectionsPerAddressAreBounded) {
  config_.conexoesPorEndereco = 2;
  Reiniciar();
  TCliente& a = Conectar();
  TCliente& b = Conectar();
  TCliente& c = Conectar();
  EXPECT_FALSE(a.Fechado());
  EXPECT_FALSE(b.Fechado());
  EXPECT_THAT(c.Receber(), ElementsAre(StartsWith("[RERR]\xA7"
                                                  "114")));
  EXPECT_TRUE(c.Fechado());
  a.Enviar(L("CDSC"));
  Rodar();
  TCliente& d = Conectar();
  EXPECT_FALSE(d.Fechado()) << "a closed connection frees its place";
}

}  // namespace
}  // namespace tazu::tazud::test
