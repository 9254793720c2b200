// The engine's session against the simulator on the fake runtime.
#include <gtest/gtest.h>

#include "tests/support/Expect.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {
namespace {

TEST(SessaoICQ, EntraNoSimulador) {
  ICQRig rig;
  std::string porque;
  ASSERT_TRUE(rig.Entrar(0, &porque)) << porque;
  EXPECT_EQ(rig.Eventos(), (std::vector<std::string>{"OnLogin()"}));
}

}  // namespace
}  // namespace tazu::test
