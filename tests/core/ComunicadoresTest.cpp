#include <gtest/gtest.h>

#include "core/Comunicadores.h"
#include "net/testing/FakeRuntime.h"

namespace tazu {
namespace {

class Adaptador : public TInterfaceComunicador {
 public:
  Adaptador(net::Runtime& rt, std::string nome) : TInterfaceComunicador(rt) {
    NomeComunicador = std::move(nome);
  }
};

class ComunicadoresTest : public ::testing::Test {
 protected:
  net::FakeRuntime rt;
};

TEST_F(ComunicadoresTest, LocalizarIsCaseSensitiveAndFindsTheFirstAdded) {
  Adaptador msn1(rt, "MSN"), msn2(rt, "MSN"), icq(rt, "ICQ");
  TListaDeComunicadores lista;
  lista.Adicionar(&msn1);
  lista.Adicionar(&icq);
  lista.Adicionar(&msn2);
  EXPECT_FALSE(lista.Localizar("msn"));
  EXPECT_EQ(lista.ComunicadorAtual(), nullptr);
  ASSERT_TRUE(lista.Localizar("MSN"));
  EXPECT_EQ(lista.ComunicadorAtual(), &msn1);
  ASSERT_TRUE(lista.Localizar("ICQ"));
  EXPECT_EQ(lista.ComunicadorAtual(), &icq);
  EXPECT_FALSE(lista.Localizar("Yahoo"));
}

TEST_F(ComunicadoresTest, DesconectarAnnouncesWhileListedThenLeavesTheList) {
  Adaptador yahoo(rt, "Yahoo");
  TListaDeComunicadores lista;
  lista.Adicionar(&yahoo);
  bool listadoDuranteOEvento = false;
  std::string motivoVisto;
  yahoo.OnDesconectar = [&](TInterfaceComunicador& s) {
    EXPECT_EQ(&s, &yahoo);
    listadoDuranteOEvento = lista.Localizar("Yahoo");
  };
  yahoo.Desconectar("1234");
  EXPECT_TRUE(listadoDuranteOEvento);
  EXPECT_FALSE(lista.Localizar("Yahoo"));
  EXPECT_TRUE(lista.Vazia());
}

TEST_F(ComunicadoresTest, ADisconnectingDuplicateTakesOnlyItselfOut) {
  Adaptador primeiro(rt, "MSN"), segundo(rt, "MSN");
  TListaDeComunicadores lista;
  lista.Adicionar(&primeiro);
  lista.Adicionar(&segundo);
  segundo.Desconectar("1");
  ASSERT_TRUE(lista.Localizar("MSN"));
  EXPECT_EQ(lista.ComunicadorAtual(), &primeiro);
  EXPECT_EQ(lista.Quantidade(), 1u);
}

TEST_F(ComunicadoresTest, NeitherSideDanglesWhenTheOtherGoesFirst) {
  TListaDeComunicadores lista;
  {
    Adaptador curto(rt, "ICQ");
    lista.Adicionar(&curto);
  }  // freed without logging off: the list forgets it
  EXPECT_TRUE(lista.Vazia());

  auto longo = std::make_unique<Adaptador>(rt, "MSN");
  {
    TListaDeComunicadores efemera;
    efemera.Adicionar(longo.get());
  }
  longo->Desconectar("1");  // must not reach the list that is gone
  longo.reset();
}

TEST_F(ComunicadoresTest, BaseOperationsDoNothingAndRaiseNothing) {
  Adaptador a(rt, "ICQ");
  int eventos = 0;
  auto conta = [&](auto&&...) { ++eventos; };
  a.OnConectar = a.OnFalhaConexao = a.AoConfirmar = a.AoFinalizarBusca = conta;
  a.OnReceberMsg = conta;
  a.AoReceberEvento = a.AoReceberInfoUsuario = conta;
  a.AoReceberBusca = conta;
  a.OnConfirmaEnvio = conta;
  a.AoAdicionarComSucesso = a.OnUsuarioNaoExiste = conta;
  a.OnReceberContato = conta;
  a.Status = 7;
  a.BuscarContato('1', "x");
  a.Conectar();
  a.EnviarMensagem("1", "2", "oi");
  a.MudarStatus(3);
  a.AdicionarContato("2");
  a.RemoverContato("2");
  a.PedirInformacoes("2");
  a.PedirAutorizacao("2", "por favor");
  a.ResponderAutorizacao("2", true);
  a.PararTemporizador();  // no timer: nothing to stop
  EXPECT_EQ(eventos, 0);
  EXPECT_EQ(a.Status, 7);
  EXPECT_TRUE(a.SegueStatus);
}

TEST_F(ComunicadoresTest, ReceberMensagemAndReceberContatoPassTheirValuesOn) {
  Adaptador a(rt, "Yahoo");
  std::vector<std::string> visto;
  a.OnReceberMsg = [&](TInterfaceComunicador& s, const std::string& id, const std::string& apelido,
                       const std::string& msg, bool aoVivo, const std::string& com) {
    EXPECT_EQ(&s, &a);
    visto = {id, apelido, msg, aoVivo ? "vivo" : "guardada", com};
  };
  a.ReceberMensagem("conta", "oi!", "amigo", "ignorado", "Yahoo", "Amigo", false);
  EXPECT_EQ(visto, (std::vector<std::string>{"amigo", "Amigo", "oi!", "guardada", "Yahoo"}));

  a.OnReceberContato = [&](const std::string& usuario, const std::string& niu,
                           const std::string& apelido, const std::string& id,
                           const std::string& status, char lista, const std::string& com) {
    visto = {usuario, niu, apelido, id, status, std::string(1, lista), com};
  };
  a.ReceberContato("conta", "1234", "Amigo", "amigo", "255", 'F', "Yahoo");
  EXPECT_EQ(visto,
            (std::vector<std::string>{"conta", "1234", "Amigo", "amigo", "255", "F", "Yahoo"}));
}

TEST_F(ComunicadoresTest, PararTemporizadorStopsTheAdaptersTimer) {
  Adaptador a(rt, "MSN");
  int ticks = 0;
  a.Temporizador = rt.CreateTimer();
  a.Temporizador->onTimeout = [&] { ++ticks; };
  a.Temporizador->Start(net::Milliseconds(100));
  rt.Advance(net::Milliseconds(250));
  EXPECT_EQ(ticks, 2);
  a.PararTemporizador();
  rt.Advance(net::Milliseconds(1000));
  EXPECT_EQ(ticks, 2);
}

TEST(TListaDeUsuarios, FindsIdentifiersWithoutRegardToCase) {
  TListaDeUsuarios l;
  auto u = std::make_unique<TUsuario>();
  u->Identificador = std::string(60, 'x');
  EXPECT_EQ(u->Identificador.size(), 50u);
  EXPECT_EQ(u->Status, 3);
  TUsuario* p = l.Adicionar("Ana@Exemplo.com", std::move(u));
  l.Adicionar("b", std::make_unique<TUsuario>());
  EXPECT_EQ(l.Localizar("ANA@EXEMPLO.COM"), p);
  EXPECT_EQ(l.IndiceDe("B"), 1);
  EXPECT_EQ(l.IndiceDe("c"), -1);
  EXPECT_TRUE(l.Remover("ana@exemplo.com"));
  EXPECT_FALSE(l.Remover("ana@exemplo.com"));
  EXPECT_EQ(l.Quantidade(), 1);
  EXPECT_EQ(l.Chave(0), "b");
}

}  // namespace
}  // namespace tazu
