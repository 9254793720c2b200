// Turning Qt's event loop in tests that use real sockets: until a condition
// holds or a generous deadline passes, never a fixed sleep.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <string>

namespace tazu::test {

// The application object a test with real sockets needs, made from a name.
class AplicacaoDeTeste {
 public:
  explicit AplicacaoDeTeste(const char* nome) : nome_(nome), app_(argc_, argv_) {}

 private:
  std::string nome_;
  int argc_ = 1;
  char* argv_[2] = {nome_.data(), nullptr};
  QCoreApplication app_;
};

inline bool EsperarAte(const std::function<bool()>& condicao, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!condicao() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return condicao();
}

}  // namespace tazu::test
