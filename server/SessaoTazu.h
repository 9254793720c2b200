// The connection to the Tazu server as a state machine, without sockets or
// timers: operations of the windows, what the connection reports and the
// messages the server sends go in; actions come out (bytes to send, the
// socket to open or close, events to raise, messages for the hub). Timers are
// deadlines the connection keeps a timer for. The rules are at the top of
// SessaoTazu.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "base/ActionRunner.h"
#include "core/StringCurta.h"
#include "core/UCriptografia.h"
#include "net/Runtime.h"
#include "server/CodecTazu.h"

namespace tazu {

// The client's published properties and connection state: the session keeps
// them, the windows read them (TClientePCTazu is one of these).
struct TEstadoTazu {
  static constexpr const char* kIPPadrao = "127.0.0.1";
  static constexpr int32_t kPortaPadrao = 96;

  uint16_t NIU = 0;
  TApelido Apelido;
  std::string Senha;
  uint8_t Status = 0;
  // Any host name the settings file can hold (up to 255 bytes).
  std::string IPServidor = kIPPadrao;
  int32_t PortaServidor = kPortaPadrao;

  // Its key byte doubles as the on/off switch of scrambling (0 = off).
  TCriptografia Criptografia;
  bool Conectado = false;
  bool Conectando = false;
  bool AguardandoConexao = false;
  bool Desligando = false;
  int32_t ComandoPendente = 0;
  bool RespostaOk = false;
  std::string EnderecoLocal;

  // Pending-request codes.
  enum : int32_t {
    PendenteNenhum = 0,
    PendenteIdentificacao = 1,
    PendenteListaDeContatos = 2,
    PendenteDesconexao = 3,
    PendenteSaida = 4,
    PendenteCadastro = 5,
    PendenteBusca = 6,
  };

  TEstadoTazu() { Criptografia.Chave = 0; }
};

// What the session asks of whoever runs it, in order.
namespace acao {
using Abrir = socket_actions::Open;
using Enviar = socket_actions::Send;
using Fechar = socket_actions::Close;
struct Erro {
  int32_t numero;
  std::string texto;
};
struct Informar {
  int32_t numero;
  std::string texto;
};
struct Resposta {
  int32_t comando;
  bool sucesso;
};
enum class Aviso {
  Confirmar,
  ConectarServidor,
  DesconectarServidor,
  ConectarComunidade,
  FinalizarAplicativo,
  FinalizarBusca,
};
struct Notificar {
  Aviso aviso;
};
// The hub forgets contacts and adapters (the connection is gone).
struct Limpeza {};
// A message for the hub: contacts, conversations, searches, information. It
// is the session's own and lives until the session reads the next line, so
// run the actions of a line before handing it another.
struct ParaOHub {
  const TMensagemDoServidor* mensagem;
};
// The debug line of the program ("Enviando: ...", "Recebido: ...").
struct Depurar {
  std::string linha;
};
}  // namespace acao

using TAcaoTazu = std::variant<acao::Abrir, acao::Enviar, acao::Fechar, acao::Erro,
                               acao::Informar, acao::Resposta, acao::Notificar, acao::Limpeza,
                               acao::ParaOHub, acao::Depurar>;

class TSessaoTazu {
 public:
  using TRelogio = std::function<net::TimePoint()>;
  using TAcoes = std::vector<TAcaoTazu>;

  // `depurando` tells whether anyone wants the debug lines (they cost a copy
  // of every line).
  TSessaoTazu(TEstadoTazu& estado, TRelogio relogio, std::function<bool()> depurando = {});

  // ---- Operations of the windows ----
  void Conectar();
  void Identificar(uint8_t status);
  void IdentificarCadastro(uint8_t porApelido, const std::string& numeroOuApelido);
  void Desconectar();
  void DesconectarEFechar();
  void Sair();
  // One text as the client's line(s), scrambled when scrambling is on.
  void Enviar(const std::string& texto);
  // A command; refused with error 4 when a field holds CR, LF or NUL.
  void Comando(std::string_view codigo, std::initializer_list<std::string_view> campos = {});
  void Comando(std::string_view codigo, const std::vector<std::string>& campos);
  // A command whose fields are one value each (numbers, identifiers, account
  // settings): a "§" in one would split it and shift every field after it on
  // the server, so such a command is refused with error 4 as well.
  void ComandoDeValores(std::string_view codigo, std::initializer_list<std::string_view> campos);
  // A command that opens a request awaiting its reply (search, contact list).
  void Pedido(int32_t pendente, std::string_view codigo,
              std::initializer_list<std::string_view> campos = {});
  void MudarStatus(uint8_t status);

  // ---- What the connection reports ----
  void AbrirFalhou();
  void Conectou(std::string enderecoLocal, uint16_t portaLocal);
  // One raw line as read (scrambled or not, without its end).
  void LinhaRecebida(std::string_view bruta);
  void LinhaLongaDemais();
  // After the lines of one read: settles the pending request.
  void FimDaLeitura();
  void Fechou();
  void Falhou(const std::string& mensagem);

  // ---- Time ----
  std::optional<net::TimePoint> ProximoPrazo() const;
  void AoPrazo();

  // Hands over the actions produced so far, in order, through `destino`
  // (which must be empty; its storage is reused).
  void TomarAcoes(TAcoes& destino) { destino.swap(acoes_); }

 private:
  struct TRegra;
  static const TRegra* Regra(TCodigoServidor codigo, int32_t pendente);

  // Rules for server messages.
  void Recusa(TMensagemDoServidor& m);
  void Aceite(TMensagemDoServidor& m);
  void Sondagem(TMensagemDoServidor& m);
  void RespostaAoPing(TMensagemDoServidor& m);
  void UsuarioAceito(TMensagemDoServidor& m);
  void Versao(TMensagemDoServidor& m);
  void OutraConexao(TMensagemDoServidor& m);
  void FimNoLogin(TMensagemDoServidor& m);
  void FimPedido(TMensagemDoServidor& m);
  void FimNaSaida(TMensagemDoServidor& m);
  void FimDoServidor(TMensagemDoServidor& m);
  void FimDaBusca(TMensagemDoServidor& m);
  void ParaOHub(TMensagemDoServidor& m);
  void Depurar(std::string_view prefixo, std::string_view linha);

  void MarcarRecusa();
  void MarcarRecusaDe(int32_t pendente);
  void Erro(int32_t numero, std::string texto);
  template <typename A>
  void Agir(A&& a) {
    acoes_.emplace_back(std::in_place_type<std::decay_t<A>>, std::forward<A>(a));
  }
  void Avisar(acao::Aviso aviso) { Agir(acao::Notificar{aviso}); }
  void FecharConexao();
  void Limpeza();
  void IniciarSaida(bool fecha);
  void ConstruirEnderecoLocal();

  TEstadoTazu& e_;
  TRelogio relogio_;
  std::function<bool()> depurando_;
  TAcoes acoes_;
  TLinhaLida lida_;  // the line being handled
  bool socketAberto_ = false;
  std::string enderecoLocal_;
  uint16_t portaLocal_ = 0;

  // The read being handled: did a line reply to the pending request, and was
  // it a refusal of a search.
  bool respondeu_ = false;
  bool buscaRecusada_ = false;

  std::optional<net::TimePoint> prazoPing_;
  std::optional<net::TimePoint> prazoResposta_;
  std::optional<net::TimePoint> prazoSaida_;
  bool saidaFecha_ = false;  // the exit deadline closes the socket (else: quits)
};

}  // namespace tazu
