// What another user did about the user: added him (kind 1), asks to add him
// (2), refused (3) or allowed (4) being added. Kind 2 is answered here:
// authorise or reject; leaving it rejects.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <string>

#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmEvento : public TFrmEncapado {
 public:
  TFrmEvento(TContexto& ctx, int tipo, std::string comunidade, std::string identificador,
             const std::string& texto, const std::string& apelido);

  // Opens an event window; earlier ones stay open.
  static TFrmEvento* MostraEvento(TContexto& ctx, int tipo, const std::string& comunidade,
                                  const std::string& identificador, const std::string& texto,
                                  const std::string& apelido);
  // The newest one, if it is still open.
  static TFrmEvento* Atual();

  void Sair();
  void Adicionar();
  void Rejeitar();
  void Autorizar();

  int Tipo() const { return tipo_; }
  QLabel* LblNIU() const { return lblNIU_; }
  QLabel* LblApelido() const { return lblApelido_; }
  QPlainTextEdit* StxDescricao() const { return stxDescricao_; }
  // The picture buttons: 5 add, 6 reject, 7 authorise (null until built).
  TBotaoImagem* Botao(int id) const;

 private:
  TBotaoImagem* BotaoDeFigura(TFeicao& f, const char* imagem, void (TFrmEvento::*acao)());
  void AjustarBotoes();

  TContexto& ctx_;
  int tipo_;
  std::string comunidade_;
  std::string identificador_;
  std::string apelido_;
  QLabel* lblNIU_;
  QLabel* lblApelido_;
  QPlainTextEdit* stxDescricao_;
  TBotaoImagem* botoes_[8] = {};
};

}  // namespace tazu
