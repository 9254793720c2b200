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

QPen Traco(const QColor& c, qreal largura) {
  QPen pen(c, largura);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

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

}  // namespace tazu::arte
