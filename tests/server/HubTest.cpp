// The client as hub: contacts from the server, outside adapters and the routing
// of requests by community.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/Listas.h"
#include "tests/server/ClienteFixture.h"

namespace tazu::test {
namespace {

const std::string S = "\xA7";

// An adapter that records what is asked of it and lets the test raise its
// events.
class AdaptadorFalso : public TInterfaceComunicador {
 public:
  AdaptadorFalso(net::Runtime& rt, const TContaComunicador& conta, std::string nome,
                 std::vector<std::string>& pedidos)
      : TInterfaceComunicador(rt), pedidos_(pedidos) {
    NomeComunicador = std::move(nome);
    NomeComunidade = NomeComunicador + " Net";
    Conta = conta.Identificador;
    Senha = conta.Senha;
    Status = conta.Status;
    pedidos_.push_back(NomeComunicador + " criado " + conta.Identificador + "/" + conta.Senha +
                       " status " + std::to_string(conta.Status) + " niu " + conta.NIU);
  }
  void Conectar() override { pedidos_.push_back(NomeComunicador + " Conectar"); }
  void MudarStatus(uint8_t s) override {
    pedidos_.push_back(NomeComunicador + " MudarStatus " + std::to_string(s));
  }
  void EnviarMensagem(const std::string& de, const std::string& id,
                      const std::string& msg) override {
    pedidos_.push_back(NomeComunicador + " EnviarMensagem " + de + " " + id + " [" + msg + "]");
  }
  void AdicionarContato(const std::string& id) override {
    pedidos_.push_back(NomeComunicador + " AdicionarContato " + id);
  }
  void RemoverContato(const std::string& id) override {
    pedidos_.push_back(NomeComunicador + " RemoverContato " + id);
  }
  void BuscarContato(char tipo, const std::string& texto) override {
    pedidos_.push_back(NomeComunicador + " BuscarContato " + tipo + " " + texto);
  }

 private:
  std::vector<std::string>& pedidos_;
};

class Hub : public ClienteFixture {
 protected:
  Hub() {
    for (auto [tipo, nome] : {std::pair{1, "ICQ"}, std::pair{4, "MSN"}}) {
      cliente.RegistrarFabrica(tipo, [this, nome = std::string(nome)](
                                         net::Runtime& r, const TContaComunicador& conta) {
        auto a = std::make_unique<AdaptadorFalso>(r, conta, nome, pedidos);
        adaptadores[nome] = a.get();
        return a;
      });
    }
  }
  std::vector<std::string> Pedidos() {
    std::vector<std::string> p;
    p.swap(pedidos);
    return p;
  }
  std::vector<std::string> pedidos;
  std::map<std::string, AdaptadorFalso*> adaptadores;
};

std::string Contato(const std::string& evento, int niu, const std::string& apelido, char lista,
                    int status, const std::string& origem, bool conectado, bool nativo,
                    const std::string& id, const std::string& com) {
  return evento + "(Contato={NIU=" + std::to_string(niu) + " Apelido=\"" + apelido +
         "\" Lista=\"" + std::string(1, lista) + "\" Status=" + std::to_string(status) +
         " Origem=\"" + origem + "\" Conectado=" + (conectado ? "true" : "false") +
         " Nativo=" + (nativo ? "true" : "false") + " Identificador=\"" + id +
         "\" Comunicador=\"" + com + "\"})";
}

TEST_F(Hub, RegrasDeStatusDaLista) {
  Entrar();
  // Status 2 for a new contact is stored as 3; a known contact at 255 keeps 2.
  // "007" names user 7 here as in every other line.
  Servidor("[SACT] 007 Bia A 2 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoReceberContato", 7, "Bia", 'A', 3, "TPC", false, true,
                                    "7", "Tazu")}));
  cliente.Contatos.Localizar("Tazu", "7");
  cliente.Contatos.ContatoAtual()->Status = 255;
  Servidor("[SACT] 7 Bia A 2 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoConectarContato", 7, "Bia", 'A', 2, "TPC", true, true,
                                    "7", "Tazu")}));
  // Connected before and the list letter changed: a status change.
  Servidor("[SACT] 7 Bia P 1 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoMudarStatus", 7, "Bia", 'P', 1, "TPC", true, true,
                                    "7", "Tazu")}));
  Servidor("[SACT] 7 Bia P 3 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoDesconectarContato", 7, "Bia", 'P', 3, "TPC", false,
                                    true, "7", "Tazu")}));
  Servidor("[SNCC] 007 Bia 1 TPC\n[CMSG] 0007 Bia C oi");
  EXPECT_EQ(cliente.Contatos.Quantidade(), 1u);
  EXPECT_EQ(Enviado(), "");  // no CCCT: not a stranger
}

TEST_F(Hub, MudancasDePresenca) {
  Entrar();
  Servidor("[SACT] 20 Bia A 1 TPC");
  Eventos();
  // SNMS to 3 for a connected contact: one disconnection; again: nothing.
  Servidor("[SNMS] 20 Bia 3 SMS");
  Servidor("[SNMS] 20 Bia 3 SMS");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoDesconectarContato", 20, "Bia", 'A', 3, "SMS", false,
                                        true, "20", "Tazu")}));
  // SNMS 6 for a disconnected contact connects it; for a connected one it is a
  // status change.
  Servidor("[SNMS] 20 Bia 6 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoConectarContato", 20, "Bia", 'A', 6, "TPC", true, true,
                                        "20", "Tazu")}));
  Servidor("[SNMS] 20 Bia 5 TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoMudarStatus", 20, "Bia", 'A', 5, "TPC", true, true,
                                        "20", "Tazu")}));
  // SNDC only for a contact that is not already disconnected.
  Servidor("[SNDC] 20 Bia TPC\n[SNDC] 20 Bia TPC\n[SNDC] 99 X TPC");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoDesconectarContato", 20, "Bia", 'A', 3, "TPC", false,
                                        true, "20", "Tazu")}));
  // SNCC with status 2 keeps the status and raises nothing for a disconnected
  // contact.
  Servidor("[SNCC] 20 Bia 2 TPC");
  EXPECT_TRUE(Eventos().empty());
  Servidor("[SNCC] 20 Bia 8 J2E");
  EXPECT_EQ(Eventos(), (Evs{Contato("AoConectarContato", 20, "Bia", 'A', 8, "J2E", true, true,
                                        "20", "Tazu")}));
}

TEST_F(Hub, MensagemDeUmDesconhecido) {
  Entrar();
  Servidor("[CMSG] 55 Zeca C oi#<RET>#tudo#<QRB>#bem");
  EXPECT_EQ(Eventos(),
            (Evs{Contato("AoReceberContato", 55, "Zeca", 'F', 255, "TPC", true, true, "55",
                             "Tazu"),
                     "AoReceberMensagemUsuario(Contato={NIU=55 Apelido=\"Zeca\" Lista=\"F\" "
                     "Status=255 Origem=\"TPC\" Conectado=true Nativo=true Identificador=\"55\" "
                     "Comunicador=\"Tazu\"}, Mensagem=[oi|tudo" + S + "bem])"}));
  EXPECT_EQ(Enviado(), "[CCCT]" + S + "55\r\n");
}

TEST_F(Hub, MensagemAoVivoDeContatoDesconectadoMostraOInvisivel) {
  Entrar();
  Servidor("[SACT] 20 Bia A 3 TPC");
  Eventos();
  Servidor("[CMSG] 20 Bia C oi\n[CMSG] 20 Bia \"\" guardada");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0], Contato("AoMudarStatus", 20, "Bia", 'A', 2, "TPC", true, true, "20", "Tazu"));
  EXPECT_NE(e[1].find("Mensagem=[oi]"), std::string::npos);
  EXPECT_NE(e[2].find("Mensagem=[guardada]"), std::string::npos);
  EXPECT_EQ(Enviado(), "");
}

TEST_F(Hub, AvisosDeEntregaEDeMensagemGuardada) {
  Entrar();
  Servidor("[SCEM] 0042\n[SNEM] 42 oi#<RET>#tchau");
  EXPECT_EQ(Eventos(),
            (Evs{"AoConfirmarEnvio(Comunicador=\"Tazu\", Identificador=\"42\")",
                     "AoEnviarOffLine(Comunicador=\"Tazu\", Identificador=\"42\", "
                     "Mensagem=[oi|tchau])"}));
}

TEST_F(Hub, RemoverEAdicionarContatosTazu) {
  Entrar();
  Servidor("[SACT] 20 Bia A 1 TPC");
  Eventos();
  cliente.RemoverContato("Tazu", "21");  // not in the list: nothing
  EXPECT_EQ(Enviado(), "");
  Servidor("[CACS] 20");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0], "AoConfirmar()");
  EXPECT_EQ(e[1].rfind("AoRemoverContato(", 0), 0u);
  EXPECT_EQ(cliente.Contatos.Quantidade(), 1u);  // the list keeps it
  cliente.RemoverContato("Tazu", "20");
  EXPECT_EQ(Enviado(), "[CRCL]" + S + "20\r\n");
  EXPECT_EQ(Eventos().size(), 1u);
  EXPECT_TRUE(cliente.Contatos.Vazia());
}

TEST_F(Hub, SacmIniciaOAdaptadorDaRedeEEncaminhaPedidos) {
  Entrar();
  Servidor("[SACM] 4 ana@msn pw\n[SACM] 3 yid yp");
  EXPECT_EQ(Pedidos(), (std::vector<std::string>{"MSN criado ana@msn/pw status 1 niu 1234",
                                                 "MSN Conectar"}));
  EXPECT_TRUE(Eventos().empty());  // Yahoo has no factory: ignored without error
  EXPECT_EQ(cliente.Contas[4], "0" + S + "ana@msn" + S + "pw");
  EXPECT_EQ(cliente.Contas[3], "0" + S + "yid" + S + "yp");
  ASSERT_TRUE(cliente.Comunicadores.Localizar("MSN"));

  cliente.EnviarMensagemComunicador("MSN", "bia@msn", {"oi", "tudo"});
  cliente.EnviarMensagemComunicador("Yahoo", "x", {"ninguém"});
  cliente.AdicionarContato("MSN", "c@msn");
  cliente.BuscarContato("MSN", '4', "c@");
  cliente.MudarStatus(6);
  EXPECT_EQ(Pedidos(), (std::vector<std::string>{"MSN EnviarMensagem 1234 bia@msn [oi\r\ntudo]",
                                                 "MSN AdicionarContato c@msn",
                                                 "MSN BuscarContato 4 c@", "MSN MudarStatus 6"}));
  EXPECT_EQ(Enviado(), "[CNMS]" + S + "6\r\n");

  // A status remembered for the network wins over the user's own.
  cliente.Contas[1] = "8" + S + "123" + S + "icqpw";
  cliente.ConectarComunicador(1, "", "");
  EXPECT_EQ(Pedidos(), (std::vector<std::string>{"ICQ criado 123/icqpw status 8 niu 1234",
                                                 "ICQ Conectar"}));
}

TEST_F(Hub, IniciarSemIdentificadorNaoFazNada) {
  Entrar();
  cliente.ConectarComunicador(1, "", "");
  EXPECT_TRUE(Pedidos().empty());
  EXPECT_EQ(cliente.Contas[1], "");
  Servidor("[SACM] 9 x y\n[SACM] zz");
  EXPECT_EQ(Eventos().size(), 1u);  // the non-numeric type is a bad line
  EXPECT_TRUE(Pedidos().empty());
}

TEST_F(Hub, EventosDoAdaptadorViramEventosDoCliente) {
  Entrar();
  cliente.ConectarComunicador(4, "ana@msn", "pw");
  AdaptadorFalso& msn = *adaptadores["MSN"];
  Pedidos();
  msn.OnConectar(msn);
  msn.ReceberContato("ana@msn", "1234", "Bia", "bia@msn", "1", 'C', "MSN");
  msn.ReceberContato("ana@msn", "1234", "Caio", "caio@msn", "3", 'A', "MSN");
  msn.ReceberMensagem("ana@msn", "oi\r\nvc", "bia@msn", "", "MSN", "Bia", true);
  msn.ReceberMensagem("ana@msn", "quem?", "novo@msn", "", "MSN", "Novo", true);
  msn.OnConfirmaEnvio(msn, "bia@msn", false, 3, cp1252::FromUtf8("Bia não recebeu."));
  msn.OnUsuarioNaoExiste(msn, "x@msn");
  msn.OnFalhaConexao(msn);
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 10u);
  EXPECT_EQ(e[0],
            "AoConectarComunicador(Comunicador={NomeComunicador=\"MSN\" NomeComunidade=\"MSN "
            "Net\" Conta=\"ana@msn\" Status=1})");
  EXPECT_EQ(e[1], Contato("AoReceberContato", 0, "Bia", 'A', 1, "MSN", true, false, "bia@msn",
                          "MSN"));
  EXPECT_EQ(e[2], Contato("AoReceberContato", 0, "Caio", 'P', 3, "MSN", false, false, "caio@msn",
                          "MSN"));
  EXPECT_NE(e[3].find("Mensagem=[oi|vc]"), std::string::npos);
  EXPECT_EQ(e[4], Contato("AoReceberContato", 0, "Novo", 'F', 255, "MSN", true, false,
                          "novo@msn", "MSN"));
  EXPECT_NE(e[5].find("Mensagem=[quem?]"), std::string::npos);
  EXPECT_EQ(e[6], cp1252::FromUtf8("AoEnviarOffLine(Comunicador=\"MSN\", Identificador=\"bia@msn\", "
                                   "Mensagem=[Bia não recebeu.])"));
  EXPECT_EQ(e[7], "AoConfirmar()");
  EXPECT_EQ(e[8], cp1252::FromUtf8("AoMensagemDeSistema(Numero=32, Descricao=\"O usuário "
                                   "\"x@msn\" não foi encontrado na comunidade MSN Net\")"));
  EXPECT_EQ(e[9], cp1252::FromUtf8("AoReceberErro(Numero=10, Descricao=\"Não foi possível "
                                   "estabelecer conexão com a comunidade MSN Net\")"));
  EXPECT_EQ(cliente.Contatos.Quantidade(), 3u);
}

TEST_F(Hub, AdaptadorQueSaiLevaSoASuaComunidade) {
  Entrar();
  Servidor("[SACT] 20 Bia A 1 TPC");
  cliente.ConectarComunicador(4, "ana@msn", "pw");
  cliente.ConectarComunicador(1, "123", "pw");
  adaptadores["MSN"]->ReceberContato("", "", "M", "m@msn", "1", 'C', "MSN");
  adaptadores["ICQ"]->ReceberContato("", "", "I", "999", "1", 'C', "ICQ");
  Eventos();
  adaptadores["MSN"]->Desconectar("1234");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_NE(e[0].find("AoRemoverContato(Contato={NIU=0 Apelido=\"M\""), std::string::npos);
  EXPECT_EQ(e[1].rfind("AoDesconectarComunicador(", 0), 0u);
  EXPECT_EQ(cliente.Contatos.Quantidade(), 2u);
  EXPECT_FALSE(cliente.Comunicadores.Localizar("MSN"));
  EXPECT_TRUE(cliente.Comunicadores.Localizar("ICQ"));
  rt.RunPending();  // the adapter that logged off is freed
}

TEST_F(Hub, LimpezaDesconectaAdaptadoresEEsqueceTudo) {
  Entrar();
  Servidor("[SACT] 20 Bia A 1 TPC");
  cliente.ConectarComunicador(4, "ana@msn", "pw");
  adaptadores["MSN"]->ReceberContato("", "", "M", "m@msn", "1", 'C', "MSN");
  Eventos();
  peer->Close();
  rt.RunPending();
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].rfind("AoDesconectarComunicador(", 0), 0u);
  EXPECT_NE(e[1].find("Identificador=\"20\""), std::string::npos);
  EXPECT_NE(e[2].find("Identificador=\"m@msn\""), std::string::npos);
  EXPECT_EQ(e[3], "AoDesconectarServidor()");
  EXPECT_TRUE(cliente.Contatos.Vazia());
  EXPECT_TRUE(cliente.Comunicadores.Vazia());
  for (const std::string& conta : cliente.Contas) EXPECT_EQ(conta, "");
  EXPECT_EQ(cliente.Status, 3);
}

TEST_F(Hub, RejeitarForaDoTazuSoInforma) {
  Entrar();
  cliente.RejeitarAutorizacao("MSN", "bia@msn");
  cliente.RejeitarAutorizacao("Tazu", "20");
  EXPECT_EQ(Eventos(), (Evs{"AoInformar(Numero=0, Descricao=\"Rejeitar contato ICQ em "
                            "desenvolvimento\")"}));
  EXPECT_EQ(Enviado(), "[CRAC]" + S + "20\r\n");
}

// Windows remove contacts from inside events. Whatever event a handler uses to
// do it, nothing touches the freed contact (ASan watches), and a message is
// never lost: it arrives from the sender as a stranger.
TEST_F(Hub, HandlerQueRemoveOContatoNoMeioDoEvento) {
  struct Caso {
    const char* antes;  // the list before
    const char* linha;  // what the server sends
    const char* evento;  // the handler that removes the contact
    bool comMensagem;
  };
  const Caso casos[] = {
      {"[SACT] 20 Bia A 3 TPC", "[CMSG] 20 Bia C oi", "AoMudarStatus", true},
      {"[SACT] 20 Bia A 3 TPC", "[SACT] 20 Bia P 1 TPC", "AoConectarContato", false},
      {"[SACT] 20 Bia A 1 TPC", "[SNMS] 20 Bia 6 TPC", "AoMudarStatus", false},
      {"", "[CMSG] 20 Bia C oi", "AoReceberContato", false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.linha) + " / " + c.evento);
    Entrar();
    if (*c.antes) Servidor(c.antes);
    auto remover = [](TClientePCTazu& cli, TContato* contato) {
      cli.RemoverContato(contato->Comunicador, contato->Identificador);
    };
    TClientePCTazu::TAtualizaContato* alvo =
        std::string(c.evento) == "AoMudarStatus"       ? &cliente.AoMudarStatus
        : std::string(c.evento) == "AoConectarContato" ? &cliente.AoConectarContato
                                                       : &cliente.AoReceberContato;
    const auto anterior = *alvo;
    *alvo = [&](TClientePCTazu& cli, TContato* contato) {
      *alvo = anterior;
      remover(cli, contato);
    };
    Eventos();
    Servidor(c.linha);
    *alvo = anterior;
    const Evs e = Eventos();
    const bool chegou = !e.empty() && e.back().rfind("AoReceberMensagemUsuario(", 0) == 0;
    EXPECT_EQ(chegou, c.comMensagem) << ::testing::PrintToString(e);
    if (c.comMensagem) {
      EXPECT_NE(e.back().find("Lista=\"F\""), std::string::npos);
    }
    peer->Close();
    rt.RunPending();
  }

  // The same through an adapter.
  Entrar();
  cliente.ConectarComunicador(4, "ana@msn", "pw");
  AdaptadorFalso& msn = *adaptadores["MSN"];
  msn.ReceberContato("", "", "Bia", "bia@msn", "3", 'C', "MSN");
  cliente.AoMudarStatus = [](TClientePCTazu& cli, TContato* contato) {
    cli.AoMudarStatus = nullptr;
    cli.RemoverContato(contato->Comunicador, contato->Identificador);
  };
  Eventos();
  msn.ReceberMensagem("ana@msn", "oi", "bia@msn", "", "MSN", "Bia", true);
  const Evs e = Eventos();
  ASSERT_FALSE(e.empty());
  EXPECT_EQ(e.back().rfind("AoReceberMensagemUsuario(", 0), 0u) << ::testing::PrintToString(e);
}

}  // namespace
}  // namespace tazu::test
