// What the server would like to know of a socket beyond net::TcpSocket: how
// many bytes it has accepted but not yet handed to the kernel. Sockets that
// cannot tell (the fake runtime's) count as always drained.
#pragma once

#include <cstddef>

namespace tazu::tazud {

class ISaidaMedida {
 public:
  virtual ~ISaidaMedida() = default;
  virtual std::size_t BytesNaFila() const = 0;
};

}  // namespace tazu::tazud
