// A contact who must authorise the user first: the user writes him a few
// words and sends the request.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <string>

#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmPedidoAutorizacao : public TFrmEncapado {
 public:
  TFrmPedidoAutorizacao(TContexto& ctx, std::string comunidade, std::string identificador,
                        const std::string& explicacao);

  static TFrmPedidoAutorizacao* Abrir(TContexto& ctx, const std::string& comunidade,
                                      const std::string& identificador,
                                      const std::string& explicacao);

  void Enviar();
  QLabel* StxDescricao() const { return stxDescricao_; }
  QPlainTextEdit* Memo() const { return memo_; }
  const std::string& Identificador() const { return identificador_; }

 private:
  TContexto& ctx_;
  std::string comunidade_;
  std::string identificador_;
  QLabel* stxDescricao_;
  QPlainTextEdit* memo_;
};

}  // namespace tazu
