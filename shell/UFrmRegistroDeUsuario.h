// Bringing an existing Tazu user onto this computer: by number or by nickname,
// with the password. The program signs in as that user; once the server
// accepts, the user joins the users of this computer.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <memory>

#include "server/UClientePCTazu.h"
#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TFrmRegistroDeUsuario : public TFrmEncapado {
 public:
  static constexpr int IntervaloDeConexao = 1000;  // ms

  explicit TFrmRegistroDeUsuario(TContexto& ctx);
  ~TFrmRegistroDeUsuario() override;

  static TFrmRegistroDeUsuario* Abrir(TContexto& ctx);
  static void Executar(TContexto& ctx);
  static TFrmRegistroDeUsuario* Aberta();

  void Registrar();
  bool Registrando() const { return conectar_ != nullptr; }

  QLineEdit* EdtNIU() const { return edtNIU_; }
  QRadioButton* ChkNIU() const { return chkNIU_; }
  QRadioButton* ChkApelido() const { return chkApelido_; }
  QLineEdit* EdtApelido() const { return edtApelido_; }
  QLineEdit* EdtSenha() const { return edtSenha_; }
  QLineEdit* EdtConfirmacao() const { return edtConfirmacao_; }
  QCheckBox* ChkSenha() const { return chkSenha_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  // The refusal of the boxes as they are, or empty.
  std::string Recusa() const;
  void Conectou();
  void ComunidadeConectada();
  void Erro(int numero, const std::string& texto);
  void Devolver();

  TContexto& ctx_;
  QLineEdit* edtNIU_;
  QRadioButton* chkNIU_;
  QRadioButton* chkApelido_;
  QLineEdit* edtApelido_;
  QLineEdit* edtSenha_;
  QLineEdit* edtConfirmacao_;
  QCheckBox* chkSenha_;
  TBotaoDoFundo ok_;
  TBotaoDoFundo cancelar_;
  QTimer timer_;
  bool registrando_ = false;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> conectar_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> comunidade_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TNotifyEvent>> desconectar_;
  std::unique_ptr<TEventoTomado<TClientePCTazu::TErroDoServidor>> erro_;
};

}  // namespace tazu
