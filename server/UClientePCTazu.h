// The program's connection to its own Tazu server, and the hub of everything
// else: it owns the one contact list of all communities and the live
// outside-network adapters, routes every request of the windows by community
// name ("Tazu" goes to the server, "ICQ", "MSN" and "Yahoo" to their adapter)
// and turns server messages and adapter events into one set of events.
//
// Four pieces: CodecTazu (lines as values), SessaoTazu (the rules of the
// connection, stated at the top of SessaoTazu.cpp), ConexaoTazu (socket and
// timer) and this hub, which runs the session's actions and keeps contacts
// and adapters.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/ActionRunner.h"
#include "base/Lifetime.h"
#include "core/Comunicadores.h"
#include "core/Listas.h"
#include "core/ProtocoloTazu.h"
#include "core/StringCurta.h"
#include "core/UCriptografia.h"
#include "net/Runtime.h"
#include "server/ConexaoTazu.h"
#include "server/SessaoTazu.h"

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

class TClientePCTazu : public TEstadoTazu {
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

  // Longest line kept while waiting for its end.
  static constexpr std::size_t kLimiteDeLinha = TConexaoTazu::kLimiteDeLinha;

  explicit TClientePCTazu(net::Runtime& runtime);
  ~TClientePCTazu();
  TClientePCTazu(const TClientePCTazu&) = delete;
  TClientePCTazu& operator=(const TClientePCTazu&) = delete;

  // The published properties (NIU, Apelido, Senha, Status, IPServidor,
  // PortaServidor) and the connection state (Criptografia, Conectado,
  // Conectando, AguardandoConexao, Desligando, ComandoPendente, RespostaOk,
  // EnderecoLocal) are TEstadoTazu's.

  // ---- State the windows read ----
  TListaDeComunicadores Comunicadores;
  TListaDeContatos Contatos;
  // Per-network account memory, indexed by network type: "" or
  // status § identifier § password.
  std::array<std::string, 5> Contas;

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
  // Running the session (UClientePCTazu.cpp).
  void Executar();
  void ExecutarAcao(TAcaoTazu& acao);
  // A command of values; see TSessaoTazu::ComandoDeValores.
  void Comando(std::string_view codigo, std::initializer_list<std::string_view> campos = {});
  void Notificar(acao::Aviso aviso);
  void LimpezaDeDesconexao();

  // Server messages for the hub (Hub.cpp, Contatos.cpp).
  void MensagemParaOHub(const TMensagemDoServidor& m);
  TContato* ContatoTazu(const std::string& niu);
  void ContatoDaLista(const TMensagemDoServidor& m);
  void ContatoConectado(const TMensagemDoServidor& m);
  void ContatoDesconectado(const TMensagemDoServidor& m);
  void ContatoMudouStatus(const TMensagemDoServidor& m);
  void MensagemDoServidor(const TMensagemDoServidor& m);
  TContato* Estranho(const std::string& comunidade, const std::string& identificador,
                     const std::string& apelido);

  // Adapters (Hub.cpp).
  void IniciarComunicador(const std::string& registro);
  void LigarEventos(TInterfaceComunicador& c);
  void LigarRespostas(TInterfaceComunicador& c);
  void ContatoDoComunicador(const std::string& apelido, const std::string& identificador,
                            const std::string& status, char lista, const std::string& comunicador);
  void MensagemDoComunicador(TInterfaceComunicador& c, const std::string& identificador,
                             const std::string& apelido, const std::string& msg, bool aoVivo);
  void ComunicadorDesconectou(TInterfaceComunicador& c);
  TInterfaceComunicador* Comunicador(const std::string& comunidade);
  void AnunciarRemocao(const std::string& comunidade, const std::string& identificador);
  void DesconectarComunicadoresDaLista();

  net::Runtime& runtime_;
  TSessaoTazu sessao_;
  TConexaoTazu conexao_;
  std::map<int, TFabricaComunicador> fabricas_;
  // Adapters live from their start until they have logged off; the list above
  // only refers to the connected ones.
  std::vector<std::unique_ptr<TInterfaceComunicador>> adaptadores_;
  ActionRunner<TAcaoTazu> executor_;
  Lifetime vivo_;
};

}  // namespace tazu
