// A Tazu client on the fake runtime, with its far end and every event it
// raises recorded in order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "server/ObservadorDeEventos.h"
#include "server/UClientePCTazu.h"

namespace tazu::test {

inline const std::string S = "\xA7";  // the field separator

class ClienteFixture : public ::testing::Test {
 protected:
  ClienteFixture() {
    cliente.IPServidor = "127.0.0.1";
    cliente.PortaServidor = 7498;
    cliente.Senha = "segredo";
    ObservarEventos(cliente, [this](const TEventoDoCliente& e) {
      eventos.push_back(DescreverEvento(e));
    });
  }

  // Connects (the far end accepts, from 127.0.0.1:5555), leaving the events of
  // the connection unread.
  net::FakePeer& Conectar() {
    cliente.Conectar();
    rt.RunPending();
    net::FakePeer& p = rt.LastPeer();
    p.SetLocalAddress("127.0.0.1", 5555);
    p.Accept();
    rt.RunPending();
    peer = &p;
    return p;
  }

  // Logs in unscrambled as NIU 1234 ("Ana"), with nothing of it left unread.
  void Entrar(uint8_t chave = 0) {
    Conectar();
    cliente.Identificar(1);
    Servidor("[RVER]" + S + "1234" + S + "0" + S + std::to_string(chave) + "\r\n");
    TCriptografia c;
    c.Chave = chave;
    Servidor(Linha(c, "[RCCA]") + Linha(c, "[RUAC]" + S + "0" + S + "Ana"));
    Enviado();
    Eventos();
  }

  static std::string Linha(const TCriptografia& c, const std::string& texto) {
    return (c.Chave ? c.Embaralhar(texto) : texto) + "\r\n";
  }

  // What the server sends, as one read.
  void Servidor(const std::string& bytes) {
    peer->Write(bytes);
    rt.RunPending();
  }
  std::string Enviado() { return peer->Take(); }
  std::vector<std::string> Eventos() {
    std::vector<std::string> e;
    e.swap(eventos);
    return e;
  }

  net::FakeRuntime rt;
  TClientePCTazu cliente{rt};
  net::FakePeer* peer = nullptr;
  std::vector<std::string> eventos;
};

using Evs = std::vector<std::string>;

}  // namespace tazu::test
