// The splash: the skin's opening picture, shown while the program builds its
// objects (on the first tick of its timer) and closed two seconds later.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

namespace tazu {

class TFrmAbertura : public QDialog {
 public:
  static constexpr int TempoAberta = 2000;  // ms

  TFrmAbertura();

  // Runs on the first tick, once the splash is on screen.
  std::function<void()> AoIniciar;
  // Runs as the splash closes.
  std::function<void()> AoFechar;

 private:
  QTimer timer_;
  QTimer timerFechar_;
};

}  // namespace tazu
