// Which community a new contact belongs to: Tazu, ICQ, MSN or Yahoo. Another
// network than Tazu must have its adapter running.
#pragma once

#include <QRadioButton>
#include <array>
#include <optional>
#include <string>

#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmSelecionaComunidade : public TFrmEncapado {
 public:
  explicit TFrmSelecionaComunidade(TContexto& ctx);

  // Runs the chooser; the community's name ("Tazu", "ICQ", "MSN", "Yahoo")
  // when the user confirmed one.
  static std::optional<std::string> SelecionaComunidade(TContexto& ctx);

  void Ok();
  const std::string& Comunidade() const { return comunidade_; }
  QRadioButton* Opcao(int i) const { return opcoes_.at(static_cast<std::size_t>(i)); }

 private:
  TContexto& ctx_;
  std::array<QRadioButton*, 4> opcoes_{};
  std::string comunidade_;
};

}  // namespace tazu
