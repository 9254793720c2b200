#include "shell/UBuscaContato.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPointer>

#include "core/UGlobal.h"
#include "shell/Textos.h"
#include "shell/UAdicionarContato.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmBuscaContato> aberta;

enum Coluna { ColunaNIU, ColunaApelido, ColunaNome, ColunaEMail, ColunaAutorizar };
// The row's identifier and nickname as the server sent them.
constexpr int PapelIdentificador = Qt::UserRole;
constexpr int PapelApelido = Qt::UserRole + 1;

const char* const kFundos[3] = {"Busca\\B1.bmp", "Busca\\B2.bmp", "Busca\\B3.bmp"};
const char* const kAbas[3] = {"Busca\\O1.bmp", "Busca\\O2.bmp", "Busca\\O3.bmp"};

QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
std::string Texto(const QVariant& v) {
  return v.toByteArray().toStdString();
}

}  // namespace

TFrameBusca::TFrameBusca(QWidget* pai, int pagina, TListaDeFeicoes& feicoes)
    : TPagina(pai, kFundos[pagina]) {
  resize(pai->size());
  auto colocar = [&](QLineEdit*& caixa, uint8_t id, int maximo) {
    caixa = NovaCaixa(this, maximo);
    if (const TFeicao* f = feicoes.PorId(id)) Colocar(*caixa, f->Registro);
  };
  switch (pagina) {
    case 0:
      colocar(EdtNIU, 5, 9);
      SomenteAlgarismos(*EdtNIU);
      break;
    case 1:
      colocar(EdtApelido, 6, 25);
      colocar(EdtNome, 7, 40);
      // One or the other: typing in one empties the other.
      connect(EdtApelido, &QLineEdit::textEdited, EdtNome, [this] { EdtNome->clear(); });
      connect(EdtNome, &QLineEdit::textEdited, EdtApelido, [this] { EdtApelido->clear(); });
      break;
    default:
      colocar(EdtEMail, 8, 40);
      break;
  }
}

TFrmBuscaContato::TFrmBuscaContato(TContexto& ctx, std::string comunidade)
    : ctx_(ctx), comunidade_(std::move(comunidade)) {
  setWindowTitle(ParaQString(textos_shell::TituloBusca));
  setAttribute(Qt::WA_DeleteOnClose);
  TClientePCTazu& cliente = ctx_.ClientePC;
  recebendo_ = std::make_unique<TEventoTomado<TEventoBusca>>(
      cliente.AoReceberBusca,
      [this](TClientePCTazu&, const std::string& id, const std::string& apelido,
             const std::string& nome, const std::string& email,
             char autorizar) { ResultadoRecebido(id, apelido, nome, email, autorizar); });
  finalizando_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      cliente.AoFinalizarBusca, [this](TClientePCTazu&) { BuscaFinalizada(); });
  area_ = new QWidget(this);
  CriarListView();
  animacao_ = new TAnimacao(this);
  animacao_->Carregar("Animacao\\Envio.avi");
  lblDicas_ = new QLabel(this);
  lblDicas_->setTextFormat(Qt::PlainText);
  imgComunicador_ = new QLabel(this);
  Pecas = CarregarPecas("Busca");
  ArquivoDescritor = "Busca.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  AoRedimensionar = [this](TFrmEncapado&, int, const QImage&, int) {
    btnBuscar_.Reposicionar();
    btnAdicionar_.Reposicionar();
  };
  Construir();
  btnBuscar_ = TBotaoDoFundo(*this, 10);
  btnAdicionar_ = TBotaoDoFundo(*this, 12);
}

TFrmBuscaContato::~TFrmBuscaContato() {
  Soltar();
}

void TFrmBuscaContato::CriarListView() {
  listView_ = new QTreeWidget(this);
  listView_->setColumnCount(5);
  listView_->setHeaderLabels({ParaQString(textos_shell::CampoNIU), QStringLiteral("Apelido"),
                              QStringLiteral("Nome"), ParaQString(textos_shell::CampoEMail),
                              QStringLiteral("Autorizar")});
  listView_->setHeaderHidden(true);
  listView_->setRootIsDecorated(false);
  listView_->setUniformRowHeights(true);
  listView_->setFrameShape(QFrame::NoFrame);
  listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listView_->setFont(FonteDaSkin(8));
  const int larguras[4] = {70, 90, 90, 120};
  for (int i = 0; i < 4; ++i) listView_->header()->resizeSection(i, larguras[i]);
  connect(listView_, &QTreeWidget::itemSelectionChanged, this,
          [this] { btnAdicionar_.Habilitar(!listView_->selectedItems().isEmpty()); });
  connect(listView_, &QTreeWidget::itemActivated, this, [this] { Adicionar(); });
}

TResultadoFeicao TFrmBuscaContato::CriarFeicao(TFeicao& f) {
  const uint8_t id = f.Registro.Id();
  switch (id) {
    case 1:
      Colocar(*area_, f);
      return {TTipoFeicao::PSC};
    case 2:
    case 3:
    case 4: {
      const int pagina = id - 2;
      QLabel* aba = abas_[static_cast<std::size_t>(pagina)] = new QLabel(this);
      aba->setPixmap(QPixmap::fromImage(CarregarImagemDaSkin(kAbas[pagina])));
      aba->setGeometry(RetanguloQt(f.Registro));
      aba->hide();
      return {TTipoFeicao::BTN, [this, pagina] {
                if (pagina != pagina_) MudarPagina(pagina);
              }};
    }
    case 9:
      Colocar(*animacao_, f);
      return {TTipoFeicao::PSC};
    case 10:
      return {TTipoFeicao::BTN, [this] { Buscar(); }};
    case 11:
      return {TTipoFeicao::BTN, [this] { NovaBusca(); }};
    case 12:
      return {TTipoFeicao::BTN, [this] { Adicionar(); }};
    case 13:
      Colocar(*listView_, f);
      return {TTipoFeicao::PSC};
    case 14:
      return {TTipoFeicao::BTN, [this] { close(); }};
    case 16:
      return {TTipoFeicao::RDM};
    case 17:
      return {TTipoFeicao::MOV};
    case 18:
      return {TTipoFeicao::RTL};
    case 19:
      Colocar(*lblDicas_, f);
      lblDicas_->setAutoFillBackground(false);
      return {TTipoFeicao::PSC};
    case 20:
      imgComunicador_->setPixmap(QPixmap::fromImage(SemCor(CarregarImagemDaSkin(
          comunidade_ == "Tazu" ? "Icones\\Origens\\Tazu1.bmp" : "Icones\\Origens\\ICQ1.bmp"))));
      Colocar(*imgComunicador_, f);
      return {TTipoFeicao::PSC};
    default:
      return {};
  }
}

TFrmBuscaContato* TFrmBuscaContato::BuscaContato(TContexto& ctx, const std::string& comunidade) {
  if (!aberta) aberta = new TFrmBuscaContato(ctx, comunidade);
  aberta->show();
  aberta->raise();
  aberta->activateWindow();
  return aberta;
}

TFrmBuscaContato* TFrmBuscaContato::Aberta() {
  return aberta;
}

void TFrmBuscaContato::showEvent(QShowEvent* e) {
  TFrmEncapado::showEvent(e);
  if (e->spontaneous()) return;
  NovaBusca();
  btnAdicionar_.Habilitar(false);
}

void TFrmBuscaContato::MudarPagina(int pagina) {
  auto* novo = new TFrameBusca(area_, pagina, Feicoes());
  novo->show();
  if (pagina_ >= 0) abas_[static_cast<std::size_t>(pagina_)]->hide();
  abas_[static_cast<std::size_t>(pagina)]->show();
  delete frame_;
  frame_ = novo;
  pagina_ = pagina;
  for (QLineEdit* caixa : {frame_->EdtNIU, frame_->EdtApelido, frame_->EdtNome, frame_->EdtEMail}) {
    if (caixa) connect(caixa, &QLineEdit::returnPressed, this, [this] { Buscar(); });
  }
  if (QLineEdit* primeira = frame_->EdtNIU       ? frame_->EdtNIU
                            : frame_->EdtApelido ? frame_->EdtApelido
                                                 : frame_->EdtEMail) {
    primeira->setFocus();
  }
}

void TFrmBuscaContato::Buscar() {
  if (!frame_ || !btnBuscar_.Habilitado()) return;
  std::string criterio;
  char tipo = '1';
  std::string_view campo;
  switch (pagina_) {
    case 0:
      criterio = ParaCp1252(frame_->EdtNIU->text());
      campo = textos_shell::CampoNIU;
      break;
    case 1: {
      const std::string apelido = CodificarApelido(ParaCp1252(frame_->EdtApelido->text()));
      const std::string nome = CodificarApelido(ParaCp1252(frame_->EdtNome->text()));
      tipo = nome.empty() ? '2' : apelido.empty() ? '3' : '5';
      criterio = tipo == '2' ? apelido : tipo == '3' ? nome : apelido + Separador + nome;
      campo = textos_shell::CampoApelidoOuNome;
      break;
    }
    default:
      criterio = CodificarApelido(ParaCp1252(frame_->EdtEMail->text()));
      tipo = '4';
      campo = textos_shell::CampoEMail;
      break;
  }
  if (criterio.empty()) {
    ctx_.Caixas.Informacao(std::string(textos_shell::DigiteUm) + std::string(campo) +
                           std::string(textos_shell::AntesDaBusca));
    return;
  }
  resultados_ = 0;
  lblDicas_->setText(ParaQString(textos_shell::Buscando));
  animacao_->Iniciar();
  listView_->clear();
  btnBuscar_.Habilitar(false);
  btnAdicionar_.Habilitar(false);
  ctx_.ClientePC.BuscarContato(comunidade_, tipo, criterio);
}

void TFrmBuscaContato::ResultadoRecebido(const std::string& identificador,
                                         const std::string& apelido, const std::string& nome,
                                         const std::string& email, char autorizar) {
  auto* item = new QTreeWidgetItem(
      {ParaQString(identificador), ParaQString(apelido), ParaQString(nome), ParaQString(email),
       ParaQString(autorizar == '1' ? textos_shell::Sim : textos_shell::Nao)});
  item->setData(ColunaNIU, PapelIdentificador, Bytes(identificador));
  item->setData(ColunaNIU, PapelApelido, Bytes(apelido));
  listView_->addTopLevelItem(item);
  ++resultados_;
  lblDicas_->setText(ParaQString(
      std::to_string(resultados_) +
      std::string(resultados_ == 1 ? textos_shell::Resultado : textos_shell::Resultados) +
      std::string(textos_shell::ParaABusca)));
}

void TFrmBuscaContato::BuscaFinalizada() {
  if (resultados_ == 0) lblDicas_->setText(ParaQString(textos_shell::NenhumEncontrado));
  btnBuscar_.Habilitar(true);
  animacao_->Parar();
}

void TFrmBuscaContato::NovaBusca() {
  lblDicas_->setText(ParaQString(textos_shell::AguardandoBusca));
  ctx_.ClientePC.EncerrarBusca(2);
  btnBuscar_.Habilitar(true);
  if (pagina_ != 0) MudarPagina(0);
  resultados_ = 0;
  listView_->clear();
  animacao_->Parar();
}

void TFrmBuscaContato::Adicionar() {
  const QList<QTreeWidgetItem*> selecionados = listView_->selectedItems();
  if (selecionados.isEmpty()) return;
  const std::string identificador = Texto(selecionados[0]->data(ColunaNIU, PapelIdentificador));
  const std::string apelido = Texto(selecionados[0]->data(ColunaNIU, PapelApelido));
  TClientePCTazu& cliente = ctx_.ClientePC;
  if (JaNaLista(cliente, comunidade_, identificador)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::JaNaLista));
    return;
  }
  if (comunidade_ == "Tazu" && identificador == std::to_string(cliente.NIU)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::NaoPodeSeAdicionar));
    return;
  }
  cliente.EncerrarBusca(2);
  btnBuscar_.Habilitar(true);
  const std::string comunidade = comunidade_;
  TContexto& ctx = ctx_;
  cliente.AdicionarContato(comunidade, identificador);
  close();
  ctx.Espera.Mostrar(std::string(textos_shell::Aguarde),
                     std::string(textos_shell::Adicionando) + apelido + "\" (" + comunidade +
                         std::string(textos_shell::ALista),
                     false);
}

void TFrmBuscaContato::closeEvent(QCloseEvent* e) {
  Soltar();
  TFrmEncapado::closeEvent(e);
}

// Results that arrive once the window is closing are no longer shown.
void TFrmBuscaContato::Soltar() {
  if (!recebendo_) return;
  recebendo_.reset();
  finalizando_.reset();
  ctx_.ClientePC.EncerrarBusca(2);
}

}  // namespace tazu
