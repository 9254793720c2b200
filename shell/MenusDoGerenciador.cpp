// The manager's menus: the contact menu of the lists, the status menus of the
// outside networks behind the switch strip, and the web search.
#include <QActionGroup>
#include <QUrlQuery>

#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UAdicionarContato.h"
#include "shell/UFrmInfoUsuario.h"
#include "shell/UGerenciador.h"
#include "shell/UHistorico.h"
#include "shell/UPrincipal.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

struct TItemDeStatus {
  std::string_view Texto;
  int Codigo;  // -1: the add-contact item
};

const std::vector<TItemDeStatus>& ItensDaRede(int chave) {
  static const std::vector<TItemDeStatus> icq = {{textos_shell::UsarStatusTazu, 0},
                                                 {"Conectado"_cp, 1},
                                                 {"Livre para Chat"_cp, 7},
                                                 {"Longe"_cp, 8},
                                                 {"Ocupado"_cp, 6},
                                                 {"Não Perturbe"_cp, 5},
                                                 {"Invisível"_cp, 2},
                                                 {"Desconectado"_cp, 3}};
  static const std::vector<TItemDeStatus> msn = {{textos_shell::UsarStatusTazu, 0},
                                                 {"Conectado"_cp, 1},
                                                 {"Ocupado"_cp, 6},
                                                 {"No Telefone (Ocupado)"_cp, 102},
                                                 {"Ausente (Longe)"_cp, 8},
                                                 {"Horário de Almoço (Longe)"_cp, 103},
                                                 {"Volto Logo (Longe)"_cp, 101},
                                                 {"Invisível (Aparecer Desconectado)"_cp, 2},
                                                 {"Desconectado"_cp, 3},
                                                 {textos_shell::AdicionarContatoMSN, -1}};
  static const std::vector<TItemDeStatus> yahoo = {{textos_shell::UsarStatusTazu, 0},
                                                   {"Disponível"_cp, 1},
                                                   {"Ocupado"_cp, 6},
                                                   {"Ao telefone"_cp, 102},
                                                   {"Já volto"_cp, 101},
                                                   {"Fora de casa"_cp, 200},
                                                   {"Não estou por perto"_cp, 8},
                                                   {"Fora do escritório"_cp, 201},
                                                   {"De férias"_cp, 202},
                                                   {"Horário de Almoço"_cp, 103},
                                                   {"Fui embora"_cp, 203},
                                                   {"Invisível"_cp, 2},
                                                   {"Desconectado"_cp, 3},
                                                   {textos_shell::AdicionarContatoYahoo, -1}};
  return chave == 0 ? icq : chave == 1 ? msn : yahoo;
}

const char* NomeDaRede(int chave) {
  return chave == 0 ? "ICQ" : chave == 1 ? "MSN" : "Yahoo";
}

// A deployment value: the search page and our partner code there.
constexpr const char* kPaginaDeBusca = "https://busca.tazumessenger.com.br/resultado";
constexpr const char* kCodigoDeParceiro = "TAZU";

}  // namespace

// ---- Contact menu ----------------------------------------------------------

void TFrmGerenciador::CriarMenuDeContato() {
  popupMenu1_ = new QMenu(this);
  QAction* mensagem = popupMenu1_->addAction(ParaQString(textos_shell::MnuMensagem));
  popupMenu1_->setDefaultAction(mensagem);
  connect(mensagem, &QAction::triggered, this, [this] { Mensagem(); });
  connect(popupMenu1_->addAction(ParaQString(textos_shell::MnuInformacoes)), &QAction::triggered,
          this, [this] { Informacoes(); });
  connect(popupMenu1_->addAction(ParaQString(textos_shell::MnuHistorico)), &QAction::triggered,
          this, [this] { Historico(); });
  popupMenu1_->addSeparator();
  acaoRemover_ = popupMenu1_->addAction(ParaQString(textos_shell::MnuRemoverContato));
  connect(acaoRemover_, &QAction::triggered, this, [this] { RemoverContato(); });
  acaoAdicionar_ = popupMenu1_->addAction(ParaQString(textos_shell::MnuAdicionarALista));
  connect(acaoAdicionar_, &QAction::triggered, this, [this] { AdicionarALista(); });
}

void TFrmGerenciador::AbrirMenuDoContato(const QPoint& onde) {
  const QModelIndex indice = lista_->indexAt(onde);
  const TListasDoGerenciador::TLinha* linha = listas_.Linha(indice);
  if (!linha) return;
  lista_->setCurrentIndex(indice);
  // Someone outside the list can be added to it; anyone in it can be removed.
  const bool fora = linha->Lista == TListasDoGerenciador::ForaDaLista;
  acaoRemover_->setVisible(!fora);
  acaoAdicionar_->setVisible(fora);
  popupMenu1_->popup(lista_->viewport()->mapToGlobal(onde));
}

void TFrmGerenciador::Mensagem() {
  TContato* c = ContatoSelecionado();
  if (c && ctx_.Principal) ctx_.Principal->AbrirConversa(*c, false);
}

void TFrmGerenciador::Informacoes() {
  if (TContato* c = ContatoSelecionado()) {
    TFrmInfoUsuario::MostraInformacoes(ctx_, c->Comunicador, c->Identificador, c->Apelido);
  }
}

void TFrmGerenciador::Historico() {
  TContato* c = ContatoSelecionado();
  if (!c) return;
  if (ExisteHistorico(ctx_.ClientePC.NIU, c->Comunicador, c->Identificador)) {
    TFrmHistorico::Abrir(ctx_, c->Comunicador, c->Identificador);
  } else {
    ctx_.Caixas.Informacao(std::string(textos_shell::HistoricoDe) + c->Apelido.str() +
                           std::string(textos_shell::EstaVazio));
  }
}

void TFrmGerenciador::RemoverContato() {
  TContato* c = ContatoSelecionado();
  if (!c) return;
  // The contact may be gone by the time the user answers: keep its key.
  const std::string comunidade = c->Comunicador.str();
  const std::string identificador = c->Identificador;
  if (ctx_.Caixas.Confirmacao(std::string(textos_shell::ExcluirAntes) + c->Apelido.str() +
                              std::string(textos_shell::ExcluirDepois))) {
    ctx_.ClientePC.RemoverContato(comunidade, identificador);
  }
}

void TFrmGerenciador::AdicionarALista() {
  TContato* c = ContatoSelecionado();
  if (!c) return;
  const std::string linha2 = std::string(textos_shell::Adicionando) + c->Apelido.str() + "\" (" +
                             c->Comunicador.str() + std::string(textos_shell::ALista);
  ctx_.ClientePC.AdicionarContato(c->Comunicador, c->Identificador);
  ctx_.Espera.Mostrar(std::string(textos_shell::Aguarde), linha2, false);
}

// ---- Outside networks ------------------------------------------------------

void TFrmGerenciador::CriarMenusDasRedes() {
  for (int chave = 0; chave < 3; ++chave) {
    auto* menu = new QMenu(this);
    auto* grupo = new QActionGroup(menu);
    for (const TItemDeStatus& item : ItensDaRede(chave)) {
      if (item.Codigo < 0) menu->addSeparator();
      QAction* a = menu->addAction(ParaQString(item.Texto));
      a->setData(item.Codigo);
      if (item.Codigo >= 0) {
        a->setCheckable(true);
        grupo->addAction(a);
        std::string nome;
        const int base =
            item.Codigo == 0 ? -1 : NomeDoStatus(static_cast<uint8_t>(item.Codigo), nome);
        if (base >= 0 && base < static_cast<int>(icones_.Menu.size()))
          a->setIcon(icones_.Menu[static_cast<std::size_t>(base)]);
      }
      const int codigo = item.Codigo;
      connect(a, &QAction::triggered, this, [this, codigo, chave] {
        if (codigo >= 0) {
          EscolherStatusDaRede(codigo);
        } else {
          TFrmAdicionarContato::AdicionaContato(ctx_, chave == 1 ? "MSN" : "Yahoo");
        }
      });
    }
    menusDaRede_[static_cast<std::size_t>(chave)] = menu;
  }
}

void TFrmGerenciador::MenuDaRede(int chave, const QPoint& onde) {
  if (chave < 0 || chave > 2) return;
  const int tipo = TClientePCTazu::TipoDaRede(NomeDaRede(chave));
  const std::string& conta = ctx_.ClientePC.Contas.at(static_cast<std::size_t>(tipo));
  if (conta.empty()) {
    ctx_.Caixas.Erro(std::string(textos_shell::ComunicadorAntes) + NomeDaRede(chave) +
                     std::string(textos_shell::NaoHabilitado));
    return;
  }
  std::string resto = conta;
  std::string codigo = ProximoCampo(resto, Separador).substr(0, 3);
  if (codigo.empty()) codigo = "0";
  redeAberta_ = chave;
  QMenu* menu = menusDaRede_[static_cast<std::size_t>(chave)];
  for (QAction* a : menu->actions()) {
    if (a->isCheckable()) a->setChecked(std::to_string(a->data().toInt()) == codigo);
  }
  menu->popup(onde);
}

void TFrmGerenciador::EscolherStatusDaRede(int codigo) {
  if (redeAberta_ < 0) return;
  const std::string rede = NomeDaRede(redeAberta_);
  switch (ctx_.ClientePC.MudarStatusDaRede(rede, static_cast<uint8_t>(codigo))) {
    case TClientePCTazu::TStatusDaRede::Aplicado:
      break;
    case TClientePCTazu::TStatusDaRede::EmLogin:
      ctx_.Caixas.Informacao(std::string(textos_shell::EmLoginAntes) + rede +
                             std::string(textos_shell::EmLoginDepois));
      break;
    case TClientePCTazu::TStatusDaRede::NaoConfigurado:
      ctx_.Caixas.Informacao(std::string(textos_shell::NaoConfigurado));
      break;
    case TClientePCTazu::TStatusDaRede::NaoHabilitado:
      ctx_.Caixas.Erro(std::string(textos_shell::ComunicadorAntes) + rede +
                       std::string(textos_shell::NaoHabilitado));
      break;
  }
}

// ---- Web search ------------------------------------------------------------

QUrl TFrmGerenciador::EnderecoDeBusca(const QString& texto) {
  QUrl url(QString::fromLatin1(kPaginaDeBusca));
  QUrlQuery q;
  // QUrlQuery encodes the typed text: "&" or "#" in it never become new
  // parameters or a fragment.
  q.addQueryItem(QStringLiteral("query"), texto);
  q.addQueryItem(QStringLiteral("timeout"), QStringLiteral("15"));
  q.addQueryItem(QStringLiteral("offset"), QStringLiteral("50"));
  q.addQueryItem(QStringLiteral("engine"), QStringLiteral("meta"));
  q.addQueryItem(QStringLiteral("categorie"), QStringLiteral("meta_ingles"));
  q.addQueryItem(QStringLiteral("categorie"), QStringLiteral("meta_portugues"));
  q.addQueryItem(QStringLiteral("codigo"), QStringLiteral("1"));
  q.addQueryItem(QStringLiteral("codparc"), QString::fromLatin1(kCodigoDeParceiro));
  url.setQuery(q);
  return url;
}

void TFrmGerenciador::Pesquisar() {
  const QString texto = edit_->text();
  if (!texto.isEmpty()) ctx_.AbrirEndereco(EnderecoDeBusca(texto));
  edit_->clear();
}

}  // namespace tazu
