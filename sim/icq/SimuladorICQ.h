// An OSCAR server for tests and the demo: the authorisation server (roasted
// password, bad password, too many logins), the session server (set-up,
// presence, messages on channels 1, 2 and 4 with acknowledgements, offline
// messages, user information and searches, the server-side list, and
// authorisation between users) and a front end for the ICQ HTTP gateway.
//
// It runs on any net::Runtime: tests drive it on the fake runtime in virtual
// time, tazu-sim-icq on the epoll loop. Every SNAC read is one log line; a
// frame that cannot be read is a log line and a closed connection.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "icq/CodecFlap.h"
#include "icq/CodecMensagens.h"
#include "icq/CodecMeta.h"
#include "net/Runtime.h"

namespace tazu::sim::icq {

using tazu::icq::TItemLista;
namespace meta = tazu::icq::meta;

struct TContaSim {
  std::string uin;
  std::string senha;
  meta::TInfoGeral geral;  // geral.apelido is the nickname
  meta::TInfoMais mais;
  meta::TInfoTrabalho trabalho;
  std::string sobre;
  bool exigeAutorizacao = false;
  // Always online and answers every message with the same text.
  bool eco = false;
  std::vector<TItemLista> lista;  // the server-side list
  std::vector<meta::TMensagemOffline> offline;
  std::set<std::string> autorizaram;  // who granted this account authorisation
};

struct TOpcoesSim {
  std::string host = "127.0.0.1";
  uint16_t portaLogin = 0;  // 0: any free port
  uint16_t portaSessao = 0;
  bool gateway = true;
  uint16_t portaGateway = 0;
  // Logins of one account within a minute before the next is "too often".
  int maxLoginsPorMinuto = 10;
  // How long a gateway poll is held when there is nothing to send.
  net::Milliseconds esperaDoMonitor{10000};
  // One line per event, in UTF-8 (texts from the wire converted).
  std::function<void(const std::string& linha)> log;
};

class TSimuladorICQ {
 public:
  TSimuladorICQ(net::Runtime& runtime, TOpcoesSim opcoes);
  ~TSimuladorICQ();
  TSimuladorICQ(const TSimuladorICQ&) = delete;
  TSimuladorICQ& operator=(const TSimuladorICQ&) = delete;

  // Listens on the three ports; false with the reason when one cannot.
  bool Iniciar(std::string* erro = nullptr);
  uint16_t PortaLogin() const;
  uint16_t PortaSessao() const;
  uint16_t PortaGateway() const;

  TContaSim& AdicionarConta(const std::string& uin, const std::string& senha,
                            const std::string& apelido);
  TContaSim* Conta(const std::string& uin);
  // Adds `contato` to the server-side list of `uin`, in the named group
  // (created when missing).
  void AdicionarAoGrupo(const std::string& uin, const std::string& contato,
                        const std::string& apelido, const std::string& grupo);
  // Whether the account has a session that finished its set-up.
  bool Online(const std::string& uin) const;
  std::size_t Conexoes() const;

 private:
  struct TConexao;
  struct TGateway;
  friend struct TGateway;
  struct TRegraSim;

  void Aceitar(std::unique_ptr<net::TcpSocket> socket, bool sessao);
  void Dados(TConexao& c, std::string_view dados);
  void Quadro(TConexao& c, uint8_t canal, std::string_view dados);
  void Fechada(TConexao& c);
  void Derrubar(TConexao& c, const std::string& motivo);
  void Enviar(TConexao& c, uint8_t canal, const std::string& dados);
  void Despachar(TConexao& c);
  void EnviarSnac(TConexao& c, const std::string& snac);
  void Log(const std::string& linha);
  void Recolher();

  // Authorisation server.
  void Login(TConexao& c, std::string_view dados);
  void Cookie(TConexao& c, std::string_view dados);
  bool LoginFrequente(const std::string& uin);

  // Session server (SessaoSimulada.cpp).
  void Snac(TConexao& c, std::string_view dados);
  void Pronto(TConexao& c, const tazu::icq::TSnac& s);
  void StatusNovo(TConexao& c, const tazu::icq::TSnac& s);
  void Contatos(TConexao& c, const tazu::icq::TSnac& s);
  void Visibilidade(TConexao& c, const tazu::icq::TSnac& s);
  void Mensagem(TConexao& c, const tazu::icq::TSnac& s);
  void Confirmacao(TConexao& c, const tazu::icq::TSnac& s);
  void MensagemParaEco(TConexao& de, const TContaSim& eco, const tazu::icq::TMensagemEnviada& m);
  bool VisivelPara(const TConexao& u, const std::string& observador) const;
  void AnunciarA(TConexao& observador, const std::string& uin);
  void AnunciarATodos(const std::string& uin);
  TConexao* Sessao(const std::string& uin);

  // Server-side list and authorisation (ListaSimulada.cpp).
  void PedirLista(TConexao& c, const tazu::icq::TSnac& s);
  void Item(TConexao& c, const tazu::icq::TSnac& s);
  uint16_t Adicionar(TContaSim& dono, const TItemLista& item);
  uint16_t Atualizar(TContaSim& dono, const TItemLista& item);
  uint16_t Apagar(TContaSim& dono, const TItemLista& item);
  void PedidoAutorizacao(TConexao& c, const tazu::icq::TSnac& s);
  void RespostaAutorizacao(TConexao& c, const tazu::icq::TSnac& s);

  // Meta requests (MetaSimulada.cpp).
  void Meta(TConexao& c, const tazu::icq::TSnac& s);
  void Informacoes(TConexao& c, const meta::TMeta& m);
  void Buscar(TConexao& c, const meta::TMeta& m, const meta::TPedidoInfo& p);

  net::Runtime& runtime_;
  TOpcoesSim opcoes_;
  std::unique_ptr<net::TcpListener> login_, sessao_;
  std::unique_ptr<TGateway> gateway_;
  std::map<std::string, TContaSim> contas_;
  std::vector<std::unique_ptr<TConexao>> conexoes_;
  std::map<std::string, std::string> cookies_;  // cookie → UIN
  std::map<std::string, std::vector<net::TimePoint>> logins_;
  uint32_t proximoCookie_ = 1;
  bool recolhendo_ = false;
};

}  // namespace tazu::sim::icq
