#include "skin/GanchoDeMouse.h"

#include <QMouseEvent>
#include <vector>

namespace tazu {

// One per host: the chain of installed controls.
class TDespachanteDeMouse : public QObject {
 public:
  explicit TDespachanteDeMouse(QWidget* hospedeiro) : QObject(hospedeiro) {
    setObjectName(QStringLiteral("tazu-despachante-de-mouse"));
    hospedeiro->setMouseTracking(true);
    hospedeiro->installEventFilter(this);
  }

  static TDespachanteDeMouse* Existente(QWidget* hospedeiro) {
    return hospedeiro->findChild<TDespachanteDeMouse*>(QStringLiteral("tazu-despachante-de-mouse"),
                                                       Qt::FindDirectChildrenOnly);
  }
  static TDespachanteDeMouse* De(QWidget* hospedeiro) {
    auto* d = Existente(hospedeiro);
    return d ? d : new TDespachanteDeMouse(hospedeiro);
  }

  void Acrescentar(TGanchoDeMouse* g) { ganchos_.emplace_back(g); }
  void Retirar(TGanchoDeMouse* g) {
    for (auto& p : ganchos_) {
      if (p == g) p = nullptr;
    }
  }

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override {
    if (objeto != parent()) return false;
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonDblClick &&
        tipo != QEvent::MouseMove && tipo != QEvent::MouseButtonRelease) {
      return false;
    }
    auto* e = static_cast<QMouseEvent*>(evento);
    const QPoint p = e->position().toPoint();
    // A handler may install or remove controls; walk a copy.
    const std::vector<QPointer<TGanchoDeMouse>> ganchos = ganchos_;
    for (const auto& g : ganchos) {
      if (!g) continue;
      if (tipo == QEvent::MouseMove) {
        g->AoMover(p);
      } else if (tipo == QEvent::MouseButtonRelease) {
        g->AoSoltar(p, e->button());
      } else {
        g->AoPressionar(p, e->button());
      }
    }
    std::erase_if(ganchos_, [](const QPointer<TGanchoDeMouse>& g) { return g.isNull(); });
    return false;
  }

 private:
  std::vector<QPointer<TGanchoDeMouse>> ganchos_;
};

TGanchoDeMouse::~TGanchoDeMouse() {
  // The host may be going away with its children; never make it a new
  // dispatcher then.
  if (!hospedeiro_) return;
  if (auto* d = TDespachanteDeMouse::Existente(hospedeiro_)) d->Retirar(this);
}

void TGanchoDeMouse::Vigiar(QWidget* hospedeiro) {
  if (hospedeiro_ == hospedeiro) return;
  if (hospedeiro_) {
    if (auto* d = TDespachanteDeMouse::Existente(hospedeiro_)) d->Retirar(this);
  }
  hospedeiro_ = hospedeiro;
  if (hospedeiro) TDespachanteDeMouse::De(hospedeiro)->Acrescentar(this);
}

}  // namespace tazu
