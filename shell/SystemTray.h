// The notification-area icon: one picture of its image list at a time, a hint,
// an optional blinking between the current picture and a second one, the
// popup menu on the right button and an action on double click.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <vector>

namespace tazu {

class TSystemTray : public QObject {
 public:
  static constexpr int IntervaloDePiscagem = 500;  // ms

  explicit TSystemTray(QObject* dono);

  std::vector<QIcon> ImageList;
  int ImagemPiscada = 0;  // shown on the blink phase
  std::function<void()> OnDblClick;

  // i >= 0 shows picture i (adding the icon when it is not shown yet); -1
  // removes the icon.
  void DefinirImagem(int i);
  void DefinirPiscando(bool piscando);
  void DefinirHint(const QString& hint);
  // The menu of the right button.
  void DefinirMenu(QMenu* menu) { icone_.setContextMenu(menu); }

  bool Piscando() const { return piscando_; }
  QString Hint() const { return hint_; }
  bool Mostrado() const { return mostrado_; }
  // The picture the blinking comes back to.
  int ImagemAtual() const { return atual_; }
  // The picture on screen right now.
  int ImagemMostrada() const { return mostrada_; }
  QSystemTrayIcon& Icone() { return icone_; }

 private:
  void Mostrar(int i);
  void Piscar();

  QSystemTrayIcon icone_;
  QTimer timer_;
  QString hint_;
  bool piscando_ = false;
  bool fase_ = false;
  bool mostrado_ = false;
  int atual_ = -1;
  int mostrada_ = -1;
};

}  // namespace tazu
