// The connection to the MSN notification server as a state machine, without
// sockets or timers: operations of the client, what the connection reports
// and the units the server sends go in; actions come out (bytes to send, the
// socket to open or close, events to raise, switchboard sessions to start).
// Timers are deadlines the connection keeps a timer for. The rules are at
// the top of NotificacaoMSN.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "base/ActionRunner.h"
#include "msn/CodecMSN.h"
#include "msn/UListasMSN.h"
#include "net/Runtime.h"

namespace tazu::msn {

// What the notification rules ask of whoever runs them, in order.
namespace ns {
using Abrir = socket_actions::Open;
using Enviar = socket_actions::Send;
using Fechar = socket_actions::Close;
struct Conectado {};
struct Desconectado {};
struct FalhaConexao {
  int erro;
  std::string texto;
};
struct Log {
  bool recebida;  // else: sent
  std::string texto;
};
struct Contato {  // a new contact of the forward list
  std::string id, apelido;
  uint8_t status;
};
struct Bloqueado {
  std::string id, apelido;
};
struct Presenca {
  std::string id, apelido;
  uint8_t status;
};
struct Adicionado {
  std::string id;
};
struct ErroAdicionando {
  std::string id;
};
// A switchboard session to start: number 0 is our own call (with the text to
// send once the contact joins); any other number answers an invitation.
struct Sessao {
  uint32_t numero;
  std::string endereco, cookie, contato, apelido, mensagem;
};
struct FalhaEnvio {
  std::string id, mensagem;
};
}  // namespace ns

using TAcaoNotificacao =
    std::variant<ns::Abrir, ns::Enviar, ns::Fechar, ns::Conectado, ns::Desconectado,
                 ns::FalhaConexao, ns::Log, ns::Contato, ns::Bloqueado, ns::Presenca,
                 ns::Adicionado, ns::ErroAdicionando, ns::Sessao, ns::FalhaEnvio>;

class TNotificacaoMSN {
 public:
  using TRelogio = std::function<net::TimePoint()>;
  using TAcoes = std::vector<TAcaoNotificacao>;

  static constexpr net::Milliseconds kEsperaAntesDeConectar{1000};
  static constexpr net::Milliseconds kPrazoDoLogin{60000};

  // `registrando` tells whether anyone wants the log lines (they cost a copy
  // of every line).
  TNotificacaoMSN(TRelogio relogio, std::function<bool()> registrando = {});

  std::string Identificador;
  std::string Senha;
  // Where a login starts (the dispatch server); a redirection moves on.
  std::string HostPadrao = "messenger.hotmail.com";
  uint16_t PortaPadrao = 1863;

  uint8_t Status() const { return CodigoDoEstado(estado_); }
  bool Logado() const { return fase_ == Fase::Logado; }
  bool Conectando() const { return *conectando_; }
  // The connecting flag may live outside (the adapter's), so that whoever
  // reads it there sees the login as it goes.
  void ApontarConectando(bool* indicador) {
    conectando_ = indicador ? indicador : &conectandoProprio_;
  }
  const std::string& ApelidoProprio() const { return apelidoProprio_; }  // URL-encoded, as sent
  const std::string& HostAtual() const { return host_; }
  uint16_t PortaAtual() const { return porta_; }
  uint32_t Trid() const { return trid_; }
  const TListaDeContatosMSN& ListaDireta() const { return direta_; }
  const TListaDeContatosMSN& ListaDeBloqueio() const { return bloqueio_; }

  // ---- Operations ----
  void Conectar(uint8_t status);
  void Desconectar();
  void MudarStatus(uint8_t status);
  void AdicionarContato(const std::string& id, const std::string& apelido);
  void RemoverContato(const std::string& id);
  // Asks for a switchboard to carry `texto` to `id` (no session with it yet).
  void PedirSessao(const std::string& id, const std::string& texto);

  // ---- What the connection reports ----
  // The connection could not even be tried (`erro` as the socket reports it).
  void AbrirFalhou(int erro);
  void Conectou();
  void Quadro(const TQuadroMSN& quadro);
  void Fechou();
  void Falhou(int erro, const std::string& mensagem);

  // ---- Time ----
  std::optional<net::TimePoint> ProximoPrazo() const;
  void AoPrazo();

  // Hands over the actions produced so far, in order (`destino` must be
  // empty; its storage is reused).
  void TomarAcoes(TAcoes& destino) { destino.swap(acoes_); }

 private:
  enum class Fase { Desligado, Aguardando, Abrindo, Entrando, Logado };
  enum class Quando { Entrando, Logado, Sempre };
  struct TRegra;
  struct TPedido {
    enum class Tipo { Adicao, Remocao, Sessao } tipo;
    std::string lista, contato, texto;
  };

  // Rules for command lines (RegrasNotificacao.cpp).
  void Versao(const TLinhaMSN& l);
  void Informacao(const TLinhaMSN& l);
  void Usuario(const TLinhaMSN& l);
  void Transferencia(const TLinhaMSN& l);
  void Desafio(const TLinhaMSN& l);
  void PresencaInicial(const TLinhaMSN& l);
  void PresencaNova(const TLinhaMSN& l);
  void Saiu(const TLinhaMSN& l);
  void Convite(const TLinhaMSN& l);
  void Adicao(const TLinhaMSN& l);
  void Remocao(const TLinhaMSN& l);
  void Lista(const TLinhaMSN& l);
  void ErroDoServidor(const TLinhaMSN& l);
  void Corpo(const TLinhaMSN& l, std::string_view payload);
  static const TRegra* Regra(std::string_view comando);

  // What a line does to the lists, and the events it raises.
  void NovoContato(std::string_view estado, std::string_view id, std::string_view apelido);
  void MudancaDePresenca(std::string_view estado, std::string_view id, std::string_view apelido);
  void ContatoBloqueado(std::string_view id, std::string_view apelido);

  void Comando(std::string_view nome, std::initializer_list<std::string_view> args = {});
  void Enviar(std::string bytes, std::string_view paraOLog);
  void Registrar(bool recebida, std::string texto);
  void Desconhecido(const TLinhaMSN& l);
  bool LerTrid(const TLinhaMSN& l, uint32_t& trid);
  std::optional<TPedido> TirarPedido(uint32_t trid);
  void Encerrar(bool comEvento, int erro);
  void FecharSilenciosamente();
  template <typename A>
  void Agir(A&& a) {
    acoes_.emplace_back(std::in_place_type<std::decay_t<A>>, std::forward<A>(a));
  }

  TRelogio relogio_;
  std::function<bool()> registrando_;
  TAcoes acoes_;
  Fase fase_ = Fase::Desligado;
  bool conectandoProprio_ = false;
  bool* conectando_ = &conectandoProprio_;
  std::string estado_ = "NLN";  // the MSN state to announce
  std::string apelidoProprio_;
  std::string host_;
  uint16_t porta_ = 0;
  uint32_t trid_ = 0;
  TListaDeContatosMSN direta_;
  TListaDeContatosMSN bloqueio_;
  std::map<uint32_t, TPedido> pedidos_;
  TLinhaMSN linha_;  // the line being handled
  std::optional<net::TimePoint> prazoConexao_;
  std::optional<net::TimePoint> prazoLogin_;
};

}  // namespace tazu::msn
