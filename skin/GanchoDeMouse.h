// The mouse-hook convention of the skinned controls: a control watches the
// mouse of a host widget without being a widget itself. Several controls may
// share one host; each host has one dispatcher that hands every press, move
// and release to its controls in the order they were installed, so the last
// one installed has the last word (on the cursor, for instance). No control
// swallows an event: the host's own handlers see it too.
//
// Handlers run inside the host's event dispatch: a handler may close or hide
// the host (closing a window deletes it later), but must not delete it.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace tazu {

class TGanchoDeMouse : public QObject {
 public:
  explicit TGanchoDeMouse(QObject* dono) : QObject(dono) {}
  ~TGanchoDeMouse() override;

  QWidget* Hospedeiro() const { return hospedeiro_; }

 protected:
  // Starts watching `hospedeiro`; moves are reported without a button held.
  void Vigiar(QWidget* hospedeiro);

  // Positions are in the host's coordinates.
  virtual void AoPressionar(QPoint, Qt::MouseButton) {}
  virtual void AoMover(QPoint) {}
  virtual void AoSoltar(QPoint, Qt::MouseButton) {}

 private:
  friend class TDespachanteDeMouse;
  QPointer<QWidget> hospedeiro_;
};

}  // namespace tazu
