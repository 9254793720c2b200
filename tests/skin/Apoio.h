// Shared by the skin's widget tests: the application object, throw-away skin
// directories and synthetic mouse events.
#pragma once

#include <QApplication>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "skin/Descritor.h"
#include "tests/support/RaizTemporaria.h"

namespace tazu::teste {

QApplication& Aplicacao();
// A fixture's first member, so widgets declared after it find the application.
struct TAplicacaoPronta {
  TAplicacaoPronta() { Aplicacao(); }
};

// A fresh data root whose Skin/ the test fills.
class TSkinTemporaria {
 public:
  TSkinTemporaria() { std::filesystem::create_directories(Skin()); }
  std::filesystem::path Skin() const { return raiz_ / "Skin"; }
  void Descritor(const std::string& nome, const std::vector<TRegistroFeicao>& registros) const;
  void Imagem(const std::string& relativo, const QImage& imagem) const;

 private:
  TRaizTemporaria raiz_;
};

// The default skin the build lays out beside the executables, as the data root.
std::string DiretorioDaSkinPadrao();
struct TSkinPadrao : TRaizTemporaria {
  TSkinPadrao() : TRaizTemporaria(DiretorioDaSkinPadrao()) {}
};

// A solid picture.
QImage Cheia(int largura, int altura, QRgb cor);

// Mouse events delivered through the application, as the window system would.
void Pressionar(QWidget* alvo, QPoint p);
void Mover(QWidget* alvo, QPoint p, bool botao = false);
void Soltar(QWidget* alvo, QPoint p);
void Clicar(QWidget* alvo, QPoint p);

inline TRegistroFeicao Elemento(uint8_t id, int32_t left, int32_t top, int32_t width,
                                int32_t height, bool anchorLeft = true, bool anchorTop = true) {
  TRegistroFeicao r;
  r.DefinirId(id);
  r.DefinirLeft(left);
  r.DefinirTop(top);
  r.DefinirWidth(width);
  r.DefinirHeight(height);
  r.DefinirAnchorLeft(anchorLeft);
  r.DefinirAnchorTop(anchorTop);
  return r;
}

}  // namespace tazu::teste
