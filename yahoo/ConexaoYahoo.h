// The Yahoo session's link to the net/ runtime: one socket, the packets cut
// from what it reads, and one timer for the session's next deadline. It
// decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "net/Runtime.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::yahoo {

class TConexaoYahoo {
 public:
  explicit TConexaoYahoo(net::Runtime& runtime);

  // False when the attempt cannot even start.
  bool Abrir(const std::string& host, uint16_t porta);
  void Enviar(std::string_view bytes);
  void Fechar();
  void ArmarPrazo(std::optional<net::TimePoint> prazo);

  std::function<void()> aoConectar;
  // Each whole packet. Packets stop coming when a handler closes or reopens
  // the connection, or destroys its owner.
  std::function<void(std::string_view pacote)> aoPacote;
  // A header that cannot start a packet; the connection is already closed.
  std::function<void()> aoEnquadramentoInvalido;
  std::function<void()> aoFechar;
  std::function<void(net::SocketError erro)> aoFalhar;
  std::function<void()> aoPrazo;

 private:
  void AoDados(std::string_view dados);
  void Encerrada();

  net::Runtime& runtime_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::unique_ptr<net::Timer> timer_;
  TLeitorYmsg leitor_;
  uint64_t geracao_ = 0;                  // one per connection: a read stops when it changes
  std::optional<net::TimePoint> armado_;  // the deadline the timer counts to
  Lifetime vida_;
};

}  // namespace tazu::yahoo
