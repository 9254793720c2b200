// skin-gallery: opens every standard window of the default skin and writes a
// PNG of each, for a person to look at.
//   skin-gallery <output directory>
// The skin is read from the data root (TAZU_HOME, else beside the program).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <iostream>
#include <map>

#include "base/Cp1252.h"
#include "skin/Animacao.h"
#include "skin/BmpRgn.h"
#include "skin/Catalogo.h"
#include "skin/Skin.h"
#include "skin/UAguarde.h"
#include "skin/UBotoes.h"
#include "skin/UChaveador.h"
#include "skin/UFrmEncapado.h"
#include "skin/UFrmInfo.h"

namespace tazu::galeria {
namespace {

using namespace catalogo;

QString U(const std::string& utf8) {
  return QString::fromUtf8(utf8.c_str());
}
std::string Cp(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

void Esperar(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The window as it shows on screen: what lies outside its shape is left
// transparent.
bool Fotografar(QWidget& w, const QString& arquivo) {
  w.show();
  w.raise();
  Esperar(250);
  QImage foto = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QRegion forma = w.mask();
  if (!forma.isEmpty()) {
    QImage recorte(foto.size(), QImage::Format_ARGB32);
    recorte.fill(Qt::transparent);
    QPainter p(&recorte);
    p.setClipRegion(forma);
    p.drawImage(0, 0, foto);
    p.end();
    foto = recorte;
  }
  const bool ok = foto.save(arquivo);
  std::cout << (ok ? "wrote " : "FAILED ") << arquivo.toStdString() << " (" << foto.width() << "x"
            << foto.height() << ")\n";
  return ok;
}

QPixmap Figura(const std::string& relativo) {
  return QPixmap::fromImage(SemCor(CarregarImagemDaSkin(Cp(relativo.c_str()))));
}

QWidget* Contatos(QWidget* dono) {
  auto* arvore = new QTreeWidget(dono);
  arvore->setColumnCount(2);
  arvore->setHeaderHidden(true);
  arvore->setRootIsDecorated(false);
  arvore->setFrameShape(QFrame::NoFrame);
  arvore->setIndentation(0);
  arvore->header()->setStretchLastSection(false);
  arvore->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  arvore->header()->resizeSection(1, 22);
  auto grupo = [&](const char* nome) {
    auto* item = new QTreeWidgetItem(arvore, {U(nome)});
    QFont f = FonteDaSkin(8, true);
    item->setFont(0, f);
    item->setForeground(0, QColor(0x2A, 0x5D, 0x9A));
    item->setFirstColumnSpanned(true);
  };
  auto contato = [&](const char* nome, int status, const char* origem) {
    auto* item = new QTreeWidgetItem(arvore, {U(nome)});
    item->setIcon(0, Figura("Icones\\Lista\\Status" + std::to_string(status) + ".bmp"));
    if (origem) item->setIcon(1, Figura(std::string("Icones\\Origens\\") + origem + ".bmp"));
  };
  grupo("Conectados");
  contato("Ana Paula", 1, "MSN1");
  contato("Bruno", 7, nullptr);
  contato("Carla Mendes", 8, "ICQ1");
  contato("Diego", 6, "YAH1");
  contato("Fernanda", 5, nullptr);
  grupo("Fora da Lista");
  contato("Visitante 5120", 1, nullptr);
  grupo("Desconectados");
  contato("Gustavo", 3, "ICQ2");
  contato("Helena", 3, "MSN2");
  contato("Igor", 3, nullptr);
  grupo("Aguardando");
  contato("Juliana", 255, "YAH2");
  arvore->setFont(FonteDaSkin(8));
  return arvore;
}

QWidget* Conversa(QWidget* dono) {
  auto* t = new QTextEdit(dono);
  t->setFrameShape(QFrame::NoFrame);
  t->setReadOnly(true);
  t->setFont(FonteDaSkin(8));
  t->setHtml(
      U("<p><span style='color:#0000ff'><b>Ana Paula:</b></span><br>Oi! Vamos ao cinema "
        "hoje?</p><p><span style='color:#008080'><b>Maria:</b></span><br>Vamos sim! Que "
        "horas?</p><p><span style='color:#0000ff'><b>Ana Paula:</b></span><br>Às oito, na "
        "praça da Liberdade.</p>"));
  return t;
}

QWidget* Resultados(QWidget* dono) {
  auto* t = new QTreeWidget(dono);
  t->setColumnCount(5);
  t->setHeaderHidden(true);
  t->setRootIsDecorated(false);
  t->setFrameShape(QFrame::NoFrame);
  const int larguras[] = {70, 90, 90, 120, 60};
  for (int i = 0; i < 5; ++i) t->header()->resizeSection(i, larguras[i]);
  new QTreeWidgetItem(t, {"4242", "Mari", U("Maria da Silva"), "maria@exemplo.com.br", U("Não")});
  new QTreeWidgetItem(t, {"5310", "Carlão", U("Carlos Souza"), "carlos@exemplo.com.br", "Sim"});
  t->setFont(FonteDaSkin(8));
  return t;
}

// A selector picture with its first row highlighted as the menu shows it.
QWidget* Seletor(QWidget* dono, const TRegistroFeicao& r) {
  QImage fundo = CarregarImagemDaSkin(r.Text()).convertToFormat(QImage::Format_RGB32);
  const int altura = std::max(1, r.MinHeight());
  for (int y = 0; y < std::min(altura, fundo.height() - 1); ++y) {
    auto* linha = reinterpret_cast<QRgb*>(fundo.scanLine(y));
    for (int x = 0; x < fundo.width(); ++x) {
      const QRgb c = linha[x];
      linha[x] = qRgb(static_cast<int>(qRed(c) / 1.07), static_cast<int>(qGreen(c) / 1.07),
                      static_cast<int>(qBlue(c) / 1.07));
    }
  }
  auto* l = new QLabel(dono);
  l->setPixmap(QPixmap::fromImage(fundo));
  return l;
}

class TJanelaDaGaleria : public TFrmEncapado {
 public:
  explicit TJanelaDaGaleria(const TJanelaEsperada& e) : esperada_(e) {
    setWindowTitle(U(e.Titulo));
    Pecas = CarregarPecas(e.Pecas);
    ArquivoDescritor = e.Descritor;
    AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return Criar(f); };
    Construir();
  }

 private:
  const TElementoEsperado* Esperado(uint8_t id) const {
    for (const auto& el : esperada_.Elementos) {
      if (el.Id == id) return &el;
    }
    return nullptr;
  }

  TResultadoFeicao Criar(TFeicao& f) {
    const TElementoEsperado* e = Esperado(f.Registro.Id());
    if (!e) return {};
    if (e->Tipo != TTipoFeicao::PSC) return {e->Tipo, [] {}};
    QWidget* pai = this;
    if (e->Pai) {
      auto it = paginas_.find(e->Pai);
      if (it == paginas_.end() || e->Controle == TControle::Nenhum) return {TTipoFeicao::PSC};
      pai = it->second;
    }
    QWidget* w = Controle(*e, f, pai);
    if (!w) return {TTipoFeicao::PSC};
    if (pai != this) {
      // Page controls anchor in their page.
      ColorirControle(*w, f.Registro.Color(), f.Registro.FontColor());
      w->setGeometry(ParaQRect(RetanguloDoElemento(f.Registro, ParaTamanho(pai->size()))));
      w->show();
    } else if (e->Controle != TControle::BotaoFigura && e->Controle != TControle::Chaveador) {
      Colocar(*w, f);
    }
    if (e->Controle == TControle::Rotulo || e->Controle == TControle::Marcador ||
        e->Controle == TControle::Identificacao) {
      w->setAutoFillBackground(false);
    }
    if (e->Controle == TControle::Pagina) paginas_[e->Id] = w;
    return {TTipoFeicao::PSC};
  }

  QWidget* Controle(const TElementoEsperado& e, TFeicao& f, QWidget* pai) {
    const QString exemplo = U(e.Exemplo);
    switch (e.Controle) {
      case TControle::Edicao:
      case TControle::Senha: {
        auto* l = new QLineEdit(exemplo, pai);
        l->setFrame(false);
        l->setFont(FonteDaSkin(8));
        if (e.Controle == TControle::Senha) l->setEchoMode(QLineEdit::Password);
        return l;
      }
      case TControle::Texto: {
        auto* t = new QPlainTextEdit(exemplo, pai);
        t->setFrameShape(QFrame::NoFrame);
        t->setFont(FonteDaSkin(8));
        return t;
      }
      case TControle::Conversa:
        return Conversa(pai);
      case TControle::Marcador: {
        QAbstractButton* b = esperada_.Descritor == "Selecao.cap"
                                 ? static_cast<QAbstractButton*>(new QRadioButton(exemplo, pai))
                                 : new QCheckBox(exemplo, pai);
        b->setFont(FonteDaSkin(8));
        b->setChecked(f.Registro.Id() == 3 || f.Registro.Id() == 1 || f.Registro.Id() == 4);
        return b;
      }
      case TControle::Rotulo: {
        auto* l = new QLabel(exemplo, pai);
        l->setWordWrap(true);
        l->setFont(FonteDaSkin(8, f.Registro.Id() == 1 || f.Registro.Id() == 2));
        return l;
      }
      case TControle::Figura: {
        auto* l = new QLabel(pai);
        l->setPixmap(Figura(e.Exemplo));
        l->adjustSize();
        return l;
      }
      case TControle::Animacao: {
        auto* a = new TAnimacao(pai);
        a->Carregar(Cp(e.Exemplo.c_str()));
        a->Iniciar();
        return a;
      }
      case TControle::BotaoFigura: {
        auto* b = new TBotaoImagem(this);
        b->Virtual = false;
        b->Imagem = Cp(e.Exemplo.c_str());
        const TRetangulo r = Retangulo(f.Registro);
        b->Posicao = {r.Esquerda, r.Topo};
        // A row that spans the window (the message box's) centres its button.
        b->LinhaAutomatica = f.Registro.Width() <= 0;
        b->Instalar();
        f.Objeto = b;
        return nullptr;
      }
      case TControle::Chaveador: {
        auto* c = new TChaveador(this);
        c->DefinirQuantidade(3);
        const char* redes[] = {"ICQ", "MSN", "YAH"};
        for (int i = 0; i < 3; ++i) {
          const std::string base = std::string("Icones\\Origens\\") + redes[i];
          c->DefinirImagens(
              i, {CarregarImagemDaSkin(base + "2.bmp"), CarregarImagemDaSkin(base + "1.bmp")});
          c->DefinirEstado(i, i < 2 ? 1 : 0);
        }
        f.Objeto = c;
        c->show();
        return c;
      }
      case TControle::Contatos:
        return Contatos(pai);
      case TControle::Identificacao: {
        auto* caixa = new QWidget(pai);
        auto* status = new QLabel(caixa);
        status->setPixmap(Figura("Icones\\Status\\Status1.bmp"));
        status->setGeometry(0, 2, 24, 24);
        auto* nome = new QLabel(exemplo, caixa);
        nome->setFont(FonteDaSkin(9, true));
        const QRect r = RetanguloQt(f.Registro);
        const int largura = std::min(nome->sizeHint().width(), r.width() - 28);
        const int esquerda = (r.width() - (24 + 4 + largura)) / 2;
        status->move(esquerda, 2);
        nome->setGeometry(esquerda + 28, 0, largura, r.height());
        QPalette p = nome->palette();
        p.setColor(QPalette::WindowText, CorDaSkin(f.Registro.FontColor()));
        nome->setPalette(p);
        return caixa;
      }
      case TControle::Pagina: {
        auto* l = new QLabel(pai);
        l->setPixmap(Figura(e.Exemplo));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
      }
      case TControle::Seletor:
        return Seletor(pai, f.Registro);
      case TControle::ListaMarcada: {
        auto* l = new QListWidget(pai);
        l->setFrameShape(QFrame::NoFrame);
        l->setFont(FonteDaSkin(8));
        for (const char* u : {"4242 - Maria Silva", "5310 - Carlos Souza", "6001 - Visitante"}) {
          auto* item = new QListWidgetItem(U(u), l);
          item->setCheckState(l->count() == 1 ? Qt::Checked : Qt::Unchecked);
        }
        return l;
      }
      case TControle::Resultados:
        return Resultados(pai);
      case TControle::Nenhum:
        return nullptr;
    }
    return nullptr;
  }

  const TJanelaEsperada& esperada_;
  std::map<uint8_t, QWidget*> paginas_;
};

// A sheet of the small icons, actual size and four times larger, on the two
// backgrounds they meet: the lists' white and the window body.
bool FolhaDeIcones(const QString& arquivo) {
  std::vector<std::string> icones;
  for (int c : {1, 7, 8, 6, 5, 2, 3, 255})
    icones.push_back("Icones\\Lista\\Status" + std::to_string(c) + ".bmp");
  for (const char* o :
       {"ICQ1", "ICQ2", "MSN1", "MSN2", "YAH1", "YAH2", "Tazu1", "Tazu2", "Celular", "Globo"}) {
    icones.push_back(std::string("Icones\\Origens\\") + o + ".bmp");
  }
  icones.push_back("Icones\\Sistema\\TelaMsg.bmp");
  const int n = static_cast<int>(icones.size());
  QImage folha(n * 72 + 8, 200, QImage::Format_ARGB32);
  folha.fill(QColor(0xEE, 0xF2, 0xF7));
  QPainter p(&folha);
  p.fillRect(0, 0, folha.width(), 100, Qt::white);
  for (int i = 0; i < n; ++i) {
    const QImage icone = SemCor(CarregarImagemDaSkin(icones[static_cast<std::size_t>(i)]));
    for (int fundo = 0; fundo < 2; ++fundo) {
      const int y = fundo * 100;
      p.drawImage(8 + i * 72, y + 8, icone);
      p.drawImage(QRect(8 + i * 72, y + 30, 64, 64), icone);
    }
  }
  p.end();
  const bool ok = folha.save(arquivo);
  std::cout << (ok ? "wrote " : "FAILED ") << arquivo.toStdString() << "\n";
  return ok;
}

int Executar(const QString& saida) {
  QDir().mkpath(saida);
  int falhas = 0;
  auto foto = [&](QWidget& w, const QString& nome) {
    if (!Fotografar(w, saida + "/" + nome + ".png")) ++falhas;
  };

  const std::pair<int, const char*> caixas[] = {
      {InfoErro, "Erro número 10\r\n\r\nNão foi possível conectar ao servidor Tazu Messenger."},
      {InfoExclamacao, "O histórico de Ana Paula está vazio."},
      {InfoExclamacao, "O servidor será reiniciado às 23h para manutenção."},
      {InfoInicial, "Já existe uma cópia do \"Tazu Messenger\" sendo executada."},
      {InfoPergunta, "Deseja encerrar o Tazu Messenger?"}};
  const char* titulos[] = {"Erro", "Informação", "Mensagem de Sistema", "Informação",
                           "Confirmação"};
  const char* nomes[] = {"caixa-erro", "caixa-informacao", "caixa-mensagem-de-sistema",
                         "caixa-informacao-inicial", "caixa-confirmacao"};
  for (int i = 0; i < 5; ++i) {
    TFrmInfo caixa(Cp(titulos[i]), Cp(caixas[i].second), caixas[i].first, false);
    foto(caixa, nomes[i]);
  }
  {
    TFrmInfo longa(Cp("Informação"),
                   Cp("Esse comunicador ainda não foi configurado ou não está ativo no seu Tazu "
                      "Messenger.\r\nUtilize a opção \"Comunicadores\" no menu de opções para "
                      "configurá-lo."),
                   InfoExclamacao, false);
    foto(longa, "caixa-texto-longo");
  }

  TAguarde::Instancia().Mostrar(Cp("Conectando..."),
                                Cp("Aguardando conexao com o servidor Tazu Messenger."), false);
  if (TFrmAguarde* aguarde = TAguarde::Instancia().Janela()) foto(*aguarde, "aguarde");
  TAguarde::Instancia().FecharAgora();

  if (!FolhaDeIcones(saida + "/icones.png")) ++falhas;

  QLabel abertura(nullptr, Qt::FramelessWindowHint);
  const QImage prim = CarregarImagemDaSkin("Entrada\\Prim.bmp");
  abertura.setPixmap(QPixmap::fromImage(prim));
  abertura.resize(prim.size());
  AplicarRegiao(abertura, prim);
  foto(abertura, "abertura");

  for (const TJanelaEsperada& e : Janelas()) {
    TJanelaDaGaleria janela(e);
    QString nome = U(e.Descritor);
    nome.chop(4);
    foto(janela, QStringLiteral("janela-") + nome);
  }
  return falhas == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tazu::galeria

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: skin-gallery <output directory>\n";
    return 2;
  }
  return tazu::galeria::Executar(QString::fromLocal8Bit(argv[1]));
}
