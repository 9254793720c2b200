// Chat windows and the history window, with another user on the other side.
#include <gmock/gmock.h>

#include <QTest>
#include <QTextBlock>

#include "core/UHistorico.h"
#include "shell/Conversa.h"
#include "shell/SystemTray.h"
#include "shell/UComunicando.h"
#include "shell/UGerenciador.h"
#include "shell/UHistorico.h"
#include "shell/UPrincipal.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::ElementsAre;
using ::testing::SizeIs;

// A paragraph of a rich view: its text and the colour of its first letter.
std::vector<std::string> Paragrafos(QTextEdit* view) {
  std::vector<std::string> p;
  for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
    QTextCursor c(b);
    c.movePosition(QTextCursor::NextCharacter);
    const QColor primeira = c.charFormat().foreground().color();
    p.push_back(b.text().isEmpty() ? ""
                                   : primeira.name().toStdString() + " " + b.text().toStdString());
  }
  return p;
}

class Conversa : public TAmbiente {
 protected:
  void SetUp() override {
    ana_ = servidor_->Criar("Ana", "segredo");
    bia_ = servidor_->Criar("Bia", "b");
    caio_ = servidor_->Criar("Caio", "c");
    Amigos(ana_, "segredo", bia_, "b");
    Amigos(ana_, "segredo", caio_, "c");
    UsuarioLocal(ana_, "Ana", "segredo", true);
    ASSERT_TRUE(IniciarConectado());
    bia_p_ = &Parceiro(bia_, "b");
    ASSERT_TRUE(bia_p_->Entrar());
    ASSERT_TRUE(
        EsperarAte([this] { return G().Listas().Quantidade(TListasDoGerenciador::OnLine) == 1; }));
  }
  TFrmGerenciador& G() { return programa_->Gerenciador(); }
  TFrmPrincipal& P() { return programa_->Principal(); }
  TFrmComunicando* Janela(uint16_t niu) {
    return Ctx().JanelasDeConversa.Localizar("Tazu:" + std::to_string(niu));
  }
  int ImagemDaLinha(uint16_t niu) {
    return G().Listas().PorChave("Tazu:" + std::to_string(niu))->Imagem;
  }
  uint16_t ana_ = 0, bia_ = 0, caio_ = 0;
  TParceiro* bia_p_ = nullptr;
};

TEST_F(Conversa, MensagemRecebidaChamaAtencaoAteSerVistaOuFechada) {
  bia_p_->Cliente.EnviarMensagem(ana_, {"Oi Ana!", Cp("Tudo bem? §")});
  ASSERT_TRUE(EsperarAte([&] { return Janela(bia_) != nullptr; }));
  TFrmComunicando* j = Janela(bia_);
  EXPECT_TRUE(j->isMinimized());
  ASSERT_THAT(atencao_, ::testing::Contains(j));
  const std::size_t pedidos = atencao_.size();
  EXPECT_THAT(sons_.back(), "Sons\\Incoming_MSG.wav");
  EXPECT_THAT(Paragrafos(j->RichEdit()),
              ElementsAre("#0000ff Bia: ", "#000000 Oi Ana!", "#000000 Tudo bem? §"));
  EXPECT_TRUE(j->NaoLido());
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Mensagem de Bia (Conectado)"));
  EXPECT_TRUE(P().Bandeja()->Piscando());
  const auto historia = LerHistorico(ana_, "Tazu", std::to_string(bia_));
  ASSERT_THAT(historia, SizeIs(1));
  EXPECT_EQ(historia[0].Tipo, HistoricoRecebida);
  EXPECT_EQ(historia[0].Cabecalho, "Bia: ");
  EXPECT_EQ(historia[0].Texto, Cp("Oi Ana!\r\nTudo bem? §"));
  // The manager's row blinks between the message picture and nothing.
  G().Piscar();
  const int a = ImagemDaLinha(bia_);
  G().Piscar();
  EXPECT_THAT((std::vector<int>{a, ImagemDaLinha(bia_)}),
              ::testing::UnorderedElementsAre(TListasDoGerenciador::ImagemMensagem, -1));

  // Seeing it ends everything; a message while the window is active asks nothing.
  j->showNormal();
  j->activateWindow();
  ASSERT_TRUE(EsperarAte([&] { return j->isActiveWindow(); }));
  EXPECT_FALSE(j->NaoLido());
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Tazu Messenger"));
  EXPECT_FALSE(P().Bandeja()->Piscando());
  EXPECT_EQ(ImagemDaLinha(bia_), 1);
  bia_p_->Cliente.EnviarMensagem(ana_, {"mais uma"});
  ASSERT_TRUE(
      EsperarAte([&] { return LerHistorico(ana_, "Tazu", std::to_string(bia_)).size() == 2; }));
  EXPECT_EQ(atencao_.size(), pedidos);
  EXPECT_TRUE(P().MensagensNaoLidas().Vazia());

  // Unread again, then the window is closed: the sender leaves the unread list.
  G().show();
  G().activateWindow();
  ASSERT_TRUE(EsperarAte([&] { return !j->isActiveWindow(); }));
  bia_p_->Cliente.EnviarMensagem(ana_, {"e agora?"});
  ASSERT_TRUE(EsperarAte([&] { return !P().MensagensNaoLidas().Vazia(); }));
  j->close();
  Rodar(50);
  EXPECT_TRUE(P().MensagensNaoLidas().Vazia());
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Tazu Messenger"));
  EXPECT_EQ(Janela(bia_), nullptr);
  EXPECT_EQ(ImagemDaLinha(bia_), 1);
}

TEST_F(Conversa, EnvioEntregueOuGuardadoComSuasCores) {
  G().Lista()->setCurrentIndex(G().Listas().Indice("Tazu:" + std::to_string(bia_)));
  G().Mensagem();
  TFrmComunicando* j = Janela(bia_);
  ASSERT_NE(j, nullptr);
  EXPECT_TRUE(j->isVisible());
  EXPECT_FALSE(j->isMinimized());
  EXPECT_EQ(j->windowTitle(), QStringLiteral("Bia (Conectado)"));
  Rodar(20);
  j->Memo()->insertPlainText(QStringLiteral("Olá"));
  QTest::keyClick(j->Memo(), Qt::Key_Return);
  QTest::keyClicks(j->Memo(), QStringLiteral("Bia"));
  EXPECT_EQ(j->LblDigitos()->text(), QStringLiteral("7"));
  EXPECT_FALSE(j->Enviando()) << "Enter alone is a line break";
  QTest::keyClick(j->Memo(), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(j->Enviando());
  EXPECT_FALSE(j->Memo()->isEnabled());
  ASSERT_TRUE(EsperarAte([&] { return !j->Enviando(); }));
  EXPECT_TRUE(bia_p_->Recebeu("[\"Olá\", \"Bia\"]"));
  EXPECT_THAT(Paragrafos(j->RichEdit()),
              ElementsAre("#008080 Ana: ", "#000000 Olá", "#000000 Bia"));
  EXPECT_TRUE(j->Memo()->isEnabled());
  Rodar(20);
  EXPECT_TRUE(j->Memo()->toPlainText().isEmpty());
  auto historia = LerHistorico(ana_, "Tazu", std::to_string(bia_));
  ASSERT_THAT(historia, SizeIs(1));
  EXPECT_EQ(historia[0].Tipo, HistoricoEnviada);
  EXPECT_EQ(historia[0].Texto, Cp("Olá\r\nBia"));

  // Caio is offline: the server keeps the text, the window says so in red.
  G().Lista()->setCurrentIndex(G().Listas().Indice("Tazu:" + std::to_string(caio_)));
  G().Mensagem();
  TFrmComunicando* jc = Janela(caio_);
  ASSERT_NE(jc, nullptr);
  jc->Memo()->insertPlainText(QStringLiteral("Até logo"));
  jc->Enviar();
  ASSERT_TRUE(EsperarAte([&] { return !jc->Enviando(); }));
  EXPECT_THAT(Paragrafos(jc->RichEdit()),
              ElementsAre("#ff0000 Caio não está conectado ao Tazu no momento. A mensagem será "
                          "enviada quando ele se conectar:",
                          "#000000 Até logo"));
  historia = LerHistorico(ana_, "Tazu", std::to_string(caio_));
  ASSERT_THAT(historia, SizeIs(1));
  EXPECT_EQ(historia[0].Tipo, HistoricoNaoEntregue);
  EXPECT_EQ(historia[0].Texto, Cp("Até logo"));
}

TEST_F(Conversa, HistoricoMostraOQueFoiGravadoColoridoPorTipoELimpa) {
  const std::string bia = std::to_string(bia_);
  ASSERT_TRUE(
      GravaHistorico(ana_, "Tazu", bia, HistoricoRecebida, "01-02-2026 10:00", "oi", "Bia: "));
  ASSERT_TRUE(GravaHistorico(ana_, "Tazu", bia, HistoricoEnviada, "01-02-2026 10:01",
                             Cp("tudo\r\nbem? §"), "Ana: "));
  ASSERT_TRUE(GravaHistorico(ana_, "Tazu", bia, HistoricoNaoEntregue, "01-02-2026 10:02", "?",
                             Cp("Bia não recebeu sua mensagem.")));
  G().Lista()->setCurrentIndex(G().Listas().Indice("Tazu:" + bia));
  G().Historico();
  TFrmHistorico* h = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* e = dynamic_cast<TFrmHistorico*>(w)) h = e;
  }
  ASSERT_NE(h, nullptr);
  EXPECT_THAT(Paragrafos(h->RichEdit()),
              ElementsAre("#0000ff [01-02-2026 10:00] Bia: ", "#000000 oi",
                          "#008000 [01-02-2026 10:01] Ana: ", "#000000 tudo", "#000000 bem? §",
                          "#ff0000 [01-02-2026 10:02] Bia não recebeu sua mensagem.", "#000000 ?"));
  h->Limpar();
  EXPECT_TRUE(h->RichEdit()->document()->isEmpty());
  EXPECT_FALSE(ExisteHistorico(ana_, "Tazu", bia));
  h->close();
}

}  // namespace
}  // namespace tazu::teste

namespace tazu::teste {
namespace {

TEST_F(Conversa, DoisRemetentesNaBandejaNaOrdemEmQueChegaram) {
  TParceiro& caio = Parceiro(caio_, "c");
  ASSERT_TRUE(caio.Entrar());
  bia_p_->Cliente.EnviarMensagem(ana_, {"um"});
  ASSERT_TRUE(EsperarAte([&] { return Janela(bia_) != nullptr; }));
  caio.Cliente.EnviarMensagem(ana_, {"dois"});
  ASSERT_TRUE(EsperarAte([&] { return Janela(caio_) != nullptr; }));
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Mensagem de Bia (Conectado)"));
  Janela(bia_)->close();
  Rodar(20);
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Mensagem de Caio (Conectado)"));
  EXPECT_TRUE(P().Bandeja()->Piscando());
  Janela(caio_)->close();
  Rodar(20);
  EXPECT_EQ(P().Bandeja()->Hint(), QStringLiteral("Tazu Messenger"));
  EXPECT_FALSE(P().Bandeja()->Piscando());
}

TEST_F(Conversa, ContatoRemovidoDeixaAJanelaSemDestinatario) {
  G().Lista()->setCurrentIndex(G().Listas().Indice("Tazu:" + std::to_string(bia_)));
  G().Mensagem();
  TFrmComunicando* j = Janela(bia_);
  ASSERT_NE(j, nullptr);
  // A text on its way when the contact goes away gets no answer: the window
  // must not stay locked waiting for one.
  j->Memo()->setPlainText(QStringLiteral("oi"));
  j->Enviar();
  ASSERT_TRUE(j->Enviando());
  j->DefinirContato(nullptr);
  EXPECT_FALSE(j->Enviando());
  EXPECT_TRUE(j->Memo()->isEnabled());
  j->DefinirContato(programa_->Cliente().Contatos.Localizar("Tazu", std::to_string(bia_))
                        ? programa_->Cliente().Contatos.ContatoAtual()
                        : nullptr);
  ASSERT_TRUE(
      EsperarAte([&] { return LerHistorico(ana_, "Tazu", std::to_string(bia_)).size() == 1; }));
  G().RemoverContato();
  ASSERT_TRUE(EsperarAte([&] { return j->Contato() == nullptr; }));
  EXPECT_EQ(j->windowTitle(), QStringLiteral("Bia (Desconectado)"));
  Caixas();
  j->Memo()->setPlainText(QStringLiteral("ainda aí?"));
  j->Enviar();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "informacao",
                            "Não é possível enviar mensagens para Bia no momento.\r\nVerifique se "
                            "o comunicador Tazu Messenger está conectado."}));
  EXPECT_FALSE(j->Enviando());
}

}  // namespace
}  // namespace tazu::teste
