// Turning Qt's event loop in tests that use real sockets: until a condition
// holds or a generous deadline passes, never a fixed sleep.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace tazu::test {

inline bool EsperarAte(const std::function<bool()>& condicao, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!condicao() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return condicao();
}

}  // namespace tazu::test
