// The manager, the tray and the status against a real contact list.
#include <gmock/gmock.h>

#include <QTest>

#include "core/DadosLocais.h"
#include "shell/SystemTray.h"
#include "shell/UGerenciador.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class Gerenciador : public TAmbiente {
 protected:
  // Ana, this program's user, with Bia and Caio in her list.
  void SetUp() override {
    ana_ = servidor_->Criar("Ana", "segredo");
    bia_ = servidor_->Criar("Bia", "b");
    caio_ = servidor_->Criar("Caio", "c");
    Amigos(ana_, "segredo", bia_, "b");
    Amigos(ana_, "segredo", caio_, "c");
    UsuarioLocal(ana_, "Ana", "segredo", true);
    ASSERT_TRUE(IniciarConectado());
    ASSERT_TRUE(EsperarAte([this] { return Mostrado().size() == 3; }));
  }
  TFrmGerenciador& G() { return programa_->Gerenciador(); }
  // What the lists show, headers in brackets, as the view's model has it.
  std::vector<std::string> Mostrado() {
    std::vector<std::string> linhas;
    QAbstractItemModel* m = G().Lista()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
      const QModelIndex i = m->index(r, 0);
      const std::string t = i.data().toString().toStdString();
      linhas.push_back(i.data(TListasDoGerenciador::PapelCabecalho).toBool() ? "[" + t + "]" : t);
    }
    return linhas;
  }
  void Selecionar(uint16_t niu) {
    G().Lista()->setCurrentIndex(G().Listas().Indice("Tazu:" + std::to_string(niu)));
  }
  uint16_t ana_ = 0, bia_ = 0, caio_ = 0;
};

TEST_F(Gerenciador, ListasSeguemAPresencaComCabecalhosQueVemEVao) {
  EXPECT_THAT(Mostrado(), ElementsAre("[Desconectados]", "Bia", "Caio"));
  TParceiro& bia = Parceiro(bia_, "b");
  ASSERT_TRUE(bia.Entrar());
  ASSERT_TRUE(EsperarAte([&] { return Mostrado().size() == 4; }));
  EXPECT_THAT(Mostrado(), ElementsAre("[Conectados]", "Bia", "[Desconectados]", "Caio"));
  EXPECT_THAT(sons_, ElementsAre("Sons\\User_Conected.wav"));

  // Someone outside the list writes: a row of their own under "Fora da Lista".
  const uint16_t davi = servidor_->Criar("Davi", "d");
  TParceiro& pd = Parceiro(davi, "d");
  ASSERT_TRUE(pd.Entrar());
  pd.Cliente.EnviarMensagem(ana_, {"oi"});
  ASSERT_TRUE(EsperarAte([&] { return Mostrado().size() == 6; }));
  EXPECT_THAT(Mostrado(), ElementsAre("[Conectados]", "Bia", "[Fora da Lista]", "Davi",
                                      "[Desconectados]", "Caio"));

  bool saiu = false;
  bia.Cliente.AoFinalizarAplicativo = [&](TClientePCTazu&) { saiu = true; };
  bia.Cliente.Sair();
  ASSERT_TRUE(EsperarAte([&] { return saiu && Mostrado().size() == 5; }));
  EXPECT_THAT(Mostrado(), ElementsAre("[Fora da Lista]", "Davi", "[Desconectados]", "Bia", "Caio"));
}

TEST_F(Gerenciador, MenuDoContatoHistoricoVazioRemoverEAdicionar) {
  QMenu* menu = G().MenuDeContato();
  Selecionar(bia_);
  G().Historico();
  EXPECT_THAT(Caixas(),
              ElementsAre(TCaixaMostrada{"informacao", "O histórico de Bia está vazio."}));

  resposta_ = false;
  G().RemoverContato();
  ASSERT_EQ(Caixas().at(0).Texto, "Tem certeza que deseja excluir \"Bia\" de sua lista?");
  resposta_ = true;
  G().RemoverContato();
  ASSERT_TRUE(EsperarAte([&] { return Mostrado().size() == 2; }));
  EXPECT_THAT(Mostrado(), ElementsAre("[Desconectados]", "Caio"));
  EXPECT_THAT(enviadas_, Contains(HasSubstr("[CRCL]")));

  // The menu offers what fits the row's list.
  G().Lista()->show();
  const QRect linha = G().Lista()->visualRect(G().Listas().Indice("Tazu:" + std::to_string(caio_)));
  ASSERT_TRUE(linha.isValid());
  emit G().Lista()->customContextMenuRequested(linha.center());
  std::vector<std::string> visiveis;
  for (QAction* a : menu->actions()) {
    if (a->isVisible() && !a->isSeparator()) visiveis.push_back(a->text().toStdString());
  }
  menu->hide();
  EXPECT_THAT(visiveis,
              ElementsAre("Mensagem...", "Informações...", "Histórico...", "Remover Contato"));
}

TEST_F(Gerenciador, StatusMarcaUmItemGuardaOPreferidoMenosDesconectado) {
  TFrmPrincipal& p = programa_->Principal();
  p.AplicaStatus(5, true);
  for (int codigo : {1, 7, 2, 8, 6, 5, 3}) {
    EXPECT_EQ(p.ItemDeStatus(codigo)->isChecked(), codigo == 5) << codigo;
  }
  EXPECT_EQ(p.Bandeja()->ImagemAtual(), 5);
  EXPECT_THAT(enviadas_.back(), HasSubstr("[CNMS]"));
  p.AplicaStatus(3, true);
  ReiniciarDadosLocais();
  CarregarUsuarios(ana_);
  EXPECT_EQ(UsuarioAtual.StatusPreferido, 5) << "3 is never kept as the preferred status";
}

TEST_F(Gerenciador, RedeSemContaSoAvisa) {
  G().MenuDaRede(0, QPoint(10, 10));
  EXPECT_THAT(Caixas(),
              ElementsAre(TCaixaMostrada{"erro", "O comunicador ICQ não está habilitado."}));
  EXPECT_FALSE(G().MenuDaRede(0)->isVisible());
}

TEST_F(Gerenciador, AvisosAdiadosAparecemUmaVezCada) {
  TFrmPrincipal& p = programa_->Principal();
  Caixas();
  p.AdiaAviso("primeiro");
  p.AdiaAviso("segundo");
  ASSERT_TRUE(EsperarAte([&] { return caixas_.size() == 2; }));
  p.AdiaAviso("terceiro");
  ASSERT_TRUE(EsperarAte([&] { return caixas_.size() == 3; }));
  Rodar(100);
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{"informacao", "primeiro"},
                                    TCaixaMostrada{"informacao", "segundo"},
                                    TCaixaMostrada{"informacao", "terceiro"}));
}

TEST_F(Gerenciador, BuscaNaWebSoComTextoEACaixaSempreSeLimpa) {
  QLineEdit* busca = G().CaixaDeBusca();
  busca->show();
  QTest::keyClick(busca, Qt::Key_Return);
  EXPECT_THAT(enderecos_, IsEmpty());
  busca->insert(QStringLiteral("pão"));
  QTest::keyClick(busca, Qt::Key_Return);
  ASSERT_EQ(enderecos_.size(), 1u);
  EXPECT_THAT(enderecos_[0].toEncoded().toStdString(), HasSubstr("query=p%C3%A3o&"));
  EXPECT_TRUE(busca->text().isEmpty());
}

}  // namespace
}  // namespace tazu::teste
