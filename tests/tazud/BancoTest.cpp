// The store on its own: how searches read it, and who may read its file.
#include <sys/stat.h>

#include "tests/tazud/Ambiente.h"

namespace tazu::tazud {
namespace {

class Banco : public test::Ambiente {
 protected:
  void SetUp() override { Iniciar(); }
  std::vector<Niu> Buscar(int tipo, std::string_view a, std::string_view b = {}) {
    std::vector<Niu> nius;
    for (const TUsuario& u : banco_->Buscar(tipo, a, b, 50)) nius.push_back(u.niu);
    EXPECT_EQ(banco_->LinhasVarridasNaUltimaBusca(), 0) << "kind " << tipo << " scanned the table";
    return nius;
  }
};

TEST_F(Banco, TodaBuscaLeUmIndiceEComparaDoInicio) {
  ASSERT_TRUE(banco_->Iniciar());
  Niu ana = 0, banana = 0, privada = 0;
  for (int i = 0; i < 500; ++i) {
    TUsuario u;
    u.apelido = i == 0 ? "ana" : i == 1 ? "Banana" : i == 2 ? "anonima" : "u" + std::to_string(i);
    u.nome = i == 1 ? "Ana Banana" : "Nome " + std::to_string(i);
    u.email = u.apelido + "@ex.com";
    u.naoPublicar = i == 2;
    u.hash = "x";
    const Niu niu = banco_->CriarUsuario(u, u.apelido);
    if (i == 0) ana = niu;
    if (i == 1) banana = niu;
    if (i == 2) privada = niu;
  }
  std::string erro;
  ASSERT_TRUE(banco_->Confirmar(erro)) << erro;
  EXPECT_THAT(Buscar(2, "AN"), ::testing::ElementsAre(ana, privada));
  EXPECT_THAT(Buscar(3, "ana b"), ::testing::ElementsAre(banana));
  EXPECT_THAT(Buscar(4, "BANANA@EX.COM"), ::testing::ElementsAre(banana));
  EXPECT_THAT(Buscar(4, "anonima@ex.com"), ::testing::IsEmpty()) << "does not publish";
  EXPECT_THAT(Buscar(5, "ban", "ANA"), ::testing::ElementsAre(banana));
  EXPECT_THAT(Buscar(2, "zz"), ::testing::IsEmpty());
  EXPECT_THAT(Buscar(3, "\xFF\xFF"), ::testing::IsEmpty());
}

TEST_F(Banco, ArquivoNovoSoODonoLe) {
  // It holds the outside networks' passwords.
  for (const char* sufixo : {"", "-wal"}) {
    struct stat st {};
    ASSERT_EQ(stat((caminho_ + sufixo).c_str(), &st), 0) << sufixo;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << sufixo;
  }
}

}  // namespace
}  // namespace tazu::tazud
