// The base skinned window, the message boxes and the wait window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "base/Cp1252.h"
#include "skin/MoverForm.h"
#include "skin/Texto.h"
#include "skin/UAguarde.h"
#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"
#include "skin/UFrmInfo.h"
#include "skin/URedimensionador.h"
#include "tests/skin/Apoio.h"

namespace tazu {
namespace {

using teste::Elemento;

class JanelaEncapada : public ::testing::Test {
 protected:
  void SetUp() override {
    teste::Aplicacao();
    TRegistroFeicao janela = Elemento(0, 10, 20, 300, 200);
    janela.DefinirColor(0x00332211);
    janela.DefinirMinWidth(120);
    janela.DefinirMinHeight(90);
    TRegistroFeicao rotulo = Elemento(7, 10, 30, -10, 16);
    rotulo.DefinirLabelKind(1);
    rotulo.DefinirText("Número:"_cp);
    rotulo.DefinirAlignment(2);
    rotulo.DefinirFontColor(0x000000FF);
    TRegistroFeicao figura = Elemento(8, 40, 40, 4, 4, false, false);
    figura.DefinirText("Fig\\Ponto.bmp");
    TRegistroFeicao alca = Elemento(3, 16, 16, 16, 16, false, false);
    alca.DefinirResizeKind(2);
    registros_ = {janela, Elemento(1, 20, 50, -20, -40), Elemento(2, 30, 8, 20, 20, false, true),
                  alca,   Elemento(4, 0, 0, -30, 20),    rotulo,
                  figura, Elemento(99, 0, 0, 5, 5)};
    skin_.Descritor("Teste.cap", registros_);
    skin_.Imagem("Fig/Ponto.bmp", teste::Cheia(4, 4, 0xFF00FF00));
    skin_.Imagem("Teste/SE.bmp", teste::Cheia(6, 6, 0xFFFF00FF));
  }

  // The window's callback as a real window would write it.
  TResultadoFeicao Callback(TFeicao& f) {
    const uint8_t id = f.Registro.Id();
    chamadas_.push_back(id);
    if (id == 2) return {TTipoFeicao::BTN, [this] { ++cliques_; }};
    using enum TTipoFeicao;
    const TTipoFeicao tipos[] = {Nenhum, PSC, BTN, RDM, MOV, Nenhum, Nenhum, RTL, RTL};
    return id < 9 ? TResultadoFeicao{tipos[id]} : TResultadoFeicao{};
  }

  std::unique_ptr<TFrmEncapado> Construir(const char* descritor = "Teste.cap") {
    auto j = std::make_unique<TFrmEncapado>();
    j->Pecas = CarregarPecas("Teste");
    j->ArquivoDescritor = descritor;
    j->AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return Callback(f); };
    j->AoRedimensionar = [this](TFrmEncapado&, int w, const QImage& fundo, int h) {
      redimensionamentos_.push_back(QSize(w, h));
      EXPECT_EQ(fundo.size(), QSize(w, h));
    };
    j->Construir();
    return j;
  }

  teste::TSkinTemporaria skin_;
  std::vector<TRegistroFeicao> registros_;
  std::vector<uint8_t> chamadas_;
  std::vector<QSize> redimensionamentos_;
  int cliques_ = 0;
};

TEST_F(JanelaEncapada, ConstroiCadaElementoNaOrdemDoArquivo) {
  auto j = Construir();
  EXPECT_EQ(chamadas_, (std::vector<uint8_t>{1, 2, 3, 4, 7, 8, 99}));
  EXPECT_EQ(j->size(), QSize(300, 200));
  EXPECT_EQ(j->CorDaJanela(), QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(redimensionamentos_, std::vector<QSize>{QSize(300, 200)});

  TListaDeFeicoes& f = j->Feicoes();
  ASSERT_EQ(f.Quantidade(), 8u);
  EXPECT_EQ(f.Elemento(1)->Objeto, nullptr);  // PSC: the window places its own
  auto* botao = dynamic_cast<TBotaoImagem*>(f.Elemento(2)->Objeto.data());
  ASSERT_NE(botao, nullptr);
  EXPECT_TRUE(botao->Virtual);
  EXPECT_EQ(botao->Retangulo, (TRetangulo{270, 8, 290, 28}));
  auto* alca = dynamic_cast<TRedimensionador*>(f.Elemento(3)->Objeto.data());
  ASSERT_NE(alca, nullptr);
  EXPECT_EQ(alca->Tipo, TRedimensionador::SoAltura);
  EXPECT_EQ(alca->LarguraMinima, 120);
  EXPECT_EQ(alca->AlturaMinima, 90);
  EXPECT_NE(dynamic_cast<TMoverForm*>(f.Elemento(4)->Objeto.data()), nullptr);
  auto* rotulo = qobject_cast<QLabel*>(f.Elemento(5)->Objeto.data());
  ASSERT_NE(rotulo, nullptr);
  EXPECT_EQ(rotulo->text(), QString::fromUtf8("Número:"));
  EXPECT_EQ(rotulo->geometry(), QRect(10, 30, 280, 16));
  EXPECT_TRUE(rotulo->alignment() & Qt::AlignRight);
  EXPECT_EQ(rotulo->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
  EXPECT_EQ(f.Elemento(7)->Objeto, nullptr);

  // The picture element is painted into the background at its anchored place;
  // the frame piece and the colour make the rest.
  const QImage& fundo = j->Fundo();
  EXPECT_EQ(fundo.pixel(261, 161) | 0xFF000000, 0xFF00FF00u);
  EXPECT_EQ(fundo.pixel(2, 2) | 0xFF000000, 0xFFFF00FFu);
  EXPECT_EQ(fundo.pixel(150, 100) | 0xFF000000, 0xFF112233u);
  // The shape is cut from it: the magenta corner is outside.
  EXPECT_FALSE(j->mask().contains(QPoint(2, 2)));
  EXPECT_TRUE(j->mask().contains(QPoint(150, 100)));

  teste::Clicar(j.get(), {280, 18});
  EXPECT_EQ(cliques_, 1);
  EXPECT_EQ(j->cursor().shape(), Qt::PointingHandCursor);

  // Esc does not close a skinned window that did not ask for it.
  j->show();
  QTest::keyClick(j.get(), Qt::Key_Escape);
  EXPECT_TRUE(j->isVisible());
}

TEST_F(JanelaEncapada, AlcaRefazOLayoutComONovoTamanho) {
  auto j = Construir();
  // The grip's hot rectangle sits 16 pixels from the bottom-right corner.
  teste::Pressionar(j.get(), {290, 190});
  EXPECT_TRUE(j->Redimensionando());
  teste::Mover(j.get(), {250, 100}, true);
  teste::Soltar(j.get(), {250, 100});
  EXPECT_FALSE(j->Redimensionando());
  EXPECT_EQ(j->size(), QSize(300, 110));
  EXPECT_EQ(redimensionamentos_.back(), QSize(300, 110));
  EXPECT_EQ(j->Fundo().size(), QSize(300, 110));
  auto* alca = dynamic_cast<TRedimensionador*>(j->Feicoes().Elemento(3)->Objeto.data());
  EXPECT_EQ(alca->Retangulo, (TRetangulo{284, 94, 300, 110}));
  EXPECT_EQ(j->Fundo().pixel(261, 71) | 0xFF000000, 0xFF00FF00u);

  // Any other resize re-lays the window too.
  j->resize(200, 150);
  j->AposRedimensionar();
  auto* botao = dynamic_cast<TBotaoImagem*>(j->Feicoes().Elemento(2)->Objeto.data());
  EXPECT_EQ(botao->Retangulo, (TRetangulo{170, 8, 190, 28}));
  EXPECT_EQ(j->RetanguloQt(j->Feicoes().Elemento(1)->Registro), QRect(20, 50, 160, 60));
}

TEST_F(JanelaEncapada, ColocarLembraOControleParaCadaLayout) {
  QLineEdit* edicao = nullptr;
  auto j = std::make_unique<TFrmEncapado>();
  j->ArquivoDescritor = "Teste.cap";
  j->AoCriarFeicao = [&](TFrmEncapado& janela, TFeicao& f) -> TResultadoFeicao {
    if (f.Registro.Id() != 1) return {};
    edicao = new QLineEdit(&janela);
    janela.Colocar(*edicao, f);
    return {TTipoFeicao::PSC};
  };
  j->Construir();
  ASSERT_NE(edicao, nullptr);
  EXPECT_EQ(edicao->geometry(), QRect(20, 50, 260, 110));
  j->resize(250, 120);
  j->AposRedimensionar();
  EXPECT_EQ(edicao->geometry(), QRect(20, 50, 210, 30));
}

TEST_F(JanelaEncapada, SoORegistroDaJanelaOuNenhumDescritor) {
  skin_.Descritor("Vazia.cap", {registros_[0]});
  auto j = Construir("Vazia.cap");
  EXPECT_TRUE(chamadas_.empty());
  EXPECT_EQ(j->Feicoes().Quantidade(), 1u);
  EXPECT_EQ(j->size(), QSize(300, 200));

  auto sem = std::make_unique<TFrmEncapado>();
  sem->resize(123, 77);
  sem->ArquivoDescritor = "NaoExiste.cap";
  sem->Construir();
  EXPECT_TRUE(sem->Feicoes().Vazia());
  EXPECT_EQ(sem->size(), QSize(123, 77));
  EXPECT_EQ(sem->Fundo().size(), QSize(123, 77));
}

// The message boxes and the wait window, on the default skin.
class Caixas : public ::testing::Test {
 protected:
  void SetUp() override {
    teste::Aplicacao();
    RecarregarPecasCompartilhadas("Info");
  }
  void TearDown() override { TAguarde::Instancia().FecharAgora(); }

  static TFrmInfo* CaixaAberta() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* c = dynamic_cast<TFrmInfo*>(w); c && c->isVisible()) return c;
    }
    return nullptr;
  }

  // Runs `acao` on the box once it is up, from inside its modal loop.
  static void QuandoAbrir(std::function<void(TFrmInfo&)> acao) {
    QTimer::singleShot(0, [acao] {
      TFrmInfo* c = CaixaAberta();
      ASSERT_NE(c, nullptr);
      acao(*c);
    });
  }

  static void ClicarFigura(TBotaoImagem* b) {
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->Figura(), nullptr);
    teste::Clicar(b->Figura(), b->Figura()->rect().center());
  }

  teste::TSkinPadrao skin_;
};

TEST_F(Caixas, ConfirmacaoSoESimQuandoOUsuarioEscolheSim) {
  QuandoAbrir([](TFrmInfo& c) { ClicarFigura(c.BotaoSim()); });
  EXPECT_TRUE(CaixaDeConfirmacao("Deseja encerrar o Tazu Messenger?"));

  QuandoAbrir([](TFrmInfo& c) { ClicarFigura(c.BotaoNao()); });
  EXPECT_FALSE(CaixaDeConfirmacao("Deseja encerrar o Tazu Messenger?"));

  // The background close button of the skin: modal result 2.
  int resultado = 0;
  QuandoAbrir([](TFrmInfo& c) {
    const TFeicao* fechar = c.Feicoes().PorId(5);
    ASSERT_NE(fechar, nullptr);
    teste::Clicar(&c, c.RetanguloQt(fechar->Registro).center());
  });
  resultado = TFrmInfo::Mostrar(std::string("Confirmação"_cp), "Sair?", InfoPergunta, true);
  EXPECT_EQ(resultado, ResultadoCancelar);

  // The keyboard: Enter is the first button, Escape the safe one.
  QuandoAbrir([](TFrmInfo& c) { QTest::keyClick(&c, Qt::Key_Escape); });
  EXPECT_FALSE(CaixaDeConfirmacao("Sair?"));
  QuandoAbrir([](TFrmInfo& c) { QTest::keyClick(&c, Qt::Key_Return); });
  EXPECT_TRUE(CaixaDeConfirmacao("Sair?"));
  QuandoAbrir([](TFrmInfo& c) { QTest::keyClick(&c, Qt::Key_Enter); });
  EXPECT_EQ(TFrmInfo::Mostrar("Aviso", "Pronto.", InfoExclamacao, true), ResultadoOk);
}

TEST_F(Caixas, TitulosIconesEBotoesPorTipo) {
  QuandoAbrir([](TFrmInfo& c) {
    EXPECT_EQ(c.Titulo()->text(), QString::fromUtf8("Informação"));
    EXPECT_EQ(c.BotaoSim(), nullptr);
    ClicarFigura(c.BotaoOk());
  });
  EXPECT_EQ(TFrmInfo::Mostrar(std::string("Informação"_cp), "Texto", InfoExclamacao, true),
            ResultadoOk);

  TFrmInfo erro(std::string("Erro"_cp), "a\r\nb", InfoErro, true);
  EXPECT_EQ(erro.Texto()->text(), QStringLiteral("a\nb"));
  ASSERT_FALSE(erro.Icone()->pixmap().isNull());
  EXPECT_EQ(erro.Icone()->pixmap().size(), QSize(32, 32));
  TFrmInfo pergunta(std::string("Confirmação"_cp), "?", InfoPergunta, true);
  EXPECT_NE(erro.Icone()->pixmap().toImage(), pergunta.Icone()->pixmap().toImage());
  // Yes and no sit side by side, centred.
  const QRect sim = pergunta.BotaoSim()->Figura()->geometry();
  const QRect nao = pergunta.BotaoNao()->Figura()->geometry();
  EXPECT_EQ(sim.top(), nao.top());
  EXPECT_LT(sim.right(), nao.left());
  EXPECT_NEAR(sim.left() + nao.right(), pergunta.width(), 2);

  // A non-modal box answers 1 at once and stays up until closed.
  EXPECT_EQ(
      TFrmInfo::Mostrar(std::string("Mensagem de Sistema"_cp), "Aviso", InfoExclamacao, false), 1);
  TFrmInfo* aberta = CaixaAberta();
  ASSERT_NE(aberta, nullptr);
  ClicarFigura(aberta->BotaoOk());
  QTest::qWait(0);
  EXPECT_EQ(CaixaAberta(), nullptr);
}

TEST_F(Caixas, CaixaCresceComOTexto) {
  TFrmInfo curta("Erro", "Curto.", InfoErro, true);
  const std::string linha(120, 'W');
  TFrmInfo longa("Erro", linha + "\r\n" + linha + "\r\n" + linha, InfoErro, true);
  EXPECT_GT(longa.width(), curta.width());
  EXPECT_GT(longa.height(), curta.height());
  // Every line fits the text area.
  const QFontMetrics fm(longa.Texto()->font());
  EXPECT_GE(longa.Texto()->width(),
            std::min(fm.horizontalAdvance(QString::fromStdString(linha)), longa.Texto()->width()));
  EXPECT_GE(longa.Texto()->height(), 3 * fm.height());
  // The skin's size is the least a box takes.
  EXPECT_GE(curta.width(), 280);
  EXPECT_GE(curta.height(), 132);
}

TEST_F(Caixas, AguardeUmaDeCadaVezEFechamentoAssincrono) {
  TAguarde& aguarde = TAguarde::Instancia();
  aguarde.Mostrar("Conectando...", "Aguarde.", false);
  ASSERT_TRUE(aguarde.Aberta());
  TFrmAguarde* janela = aguarde.Janela();
  aguarde.Mostrar("Outra", "Coisa", false);
  EXPECT_EQ(aguarde.Janela(), janela);
  EXPECT_EQ(janela->Linha1()->text(), QStringLiteral("Conectando..."));
  EXPECT_EQ(janela->Linha2()->text(), QStringLiteral("Aguarde."));

  aguarde.Fechar();
  EXPECT_TRUE(aguarde.Aberta());  // not yet: it closes from the main loop
  EXPECT_TRUE(QTest::qWaitFor([&] { return !aguarde.Aberta(); }, 2000));
  aguarde.Mostrar("De novo", "", false);
  ASSERT_TRUE(aguarde.Aberta());
  EXPECT_EQ(aguarde.Janela()->Linha1()->text(), QStringLiteral("De novo"));
  aguarde.FecharAgora();
  EXPECT_FALSE(aguarde.Aberta());
}

TEST_F(Caixas, AguardeModalFechaPeloTemporizadorEErroOFecha) {
  TAguarde& aguarde = TAguarde::Instancia();
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(aguarde.Aberta());
    aguarde.Fechar();
  });
  aguarde.Mostrar("Conectando...", "Aguarde.", true);  // returns once closed
  EXPECT_FALSE(aguarde.Aberta());

  // An error box first asks the wait window to close.
  aguarde.Mostrar("Registrando...", "", false);
  QuandoAbrir([&](TFrmInfo& c) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !aguarde.Aberta(); }, 2000));
    ClicarFigura(c.BotaoOk());
  });
  CaixaDeErro("Falhou.");
  EXPECT_FALSE(aguarde.Aberta());
}

TEST(TextoDaSkin, Cp1252ParaQStringEVolta) {
  const QString q = ParaQString("Informação § “aspas” €"_cp);
  EXPECT_EQ(q, QString::fromUtf8("Informação § “aspas” €"));
  EXPECT_EQ(ParaCp1252(q), std::string("Informação § “aspas” €"_cp));
  EXPECT_EQ(ParaCp1252(QString::fromUtf8("日本")), "??");
}

}  // namespace
}  // namespace tazu
