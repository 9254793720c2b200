#include <gtest/gtest.h>

#include <random>

#include "core/Listas.h"
#include "core/UGlobal.h"

namespace tazu {
namespace {

std::vector<int> Itens(const TLista<int>& l) {
  std::vector<int> v;
  for (int* p : l) v.push_back(*p);
  return v;
}

TEST(TLista, RemoverPastTheEndTellsTheOwnerAndChangesNothing) {
  std::vector<std::string> avisos;
  const auto anotar = [&](const std::string& t) { avisos.push_back(t); };
  TLista<int> vazia;
  vazia.AoInformar = anotar;
  vazia.Remover();
  ASSERT_EQ(avisos, std::vector<std::string>{"Fora da Lista."});

  int a = 1, b = 2;
  TLista<int> l;
  l.AoInformar = anotar;
  l.Inserir(&a);
  l.Ultimo();
  l.Proximo();
  l.Inserir(&b);
  l.Primeiro();
  l.Proximo();
  l.Proximo();
  ASSERT_TRUE(l.FimDaLista());
  l.Remover();
  EXPECT_EQ(avisos.size(), 2u);
  EXPECT_EQ(Itens(l), (std::vector<int>{1, 2}));
}

TEST(TLista, InserirGoesBeforeTheCursorOrAtTheEnd) {
  int v[4] = {0, 1, 2, 3};
  TLista<int> l;
  l.Inserir(&v[1]);  // empty list: appended, cursor on it
  EXPECT_TRUE(l.EhPrimeiro() && l.EhUltimo());
  l.IrPara(-1);
  l.Inserir(&v[3]);  // at the end
  l.Primeiro();
  l.Inserir(&v[0]);  // before the first: becomes the first
  EXPECT_TRUE(l.EhPrimeiro());
  EXPECT_EQ(*l.Atual(), 0);
  ASSERT_TRUE(l.IrPara(2));
  l.Inserir(&v[2]);  // before 3
  EXPECT_EQ(*l.Atual(), 2);
  EXPECT_EQ(Itens(l), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(l.Quantidade(), 4u);
}

TEST(TLista, RemoverMovesTheCursorToSuccessorElsePredecessor) {
  int v[3] = {1, 2, 3};
  std::vector<int> liberados;
  TLista<int> l;
  l.AoLiberar = [&](int* p) { liberados.push_back(*p); };
  for (int& x : v) {
    l.IrPara(-1);
    l.Inserir(&x);
  }
  l.Ultimo();
  l.Remover();  // last of three: cursor on the second
  EXPECT_FALSE(l.FimDaLista());
  EXPECT_EQ(*l.Atual(), 2);
  EXPECT_TRUE(l.EhUltimo());
  l.Primeiro();
  l.Remover();  // first: cursor on its successor
  EXPECT_EQ(*l.Atual(), 2);
  EXPECT_TRUE(l.EhPrimeiro());
  l.Remover();  // the only node: end of list
  EXPECT_TRUE(l.FimDaLista());
  EXPECT_EQ(liberados, (std::vector<int>{3, 1, 2}));
  EXPECT_TRUE(l.Vazia());
}

TEST(TLista, IrParaFollowsItsRules) {
  int v[3] = {1, 2, 3};
  TLista<int> l;
  EXPECT_TRUE(l.IrPara(-1));
  EXPECT_FALSE(l.IrPara(0));
  for (int& x : v) {
    l.IrPara(-1);
    l.Inserir(&x);
  }
  ASSERT_TRUE(l.IrPara(1));
  EXPECT_FALSE(l.IrPara(3));
  EXPECT_EQ(*l.Atual(), 2);
  EXPECT_FALSE(l.IrPara(-2));
  EXPECT_EQ(*l.Atual(), 2);
  EXPECT_TRUE(l.IrPara(-1));
  EXPECT_TRUE(l.FimDaLista());
}

std::unique_ptr<TContato> Contato(const std::string& comunidade, const std::string& id) {
  auto c = std::make_unique<TContato>();
  c->Comunicador = comunidade;
  c->Identificador = id;
  return c;
}

TEST(TContato, StartsAsANativeTazuContact) {
  TContato c;
  EXPECT_EQ(c.Origem, "D");
  EXPECT_EQ(c.Comunicador, "Tazu");
  EXPECT_TRUE(c.Nativo);
  EXPECT_FALSE(c.Conectado);
  EXPECT_EQ(c.NIU, 0);
  EXPECT_EQ(c.Status, 0);
  c.Apelido = std::string(40, 'x');
  EXPECT_EQ(c.Apelido.size(), 25u);
  c.Origem = "TOOLONG";
  EXPECT_EQ(c.Origem, "TOOLO");
}

TEST(TListaDeContatos, LocalizarComparesCommunityExactlyAndIdentifierInUpperCase) {
  TListaDeContatos l;
  l.Adicionar(Contato("Tazu", "123"));
  TContato* msn = l.Adicionar(Contato("MSN", "ana@exemplo.com"));
  TContato* acento = l.Adicionar(Contato("Yahoo", "jo\xE3o"));
  EXPECT_TRUE(l.Localizar("MSN", "ANA@EXEMPLO.COM"));
  EXPECT_EQ(l.ContatoAtual(), msn);
  EXPECT_FALSE(l.Localizar("msn", "ana@exemplo.com"));
  EXPECT_TRUE(l.FimDaLista());
  EXPECT_EQ(l.ContatoAtual(), nullptr);
  EXPECT_TRUE(l.Localizar("Yahoo", "JO\xC3O"));
  EXPECT_EQ(l.ContatoAtual(), acento);
  EXPECT_FALSE(l.Localizar("Tazu", "1234"));
}

TEST(TListaDeContatos, LimparAnnouncesEveryContactInOrderBeforeFreeingIt) {
  TListaDeContatos l;
  for (const char* id : {"1", "2", "3"}) l.Adicionar(Contato("Tazu", id));
  std::vector<std::string> anunciados;
  l.AoLiberarContato = [&](TContato* c) { anunciados.push_back(c->Identificador); };
  l.Limpar();
  EXPECT_EQ(anunciados, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(l.Vazia());
  EXPECT_FALSE(l.Localizar("Tazu", "1"));
}

TEST(TListaDeContatos, RemoverDaComunidadeSurvivesHandlersThatTouchTheList) {
  TListaDeContatos l;
  for (int i = 0; i < 6; ++i) l.Adicionar(Contato(i % 2 ? "ICQ" : "MSN", std::to_string(i)));
  std::vector<std::string> removidos;
  l.AoLiberarContato = [&](TContato* c) {
    removidos.push_back(c->Identificador);
    // A window reacting to the removal walks the list and drops the contact
    // that comes next, which the walk was about to visit.
    l.Primeiro();
    while (!l.FimDaLista()) l.Proximo();
    if (c->Identificador == "1" && l.Localizar("MSN", "2")) l.Remover();
  };
  l.RemoverDaComunidade("ICQ");
  EXPECT_EQ(removidos, (std::vector<std::string>{"1", "2", "3", "5"}));
  std::vector<std::string> restantes;
  for (TContato* c : l) restantes.push_back(c->Identificador);
  EXPECT_EQ(restantes, (std::vector<std::string>{"0", "4"}));
  EXPECT_TRUE(l.FimDaLista());
  l.AoLiberarContato = nullptr;
}

// Random inserts (anywhere), deletions and look-ups against a plain vector
// walked the slow way: the index must give the same answers and leave the
// cursor on the same contact.
TEST(TListaDeContatos, IndexAgreesWithALinearWalk) {
  std::mt19937 rng(42);
  TListaDeContatos l;
  std::vector<TContato*> modelo;
  const char* comunidades[] = {"Tazu", "MSN", "ICQ", "msn"};
  auto id = [&] { return std::string(1, "abAB"[rng() % 4]) + std::to_string(rng() % 8); };
  for (int passo = 0; passo < 20000; ++passo) {
    const unsigned op = rng() % 10;
    if (op < 4) {
      const size_t pos = modelo.empty() ? 0 : rng() % (modelo.size() + 1);
      auto c = Contato(comunidades[rng() % 4], id());
      TContato* p = c.get();
      if (pos == modelo.size()) {
        l.Adicionar(std::move(c));
      } else {
        ASSERT_TRUE(l.IrPara(static_cast<int>(pos)));
        l.Inserir(c.release());
      }
      modelo.insert(modelo.begin() + pos, p);
    } else if (op < 6 && !modelo.empty()) {
      const size_t pos = rng() % modelo.size();
      ASSERT_TRUE(l.IrPara(static_cast<int>(pos)));
      l.Remover();
      modelo.erase(modelo.begin() + pos);
    } else {
      const std::string com = comunidades[rng() % 4];
      const std::string ident = id();
      TContato* esperado = nullptr;
      for (TContato* c : modelo) {
        if (c->Comunicador == com && MaiusculasAnsi(c->Identificador) == MaiusculasAnsi(ident)) {
          esperado = c;
          break;
        }
      }
      ASSERT_EQ(l.Localizar(com, ident), esperado != nullptr);
      ASSERT_EQ(l.ContatoAtual(), esperado);
    }
  }
  ASSERT_EQ(l.Quantidade(), modelo.size());
}

TEST(TListaDeContatos, ReindexarFollowsAChangedIdentifier) {
  TListaDeContatos l;
  TContato* c = l.Adicionar(Contato("ICQ", "100"));
  c->Identificador = "200";
  l.Reindexar(c);
  EXPECT_FALSE(l.Localizar("ICQ", "100"));
  EXPECT_TRUE(l.Localizar("ICQ", "200"));
}

}  // namespace
}  // namespace tazu
