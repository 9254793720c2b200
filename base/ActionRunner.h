// Runs what a session asked for, in order. A session (the Tazu, Yahoo, MSN
// and ICQ ones) queues actions; its owner hands them over here after every
// input. A handler an action raises may call the owner again: the actions
// that call produces run before the rest of the batch, as if the handler had
// acted in place. The queues' storage is reused, so a warm loop allocates
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/Lifetime.h"

namespace tazu {

template <typename Action>
class ActionRunner {
 public:
  using Queue = std::vector<Action>;

  // `take(queue)` swaps the session's actions into `queue` (empty on entry);
  // `run(action)` carries one out. False when the owner was destroyed on the
  // way (by a handler): the caller must not touch it then.
  template <typename Take, typename Carry>
  bool Run(const Lifetime& owner, Take&& take, Carry&& run) {
    const Lifetime::Guard alive = owner.Watch();
    Queue queue;
    if (!spare_.empty()) {
      queue.swap(spare_.back());
      spare_.pop_back();
    }
    take(queue);
    for (Action& a : queue) {
      run(a);
      if (!alive) return false;
    }
    queue.clear();
    spare_.push_back(std::move(queue));
    return true;
  }

 private:
  std::vector<Queue> spare_;
};

// The socket's three actions, alike in every protocol; each session's action
// namespace names them Abrir, Enviar and Fechar.
namespace socket_actions {
struct Open {
  std::string host;
  uint16_t porta;
};
struct Send {
  std::string bytes;
};
struct Close {};
}  // namespace socket_actions

// Carries out a socket action on `connection` (Abrir, Enviar, Fechar);
// `openFailed()` runs when a socket could not even start. False for any other
// action: the owner raises those as its own events.
template <typename Action, typename Connection, typename OpenFailed>
bool CarrySocketAction(Action& a, Connection& connection, OpenFailed&& openFailed) {
  if (auto* open = std::get_if<socket_actions::Open>(&a)) {
    if (!connection.Abrir(open->host, open->porta)) openFailed();
  } else if (auto* send = std::get_if<socket_actions::Send>(&a)) {
    connection.Enviar(send->bytes);
  } else if (std::holds_alternative<socket_actions::Close>(a)) {
    connection.Fechar();
  } else {
    return false;
  }
  return true;
}

}  // namespace tazu
