// The rules of the ICQ engine's session.
//
// Login: Login draws a new FLAP sequence (random), resets the meta sequence
//   to 2, forgets the cookie and connects to the authorisation server. Every
//   channel-1 frame ends the first stage; a greeting (channel 1, 4 bytes) is
//   answered with the login frame in the first stage and with the cookie
//   frame afterwards.
// Authorisation answer (channel 4 before the session is up): TLV 1, then the
//   session address (TLV 5) and the cookie (TLV 6); TLV 4 is a bad password and
//   TLV 8 too many logins (error 5); anything else is a malformed login packet
//   (error 3). An accepted answer is acknowledged with an empty channel-4
//   frame, the link is closed and opened to the session server; an address
//   without a usable port is malformed too.
// Set-up: service families → versions; message of the day → rate request;
//   rates → rate acknowledgement, message parameters and the rights requests;
//   privacy rights → capabilities, the buddy list, the visibility list, the
//   status with the direct-connection block, client ready and the offline
//   messages request; then the session is logged in (OnLogin). The set-up
//   SNACs count only while setting up; the rest of the table at any time the
//   session is up.
// Failures: any error while connecting or logged in, a lost connection, the
//   time-out and a sign-off (channel 4 while logged in) end the session: the
//   link is closed first, then the error (if any) and OnConnectionFailed are
//   raised, so a handler may log in again at once.
// The operations of a session send only while logged in.
#include "icq/SessaoICQ.h"

#include "icq/CodecCliente.h"

namespace tazu::icq {

using S = TSessaoICQ;

namespace {

constexpr uint32_t kBitsDeFlag = 0x00010000 | 0x00020000 | 0x10000000 | 0x20000000;
constexpr char kLoginMalformado[] = "Received malformed login packet";

}  // namespace

std::string_view NomeDoStatus(uint32_t status) {
  switch (status & ~kBitsDeFlag) {
    case 0x0100:
      return "Invisible";
    case 0x0001:
      return "Away";
    case 0x0005:
      return "N/A";
    case 0x0011:
      return "Occupied";
    case 0x0013:
      return "DND";
    case 0x0020:
      return "FFC";
    default:
      return "Online";
  }
}

struct TSessaoICQ::TRegra {
  uint16_t familia;
  uint16_t subtipo;
  bool soNaConfiguracao;  // a set-up step: only before the session is logged in
  void (TSessaoICQ::*regra)(const TSnac&);
};

const TSessaoICQ::TRegra* TSessaoICQ::Regra(uint16_t familia, uint16_t subtipo) {
  // clang-format off
  static const TRegra kRegras[] = {
      {0x0001, 0x0003, true,  &S::Familias},
      {0x0001, 0x0013, true,  &S::MensagemDoDia},
      {0x0001, 0x0007, true,  &S::Taxas},
      {0x0009, 0x0003, true,  &S::Privacidade},
      {0x0003, 0x000B, false, &S::Presenca},
      {0x0003, 0x000C, false, &S::Saiu},
      {0x0004, 0x0007, false, &S::Mensagem},
      {0x0004, 0x000B, false, &S::Confirmacao},
      {0x0013, 0x0006, false, &S::Lista},
      {0x0013, 0x000E, false, &S::ResultadoLista},
      {0x0013, 0x0019, false, &S::PedidoAutorizacao},
      {0x0013, 0x001B, false, &S::RespostaAutorizacao},
      {0x0013, 0x001C, false, &S::AdicionouVoce},
      {0x0015, 0x0003, false, &S::Meta},
  };
  // clang-format on
  for (const TRegra& r : kRegras)
    if (r.familia == familia && r.subtipo == subtipo) return &r;
  return nullptr;
}

TSessaoICQ::TSessaoICQ(const TPropriedadesICQ& p, TRelogio relogio, TAleatorio aleatorio)
    : p_(p), relogio_(std::move(relogio)), aleatorio_(std::move(aleatorio)) {}

// ---- Operations ----

void TSessaoICQ::Login(uint32_t status, bool extra) {
  if (fase_ != Fase::Parado) acoes_.emplace_back(acao::Fechar{});
  seqFlap_ = static_cast<uint16_t>(aleatorio_(65534));
  seqMeta_ = 2;
  cookie_.clear();
  primeiraEtapa_ = true;
  status_ = status | (extra ? 0x00080000 : 0);
  logado_ = false;
  listaParcial_.clear();
  prazo_.reset();
  if (p_.ConnectionTimeout != 0) prazo_ = relogio_() + std::chrono::seconds(p_.ConnectionTimeout);
  fase_ = Fase::Autorizacao;
  acoes_.emplace_back(acao::Conectar{p_.ICQServer, p_.ICQPort});
}

void TSessaoICQ::LogOff() {
  acoes_.emplace_back(acao::Fechar{});
  fase_ = Fase::Parado;
  logado_ = false;
  prazo_.reset();
  Disparar(evento::FalhaConexao{});
}

void TSessaoICQ::SetStatus(uint32_t status) {
  if (!logado_) return;
  const bool eraInvisivel = NomeDoStatus(status_) == "Invisible";
  const bool seraInvisivel = NomeDoStatus(status) == "Invisible";
  if (eraInvisivel && !seraInvisivel) {
    EnviarFlap(kCanalSnac, cliente::ListaInvisivel(p_.InvisibleList));
  } else if (seraInvisivel && !eraInvisivel) {
    EnviarFlap(kCanalSnac, cliente::ListaVisivel(p_.VisibleList));
  }
  EnviarFlap(kCanalSnac, cliente::Status(status));
  status_ = status;
}

void TSessaoICQ::DefinirOuvinte(bool existe, uint32_t ip, uint16_t porta) {
  temOuvinte_ = existe;
  ipOuvinte_ = ip;
  portaOuvinte_ = porta;
}

bool TSessaoICQ::EnviarSeLogado(std::string snac) {
  if (!logado_) return false;
  EnviarFlap(kCanalSnac, snac);
  return true;
}

void TSessaoICQ::EnviarSnac(std::string snac) {
  EnviarFlap(kCanalSnac, snac);
}

bool TSessaoICQ::EnviarMeta(uint16_t tipo, std::string_view dados, Pendente p, std::string uin) {
  if (!logado_) return false;
  if (p == Pendente::Completa) {
    // A full reply comes in several parts; the oldest requests go when too
    // many were never answered to the end.
    if (pendentesCompleta_.size() >= 64) pendentesCompleta_.erase(pendentesCompleta_.begin());
    pendentesCompleta_.emplace_back(seqMeta_, std::move(uin));
  } else if (p == Pendente::Curta) {
    pendentesCurta_.emplace_back(seqMeta_, std::move(uin));
  }
  EnviarFlap(kCanalSnac, meta::Pedido(p_.UIN, tipo, seqMeta_, dados));
  ++seqMeta_;
  return true;
}

// ---- The link ----

void TSessaoICQ::Quadro(uint8_t canal, std::string_view dados) {
  if (fase_ == Fase::Parado) return;
  if (canal == kCanalLogin) {
    const bool primeira = primeiraEtapa_;
    primeiraEtapa_ = false;
    if (dados.size() != 4) return;
    EnviarFlap(kCanalLogin, primeira ? cliente::QuadroLogin(p_.UIN, p_.Password)
                                     : cliente::QuadroCookie(cookie_));
  } else if (canal == kCanalFim) {
    if (!logado_) {
      RespostaDoLogin(dados);
    } else {
      FalhaDeConexao();
    }
  } else if (canal == kCanalSnac) {
    Snac(dados);
  }
}

void TSessaoICQ::RespostaDoLogin(std::string_view dados) {
  using T = TRespostaLogin::Tipo;
  const TRespostaLogin r = cliente::LerRespostaLogin(dados);
  if (r.tipo == T::SenhaErrada || r.tipo == T::Frequente) {
    Erro(5, r.tipo == T::SenhaErrada ? "Bad password" : "Too often logins");
    return;
  }
  if (r.tipo == T::Malformada) {
    Erro(3, kLoginMalformado);
    return;
  }
  EnviarFlap(kCanalFim, {});
  acoes_.emplace_back(acao::Fechar{});
  if (r.tipo == T::EnderecoInvalido) {
    Erro(3, kLoginMalformado);
    return;
  }
  cookie_ = r.cookie;
  fase_ = Fase::Sessao;
  acoes_.emplace_back(acao::Conectar{r.host, r.porta});
}

void TSessaoICQ::Snac(std::string_view dados) {
  TSnac s;
  if (fase_ != Fase::Sessao || !LerSnac(dados, s)) return;
  const TRegra* r = Regra(s.familia, s.subtipo);
  if (!r || (r->soNaConfiguracao && logado_)) return;
  (this->*(r->regra))(s);
}

void TSessaoICQ::ErroNoLink(int tipo, std::string texto) {
  if (fase_ == Fase::Parado) return;
  Erro(tipo, std::move(texto));
}

void TSessaoICQ::Desconectou() {
  if (fase_ == Fase::Parado) return;
  FalhaDeConexao();
}

void TSessaoICQ::AoPrazo() {
  if (!prazo_ || relogio_() < *prazo_) return;
  Erro(4, "Connection timed out");
}

// ---- Set-up chain ----

void TSessaoICQ::Familias(const TSnac&) {
  EnviarSnac(cliente::VersoesDasFamilias());
}

void TSessaoICQ::MensagemDoDia(const TSnac&) {
  EnviarSnac(cliente::PedidoDeTaxas());
}

void TSessaoICQ::Taxas(const TSnac&) {
  for (std::string& snac : cliente::AposAsTaxas()) EnviarSnac(std::move(snac));
}

void TSessaoICQ::Privacidade(const TSnac&) {
  EnviarSnac(cliente::Capacidades());
  for (const std::string& uin : p_.ContactList) EnviarSnac(cliente::AdicionarContatoLocal(uin));
  if (NomeDoStatus(status_) != "Invisible") {
    EnviarSnac(cliente::ListaInvisivel(p_.InvisibleList));
  } else {
    EnviarSnac(cliente::ListaVisivel(p_.VisibleList));
  }
  TInfoDireta d;
  d.tipoConexao = p_.ProxyType == TProxyType::P_NONE ? 4
                  : p_.ProxyType == TProxyType::P_SOCKS4 || p_.ProxyType == TProxyType::P_SOCKS5
                      ? 2
                      : 1;
  if (temOuvinte_) {
    d.ipInterno = ipOuvinte_;
    d.porta = p_.ProxyType == TProxyType::P_NONE ? portaOuvinte_ : 0;
    d.cookie = aleatorio_(0x7FFFFFFE);
  }
  EnviarSnac(cliente::StatusInicial(status_, d));
  EnviarSnac(cliente::ClientePronto());
  logado_ = true;
  EnviarMeta(meta::kOffline, {});
  prazo_.reset();
  pendentesCompleta_.clear();
  pendentesCurta_.clear();
  Disparar(evento::Login{});
}

// ---- Helpers ----

void TSessaoICQ::FalhaDeConexao() {
  acoes_.emplace_back(acao::Fechar{});
  fase_ = Fase::Parado;
  logado_ = false;
  prazo_.reset();
  Disparar(evento::FalhaConexao{});
}

void TSessaoICQ::Erro(int tipo, std::string texto) {
  acoes_.emplace_back(acao::Fechar{});
  fase_ = Fase::Parado;
  logado_ = false;
  prazo_.reset();
  Disparar(evento::Erro{tipo, std::move(texto)});
  Disparar(evento::FalhaConexao{});
}

void TSessaoICQ::EnviarFlap(uint8_t canal, std::string_view dados) {
  acoes_.emplace_back(acao::Enviar{MontarFlap(canal, seqFlap_, dados)});
  ++seqFlap_;
}

}  // namespace tazu::icq
