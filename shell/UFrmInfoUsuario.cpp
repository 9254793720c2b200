#include "shell/UFrmInfoUsuario.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFocusEvent>
#include <QScrollBar>
#include <QTimer>
#include <QUrlQuery>

#include "core/FormatarNome.h"
#include "shell/Contexto.h"
#include "shell/FichaCadastral.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

// Deployment values: the public profile pages of the two networks.
constexpr const char* kPerfilMSN = "https://members.msn.com/default.msnw";
constexpr const char* kPerfilYahoo = "https://profiles.yahoo.com/";

// The page each box of the skin's elements 11 to 37 sits on.
constexpr int kPaginaDaCaixa[QuantidadeDeCaixasInfo] = {
    1, 1, 1, 1, 1, 1,  // nickname, name, sex, day, month, year
    2, 2, 2, 2,        // city, state, country, postal code
    4, 4, 4, 4, 4,     // profession, schooling, three languages
    3, 3, 3, 3,        // mobile, home, work, e-mail
    1,                 // the SMS number
    5, 5, 5, 5, 5, 5, 5};

int Maximo(int campo) {
  switch (campo) {
    case InfoApelido:
      return 25;
    case InfoDia:
    case InfoMes:
      return 2;
    case InfoAno:
      return 4;
    case InfoCelularSMS:
      return 15;
    default:
      return 100;
  }
}

}  // namespace

TFrmInfoUsuario::TFrmInfoUsuario(TContexto& ctx, std::string comunidade, std::string identificador,
                                 const std::string& apelido)
    : ctx_(ctx),
      comunidade_(std::move(comunidade)),
      identificador_(std::move(identificador)),
      apelido_(apelido),
      proprio_(comunidade_ == "Tazu" && identificador_ == std::to_string(ctx.ClientePC.NIU)) {
  setWindowTitle(ParaQString(proprio_ ? std::string(textos_shell::TituloMinhasInformacoes)
                                      : std::string(textos_shell::InformacoesDeTitulo) + apelido));
  setAttribute(Qt::WA_DeleteOnClose);
  lblApelido_ = new QLabel(ParaQString(apelido), this);
  lblApelido_->setFont(FonteDaSkin(9, true));
  lblNIU_ = new QLabel(ParaQString(identificador_), this);
  for (QLabel* l : {lblApelido_, lblNIU_}) l->setTextFormat(Qt::PlainText);
  seletor_ = new TSeletor(this);
  seletor_->SelecioneAoClicar = true;
  seletor_->AoClicar = [this](TSeletor& s) { MostrarPagina(s.Atual()); };
  area_ = new QWidget(this);
  richGeral_ = new QTextEdit(this);
  richGeral_->setReadOnly(true);
  richGeral_->setFrameShape(QFrame::NoFrame);
  richGeral_->setFont(QFont(QStringLiteral("Verdana"), 8));
  Pecas = CarregarPecas("InfoUsu");
  ArquivoDescritor = "InfoUsu.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  Construir();
  enviar_ = TBotaoDoFundo(*this, 6);
  enviar_.DefinirOpaco(true);
  enviar_.Habilitar(proprio_);
  CriarPaginas();
  MostrarPagina(0);
}

TFrmInfoUsuario::~TFrmInfoUsuario() = default;

TResultadoFeicao TFrmInfoUsuario::CriarFeicao(TFeicao& f) {
  switch (f.Registro.Id()) {
    case 1:
      Colocar(*lblApelido_, f);
      lblApelido_->setAutoFillBackground(false);
      return {TTipoFeicao::PSC};
    case 2:
      Colocar(*lblNIU_, f);
      lblNIU_->setAutoFillBackground(false);
      return {TTipoFeicao::PSC};
    case 4: {
      const TRetangulo r = Retangulo(f.Registro);
      seletor_->DefinirImagemFundo(f.Registro.Text());
      seletor_->move(r.Esquerda, r.Topo);
      seletor_->AlturaDaSelecao = f.Registro.MinHeight();
      seletor_->NumeroDeOpcoes = std::max(0, f.Registro.MinWidth());
      return {TTipoFeicao::PSC};
    }
    case 5:
      return {TTipoFeicao::BTN, [this] { showMinimized(); }};
    case 6:
      return {TTipoFeicao::BTN, [this] { Enviar(); }};
    case 7:
      return {TTipoFeicao::BTN, [this] { close(); }};
    case 8:
      return {TTipoFeicao::MOV};
    case 9:
      Colocar(*area_, f);
      return {TTipoFeicao::PSC};
    default:
      return {};  // the pages place the rest
  }
}

void TFrmInfoUsuario::CriarPaginas() {
  for (int i = 0; i < QuantidadeDePaginas; ++i) {
    auto* p = new TPagina(area_, "InfoUsu\\I" + std::to_string(i) + ".bmp");
    p->resize(area_->size());
    p->hide();
    paineis_[static_cast<std::size_t>(i)] = p;
  }
  if (const TFeicao* f = Feicoes().PorId(10)) paineis_[0]->Colocar(*richGeral_, f->Registro);
  for (int c = 0; c < QuantidadeDeCaixasInfo; ++c) {
    QLineEdit* caixa = NovaCaixa(this, Maximo(c));
    caixa->setReadOnly(!proprio_);
    if (c == InfoDia || c == InfoMes || c == InfoAno || c == InfoCelularSMS)
      SomenteAlgarismos(*caixa);
    caixa->installEventFilter(this);
    if (const TFeicao* f = Feicoes().PorId(static_cast<uint8_t>(11 + c))) {
      paineis_[static_cast<std::size_t>(kPaginaDaCaixa[c])]->Colocar(*caixa, f->Registro);
    }
    caixas_[static_cast<std::size_t>(c)] = caixa;
  }
  // The personal note on the last page: only its owner ever sees it.
  TPagina* sobre = paineis_[QuantidadeDePaginas - 1];
  memoPessoal_ = new QPlainTextEdit(sobre);
  memoPessoal_->setStyleSheet(QStringLiteral(
      "QPlainTextEdit{background:#FFFFFF;border:1px solid #AFBED0;border-radius:3px;}"));
  memoPessoal_->setFont(FonteDaSkin(8));
  memoPessoal_->setReadOnly(!proprio_);
  memoPessoal_->setTabChangesFocus(true);
  memoPessoal_->setGeometry(12, 80, sobre->width() - 24, sobre->height() - 92);
  memoPessoal_->setVisible(proprio_);
  if (proprio_) {
    connect(caixas_[InfoNome], &QLineEdit::editingFinished, this, [this] {
      caixas_[InfoNome]->setText(ParaQString(FormatarNome(ParaCp1252(caixas_[InfoNome]->text()))));
    });
  }
}

TFrmInfoUsuario* TFrmInfoUsuario::MostraInformacoes(TContexto& ctx, const std::string& comunidade,
                                                    const std::string& identificador,
                                                    const std::string& apelido) {
  if (comunidade == "MSN" || comunidade == "Yahoo") {
    ctx.AbrirEndereco(comunidade == "MSN" ? PerfilMSN(identificador) : PerfilYahoo(identificador));
    return nullptr;
  }
  const std::string chave = TRegistroDeJanelas<QWidget>::Chave(comunidade, identificador);
  if (auto* aberta = dynamic_cast<TFrmInfoUsuario*>(ctx.JanelasDeInformacao.Localizar(chave))) {
    aberta->showNormal();
    aberta->raise();
    aberta->activateWindow();
    return aberta;
  }
  auto* janela = new TFrmInfoUsuario(ctx, comunidade, identificador, apelido);
  ctx.JanelasDeInformacao.Registrar(chave, janela);
  janela->show();
  ctx.ClientePC.PedirInformacoes(comunidade, identificador);
  return janela;
}

QUrl TFrmInfoUsuario::PerfilMSN(const std::string& identificador) {
  QUrl url(QString::fromLatin1(kPerfilMSN));
  QUrlQuery q;
  for (const auto& [nome, valor] :
       {std::pair{"Version", "4.6"}, std::pair{"lc", "0416"}, std::pair{"CLCID", "0416"},
        std::pair{"Country", "BR"}, std::pair{"BrandID", "MSMSGS"}}) {
    q.addQueryItem(QString::fromLatin1(nome), QString::fromLatin1(valor));
  }
  q.addQueryItem(QStringLiteral("passport"), ParaQString(identificador));
  url.setQuery(q);
  return url;
}

QUrl TFrmInfoUsuario::PerfilYahoo(const std::string& identificador) {
  QUrl url(QString::fromLatin1(kPerfilYahoo));
  url.setPath(url.path() + ParaQString(identificador));
  return url;
}

void TFrmInfoUsuario::MostrarPagina(int pagina) {
  if (pagina < 0 || pagina >= QuantidadeDePaginas) return;
  for (int i = 0; i < QuantidadeDePaginas; ++i)
    paineis_[static_cast<std::size_t>(i)]->setVisible(i == pagina);
  if (seletor_->Atual() != pagina) seletor_->Selecionar(pagina);
  pagina_ = pagina;
}

void TFrmInfoUsuario::CopiarDasCaixas() {
  for (int c = 0; c < QuantidadeDeCaixasInfo; ++c)
    info_.Campos[static_cast<std::size_t>(c)] =
        ParaCp1252(caixas_[static_cast<std::size_t>(c)]->text());
  std::string recado;
  for (char ch : ParaCp1252(memoPessoal_->toPlainText())) {
    if (ch == '\n') recado += '\r';
    recado += ch;
  }
  info_.Campos[InfoRecado] = recado;
}

void TFrmInfoUsuario::CopiarParaAsCaixas() {
  for (int c = 0; c < QuantidadeDeCaixasInfo; ++c)
    caixas_[static_cast<std::size_t>(c)]->setText(
        ParaQString(info_.Campos[static_cast<std::size_t>(c)]));
  memoPessoal_->setPlainText(
      ParaQString(info_.Campos[InfoRecado]).replace(QStringLiteral("\r"), QString()));
}

void TFrmInfoUsuario::ReceberBloco(int bloco, const std::string& texto) {
  lblNIU_->setText(ParaQString(identificador_));
  CopiarDasCaixas();
  const std::vector<TLinhaDoResumo> linhas = info_.Receber(bloco, texto);
  CopiarParaAsCaixas();
  QTextCursor cursor(richGeral_->document());
  cursor.movePosition(QTextCursor::End);
  for (const TLinhaDoResumo& l : linhas) {
    QTextCharFormat formato;
    formato.setFontWeight(l.Negrito ? QFont::Bold : QFont::Normal);
    if (!richGeral_->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(ParaQString(l.Texto), formato);
  }
  // The summary is read from its top, whichever block came last.
  richGeral_->moveCursor(QTextCursor::Start);
  richGeral_->verticalScrollBar()->setValue(0);
}

bool TFrmInfoUsuario::VerificarData() {
  const TCampoDaData campo = tazu::VerificarData(
      ParaCp1252(caixas_[InfoDia]->text()), ParaCp1252(caixas_[InfoMes]->text()),
      ParaCp1252(caixas_[InfoAno]->text()), QDate::currentDate().year());
  if (campo == TCampoDaData::Nenhum) return true;
  avisando_ = true;
  ctx_.Caixas.Informacao(RecusaDaData(campo));
  avisando_ = false;
  MostrarPagina(kPaginaDaCaixa[InfoDia]);
  const int alvo = campo == TCampoDaData::Dia   ? InfoDia
                   : campo == TCampoDaData::Mes ? InfoMes
                                                : InfoAno;
  caixas_[static_cast<std::size_t>(alvo)]->setFocus();
  return false;
}

bool TFrmInfoUsuario::VerificarCelularSMS() {
  const QString texto = caixas_[InfoCelularSMS]->text();
  if (texto.isEmpty() || texto.size() == 10) return true;
  avisando_ = true;
  ctx_.Caixas.Informacao(std::string(textos_shell::AvisoCelularSMS));
  avisando_ = false;
  MostrarPagina(kPaginaDaCaixa[InfoCelularSMS]);
  caixas_[InfoCelularSMS]->clear();
  caixas_[InfoCelularSMS]->setFocus();
  return false;
}

bool TFrmInfoUsuario::eventFilter(QObject* objeto, QEvent* evento) {
  if (proprio_ && !avisando_ && evento->type() == QEvent::FocusOut) {
    const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
    // Only the user moving on counts, not a box or another window coming up.
    const bool doUsuario = motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason ||
                           motivo == Qt::MouseFocusReason;
    if (doUsuario && objeto == caixas_[InfoCelularSMS]) {
      QTimer::singleShot(0, this, [this] { VerificarCelularSMS(); });
    }
    const bool deData =
        objeto == caixas_[InfoDia] || objeto == caixas_[InfoMes] || objeto == caixas_[InfoAno];
    if (doUsuario && deData) {
      // Moving between the three boxes of the date is still typing it.
      QTimer::singleShot(0, this, [this] {
        QWidget* foco = QApplication::focusWidget();
        for (int c = InfoDia; c <= InfoAno; ++c) {
          if (foco == caixas_[static_cast<std::size_t>(c)]) return;
        }
        VerificarData();
      });
    }
  }
  return TFrmEncapado::eventFilter(objeto, evento);
}

void TFrmInfoUsuario::Enviar() {
  if (!proprio_) {
    ctx_.Caixas.Informacao(std::string(textos_shell::OutrosUsuarios));
    return;
  }
  if (!VerificarData() || !VerificarCelularSMS()) return;
  CopiarDasCaixas();
  ctx_.Espera.Mostrar(std::string(textos_shell::Aguarde),
                      std::string(textos_shell::EnviandoInformacoes), false);
  ctx_.ClientePC.GravarInformacoes("Tazu", BlocoPessoal, info_.Bloco(BlocoPessoal));
  ctx_.ClientePC.GravarInformacoes("Tazu", BlocoTrabalho, info_.Bloco(BlocoTrabalho));
  // The server does not answer these: once they are on their way, the wait is
  // over.
  ctx_.Espera.Fechar();
}

void TFrmInfoUsuario::closeEvent(QCloseEvent* e) {
  ctx_.JanelasDeInformacao.Remover(TRegistroDeJanelas<QWidget>::Chave(comunidade_, identificador_));
  TFrmEncapado::closeEvent(e);
}

}  // namespace tazu
