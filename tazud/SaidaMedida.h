// What the server would like to know of a socket beyond net::TcpSocket: how
// many bytes it has accepted but not yet handed to the kernel, and how many
// the kernel has taken. Bytes the kernel has taken reach the peer even if this
// process dies right after; bytes still waiting here die with it. Sockets that
// cannot tell (the fake runtime's) count as handing everything over at once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tazu::tazud {

class ISaidaMedida {
 public:
  virtual ~ISaidaMedida() = default;
  virtual std::size_t BytesNaFila() const = 0;
  // Bytes of this connection the kernel has accepted since it opened. What a
  // failed connection dropped never counts.
  virtual uint64_t BytesNoKernel() const = 0;
};

}  // namespace tazu::tazud
