// Switching the active user while connected.
#include <gmock/gmock.h>

#include "core/DadosLocais.h"
#include "shell/UGerenciador.h"
#include "shell/UMenuUsuarios.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Usuarios : public TAmbiente {};

TEST_F(Usuarios, TrocarDeUsuarioReconectaComoOOutro) {
  const uint16_t ana = servidor_->Criar("Ana", "segredo");
  const uint16_t bia = servidor_->Criar("Bia", "b");
  const uint16_t caio = servidor_->Criar("Caio", "c");
  Amigos(ana, "segredo", caio, "c");
  Amigos(bia, "b", caio, "c");
  UsuarioLocal(bia, "Bia", "b", true, false);
  UsuarioLocal(ana, "Ana", "segredo", true);
  TParceiro& pc = Parceiro(caio, "c");
  ASSERT_TRUE(pc.Entrar());
  ASSERT_TRUE(IniciarConectado());
  ASSERT_TRUE(
      EsperarAte([&] { return pc.Recebeu("\"AoConectarContato\", \"Contato\": {\"NIU\": 1000"); }));

  TFrmMenuUsuarios* menu = TFrmMenuUsuarios::Abrir(Ctx());
  std::vector<std::string> itens;
  for (int i = 0; i < menu->ListBox()->count(); ++i) {
    const QListWidgetItem* item = menu->ListBox()->item(i);
    itens.push_back(item->text().toStdString() + (item->checkState() == Qt::Checked ? " *" : ""));
  }
  EXPECT_THAT(itens, ElementsAre("Ana (1000) *", "Bia (1001)"));

  menu->Escolher(ana);  // the current user: the menu only closes
  Rodar(50);
  EXPECT_EQ(programa_->Cliente().NIU, ana);
  menu = TFrmMenuUsuarios::Abrir(Ctx());
  menu->Escolher(bia);
  ASSERT_TRUE(EsperarAte([&] {
    return pc.Recebeu("\"AoDesconectarContato\", \"Contato\": {\"NIU\": 1000") &&
           pc.Recebeu("\"AoConectarContato\", \"Contato\": {\"NIU\": 1001");
  }));
  ASSERT_TRUE(
      EsperarAte([&] { return programa_->Gerenciador().Identificacao()->text() == "Bia"; }));
  EXPECT_EQ(programa_->Cliente().NIU, bia);
  EXPECT_EQ(Ctx().UsuarioAtual.NIU, bia);
  EXPECT_THAT(modais_, IsEmpty()) << "Bia's password is remembered";
  ReiniciarDadosLocais();
  ASSERT_TRUE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao.UltimoUsuario, bia);
  // The main form has its disconnection event back: losing the server now
  // shows "Desconectado" again.
  Ctx().ClientePC.Desconectar();
  ASSERT_TRUE(EsperarAte([&] { return programa_->Principal().ItemDeStatus(3)->isChecked(); }));
}

}  // namespace
}  // namespace tazu::teste
