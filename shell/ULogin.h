// Signing in: the login window, and the login entry that decides after the
// splash between the initial options, the login window and nothing at all
// (a remembered password already connects).
#pragma once

#include <QCheckBox>
#include <QLineEdit>

#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmLogin : public TFrmEncapado {
 public:
  explicit TFrmLogin(TContexto& ctx);

  QLineEdit* EdtNIU() const { return edtNIU_; }
  QLineEdit* EdtSenha() const { return edtSenha_; }
  QCheckBox* ChkSalvarSenha() const { return chkSalvarSenha_; }

  // The typed number must belong to a user of this computer; otherwise the
  // user is told, and the box is emptied and takes the focus.
  bool VerificarNumero();
  // OK, and Enter in the password box: accepted with both boxes filled in.
  void Ok();
  // The typed number (0 when it does not read as one).
  uint16_t Numero() const;

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);

  TContexto& ctx_;
  QLineEdit* edtNIU_;
  QLineEdit* edtSenha_;
  QCheckBox* chkSalvarSenha_;
  bool verificando_ = false;
};

// The login entry; a call that arrives while one runs returns at once.
void IniciaLogin(TContexto& ctx);

// Makes `niu` the current user and the last user of the settings.
void TrocarUsuarioAtual(TContexto& ctx, uint16_t niu);

}  // namespace tazu
