// The switch strip: a row of 16-pixel keys on a host, each showing one of its
// state pictures. The manager uses it for the three outside networks.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/Listas.h"

namespace tazu {

struct TChave {
  int Indice = 0;
  int Estado = 0;
  std::vector<QImage> Imagens;  // one per state
};

// Owns its keys.
class TListaDeChaves : public TLista<TChave> {
 public:
  TListaDeChaves() {
    AoLiberar = [](TChave* c) { delete c; };
  }
  ~TListaDeChaves() override { Limpar(); }
  TChave* Chave(int indice) const;
};

class TChaveador : public QWidget {
 public:
  static constexpr int LadoDaChave = 16;

  explicit TChaveador(QWidget* dono);

  void DefinirQuantidade(int chaves);
  int Quantidade() const { return static_cast<int>(chaves_.Quantidade()); }
  // The key's pictures by state; magenta pixels are left out when drawn.
  void DefinirImagens(int chave, std::vector<QImage> imagens);
  // Draws the key's picture for `estado`; a state without a picture clears it.
  void DefinirEstado(int chave, int estado);
  int Estado(int chave) const;
  // Left edge of a key inside the strip: keys sit centred in equal cells.
  int PosicaoDaChave(int chave) const;
  // The key under a point of the strip, or -1.
  int ChaveEm(QPoint p) const;

  bool Habilitado = true;
  std::function<void(TChaveador&, int chave)> AoClicar;
  std::function<void(TChaveador&, int chave)> AoPassar;

  const QImage& Faixa() const { return faixa_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  void Redesenhar();
  void DesenharChave(const TChave& chave);

  TListaDeChaves chaves_;
  QImage faixa_;
  int armada_ = -1;
};

}  // namespace tazu
