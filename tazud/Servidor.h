// The Tazu server: accepts connections, runs one session per connection
// (Sessao.h) and does what the commands ask (Comandos*.cpp) against the store.
//
// Everything runs on the runtime's main loop. What a turn of the loop writes to
// the store is committed at the end of the turn (FimDoTurno), and only then is
// what the sessions were told to send handed to their sockets: no answer ever
// confirms something that is not on disk yet.
//
// A message is confirmed to its sender (SCEM, SNEM) only once it can no longer
// be lost. A live one whose bytes the recipient's kernel takes at once is safe
// there: the kernel delivers them even if this process dies next, so it never
// touches the store. Any other one (recipient offline, something for the
// recipient still ahead of it, a socket that took only part of it) is stored
// and committed first, and deleted only once its bytes have left for the
// recipient's kernel; a crash in between delivers it again rather than losing
// it. While anything stored for a recipient is still on its way, later
// messages to it take the same road, so none overtakes another.
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
#include "tazud/Senhas.h"
#include "tazud/Textos.h"

namespace tazu::tazud {

class TSessao;

struct TConfiguracao {
  bool embaralhar = true;
  std::size_t limiteDeLinha = 8192;         // bytes of one received line
  std::size_t limiteDeFila = 1 << 20;       // bytes waiting to be sent to one connection
  int conexoesPorEndereco = 16;
  int conexoesTotais = 20000;
  int errosTolerados = 20;                  // malformed lines before a connection is closed
  net::Milliseconds prazoDeIdentificacao{60'000};
  net::Milliseconds silencioAteSondar{90'000};   // then SBFF
  net::Milliseconds silencioAteDesligar{30'000};  // after SBFF
  int resultadosDeBusca = 50;
  int mensagensGuardadasPorUsuario = 1000;
  std::size_t senhasPendentes = 256;
  int paginaDeMensagens = 100;  // offline messages handed over per turn
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

  // One line per connection event, for the log.
  std::function<void(const std::string&)> AoRegistrar;
  // The store failed to commit: nothing of the turn was confirmed to anyone,
  // and the server cannot go on. The default handler ends the process.
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

  void Sujar(TSessao& s);
  void AgendarFimDoTurno();
  void FimDoTurno();
  void ApagarEntregues();
  // Hands what the session has queued to its socket.
  void Despachar(TSessao& s);
  void Descarregar(TSessao& s);
  enum class TEntregaDireta {
    NoKernel,  // every byte taken by the kernel
    Parcial,   // handed to the socket, but not all of it reached the kernel
    Recusada,  // something is ahead of it: it must go through the store
  };
  TEntregaDireta EntregarJa(TSessao& destino, const std::string& linha);
  void ConferirEntregas(TSessao& s, bool fechando);
  void Finalizar(TSessao& s);
  // A logged-in session leaves: the others see it go.
  void SairDaRede(TSessao& s);
  void Varrer();
  void EntregarAvisosNovos();

  // Presence.
  uint8_t StatusVisivel(Niu niu);
  void AnunciarTransicao(TSessao& s, uint8_t antes, uint8_t depois);
  std::string LinhaDeContato(Niu niu, std::string_view apelido, char lista);
  void EnviarLista(TSessao& s);

  // Login steps.
  void CompletarLogin(TSessao& s, const TUsuario& u, uint8_t status);
  void EntregarPaginaDeMensagens(TSessao& s);
  void EntregarAvisos(TSessao& s);
  void Notificar(Niu para, std::string_view codigo, TSessao& de, std::string_view texto1,
                 std::string_view texto2);
  std::string DataDeHoje() const;

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

  net::Runtime& runtime_;
  TBanco& banco_;
  TSenhas& senhas_;
  TConfiguracao config_;
  std::unique_ptr<net::TcpListener> listener_;
  std::unique_ptr<net::Timer> varredura_;
  std::unordered_map<uint64_t, std::unique_ptr<TSessao>> sessoes_;
  std::unordered_map<Niu, TSessao*> online_;
  std::unordered_map<std::string, int> porEndereco_;
  std::vector<uint64_t> sujas_;
  // Delivered offline items to delete: messages (true) and events (false).
  std::vector<std::pair<bool, int64_t>> entregues_;
  uint64_t proximaSessao_ = 1;
  bool fimAgendado_ = false;
  int64_t ultimoAviso_ = 0;
  std::shared_ptr<bool> vivo_ = std::make_shared<bool>(true);
};

}  // namespace tazu::tazud
