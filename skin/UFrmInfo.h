// The skinned message box: an icon, the text, and an OK button or a yes/no
// pair; the window grows to fit the text.
#pragma once

#include <QLabel>
#include <string>

#include "skin/UBotoes.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

// Kinds of box: which icon and which buttons.
enum : int { InfoErro = 1, InfoExclamacao = 2, InfoPergunta = 3, InfoInicial = 4 };

class TFrmInfo : public TFrmEncapado {
 public:
  // Texts are Windows-1252.
  TFrmInfo(const std::string& titulo, const std::string& texto, int tipo, bool modal);

  // Shows a box: modal, it answers the modal result (yes = 6); otherwise it
  // shows the box, which frees itself when closed, and answers 1.
  static int Mostrar(const std::string& titulo, const std::string& texto, int tipo, bool modal);

  QLabel* Titulo() const { return titulo_; }
  QLabel* Texto() const { return texto_; }
  QLabel* Icone() const { return icone_; }
  // OK for every kind but the question; yes and no for the question.
  TBotaoImagem* BotaoOk() const { return ok_; }
  TBotaoImagem* BotaoSim() const { return sim_; }
  TBotaoImagem* BotaoNao() const { return nao_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  TResultadoFeicao CriarFeicao(TFeicao& f);
  void Dimensionar();
  TBotaoImagem* NovoBotao(const char* imagem, int indice, int quantidade);

  int tipo_;
  bool modal_;
  QLabel* titulo_;
  QLabel* texto_;
  QLabel* icone_;
  TBotaoImagem* ok_ = nullptr;
  TBotaoImagem* sim_ = nullptr;
  TBotaoImagem* nao_ = nullptr;
};

// The boxes the whole program uses; texts are Windows-1252.
// The error box first starts the asynchronous close of the wait window.
void CaixaDeErro(const std::string& texto);
void CaixaDeInformacao(const std::string& texto);
// Not modal: returns at once.
void CaixaDeMensagemDeSistema(const std::string& texto);
// Usable before the program has settled on anything: the single-copy guard.
void CaixaDeInformacaoInicial(const std::string& texto);
// True only when the user chose yes.
bool CaixaDeConfirmacao(const std::string& texto);

}  // namespace tazu
