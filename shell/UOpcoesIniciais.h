// The initial options, shown when this computer knows no Tazu user yet: a new
// registration, an existing number registered here, or leaving.
#pragma once

#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmOpcoesIniciais : public TFrmEncapado {
 public:
  explicit TFrmOpcoesIniciais(TContexto& ctx);

  // Runs the window modally. Leaving it without a registration on a computer
  // without users ends the program.
  static void Executar(TContexto& ctx);

  void NovoCadastro();
  void RegistrarExistente();
  bool Concluido() const { return concluido_; }

 protected:
  void done(int resultado) override;

 private:
  TContexto& ctx_;
  bool concluido_ = false;
};

}  // namespace tazu
