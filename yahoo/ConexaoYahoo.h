// The Yahoo session's connection: a net::Link (socket, generation, deadline
// timer) and the YMSG framing. It decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/Link.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::yahoo {

class TConexaoYahoo {
 public:
  explicit TConexaoYahoo(net::Runtime& runtime);

  // False when the attempt cannot even start.
  bool Abrir(const std::string& host, uint16_t porta) { return link_.Open(host, porta); }
  void Enviar(std::string_view bytes) { link_.Send(bytes); }
  void Fechar() { link_.Close(); }
  void ArmarPrazo(std::optional<net::TimePoint> prazo) { link_.ArmDeadline(prazo); }

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

  net::Link link_;
  TLeitorYmsg leitor_;
};

}  // namespace tazu::yahoo
