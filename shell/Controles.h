// Small pieces the part-two windows share: edit boxes as the skin wants them,
// digits-only boxes, pages that sit in a window's page area, and a way to show
// a button of the painted background as disabled.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <string_view>

#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

// A frameless box in the skin's font; `maximo` characters at most.
QLineEdit* NovaCaixa(QWidget* pai, int maximo, bool senha = false);
// Only "0" to "9" (and the editing keys) get into the box.
void SomenteAlgarismos(QLineEdit& caixa);

// A page of a window: its picture, with the page's controls on it.
class TPagina : public QLabel {
 public:
  TPagina(QWidget* pai, std::string_view figura);
  // Places a control from its element, anchored in the page.
  void Colocar(QWidget& controle, const TRegistroFeicao& registro);
};

// A button of the painted background, which cannot look disabled by itself:
// a veil in the window's colour covers it while it is.
class TBotaoDoFundo {
 public:
  TBotaoDoFundo() = default;
  // The button the window built for element `id` (the first with that id).
  // Without a veil for a button the skin does not draw (a second hot
  // rectangle over a page's own picture).
  TBotaoDoFundo(TFrmEncapado& janela, uint8_t id, bool comVeu = true);

  // The veil hides the button altogether instead of greying it.
  void DefinirOpaco(bool opaco);

  void Habilitar(bool habilitado);
  bool Habilitado() const { return botao_ && botao_->Habilitado(); }
  // After the window was resized.
  void Reposicionar();
  void Clicar();

 private:
  QPointer<TBotaoImagem> botao_;
  QPointer<QWidget> veu_;
};

}  // namespace tazu
