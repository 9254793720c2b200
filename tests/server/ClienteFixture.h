// The Tazu client's tests: the shared rig (a client on the fake runtime, its
// server's end, every event recorded) as a GoogleTest fixture.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TazuClientRig.h"

namespace tazu::test {

using Evs = std::vector<std::string>;
using Linhas = std::vector<std::string>;

class ClienteFixture : public ::testing::Test, public TazuClientRig {
 protected:
  void Entrar(uint8_t chave = 0) {
    std::string porque;
    ASSERT_TRUE(LogIn(chave, &porque)) << porque;
  }
  // Tazu lines from the server, in transcript notation, as one read.
  void Servidor(std::string_view linhas) { ServerSends(linhas); }
  std::string Enviado() { return TakeSent(); }
  Linhas LinhasEnviadas() { return TakeSentLines(); }
  Evs Eventos() { return TakeEvents(); }
};

}  // namespace tazu::test
