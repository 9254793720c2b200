// A Yahoo user that answers every message it gets with "eco: " and the text:
// the buddy the demo and the tests find online. It logs in over the runtime
// like any client (challenge answer included) and does nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/Runtime.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::simyahoo {

class TRoboEco {
 public:
  TRoboEco(net::Runtime& runtime, std::string id, std::string senha);
  void Conectar(const std::string& host, uint16_t porta);
  bool Logado() const { return logado_; }
  int Respondidas() const { return respondidas_; }

  std::function<void(const std::string& linha)> AoRegistrar;

 private:
  void Tratar(const yahoo::TYahooPacket& p);
  void Enviar(const yahoo::TYahooPacket& p);
  void Registrar(const std::string& linha);

  std::unique_ptr<net::TcpSocket> socket_;
  yahoo::TLeitorYmsg leitor_;
  yahoo::TYahooPacket lido_;
  std::string id_, senha_;
  uint32_t sessao_ = 0;
  bool logado_ = false;
  int respondidas_ = 0;
};

}  // namespace tazu::simyahoo
