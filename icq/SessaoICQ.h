// The ICQ engine's session as a state machine, without sockets or timers:
// operations, what the link reports and the frames it receives go in;
// actions come out (connect, bytes to send, close, events to raise). The
// time-out is a deadline the caller keeps a timer for. The rules are at the
// top of SessaoICQ.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "icq/CodecFlap.h"
#include "icq/CodecMensagens.h"
#include "icq/CodecMeta.h"
#include "net/Runtime.h"

namespace tazu::icq {

enum class TProxyType { P_NONE, P_SOCKS4, P_SOCKS5, P_HTTPS, P_HTTP };

// The engine's published properties; TICQClient is one of these.
struct TPropriedadesICQ {
  uint32_t UIN = 0;
  std::string Password;
  std::string ICQServer;
  uint16_t ICQPort = 0;
  TProxyType ProxyType = TProxyType::P_NONE;
  std::string ProxyHost;
  uint16_t ProxyPort = 0;
  std::string ProxyUserID;
  std::string ProxyPass;
  bool ProxyAuth = false;
  bool ProxyResolve = false;
  bool ConvertToPlaintext = false;
  std::vector<std::string> ContactList;
  std::vector<std::string> VisibleList;
  std::vector<std::string> InvisibleList;
  std::string AutoAwayMessage;
  bool DisableDirectConnections = false;
  uint8_t ConnectionTimeout = 0;  // seconds; 0 = none
};

// What an incoming frame or a turn of the session has to tell.
namespace evento {
struct Login {};
struct FalhaConexao {};
struct Erro {
  int tipo;
  std::string texto;
};
struct Mensagem {
  std::string uin, texto;
  bool offline;
};
struct Url {
  std::string uin, descricao, url;
  bool offline;
};
struct Status {
  std::string uin;
  uint32_t status;
};
struct InfoOnline {
  std::string uin;
  uint32_t porta;
  std::string ipInterno, ipExterno;
  uint16_t versao;
};
struct Saiu {
  std::string uin;
};
struct AdicionouVoce {
  std::string uin;
};
struct InfoGeral {
  std::string uin;
  meta::TInfoGeral info;
  std::string pais;
};
struct InfoMais {
  std::string uin;
  meta::TInfoMais info;
  std::string idiomas[3];
};
struct InfoTrabalho {
  std::string uin;
  meta::TInfoTrabalho info;
  std::string pais, ocupacao;
};
struct InfoSobre {
  std::string uin, texto;
};
struct InfoCurta {
  std::string uin;
  meta::TInfoCurta info;
  bool encontrado;
};
struct Encontrado {
  meta::TResultadoBusca r;
  bool ultimo;
};
struct NaoEncontrado {};
struct ListaServidor {
  std::vector<TEntradaLista> entradas;
};
struct ResultadoLista {
  uint16_t codigo;
};
struct PedidoAutorizacao {
  std::string uin, motivo;
};
struct RespostaAutorizacao {
  std::string uin;
  bool concedida;
  std::string motivo;
};
struct Confirmacao {
  std::string uin;
  uint16_t id;
  uint8_t aceite;
  std::string texto;
};
struct RespostaAutomatica {
  std::string uin;
  uint16_t id;
  uint8_t tipo;
  std::string texto;
};
struct Sms {
  std::string fonte, remetente, texto, hora;
};
}  // namespace evento

using TEventoICQ =
    std::variant<evento::Login, evento::FalhaConexao, evento::Erro, evento::Mensagem, evento::Url,
                 evento::Status, evento::InfoOnline, evento::Saiu, evento::AdicionouVoce,
                 evento::InfoGeral, evento::InfoMais, evento::InfoTrabalho, evento::InfoSobre,
                 evento::InfoCurta, evento::Encontrado, evento::NaoEncontrado,
                 evento::ListaServidor, evento::ResultadoLista, evento::PedidoAutorizacao,
                 evento::RespostaAutorizacao, evento::Confirmacao, evento::RespostaAutomatica,
                 evento::Sms>;

namespace acao {
struct Conectar {
  std::string host;
  uint16_t porta;
};
struct Enviar {
  std::string bytes;
};  // a whole FLAP
struct Fechar {};
// A contact's direct-connection address, for the listener.
struct ContatoDireto {
  std::string uin;
  uint32_t ipInterno, ipExterno, porta, cookie;
};
struct Evento {
  TEventoICQ evento;
};
}  // namespace acao

using TAcaoICQ =
    std::variant<acao::Conectar, acao::Enviar, acao::Fechar, acao::ContatoDireto, acao::Evento>;

// The name of a status for the rules that depend on it: "Invisible", "Away",
// "N/A", "Occupied", "DND", "FFC" or "Online" (flag bits cleared first).
std::string_view NomeDoStatus(uint32_t status);

class TSessaoICQ {
 public:
  using TAcoes = std::vector<TAcaoICQ>;
  using TRelogio = std::function<net::TimePoint()>;
  // A random number in [0, limite].
  using TAleatorio = std::function<uint32_t(uint32_t limite)>;

  TSessaoICQ(const TPropriedadesICQ& p, TRelogio relogio, TAleatorio aleatorio);

  // ---- Operations ----
  void Login(uint32_t status, bool extra);
  void LogOff();
  void SetStatus(uint32_t status);
  bool Logado() const { return logado_; }
  uint32_t StatusAtual() const { return status_; }
  // The direct-connection listener, for the status frame: whether there is
  // one, and its address (host order) and port.
  void DefinirOuvinte(bool existe, uint32_t ip = 0, uint16_t porta = 0);
  // A SNAC the engine sends only while logged in (false when it was not sent).
  bool EnviarSeLogado(std::string snac);
  // A SNAC sent whatever the state.
  void EnviarSnac(std::string snac);
  // A meta request; `uinPendente` (full or short information) is kept against
  // its sequence number for the reply.
  enum class Pendente { Nenhum, Completa, Curta };
  bool EnviarMeta(uint16_t tipo, std::string_view dados, Pendente p = Pendente::Nenhum,
                  std::string uin = {});

  // ---- What the link reports ----
  void Quadro(uint8_t canal, std::string_view dados);
  // The link failed and is closed: a socket or proxy error (type 0), a
  // gateway that gave up (2), a frame that cannot be read (3).
  void ErroNoLink(int tipo, std::string texto);
  // The server closed the connection.
  void Desconectou();

  // ---- Time ----
  std::optional<net::TimePoint> ProximoPrazo() const { return prazo_; }
  void AoPrazo();

  void TomarAcoes(TAcoes& destino) { destino.swap(acoes_); }

 private:
  struct TRegra;
  static const TRegra* Regra(uint16_t familia, uint16_t subtipo);

  void RespostaDoLogin(std::string_view dados);
  void Snac(std::string_view dados);
  // Set-up chain.
  void Familias(const TSnac& s);
  void MensagemDoDia(const TSnac& s);
  void Taxas(const TSnac& s);
  void Privacidade(const TSnac& s);
  // Incoming (SessaoICQRecepcao.cpp).
  void Presenca(const TSnac& s);
  void Saiu(const TSnac& s);
  void Mensagem(const TSnac& s);
  void Confirmacao(const TSnac& s);
  void Lista(const TSnac& s);
  void ResultadoLista(const TSnac& s);
  void PedidoAutorizacao(const TSnac& s);
  void RespostaAutorizacao(const TSnac& s);
  void AdicionouVoce(const TSnac& s);
  void Meta(const TSnac& s);
  void RespostaInfo(const meta::TMeta& m);
  void TextoRecebido(std::string uin, uint8_t tipo, std::string texto, bool offline);
  std::string UinPendente(uint16_t sequencia, bool curta, bool remover);

  void FalhaDeConexao();
  void Erro(int tipo, std::string texto);
  void EnviarFlap(uint8_t canal, std::string_view dados);
  template <typename E>
  void Disparar(E&& e) {
    acoes_.emplace_back(acao::Evento{TEventoICQ(std::forward<E>(e))});
  }

  const TPropriedadesICQ& p_;
  TRelogio relogio_;
  TAleatorio aleatorio_;
  TAcoes acoes_;

  enum class Fase { Parado, Autorizacao, Sessao };
  Fase fase_ = Fase::Parado;
  bool primeiraEtapa_ = true;
  bool logado_ = false;
  uint16_t seqFlap_ = 0;
  uint16_t seqMeta_ = 2;
  uint32_t status_ = 0;
  std::string cookie_;
  bool temOuvinte_ = false;
  uint32_t ipOuvinte_ = 0;
  uint16_t portaOuvinte_ = 0;
  std::vector<std::pair<uint16_t, std::string>> pendentesCompleta_;
  std::vector<std::pair<uint16_t, std::string>> pendentesCurta_;
  std::vector<TItemLista> listaParcial_;
  std::optional<net::TimePoint> prazo_;
};

}  // namespace tazu::icq
