// The Tazu session's connection: a net::Link (socket, generation, deadline
// timer) and the Tazu line framing. It decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/ProtocoloTazu.h"
#include "net/Link.h"

namespace tazu {

class TConexaoTazu {
 public:
  // Longest line kept while waiting for its end.
  static constexpr std::size_t kLimiteDeLinha = 1 << 20;

  explicit TConexaoTazu(net::Runtime& runtime);

  // False when the attempt cannot even start.
  bool Abrir(const std::string& host, uint16_t porta) { return link_.Open(host, porta); }
  void Enviar(std::string_view bytes) { link_.Send(bytes); }
  void Fechar() { link_.Close(); }
  void ArmarPrazo(std::optional<net::TimePoint> prazo) { link_.ArmDeadline(prazo); }
  std::string EnderecoLocal() const { return link_.LocalAddress(); }
  uint16_t PortaLocal() const { return link_.LocalPort(); }

  std::function<void()> aoConectar;
  // Each raw line of a read, then the end of the read. Lines stop coming when
  // a handler closes or reopens the connection, or destroys its owner.
  std::function<void(std::string_view bruta)> aoLinha;
  std::function<void()> aoLinhaLonga;
  std::function<void()> aoFimDaLeitura;
  std::function<void()> aoFechar;
  std::function<void(const std::string& mensagem)> aoFalhar;
  std::function<void()> aoPrazo;

 private:
  void AoDados(std::string_view dados);

  net::Link link_;
  TLeitorDeLinhas leitor_{kLimiteDeLinha};
};

}  // namespace tazu
