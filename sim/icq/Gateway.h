// The simulator's ICQ HTTP gateway: an HTTP/1.0 front end that plays the
// HTTP proxy and the gateway behind it. "/hello" opens a gateway session,
// "/data" POSTs carry the client's packets (type 3: connect to host and port,
// type 5: bytes for that connection), "/monitor" GETs are held until the
// connection has something for the client (type 5) or ended (type 7).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "net/Runtime.h"
#include "sim/icq/SimuladorICQ.h"

namespace tazu::sim::icq {

struct TSimuladorICQ::TGateway {
  TGateway(TSimuladorICQ& sim, net::Runtime& runtime, net::Milliseconds espera)
      : sim_(sim), runtime_(runtime), espera_(espera) {}
  ~TGateway();

  bool Iniciar(const std::string& host, uint16_t porta, std::string* erro);
  uint16_t Porta() const { return listener_ ? listener_->Port() : 0; }

 private:
  struct TPedido {
    std::unique_ptr<net::TcpSocket> socket;
    std::string entrada;
    bool respondido = false;
  };
  struct TSessao {
    std::unique_ptr<net::TcpSocket> acima;  // the connection to the ICQ server
    std::string paraOCliente;               // gateway packets waiting for a poll
    uint64_t monitor = 0;                   // the poll being held, 0 when none
    std::unique_ptr<net::Timer> espera;
    bool fechada = false;
  };

  void Aceitar(std::unique_ptr<net::TcpSocket> socket);
  void Dados(uint64_t id, std::string_view dados);
  void Pedido(uint64_t id, const std::string& metodo, const std::string& caminho,
              const std::string& consulta, const std::string& corpo);
  void Hello(uint64_t id);
  void Monitor(uint64_t id, const std::string& sid);
  void Data(uint64_t id, const std::string& sid, const std::string& corpo);
  void Conectar(TSessao& s, const std::string& sid, std::string_view pacote);
  void Entregar(const std::string& sid);
  void Responder(uint64_t id, const std::string& corpo);
  void Encerrar(uint64_t id, const std::string& motivo);

  TSimuladorICQ& sim_;
  net::Runtime& runtime_;
  net::Milliseconds espera_;
  std::unique_ptr<net::TcpListener> listener_;
  std::map<uint64_t, TPedido> pedidos_;
  std::map<std::string, TSessao> sessoes_;
  uint64_t proximo_ = 1;
  uint32_t semente_ = 0x5EED1CE;
};

}  // namespace tazu::sim::icq
