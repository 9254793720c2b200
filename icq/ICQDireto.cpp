#include "icq/ICQDireto.h"

namespace tazu::icq {

bool TICQDireto::Ouvir(const std::string& endereco) {
  if (listener_) return true;
  auto l = runtime_.CreateTcpListener();
  // Whoever connects is let go at once: the socket is dropped with the call.
  l->onAccept = [](std::unique_ptr<net::TcpSocket>) {};
  if (endereco.empty() || !l->Listen(endereco, 0)) return false;
  listener_ = std::move(l);
  return true;
}

const TEnderecoDireto* TICQDireto::Endereco(const std::string& uin) const {
  const auto e = contatos_.find(uin);
  return e == contatos_.end() ? nullptr : &e->second;
}

}  // namespace tazu::icq
