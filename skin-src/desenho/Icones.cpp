// The skin's small pictures: status discs, network and origin marks, the logo
// and the unread-message mark.
#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "skin-src/desenho/Arte.h"

namespace tazu::arte {

namespace {

void Disco(QPainter& p, const QRectF& q, const QColor& base) {
  QRadialGradient g(q.center() - QPointF(q.width() * 0.18, q.height() * 0.2), q.width() * 0.75);
  g.setColorAt(0, base.lighter(140));
  g.setColorAt(1, base);
  p.setBrush(g);
  p.setPen(QPen(base.darker(150), std::max<qreal>(1, q.width() / 16)));
  p.drawEllipse(q.adjusted(0.5, 0.5, -0.5, -0.5));
}

}  // namespace

void Status(QPainter& p, const QRectF& r, int codigo) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(r.width(), r.height());
  const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  auto P = [&](qreal fx, qreal fy) { return QPointF(q.left() + fx * s, q.top() + fy * s); };
  const qreal w = std::max<qreal>(1.6, s / 8);
  switch (codigo) {
    case 1:  // Conectado: a green disc with a tick
      Disco(p, q, QColor(0x2E, 0xAD, 0x4B));
      p.setPen(Traco(Qt::white, w));
      p.drawPolyline(QPolygonF({P(0.28, 0.52), P(0.44, 0.68), P(0.73, 0.34)}));
      break;
    case 7: {  // Livre para Chat: a teal speech bubble
      QPainterPath b;
      b.addRoundedRect(QRectF(P(0.04, 0.08), P(0.96, 0.74)), s * 0.22, s * 0.22);
      QPainterPath cauda;
      cauda.moveTo(P(0.24, 0.66));
      cauda.lineTo(P(0.18, 0.96));
      cauda.lineTo(P(0.50, 0.70));
      cauda.closeSubpath();
      p.setPen(QPen(QColor(0x0E, 0x8A, 0x78), std::max<qreal>(1, s / 16)));
      p.setBrush(QColor(0x1F, 0xBF, 0xA5));
      p.drawPath(b.united(cauda));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      for (qreal x : {0.3, 0.5, 0.7}) p.drawEllipse(P(x, 0.41), s * 0.07, s * 0.07);
      break;
    }
    case 8:  // Longe: an amber clock
      Disco(p, q, QColor(0xF2, 0xA9, 0x1E));
      p.setPen(Traco(Qt::white, w));
      p.drawLine(P(0.5, 0.5), P(0.5, 0.24));
      p.drawLine(P(0.5, 0.5), P(0.7, 0.6));
      break;
    case 6: {  // Ocupado: a red disc with an hourglass
      Disco(p, q, QColor(0xE0, 0x4A, 0x2F));
      QPainterPath a;
      a.moveTo(P(0.32, 0.25));
      a.lineTo(P(0.68, 0.25));
      a.lineTo(P(0.5, 0.5));
      a.lineTo(P(0.68, 0.75));
      a.lineTo(P(0.32, 0.75));
      a.lineTo(P(0.5, 0.5));
      a.closeSubpath();
      p.setPen(Traco(Qt::white, w * 0.6));
      p.setBrush(Qt::white);
      p.drawPath(a);
      break;
    }
    case 5:  // Não Perturbe: a deep red disc with a bar
      Disco(p, q, QColor(0xB3, 0x1B, 0x2E));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawRoundedRect(QRectF(P(0.22, 0.41), P(0.78, 0.59)), s * 0.06, s * 0.06);
      break;
    case 2:  // Invisível: a hollow dashed ring
      p.setBrush(QColor(255, 255, 255, 230));
      p.setPen(QPen(QColor(0x7A, 0x88, 0x99), w, Qt::SolidLine));
      p.drawEllipse(q.adjusted(w / 2 + 0.5, w / 2 + 0.5, -w / 2 - 0.5, -w / 2 - 0.5));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x7A, 0x88, 0x99));
      p.drawEllipse(q.center(), s * 0.12, s * 0.12);
      break;
    case 3:  // Desconectado: a grey disc with a cross
      Disco(p, q, QColor(0x8E, 0x98, 0xA4));
      p.setPen(Traco(Qt::white, w));
      p.drawLine(P(0.33, 0.33), P(0.67, 0.67));
      p.drawLine(P(0.67, 0.33), P(0.33, 0.67));
      break;
    default: {  // Desconhecido
      Disco(p, q, QColor(0x94, 0xA0, 0xAE));
      QFont f = Fonte(std::max(8, static_cast<int>(s * 0.72)), true);
      Escrever(p, q.adjusted(0, 0, 0, 0), QStringLiteral("?"), Qt::white, f);
      break;
    }
  }
  p.restore();
}

void Origem(QPainter& p, const QRectF& r, const std::string& nome, bool ativo) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(r.width(), r.height());
  const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  auto P = [&](qreal fx, qreal fy) { return QPointF(q.left() + fx * s, q.top() + fy * s); };
  auto C = [ativo](QColor c) {
    if (ativo) return c;
    const int g = qGray(c.rgb());
    return QColor(g, g, g).lighter(115);
  };
  if (nome == "ICQ") {  // a flower: green petals, a red heart
    p.setPen(QPen(C(QColor(0x1C, 0x7A, 0x2C)), std::max<qreal>(0.8, s / 20)));
    p.setBrush(C(QColor(0x4C, 0xC2, 0x4A)));
    for (int i = 0; i < 6; ++i) {
      const qreal a = i * M_PI / 3 - M_PI / 2;
      p.drawEllipse(
          QPointF(q.center().x() + std::cos(a) * s * 0.28, q.center().y() + std::sin(a) * s * 0.28),
          s * 0.2, s * 0.2);
    }
    p.setBrush(C(QColor(0xE5, 0x3B, 0x2C)));
    p.setPen(QPen(C(QColor(0x9A, 0x1C, 0x12)), std::max<qreal>(0.8, s / 20)));
    p.drawEllipse(q.center(), s * 0.17, s * 0.17);
  } else if (nome == "MSN") {  // two buddies, blue and green
    p.setPen(Qt::NoPen);
    p.setBrush(C(QColor(0x2E, 0xAD, 0x4B)));
    p.drawEllipse(P(0.66, 0.3), s * 0.15, s * 0.15);
    p.drawChord(QRectF(P(0.42, 0.48), P(0.92, 1.06)), 0, 180 * 16);
    p.setBrush(C(QColor(0x1E, 0x88, 0xE5)));
    p.setPen(QPen(Qt::white, std::max<qreal>(0.8, s / 18)));
    p.drawEllipse(P(0.36, 0.32), s * 0.17, s * 0.17);
    p.drawChord(QRectF(P(0.06, 0.52), P(0.66, 1.12)), 0, 180 * 16);
  } else if (nome == "YAH" || nome == "Tazu") {  // a rounded tile with the letter
    const bool yahoo = nome == "YAH";
    const QColor base = C(yahoo ? QColor(0x6B, 0x2A, 0xA8) : cor::Acento);
    p.setPen(QPen(base.darker(140), std::max<qreal>(0.8, s / 18)));
    p.setBrush(base);
    p.drawRoundedRect(q.adjusted(0.5, 0.5, -0.5, -0.5), s * 0.22, s * 0.22);
    QFont f = Fonte(std::max(7, static_cast<int>(s * (yahoo ? 0.62 : 0.72))), true);
    Escrever(p, q.adjusted(0, 0, 0, 0), yahoo ? QStringLiteral("Y!") : QStringLiteral("T"),
             Qt::white, f);
  } else if (nome == "Celular") {
    p.setPen(QPen(C(QColor(0x37, 0x47, 0x5A)), std::max<qreal>(1, s / 14)));
    p.setBrush(C(QColor(0x60, 0x74, 0x8A)));
    p.drawRoundedRect(QRectF(P(0.28, 0.06), P(0.72, 0.94)), s * 0.08, s * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(C(QColor(0xBF, 0xE3, 0xFF)));
    p.drawRect(QRectF(P(0.35, 0.16), P(0.65, 0.56)));
    p.setBrush(Qt::white);
    p.drawEllipse(P(0.5, 0.76), s * 0.06, s * 0.06);
  } else {  // Globo
    p.setPen(QPen(C(QColor(0x15, 0x65, 0xC0)), std::max<qreal>(1, s / 14)));
    p.setBrush(C(QColor(0x64, 0xB5, 0xF6)));
    p.drawEllipse(q.adjusted(1, 1, -1, -1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(P(0.32, 0.08), P(0.68, 0.92)));
    p.drawLine(P(0.08, 0.5), P(0.92, 0.5));
    p.drawLine(P(0.5, 0.06), P(0.5, 0.94));
  }
  p.restore();
}

void Logo(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(r.width(), r.height());
  const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  // A speech bubble in the accent colour with a white "T".
  QPainterPath b;
  b.addEllipse(q.adjusted(0.5, 0.5, -0.5, -s * 0.14));
  QPainterPath cauda;
  cauda.moveTo(q.left() + s * 0.2, q.bottom() - s * 0.32);
  cauda.lineTo(q.left() + s * 0.08, q.bottom() - 0.5);
  cauda.lineTo(q.left() + s * 0.46, q.bottom() - s * 0.2);
  cauda.closeSubpath();
  QLinearGradient g(q.topLeft(), q.bottomLeft());
  g.setColorAt(0, cor::Acento.lighter(120));
  g.setColorAt(1, cor::AcentoEscuro);
  p.setBrush(g);
  p.setPen(QPen(cor::AcentoEscuro.darker(130), std::max<qreal>(1, s / 20)));
  p.drawPath(b.united(cauda));
  Escrever(p, q.adjusted(0, -s * 0.06, 0, -s * 0.14), QStringLiteral("T"), Qt::white,
           Fonte(static_cast<int>(s * 0.6), true));
  p.restore();
}

void TelaMsg(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(r.width(), r.height());
  const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  // An envelope with the accent flap.
  const QRectF e(q.left() + s * 0.06, q.top() + s * 0.2, s * 0.88, s * 0.62);
  p.setPen(QPen(cor::AcentoEscuro.darker(120), std::max<qreal>(1, s / 16)));
  p.setBrush(QColor(0xFF, 0xF4, 0xE0));
  p.drawRoundedRect(e.adjusted(0.5, 0.5, -0.5, -0.5), s * 0.08, s * 0.08);
  QPainterPath aba;
  aba.moveTo(e.topLeft() + QPointF(1, 1));
  aba.lineTo(QPointF(e.center().x(), e.top() + e.height() * 0.6));
  aba.lineTo(e.topRight() + QPointF(-1, 1));
  p.setBrush(cor::Acento);
  p.drawPath(aba);
  p.restore();
}

}  // namespace tazu::arte
