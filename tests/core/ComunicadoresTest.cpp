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

class Comunicadores : public ::testing::Test {
 protected:
  net::FakeRuntime rt;
};

TEST_F(Comunicadores, LocalizarDistingueMaiusculasEAchaOPrimeiro) {
  Adaptador msn1(rt, "MSN"), msn2(rt, "MSN"), icq(rt, "ICQ");
  TListaDeComunicadores lista;
  for (Adaptador* a : {&msn1, &icq, &msn2}) lista.Adicionar(a);
  EXPECT_FALSE(lista.Localizar("msn"));
  EXPECT_EQ(lista.ComunicadorAtual(), nullptr);
  ASSERT_TRUE(lista.Localizar("MSN"));
  EXPECT_EQ(lista.ComunicadorAtual(), &msn1);
  // A duplicate that logs off takes only itself out, after its event.
  bool listadoDuranteOEvento = false;
  msn2.OnDesconectar = [&](TInterfaceComunicador& s) {
    listadoDuranteOEvento = &s == &msn2 && lista.Quantidade() == 3;
  };
  msn2.Desconectar("1");
  EXPECT_TRUE(listadoDuranteOEvento);
  ASSERT_TRUE(lista.Localizar("MSN"));
  EXPECT_EQ(lista.ComunicadorAtual(), &msn1);
  EXPECT_EQ(lista.Quantidade(), 2u);
}

TEST_F(Comunicadores, NenhumLadoFicaPenduradoQuandoOOutroSaiPrimeiro) {
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
}

TEST(TListaDeUsuarios, AchaIdentificadoresSemDistinguirMaiusculas) {
  TListaDeUsuarios l;
  TUsuario* p = l.Adicionar("Ana@Exemplo.com", std::make_unique<TUsuario>());
  l.Adicionar("b", std::make_unique<TUsuario>());
  EXPECT_EQ(l.Localizar("ANA@EXEMPLO.COM"), p);
  EXPECT_EQ(l.IndiceDe("B"), 1);
  EXPECT_EQ(l.IndiceDe("c"), -1);
  EXPECT_TRUE(l.Remover("ana@exemplo.com"));
  EXPECT_FALSE(l.Remover("ana@exemplo.com"));
  EXPECT_EQ(l.Chave(0), "b");
  EXPECT_EQ(l.IndiceDe("b"), 0) << "positions after a removal move up";
  l.Adicionar("B", std::make_unique<TUsuario>());
  EXPECT_EQ(l.IndiceDe("b"), 0) << "the first of the same identifier wins";
  l.Remover(0);
  EXPECT_EQ(l.Chave(l.IndiceDe("b")), "B");
}

}  // namespace
}  // namespace tazu
