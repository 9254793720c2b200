// The window region cut from a painted frame: every pixel that is not the
// picture's top-left colour belongs to the window. On Qt the region becomes the
// window's mask.
#pragma once

#include <QImage>
#include <QRegion>

class QWidget;

namespace tazu {

// The opaque area of the picture, in its own coordinates. Empty for a null
// picture or one made only of the transparent colour.
QRegion RegiaoDoBitmap(const QImage& imagem);

// Applies the region as the window's mask; an empty region leaves the window
// rectangular.
void AplicarRegiao(QWidget& janela, const QImage& imagem);

}  // namespace tazu
