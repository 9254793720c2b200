// The user's accounts on the outside networks, as the Tazu server keeps them:
// which networks to use, with which identifier and password. Confirming
// switches the adapters off and on as needed and sends the settings back.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <array>
#include <string>

#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

// What the server sent for one network: in use, identifier, password.
struct TContaDaRede {
  bool Usa = false;
  std::string Identificador;
  std::string Senha;
};

class TFrmComunicadores : public TFrmEncapado {
 public:
  // The networks in the window's order.
  enum TRede { ICQ, MSN, Yahoo };

  explicit TFrmComunicadores(TContexto& ctx);
  ~TFrmComunicadores() override;

  // Opens the window filled with the server's answer.
  static TFrmComunicadores* Abrir(TContexto& ctx, const std::array<TContaDaRede, 3>& contas);
  static TFrmComunicadores* Aberta();

  void Ok();
  QCheckBox* Chk(TRede r) const { return chk_[r]; }
  QLineEdit* Id(TRede r) const { return id_[r]; }
  QLineEdit* Senha(TRede r) const { return senha_[r]; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Preencher(const std::array<TContaDaRede, 3>& contas);
  // A check box was clicked: its two boxes follow it.
  void Marcado(TRede r);
  void Aplicar();

  TContexto& ctx_;
  std::array<QCheckBox*, 3> chk_{};
  std::array<QLineEdit*, 3> id_{};
  std::array<QLineEdit*, 3> senha_{};
  std::array<bool, 3> alterado_{};
  std::array<bool, 3> marcadoAntes_{};
};

}  // namespace tazu
