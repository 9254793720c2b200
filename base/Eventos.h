// Raising an optional event: only when a handler is assigned, and through a
// copy, so a handler may reassign or clear the event (or destroy its owner)
// while it runs.
#pragma once

#include <functional>
#include <utility>

namespace tazu {

template <typename R, typename... P, typename... A>
void Disparar(const std::function<R(P...)>& evento, A&&... argumentos) {
  if (!evento) return;
  const std::function<R(P...)> copia = evento;
  copia(std::forward<A>(argumentos)...);
}

}  // namespace tazu
