// The default skin's drawing kit: one palette and the shapes every picture is
// made of. Change a colour here and the whole skin follows.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <string>

namespace tazu::arte {

namespace cor {
inline const QColor Chave{255, 0, 255};          // transparent: outside the shape
inline const QColor Contorno{0x1E, 0x2D, 0x45};  // outline of windows and glyphs
inline const QColor TituloClaro{0x4A, 0x8B, 0xD0};
inline const QColor TituloEscuro{0x2A, 0x5D, 0x9A};
inline const QColor Faixa{0xDC, 0xE7, 0xF3};  // header bands under the title
inline const QColor Corpo{0xEE, 0xF2, 0xF7};  // window body
inline const QColor Painel{0xFF, 0xFF, 0xFF};
inline const QColor BordaCampo{0xAF, 0xBE, 0xD0};
inline const QColor Texto{0x1E, 0x2D, 0x45};
inline const QColor TextoSuave{0x5B, 0x6B, 0x80};
inline const QColor Acento{0xF0, 0x8A, 0x24};
inline const QColor AcentoEscuro{0xC9, 0x6A, 0x10};
inline const QColor BotaoClaro{0xFF, 0xFF, 0xFF};
inline const QColor BotaoEscuro{0xDD, 0xE5, 0xEF};
inline const QColor BordaBotao{0x8E, 0xA0, 0xB6};
}  // namespace cor

// Fonts by pixel size, so pictures come out the same on every screen.
QFont Fonte(int pixels, bool negrito = false);

// A fresh transparent ARGB picture.
QImage Nova(int largura, int altura);
// Turns a drawn picture opaque for a BMP: pixels at least half covered keep
// their colour laid over `sob`, the rest become the transparent key.
QImage Achatar(const QImage& argb, const QColor& sob, const QColor& chave = cor::Chave);
bool Salvar(const QImage& imagem, const std::string& caminho);

void Gradiente(QPainter& p, const QRectF& r, const QColor& topo, const QColor& base,
               qreal raio = 0);
// Text in a rectangle with `alinhamento`; cut with an ellipsis when too long.
void Escrever(QPainter& p, const QRectF& r, const QString& texto, const QColor& corTexto,
              const QFont& fonte, Qt::Alignment alinhamento = Qt::AlignCenter);

// Controls drawn into window backgrounds.
void Botao(QPainter& p, const QRectF& r, const QString& texto, bool primario);
void BotaoIcone(QPainter& p, const QRectF& r, const std::string& glifo);
void Campo(QPainter& p, const QRectF& r);
void Painel(QPainter& p, const QRectF& r);
void Aba(QPainter& p, const QRectF& r, const QString& texto, bool selecionada);
void Alca(QPainter& p, const QRectF& r, const QColor& corPontos);

// A round-capped pen for line drawings.
QPen Traco(const QColor& c, qreal largura);
// Line glyphs: "fechar", "minimizar", "desligar", "lupa", "menu", "usuarios",
// "sobre", "historico", "info", "seta", "enviar".
void Glifo(QPainter& p, const QRectF& r, const std::string& nome, const QColor& corTraco);
// A glyph button of the title bar.
void BotaoDeTitulo(QPainter& p, const QRectF& r, const std::string& glifo);

// Status pictures by code (1, 2, 3, 5, 6, 7, 8, 255), any size.
void Status(QPainter& p, const QRectF& r, int codigo);
// Network and origin marks: "ICQ", "MSN", "YAH", "Tazu", "Celular", "Globo".
void Origem(QPainter& p, const QRectF& r, const std::string& nome, bool ativo);
void Logo(QPainter& p, const QRectF& r);
// The unread-message mark.
void TelaMsg(QPainter& p, const QRectF& r);

}  // namespace tazu::arte
