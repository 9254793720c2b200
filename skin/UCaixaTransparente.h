// The outline shown while a window is being resized: four one-pixel windows,
// always on top, hatched in silver, around the size the window will take.
#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <memory>

namespace tazu {

class TCaixaTransparente {
 public:
  // Screen coordinates.
  TCaixaTransparente(int esquerda, int topo, int largura, int altura);
  ~TCaixaTransparente();
  TCaixaTransparente(const TCaixaTransparente&) = delete;
  TCaixaTransparente& operator=(const TCaixaTransparente&) = delete;

  void Redimensionar(int largura, int altura);
  QRect Geometria() const { return geometria_; }

 private:
  void Posicionar();

  QRect geometria_;
  std::array<std::unique_ptr<QWidget>, 4> lados_;
};

}  // namespace tazu
