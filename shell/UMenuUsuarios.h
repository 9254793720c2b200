// The user menu: the users of this computer, the active one checked. Choosing
// another one disconnects and connects again as that user.
#pragma once

#include <QListWidget>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "shell/Contexto.h"
#include "shell/MenuGrande.h"

namespace tazu {

class TFrmMenuUsuarios : public TFrmMenuGrande {
 public:
  static constexpr int IntervaloDeReconexao = 1000;  // ms

  explicit TFrmMenuUsuarios(TContexto& ctx);
  ~TFrmMenuUsuarios() override;

  // Opens the menu, or brings the open one forward.
  static TFrmMenuUsuarios* Abrir(TContexto& ctx);

  // A click on the user `niu`.
  void Escolher(uint16_t niu);

  QListWidget* ListBox() const { return listBox_; }
  bool Reconectando() const { return tomada_ != nullptr; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Desconectou();

  QListWidget* listBox_;
  QTimer timer_;
  uint16_t numero_ = 0;
  std::string senha_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> tomada_;
  bool reconectou_ = false;
};

}  // namespace tazu
