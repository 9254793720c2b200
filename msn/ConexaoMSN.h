// One MSN connection (to the notification server or to a switchboard) on the
// net/ runtime: the socket, the stream cut into command lines and payloads
// (CodecMSN's reader, within its bounds), and one timer for the next deadline
// of whoever owns it. It decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "msn/CodecMSN.h"
#include "net/Link.h"

namespace tazu::msn {

// The number a socket failure is reported with (the Winsock numbers the
// program's users know: 10061 refused, 11001 host not found, ...).
int CodigoDeErro(net::SocketError erro);

class TConexaoMSN {
 public:
  explicit TConexaoMSN(net::Runtime& runtime);

  // False when the attempt cannot even start.
  bool Abrir(const std::string& host, uint16_t porta) { return link_.Open(host, porta); }
  void Enviar(std::string_view bytes) { link_.Send(bytes); }
  // Closes without any report.
  void Fechar() { link_.Close(); }
  bool Aberta() const { return link_.IsOpen(); }
  void ArmarPrazo(std::optional<net::TimePoint> prazo) { link_.ArmDeadline(prazo); }

  std::function<void()> aoConectar;
  // Each unit of a read. Units stop coming when a handler closes or reopens
  // the connection, or destroys its owner.
  std::function<void(const TQuadroMSN& quadro)> aoQuadro;
  std::function<void()> aoFechar;
  // A socket error (CodigoDeErro), or a stream that broke its bounds (the
  // connection is closed by then).
  std::function<void(int erro, const std::string& mensagem)> aoFalhar;
  std::function<void()> aoPrazo;

 private:
  void AoDados(std::string_view dados);

  net::Link link_;
  TLeitorMSN leitor_;
};

}  // namespace tazu::msn
