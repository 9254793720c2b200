// About the program.
#pragma once

#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TFrmSobre : public TFrmEncapado {
 public:
  TFrmSobre();
  // Shows the one About window, opening it when needed.
  static TFrmSobre* Abrir();

 private:
  TBotaoImagem* ok_ = nullptr;
};

}  // namespace tazu
