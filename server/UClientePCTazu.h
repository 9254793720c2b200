// The program's connection to its own Tazu server, and the hub of everything
// else: it owns the one contact list of all communities and the live
// outside-network adapters, routes every request of the windows by community
// name ("Tazu" goes to the server, "ICQ", "MSN" and "Yahoo" to their adapter)
// and turns server messages and adapter events into one set of events.
//
// The rules of the connection (UClientePCTazu.cpp states them in full):
//  - one TCP connection; one line per message, "[CODE]" then fields after "§",
//    CR LF at the end; scrambled line by line once the server's RVER hands out a
//    key other than 0 (the scrambler's key byte doubles as the on/off switch);
//  - one pending request at a time (ComandoPendente), settled after the lines of
//    a read are handled, when at least one of them was a reply;
//  - keep-alive: CPNG every 60 s, error 1001 when no RPNG comes within 20 s;
//  - a lost connection runs the clean-up: adapters disconnected, lists emptied,
//    AoDesconectarServidor raised.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Lifetime.h"
#include "core/Comunicadores.h"
#include "core/Listas.h"
#include "core/ProtocoloTazu.h"
#include "core/StringCurta.h"
#include "core/UCriptografia.h"
#include "net/Runtime.h"

namespace tazu {

// What starting an adapter hands to its constructor.
struct TContaComunicador {
  int Tipo = 0;             // 1 ICQ, 3 Yahoo, 4 MSN
  uint8_t Status = 0;       // initial status
  std::string NIU;          // the user's NIU as decimal text
  std::string Senha;
  std::string Identificador;  // the account on that network
};

// Creates the adapter of one network type. The real adapters register theirs
// in the programs that link them; tests register fakes.
using TFabricaComunicador = std::function<std::unique_ptr<TInterfaceComunicador>(
    net::Runtime& runtime, const TContaComunicador& conta)>;

class TClientePCTazu {
 public:
  using TNotifyEvent = std::function<void(TClientePCTazu& sender)>;
  using TErroDoServidor =
      std::function<void(TClientePCTazu& sender, int Numero, const std::string& Descricao)>;
  using TAtualizaContato = std::function<void(TClientePCTazu& sender, TContato* Contato)>;
  using TEventoUsuario = std::function<void(TClientePCTazu& sender, int Tipo,
                                            const std::string& Comunicador,
                                            const std::string& Identificador,
                                            const TApelido& Apelido, const std::string& Evento)>;
  using TEventoComunicador =
      std::function<void(TClientePCTazu& sender, TInterfaceComunicador& Comunicador)>;

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

  static constexpr const char* kIPPadrao = "127.0.0.1";
  static constexpr int32_t kPortaPadrao = 96;
  // Longest line kept while waiting for its end.
  static constexpr std::size_t kLimiteDeLinha = 1 << 20;

  explicit TClientePCTazu(net::Runtime& runtime);
  ~TClientePCTazu();
  TClientePCTazu(const TClientePCTazu&) = delete;
  TClientePCTazu& operator=(const TClientePCTazu&) = delete;

  // ---- Published data ----
  uint16_t NIU = 0;
  TApelido Apelido;
  std::string Senha;
  uint8_t Status = 0;
  TApelido IPServidor = kIPPadrao;
  int32_t PortaServidor = kPortaPadrao;

  // ---- State the windows read ----
  TCriptografia Criptografia;
  TListaDeComunicadores Comunicadores;
  TListaDeContatos Contatos;
  // Per-network account memory, indexed by network type: "" or
  // status § identifier § password.
  std::array<std::string, 5> Contas;
  bool Conectado = false;
  bool Conectando = false;
  bool AguardandoConexao = false;
  bool Desligando = false;
  int32_t ComandoPendente = PendenteNenhum;
  bool RespostaOk = false;
  std::string EnderecoLocal;

  // ---- Events ----
  TErroDoServidor AoReceberErro;
  TErroDoServidor AoInformar;
  TErroDoServidor AoMensagemDeSistema;
  std::function<void(TClientePCTazu& sender, int Comando, bool Sucesso,
                     const std::string& Resposta)>
      AoReceberResposta;
  TNotifyEvent AoConfirmar;
  TNotifyEvent AoConectarServidor;
  TNotifyEvent AoDesconectarServidor;
  TNotifyEvent& AoDesconectarDoServidor = AoDesconectarServidor;  // the same event
  TNotifyEvent AoConectarComunidade;
  TNotifyEvent AoFinalizarAplicativo;
  TAtualizaContato AoReceberContato;
  TAtualizaContato AoConectarContato;
  TAtualizaContato AoDesconectarContato;
  TAtualizaContato AoMudarStatus;
  TAtualizaContato AoRemoverContato;
  // The lines are valid only during the call; a handler may consume them.
  std::function<void(TClientePCTazu& sender, TContato* Contato,
                     std::vector<std::string>& Mensagem)>
      AoReceberMensagemUsuario;
  std::function<void(TClientePCTazu& sender, const TApelido& Comunicador,
                     const std::string& Identificador)>
      AoConfirmarEnvio;
  std::function<void(TClientePCTazu& sender, const TApelido& Comunicador,
                     const std::string& Identificador, std::vector<std::string>& Mensagem)>
      AoEnviarOffLine;
  std::function<void(TClientePCTazu& sender, uint16_t NIU, const std::string& BoasVindas)>
      AoAceitarCadastro;
  std::function<void(TClientePCTazu& sender, const std::string& Identificador,
                     const std::string& Apelido, const std::string& Nome,
                     const std::string& EMail, char Autorizar)>
      AoReceberBusca;
  TNotifyEvent AoFinalizarBusca;
  std::function<void(TClientePCTazu& sender, const TApelido& Comunicador,
                     const std::string& Identificador, const TApelido& Apelido)>
      AoExigirAutorizacao;
  TEventoUsuario AoReceberEventoUsuario;
  TEventoUsuario AoReceberInfoUsuario;
  std::function<void(TClientePCTazu& sender, bool UsaICQ, const std::string& UIN,
                     const std::string& SenhaICQ, bool UsaMSN, const std::string& EMailMSN,
                     const std::string& SenhaMSN, bool UsaYahoo, const std::string& NomeYahoo,
                     const std::string& SenhaYahoo)>
      AoReceberComunicadores;
  TEventoComunicador AoConectarComunicador;
  TEventoComunicador AoDesconectarComunicador;
  // Debug lines ("Enviando: ...", "Recebido: ...") for whoever wants them.
  std::function<void(TClientePCTazu& sender, const std::string& Linha)> AoDepurar;

  // ---- Connection ----
  void Conectar();
  void Identificar(uint8_t status);
  void IdentificarCadastro(uint8_t porApelido, const std::string& numeroOuApelido);
  void Desconectar();
  void DesconectarEFechar();
  void Sair();
  // Sends one message (its lines scrambled when scrambling is on).
  void Enviar(const std::string& texto);

  // ---- Requests, routed by community ----
  void MudarStatus(uint8_t status);
  void EnviarMensagem(uint16_t niu, const std::vector<std::string>& linhas);
  void EnviarMensagemComunicador(const std::string& comunidade, const std::string& identificador,
                                 const std::vector<std::string>& linhas);
  void AdicionarContato(const std::string& comunidade, const std::string& identificador);
  void RemoverContato(const std::string& comunidade, const std::string& identificador);
  void PedirAutorizacao(const std::string& comunidade, const std::string& identificador,
                        const std::string& texto);
  void ResponderAutorizacao(const std::string& comunidade, const std::string& identificador);
  void RejeitarAutorizacao(const std::string& comunidade, const std::string& identificador);
  void PedirInformacoes(const std::string& comunidade, const std::string& identificador);
  void GravarInformacoes(const std::string& comunidade, int bloco, const std::string& texto);
  void BuscarContato(const std::string& comunidade, char tipo, const std::string& texto);
  void EncerrarBusca(int numero);
  void PedirListaDeContatos();
  void PedirComunicadores();
  // The nine values of CSCM, in order.
  void GravarComunicadores(bool usaICQ, const std::string& uin, const std::string& senhaICQ,
                           bool usaMSN, const std::string& emailMSN, const std::string& senhaMSN,
                           bool usaYahoo, const std::string& nomeYahoo,
                           const std::string& senhaYahoo);
  // The 20 registration values in the order of the registration window.
  void Cadastrar(const std::vector<std::string>& valores);
  void ConectarComunicador(int tipo, const std::string& identificador, const std::string& senha);
  void DesconectarComunicadores();

  // The status of one outside network chosen apart from the user's own (0 =
  // follow the user's own again). Answers what the windows must tell the user.
  enum class TStatusDaRede { Aplicado, NaoHabilitado, EmLogin, NaoConfigurado };
  TStatusDaRede MudarStatusDaRede(const std::string& rede, uint8_t escolha);
  // The network type of "ICQ" (1), "Yahoo" (3) or "MSN" (4); 0 for any other.
  static int TipoDaRede(const std::string& rede);

  // The adapter factory of one network type (1 ICQ, 3 Yahoo, 4 MSN).
  void RegistrarFabrica(int tipo, TFabricaComunicador fabrica);

 private:
  // Connection (UClientePCTazu.cpp).
  void AoSocketConectado();
  void AoSocketDados(std::string_view dados);
  void AoSocketFechado();
  void AoSocketErro(net::SocketError erro, const std::string& mensagem);
  void LimpezaDeDesconexao();
  void FecharConexao();
  void TickPing();
  void TickResposta();
  void TickSaida();
  void ConstruirEnderecoLocal();
  void Depurar(const std::string& linha);

  // Server messages (Catalogo.cpp). Answers false when the read must stop.
  struct TLote;
  bool TratarLinha(const std::string& linha, TLote& lote);
  void Despachar(const std::string& codigo, std::string& resto, TLote& lote);
  void LiquidarPendente(const TLote& lote);
  void EnviarComando(std::string_view codigo, std::initializer_list<std::string_view> campos = {});

  // Contacts and adapters (Hub.cpp).
  TContato* ContatoTazu(const std::string& niu);
  void ContatoDaLista(const std::string& niu, const std::string& apelido, const std::string& lista,
                      const std::string& status, const std::string& origem);
  void ContatoConectado(const std::string& niu, const std::string& apelido,
                        const std::string& status, const std::string& origem);
  void ContatoDesconectado(const std::string& niu, const std::string& apelido,
                           const std::string& origem);
  void ContatoMudouStatus(const std::string& niu, const std::string& apelido,
                          const std::string& status, const std::string& origem);
  void MensagemDoServidor(const std::string& niu, const std::string& apelido,
                          const std::string& presenca, const std::string& texto);
  void IniciarComunicador(const std::string& registro);
  void LigarEventos(TInterfaceComunicador& c);
  void ContatoDoComunicador(const std::string& apelido, const std::string& identificador,
                            const std::string& status, char lista, const std::string& comunicador);
  void MensagemDoComunicador(TInterfaceComunicador& c, const std::string& identificador,
                             const std::string& apelido, const std::string& msg, bool aoVivo,
                             const std::string& comunicador);
  void ComunicadorDesconectou(TInterfaceComunicador& c);
  TInterfaceComunicador* Comunicador(const std::string& comunidade);
  void AnunciarRemocao(const std::string& comunidade, const std::string& identificador);

  net::Runtime& runtime_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::unique_ptr<net::Timer> timerPing_;
  std::unique_ptr<net::Timer> timerResposta_;
  std::unique_ptr<net::Timer> timerSaida_;
  bool saidaFecha_ = false;  // TimerSaida closes the socket (else: quits)
  TLeitorDeLinhas leitor_{kLimiteDeLinha};
  std::map<int, TFabricaComunicador> fabricas_;
  // Adapters live from their start until they have logged off; the list above
  // only refers to the connected ones.
  std::vector<std::unique_ptr<TInterfaceComunicador>> adaptadores_;
  Lifetime vivo_;
};

}  // namespace tazu
