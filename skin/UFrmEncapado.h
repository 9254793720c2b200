// The base of every skinned window. A window sets its element callback, its
// frame pieces and its descriptor's file name, then calls Construir(): the
// descriptor is read, the window placed from its first record, one object
// built per element, and the frame painted and cut into the window's shape.
//
//   TFrmLogin::TFrmLogin() {
//     Pecas = CarregarPecas("Login");
//     ArquivoDescritor = "Login.cap";
//     AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
//       switch (f.Registro.Id()) {
//         case 1: Colocar(*EdtNIU, f); return {TTipoFeicao::PSC};
//         case 4: return {TTipoFeicao::BTN, [this] { Ok(); }};
//         case 6: return {TTipoFeicao::MOV};
//         case 7: return {TTipoFeicao::RTL};
//         default: return {};
//       }
//     };
//     Construir();
//   }
#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <string>

#include "skin/UFeicoesVariaveis.h"

namespace tazu {

// What the window's callback makes of an element.
enum class TTipoFeicao {
  Nenhum,  // nothing
  PSC,     // the window placed one of its own controls itself
  BTN,     // a virtual image button over the painted background
  MOV,     // a drag area
  RDM,     // a resize grip
  RTL,     // a label: text or picture
};

struct TResultadoFeicao {
  TResultadoFeicao(TTipoFeicao tipo = TTipoFeicao::Nenhum, std::function<void()> aoClicar = {})
      : Tipo(tipo), AoClicar(std::move(aoClicar)) {}
  TTipoFeicao Tipo;
  std::function<void()> AoClicar;  // for BTN
};

// A picture element: drawn onto the window's background at its place.
class TFiguraDaSkin : public QObject {
 public:
  TFiguraDaSkin(QObject* dono, QImage imagem) : QObject(dono), Imagem(std::move(imagem)) {}
  QImage Imagem;
};

// Modal results, as the program has always numbered them.
enum : int { ResultadoOk = 1, ResultadoCancelar = 2, ResultadoSim = 6, ResultadoNao = 7 };

class TFrmEncapado : public QDialog {
 public:
  using TAoCriarFeicao = std::function<TResultadoFeicao(TFrmEncapado&, TFeicao&)>;
  using TAoRedimensionar =
      std::function<void(TFrmEncapado&, int largura, const QImage& fundo, int altura)>;

  explicit TFrmEncapado(QWidget* pai = nullptr);
  ~TFrmEncapado() override;

  // Set before Construir().
  TPecasMoldura Pecas;
  std::string ArquivoDescritor;  // relative to the skin directory
  TAoCriarFeicao AoCriarFeicao;
  // After every re-layout, with the freshly painted background.
  TAoRedimensionar AoRedimensionar;
  // Skinned windows are not dialogs: Esc closes only those that ask for it
  // (the message boxes do).
  bool FecharComEsc = false;

  void Construir();
  // Paints the frame at the current size, recuts the window's shape and moves
  // every element that holds an object to its anchored place.
  void AposRedimensionar();

  TListaDeFeicoes& Feicoes() { return feicoes_; }
  const QImage& Fundo() const { return fundo_; }
  QColor CorDaJanela() const { return cor_; }
  bool Redimensionando() const { return redimensionando_; }

  // An element's rectangle at the window's current size.
  TRetangulo Retangulo(const TRegistroFeicao& r) const;
  QRect RetanguloQt(const TRegistroFeicao& r) const;

  // Places a control of the window from its element: rectangle, colours, shown;
  // the element remembers it so every re-layout moves it again.
  void Colocar(QWidget& controle, TFeicao& feicao);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void CriarObjeto(TFeicao& feicao);
  void Reposicionar(TFeicao& feicao);

  TListaDeFeicoes feicoes_;
  QImage fundo_;
  QColor cor_;
  bool construida_ = false;
  bool redimensionando_ = false;
};

// Background and text colours of a control from a record's Color and
// FontColor.
void ColorirControle(QWidget& controle, uint32_t cor, uint32_t corDaFonte);

}  // namespace tazu
