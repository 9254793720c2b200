#include "skin/BmpRgn.h"

#include <QVector>
#include <QWidget>

namespace tazu {

namespace {

// The opaque runs of one row, as [begin, end) pairs.
void Trechos(const QRgb* linha, int largura, QRgb chave, QVector<int>& saida) {
  saida.clear();
  int x = 0;
  while (x < largura) {
    while (x < largura && (linha[x] & 0xFFFFFF) == chave) ++x;
    if (x == largura) break;
    const int inicio = x;
    while (x < largura && (linha[x] & 0xFFFFFF) != chave) ++x;
    saida.push_back(inicio);
    saida.push_back(x);
  }
}

}  // namespace

QRegion RegiaoDoBitmap(const QImage& imagem) {
  if (imagem.isNull()) return {};
  const QImage img =
      imagem.format() == QImage::Format_RGB32 || imagem.format() == QImage::Format_ARGB32
          ? imagem
          : imagem.convertToFormat(QImage::Format_RGB32);
  const QRgb chave = img.pixel(0, 0) & 0xFFFFFF;
  const int largura = img.width();

  // Rows with the same runs merge into one band, so a frame whose sides are
  // straight costs a handful of rectangles whatever its height.
  QVector<QRect> retangulos;
  QVector<int> atual, anterior;
  int inicioDaFaixa = 0;
  auto fecharFaixa = [&](int fim) {
    for (int i = 0; i + 1 < anterior.size(); i += 2) {
      retangulos.push_back(
          QRect(anterior[i], inicioDaFaixa, anterior[i + 1] - anterior[i], fim - inicioDaFaixa));
    }
  };
  for (int y = 0; y < img.height(); ++y) {
    Trechos(reinterpret_cast<const QRgb*>(img.constScanLine(y)), largura, chave, atual);
    if (y == 0 || atual != anterior) {
      if (y > 0) fecharFaixa(y);
      anterior = atual;
      inicioDaFaixa = y;
    }
  }
  fecharFaixa(img.height());

  QRegion regiao;
  regiao.setRects(retangulos.constData(), static_cast<int>(retangulos.size()));
  return regiao;
}

void AplicarRegiao(QWidget& janela, const QImage& imagem) {
  const QRegion regiao = RegiaoDoBitmap(imagem);
  if (regiao.isEmpty()) {
    janela.clearMask();
  } else {
    janela.setMask(regiao);
  }
}

}  // namespace tazu
