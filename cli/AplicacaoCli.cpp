#include "cli/AplicacaoCli.h"

#include "base/Cp1252.h"
#include "cli/Textos.h"
#include "core/Listas.h"
#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "server/Textos.h"

namespace tazu::cli {

std::string JuntarLinhas(const std::vector<std::string>& linhas) {
  std::string t;
  for (std::size_t i = 0; i < linhas.size(); ++i) t += (i ? "\r\n" : "") + linhas[i];
  return t;
}

// ---- Texts in flight ----

std::string TTextosEmTransito::Conversa(const std::string& comunidade,
                                        const std::string& identificador) {
  uint32_t niu = 0;
  if (comunidade == textos::Comunidade && LerNumero(identificador, 65535, niu))
    return comunidade + '\n' + std::to_string(niu);
  return comunidade + '\n' + MaiusculasAnsi(identificador);
}

void TTextosEmTransito::Enviado(const std::string& comunidade, const std::string& identificador,
                                std::string texto) {
  textos_[Conversa(comunidade, identificador)].push_back(std::move(texto));
}

std::string TTextosEmTransito::Confirmado(const std::string& comunidade,
                                          const std::string& identificador) {
  const auto it = textos_.find(Conversa(comunidade, identificador));
  if (it == textos_.end()) return {};
  std::string texto = std::move(it->second.front());
  it->second.pop_front();
  if (it->second.empty()) textos_.erase(it);
  return texto;
}

// ---- The application ----

TAplicacaoCli::TAplicacaoCli(net::Runtime& runtime, TOpcoes opcoes)
    : runtime_(runtime), opcoes_(std::move(opcoes)), cliente_(runtime) {
  cliente_.IPServidor = opcoes_.host;
  cliente_.PortaServidor = opcoes_.porta;
  LigarEventos();
}

void TAplicacaoCli::LigarEventos() {
  ObservarEventos(cliente_, [this](const TEventoDoCliente& e) {
    if (saida) saida(EventoEmJson(e));
  });
  cliente_.AoDepurar = [this](TClientePCTazu&, const std::string& linha) {
    if (opcoes_.depurar && depuracao) depuracao(cp1252::ToUtf8(linha));
  };
  // The handlers below add the program's behaviour to the printing.
  LigarLogin();
  LigarHistorico();
}

void TAplicacaoCli::LigarLogin() {
  auto conectado = cliente_.AoConectarServidor;
  cliente_.AoConectarServidor = [this, conectado](TClientePCTazu& c) {
    alcancandoServidor_ = false;
    conectado(c);
    switch (modo_) {
      case TModo::Login:
        c.Identificar(opcoes_.status);
        break;
      case TModo::Cadastro:
        c.Cadastrar(valoresCadastro_);
        break;
      case TModo::Identificacao:
        c.IdentificarCadastro(identificarPorApelido_, identificarTexto_);
        break;
    }
  };
  auto comunidade = cliente_.AoConectarComunidade;
  cliente_.AoConectarComunidade = [this, comunidade](TClientePCTazu& c) {
    comunidade(c);
    LoginTerminou();
  };
  auto erro = cliente_.AoReceberErro;
  cliente_.AoReceberErro = [this, erro](TClientePCTazu& c, int n, const std::string& d) {
    erro(c, n, d);
    if (aguardandoLogin_ && modo_ != TModo::Login) LoginTerminou();
  };
  auto resposta = cliente_.AoReceberResposta;
  cliente_.AoReceberResposta = [this, resposta](TClientePCTazu& c, int comando, bool ok,
                                                const std::string& r) {
    resposta(c, comando, ok, r);
    if (!ok && (comando == TClientePCTazu::PendenteIdentificacao ||
                comando == TClientePCTazu::PendenteCadastro))
      LoginTerminou();
  };
  LigarFimDoLogin();
}

// How a login or a session ends.
void TAplicacaoCli::LigarFimDoLogin() {
  auto desconectado = cliente_.AoDesconectarServidor;
  cliente_.AoDesconectarServidor = [this, desconectado](TClientePCTazu& c) {
    desconectado(c);
    emTransito_.Esquecer();  // their confirmations will never come
    modo_ = TModo::Login;
    LoginTerminou();
    // The server could not be reached: the program ends, as --help says.
    if (alcancandoServidor_) Terminar(1);
  };
  auto cadastro = cliente_.AoAceitarCadastro;
  cliente_.AoAceitarCadastro = [this, cadastro](TClientePCTazu& c, uint16_t niu,
                                                const std::string& boasVindas) {
    cadastro(c, niu, boasVindas);
    // Registered: log in as the new user on the same connection.
    c.NIU = niu;
    c.Senha = valoresCadastro_.size() > 2 ? valoresCadastro_[2] : "";
    modo_ = TModo::Login;
    c.Identificar(StatusConectado);
  };
  auto fim = cliente_.AoFinalizarAplicativo;
  cliente_.AoFinalizarAplicativo = [this, fim](TClientePCTazu& c) {
    fim(c);
    Terminar(saindo_ ? 0 : 1);
  };
}

// Messages go to the history as the chat window writes them; the event is
// printed first, any failure to write it after.
void TAplicacaoCli::LigarHistorico() {
  auto mensagem = cliente_.AoReceberMensagemUsuario;
  cliente_.AoReceberMensagemUsuario = [this, mensagem](TClientePCTazu& c, TContato* ct,
                                                       std::vector<std::string>& linhas) {
    const std::string comunidade = ct->Comunicador, id = ct->Identificador;
    const std::string cabecalho = ct->Apelido + ": ", texto = JuntarLinhas(linhas);
    mensagem(c, ct, linhas);
    Gravar(comunidade, id, HistoricoRecebida, texto, cabecalho);
  };
  auto entregue = cliente_.AoConfirmarEnvio;
  cliente_.AoConfirmarEnvio = [this, entregue](TClientePCTazu& c, const TApelido& com,
                                               const std::string& id) {
    entregue(c, com, id);
    GravarEnviada(com, id, HistoricoEnviada, c.Apelido + ": ");
  };
  auto offline = cliente_.AoEnviarOffLine;
  cliente_.AoEnviarOffLine = [this, offline](TClientePCTazu& c, const TApelido& com,
                                             const std::string& id,
                                             std::vector<std::string>& linhas) {
    const std::string apelido = ApelidoDe(com, id);
    const std::string nota = com == std::string(textos::Comunidade)
                                 ? apelido + std::string(textos::NaoConectadoAoTazu)
                                 : apelido + std::string(textos::NaoRecebeu);
    offline(c, com, id, linhas);
    GravarEnviada(com, id, HistoricoNaoEntregue, nota);
  };
}

std::string TAplicacaoCli::ApelidoDe(const std::string& comunidade,
                                     const std::string& identificador) {
  if (cliente_.Contatos.Localizar(comunidade, identificador))
    return cliente_.Contatos.ContatoAtual()->Apelido;
  return identificador;
}

void TAplicacaoCli::Gravar(const std::string& comunidade, const std::string& identificador,
                           int tipo, const std::string& texto, const std::string& cabecalho) {
  if (!GravaHistorico(cliente_.NIU, comunidade, identificador, tipo,
                      HoraDoHistorico(runtime_.WallNow()), texto, cabecalho))
    Erro(std::string(textos::cli::HistoricoNaoGravado) + comunidade + " " + identificador + ".");
}

void TAplicacaoCli::GravarEnviada(const std::string& comunidade, const std::string& identificador,
                                  int tipo, const std::string& cabecalho) {
  Gravar(comunidade, identificador, tipo, emTransito_.Confirmado(comunidade, identificador),
         cabecalho);
}

void TAplicacaoCli::Iniciar() {
  if (!opcoes_.temNiu) return;
  cliente_.NIU = opcoes_.niu;
  cliente_.Senha = opcoes_.senha;
  Conectar(TModo::Login);
}

void TAplicacaoCli::Conectar(TModo modo) {
  EsperarLogin(modo);
  alcancandoServidor_ = true;
  cliente_.Conectar();
}

void TAplicacaoCli::EsperarLogin(TModo modo) {
  modo_ = modo;
  aguardandoLogin_ = true;
  // A server that never answers must not hold the commands forever.
  if (!prazoLogin_) {
    prazoLogin_ = runtime_.CreateTimer();
    prazoLogin_->onTimeout = [this] {
      Erro(std::string(textos::cli::LoginSemResposta));
      LoginTerminou();
    };
  }
  prazoLogin_->Start(std::chrono::seconds(30), false);
}

void TAplicacaoCli::LoginTerminou() {
  if (!aguardandoLogin_) return;
  aguardandoLogin_ = false;
  prazoLogin_->Stop();
  // The commands that waited run once the read that ended the login is over.
  runtime_.Post([this] {
    while (!aguardandoLogin_ && !fila_.empty() && !terminou_) {
      const std::string linha = fila_.front();
      fila_.erase(fila_.begin());
      Executar(linha);
    }
  });
}

void TAplicacaoCli::Comando(const std::string& linhaUtf8) {
  std::string linha = cp1252::FromUtf8(linhaUtf8);
  if (!linha.empty() && linha.back() == '\r') linha.pop_back();
  if (aguardandoLogin_ || !fila_.empty()) {
    fila_.push_back(std::move(linha));
    return;
  }
  Executar(linha);
}

void TAplicacaoCli::FimDaEntrada() {
  Comando("quit");
}

void TAplicacaoCli::Emitir(const std::string& evento, const std::string& campo,
                           const std::string& texto) {
  if (!saida) return;
  TEventoDoCliente e{evento, {campo}, {TValorDeEvento::DeTexto(texto)}};
  saida(EventoEmJson(e));
}

void TAplicacaoCli::Erro(const std::string& descricao) {
  Emitir("erro", "Descricao", descricao);
}

void TAplicacaoCli::Sair() {
  saindo_ = true;
  if (cliente_.Conectado) {
    cliente_.Sair();  // AoFinalizarAplicativo follows: on SDSC or 500 ms later
  } else {
    Terminar(0);
  }
}

void TAplicacaoCli::Terminar(int codigo) {
  if (terminou_) return;
  terminou_ = true;
  if (aoTerminar) aoTerminar(codigo);
}

}  // namespace tazu::cli
