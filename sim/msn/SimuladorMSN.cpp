// The simulator's connections: listeners, reading through the codec's frame
// reader, one log line per command, and closing (on request, on bad input or
// when the client goes).
#include "sim/msn/SimuladorMSN.h"

#include "sim/msn/Interno.h"

namespace tazu::sim::msn {

TSimuladorMSN::TSimuladorMSN(net::Runtime& runtime, TConfigSimMSN config, TLog log)
    : runtime_(runtime), config_(std::move(config)), log_(std::move(log)), acaso_(config_.semente) {
  for (const TContaSim& c : config_.contas) {
    auto u = std::make_unique<TUsuario>();
    u->email = c.email;
    u->senha = c.senha;
    u->apelido = c.apelido.empty() ? c.email : c.apelido;
    usuarios_[c.email] = std::move(u);
  }
  for (const auto& [dono, contato] : config_.contatos) {
    TUsuario* d = Usuario(dono);
    TUsuario* c = Usuario(contato);
    if (!d || !c) continue;
    d->fl.insert(contato);
    d->al.insert(contato);
    c->rl.insert(dono);
  }
  for (const auto& [dono, bloqueado] : config_.bloqueios)
    if (TUsuario* d = Usuario(dono)) d->bl.insert(bloqueado);
  for (const std::string& r : config_.robos) {
    if (TUsuario* u = Usuario(r)) {
      u->robo = true;
      u->estado = "NLN";
    }
  }
}

TSimuladorMSN::~TSimuladorMSN() {
  destruindo_ = true;
  conexoes_.clear();
}

bool TSimuladorMSN::Iniciar(std::string* erro) {
  const auto abrir = [&](std::unique_ptr<net::TcpListener>& l, uint16_t porta, Papel papel) {
    l = runtime_.CreateTcpListener();
    l->onAccept = [this, papel](std::unique_ptr<net::TcpSocket> s) {
      Aceitar(papel, std::move(s));
    };
    return l->Listen(config_.host, porta, erro);
  };
  return abrir(despacho_, config_.portaDespacho, Papel::Despacho) &&
         abrir(notificacao_, config_.portaNotificacao, Papel::Notificacao) &&
         abrir(switchboard_, config_.portaSwitchboard, Papel::Switchboard);
}

uint16_t TSimuladorMSN::PortaDespacho() const {
  return despacho_ ? despacho_->Port() : 0;
}
uint16_t TSimuladorMSN::PortaNotificacao() const {
  return notificacao_ ? notificacao_->Port() : 0;
}
uint16_t TSimuladorMSN::PortaSwitchboard() const {
  return switchboard_ ? switchboard_->Port() : 0;
}

std::string TSimuladorMSN::Estado(const std::string& email) const {
  const auto it = usuarios_.find(email);
  return it == usuarios_.end() ? "FLN" : it->second->estado;
}

TSimuladorMSN::TUsuario* TSimuladorMSN::Usuario(const std::string& email) {
  const auto it = usuarios_.find(email);
  return it == usuarios_.end() ? nullptr : it->second.get();
}

std::string TSimuladorMSN::Aleatorio(int digitos) {
  std::uniform_int_distribution<int> d(0, 9);
  std::string s;
  for (int i = 0; i < digitos; ++i) s += static_cast<char>('0' + d(acaso_));
  if (s[0] == '0') s[0] = '1';
  return s;
}

void TSimuladorMSN::Log(const TConexao& c, const std::string& texto) {
  static constexpr const char* kPapeis[] = {"dispatch", "ns", "sb"};
  std::string linha = "[" + std::string(kPapeis[static_cast<int>(c.papel)]) + " " +
                      std::to_string(c.id) + (c.email.empty() ? "" : " " + c.email) + "] " + texto;
  if (log_) log_(linha);
}

void TSimuladorMSN::Aceitar(Papel papel, std::unique_ptr<net::TcpSocket> socket) {
  auto c = std::make_unique<TConexao>();
  c->id = proximaConexao_++;
  c->papel = papel;
  c->socket = std::move(socket);
  const uint64_t id = c->id;
  const auto achar = [this, id]() -> TConexao* {
    const auto it = conexoes_.find(id);
    return it == conexoes_.end() || it->second->fechada ? nullptr : it->second.get();
  };
  c->socket->onData = [this, achar](std::string_view dados) {
    TConexao* c = achar();
    if (!c) return;
    const auto r = c->leitor.Alimentar(dados, [&](const codec::TQuadroMSN& q) {
      Recebido(*c, q);
      return !c->fechada;
    });
    if (r == codec::TLeitorMSN::Resultado::LinhaLonga) Malformado(*c, "line too long");
    if (r == codec::TLeitorMSN::Resultado::PayloadGrande) Malformado(*c, "payload too long");
  };
  c->socket->onClosed = [this, achar] {
    if (TConexao* c = achar()) Fechar(*c, "closed by the client");
  };
  c->socket->onError = [this, achar](net::SocketError, const std::string& m) {
    if (TConexao* c = achar()) Fechar(*c, "connection lost: " + m);
  };
  Log(*c, "connected from " + c->socket->PeerAddress());
  conexoes_[id] = std::move(c);
}

void TSimuladorMSN::Recebido(TConexao& c, const codec::TQuadroMSN& q) {
  TComando k;
  codec::DividirLinha(q.linha, k.l);
  k.payload = q.payload;
  k.temPayload = q.temPayload;
  Log(c, std::string(q.linha) +
             (q.temPayload ? " (+" + std::to_string(q.payload.size()) + " bytes)" : ""));
  const std::string comando(k.l.comando);
  if (comando.empty()) return Malformado(c, "empty line");
  if ((comando == "MSG" || comando == "QRY") && !k.temPayload)
    return Malformado(c, "a payload length that does not read");
  const TRegra r =
      c.papel == Papel::Switchboard ? RegraDoSwitchboard(comando) : RegraDaNotificacao(comando);
  if (!r) return Malformado(c, "unknown command " + comando);
  (this->*r)(c, k);
}

bool TSimuladorMSN::LerTrid(TConexao& c, const TComando& k, uint32_t& trid) {
  if (codec::LerNumeroMSN(k.l.Arg(0), trid)) return true;
  Malformado(c, "a transaction id that does not read");
  return false;
}

void TSimuladorMSN::Enviar(TConexao& c, const std::string& bytes) {
  if (!c.fechada) c.socket->Send(bytes);
}

void TSimuladorMSN::Malformado(TConexao& c, const std::string& motivo) {
  Fechar(c, "malformed input (" + motivo + ")");
}

void TSimuladorMSN::Fechar(TConexao& c, const std::string& motivo) {
  if (c.fechada) return;
  c.fechada = true;
  Log(c, "closing: " + motivo);
  c.socket->Close();
  c.relogioDeDesafio.reset();
  Saiu(c);
  if (destruindo_) return;
  // Freed later: we may be inside one of its callbacks.
  runtime_.Post([this, id = c.id] { conexoes_.erase(id); });
}

void TSimuladorMSN::Saiu(TConexao& c) {
  if (c.papel == Papel::Switchboard) return DeixarSessao(c);
  if (c.papel != Papel::Notificacao || c.fase != 3) return;
  TUsuario* u = Usuario(c.email);
  if (!u || u->ns != &c) return;
  u->ns = nullptr;
  u->estado = "FLN";
  AnunciarPresenca(*u);
}

}  // namespace tazu::sim::msn
