// The least of the peer-to-peer layer: a listener whose port goes into the
// status frame, and the addresses, ports and cookies contacts announce in
// their presence. Nothing is spoken over it: a contact that connects is
// hung up on.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "net/Runtime.h"

namespace tazu::icq {

struct TEnderecoDireto {
  uint32_t ipInterno = 0;
  uint32_t ipExterno = 0;
  uint32_t porta = 0;
  uint32_t cookie = 0;
};

class TICQDireto {
 public:
  TICQDireto(net::Runtime& runtime, uint32_t uin) : runtime_(runtime), uin_(uin) {}

  // Listens on `endereco` (the address the session's connection goes out
  // from, which is the one announced), on a free port. False when it cannot.
  bool Ouvir(const std::string& endereco);
  bool Ouvindo() const { return listener_ != nullptr; }
  uint16_t Porta() const { return listener_ ? listener_->Port() : 0; }
  uint32_t Uin() const { return uin_; }

  void Contato(const std::string& uin, const TEnderecoDireto& endereco) {
    contatos_[uin] = endereco;
  }
  // The contact's announced address; null when it gave none.
  const TEnderecoDireto* Endereco(const std::string& uin) const;

 private:
  net::Runtime& runtime_;
  uint32_t uin_;
  std::unique_ptr<net::TcpListener> listener_;
  std::map<std::string, TEnderecoDireto> contatos_;
};

}  // namespace tazu::icq
