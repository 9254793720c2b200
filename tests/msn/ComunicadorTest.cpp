// The MSN adapter inside the Tazu client: an account arriving in SACM logs
// in and its contacts join the hub's list; what may and may not be sent;
// status changes; messages from strangers; the adapter freed after log-off.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "msn/ComunicadorMSN.h"
#include "tests/support/Expect.h"
#include "tests/support/TazuClientRig.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

std::string W(const std::string& utf8) {
  return cp1252::FromUtf8(utf8);
}

std::string Campo(const std::string& apelido, char lista, int status, bool conectado,
                  const std::string& id) {
  return "Contato={NIU=0 Apelido=\"" + apelido + "\" Lista=\"" + lista +
         "\" Status=" + std::to_string(status) +
         " Origem=\"MSN\" Conectado=" + (conectado ? "true" : "false") +
         " Nativo=false Identificador=\"" + id + "\" Comunicador=\"MSN\"}";
}

std::string Contato(const std::string& evento, const std::string& apelido, char lista, int status,
                    bool conectado, const std::string& id) {
  return evento + "(" + Campo(apelido, lista, status, conectado, id) + ")";
}

// The real adapter, telling the test when it is freed.
class ComunicadorObservado : public msn::TComunicadorMSN {
 public:
  ComunicadorObservado(net::Runtime& rt, const TContaComunicador& c, int& vivos)
      : TComunicadorMSN(rt, c.Status, c.Identificador, c.Senha, "127.0.0.1", 1863), vivos_(vivos) {
    ++vivos_;
  }
  ~ComunicadorObservado() override { --vivos_; }

 private:
  int& vivos_;
};

class Comunicador : public ::testing::Test {
 protected:
  Comunicador() {
    std::string porque;
    EXPECT_TRUE(rig.LogIn(0, &porque)) << porque;
    rig.cliente.RegistrarFabrica(4, [this](net::Runtime& rt, const TContaComunicador& c) {
      auto a = std::make_unique<ComunicadorObservado>(rt, c, vivos);
      adaptador = a.get();
      return a;
    });
  }
  // SACM, then the MSN login with bob online and carol offline.
  void EntrarNoMSN() {
    rig.ServerSends("[SACM] 4 ana@tazu.test segredo");
    ASSERT_EQ(vivos, 1);
    EXPECT_TRUE(adaptador->Conectando);
    rig.rt.Advance(1s);
    ns = &rig.rt.LastPeer();
    ASSERT_EQ(ns->Port(), 1863);
    Roteiro(MsnLoginTranscript("NLN", "Ana") + R"(
      S: ILN 4 NLN bob@tazu.test Bob%20Silva
      S: LST 5 AL 9 1 2 bob@tazu.test Bob%20Silva
      S: LST 5 AL 9 2 2 carol@tazu.test Carol
      S: LST 6 BL 9 0 0
    )");
    EXPECT_FALSE(adaptador->Conectando);
  }
  // Logged in, the login's events taken, the next command id 7.
  void Entrado() {
    EntrarNoMSN();
    Eventos();
    dialeto.SetNextId(7);
  }
  void Roteiro(std::string_view passos) {
    ScriptedPeer s(passos, dialeto);
    s.PlayOver(*ns);
    rig.rt.RunPending();
    EXPECT_TRUE(Played(s));
  }
  void Enviar(const std::string& id, const std::string& texto) {
    rig.cliente.EnviarMensagemComunicador("MSN", id, {W(texto)});
  }
  Evs Eventos() {
    Evs e;
    for (const std::string& x : rig.TakeEvents()) e.push_back(cp1252::ToUtf8(x));
    return e;
  }

  TazuClientRig rig;
  int vivos = 0;
  ComunicadorObservado* adaptador = nullptr;
  net::FakePeer* ns = nullptr;
  MsnDialect dialeto;
};

TEST_F(Comunicador, ContaDoSacmEntraEOsContatosChegamAoHub) {
  EntrarNoMSN();
  EXPECT_EQ(Eventos(),
            (Evs{"AoConectarComunicador(Comunicador={NomeComunicador=\"MSN\" "
                 "NomeComunidade=\"MSN Messenger\" Conta=\"ana@tazu.test\" Status=1})",
                 Contato("AoReceberContato", "Bob Silva", 'A', 1, true, "bob@tazu.test"),
                 Contato("AoReceberContato", "Carol", 'A', 3, false, "carol@tazu.test")}));
  EXPECT_EQ(rig.cliente.Comunicadores.Quantidade(), 1u);
  dialeto.SetNextId(7);
  Roteiro("S: NLN AWY carol@tazu.test Carol\nS: FLN bob@tazu.test");
  EXPECT_EQ(Eventos(),
            (Evs{Contato("AoReceberContato", "Carol", 'A', 8, true, "carol@tazu.test"),
                 Contato("AoReceberContato", "Bob Silva", 'A', 3, false, "bob@tazu.test")}));
}

TEST_F(Comunicador, RegrasDeEnvio) {
  Entrado();
  const std::string offline =
      "O protocolo MSN Messenger não suporta envios para usuários desconectados. Mensagem:";
  Enviar("carol@tazu.test", "oi Carol");
  Enviar("estranho@tazu.test", "quem é?");
  EXPECT_EQ(Eventos(),
            (Evs{"AoEnviarOffLine(Comunicador=\"MSN\", Identificador=\"carol@tazu.test\", "
                 "Mensagem=[" +
                     offline + "|oi Carol])",
                 "AoEnviarOffLine(Comunicador=\"MSN\", Identificador=\"estranho@tazu.test\", "
                 "Mensagem=[" +
                     offline + "|quem é?])"}));
  EXPECT_EQ(ns->Take(), "") << "nothing goes for offline contacts or strangers";

  Enviar("bob@tazu.test", "oi Bob");
  Roteiro("C: XFR 7 SB\nS: 800 7");
  EXPECT_EQ(Eventos(), Evs{"AoEnviarOffLine(Comunicador=\"MSN\", Identificador=\"bob@tazu.test\", "
                           "Mensagem=[Ocorreu um erro ao tentar enviar mensagem para o servidor. "
                           "Mensagem:|oi Bob])"});

  // Invisible: the adapter follows the user's status, then refuses to send.
  rig.cliente.MudarStatus(2);
  rig.TakeSentLines();
  Roteiro("C: CHG 8 HDN");
  Enviar("bob@tazu.test", "psiu");
  EXPECT_EQ(Eventos(), Evs{"AoEnviarOffLine(Comunicador=\"MSN\", Identificador=\"bob@tazu.test\", "
                           "Mensagem=[O protocolo MSN Messenger não envia mensagem no \"status\" "
                           "invisível (Aparecer desconectado). Mensagem:|psiu])"});
  EXPECT_EQ(ns->Take(), "");
  rig.cliente.MudarStatus(6);
  Roteiro("C: CHG 9 BSY");
}

TEST_F(Comunicador, MensagemDeEstranhoEntraNoRosterComStatus255) {
  Entrado();
  Roteiro("S: RNG 99 127.0.0.1:1865 CKI 5.6 eva@tazu.test Eva");
  net::FakePeer& sb = rig.rt.LastPeer();
  MsnDialect d(1);
  ScriptedPeer s(R"(
    C: ANS 1 ana@tazu.test 5.6 99
    S: IRO 1 1 1 eva@tazu.test Eva
    S: ANS 1 OK
    S: MSG eva@tazu.test Eva |texto| Olá!\r\nTudo bem?
  )",
                 d);
  s.PlayOver(sb);
  rig.rt.RunPending();
  EXPECT_TRUE(Played(s));
  const TUsuario* u = adaptador->ListaContatos.Localizar("eva@tazu.test");
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->Status, 255);
  EXPECT_EQ(Eventos(),
            (Evs{Contato("AoReceberContato", "Eva", 'F', 255, true, "eva@tazu.test"),
                 "AoReceberMensagemUsuario(" + Campo("Eva", 'F', 255, true, "eva@tazu.test") +
                     ", Mensagem=[Olá!|Tudo bem?])"}));
}

TEST_F(Comunicador, DepoisDeSairOAdaptadorEhLiberado) {
  Entrado();
  rig.cliente.MudarStatus(3);
  EXPECT_EQ(ns->Take(), "OUT\r\n");
  EXPECT_TRUE(ns->ClientClosed());
  const Evs e = Eventos();
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e.back().rfind("AoDesconectarComunicador(", 0), 0u);
  EXPECT_EQ(rig.cliente.Comunicadores.Quantidade(), 0u);
  EXPECT_FALSE(rig.cliente.Contatos.Localizar("MSN", "bob@tazu.test"));
  EXPECT_EQ(vivos, 1) << "not freed from inside its own call";
  rig.rt.RunPending();
  EXPECT_EQ(vivos, 0);
  rig.rt.Advance(10s);
  EXPECT_EQ(Eventos(), Evs{});
}

TEST_F(Comunicador, StatusMudadoDuranteOLoginEhAnunciadoAoEntrar) {
  rig.ServerSends("[SACM] 4 ana@tazu.test segredo");
  rig.rt.Advance(1s);
  ns = &rig.rt.LastPeer();
  rig.cliente.MudarStatus(6);
  rig.TakeSentLines();
  rig.rt.Advance(2s);
  EXPECT_EQ(rig.rt.PeerCount(), 2u) << "the login goes on: no second connection";
  Roteiro(MsnLoginTranscript("BSY", "Ana"));
}

TEST_F(Comunicador, ContaSemSenhaFalhaSemFicarEmLogin) {
  rig.ServerSends("[SACM] 4 ana@tazu.test \"\"");
  ASSERT_EQ(vivos, 1);
  EXPECT_FALSE(adaptador->Conectando) << "else the hub would answer \"in login\" for good";
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].rfind("AoReceberErro(Numero=10, ", 0), 0u) << e[0];
  rig.rt.Advance(5s);
  EXPECT_EQ(rig.rt.PeerCount(), 1u) << "only the Tazu connection";
}

TEST_F(Comunicador, ServidorTazuPerdidoNoMeioDoLoginMsn) {
  rig.ServerSends("[SACM] 4 ana@tazu.test segredo");
  rig.rt.Advance(1s);
  net::FakePeer& msn = rig.rt.LastPeer();
  msn.Accept();
  rig.rt.RunPending();
  rig.peer->Close();
  rig.rt.RunPending();
  EXPECT_TRUE(msn.ClientClosed()) << "the login in progress is abandoned";
  EXPECT_EQ(vivos, 0);
  rig.rt.Advance(120s);
  for (const std::string& e : Eventos())
    EXPECT_EQ(e.find("AoReceberErro(Numero=10"), std::string::npos) << e;
}

}  // namespace
}  // namespace tazu::test
