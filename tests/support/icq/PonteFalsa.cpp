#include "tests/support/icq/PonteFalsa.h"

#include <algorithm>

namespace tazu::test {

bool PonteFalsa::JuntarNovas() {
  bool mexeu = false;
  while (vistos_ < rt_.PeerCount()) {
    net::FakePeer& p = rt_.Peer(vistos_++);
    if (discados_.count(&p) || p.GetState() != net::FakePeer::State::Connecting) continue;
    mexeu = true;
    if (!rt_.IsListening(p.Port())) {
      p.Refuse();
      continue;
    }
    // The program sees itself on loopback, as with a real simulator.
    p.SetLocalAddress("127.0.0.1", static_cast<uint16_t>(40000 + pares_.size() % 20000));
    p.Accept();
    net::FakePeer& s = rt_.Dial(p.Port());
    discados_.insert(&s);
    pares_.push_back({&p, &s});
  }
  return mexeu;
}

bool PonteFalsa::Cruzar() {
  bool mexeu = false;
  for (TPar& par : pares_) {
    for (auto [de, para] :
         {std::pair{par.cliente, par.servidor}, std::pair{par.servidor, par.cliente}}) {
      if (de->Read().empty()) continue;
      const std::string bytes = de->Take();
      if (para->IsOpen()) para->Write(bytes);
      mexeu = true;
    }
    if (par.cliente->ClientClosed() && par.servidor->IsOpen()) {
      par.servidor->Close();
      mexeu = true;
    }
    if (par.servidor->ClientClosed() && par.cliente->IsOpen()) {
      par.cliente->Close();
      mexeu = true;
    }
  }
  std::erase_if(pares_,
                [](const TPar& p) { return !p.cliente->IsOpen() && !p.servidor->IsOpen(); });
  return mexeu;
}

void PonteFalsa::Girar() {
  for (int volta = 0; volta < 100000; ++volta) {
    rt_.RunPending();
    const bool novas = JuntarNovas();
    const bool cruzou = Cruzar();
    if (!novas && !cruzou) return;
  }
}

void PonteFalsa::Avancar(net::Milliseconds tempo, net::Milliseconds passo) {
  Girar();
  while (tempo > net::Milliseconds(0)) {
    const net::Milliseconds agora = std::min(tempo, passo);
    rt_.Advance(agora);
    tempo -= agora;
    Girar();
  }
}

}  // namespace tazu::test
