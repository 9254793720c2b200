#include "shell/UComunicadores.h"

#include <QPointer>
#include <QShowEvent>

#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmComunicadores> aberta;

constexpr const char* kNomes[3] = {"ICQ", "MSN", "Yahoo"};
constexpr int kTipos[3] = {1, 4, 3};

}  // namespace

TFrmComunicadores::TFrmComunicadores(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloComunicadores));
  setAttribute(Qt::WA_DeleteOnClose);
  const std::string_view rotulos[3] = {textos_shell::UsarICQ, textos_shell::UsarMSN,
                                       textos_shell::UsarYahoo};
  for (int r = 0; r < 3; ++r) {
    chk_[r] = new QCheckBox(ParaQString(rotulos[r]), this);
    chk_[r]->setFont(FonteDaSkin(8, true));
    // The identifier holds an ICQ number, an e-mail address or a Yahoo name.
    id_[r] = NovaCaixa(this, r == MSN ? 127 : 50);
    senha_[r] = NovaCaixa(this, 15, true);
    // Tags: the element whose colours the box takes (2, 3, 5, 6, 8, 9).
    id_[r]->setProperty("Tag", 3 * r + 2);
    senha_[r]->setProperty("Tag", 3 * r + 3);
    connect(chk_[r], &QCheckBox::clicked, this, [this, r] { Marcado(static_cast<TRede>(r)); });
    for (QLineEdit* caixa : {id_[r], senha_[r]}) {
      connect(caixa, &QLineEdit::textChanged, this, [this, r] { alterado_[r] = true; });
    }
  }
  Pecas = CarregarPecas("Comunic");
  ArquivoDescritor = "Comunic.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    const int id = f.Registro.Id();
    if (id >= 1 && id <= 9) {
      const int r = (id - 1) / 3;
      QWidget* controles[3] = {chk_[r], id_[r], senha_[r]};
      Colocar(*controles[(id - 1) % 3], f);
      return {TTipoFeicao::PSC};
    }
    switch (id) {
      case 10:
        return {TTipoFeicao::BTN, [this] { Ok(); }};
      case 11:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 12:
        return {TTipoFeicao::MOV};
      default:
        return {};
    }
  };
  Construir();
}

TFrmComunicadores::~TFrmComunicadores() = default;

TFrmComunicadores* TFrmComunicadores::Abrir(TContexto& ctx,
                                            const std::array<TContaDaRede, 3>& contas) {
  if (!aberta) aberta = new TFrmComunicadores(ctx);
  aberta->Preencher(contas);
  aberta->show();
  aberta->raise();
  aberta->activateWindow();
  return aberta;
}

TFrmComunicadores* TFrmComunicadores::Aberta() {
  return aberta;
}

void TFrmComunicadores::Preencher(const std::array<TContaDaRede, 3>& contas) {
  for (int r = 0; r < 3; ++r) {
    chk_[r]->setChecked(contas[r].Usa);
    id_[r]->setText(ParaQString(contas[r].Identificador));
    senha_[r]->setText(ParaQString(contas[r].Senha));
    Marcado(static_cast<TRede>(r));
  }
  alterado_ = {};
  for (int r = 0; r < 3; ++r) marcadoAntes_[r] = chk_[r]->isChecked();
}

void TFrmComunicadores::showEvent(QShowEvent* e) {
  TFrmEncapado::showEvent(e);
  if (e->spontaneous()) return;
  alterado_ = {};
  for (int r = 0; r < 3; ++r) marcadoAntes_[r] = chk_[r]->isChecked();
}

void TFrmComunicadores::Marcado(TRede r) {
  const bool marcado = chk_[r]->isChecked();
  for (QLineEdit* caixa : {id_[r], senha_[r]}) {
    const TFeicao* f = Feicoes().Elemento(static_cast<std::size_t>(caixa->property("Tag").toInt()));
    if (f) {
      ColorirControle(*caixa, marcado ? f->Registro.Color() : f->Registro.DisabledColor(),
                      f->Registro.FontColor());
    }
    caixa->setEnabled(marcado);
  }
}

void TFrmComunicadores::Ok() {
  const std::string_view avisos[3] = {textos_shell::DadosDoICQ, textos_shell::DadosDoMSN,
                                      textos_shell::DadosDoYahoo};
  std::string recusa;
  for (int r = 0; r < 3; ++r) {
    if (chk_[r]->isChecked() &&
        (id_[r]->text().trimmed().isEmpty() || senha_[r]->text().isEmpty())) {
      if (!recusa.empty()) recusa += "\r\n";
      recusa += avisos[r];
    }
  }
  if (!recusa.empty()) {
    ctx_.Caixas.Informacao(recusa);
    return;
  }
  Aplicar();
  close();
}

void TFrmComunicadores::Aplicar() {
  TClientePCTazu& cliente = ctx_.ClientePC;
  const std::string niu = std::to_string(cliente.NIU);
  std::array<std::string, 3> ids;
  std::array<std::string, 3> senhas;
  for (int r = 0; r < 3; ++r) {
    ids[r] = ParaCp1252(id_[r]->text().trimmed());
    senhas[r] = ParaCp1252(senha_[r]->text());
  }
  for (int r = 0; r < 3; ++r) {
    const bool marcado = chk_[r]->isChecked();
    const bool mudou = marcado != marcadoAntes_[r] || alterado_[r];
    if (!marcado || mudou) {
      if (cliente.Comunicadores.Localizar(kNomes[r])) {
        cliente.Comunicadores.ComunicadorAtual()->Desconectar(niu);
      }
    }
    if (marcado && mudou) cliente.ConectarComunicador(kTipos[r], ids[r], senhas[r]);
  }
  cliente.GravarComunicadores(chk_[ICQ]->isChecked(), ids[ICQ], senhas[ICQ], chk_[MSN]->isChecked(),
                              ids[MSN], senhas[MSN], chk_[Yahoo]->isChecked(), ids[Yahoo],
                              senhas[Yahoo]);
}

}  // namespace tazu
