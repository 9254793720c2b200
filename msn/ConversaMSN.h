// One switchboard conversation as a state machine, without sockets or
// timers: our own call (session number 0 until it rings) or the answer to an
// invitation. What the connection reports and the units the switchboard
// sends go in; actions come out. The rules are at the top of ConversaMSN.cpp.
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
#include "msn/CodecMensagemMSN.h"
#include "net/Runtime.h"

namespace tazu::msn {

namespace sb {
using Abrir = socket_actions::Open;
using Enviar = socket_actions::Send;
using Fechar = socket_actions::Close;
struct Log {
  bool recebida;
  std::string texto;
};
// The session is known under its number from now on.
struct RegistrarNumero {
  uint32_t numero;
};
// ... and talks to this contact.
struct RegistrarContato {
  std::string contato;
};
struct Recebida {
  uint32_t sessao;
  std::string contato, apelido, texto;
};
struct Confirmada {
  uint32_t sessao;
  std::string contato;
};
struct Falhou {
  uint32_t sessao;
  std::string contato, texto;
};
struct Fonte {
  TFonteMSN fonte;
};
// Over: forget the session and free it.
struct Encerrada {};
}  // namespace sb

using TAcaoConversa = std::variant<sb::Abrir, sb::Enviar, sb::Fechar, sb::Log, sb::RegistrarNumero,
                                   sb::RegistrarContato, sb::Recebida, sb::Confirmada, sb::Falhou,
                                   sb::Fonte, sb::Encerrada>;

struct TDadosDaConversa {
  std::string login;  // our own
  uint32_t numero = 0;
  std::string endereco, cookie, contato, apelido;
  std::string pendente;  // to send once the contact joins (our own call)
};

class TConversaMSN {
 public:
  using TRelogio = std::function<net::TimePoint()>;
  using TAcoes = std::vector<TAcaoConversa>;

  // How long our own call may wait for the contact to join.
  static constexpr net::Milliseconds kPrazoParaEntrar{60000};

  TConversaMSN(TDadosDaConversa dados, TRelogio relogio, std::function<bool()> registrando = {},
               bool comFonte = false);

  uint32_t Numero() const { return d_.numero; }
  const std::string& Contato() const { return d_.contato; }
  const std::string& ApelidoDoContato() const { return d_.apelido; }
  const std::string& ApelidoProprio() const { return apelidoProprio_; }

  // ---- Operations ----
  void Iniciar();
  void EnviarMensagem(const std::string& texto);

  // ---- What the connection reports ----
  void AbrirFalhou() { Encerrar(); }
  void Conectou();
  void Quadro(const TQuadroMSN& quadro);
  void Fechou() { Encerrar(); }

  // ---- Time ----
  std::optional<net::TimePoint> ProximoPrazo() const { return prazoEntrada_; }
  void AoPrazo();

  void TomarAcoes(TAcoes& destino) { destino.swap(acoes_); }

 private:
  struct TRegra;
  static const TRegra* Regra(std::string_view comando);
  void Usuario(const TLinhaMSN& l);
  void Chamada(const TLinhaMSN& l);
  void Entrou(const TLinhaMSN& l);
  void Presentes(const TLinhaMSN& l);
  void Atendida(const TLinhaMSN& l);
  void Confirmacao(const TLinhaMSN& l);
  void Recusa(const TLinhaMSN& l);
  void Saiu(const TLinhaMSN& l);
  void ErroDoServidor(const TLinhaMSN& l);
  void Mensagem(const TLinhaMSN& l, std::string_view payload);

  void Comando(std::string_view nome, std::initializer_list<std::string_view> args);
  void Registrar(bool recebida, std::string texto);
  void Encerrar();
  template <typename A>
  void Agir(A&& a) {
    acoes_.emplace_back(std::in_place_type<std::decay_t<A>>, std::forward<A>(a));
  }

  TDadosDaConversa d_;
  TRelogio relogio_;
  std::function<bool()> registrando_;
  bool comFonte_;
  TAcoes acoes_;
  uint32_t trid_ = 1;
  std::string apelidoProprio_;
  std::string ultima_;  // the last text given to send
  bool recusada_ = false;
  bool encerrada_ = false;
  uint32_t tridDaChamada_ = 0;                   // USR, then CAL: an error to either ends the call
  std::map<uint32_t, std::string> semResposta_;  // our MSGs awaiting ACK or NAK
  TLinhaMSN linha_;
  std::optional<net::TimePoint> prazoEntrada_;
};

}  // namespace tazu::msn
