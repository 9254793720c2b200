// TICQNet: the engine's link to the net/ runtime. One connection at a time,
// made through the proxy settings of that moment; the stream cut into FLAPs
// (a length above 8192 or a first byte other than 0x2A closes it); one timer
// armed to the session's deadline. It decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "icq/CodecFlap.h"
#include "net/Link.h"
#include "net/proxy/ProxySocket.h"

namespace tazu::icq {

class TICQNet {
 public:
  explicit TICQNet(net::Runtime& runtime);

  // Closes the connection there is and opens one to host:port. False when
  // the attempt cannot even start.
  bool Conectar(const std::string& host, uint16_t porta, const net::proxy::Config& proxy);
  void Enviar(std::string_view quadro) { link_.Send(quadro); }
  void Fechar() { link_.Close(); }
  void ArmarPrazo(std::optional<net::TimePoint> prazo) { link_.ArmDeadline(prazo); }
  std::string EnderecoLocal() const { return link_.LocalAddress(); }

  std::function<void()> aoConectar;
  // A whole frame. Frames stop coming when a handler closes or reopens the
  // link, or destroys its owner.
  std::function<void(const TFlap& quadro)> aoQuadro;
  // The link is closed by now: the server hung up, or it failed (error type
  // and text).
  std::function<void()> aoDesconectar;
  std::function<void(int tipo, const std::string& texto)> aoErro;
  std::function<void()> aoPrazo;

 private:
  void AoDados(std::string_view dados);
  void AoErroDoSocket(net::SocketError erro, const std::string& mensagem);

  net::Runtime& runtime_;
  net::Link link_;
  TMontadorFlap montador_;
  bool conectado_ = false;
  bool conectadoAntes_ = false;  // as the connection that just ended was
};

}  // namespace tazu::icq
