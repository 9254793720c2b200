// How every event of the Tazu client reaches the windows: the manager's lists,
// the chat windows, the tray and the message boxes.
#include "base/Cp1252.h"
#include "core/UGlobal.h"
#include "shell/Contexto.h"
#include "shell/SystemTray.h"
#include "shell/Textos.h"
#include "shell/UComunicadores.h"
#include "shell/UComunicando.h"
#include "shell/UEventoContato.h"
#include "shell/UFrmInfoUsuario.h"
#include "shell/UGerenciador.h"
#include "shell/UPedidoAutorizacao.h"
#include "shell/UPrincipal.h"

namespace tazu {

namespace {

using TCaixa = TFrmPrincipal::TCaixa;

std::string Aspas(const std::string& texto) {
  return "\"" + texto + "\"";
}

}  // namespace

void TFrmPrincipal::LigarEventos() {
  LigarEventosDaSessao();
  LigarEventosDosContatos();
}

// The connection, the outside networks and what the server says to the user.
void TFrmPrincipal::LigarEventosDaSessao() {
  TClientePCTazu& c = ctx_.ClientePC;
  c.AoReceberErro = [this](TClientePCTazu&, int numero, const std::string& texto) {
    Avisar(TCaixa::Erro,
           std::string(textos_shell::ErroNumero) + std::to_string(numero) + "\r\n\r\n" + texto);
  };
  c.AoConectarServidor = [this](TClientePCTazu&) { ServidorConectado(); };
  c.AoDesconectarServidor = [this](TClientePCTazu&) { ServidorDesconectado(); };
  c.AoConectarComunidade = [this](TClientePCTazu&) { ComunidadeConectada(); };
  c.AoReceberComunicadores = [this](TClientePCTazu&, bool usaICQ, const std::string& uin,
                                    const std::string& senhaICQ, bool usaMSN,
                                    const std::string& email, const std::string& senhaMSN,
                                    bool usaYahoo, const std::string& nome,
                                    const std::string& senhaYahoo) {
    ctx_.Espera.Fechar();
    TFrmComunicadores::Abrir(
        ctx_, {{{usaICQ, uin, senhaICQ}, {usaMSN, email, senhaMSN}, {usaYahoo, nome, senhaYahoo}}});
  };
  c.AoConectarComunicador = [this](TClientePCTazu&, TInterfaceComunicador& a) {
    if (ctx_.Gerenciador) ctx_.Gerenciador->IndicaComunicador(a.NomeComunicador, true);
  };
  c.AoDesconectarComunicador = [this](TClientePCTazu&, TInterfaceComunicador& a) {
    if (ctx_.Gerenciador) ctx_.Gerenciador->IndicaComunicador(a.NomeComunicador, false);
  };
  c.AoConfirmar = [this](TClientePCTazu&) { ctx_.Espera.Fechar(); };
  c.AoInformar = [this](TClientePCTazu&, int, const std::string& texto) {
    Avisar(TCaixa::Informacao, texto);
  };
  c.AoMensagemDeSistema = [this](TClientePCTazu&, int, const std::string& texto) {
    Avisar(TCaixa::MensagemDeSistema, texto);
  };
  c.AoFinalizarAplicativo = [this](TClientePCTazu&) { Encerrar(0); };
}

// Contacts, messages and the users' events and information.
void TFrmPrincipal::LigarEventosDosContatos() {
  TClientePCTazu& c = ctx_.ClientePC;
  c.AoReceberContato = [this](TClientePCTazu&, TContato* contato) { ContatoRecebido(contato); };
  const auto atualizar = [this](TClientePCTazu&, TContato* contato) {
    if (ctx_.Gerenciador) ctx_.Gerenciador->AtualizaContato(*contato);
  };
  c.AoConectarContato = atualizar;
  c.AoDesconectarContato = atualizar;
  c.AoMudarStatus = atualizar;
  c.AoRemoverContato = [this](TClientePCTazu&, TContato* contato) { ContatoRemovido(contato); };
  c.AoReceberMensagemUsuario = [this](TClientePCTazu&, TContato* contato,
                                      std::vector<std::string>& linhas) {
    MensagemRecebida(contato, linhas);
  };
  c.AoConfirmarEnvio = [this](TClientePCTazu&, const TApelido& comunicador,
                              const std::string& identificador) {
    EnvioConfirmado(comunicador, identificador);
  };
  c.AoEnviarOffLine = [this](TClientePCTazu&, const TApelido& comunicador,
                             const std::string& identificador, std::vector<std::string>& linhas) {
    EnviadaOffLine(comunicador, identificador, linhas);
  };
  c.AoReceberEventoUsuario = [this](TClientePCTazu&, int tipo, const std::string& comunicador,
                                    const std::string& identificador, const TApelido& apelido,
                                    const std::string& texto) {
    EventoDeUsuario(tipo, comunicador, identificador, apelido, texto);
  };
  c.AoExigirAutorizacao = [this](TClientePCTazu&, const TApelido& comunidade,
                                 const std::string& identificador, const TApelido& apelido) {
    TFrmPedidoAutorizacao::Abrir(ctx_, comunidade, identificador,
                                 std::string(textos_shell::AutorizacaoAntes) + apelido.str() +
                                     std::string(textos_shell::AutorizacaoDepois));
  };
  c.AoReceberInfoUsuario = [this](TClientePCTazu&, int tipo, const std::string& comunicador,
                                  const std::string& identificador, const TApelido& apelido,
                                  const std::string& texto) {
    InformacaoDeUsuario(tipo, comunicador, identificador, apelido, texto);
  };
}

void TFrmPrincipal::ServidorConectado() {
  ctx_.EstadoSessao = 2;
  uint8_t status = ctx_.UsuarioAtual.StatusPreferido;
  // Nobody signs in as "Desconectado".
  if (status == 0 || status == StatusDesconectado) status = StatusConectado;
  ctx_.ClientePC.Identificar(status);
  if (ctx_.Gerenciador) ctx_.Gerenciador->show();
}

void TFrmPrincipal::ServidorDesconectado() {
  AplicaStatus(StatusDesconectado, false);
}

void TFrmPrincipal::ComunidadeConectada() {
  TClientePCTazu& cliente = ctx_.ClientePC;
  if (ctx_.Gerenciador) {
    ctx_.Gerenciador->LimpaListas();
    ctx_.Gerenciador->DefinirNumero(cliente.NIU);
  }
  cliente.PedirListaDeContatos();
  AplicaStatus(cliente.Status, false);
  if (ctx_.Gerenciador) ctx_.Gerenciador->MostraApelido(cliente.Apelido);
  tmrApelido_.start();
  for (QAction* a : {mostrar1_, minhasInformacoes1_, comunicadores1_, status1_})
    a->setEnabled(true);
  if (ctx_.Gerenciador) ctx_.Gerenciador->show();

  TDadosUsuario& usuario = ctx_.UsuarioAtual;
  if (ctx_.SalvarSenha) {
    usuario.Apelido = cliente.Apelido;
    usuario.Senha = cliente.Senha;
    usuario.LembrarSenha = true;
    GravarUsuario(usuario);
  } else if (ctx_.EntradaDireta && LocalizarUsuario(cliente.NIU) < 0) {
    // Signed in from the command line as someone this computer did not know:
    // the user joins its users, without the password.
    TDadosUsuario novo;
    novo.NIU = cliente.NIU;
    novo.Apelido = cliente.Apelido;
    novo.StatusPreferido = cliente.Status;
    if (GravarUsuario(novo)) {
      usuario = novo;
      ctx_.Configuracao.UltimoUsuario = cliente.NIU;
      GravarConfiguracao(ctx_.Runtime.WallNow());
    }
  }
}

void TFrmPrincipal::ContatoRecebido(TContato* contato) {
  if (TFrmComunicando* janela =
          ctx_.JanelasDeConversa.Localizar(TRegistroDeJanelas<TFrmComunicando>::Chave(
              contato->Comunicador, contato->Identificador))) {
    janela->DefinirContato(contato);
  }
  if (ctx_.Gerenciador) ctx_.Gerenciador->AtualizaContato(*contato);
}

void TFrmPrincipal::ContatoRemovido(TContato* contato) {
  if (TFrmComunicando* janela = contato->Janela) {
    contato->Status = StatusDesconectado;
    janela->Atualiza();
    janela->DefinirContato(nullptr);
  }
  if (ctx_.Gerenciador) ctx_.Gerenciador->RemoveContato(*contato);
}

void TFrmPrincipal::MensagemRecebida(TContato* contato, std::vector<std::string>& linhas) {
  TFrmComunicando* janela = AbrirConversa(*contato, true);
  janela->ChegouMensagem(ctx_.Agora(), linhas);
  ctx_.TocarSom("Sons\\Incoming_MSG.wav");
}

TFrmComunicando* TFrmPrincipal::AbrirConversa(TContato& contato, bool recebida) {
  const std::string chave =
      TRegistroDeJanelas<TFrmComunicando>::Chave(contato.Comunicador, contato.Identificador);
  TFrmComunicando* janela = ctx_.JanelasDeConversa.Localizar(chave);
  if (!janela) {
    janela = new TFrmComunicando(ctx_);
    ctx_.JanelasDeConversa.Registrar(chave, janela);
    janela->AoChegarInativa = [this](const std::string& c, const std::string& i,
                                     const std::string& a) { TextoChegouInativa(c, i, a); };
    janela->AoVerTexto = [this](const std::string& c, const std::string& i, const std::string& a) {
      TextoVisto(c, i, a);
    };
    janela->DefinirContato(&contato);
    if (recebida) {
      // A message must not take the focus from whatever the user is doing.
      janela->setAttribute(Qt::WA_ShowWithoutActivating);
      janela->showMinimized();
      janela->ChamaAtencao();
      return janela;
    }
  } else if (recebida) {
    return janela;
  }
  janela->showNormal();
  janela->raise();
  janela->activateWindow();
  return janela;
}

void TFrmPrincipal::EnvioConfirmado(const std::string& comunicador,
                                    const std::string& identificador) {
  if (TFrmComunicando* janela = ctx_.JanelasDeConversa.Localizar(
          TRegistroDeJanelas<TFrmComunicando>::Chave(comunicador, identificador))) {
    janela->MensagemEntregue(ctx_.Agora());
  }
}

void TFrmPrincipal::EnviadaOffLine(const std::string& comunicador, const std::string& identificador,
                                   std::vector<std::string>& linhas) {
  if (TFrmComunicando* janela = ctx_.JanelasDeConversa.Localizar(
          TRegistroDeJanelas<TFrmComunicando>::Chave(comunicador, identificador))) {
    janela->MensagemNaoEntregue(ctx_.Agora(), linhas);
  }
}

void TFrmPrincipal::EventoDeUsuario(int tipo, const std::string& comunicador,
                                    const std::string& identificador, const std::string& apelido,
                                    const std::string& texto) {
  std::string resto = texto;
  ProximoCampo(resto, Separador);
  const std::string q = Aspas(apelido);
  std::string mensagem;
  switch (tipo) {
    case 1:
      mensagem = q + std::string(textos_shell::EventoAdicionou);
      break;
    case 2:
      mensagem = q + std::string(textos_shell::EventoDeseja);
      if (!resto.empty()) {
        mensagem +=
            "\r\n\r\n" + std::string(textos_shell::EventoMensagemDe) + apelido + ":\r\n" + resto;
      }
      break;
    case 3:
      mensagem = q + std::string(textos_shell::EventoNaoPermite);
      ctx_.ClientePC.RemoverContato(comunicador, identificador);
      break;
    case 4:
      mensagem = q + std::string(textos_shell::EventoPermitiu);
      break;
    default:
      break;
  }
  TFrmEvento::MostraEvento(ctx_, tipo, comunicador, identificador, mensagem, apelido);
}

void TFrmPrincipal::InformacaoDeUsuario(int tipo, const std::string& comunicador,
                                        const std::string& identificador,
                                        const std::string& apelido, const std::string& texto) {
  if (auto* janela = dynamic_cast<TFrmInfoUsuario*>(ctx_.JanelasDeInformacao.Localizar(
          TRegistroDeJanelas<QWidget>::Chave(comunicador, identificador)))) {
    if (tipo == 1 || tipo == 2) janela->ReceberBloco(tipo, texto);
  }
  if (tipo == 0) Avisar(TCaixa::Informacao, Aspas(apelido) + std::string(textos_shell::NaoPublica));
}

}  // namespace tazu
