// The history window: a conversation's history file read back, each message
// headed by its time and coloured by kind, with a button that clears it.
#pragma once

#include <QTextEdit>
#include <string>

#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TContexto;

class TFrmHistorico : public TFrmEncapado {
 public:
  TFrmHistorico(TContexto& ctx, const std::string& comunicador, const std::string& identificador);

  // Opens (and shows) a history window that frees itself when closed.
  static TFrmHistorico* Abrir(TContexto& ctx, const std::string& comunicador,
                              const std::string& identificador);

  // Reads the file into the view.
  void Ler();
  // Deletes the file and empties the view.
  void Limpar();

  QTextEdit* RichEdit() const { return richEdit_; }
  TBotaoImagem* BotaoLimpar() const { return limpar_; }
  TBotaoImagem* BotaoOk() const { return ok_; }

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  TBotaoImagem* BotaoDeFigura(TFeicao& f, const char* imagem);

  TContexto& ctx_;
  std::string comunicador_;
  std::string identificador_;
  QTextEdit* richEdit_;
  TBotaoImagem* limpar_ = nullptr;
  TBotaoImagem* ok_ = nullptr;
};

}  // namespace tazu
