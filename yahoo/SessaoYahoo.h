// One Yahoo account's connection as a state machine, without sockets or
// timers: requests of the adapter, what the connection reports and the
// packets it reads go in; actions come out (open, send, close, events to
// raise). The rules are at the top of SessaoYahoo.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "base/ActionRunner.h"
#include "core/StringCurta.h"
#include "net/Runtime.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::yahoo {

// The session's published properties and login state; TClienteYahoo is one.
struct TEstadoYahoo {
  static constexpr const char* kServidorPadrao = "scs.msg.yahoo.com";
  static constexpr uint16_t kPortaPadrao = 5050;

  StringCurta<127> Usuario;
  StringCurta<127> Nome;  // kept, not used
  StringCurta<25> Senha;
  uint32_t Status = ymsg::Disponivel;  // own presence; header status of the login answer
  std::string Servidor = kServidorPadrao;
  uint16_t Porta = kPortaPadrao;

  bool LoggedIn = false;
  // From Conectar until the login succeeds or fails; mirrored into
  // *TentandoExterno when it is set.
  bool Tentando = false;
  bool* TentandoExterno = nullptr;
  uint32_t SessionID = 0;
  // The buddies: id + C0 80 + group, as the list and confirmed adds brought them.
  std::vector<std::string> Contatos;
};

// What the session asks of whoever runs it, in order.
namespace acao {
using Abrir = socket_actions::Open;
using Enviar = socket_actions::Send;
using Fechar = socket_actions::Close;
struct Conectou {};
struct Desconectou {};
struct FalhaConexao {
  uint32_t codigo;
  std::string url;
};
struct Log {
  std::string texto;
};
struct Contato {
  std::string grupo, id;
  uint32_t status;
  bool ausente;
  std::string mensagem;
};
struct StatusContato {
  std::string id;
  int32_t status;
  bool ausente;
  std::string mensagem;
};
struct ErroYahoo {
  std::string texto;
};
struct Mensagem {
  std::string id, texto;
  int32_t hora;
  bool utf8;
};
struct MensagemDoSistema {
  std::string texto;
};
struct ContatoRecusado {
  std::string id, mensagem;
};
struct ContatoNaoEncontrado {
  std::string id;
};
}  // namespace acao

using TAcaoYahoo =
    std::variant<acao::Abrir, acao::Enviar, acao::Fechar, acao::Conectou, acao::Desconectou,
                 acao::FalhaConexao, acao::Log, acao::Contato, acao::StatusContato, acao::ErroYahoo,
                 acao::Mensagem, acao::MensagemDoSistema, acao::ContatoRecusado,
                 acao::ContatoNaoEncontrado>;

// Winsock's numbers for a connection that could not be made: the codes the
// login failure reports.
uint32_t CodigoDoErro(net::SocketError erro);

class TSessaoYahoo {
 public:
  using TRelogio = std::function<net::TimePoint()>;
  using TAcoes = std::vector<TAcaoYahoo>;

  // `depurando` tells whether anyone wants the debug lines.
  TSessaoYahoo(TEstadoYahoo& estado, TRelogio relogio, std::function<bool()> depurando = {});

  // ---- Requests ----
  // `status` is the program's code: 3 (offline) asks for nothing.
  void Conectar(int32_t status);
  void EnviarMensagem(std::string_view destinatario, std::string_view texto);
  void MudarStatus(uint32_t codigo, bool ausente, std::string_view mensagem);
  void AdicionarContato(std::string_view id, std::string_view grupo);
  void RemoverContato(std::string_view id);
  void Desconectar();

  // ---- What the connection reports ----
  void AbrirFalhou();
  void Conectou();
  void Falhou(net::SocketError erro);
  void Fechou();
  // One whole packet, as the header's length cut it.
  void PacoteRecebido(std::string_view bloco);
  // A header that cannot start a packet: the stream is lost.
  void EnquadramentoInvalido();

  // ---- Time ----
  std::optional<net::TimePoint> ProximoPrazo() const;
  void AoPrazo();

  void TomarAcoes(TAcoes& destino) { destino.swap(acoes_); }

 private:
  struct TRegra;
  static const TRegra* Regra(uint16_t servico);

  // Rules for received packets.
  void Desafio(const TYahooPacket& p);
  void ResultadoDoLogin(const TYahooPacket& p);
  void RelatorioDeStatus(const TYahooPacket& p);
  void Mensagens(const TYahooPacket& p);
  void AvisoDeContato(const TYahooPacket& p);
  void ListaDeContatos(const TYahooPacket& p);
  void ResultadoDaAdicao(const TYahooPacket& p);
  void NaoManipulado(const TYahooPacket& p);
  void Desconhecido(const TYahooPacket& p);

  void EnviarPacote(const TYahooPacket& p);
  void Depurar(std::string_view cabecalho, const TYahooPacket& p);
  void Log(std::string texto);
  bool Numero(const TYahooPair& par, uint32_t& valor);
  void MarcarTentativa(bool valor);
  void Falha(uint32_t codigo, std::string url);
  void Encerrada();
  void GuardarContato(std::string_view id, std::string_view grupo);
  template <typename A>
  void Agir(A&& a) {
    acoes_.emplace_back(std::in_place_type<std::decay_t<A>>, std::forward<A>(a));
  }

  TEstadoYahoo& e_;
  TRelogio relogio_;
  std::function<bool()> depurando_;
  TAcoes acoes_;
  TYahooPacket lido_;      // the packet being handled; its storage is reused
  TYahooPacket enviando_;  // likewise for packets sent
  std::vector<TParRuim> ruins_;

  bool abrindo_ = false;  // connecting, not connected yet
  bool aberta_ = false;   // connected
  std::optional<net::TimePoint> prazoAbrir_;
  std::optional<net::TimePoint> prazoKeepAlive_;
  std::optional<net::TimePoint> prazoLogin_;  // the attempt gives up then

  // Adds awaiting their outcome, each with what the server said so far; the
  // group of the latest one for notices that answer no add of ours.
  struct TAdicao {
    std::string id, grupo;
    bool respondida = false;
    bool confirmada = false;
    bool recusada = false;
  };
  std::vector<TAdicao> adicoes_;
  std::string ultimoGrupo_;
  TAdicao* Adicao(std::string_view id);
};

}  // namespace tazu::yahoo
