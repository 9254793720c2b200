// Small things every skinned window needs: where a skin file lies, skin
// colours and pictures, and the program's font.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/Descritor.h"

namespace tazu {

// The skin names its files Windows-style ("Botoes\Ok.bmp"); on disk they are
// beneath the data root's Skin/ with forward slashes.
std::string CaminhoNaSkin(std::string_view relativo);
QString CaminhoNaSkinQt(std::string_view relativo);

// A record colour, 0x00BBGGRR.
QColor CorDaSkin(uint32_t bgr);
uint32_t CorParaSkin(const QColor& cor);

// Magenta, the transparent colour of icons and switch keys.
inline constexpr uint32_t CorTransparente = 0xFF00FF;

// A skin picture; null when the file is missing or unreadable.
QImage CarregarImagemDaSkin(std::string_view relativo);
// The same picture with every pixel of `chave` made transparent.
QImage SemCor(const QImage& imagem, QColor chave = CorDaSkin(CorTransparente));

// Verdana as the skin's labels ask for it, falling back to DejaVu Sans where
// Verdana is not installed.
QFont FonteDaSkin(int pontos = 8, bool negrito = false);

// The movie the skin names ("Animacao\Envio.avi"): that file when Qt can play
// it, else a file of the same stem in a format Qt plays. Empty when none.
QString CaminhoDaAnimacao(std::string_view relativo);

QRect ParaQRect(const TRetangulo& r);
TTamanho ParaTamanho(QSize s);

}  // namespace tazu
