// The Tazu session's link to the net/ runtime: one socket, the lines read from
// it, and one timer for the session's next deadline. It decides nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "core/ProtocoloTazu.h"
#include "net/Runtime.h"

namespace tazu {

class TConexaoTazu {
 public:
  // Longest line kept while waiting for its end.
  static constexpr std::size_t kLimiteDeLinha = 1 << 20;

  explicit TConexaoTazu(net::Runtime& runtime);

  // False when the attempt cannot even start.
  bool Abrir(const std::string& host, uint16_t porta);
  void Enviar(std::string_view bytes);
  void Fechar();
  void ArmarPrazo(std::optional<net::TimePoint> prazo);
  std::string EnderecoLocal() const { return socket_->LocalAddress(); }
  uint16_t PortaLocal() const { return socket_->LocalPort(); }

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
  void Encerrada();

  net::Runtime& runtime_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::unique_ptr<net::Timer> timer_;
  TLeitorDeLinhas leitor_{kLimiteDeLinha};
  uint64_t geracao_ = 0;
  std::optional<net::TimePoint> armado_;  // the deadline the timer counts to  // one per connection: a read stops when it changes
  Lifetime vida_;
};

}  // namespace tazu
