// What a hostile or broken client gets: RERR with a number and a text, or a
// clean disconnect; never a crash, never someone else's data.
#include <gmock/gmock.h>
#include <sqlite3.h>

#include <random>

#include "tests/tazud/Ambiente.h"

namespace tazu::tazud::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
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

TEST_F(EntradaRuim, TodoComandoMalFormadoERecusado) {
  TCliente& a = Logado(ana_, "a");
  const std::string S = "\xA7";
  // clang-format off
  const std::vector<std::string> malformadas = {
      "[CACL]", "[CACL]" + S + "abc", "[CACL]" + S + "-1", "[CACL]" + S + "70000", "[CACL]" + S + "0",
      "[CACL]" + S + "9999", "[CACL]" + S + std::to_string(ana_),
      "[CRCL]", "[CRCL]" + S + "1e3",
      "[CPAC]", "[CPAC]" + S + "x" + S + "texto", "[CPAC]" + S + "9999" + S + "t",
      "[CAAC]", "[CAAC]" + S + " 12", "[CAAC]" + S + std::to_string(bia_),
      "[CRAC]", "[CRAC]" + S + "+5", "[CRAC]" + S + std::to_string(bia_),
      "[CMSG]", "[CMSG]" + S + "x" + S + "oi", "[CMSG]" + S + "9999" + S + "oi", "[CMSG]" + S,
      "[CNMS]", "[CNMS]" + S + "x", "[CNMS]" + S + "3", "[CNMS]" + S + "4", "[CNMS]" + S + "300",
      "[CRIU]", "[CRIU]" + S + "0", "[CRIU]" + S + "0" + S + "y", "[CRIU]" + S + "0" + S + "9999",
      "[CADC]", "[CADC]" + S + "3" + S + "x", "[CADC]" + S + "x", "[CADC]" + S + "2" + std::string(12, '\xA7'),
      "[CSCM]", "[CSCM]" + S + "1" + S + "2",
      // A "§" inside a password: every value after it would move one along.
      "[CSCM]" + S + "1" + S + "123456" + S + "se" + S + "nha" + S + "0" + S + S + S + "0" + S + S,
      "[CCCT]", "[CCCT]" + S + "z", "[CCCT]" + S + std::to_string(bia_),
      "[CRBS]", "[CRBS]" + S + "9" + S + "x", "[CRBS]" + S + "x" + S + "y", "[CRBS]" + S + "5" + S + "so",
      "[CFNT]", "[CFNT]" + S + "dois",
      "[CVER]" + S + "1" + S + "2" + S + "1000" + S + "1.0 AA" + S + "P" + S + "Tazu Messenger",
      "[CCON]" + S + "a" + S + "1",
      "[CCUS]" + S + "1.0 AA",
      "[XXXX]" + S + "a", "[cpng]", "[SACT]" + S + "1", "hello", "[]" + S + "x", "[CPNG",
  };
  // clang-format on

  for (const std::string& linha : malformadas) {
    SCOPED_TRACE(linha);
    EsperarRecusa(a, linha);
  }
  EXPECT_EQ(servidor_->Conectados(), 1u);
}

TEST_F(EntradaRuim, ComandosAntesDoLoginEIdentificacaoMalFormada) {
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

TEST_F(EntradaRuim, LinhasGrandesDemaisEErrosDemaisFechamAConexao) {
  config_.limiteDeLinha = 1000;
  config_.errosTolerados = 3;
  Reiniciar();
  TCliente& a = Conectar();
  a.Peer().Write(std::string(600, 'x'));
  Rodar();
  EXPECT_FALSE(a.Fechado()) << "an unfinished line within the bound waits";
  a.Peer().Write(std::string(600, 'x'));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(Erro(105)));
  EXPECT_TRUE(a.Fechado());

  TCliente& b = Conectar();
  for (int i = 0; i < 4; ++i) b.Enviar("lixo");
  Rodar();
  const auto r = b.Receber();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_THAT(r.back(), Erro(118));
  EXPECT_TRUE(b.Fechado());
}

TEST_F(EntradaRuim, LixoBinarioNuncaDerrubaNemChegaAOutroUsuario) {
  config_.errosTolerados = 1'000'000;
  Reiniciar();
  TCliente& b = Logado(bia_, "b");
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

TEST_F(EntradaRuim, NenhumCampoLevaQuebraDeLinhaOuNulAAlguem) {
  const std::string S = "\xA7", ana = std::to_string(ana_), bia = std::to_string(bia_);
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  // Unscrambled, a line may hold any byte. In a message a break is the
  // message's own, escaped; a NUL goes.
  a.EnviarInteira("[CMSG]" + S + bia + S + "oi\n[SDSC]\r\n[CMSG]" + S + "1002" + S +
                  std::string("x\0y", 3));
  Rodar();
  EXPECT_THAT(b.Receber(),
              ElementsAre(L(
                  "CMSG", {ana, "ana", "C", "oi#<RET>#[SDSC]#<RET>#[CMSG]#<QRB>#1002#<QRB>#xy"})));
  a.Receber();
  // Fields that are stored and read back by others refuse them.
  for (const std::string& linha :
       {"[CADC]" + S + "2" + S + "ana" + S + "Empresa" + S + "Gerente\r\n[CMSG]" + S + "1002" + S +
            "Chefe" + S + "C" + S + "oi",
        "[CADC]" + S + "1" + S + "ana" + S + S + std::string("A\0na", 4),
        "[CSCM]" + S + "1" + S + "123\r" + S + "p" + S + "0" + S + S + S + "0" + S + S}) {
    a.EnviarInteira(linha);
    Rodar();
    EXPECT_THAT(a.Receber(), ElementsAre(Erro(124))) << linha;
  }
  // So do a new user's nickname (its pair escapes stand for a break) and a
  // password, before login.
  TCliente& c = Conectar();
  c.Enviar("[CCUS]" + S + "1.0 AA" + S + "x\xC0\xD2y" + std::string(19, '\xA7'));
  c.Enviar(L("CVER", {"1", "2", ana, "1.0 AA", "P", "Tazu Messenger"}));
  Rodar();
  c.EnviarInteira("[CCON]" + S + std::string("a\0", 2) + S + "1");
  Rodar();
  EXPECT_THAT(c.Com("RERR"), ElementsAre(Erro(124), Erro(124)));
  EXPECT_THAT(b.Receber(), IsEmpty());
  b.Enviar(L("CRIU", {"0", ana}));
  Rodar();
  EXPECT_THAT(b.Receber(), ElementsAre(StartsWith("[SRIG]"),
                                       L("SRIT", {ana, "ana", "ana" + std::string(9, '\xA7')})));
  EXPECT_EQ(servidor_->LinhasConsertadas(), 0u);
}

TEST_F(EntradaRuim, ApelidoQueSoPareceLivreERecusadoEOServidorSegue) {
  Criar("Chefe", "c");
  TCliente& a = Logado(ana_, "a");
  // Decoded, the separator becomes a blank that trimming drops: "Chefe".
  a.Enviar(
      "[CADC]\xA7"
      "1\xA7"
      "Chefe#<QRB>#");
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(Erro(108)));
  EXPECT_THAT(falhas_, IsEmpty());
  EXPECT_EQ(banco_->Usuario(ana_)->apelido, "ana");
}

TEST_F(EntradaRuim, ComandoQueFalhaDesfazSoASiEBancoQueFalhaPara) {
  const std::string ana = std::to_string(ana_), bia = std::to_string(bia_);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(caminho_.c_str(), &db), SQLITE_OK);
  const std::string gatilhos =
      "CREATE TRIGGER recusa BEFORE INSERT ON contatos WHEN NEW.contato = " + bia +
      " BEGIN SELECT RAISE(ABORT, 'contato recusado'); END;"
      "CREATE TRIGGER pane BEFORE INSERT ON comunicadores WHEN NEW.conta = CAST('pane' AS BLOB)"
      " BEGIN SELECT RAISE(ROLLBACK, 'disco em pane'); END;";
  ASSERT_EQ(sqlite3_exec(db, gatilhos.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  // In one turn: Ana's adding fails, Bia's accounts are kept.
  a.Enviar(L("CACL", {bia}));
  b.Enviar(L("CSCM", {"1", "123", "p", "0", "", "", "0", "", ""}));
  b.Enviar(L("CRCM"));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(Erro(120)));
  EXPECT_THAT(b.Receber(), ElementsAre(L("SECM", {"1", "123", "p", "0", "", "", "0", "", ""})))
      << "nor does Bia hear of the adding";
  EXPECT_FALSE(banco_->Lista(ana_, bia_));
  EXPECT_THAT(falhas_, IsEmpty());
  EXPECT_THAT(log_, Contains(HasSubstr("contato recusado")));
  // A failure that takes the whole transaction stops the server, in SQLite's words.
  b.Enviar(L("CSCM", {"1", "pane", "p", "0", "", "", "0", "", ""}));
  Rodar();
  ASSERT_EQ(falhas_.size(), 1u);
  EXPECT_THAT(falhas_[0], HasSubstr("disco em pane"));
  EXPECT_THAT(b.Receber(), IsEmpty());
}

TEST_F(EntradaRuim, DadosDeOutroUsuarioNuncaSaoEntregues) {
  TCliente& a = Logado(ana_, "a");
  // Bia does not publish; she never wrote to Ana; Ana cannot read her entry,
  // her information or her accounts.
  a.Enviar(L("CCCT", {std::to_string(bia_)}));
  a.Enviar(L("CRIU", {"0", std::to_string(bia_)}));
  a.Enviar(L("CRBS", {"4", "bia@exemplo.com.br"}));
  a.Enviar(L("CRCM"));
  Rodar();
  EXPECT_THAT(a.Receber(),
              ElementsAre(Erro(119), L("SUNP", {std::to_string(bia_), "bia"}), L("SFBS"),
                          L("SECM", {"0", "", "", "0", "", "", "0", "", ""})));
}

TEST_F(EntradaRuim, ConexoesPorEnderecoSaoLimitadas) {
  config_.conexoesPorEndereco = 2;
  Reiniciar();
  TCliente& a = Conectar();
  TCliente& b = Conectar();
  TCliente& c = Conectar();
  EXPECT_FALSE(a.Fechado());
  EXPECT_FALSE(b.Fechado());
  EXPECT_THAT(c.Receber(), ElementsAre(Erro(114)));
  EXPECT_TRUE(c.Fechado());
  a.Enviar(L("CDSC"));
  Rodar();
  TCliente& d = Conectar();
  EXPECT_FALSE(d.Fechado()) << "a closed connection frees its place";
}

}  // namespace
}  // namespace tazu::tazud::test
