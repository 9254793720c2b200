#include "shell/UConfiguracoes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>
#include <optional>

#include "core/DadosLocais.h"
#include "core/UGlobal.h"
#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "shell/Textos.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

constexpr const char* kVariaveis[4] = {"TAZU_SERVIDOR_YAHOO", "TAZU_SERVIDOR_MSN",
                                       "TAZU_SERVIDOR_ICQ", "TAZU_PROXY_ICQ"};

std::string Endereco(const TEnderecoServidor& e) {
  const bool v6 = e.host.find(':') != std::string::npos;
  return (v6 ? "[" + e.host + "]" : e.host) + ":" + std::to_string(e.porta);
}

// The file alone: what the environment sets for this run is not the user's
// to keep.
TServidoresExternos LerSoOArquivo() {
  std::array<std::optional<std::string>, 4> guardadas;
  for (std::size_t i = 0; i < 4; ++i) {
    if (const char* v = std::getenv(kVariaveis[i])) {
      guardadas[i] = v;
      unsetenv(kVariaveis[i]);
    }
  }
  TServidoresExternos s = LerServidoresExternos();
  for (std::size_t i = 0; i < 4; ++i) {
    if (guardadas[i]) setenv(kVariaveis[i], guardadas[i]->c_str(), 1);
  }
  return s;
}

}  // namespace

TFrmConfiguracoes::TFrmConfiguracoes(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloConfiguracoes));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  doArquivo_ = LerSoOArquivo();
  paginas_ = new QTabWidget(this);
  paginas_->addTab(PaginaTazu(), ParaQString(textos_shell::PaginaTazu));
  paginas_->addTab(PaginaExternos(), ParaQString(textos_shell::PaginaOutrasRedes));
  auto* botoes = new QDialogButtonBox(this);
  botoes->addButton(ParaQString(textos_shell::Ok), QDialogButtonBox::AcceptRole);
  botoes->addButton(ParaQString(textos_shell::Cancelar), QDialogButtonBox::RejectRole);
  connect(botoes, &QDialogButtonBox::accepted, this, [this] { Ok(); });
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(paginas_);
  layout->addWidget(botoes);
  resize(460, sizeHint().height());
}

QWidget* TFrmConfiguracoes::PaginaTazu() {
  auto* pagina = new QWidget(this);
  auto* form = new QFormLayout(pagina);
  edtServidor_ = new QLineEdit(ParaQString(ctx_.ClientePC.IPServidor), pagina);
  edtServidor_->setMaxLength(255);
  edtPorta_ = new QLineEdit(QString::number(ctx_.ClientePC.PortaServidor), pagina);
  edtPorta_->setMaxLength(5);
  SomenteAlgarismos(*edtPorta_);
  form->addRow(ParaQString(textos_shell::EnderecoDoServidor), edtServidor_);
  form->addRow(ParaQString(textos_shell::PortaDeConexao), edtPorta_);
  return pagina;
}

QWidget* TFrmConfiguracoes::PaginaExternos() {
  auto* pagina = new QWidget(this);
  auto* form = new QFormLayout(pagina);
  const TServidoresExternos efetivos = LerServidoresExternos();
  const std::string valores[4] = {Endereco(efetivos.yahoo), Endereco(efetivos.msn),
                                  Endereco(efetivos.icq), EscreverProxy(efetivos.proxyICQ)};
  const std::string_view rotulos[4] = {textos_shell::ServidorYahoo, textos_shell::ServidorMSN,
                                       textos_shell::ServidorICQ, textos_shell::ProxyICQ};
  for (std::size_t i = 0; i < 4; ++i) {
    externos_[i] = new QLineEdit(QString::fromStdString(valores[i]), pagina);
    externos_[i]->setMaxLength(255);
    // What the environment sets for this run is shown, but not the user's to
    // change here.
    if (std::getenv(kVariaveis[i])) {
      externos_[i]->setEnabled(false);
      externos_[i]->setToolTip(ParaQString(std::string(textos_shell::DefinidoPor) + kVariaveis[i]));
    }
    form->addRow(ParaQString(rotulos[i]), externos_[i]);
  }
  auto* dica = new QLabel(ParaQString(textos_shell::DicaServidores), pagina);
  dica->setWordWrap(true);
  QFont menor = dica->font();
  menor.setPointSizeF(menor.pointSizeF() * 0.9);
  dica->setFont(menor);
  form->addRow(dica);
  return pagina;
}

void TFrmConfiguracoes::Executar(TContexto& ctx) {
  TFrmConfiguracoes janela(ctx);
  janela.exec();
}

void TFrmConfiguracoes::Ok() {
  const std::string servidor(Aparar(ParaCp1252(edtServidor_->text())));
  uint32_t porta = 0;
  if (servidor.empty() || !LerNumero(ParaCp1252(edtPorta_->text()), 65535, porta) || porta == 0) {
    paginas_->setCurrentIndex(0);
    ctx_.Caixas.Informacao(std::string(textos_shell::EnderecoEPorta));
    return;
  }
  if (!GravarExternos()) return;
  ctx_.ClientePC.IPServidor = servidor;
  ctx_.ClientePC.PortaServidor = static_cast<int32_t>(porta);
  ctx_.Configuracao.Servidor = servidor;
  ctx_.Configuracao.Porta = static_cast<uint16_t>(porta);
  GravarConfiguracao(ctx_.Runtime.WallNow());
  accept();
}

bool TFrmConfiguracoes::GravarExternos() {
  TServidoresExternos novos = doArquivo_;
  TEnderecoServidor* enderecos[3] = {&novos.yahoo, &novos.msn, &novos.icq};
  for (std::size_t i = 0; i < 4; ++i) {
    if (!externos_[i]->isEnabled()) continue;
    const std::string texto = externos_[i]->text().trimmed().toStdString();
    const bool valido = i < 3 ? LerEndereco(texto, *enderecos[i]) : LerProxy(texto, novos.proxyICQ);
    if (!valido) {
      paginas_->setCurrentIndex(1);
      externos_[i]->setFocus();
      ctx_.Caixas.Informacao(std::string(i < 3 ? textos_shell::EnderecoInvalidoAntes
                                               : textos_shell::ProxyInvalidoAntes) +
                             ParaCp1252(QString::fromStdString(texto)) +
                             std::string(i < 3 ? textos_shell::EnderecoInvalidoDepois
                                               : textos_shell::ProxyInvalidoDepois));
      return false;
    }
  }
  const bool iguais = Endereco(novos.yahoo) == Endereco(doArquivo_.yahoo) &&
                      Endereco(novos.msn) == Endereco(doArquivo_.msn) &&
                      Endereco(novos.icq) == Endereco(doArquivo_.icq) &&
                      EscreverProxy(novos.proxyICQ) == EscreverProxy(doArquivo_.proxyICQ);
  if (iguais) return true;
  std::string erro;
  if (!GravarServidoresExternos(novos, &erro)) {
    ctx_.Caixas.Erro(std::string(textos_shell::NaoGravouServidores) + erro);
    return false;
  }
  doArquivo_ = novos;
  return true;
}

}  // namespace tazu
