// The Yahoo adapter against the simulated server on the fake runtime: login,
// buddies and presence, the status maps, messages, adding and removing, and
// failures, seen as the adapter's events and on the simulated network.
#include <gtest/gtest.h>

#include <memory>

#include "base/Cp1252.h"
#include "sim/yahoo/RoboEco.h"
#include "tests/support/ComunicadorEventos.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ComunicadorYahoo.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;
using yahoo::TComunicadorYahoo;

std::string W(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

std::string Contato(const std::string& id, const char* status, char lista) {
  return "Contato 1234/1234 " + id + " " + id + " " + status + " " + lista + " Yahoo";
}

class Comunicador : public ::testing::Test {
 protected:
  Comunicador() {
    rede.Conta("ana:segredo:Amigos=bia,eco;Trabalho=davi");
    rede.Conta("bia:b:Amigos=ana");
    rede.Conta("eco:e:Amigos=ana");
    rede.Conta("davi:d");
    rede.Conta("caio:c");
    rede.Conta("hugo:h::refuse");
  }
  struct Usuario {
    std::unique_ptr<TComunicadorYahoo> a;
    Evs eventos;
  };
  Usuario& Criar(const std::string& conta, const std::string& senha, int status = 1) {
    auto& u = *usuarios.emplace_back(std::make_unique<Usuario>());
    u.a = std::make_unique<TComunicadorYahoo>(rt, status, "", "1234", senha, conta);
    u.a->DefinirServidor("127.0.0.1", 5050);
    GravarEventosComunicador(*u.a, u.eventos);
    return u;
  }
  Usuario& Entrar(const std::string& conta, const std::string& senha, int status = 1) {
    Usuario& u = Criar(conta, senha, status);
    u.a->Conectar();
    rede.Avancar(1s);
    EXPECT_TRUE(u.a->Conectado()) << conta;
    return u;
  }
  static Evs Tomar(Usuario& u) { return std::exchange(u.eventos, {}); }
  bool NoLog(const std::string& trecho) const {
    for (const std::string& l : rede.log)
      if (l.find(trecho) != std::string::npos) return true;
    return false;
  }

  net::FakeRuntime rt;
  RedeYahoo rede{rt};
  std::vector<std::unique_ptr<Usuario>> usuarios;
};

TEST(StatusYahoo, MapasNosDoisSentidos) {
  struct Ida {
    int programa;
    uint32_t yahoo;
    bool ausente;
  };
  // One row per rule: invisible, offline, busy, away, the extended codes, and
  // anything unknown as available.
  const Ida idas[] = {{2, 12, false}, {3, 0x5A55AA56, true}, {5, 2, true},   {8, 4, true},
                      {101, 1, true}, {203, 9, true},        {100, 0, false}};
  for (const Ida& c : idas) {
    SCOPED_TRACE(c.programa);
    EXPECT_EQ(yahoo::StatusYahoo(c.programa).status, c.yahoo);
    EXPECT_EQ(yahoo::StatusYahoo(c.programa).ausente, c.ausente);
  }
  struct Volta {
    uint32_t yahoo;
    bool ausente;
    int programa;
  };
  // Custom (99) follows the away flag; codes Yahoo does not define read as 0.
  const Volta voltas[] = {{0, false, 1}, {999, true, 8}, {9, true, 6},          {12, false, 2},
                          {99, true, 8}, {99, false, 1}, {0x5A55AA56, true, 3}, {10, true, 0}};
  for (const Volta& c : voltas) {
    SCOPED_TRACE(c.yahoo);
    EXPECT_EQ(yahoo::StatusDoPrograma(c.yahoo, c.ausente), c.programa);
  }
}

TEST_F(Comunicador, LoginAnunciaOsAmigosEDepoisQuemEstaOnline) {
  simyahoo::TRoboEco eco(rt, "eco", "e");
  eco.Conectar("127.0.0.1", 5050);
  rede.Avancar(100ms);
  ASSERT_TRUE(eco.Logado());
  Usuario& ana = Criar("ana", "segredo", 8);
  ana.a->Conectar();
  EXPECT_TRUE(ana.a->Conectando);
  rede.Avancar(1s);
  EXPECT_FALSE(ana.a->Conectando);
  EXPECT_EQ(Tomar(ana), (Evs{Contato("bia", "3", 'D'), Contato("eco", "3", 'D'),
                             Contato("davi", "3", 'D'), "OnConectar", Contato("eco", "1", 'C')}));
  // The chosen status went out right after login: away (8) is Yahoo's 4.
  EXPECT_TRUE(NoLog("ana <- 0x03 status=4")) << rede.log.back();
  ASSERT_NE(ana.a->ListaContatos.Localizar("ECO"), nullptr);
  EXPECT_EQ(ana.a->ListaContatos.Localizar("eco")->Status, 1);
}

TEST_F(Comunicador, StatusSegueParaQuemVe) {
  Usuario& bia = Entrar("bia", "b");
  Usuario& ana = Entrar("ana", "segredo");
  Tomar(bia);
  for (const auto& [programa, visto] : std::vector<std::pair<int, const char*>>{
           {8, "8"}, {6, "6"}, {1, "1"}, {201, "8"}, {7, "1"}}) {
    ana.a->MudarStatus(static_cast<uint8_t>(programa));
    rede.Rodar();
    EXPECT_EQ(Tomar(bia), (Evs{Contato("ana", visto, 'C')})) << programa;
  }
  ana.a->MudarStatus(2);  // invisible: gone for the others
  rede.Rodar();
  ana.a->MudarStatus(1);
  rede.Rodar();
  EXPECT_EQ(Tomar(bia), (Evs{Contato("ana", "3", 'D'), Contato("ana", "1", 'C')}));
}

TEST_F(Comunicador, MudarStatusAntesDoLoginEntraEUmaVezSo) {
  Usuario& ana = Criar("ana", "segredo", 3);
  ana.a->MudarStatus(5);
  ana.a->MudarStatus(6);  // already logging in: no second attempt
  rede.Avancar(1s);
  EXPECT_EQ(rt.PeerCount(), 2u) << "one connection, and the server's end of it";
  EXPECT_TRUE(ana.a->Conectado());
  EXPECT_TRUE(NoLog("ana <- 0x03 status=2 sid=")) << "the latest status, busy";
}

TEST_F(Comunicador, MensagensNosDoisSentidosComESemUtf8) {
  Usuario& bia = Entrar("bia", "b");
  Usuario& ana = Entrar("ana", "segredo");
  Tomar(ana);
  Tomar(bia);
  ana.a->EnviarMensagem("1234", "bia", W("olá € ação\r\nlinha 2"));
  rede.Rodar();
  EXPECT_EQ(Tomar(ana), (Evs{"Confirma bia sim 1"}));
  EXPECT_EQ(Tomar(bia), (Evs{"Msg ana ana [olá € ação\r\nlinha 2]"}));
  // From clients that write Windows-1252, and from those that write UTF-8
  // the code page lacks.
  rede.LadoDoCliente(1).Write(
      YmsgBytes("MESSAGE 1 4=caio 14=\"ol\\xE1\" 97=0\n"
                "MESSAGE 1 4=caio 14=\"\\xE6\\x97\\xA5\\xE6\\x9C\\xAC "
                "\\xC3\\xA9\" 97=1"));
  rede.Rodar();
  EXPECT_EQ(Tomar(ana), (Evs{"Msg caio caio [olá] offline", "Msg caio caio [?? é] offline"}));
}

// A message written while the login is under way is not lost: it goes once
// the login is through, or comes back undelivered if the login never ends.
TEST_F(Comunicador, MensagemDuranteOLoginSaiDepoisDeleOuVoltaNaoEntregue) {
  Usuario& bia = Entrar("bia", "b");
  Usuario& ana = Criar("ana", "segredo");
  ana.a->Conectar();
  ana.a->EnviarMensagem("1234", "bia", "cheguei");
  rede.Avancar(1s);
  // Reported as any message sent before the buddies' presence is known.
  const Evs e = Tomar(ana);
  EXPECT_EQ(std::count_if(e.begin(), e.end(),
                          [](const std::string& x) { return x.rfind("Confirma bia ", 0) == 0; }),
            1);
  EXPECT_EQ(Tomar(bia).back(), "Msg ana ana [cheguei]");

  // A server that takes the connection and then says nothing.
  net::FakeRuntime mudo;
  Evs eventos;
  TComunicadorYahoo caio(mudo, 1, "", "1234", "c", "caio");
  caio.DefinirServidor("10.9.9.9", 5050);
  GravarEventosComunicador(caio, eventos);
  caio.Conectar();
  caio.EnviarMensagem("1234", "ana", "oi");
  mudo.Advance(1s);
  mudo.LastPeer().Accept();
  mudo.Advance(59s);
  EXPECT_TRUE(caio.Conectando);
  EXPECT_TRUE(eventos.empty());
  mudo.Advance(1s);
  EXPECT_FALSE(caio.Conectando);
  EXPECT_TRUE(mudo.LastPeer().ClientClosed());
  ASSERT_EQ(eventos.size(), 2u);
  EXPECT_EQ(eventos[0].rfind("Confirma ana nao ", 0), 0u);
  EXPECT_EQ(eventos[1], "OnFalhaConexao");
}

TEST_F(Comunicador, MensagemParaQuemEstaForaFicaGuardadaEChegaNoProximoLogin) {
  Usuario& ana = Entrar("ana", "segredo");
  Tomar(ana);
  ana.a->EnviarMensagem("1234", "davi", "oi Davi");
  rede.Rodar();
  EXPECT_EQ(Tomar(ana), (Evs{"Confirma davi nao 1 [davi não recebeu sua mensagem pois está "
                             "desconectado.\r\nSua mensagem será recebida quando davi se "
                             "conectar:\r\noi Davi]"}));
  Usuario& davi = Entrar("davi", "d");
  EXPECT_EQ(Tomar(davi), (Evs{"OnConectar", "Msg ana ana [oi Davi] offline"}));
}

TEST_F(Comunicador, ContatoInvisivelNaoContaComoOnlineMasRecebe) {
  Usuario& bia = Entrar("bia", "b");
  Usuario& ana = Entrar("ana", "segredo");
  ana.a->ListaContatos.Localizar("bia")->Status = 2;  // as a status report may leave it
  Tomar(ana);
  Tomar(bia);
  ana.a->EnviarMensagem("1234", "bia", "psiu");
  rede.Rodar();
  const Evs e = Tomar(ana);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].rfind("Confirma bia nao 1 [bia não recebeu", 0), 0u) << e[0];
  EXPECT_EQ(Tomar(bia).size(), 1u) << "sent all the same";
}

TEST_F(Comunicador, AdicionarERemover) {
  Usuario& ana = Entrar("ana", "segredo");
  Tomar(ana);
  ana.a->AdicionarContato("caio");
  ana.a->AdicionarContato("ninguem");
  ana.a->AdicionarContato("hugo");
  rede.Rodar();
  EXPECT_EQ(Tomar(ana), (Evs{"AoConfirmar", "AoConfirmar", "AoConfirmar", Contato("caio", "3", 'D'),
                             "NaoExiste ninguem", "Evento 3 hugo hugo [I would rather not.]"}));
  EXPECT_TRUE(rede.contas.Localizar("ana")->TemAmigo("caio"));
  EXPECT_FALSE(rede.contas.Localizar("ana")->TemAmigo("hugo"));
  EXPECT_EQ(ana.a->ListaContatos.Localizar("hugo"), nullptr);
  const std::size_t linhas = rede.log.size();
  ana.a->RemoverContato("zeca");  // not in the roster: nothing goes out
  rede.Rodar();
  EXPECT_EQ(rede.log.size(), linhas);
  ana.a->RemoverContato("caio");
  ana.a->RemoverContato("davi");
  rede.Rodar();
  EXPECT_FALSE(rede.contas.Localizar("ana")->TemAmigo("caio"));
  EXPECT_FALSE(rede.contas.Localizar("ana")->TemAmigo("davi"));
  EXPECT_EQ(ana.a->ListaContatos.Localizar("davi"), nullptr);
  EXPECT_TRUE(Tomar(ana).empty());
}

}  // namespace
}  // namespace tazu::test
