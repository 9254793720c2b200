#include "shell/UGerenciador.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScrollBar>

#include "shell/Contexto.h"
#include "shell/DelegadoDeContatos.h"
#include "shell/MenuGrande.h"
#include "shell/Textos.h"
#include "shell/UComunicando.h"
#include "shell/UOpcoesIniciais.h"
#include "shell/UPrincipal.h"
#include "shell/USobre.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

// Elements 1 to 4 are known by their place in the descriptor, not their Id.
enum : std::size_t { ElementoIdentificacao = 1, ElementoContatos, ElementoBusca, ElementoLupa };

}  // namespace

TFrmGerenciador::TFrmGerenciador(TContexto& ctx) : ctx_(ctx), icones_(TIcones::Carregar()) {
  setWindowTitle(ParaQString(textos_shell::TazuMessenger));
  setFont(FonteDaSkin(8));
  Pecas = PecasCompartilhadas("Gerente");
  ArquivoDescritor = "Gerente.cap";
  ctx_.DiretorioStatusGrande = icones_.DiretorioStatusGrande;
  CriarControles();
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  AoRedimensionar = [this](TFrmEncapado&, int, const QImage&, int) { ReposicionarIdentificacao(); };
  Construir();
  LimpaListas();
  CriarMenuDeContato();
  CriarMenusDasRedes();
  tmrPiscagem_.setInterval(IntervaloDePiscagem);
  connect(&tmrPiscagem_, &QTimer::timeout, this, [this] { Piscar(); });
  listas_.AoEntrarEmConectados = [this] { ctx_.TocarSom("Sons\\User_Conected.wav"); };
}

TFrmGerenciador::~TFrmGerenciador() = default;

void TFrmGerenciador::CriarControles() {
  imgStatus_ = new QLabel(this);
  lblIdentificacao_ = new QLabel(this);
  lblIdentificacao_->setFont(FonteDaSkin(9, true));
  lblIdentificacao_->setAlignment(Qt::AlignCenter);
  lblIdentificacao_->setTextFormat(Qt::PlainText);

  lista_ = new TVistaDeContatos(this);
  delegado_ = new TDelegadoDeContatos(icones_.Contatos, lista_);
  lista_->setItemDelegate(delegado_);
  lista_->setModel(&listas_);
  lista_->setUniformItemSizes(true);
  lista_->setFrameShape(QFrame::NoFrame);
  lista_->setFont(FonteDaSkin(8));
  lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lista_->setSelectionMode(QAbstractItemView::SingleSelection);
  lista_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lista_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  lista_->verticalScrollBar()->setStyleSheet(
      QStringLiteral("QScrollBar:vertical{width:10px;background:transparent;border:none;}"
                     "QScrollBar::handle:vertical{background:#B8C4D4;min-height:20px;"
                     "border-radius:4px;}"
                     "QScrollBar::add-line,QScrollBar::sub-line{height:0;}"));
  lista_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lista_, &QListView::customContextMenuRequested, this,
          [this](const QPoint& p) { AbrirMenuDoContato(p); });
  connect(lista_, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
    if (listas_.Linha(i)) Mensagem();
  });

  edit_ = new QLineEdit(this);
  edit_->setFrame(false);
  edit_->setFont(FonteDaSkin(8));
  edit_->installEventFilter(this);
}

TResultadoFeicao TFrmGerenciador::CriarFeicao(TFeicao& f) {
  if (&f == Feicoes().Elemento(ElementoIdentificacao)) return {TTipoFeicao::PSC};
  if (&f == Feicoes().Elemento(ElementoContatos)) {
    Colocar(*lista_, f);
    return {TTipoFeicao::PSC};
  }
  if (&f == Feicoes().Elemento(ElementoBusca)) {
    Colocar(*edit_, f);
    edit_->hide();
    return {TTipoFeicao::PSC};
  }
  if (&f == Feicoes().Elemento(ElementoLupa)) return {TTipoFeicao::BTN, [this] { Pesquisar(); }};
  switch (f.Registro.Id()) {
    case 5:
      return {TTipoFeicao::BTN, [this] { hide(); }};
    case 6:
      return {TTipoFeicao::BTN, [this] { Sair(); }};
    case 7:
      return {TTipoFeicao::RDM};
    case 8:
      return {TTipoFeicao::BTN, [this] { (new TFrmOpcoesMenu(ctx_))->Exibir(); }};
    case 9:
      return {TTipoFeicao::BTN, [this] { (new TFrmMenuStatus(ctx_))->Exibir(); }};
    case 10:
      return {TTipoFeicao::BTN, [] { TFrmSobre::Abrir(); }};
    case 12:
      return {TTipoFeicao::BTN, [this] {
                ctx_.EstadoSessao = 2;
                TFrmOpcoesIniciais::Executar(ctx_);
              }};
    case 13:
      return {TTipoFeicao::MOV};
    case 14:
      return {TTipoFeicao::RTL};
    case 15:
      CriarChaveador(f);
      return {TTipoFeicao::PSC};
    default:
      return {};
  }
}

void TFrmGerenciador::CriarChaveador(TFeicao& f) {
  chaveador_ = new TChaveador(this);
  chaveador_->DefinirQuantidade(3);
  const char* redes[] = {"ICQ", "MSN", "YAH"};
  for (int i = 0; i < 3; ++i) {
    const std::string base = std::string("Icones\\Origens\\") + redes[i];
    chaveador_->DefinirImagens(
        i, {CarregarImagemDaSkin(base + "2.bmp"), CarregarImagemDaSkin(base + "1.bmp")});
    chaveador_->DefinirEstado(i, 0);
  }
  chaveador_->AoClicar = [this](TChaveador&, int chave) { MenuDaRede(chave, QCursor::pos()); };
  f.Objeto = chaveador_;
  chaveador_->show();
}

QRect TFrmGerenciador::RetanguloDoElemento(std::size_t n) {
  const TFeicao* f = Feicoes().Elemento(n);
  return f ? RetanguloQt(f->Registro) : QRect();
}

void TFrmGerenciador::AtualizaContato(const TContato& contato) {
  listas_.AtualizaContato(contato);
  if (contato.Janela) contato.Janela->Atualiza();
}

void TFrmGerenciador::RemoveContato(const TContato& contato) {
  listas_.RemoveContato(contato.Comunicador.str(), contato.Identificador);
}

void TFrmGerenciador::LimpaListas() {
  listas_.LimpaListas();
}

void TFrmGerenciador::RestauraIconeContato(const TContato& contato) {
  listas_.RestauraIcone(
      TListasDoGerenciador::Chave(contato.Comunicador.str(), contato.Identificador));
}

void TFrmGerenciador::IndicaComunicador(const std::string& nome, bool ativo) {
  const int chave = nome == "ICQ" ? 0 : nome == "MSN" ? 1 : nome == "Yahoo" ? 2 : -1;
  if (chave >= 0 && chaveador_) chaveador_->DefinirEstado(chave, ativo ? 1 : 0);
}

void TFrmGerenciador::DefinirStatus(int status) {
  imgStatus_->setPixmap(
      TIcones::Figura(ctx_.DiretorioStatusGrande + "Status" + std::to_string(status) + ".bmp"));
  ReposicionarIdentificacao();
}

void TFrmGerenciador::DefinirNumero(uint16_t niu) {
  lblIdentificacao_->setToolTip(
      ParaQString(std::string(textos_shell::SeuNumero) + std::to_string(niu)));
}

void TFrmGerenciador::MostraApelido(const std::string& apelido) {
  apelido_ = apelido;
  lblIdentificacao_->setText(ParaQString(apelido));
  ReposicionarIdentificacao();
}

void TFrmGerenciador::ReposicionarIdentificacao() {
  const TFeicao* f = Feicoes().Elemento(ElementoIdentificacao);
  if (!f) return;
  const QRect r = RetanguloQt(f->Registro);
  const QPixmap figura = imgStatus_->pixmap();
  const int larguraDaFigura = figura.isNull() ? 0 : figura.width();
  const QFontMetrics medida(lblIdentificacao_->font());
  // A long nickname is cut short rather than pushing the picture out.
  const int maxima = std::max(0, r.width() - 4 - larguraDaFigura);
  const int largura = std::min(medida.horizontalAdvance(lblIdentificacao_->text()), maxima);
  const int grupo = larguraDaFigura + 4 + largura;
  const int esquerda = r.left() + (r.width() - grupo) / 2;
  imgStatus_->setGeometry(esquerda,
                          r.top() + (r.height() - (figura.isNull() ? 0 : figura.height())) / 2,
                          larguraDaFigura, figura.isNull() ? 0 : figura.height());
  lblIdentificacao_->setGeometry(esquerda + larguraDaFigura + 4, r.top(), largura, r.height());
  QPalette paleta = lblIdentificacao_->palette();
  paleta.setColor(QPalette::WindowText, CorDaSkin(f->Registro.FontColor()));
  lblIdentificacao_->setPalette(paleta);
  imgStatus_->show();
  lblIdentificacao_->show();
}

void TFrmGerenciador::Piscar() {
  if (!ctx_.JanelasDeConversa.Vazio()) {
    std::vector<std::string> chaves;
    for (const auto& [chave, janela] : ctx_.JanelasDeConversa.Todas()) {
      if (janela->NaoLido()) chaves.push_back(chave);
    }
    listas_.Piscar(chaves, fase_);
  }
  fase_ = !fase_;
}

TContato* TFrmGerenciador::ContatoSelecionado() const {
  const auto selecionados = lista_->selectionModel()->selectedIndexes();
  if (selecionados.isEmpty()) return nullptr;
  const TListasDoGerenciador::TLinha* linha = listas_.Linha(selecionados.first());
  if (!linha) return nullptr;
  TListaDeContatos& contatos = ctx_.ClientePC.Contatos;
  return contatos.Localizar(linha->Comunicador, linha->Identificador) ? contatos.ContatoAtual()
                                                                      : nullptr;
}

void TFrmGerenciador::Sair() {
  if (!ctx_.Caixas.Confirmacao(std::string(textos_shell::DesejaEncerrar))) return;
  if (ctx_.Principal) ctx_.Principal->Sair();
}

void TFrmGerenciador::closeEvent(QCloseEvent* e) {
  // Closing the manager only puts it away; the program lives in the tray.
  e->ignore();
  hide();
}

void TFrmGerenciador::showEvent(QShowEvent* e) {
  TFrmEncapado::showEvent(e);
  tmrPiscagem_.start();
}

void TFrmGerenciador::hideEvent(QHideEvent* e) {
  TFrmEncapado::hideEvent(e);
  tmrPiscagem_.stop();
}

void TFrmGerenciador::mouseMoveEvent(QMouseEvent* e) {
  TFrmEncapado::mouseMoveEvent(e);
  if (!edit_->isVisible() && RetanguloDoElemento(ElementoBusca).contains(e->position().toPoint())) {
    edit_->show();
  }
}

bool TFrmGerenciador::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == edit_) {
    switch (evento->type()) {
      case QEvent::Leave:
        if (!edit_->hasFocus()) edit_->hide();
        break;
      case QEvent::FocusOut:
        edit_->hide();
        break;
      case QEvent::KeyPress: {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
          Pesquisar();
          return true;
        }
        break;
      }
      default:
        break;
    }
  }
  return TFrmEncapado::eventFilter(objeto, evento);
}

}  // namespace tazu
