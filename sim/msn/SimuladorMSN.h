// An MSNP7 server, good enough to host test accounts: a dispatch server that
// sends every login on to the notification server (XFR ... NS); the
// notification server (MD5 login, presence, the forward, allow, block and
// reverse lists, ADD and REM with their error replies, periodic challenges,
// switchboard tickets, invitations); and the switchboard (calls, answers,
// messages relayed with ACK or NAK, typing notices). Accounts may be echo
// bots: always signed in, they join any call and answer every text.
//
// It runs on any net::Runtime (the fake one in tests, epoll in the
// tazu-sim-msn program). One log line per command received; input it cannot
// read closes that connection with a log line.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "msn/CodecMSN.h"
#include "net/Runtime.h"

namespace tazu::sim::msn {

struct TContaSim {
  std::string email;
  std::string senha;
  std::string apelido;  // UTF-8, as it travels (URL-encoded)
};

struct TConfigSimMSN {
  std::string host = "127.0.0.1";
  uint16_t portaDespacho = 1863;  // 0: any free port, for each of the three
  uint16_t portaNotificacao = 0;
  uint16_t portaSwitchboard = 0;
  std::vector<TContaSim> contas;
  // Owner → contact: on the owner's forward and allow lists (and the owner on
  // the contact's reverse list).
  std::vector<std::pair<std::string, std::string>> contatos;
  std::vector<std::pair<std::string, std::string>> bloqueios;  // owner → blocked
  std::vector<std::string> robos;               // accounts signed in by the simulator
  net::Milliseconds intervaloDeDesafio{60000};  // 0: no challenges
  uint32_t semente = 1;  // hashes, cookies and challenges repeat run after run
};

class TSimuladorMSN {
 public:
  using TLog = std::function<void(const std::string& linha)>;

  TSimuladorMSN(net::Runtime& runtime, TConfigSimMSN config, TLog log);
  ~TSimuladorMSN();
  TSimuladorMSN(const TSimuladorMSN&) = delete;
  TSimuladorMSN& operator=(const TSimuladorMSN&) = delete;

  // Opens the three listeners; false (with the reason) when one fails.
  bool Iniciar(std::string* erro = nullptr);
  uint16_t PortaDespacho() const;
  uint16_t PortaNotificacao() const;
  uint16_t PortaSwitchboard() const;
  // The account's state as others see it ("FLN" when signed out).
  std::string Estado(const std::string& email) const;
  std::size_t Conexoes() const { return conexoes_.size(); }

 private:
  enum class Papel { Despacho, Notificacao, Switchboard };
  struct TUsuario;
  struct TConexao;
  struct TSessao;
  struct TConvite {
    std::string email, cookie;
    uint32_t sessao;  // 0: a ticket for a call of our own (XFR SB)
  };
  struct TComando;  // the unit being handled, split
  using TRegra = void (TSimuladorMSN::*)(TConexao&, const TComando&);

  // Connections (SimuladorMSN.cpp).
  void Aceitar(Papel papel, std::unique_ptr<net::TcpSocket> socket);
  void Recebido(TConexao& c, const ::tazu::msn::TQuadroMSN& q);
  void Enviar(TConexao& c, const std::string& bytes);
  void Fechar(TConexao& c, const std::string& motivo);
  void Malformado(TConexao& c, const std::string& motivo);
  void Saiu(TConexao& c);
  void Log(const TConexao& c, const std::string& texto);
  std::string Aleatorio(int digitos);
  TUsuario* Usuario(const std::string& email);
  bool LerTrid(TConexao& c, const TComando& k, uint32_t& trid);

  // The dispatch and notification servers (NotificacaoSim.cpp).
  static TRegra RegraDaNotificacao(const std::string& comando);
  void Versao(TConexao& c, const TComando& k);
  void Informacao(TConexao& c, const TComando& k);
  void Autenticar(TConexao& c, const TComando& k);
  void MudancaDeEstado(TConexao& c, const TComando& k);
  void Lista(TConexao& c, const TComando& k);
  void Adicao(TConexao& c, const TComando& k);
  void Remocao(TConexao& c, const TComando& k);
  void Transferencia(TConexao& c, const TComando& k);
  void RespostaAoDesafio(TConexao& c, const TComando& k);
  void Sinal(TConexao& c, const TComando& k);
  void Sair(TConexao& c, const TComando& k);
  void Entrou(TConexao& c, TUsuario& u);
  void AnunciarPresenca(TUsuario& u);
  void Desafiar(TConexao& c);
  bool Visivel(const TUsuario& u, const TUsuario& para) const;
  // The forward, allow or block list a command names; none for any other name.
  static std::set<std::string>* Lista(TUsuario& u, std::string_view nome);
  std::string Presenca(const TUsuario& u) const;

  // The switchboard and the echo bots (SwitchboardSim.cpp).
  static TRegra RegraDoSwitchboard(const std::string& comando);
  void UsuarioSB(TConexao& c, const TComando& k);
  void Chamada(TConexao& c, const TComando& k);
  void Atender(TConexao& c, const TComando& k);
  void Mensagem(TConexao& c, const TComando& k);
  void SairSB(TConexao& c, const TComando& k);
  void RoboResponde(TSessao& s, const std::string& robo, TConexao& para, std::string_view payload);
  void DeixarSessao(TConexao& c);

  net::Runtime& runtime_;
  TConfigSimMSN config_;
  TLog log_;
  std::unique_ptr<net::TcpListener> despacho_, notificacao_, switchboard_;
  std::map<std::string, std::unique_ptr<TUsuario>> usuarios_;
  std::map<uint64_t, std::unique_ptr<TConexao>> conexoes_;
  std::map<uint32_t, std::unique_ptr<TSessao>> sessoes_;
  std::vector<TConvite> convites_;
  uint64_t proximaConexao_ = 1;
  std::mt19937 acaso_;
  bool destruindo_ = false;
};

}  // namespace tazu::sim::msn
