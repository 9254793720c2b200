#include "shell/SystemTray.h"

namespace tazu {

TSystemTray::TSystemTray(QObject* dono) : QObject(dono), icone_(this) {
  timer_.setInterval(IntervaloDePiscagem);
  connect(&timer_, &QTimer::timeout, this, [this] { Piscar(); });
  connect(&icone_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::DoubleClick && OnDblClick) {
      const auto acao = OnDblClick;
      acao();
    }
  });
}

void TSystemTray::Mostrar(int i) {
  mostrada_ = i;
  const bool existe = i >= 0 && static_cast<std::size_t>(i) < ImageList.size();
  icone_.setIcon(existe ? ImageList[static_cast<std::size_t>(i)] : QIcon());
}

void TSystemTray::DefinirImagem(int i) {
  if (i < 0) {
    if (mostrado_) icone_.hide();
    mostrado_ = false;
    return;
  }
  // While the blink picture is up, a request for that same picture only
  // refreshes the screen: the blinking still comes back to the one before.
  Mostrar(i);
  if (!mostrado_) {
    icone_.setToolTip(hint_);
    icone_.show();
    mostrado_ = true;
  }
  if (!(fase_ && i == ImagemPiscada)) atual_ = i;
}

void TSystemTray::DefinirPiscando(bool piscando) {
  piscando_ = piscando;
  if (piscando) {
    if (!timer_.isActive()) timer_.start();
    return;
  }
  timer_.stop();
  fase_ = false;
  if (mostrado_) Mostrar(atual_);
}

void TSystemTray::DefinirHint(const QString& hint) {
  hint_ = hint;
  icone_.setToolTip(hint);
}

void TSystemTray::Piscar() {
  if (!mostrado_) return;
  fase_ = !fase_;
  Mostrar(fase_ ? ImagemPiscada : atual_);
}

}  // namespace tazu
