// A small Yahoo login server (YMSG) for tests and the demo, on any net/
// runtime: the challenge with a fresh random seed and both answers checked,
// the buddy list with groups, presence of buddies as they log on, change
// status and log off, messages both ways (kept for an offline recipient and
// delivered at its next login), adding and removing buddies (an unknown
// buddy and a refusal included), keep-alive.
//
// One log line per packet read or written. A client that sends what cannot
// be read, or what makes no sense at that point, gets a log line and a
// closed connection.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "net/Runtime.h"
#include "sim/yahoo/ContasSim.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::simyahoo {

class TServidorYahoo {
 public:
  // `semente` fixes the random seeds and session ids (0: from the system).
  TServidorYahoo(net::Runtime& runtime, TContasSim& contas, uint32_t semente = 0);
  ~TServidorYahoo();

  bool Escutar(const std::string& host, uint16_t porta, std::string& erro);
  uint16_t Porta() const;
  std::size_t Conexoes() const { return sessoes_.size(); }
  bool Online(std::string_view id) const;

  std::function<void(const std::string& linha)> AoRegistrar;

 private:
  using TPacote = yahoo::TYahooPacket;
  struct TSessao {
    enum class Estado { Inicio, Desafiado, Logado };
    int numero = 0;  // for the log
    std::unique_ptr<net::TcpSocket> socket;
    yahoo::TLeitorYmsg leitor;
    Estado estado = Estado::Inicio;
    std::string id;  // as the client wrote it
    TContaSim* conta = nullptr;
    std::string semente;
    uint32_t sessionId = 0;
    uint32_t status = yahoo::ymsg::Disponivel;
    bool ausente = false;
    std::string mensagem;
    bool fechada = false;
    TPacote lido;
  };

  void Aceitar(std::unique_ptr<net::TcpSocket> socket);
  void Ler(TSessao& s, std::string_view dados);
  bool Tratar(TSessao& s, const TPacote& p);
  bool PedidoDeLogin(TSessao& s, const TPacote& p);
  bool RespostaDoDesafio(TSessao& s, const TPacote& p);
  void Entrar(TSessao& s, uint32_t status);
  bool MudarStatus(TSessao& s, const TPacote& p);
  bool Mensagem(TSessao& s, const TPacote& p);
  bool Adicionar(TSessao& s, const TPacote& p);
  bool Remover(TSessao& s, const TPacote& p);
  void Enviar(TSessao& s, const TPacote& p);
  void Encerrar(TSessao& s, const std::string& motivo);
  void Esquecer(TSessao& s);

  // Presence as others see it: offline while invisible.
  bool Visivel(const TSessao& s) const;
  void AnunciarAosQueOVeem(const TSessao& s, uint16_t servico);
  void AdicionarPresenca(TPacote& p, const TSessao& s) const;
  TSessao* SessaoDe(std::string_view id);
  void Registrar(const TSessao& s, std::string_view sentido, const TPacote& p);
  void Registrar(const std::string& linha);

  net::Runtime& runtime_;
  TContasSim& contas_;
  std::mt19937 aleatorio_;
  std::unique_ptr<net::TcpListener> escuta_;
  std::list<std::unique_ptr<TSessao>> sessoes_;
  int proximoNumero_ = 1;
  Lifetime vida_;
};

}  // namespace tazu::simyahoo
