// The Tazu server: accepts connections, runs one session per connection
// (Sessao.h) and does what the commands ask (Comandos*.cpp) against the store.
//
// Everything runs on the runtime's main loop. What a turn of the loop writes to
// the store is committed at the end of the turn (FimDoTurno), and only then is
// what the sessions were told to send handed to their sockets: no answer ever
// confirms something that is not on disk yet. Each command is a unit of its
// own: a statement of it that fails undoes its writes and its output and
// answers RERR; only a failure of the store itself stops the server.
//
// A message is confirmed to its sender (SCEM, SNEM) once it can no longer be
// lost to a crash of this process. A live one whose bytes the recipient's
// kernel takes at once is safe from that there, so it is confirmed without a
// row; any other one (recipient offline, something for the recipient still
// ahead of it in our queue, a socket that took only part of it) is stored and
// committed first. Either way the server keeps it until the recipient's TCP
// has acknowledged its bytes: if the connection dies before that, the message
// is stored (if it was not) and delivered again at the next login, in order.
// A live message still unacknowledged a sweep or two later is stored as well.
// Message ids follow the order in which a recipient is handed its messages,
// so stored ones come back in that order.
//
// Every connection is bounded: lines, output waiting for it (past the bound
// its commands wait; if the output stays past the bound it is dropped), input
// waiting meanwhile, errors, searches per turn, and the time to log in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/Runtime.h"
#include "tazud/Banco.h"
#include "tazud/Limites.h"
#include "tazud/Senhas.h"
#include "tazud/Textos.h"

namespace tazu::tazud {

class TSessao;

struct TConfiguracao {
  bool embaralhar = true;
  std::size_t limiteDeLinha = 8192;         // bytes of one received line
  std::size_t limiteDeFila = 1 << 20;       // bytes waiting to be sent to one connection
  std::size_t limiteDeEntrada = 256 << 10;  // bytes received while its commands wait
  int conexoesPorEndereco = 16;
  int conexoesTotais = 20000;
  int errosTolerados = 20;  // malformed lines before a connection is closed
  // From the accept, whatever the connection says meanwhile.
  net::Milliseconds prazoDeIdentificacao{60'000};
  net::Milliseconds silencioAteSondar{90'000};    // then SBFF
  net::Milliseconds silencioAteDesligar{30'000};  // after SBFF
  int resultadosDeBusca = 50;
  int buscasPorTurno = 4;  // then the connection's other lines wait for the next turn
  int mensagensGuardadasPorUsuario = 1000;
  int mensagensGuardadasPorRemetente = 100;  // of those, from any one sender
  std::size_t senhasPendentes = 256;
  int paginaDeMensagens = 100;  // offline messages handed over per turn
  TConfigLimites limites;
  // A scrambling key from 1 to 255.
  std::function<uint8_t()> sortearChave;
};

class TServidor {
 public:
  TServidor(net::Runtime& runtime, TBanco& banco, TSenhas& senhas, TConfiguracao config);
  ~TServidor();
  TServidor(const TServidor&) = delete;
  TServidor& operator=(const TServidor&) = delete;

  bool Escutar(const std::string& endereco, uint16_t porta, std::string& erro);
  uint16_t Porta() const;
  // Takes over an accepted connection (the listener calls it; tests may too).
  void Aceitar(std::unique_ptr<net::TcpSocket> conexao);
  // Commits, sends what is pending and closes every connection.
  void Encerrar();

  std::size_t Conexoes() const { return sessoes_.size(); }
  std::size_t Conectados() const { return online_.size(); }
  // Outgoing lines that held a line break or NUL and had to be mended: a
  // field that escaped checking. Always 0 unless something is wrong.
  std::size_t LinhasConsertadas() const { return linhasConsertadas_; }

  // One line per connection event, for the log; bytes a client chose are
  // escaped.
  std::function<void(const std::string&)> AoRegistrar;
  // The store failed: nothing of the turn was confirmed to anyone, and the
  // server cannot go on. The default handler ends the process.
  std::function<void(const std::string&)> AoFalhaFatal;

  // --- for the sessions and the commands ------------------------------------
  const TConfiguracao& Config() const { return config_; }
  net::Runtime& Runtime() { return runtime_; }
  TBanco& Banco() { return banco_; }
  void Registrar(const std::string& linha);
  void Tratar(TSessao& s, const std::string& codigo, std::string& resto);
  void Enviar(TSessao& s, std::string_view linha);
  void EnviarErro(TSessao& s, const textos::TErro& erro, std::string_view complemento = {});
  // Answers `erro` and counts it against the connection; too many close it.
  void Recusar(TSessao& s, const textos::TErro& erro, std::string_view complemento = {});
  // Closes after what is queued has been sent.
  void FecharAposEnvio(TSessao& s, const std::string& motivo);
  // Closes now (the peer is gone).
  void Fechar(TSessao& s, const std::string& motivo);
  // Starts a store transaction for this turn; false (and the session told) on failure.
  bool Gravar(TSessao& s);
  TSessao* Online(Niu niu);

 private:
  friend class TSessao;
  using Comando = void (TServidor::*)(TSessao&, std::string&);
  struct TRegra;
  static const TRegra* Regra(std::string_view codigo);
  class TUnidade;

  // Units of work (Servidor.cpp).
  void AbrirUnidade(TSessao& s);
  void FecharUnidade();
  void Tocar(TSessao& s);
  void Parar(const std::string& erro);
  bool GravarSemSessao();

  // The turn (Servidor.cpp).
  void Sujar(TSessao& s);
  void AgendarFimDoTurno();
  void FimDoTurno();
  // Hands what the session has queued to its socket.
  void Despachar(TSessao& s);
  void Descarregar(TSessao& s);
  void DepoisDoComando(TSessao& s);
  void Retomar();
  void Finalizar(TSessao& s);
  // A logged-in session leaves: the others see it go.
  void SairDaRede(TSessao& s);
  void Varrer();
  void RegistrarRecusa(const std::string& endereco, bool cheio);

  // Delivery (Entrega.cpp).
  enum class TEntregaDireta {
    NoKernel,  // every byte taken by the kernel
    Parcial,   // handed to the socket, but not all of it reached the kernel
    Recusada,  // something is ahead of it: it must go through the store
  };
  TEntregaDireta EntregarJa(TSessao& destino, const std::string& linha);
  // Lets go of what the peer's TCP has acknowledged; `fechando`: the
  // connection is going, and the rest is stored for the next login.
  void ConferirEntregas(TSessao& s, bool fechando);
  // A live message in the recipient's kernel, kept without a row until its
  // TCP acknowledges it.
  void ManterAteConfirmar(TSessao& destino, Niu de, const std::string& texto, int64_t quando);
  // Rows for the messages handed to `s` without one: all, or those waiting
  // since before the previous sweep.
  void GuardarSemLinha(TSessao& s, bool todas);
  void ApagarEntregues();
  void EntregarPaginaDeMensagens(TSessao& s);
  void EntregarAvisos(TSessao& s);
  void EntregarAvisosNovos();
  void Notificar(Niu para, std::string_view codigo, TSessao& de, std::string_view texto1,
                 std::string_view texto2);

  // Presence and login (Presenca.cpp).
  uint8_t StatusVisivel(Niu niu);
  void AnunciarTransicao(TSessao& s, uint8_t antes, uint8_t depois);
  std::string LinhaDeContato(Niu niu, std::string_view apelido, char lista);
  void EnviarLista(TSessao& s);
  void CompletarLogin(TSessao& s, const TUsuario& u, uint8_t status);
  std::string DataDeHoje() const;

  // Password checks (ComandosConta.cpp).
  struct TEspera {
    uint64_t sessao = 0;
    std::string endereco;
    Niu niu = 0;
    uint8_t status = 0;
    std::string hash, senha;
    net::TimePoint inicio;
  };
  void ConferirSenha(TEspera espera);
  void ArmarEsperas();
  void AoFimDasEsperas();

  // Commands (Comandos*.cpp).
  void CVER(TSessao&, std::string&);
  void CCON(TSessao&, std::string&);
  void CCUS(TSessao&, std::string&);
  void CPNG(TSessao&, std::string&);
  void CBFF(TSessao&, std::string&);
  void CDSC(TSessao&, std::string&);
  void CRLC(TSessao&, std::string&);
  void CACL(TSessao&, std::string&);
  void CRCL(TSessao&, std::string&);
  void CPAC(TSessao&, std::string&);
  void CAAC(TSessao&, std::string&);
  void CRAC(TSessao&, std::string&);
  Niu ResponderPedido(TSessao& s, std::string& resto, std::string_view codigo);
  void CMSG(TSessao&, std::string&);
  void CNMS(TSessao&, std::string&);
  void CRIU(TSessao&, std::string&);
  void CADC(TSessao&, std::string&);
  void CSCM(TSessao&, std::string&);
  void CRCM(TSessao&, std::string&);
  void CCCT(TSessao&, std::string&);
  void CRBS(TSessao&, std::string&);
  void CFNT(TSessao&, std::string&);
  // A contact number field; answers 0 (and refuses the line) when malformed.
  Niu LerNiu(TSessao& s, const std::string& campo, std::string_view codigo);
  std::optional<TUsuario> UsuarioExistente(TSessao& s, Niu niu);
  void AdicionarSemAutorizacao(TSessao& s, const TUsuario& alvo);
  // False (and the line refused) when a field holds CR, LF or NUL.
  bool CamposLimpos(TSessao& s, std::string_view campos, std::string_view codigo);
  // Room in a recipient's store for one more message from `s`; RERR when none.
  bool CabeNaCaixa(TSessao& s, const TUsuario& destino);
  bool ReservarCadastro(TSessao& s);
  void ConcluirCadastro(TSessao& s, const TUsuario& u, const std::string& bloco);

  net::Runtime& runtime_;
  TBanco& banco_;
  TSenhas& senhas_;
  TConfiguracao config_;
  TLimites limites_;
  std::unique_ptr<net::TcpListener> listener_;
  std::unique_ptr<net::Timer> varredura_;
  std::unique_ptr<net::Timer> retomada_;  // paused sessions go on, after other clients' turn
  std::unique_ptr<net::Timer> esperas_;   // password checks waiting for their delay
  std::unordered_map<uint64_t, std::unique_ptr<TSessao>> sessoes_;
  std::unordered_map<Niu, TSessao*> online_;
  std::unordered_map<std::string, int> porEndereco_;
  std::vector<uint64_t> sujas_;
  std::vector<uint64_t> pausadas_;
  std::vector<TEspera> esperando_;
  // Delivered offline items to delete: messages (true) and events (false).
  std::vector<std::pair<bool, int64_t>> entregues_;
  uint64_t proximaSessao_ = 1;
  bool fimAgendado_ = false;
  bool parado_ = false;  // the store failed: nothing more is confirmed
  uint64_t turno_ = 0;
  uint64_t numeroDaVarredura_ = 0;
  int64_t ultimoAviso_ = 0;
  // The unit of work in progress: its session, whether it wrote, and the
  // sessions it queued output for.
  uint64_t unidade_ = 0;  // 0 when none
  uint64_t sessaoDaUnidade_ = 0;
  bool unidadeGravou_ = false;
  std::vector<uint64_t> tocadas_;
  uint64_t proximaUnidade_ = 1;
  std::size_t linhasConsertadas_ = 0;
  // Refused connections are logged one per second; the rest are summed up.
  net::TimePoint ultimaRecusaRegistrada_{};
  int recusasCaladas_[2] = {0, 0};  // too many from one address, server full
  Lifetime vivo_;
};

}  // namespace tazu::tazud
