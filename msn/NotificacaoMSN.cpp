// The rules of the connection to the MSN notification server.
//
// Logging in: Conectar waits 1 s, then opens the connection to the dispatch
//   server; once open, VER (transaction id 0), INF, then USR MD5 I with the
//   login name; the server's hash comes back in USR MD5 S and is answered with
//   MD5(hash + password). USR OK logs in: the state to announce goes out in
//   CHG, the allow and block lists are asked for (LST AL, LST BL), then
//   AoConectar. The whole login must end within 60 s.
// Redirection: XFR NS host:port while logging in closes the connection
//   without any event and opens the new one 1 s later; the exchange starts
//   again with VER and the transaction ids keep counting.
// Transaction ids: every command carries the counter, which grows after each
//   one sent; it starts at 0 at each Conectar.
// Contacts: LST of the forward and allow lists and ILN of a contact not yet
//   listed are new contacts (listed, AoReceberContato); ILN of a listed one,
//   NLN and FLN are presence changes (AoMudarStatusContato, listed or not);
//   LST BL fills the block list (AoReceberBloqueado).
// Requests: ADD, REM and XFR SB are filed under their transaction id until
//   the reply. A refusal (201, 205, 215) of an add is AoErroAdicionando; 216
//   to a removal from the forward list retries on the allow list, and from
//   the allow list on the block list; any error to a switchboard request is
//   the message failing (AoFalharEnvio). Replies without a request of theirs
//   are only logged. ADD and REM of the reverse list (someone added or
//   removed us) change nothing.
// Challenges: CHL is answered at once with QRY, our product id, " 32", CR LF
//   and the 32 hex digits of MD5(challenge + key), with nothing after them.
// Numbers that do not read (a transaction id, a port, a session number)
//   abandon that line only. A stream that breaks its bounds is a lost
//   connection.
// Losing the connection: before USR OK it is AoFalharConexao (2, or the
//   socket's error while opening); after it, AoDesconectar. Desconectar sends
//   OUT and closes (AoDesconectar), or quietly abandons a login in progress.
// Events are raised after the state they report is settled.
#include "msn/NotificacaoMSN.h"

#include "msn/Textos.h"

namespace tazu::msn {

TNotificacaoMSN::TNotificacaoMSN(TRelogio relogio, std::function<bool()> registrando)
    : relogio_(std::move(relogio)), registrando_(std::move(registrando)) {}

// ---- Operations ----

void TNotificacaoMSN::Conectar(uint8_t status) {
  if (status == 3) return;
  if (Identificador.empty() || Senha.empty() || !PalavraValida(Identificador)) {
    *conectando_ = false;
    Agir(ns::FalhaConexao{1, std::string(textos::UsuarioOuSenhaInvalidos)});
    return;
  }
  FecharSilenciosamente();
  trid_ = 0;
  direta_.Limpar();
  bloqueio_.Limpar();
  pedidos_.clear();
  *conectando_ = true;
  host_ = HostPadrao;
  porta_ = PortaPadrao;
  estado_ = EstadoDoCodigo(status);
  fase_ = Fase::Aguardando;
  prazoConexao_ = relogio_() + kEsperaAntesDeConectar;
}

void TNotificacaoMSN::Desconectar() {
  direta_.Limpar();
  bloqueio_.Limpar();
  if (Logado()) {
    Enviar(MontarComando("OUT", std::nullopt), "OUT");
    Agir(ns::Fechar{});
    Encerrar(true, 0);
  } else {
    FecharSilenciosamente();
  }
}

void TNotificacaoMSN::MudarStatus(uint8_t status) {
  estado_ = EstadoDoCodigo(status);
  if (Logado()) Comando("CHG", {estado_});
}

void TNotificacaoMSN::AdicionarContato(const std::string& id, const std::string& apelido) {
  if (!Logado()) return;
  if (!PalavraValida(id)) {
    Agir(ns::ErroAdicionando{id});
    return;
  }
  pedidos_[trid_] = {TPedido::Tipo::Adicao, "FL", id, {}};
  Comando("ADD", {"FL", id, CodificarApelido(apelido.empty() ? id : apelido), "0"});
}

void TNotificacaoMSN::RemoverContato(const std::string& id) {
  if (!Logado() || !PalavraValida(id)) return;
  pedidos_[trid_] = {TPedido::Tipo::Remocao, "FL", id, {}};
  Comando("REM", {"FL", id});
}

void TNotificacaoMSN::PedirSessao(const std::string& id, const std::string& texto) {
  if (!Logado() || !PalavraValida(id)) {
    Agir(ns::FalhaEnvio{id, texto});
    return;
  }
  pedidos_[trid_] = {TPedido::Tipo::Sessao, {}, id, texto};
  Comando("XFR", {"SB"});
}

// ---- Sending ----

void TNotificacaoMSN::Comando(std::string_view nome, std::initializer_list<std::string_view> args) {
  std::string bytes = MontarComando(nome, trid_, args);
  const std::string_view semFim(bytes.data(), bytes.size() - 2);
  const std::string log(semFim);
  Enviar(std::move(bytes), log);
}

void TNotificacaoMSN::Enviar(std::string bytes, std::string_view paraOLog) {
  Agir(ns::Enviar{std::move(bytes)});
  ++trid_;
  if (registrando_ && registrando_())
    Registrar(false, std::string(textos::Enviado) + "\"" + std::string(paraOLog) + "\".\r\n");
}

void TNotificacaoMSN::Registrar(bool recebida, std::string texto) {
  if (registrando_ && !registrando_()) return;
  Agir(ns::Log{recebida, std::move(texto)});
}

// ---- The connection ----

void TNotificacaoMSN::AbrirFalhou(int erro) {
  fase_ = Fase::Desligado;
  prazoLogin_.reset();
  *conectando_ = false;
  Agir(ns::FalhaConexao{erro, std::string(textos::FalhaAoConectar)});
}

void TNotificacaoMSN::Conectou() {
  if (fase_ != Fase::Abrindo) return;
  fase_ = Fase::Entrando;
  // The first command goes out unlogged.
  Agir(ns::Enviar{MontarComando("VER", trid_, {kVersoes})});
  ++trid_;
}

void TNotificacaoMSN::Fechou() {
  if (fase_ == Fase::Desligado || fase_ == Fase::Aguardando) return;
  Encerrar(true, 2);
}

void TNotificacaoMSN::Falhou(int erro, const std::string& mensagem) {
  if (fase_ == Fase::Desligado || fase_ == Fase::Aguardando) return;
  Registrar(true, mensagem + "\r\n");
  Encerrar(true, fase_ == Fase::Abrindo ? erro : 2);
}

// The connection is gone (or given up): the state first, then the event —
// AoFalharConexao(erro) while logging in, AoDesconectar after.
void TNotificacaoMSN::Encerrar(bool comEvento, int erro) {
  const bool entrando = *conectando_;
  fase_ = Fase::Desligado;
  prazoConexao_.reset();
  prazoLogin_.reset();
  *conectando_ = false;
  if (!comEvento) return;
  if (entrando) {
    Agir(ns::FalhaConexao{erro, std::string(textos::FalhaAoConectar)});
  } else {
    Agir(ns::Desconectado{});
  }
}

void TNotificacaoMSN::FecharSilenciosamente() {
  if (fase_ == Fase::Abrindo || fase_ == Fase::Entrando || fase_ == Fase::Logado)
    Agir(ns::Fechar{});
  Encerrar(false, 0);
}

// ---- Time ----

std::optional<net::TimePoint> TNotificacaoMSN::ProximoPrazo() const {
  if (prazoConexao_ && (!prazoLogin_ || *prazoConexao_ < *prazoLogin_)) return prazoConexao_;
  return prazoLogin_;
}

void TNotificacaoMSN::AoPrazo() {
  const net::TimePoint agora = relogio_();
  if (prazoConexao_ && *prazoConexao_ <= agora) {
    prazoConexao_.reset();
    fase_ = Fase::Abrindo;
    if (!prazoLogin_) prazoLogin_ = agora + kPrazoDoLogin;
    Agir(ns::Abrir{host_, porta_});
  }
  if (prazoLogin_ && *prazoLogin_ <= agora && fase_ != Fase::Logado) {
    Agir(ns::Fechar{});
    Encerrar(true, 2);
  }
}

}  // namespace tazu::msn
