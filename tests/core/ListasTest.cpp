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

// Builds 1..n in order, each item appended.
void Encher(TLista<int>& l, int (&v)[3]) {
  for (int& x : v) {
    l.IrPara(-1);
    l.Inserir(&x);
  }
}

TEST(TLista, RemoverLevaOCursorAoSucessorSenaoAoAntecessor) {
  int v[3] = {1, 2, 3};
  std::vector<int> liberados;
  TLista<int> l;
  l.AoLiberar = [&](int* p) { liberados.push_back(*p); };
  Encher(l, v);
  l.Ultimo();
  l.Remover();
  EXPECT_TRUE(*l.Atual() == 2 && l.EhUltimo());
  l.Primeiro();
  l.Remover();
  EXPECT_TRUE(*l.Atual() == 2 && l.EhPrimeiro());
  l.Remover();
  EXPECT_TRUE(l.FimDaLista() && l.Vazia());
  EXPECT_EQ(liberados, (std::vector<int>{3, 1, 2}));
}

TEST(TLista, IrParaERemoverForaDaLista) {
  int v[3] = {1, 2, 3};
  TLista<int> l;
  EXPECT_TRUE(l.IrPara(-1));
  EXPECT_FALSE(l.IrPara(0));
  Encher(l, v);
  ASSERT_TRUE(l.IrPara(1));
  EXPECT_FALSE(l.IrPara(3));
  EXPECT_FALSE(l.IrPara(-2));
  EXPECT_EQ(*l.Atual(), 2);  // a refused move leaves the cursor
  EXPECT_TRUE(l.IrPara(-1));
  EXPECT_TRUE(l.FimDaLista());

  // Removing past the end tells the owner and changes nothing.
  std::vector<std::string> avisos;
  l.AoInformar = [&](const std::string& t) { avisos.push_back(t); };
  l.Remover();
  EXPECT_EQ(avisos, std::vector<std::string>{"Fora da Lista."});
  EXPECT_EQ(Itens(l), (std::vector<int>{1, 2, 3}));
}

std::unique_ptr<TContato> Contato(const std::string& comunidade, const std::string& id) {
  auto c = std::make_unique<TContato>();
  c->Comunicador = comunidade;
  c->Identificador = id;
  return c;
}

TEST(TListaDeContatos, RemoverDaComunidadeSobreviveAHandlersQueMexemNaLista) {
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

  removidos.clear();
  l.Limpar();  // every contact announced, in order, before it is freed
  EXPECT_EQ(removidos, (std::vector<std::string>{"0", "4"}));
  l.AoLiberarContato = nullptr;
}

// Random inserts (anywhere: before the cursor, or appended), deletions, renames
// and look-ups against a plain vector walked the slow way: the same order, and
// the index must give the same answers and leave the cursor on the same
// contact. The community compares exactly, the
// identifier in upper case (accented letters included).
TEST(TListaDeContatos, IndiceConcordaComUmPercursoLinear) {
  std::mt19937 rng(42);
  TListaDeContatos l;
  std::vector<TContato*> modelo;
  const char* comunidades[] = {"Tazu", "MSN", "ICQ", "msn"};
  auto id = [&] { return std::string(1, "ab\xE3\xC3"[rng() % 4]) + std::to_string(rng() % 8); };
  for (int passo = 0; passo < 20000; ++passo) {
    const unsigned op = rng() % 10;
    if (op < 4) {
      const size_t pos = modelo.empty() ? 0 : rng() % (modelo.size() + 1);
      auto c = Contato(comunidades[rng() % 4], id());
      modelo.insert(modelo.begin() + pos, c.get());
      if (pos + 1 == modelo.size()) {
        l.Adicionar(std::move(c));
      } else {
        ASSERT_TRUE(l.IrPara(static_cast<int>(pos)));
        l.Inserir(c.release());
      }
    } else if (op < 6 && !modelo.empty()) {
      const size_t pos = rng() % modelo.size();
      ASSERT_TRUE(l.IrPara(static_cast<int>(pos)));
      l.Remover();
      modelo.erase(modelo.begin() + pos);
    } else if (op < 7 && !modelo.empty()) {
      TContato* c = modelo[rng() % modelo.size()];
      c->Identificador = id();
      l.Reindexar(c);
    } else {
      const std::string com = comunidades[rng() % 4], ident = id();
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
  EXPECT_EQ(std::vector<TContato*>(l.begin(), l.end()), modelo);
}

}  // namespace
}  // namespace tazu
