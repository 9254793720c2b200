#include "skin-src/desenho/Arte.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace tazu::arte {

QFont Fonte(int pixels, bool negrito) {
  QFont f;
  f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
  f.setPixelSize(pixels);
  f.setBold(negrito);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QImage Nova(int largura, int altura) {
  QImage i(largura, altura, QImage::Format_ARGB32_Premultiplied);
  i.fill(Qt::transparent);
  return i;
}

QImage Achatar(const QImage& argb, const QColor& sob, const QColor& chave) {
  const QImage fonte = argb.convertToFormat(QImage::Format_ARGB32);
  QImage saida(fonte.size(), QImage::Format_RGB32);
  for (int y = 0; y < fonte.height(); ++y) {
    const auto* de = reinterpret_cast<const QRgb*>(fonte.constScanLine(y));
    auto* para = reinterpret_cast<QRgb*>(saida.scanLine(y));
    for (int x = 0; x < fonte.width(); ++x) {
      const QRgb c = de[x];
      const int a = qAlpha(c);
      if (a < 128) {
        para[x] = chave.rgb();
        continue;
      }
      auto mistura = [a](int frente, int fundo) { return (frente * a + fundo * (255 - a)) / 255; };
      QRgb r = qRgb(mistura(qRed(c), sob.red()), mistura(qGreen(c), sob.green()),
                    mistura(qBlue(c), sob.blue()));
      // Never let a drawn pixel take the key's colour by accident.
      if ((r & 0xFFFFFF) == (chave.rgb() & 0xFFFFFF)) r ^= 0x010000;
      para[x] = r;
    }
  }
  return saida;
}

bool Salvar(const QImage& imagem, const std::string& caminho) {
  const QString c = QString::fromStdString(caminho);
  QDir().mkpath(QFileInfo(c).path());
  const QString sufixo = QFileInfo(c).suffix().toLower();
  if (sufixo == QLatin1String("bmp")) {
    return imagem.convertToFormat(QImage::Format_RGB32).save(c, "BMP");
  }
  return imagem.save(c);
}

void Gradiente(QPainter& p, const QRectF& r, const QColor& topo, const QColor& base, qreal raio) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, topo);
  g.setColorAt(1, base);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  if (raio > 0) {
    p.drawRoundedRect(r, raio, raio);
  } else {
    p.drawRect(r);
  }
}

void Escrever(QPainter& p, const QRectF& r, const QString& texto, const QColor& corTexto,
              const QFont& fonte, Qt::Alignment alinhamento) {
  p.setFont(fonte);
  p.setPen(corTexto);
  const QFontMetricsF fm(fonte);
  const QString cabe = fm.elidedText(texto, Qt::ElideRight, r.width());
  p.drawText(r, static_cast<int>(alinhamento) | Qt::TextSingleLine, cabe);
}

void Botao(QPainter& p, const QRectF& r, const QString& texto, bool primario) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF c = r.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient g(c.topLeft(), c.bottomLeft());
  if (primario) {
    g.setColorAt(0, cor::TituloClaro);
    g.setColorAt(1, cor::TituloEscuro);
  } else {
    g.setColorAt(0, cor::BotaoClaro);
    g.setColorAt(1, cor::BotaoEscuro);
  }
  p.setBrush(g);
  p.setPen(QPen(primario ? cor::TituloEscuro.darker(130) : cor::BordaBotao, 1));
  p.drawRoundedRect(c, 5, 5);
  // A soft light line along the top edge gives the button its relief.
  p.setPen(QPen(QColor(255, 255, 255, primario ? 90 : 200), 1));
  p.drawLine(QPointF(c.left() + 4, c.top() + 1.5), QPointF(c.right() - 4, c.top() + 1.5));
  Escrever(p, r, texto, primario ? Qt::white : cor::Texto, Fonte(12, true));
  p.restore();
}

void BotaoIcone(QPainter& p, const QRectF& r, const std::string& glifo) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF c = r.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient g(c.topLeft(), c.bottomLeft());
  g.setColorAt(0, cor::BotaoClaro);
  g.setColorAt(1, cor::BotaoEscuro);
  p.setBrush(g);
  p.setPen(QPen(cor::BordaBotao, 1));
  p.drawRoundedRect(c, 5, 5);
  const qreal lado = std::min(r.width(), r.height()) - 8;
  Glifo(p, QRectF(r.center().x() - lado / 2, r.center().y() - lado / 2, lado, lado), glifo,
        cor::TituloEscuro);
  p.restore();
}

void Campo(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF c = r.adjusted(-2.5, -2.5, 2.5, 2.5);
  p.setBrush(cor::Painel);
  p.setPen(QPen(cor::BordaCampo, 1));
  p.drawRoundedRect(c, 4, 4);
  p.restore();
}

void Painel(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF c = r.adjusted(-2.5, -2.5, 2.5, 2.5);
  p.setBrush(cor::Painel);
  p.setPen(QPen(cor::BordaCampo, 1));
  p.drawRoundedRect(c, 6, 6);
  p.restore();
}

void Aba(QPainter& p, const QRectF& r, const QString& texto, bool selecionada) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath forma;
  const QRectF c = r.adjusted(0.5, 0.5, -0.5, 0.5);
  forma.moveTo(c.bottomLeft());
  forma.lineTo(c.left(), c.top() + 6);
  forma.quadTo(c.topLeft(), QPointF(c.left() + 6, c.top()));
  forma.lineTo(c.right() - 6, c.top());
  forma.quadTo(c.topRight(), QPointF(c.right(), c.top() + 6));
  forma.lineTo(c.bottomRight());
  if (selecionada) {
    p.setBrush(cor::Painel);
  } else {
    QLinearGradient g(c.topLeft(), c.bottomLeft());
    g.setColorAt(0, cor::Faixa);
    g.setColorAt(1, cor::BotaoEscuro);
    p.setBrush(g);
  }
  p.setPen(QPen(cor::BordaCampo, 1));
  p.drawPath(forma);
  if (selecionada) {
    p.setPen(QPen(cor::Acento, 2));
    p.drawLine(QPointF(c.left() + 5, c.top() + 1.5), QPointF(c.right() - 5, c.top() + 1.5));
  }
  Escrever(p, r.adjusted(0, 1, 0, 0), texto, selecionada ? cor::Texto : cor::TextoSuave,
           Fonte(11, selecionada));
  p.restore();
}

void Alca(QPainter& p, const QRectF& r, const QColor& corPontos) {
  p.save();
  p.setPen(Qt::NoPen);
  for (int linha = 0; linha < 3; ++linha) {
    for (int coluna = 0; coluna <= linha; ++coluna) {
      const qreal x = r.right() - 3 - coluna * 4;
      const qreal y = r.bottom() - 3 - (linha - coluna) * 4;
      p.setBrush(QColor(255, 255, 255, 200));
      p.drawRect(QRectF(x - 1, y - 1 + 1, 2, 2));
      p.setBrush(corPontos);
      p.drawRect(QRectF(x - 1 - 1, y - 1, 2, 2));
    }
  }
  p.restore();
}

namespace {

QPen Traco(const QColor& c, qreal largura) {
  QPen pen(c, largura);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

}  // namespace

void Glifo(QPainter& p, const QRectF& r, const std::string& nome, const QColor& corTraco) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = std::min(r.width(), r.height());
  const QRectF q(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  const qreal w = std::max<qreal>(1.5, s / 8);
  p.setPen(Traco(corTraco, w));
  p.setBrush(Qt::NoBrush);
  auto P = [&](qreal fx, qreal fy) { return QPointF(q.left() + fx * s, q.top() + fy * s); };
  if (nome == "fechar") {
    p.drawLine(P(0.25, 0.25), P(0.75, 0.75));
    p.drawLine(P(0.75, 0.25), P(0.25, 0.75));
  } else if (nome == "minimizar") {
    p.drawLine(P(0.25, 0.68), P(0.75, 0.68));
  } else if (nome == "desligar") {
    p.drawArc(QRectF(P(0.22, 0.24), P(0.78, 0.80)), 120 * 16, 300 * 16);
    p.drawLine(P(0.5, 0.16), P(0.5, 0.48));
  } else if (nome == "lupa") {
    p.drawEllipse(QRectF(P(0.16, 0.16), P(0.62, 0.62)));
    p.setPen(Traco(corTraco, w * 1.4));
    p.drawLine(P(0.58, 0.58), P(0.84, 0.84));
  } else if (nome == "menu") {
    for (qreal y : {0.28, 0.5, 0.72}) p.drawLine(P(0.2, y), P(0.8, y));
  } else if (nome == "usuarios") {
    p.drawEllipse(QRectF(P(0.22, 0.14), P(0.50, 0.42)));
    p.drawArc(QRectF(P(0.10, 0.50), P(0.62, 1.02)), 0, 180 * 16);
    p.drawEllipse(QRectF(P(0.56, 0.22), P(0.78, 0.44)));
    p.drawArc(QRectF(P(0.52, 0.54), P(0.92, 0.94)), 0, 180 * 16);
  } else if (nome == "sobre" || nome == "info") {
    p.drawEllipse(QRectF(P(0.12, 0.12), P(0.88, 0.88)));
    p.drawLine(P(0.5, 0.46), P(0.5, 0.70));
    p.setBrush(corTraco);
    p.drawEllipse(P(0.5, 0.32), w * 0.6, w * 0.6);
  } else if (nome == "historico") {
    p.drawEllipse(QRectF(P(0.14, 0.14), P(0.86, 0.86)));
    p.drawLine(P(0.5, 0.28), P(0.5, 0.5));
    p.drawLine(P(0.5, 0.5), P(0.66, 0.6));
  } else if (nome == "seta") {
    QPainterPath t;
    t.moveTo(P(0.25, 0.38));
    t.lineTo(P(0.75, 0.38));
    t.lineTo(P(0.5, 0.66));
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(corTraco);
    p.drawPath(t);
  } else if (nome == "enviar") {
    QPainterPath a;
    a.moveTo(P(0.12, 0.45));
    a.lineTo(P(0.88, 0.15));
    a.lineTo(P(0.62, 0.86));
    a.lineTo(P(0.48, 0.56));
    a.closeSubpath();
    p.setBrush(corTraco);
    p.setPen(Traco(corTraco, w * 0.6));
    p.drawPath(a);
  }
  p.restore();
}

void BotaoDeTitulo(QPainter& p, const QRectF& r, const std::string& glifo) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const bool perigo = glifo == "fechar" || glifo == "desligar";
  p.setPen(QPen(QColor(255, 255, 255, 70), 1));
  p.setBrush(perigo ? QColor(0xD9, 0x4B, 0x3D) : QColor(255, 255, 255, 40));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  Glifo(p, r.adjusted(2, 2, -2, -2), glifo, Qt::white);
  p.restore();
}

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
