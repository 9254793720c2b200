#include "shell/Contexto.h"

#include <QApplication>
#include <QDesktopServices>

#include "core/UHistorico.h"
#include "shell/Som.h"
#include "skin/Skin.h"
#include "skin/UAguarde.h"
#include "skin/UFrmInfo.h"

namespace tazu {

TContexto::TContexto(net::Runtime& runtime, TClientePCTazu& cliente)
    : Runtime(runtime),
      ClientePC(cliente),
      Configuracao(tazu::Configuracao),
      UsuarioAtual(tazu::UsuarioAtual),
      UsuariosLocais(tazu::UsuariosLocais) {
  // Quiet until the program (or a test) says how to reach the user.
  Caixas.Erro = Caixas.Informacao = Caixas.MensagemDeSistema =
      Caixas.InformacaoInicial = [](const std::string&) {};
  Caixas.Confirmacao = [](const std::string&) { return false; };
  Espera.Mostrar = [](const std::string&, const std::string&, bool) {};
  Espera.Fechar = [] {};
  TocarSom = [](const std::string&) {};
  AbrirEndereco = [](const QUrl&) {};
  PedirAtencao = [](QWidget& janela) { QApplication::alert(&janela, 0); };
  Terminar = [](int codigo) { QCoreApplication::exit(codigo); };
}

std::string TContexto::Agora() const {
  return HoraDoHistorico(Runtime.WallNow());
}

void TContexto::UsarJanelasReais() {
  Caixas.Erro = CaixaDeErro;
  Caixas.Informacao = CaixaDeInformacao;
  Caixas.MensagemDeSistema = CaixaDeMensagemDeSistema;
  Caixas.InformacaoInicial = CaixaDeInformacaoInicial;
  Caixas.Confirmacao = CaixaDeConfirmacao;
  // A modal wait window blocks the other windows but not the caller: the
  // client's events keep flowing into the program while it is open.
  Espera.Mostrar = [](const std::string& linha1, const std::string& linha2, bool modal) {
    TAguarde& aguarde = TAguarde::Instancia();
    if (aguarde.Aberta()) return;
    aguarde.Mostrar(linha1, linha2, false);
    if (TFrmAguarde* janela = aguarde.Janela(); janela && modal) {
      janela->hide();
      janela->setWindowModality(Qt::ApplicationModal);
      janela->show();
    }
  };
  Espera.Fechar = [] { TAguarde::Instancia().Fechar(); };
  TocarSom = [](const std::string& relativo) { tazu::TocarSom(CaminhoNaSkin(relativo)); };
  AbrirEndereco = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

}  // namespace tazu
