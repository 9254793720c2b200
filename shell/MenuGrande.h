// The skinned menus opened from the manager: a small borderless window with a
// row selector. The status menu applies a status; the options menu runs the
// option whose code the skin stores for the row.
#pragma once

#include <optional>
#include <string>

#include "shell/USeletor.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmMenuGrande : public TFrmEncapado {
 public:
  TFrmMenuGrande(TContexto& ctx, const std::string& descritor);

  // Centred on the screen, or placed against the manager: by the window
  // record's Left and Top, or by the offsets when they are set.
  bool Centralizar = true;
  std::optional<QPoint> Deslocamento;
  // A menu goes away when the user turns elsewhere, unless it is busy.
  bool FecharAoDesativar = true;
  void Exibir();

  TSeletor* Seletor() const { return seletor_; }

 protected:
  // Builds the window and the selector of the second record; a negative count
  // takes the count from that record's MinWidth.
  void Montar(int numeroDeOpcoes);
  const TFeicao* RegistroDoSeletor() const { return registroDoSeletor_; }
  virtual void Escolheu(int) {}
  void changeEvent(QEvent* e) override;

  TContexto& ctx_;

 private:
  TSeletor* seletor_ = nullptr;
  const TFeicao* registroDoSeletor_ = nullptr;
  bool ativada_ = false;
};

// "Meu status": seven rows, each a status applied at once.
class TFrmMenuStatus : public TFrmMenuGrande {
 public:
  static constexpr int Codigos[7] = {1, 8, 7, 5, 6, 2, 3};
  explicit TFrmMenuStatus(TContexto& ctx);

 protected:
  void Escolheu(int linha) override;
};

// "Opções": the skin gives the number of rows and each row's option code.
class TFrmOpcoesMenu : public TFrmMenuGrande {
 public:
  explicit TFrmOpcoesMenu(TContexto& ctx);
  int CodigoDaLinha(int linha) const;

 protected:
  void Escolheu(int linha) override;
};

}  // namespace tazu
