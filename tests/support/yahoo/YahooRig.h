// Canned openers for the Yahoo tests, benchmarks and fuzz targets:
//  - ClienteYahooRig: a TClienteYahoo on the fake runtime with the far end of
//    its connection played by the test, every event recorded in order;
//  - RedeYahoo: the simulated Yahoo server on a fake runtime, wired to every
//    connection the product opens to it (virtual time, no sockets);
//  - a recorder that describes the client's events as text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Comunicadores.h"
#include "net/testing/FakeRuntime.h"
#include "sim/yahoo/ServidorYahoo.h"
#include "tests/support/FakeBridge.h"
#include "tests/support/yahoo/YmsgDialect.h"
#include "yahoo/ClienteYahoo.h"

namespace tazu::test {

// Every event of the client, as one line of text each, e.g.
// AoFalharConexao(LoginStatus=100, URL="").
void ObservarClienteYahoo(yahoo::TClienteYahoo& c, std::vector<std::string>& eventos);

class ClienteYahooRig {
 public:
  static constexpr uint32_t kSessao = 0x1234;
  // A 16-byte-plus seed whose answer the fixed vectors of the tests know.
  static constexpr const char* kSemente = "ABCDEFGHIJKLMNOPQRSTUVWX";

  // Server 127.0.0.1:5050, account "ana", password "segredo".
  explicit ClienteYahooRig(bool recordEvents = true);

  // Conectar(1), 200 ms, accepted: the challenge request is left unread.
  net::FakePeer& Connect();
  // Connects and logs in; `depois` are server lines sent after the logon
  // packet, in the same read. Nothing of the login is left unread. False,
  // with the reason, when the client strayed from the login transcript.
  bool LogIn(std::string_view depois = {}, std::string* why = nullptr);

  // Packets in transcript notation, all in one read, session id kSessao.
  void ServerSends(std::string_view lines);
  void ServerSendsRaw(std::string_view bytes);
  // What the client sent and the test has not taken, one packet a line.
  std::string TakeSent();
  std::vector<std::string> TakeEvents();

  net::FakeRuntime rt;
  yahoo::TClienteYahoo cliente{rt};
  net::FakePeer* peer = nullptr;
  std::vector<std::string> events;
};

// The simulator on a fake runtime, at 127.0.0.1:porta.
class RedeYahoo {
 public:
  explicit RedeYahoo(net::FakeRuntime& rt, uint16_t porta = 5050);

  // An account line of the simulator (throws std::invalid_argument).
  void Conta(std::string_view linha);
  // Runs the loop until nothing moves, carrying bytes and closes between the
  // product's connections to the server and the server's ends.
  void Rodar();
  // Time passes, in small steps so new connections are carried as they open.
  void Avancar(net::Milliseconds tempo);

  uint16_t Porta() const { return porta_; }
  // The product's end of the n-th connection to the server (from 0): what is
  // written there reaches the product as if the server had sent it.
  net::FakePeer& LadoDoCliente(std::size_t n) { return ponte_.ClientEnd(n); }
  simyahoo::TContasSim contas;
  simyahoo::TServidorYahoo servidor;
  std::vector<std::string> log;

 private:
  uint16_t porta_;
  FakeBridge ponte_;
};

}  // namespace tazu::test
