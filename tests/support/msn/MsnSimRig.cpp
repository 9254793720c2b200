#include "tests/support/msn/MsnSimRig.h"

#include <stdexcept>

namespace tazu::test {

MsnSimRig::MsnSimRig(sim::msn::TConfigSimMSN config) {
  sim = std::make_unique<sim::msn::TSimuladorMSN>(
      rt, std::move(config), [this](const std::string& l) { log.push_back(l); });
  std::string error;
  if (!sim->Iniciar(&error)) throw std::runtime_error("the simulator does not listen: " + error);
}

bool MsnSimRig::Logged(const std::string& piece) const {
  for (const std::string& l : log)
    if (l.find(piece) != std::string::npos) return true;
  return false;
}

}  // namespace tazu::test
