// Adding an MSN or Yahoo contact by its identifier (an e-mail address or a
// Yahoo name), where there is no search to find it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <string>

#include "skin/UFrmEncapado.h"

namespace tazu {

class TClientePCTazu;
class TContexto;

// The contact is in the user's list (or waiting there for authorisation), not
// merely someone who wrote.
bool JaNaLista(TClientePCTazu& cliente, const std::string& comunidade,
               const std::string& identificador);

class TFrmAdicionarContato : public TFrmEncapado {
 public:
  TFrmAdicionarContato(TContexto& ctx, std::string comunidade);

  // Opens the window for "MSN" or "Yahoo".
  static TFrmAdicionarContato* AdicionaContato(TContexto& ctx, const std::string& comunidade);

  void Adicionar();
  QLineEdit* Edit() const { return edit_; }

 private:
  TContexto& ctx_;
  std::string comunidade_;
  QLineEdit* edit_;
  QLabel* imgComunicador_;
};

}  // namespace tazu
