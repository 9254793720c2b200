// The ICQ adapter against the simulator in virtual time.
#include <gtest/gtest.h>

#include "icq/CodecLista.h"
#include "tests/icq/ComunicadorFixture.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;

TEST_F(Comunicador, ListaVaziaNaoAnunciaNada) {
  Entrar();
  EXPECT_EQ(Eventos(), (Evs{"OnConectar"}));
  EXPECT_TRUE(a->ListaPronta());
  EXPECT_TRUE(a->GrupoTazuAusente());
  EXPECT_EQ(a->GrupoTazu(), 10);
}

TEST_F(Comunicador, ListaDoServidorComGruposApelidosEItens14) {
  sim.AdicionarAoGrupo("111111", "222222", "  ", "Amigos");          // blank nickname, group 1
  sim.AdicionarAoGrupo("111111", "333333", "Eco \xA7 bot", "Tazu");  // group 2
  sim.AdicionarAoGrupo("111111", "555555", "Z\xE9", "Tazu");
  auto& l = sim.Conta("111111")->lista;
  l.push_back({"666666", 2, 40, icq::lista::kIgnorado, "Chato", {}, false, {}});
  Entrar();
  EXPECT_EQ(Eventos(), (Evs{"OnConectar", "Contato 111111/1234 222222 222222 3 D ICQ",
                            "Contato 111111/1234 Eco \xC2\xA7 bot 333333 3 D ICQ",
                            "Contato 111111/1234 Z\xC3\xA9 555555 3 D ICQ",
                            // The echo bot is online: its presence follows the list.
                            "Contato 111111/1234 Eco \xC2\xA7 bot 333333 1 C ICQ"}));
  EXPECT_FALSE(a->GrupoTazuAusente());
  EXPECT_EQ(a->GrupoTazu(), 2);
  EXPECT_EQ(a->MembrosTazu(), 3) << "the ignored item counts for the group";
  EXPECT_EQ(a->ListaContatos.Quantidade(), 3);
  EXPECT_EQ(a->ListaContatos.Localizar("666666"), nullptr);
  // The ignored item's id is the largest: a new one goes above it.
  a->AdicionarContato("222222");
  ponte.Girar();
  ASSERT_NE(ItemDoServidor("222222"), nullptr);
  EXPECT_EQ(sim.Conta("111111")->lista.back().item, 41);
}

TEST_F(Comunicador, GrupoTazuAusenteEhCriadoAntesDoContato) {
  sim.AdicionarAoGrupo("111111", "333333", "Eco", "Amigos");
  sim.AdicionarAoGrupo("111111", "555555", "X", "Trabalho");  // group 2
  auto& l = sim.Conta("111111")->lista;
  for (auto& i : l)
    if (i.grupo == 2) i.grupo = 14;  // the largest group id seen
  Entrar();
  EXPECT_EQ(a->GrupoTazu(), 15);
  Eventos();
  a->AdicionarContato("222222");
  ponte.Girar();
  const icq::TItemLista* grupo = ItemDoServidor("Tazu", icq::lista::kGrupo);
  const icq::TItemLista* contato = ItemDoServidor("222222");
  ASSERT_NE(grupo, nullptr);
  ASSERT_NE(contato, nullptr);
  EXPECT_EQ(grupo->grupo, 15);
  EXPECT_EQ(contato->grupo, 15);
  EXPECT_EQ(contato->apelido, "Bia");
  EXPECT_TRUE(contato->aguardandoAutorizacao);
  EXPECT_EQ(Eventos(), (Evs{"Adicionado 222222", "Contato 111111/1234 Bia 222222 3 D ICQ"}));
  EXPECT_EQ(a->MembrosTazu(), 1);
}

TEST_F(Comunicador, AdicaoComGrupoNovoReportaOResultadoDoContato) {
  // Before: the group's own answer (0) was taken for the contact's.
  Entrar();
  Eventos();
  a->AdicionarContato("987654");  // nobody has this number
  ponte.Avancar(11s);
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar"}));
  EXPECT_EQ(a->ListaContatos.Localizar("987654"), nullptr);
}

TEST_F(Comunicador, AutorizacaoExigidaConcedidaRefazAAdicao) {
  Entrar();
  Eventos();
  auto caio = std::make_unique<icq::TICQClient>(rt);
  caio->UIN = 444444;
  caio->Password = "senha4";
  caio->ICQServer = "127.0.0.1";
  caio->ICQPort = sim.PortaLogin();
  Evs deCaio;
  GravarEventosICQ(*caio, deCaio);
  caio->Login(0);
  ponte.Girar();
  a->AdicionarContato("444444");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar", "ExigirAutorizacao 444444 Caio"}));
  a->PedirAutorizacao("444444", "sou a Ana");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Contato 111111/1234 Caio 444444 3 A ICQ"}));
  EXPECT_EQ(deCaio.back(), "OnAuthRequest(111111, \"sou a Ana\")");
  caio->ReplyAuthorization("111111", "", true);
  ponte.Girar();
  // The add runs again and, this once, does not stop at the authorisation.
  EXPECT_EQ(Eventos(), (Evs{"Evento 4 444444 Caio []", "Adicionado 444444",
                            "Contato 111111/1234 Caio 444444 3 D ICQ",
                            "Contato 111111/1234 Caio 444444 1 C ICQ"}));
  ASSERT_NE(ItemDoServidor("444444"), nullptr);
  // The next add checks again.
  sim.AdicionarConta("777777", "x", "Duda").exigeAutorizacao = true;
  a->AdicionarContato("777777");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar", "ExigirAutorizacao 777777 Duda"}));
}

TEST_F(Comunicador, UmaAlteracaoDaListaDeCadaVez) {
  Entrar();
  std::vector<std::string> enviados;
  a->Motor().OnPktParse = [&](icq::TICQClient&, std::string_view b, bool entrada) {
    icq::TSnac s;
    if (!entrada && b.size() > 6 && icq::LerSnac(b.substr(6), s) && s.familia == 0x13)
      enviados.push_back(std::to_string(s.subtipo));
    if (entrada && b.size() > 6 && icq::LerSnac(b.substr(6), s) && s.familia == 0x13 &&
        s.subtipo == 0x0E)
      enviados.push_back("resultado");
  };
  a->AdicionarContato("222222");
  a->AdicionarContato("333333");
  ponte.Girar();
  // Begin, group, contact, end: both answers; only then the second change.
  EXPECT_EQ(enviados,
            (Evs{"17", "8", "8", "18", "resultado", "resultado", "17", "8", "18", "resultado"}));
  EXPECT_EQ(a->MembrosTazu(), 2);
  Eventos();
  // Removing both empties the group, which goes too.
  a->RemoverContato("222222");
  a->RemoverContato("333333");
  ponte.Girar();
  EXPECT_EQ(ItemDoServidor("Tazu", icq::lista::kGrupo), nullptr);
  EXPECT_TRUE(a->GrupoTazuAusente());
  EXPECT_EQ(Eventos(), Evs{});
  // Adding again makes the group anew.
  a->AdicionarContato("222222");
  ponte.Girar();
  EXPECT_NE(ItemDoServidor("Tazu", icq::lista::kGrupo), nullptr);
}

TEST_F(Comunicador, RemoverDeOutroGrupoNaoApagaOGrupoTazu) {
  sim.AdicionarAoGrupo("111111", "333333", "Eco", "Amigos");
  sim.AdicionarAoGrupo("111111", "222222", "Bia", "Tazu");
  Entrar();
  a->RemoverContato("333333");
  ponte.Girar();
  EXPECT_NE(ItemDoServidor("Tazu", icq::lista::kGrupo), nullptr);
  EXPECT_EQ(a->MembrosTazu(), 1);
  EXPECT_EQ(ItemDoServidor("333333"), nullptr);
  a->RemoverContato("999");  // unknown: nothing
  ponte.Girar();
  EXPECT_EQ(a->MembrosTazu(), 1);
}

TEST_F(Comunicador, MensagensDeEstranhosETextoRico) {
  Entrar();
  Eventos();
  Bia().SendPlainMessage(111111, "{\\rtf1\\ansi ol\\'e1\\par}");
  Bia().SendPlainMessage(111111, "de novo");
  ponte.Girar();
  // Her presence follows, with the nickname the server gives.
  EXPECT_EQ(Eventos(),
            (Evs{"Contato 111111/1234 222222 222222 255 F ICQ", "Msg 222222 222222 [olá]",
                 "Msg 222222 222222 [de novo]", "Contato 111111/1234 Bia 222222 1 F ICQ"}));
  EXPECT_EQ(a->ListaContatos.Localizar("222222")->Lista, 'F');
}

TEST_F(Comunicador, EnvioEConfirmacoes) {
  sim.AdicionarAoGrupo("111111", "222222", "Bia", "Tazu");
  sim.AdicionarAoGrupo("111111", "333333", "Eco", "Tazu");
  Entrar();
  ponte.Girar();
  Eventos();
  // Named and offline: not delivered, with the notice; unknown: plain.
  a->EnviarMensagem("1234", "222222", "oi");
  a->EnviarMensagem("1234", "987", "x");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Confirma 222222 nao 3 [Bia não está conectado. A mensagem será "
                            "enviada quando ele se conectar:\r\noi]",
                            "Confirma 987 sim 3"}));
  EXPECT_EQ(sim.Conta("222222")->offline.size(), 1u);
  // Online and named: acknowledged (the echo bot acknowledges and answers).
  a->EnviarMensagem("1234", "333333", "eco");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Confirma 333333 sim 1", "Msg 333333 Eco [eco]"}));
  // An empty text is never acknowledged, so it cannot turn acknowledgements off.
  a->EnviarMensagem("1234", "333333", "");
  ponte.Avancar(9s);
  EXPECT_EQ(Eventos(), (Evs{"Confirma 333333 sim 1"}));
  EXPECT_TRUE(a->MensagensComConfirmacao());
}

TEST_F(Comunicador, SemConfirmacaoEm8sViraMensagemSimplesParaSempre) {
  sim.AdicionarAoGrupo("111111", "222222", "Bia", "Tazu");
  Entrar();
  // Bia shows online here, but the server cannot deliver to her: no
  // acknowledgement will come.
  a->Motor().OnStatusChange(a->Motor(), "222222", 0);
  ponte.Girar();
  Eventos();
  a->EnviarMensagem("1234", "222222", "um");
  ponte.Avancar(7999ms);
  EXPECT_EQ(Eventos(), Evs{});
  ponte.Avancar(1ms);
  EXPECT_EQ(Eventos(), (Evs{"Confirma 222222 sim 1"}));
  EXPECT_FALSE(a->MensagensComConfirmacao());
  ASSERT_EQ(sim.Conta("222222")->offline.size(), 1u) << "sent again as a plain message";
  EXPECT_EQ(sim.Conta("222222")->offline[0].texto, "um");
  a->EnviarMensagem("1234", "222222", "dois");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Confirma 222222 sim 1"})) << "plain at once from now on";
  EXPECT_EQ(sim.Conta("222222")->offline.size(), 2u);
  // A late acknowledgement still confirms.
  a->Motor().OnAdvancedMsgAck(a->Motor(), "222222", 1, 0, "");
  EXPECT_EQ(Eventos(), (Evs{"Confirma 222222 sim 1"}));
}

TEST_F(Comunicador, TiposDeAceite) {
  Entrar();
  Eventos();
  for (uint8_t aceite : {0, 4, 9, 10, 12, 14, 7})
    a->Motor().OnAdvancedMsgAck(a->Motor(), "222222", 1, aceite, "txt");
  EXPECT_EQ(Eventos(), (Evs{"Confirma 222222 sim 1 [txt]", "Confirma 222222 sim 8 [txt]",
                            "Confirma 222222 nao 6 [txt]", "Confirma 222222 nao 3 [txt]",
                            "Confirma 222222 sim 1 [txt]", "Confirma 222222 sim 8 [txt]",
                            "Confirma 222222 sim 0 [txt]"}));
}

TEST_F(Comunicador, StatusDoUsuarioEDosContatos) {
  sim.AdicionarAoGrupo("111111", "222222", "", "Tazu");  // unnamed: the server names her
  Criar(8);
  a->MudarStatus(6);  // before the first login: nothing
  EXPECT_EQ(a->Status, 8);
  a->Conectar();
  ponte.Girar();
  Bia().AddToContactList(111111);
  ponte.Girar();
  EXPECT_EQ(deBia.back(), "OnStatusChange(111111, 1)") << "logged in as Longe (away)";
  Eventos();
  Bia().SetStatus(0x0011);
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Contato 111111/1234 Bia 222222 6 C ICQ"}));
  a->MudarStatus(5);
  ponte.Girar();
  EXPECT_EQ(deBia.back(), "OnStatusChange(111111, 19)");
  Bia().LogOff();
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Contato 111111/1234 Bia 222222 3 D ICQ"}));
  a->MudarStatus(3);
  EXPECT_EQ(Eventos(), (Evs{"OnDesconectar"}));
  EXPECT_FALSE(a->Logado());
  ponte.Avancar(7999ms);
  EXPECT_EQ(Eventos(), Evs{});
  ponte.Avancar(1ms);
  EXPECT_EQ(Eventos(), (Evs{"AoLiberar"}));
}

TEST_F(Comunicador, LoginQueFalhaOuEhAbandonado) {
  Criar().Senha = "errada";
  a->Conectar();
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"OnFalhaConexao"}));
  a->MudarStatus(1);  // still not logged in: ignored
  ponte.Avancar(8s);
  EXPECT_EQ(Eventos(), (Evs{"AoLiberar"}));

  // Given up while logging in: no login comes after (it used to carry on).
  Criar().Conectar();
  a->Desconectar("1234");
  ponte.Avancar(10s);
  EXPECT_EQ(Eventos(), (Evs{"OnDesconectar", "AoLiberar"}));
  EXPECT_FALSE(sim.Online("111111"));
}

TEST_F(Comunicador, ApelidoEmBrancoDoServidorNaoApagaONome) {
  sim.AdicionarAoGrupo("111111", "999999", "", "Tazu");  // nobody: the look-up fails
  Entrar();
  Eventos();
  a->Motor().OnStatusChange(a->Motor(), "999999", 0);
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Contato 111111/1234 999999 999999 1 C ICQ"}));
}

TEST_F(Comunicador, LoginSemRespostaDesisteEm60s) {
  // A server that takes the connection and never says a word.
  auto mudo = rt.CreateTcpListener();
  std::vector<std::unique_ptr<net::TcpSocket>> presos;
  mudo->onAccept = [&](std::unique_ptr<net::TcpSocket> s) { presos.push_back(std::move(s)); };
  ASSERT_TRUE(mudo->Listen("127.0.0.1", 0));
  a = std::make_unique<icq::TComunicadorICQ>(rt, 1, "1234", "segredo", "111111",
                                             TEnderecoServidor{"127.0.0.1", mudo->Port()});
  Gravar(*a);
  a->Conectar();
  ponte.Avancar(59s, 1s);
  EXPECT_EQ(Eventos(), Evs{});
  ponte.Avancar(1s);
  EXPECT_EQ(Eventos(), (Evs{"OnFalhaConexao"}));
}

TEST_F(Comunicador, AutorizacaoEventosDeContato) {
  sim.AdicionarAoGrupo("111111", "222222", "Bia", "Tazu");
  Entrar();
  Bia();
  ponte.Girar();
  Eventos();
  Bia().RequestAuthorization(111111, "posso?");
  Bia().AddServerContact("111111", "Ana", 1, 1, true);
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"Evento 2 222222 Bia [posso?]", "Evento 1 222222 Bia []"}));
  a->ResponderAutorizacao("222222", true);
  ponte.Girar();
  EXPECT_EQ(deBia.back(), "OnAuthResponse(111111, granted, \"\")");
  // Two answers in a row each keep their own kind and text.
  a->Motor().OnAuthResponse(a->Motor(), "222222", false, "n\xE3o");
  a->Motor().OnAuthResponse(a->Motor(), "333333", false, "nunca");
  ponte.Girar();
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar", "AoConfirmar", "Evento 3 222222 Bia [não]",
                            "Evento 3 333333 Eco [nunca]"}));
}

TEST_F(Comunicador, InformacoesEBusca) {
  sim::icq::TContaSim& b = *sim.Conta("222222");
  b.geral.nome = "Beatriz";
  b.geral.sobrenome = "Lima";
  b.geral.cidade = "Recife";
  b.geral.pais = 55;
  b.geral.email = "bia@ex.com";
  b.mais = {30, 1, "http://bia", 1994, 3, 7, {36, 0, 0}};
  b.trabalho.empresa = "Tazu";
  b.trabalho.ocupacao = 5;
  Entrar();
  Eventos();
  a->PedirInformacoes("222222");
  ponte.Girar();
  EXPECT_EQ(Eventos(),
            (Evs{"Info 1 222222 Bia |Beatriz Lima|||Recife||Brazil||||||||||bia@ex.com|0||",
                 "Info 1 222222  "
                 "||Feminino|07/03/1994|||||||Portuguese|Unknown|Unknown|||||0|http://bia|30",
                 "Info 2 222222  Tazu|||Unknown|||Computers||"}));
  for (const char* busca : {"1222222", "2Bia", "3Beatriz", "4bia@ex.com", "4nada@ex.com", "9x"})
    a->BuscarContato(busca[0], busca + 1);
  ponte.Girar();
  const std::string bia = "Busca 222222 Bia [Beatriz Lima] bia@ex.com 0";
  EXPECT_EQ(Eventos(), (Evs{bia, "FimDaBusca", bia, "FimDaBusca", bia, "FimDaBusca", bia,
                            "FimDaBusca", "FimDaBusca"}));
}

}  // namespace
}  // namespace tazu::test
