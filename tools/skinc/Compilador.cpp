#include "tools/skinc/Compilador.h"

#include <QPainterPath>
#include <QRegion>
#include <iostream>

#include "skin-src/desenho/Arte.h"
#include "skin/Skin.h"
#include "skin/UFeicoesVariaveis.h"

namespace tazu::skinc {

namespace {

QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

std::string Caminho(const std::string& saida, const std::string& relativo) {
  std::string c = saida;
  if (!c.empty() && c.back() != '/') c += '/';
  for (char ch : relativo) c += ch == '\\' ? '/' : ch;
  return c;
}

Qt::Alignment Alinhamento(uint8_t a) {
  if (a == 1) return Qt::AlignLeft | Qt::AlignVCenter;
  if (a == 2) return Qt::AlignRight | Qt::AlignVCenter;
  return Qt::AlignCenter;
}

int Extra(const TElementoFonte& e, const char* chave, int padrao) {
  auto it = e.Extras.find(chave);
  return it == e.Extras.end() ? padrao : std::stoi(it->second);
}

void DesenharArte(QPainter& p, const TElementoFonte& e, const QRectF& r) {
  const std::string& tipo = e.Arte.Tipo;
  const QString texto = Q(e.Arte.Texto);
  const TRegistroFeicao& reg = e.Registro;
  if (tipo == "campo") {
    arte::Campo(p, r);
  } else if (tipo == "area") {
    arte::Painel(p, r);
  } else if (tipo == "botao" || tipo == "botaoprimario") {
    arte::Botao(p, r, texto, tipo == "botaoprimario");
  } else if (tipo == "botaoicone") {
    arte::BotaoIcone(p, r, e.Arte.Texto);
  } else if (tipo == "titulo") {
    arte::BotaoDeTitulo(p, r, e.Arte.Texto);
  } else if (tipo == "glifo") {
    arte::Glifo(p, r, e.Arte.Texto, CorDaSkin(reg.FontColor()));
  } else if (tipo == "alca") {
    arte::Alca(p, r, arte::cor::BordaBotao);
  } else if (tipo == "texto") {
    const int tamanho = Extra(e, "tamanho", 11);
    const bool negrito = Extra(e, "negrito", 0) != 0;
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    if (Extra(e, "linhas", 0) != 0) {
      p.setFont(arte::Fonte(tamanho, negrito));
      p.setPen(CorDaSkin(reg.FontColor()));
      p.drawText(r,
                 static_cast<int>(Alinhamento(reg.Alignment()) & Qt::AlignHorizontal_Mask) |
                     Qt::AlignTop | Qt::TextWordWrap,
                 texto);
    } else {
      arte::Escrever(p, r, texto, CorDaSkin(reg.FontColor()), arte::Fonte(tamanho, negrito),
                     Alinhamento(reg.Alignment()));
    }
    p.restore();
  } else if (tipo == "aba") {
    arte::Aba(p, r, texto, false);
  } else if (tipo == "busca") {
    arte::Campo(p, r);
    arte::Glifo(p, QRectF(r.left() + 2, r.top() + 1, r.height() - 2, r.height() - 2), "lupa",
                arte::cor::TextoSuave);
    arte::Escrever(p, r.adjusted(r.height() + 4, 0, 0, 0), texto,
                   arte::cor::TextoSuave.lighter(130), arte::Fonte(11),
                   Qt::AlignLeft | Qt::AlignVCenter);
  } else if (tipo == "status") {
    arte::Status(p, r, std::stoi(e.Arte.Texto));
  } else if (tipo == "origem") {
    arte::Origem(p, r, e.Arte.Texto, true);
  } else if (tipo == "logo") {
    arte::Logo(p, r);
  } else if (tipo == "separador") {
    p.fillRect(r, arte::cor::BordaCampo);
  } else if (tipo == "faixa") {
    p.fillRect(r, CorDaSkin(reg.Color()));
  } else if (!tipo.empty()) {
    std::cerr << "skinc: unknown art '" << tipo << "' (line " << e.Linha << ")\n";
  }
}

// Art of every element (and drawing-only entry) that belongs to `pagina`.
void DesenharArtes(QPainter& p, const TDescritorFonte& d, const std::string& pagina, TTamanho pai) {
  auto desenhar = [&](const TElementoFonte& e) {
    if (e.Arte.Tipo.empty() || e.Pagina != pagina) return;
    DesenharArte(p, e, ParaQRect(RetanguloDoElemento(e.Registro, pai)));
  };
  for (std::size_t i = 1; i < d.Elementos.size(); ++i) desenhar(d.Elementos[i]);
  for (const auto& e : d.Artes) desenhar(e);
}

constexpr qreal RaioDaJanela = 9;

}  // namespace

QImage DesenharJanela(const TDescritorFonte& d) {
  const TRegistroFeicao& jr = d.Elementos[0].Registro;
  const int w = jr.Width(), h = jr.Height();
  QImage img = arte::Nova(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath forma;
  forma.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), RaioDaJanela, RaioDaJanela);
  p.setPen(Qt::NoPen);
  p.setBrush(CorDaSkin(jr.Color()));
  p.drawPath(forma);

  p.save();
  p.setClipPath(forma);
  const int barra = d.BarraDeTitulo;
  arte::Gradiente(p, QRectF(0, 0, w, barra), arte::cor::TituloClaro, arte::cor::TituloEscuro);
  p.fillRect(QRectF(0, barra - 1, w, 1), arte::cor::TituloEscuro.darker(125));
  if (d.Faixa > 0) {
    const QColor faixa = CorDaSkin(d.CorDaFaixa);
    if (faixa.lightness() < 128) {
      arte::Gradiente(p, QRectF(0, barra, w, d.Faixa), arte::cor::TituloEscuro, faixa);
    } else {
      p.fillRect(QRectF(0, barra, w, d.Faixa), faixa);
    }
    p.fillRect(QRectF(0, barra + d.Faixa - 1, w, 1), faixa.darker(112));
  }
  p.restore();

  int xTitulo = 10;
  if (d.Logo) {
    arte::Logo(p, QRectF(7, (barra - 20) / 2.0, 20, 20));
    xTitulo = 33;
  }
  if (!d.Titulo.empty()) {
    arte::Escrever(p, QRectF(xTitulo + 1, 1, w - xTitulo - 70, barra - 1), Q(d.Titulo),
                   QColor(0, 0, 0, 70), arte::Fonte(12, true), Qt::AlignLeft | Qt::AlignVCenter);
    arte::Escrever(p, QRectF(xTitulo, 0, w - xTitulo - 70, barra - 1), Q(d.Titulo), Qt::white,
                   arte::Fonte(12, true), Qt::AlignLeft | Qt::AlignVCenter);
  }

  DesenharArtes(p, d, "", {w, h});

  // The outline last, over everything, so the shape stays crisp.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(arte::cor::Contorno, 1));
  p.drawPath(forma);
  p.setPen(QPen(QColor(255, 255, 255, 60), 1));
  p.drawPath([&] {
    QPainterPath interno;
    interno.addRoundedRect(QRectF(1.5, 1.5, w - 3, h - 3), RaioDaJanela - 1, RaioDaJanela - 1);
    return interno;
  }());
  p.end();
  return arte::Achatar(img, arte::cor::Contorno);
}

namespace {

bool Fatiar(const TDescritorFonte& d, const QImage& janela, const std::string& saida,
            std::string& erro) {
  const TMolduraFonte& m = d.Moldura;
  const int w = janela.width(), h = janela.height();
  const int t = m.Ladrilho;
  const int xb = m.CorteBaseX < 0 ? m.CorteX : m.CorteBaseX;
  const bool cabe = m.CorteX > 0 && m.CorteX + t < w && xb > 0 && xb + t < w && m.CorteY > 0 &&
                    m.Base > 0 && m.CorteY + t <= h - m.Base && m.Lado > 0 && 2 * m.Lado < w;
  if (!cabe) {
    erro = d.Arquivo + ": the frame cuts do not fit the window";
    return false;
  }
  TPecasMoldura pecas;
  pecas[SE] = janela.copy(0, 0, m.CorteX, m.CorteY);
  pecas[CS] = janela.copy(m.CorteX, 0, t, m.CorteY);
  pecas[SD] = janela.copy(m.CorteX + t, 0, w - m.CorteX - t, m.CorteY);
  // The side tiles come from the middle of the stretched rows, away from any
  // rounded corner near the cuts.
  const int meio = (m.CorteY + h - m.Base - t) / 2;
  pecas[CE] = janela.copy(0, meio, m.Lado, t);
  pecas[CD] = janela.copy(w - m.Lado, meio, m.Lado, t);
  pecas[IE] = janela.copy(0, h - m.Base, xb, m.Base);
  pecas[CI] = janela.copy(xb, h - m.Base, t, m.Base);
  pecas[ID] = janela.copy(xb + t, h - m.Base, w - xb - t, m.Base);

  // The pieces must give back the design at its own size: anything drawn in
  // the stretched middle would silently vanish.
  // Inside a box that a control fills (lists, edits, pages) the frame is never
  // seen, so it may stay plain there.
  const QColor corpo = CorDaSkin(d.Elementos[0].Registro.Color());
  const QImage volta = PintarMoldura(h, w, pecas, corpo);
  QRegion coberto;
  for (std::size_t i = 1; i < d.Elementos.size(); ++i) {
    const TElementoFonte& e = d.Elementos[i];
    if (!e.Pagina.empty() || (e.Arte.Tipo != "area" && e.Arte.Tipo != "campo")) continue;
    coberto += ParaQRect(RetanguloDoElemento(e.Registro, {w, h}));
  }
  int diferentes = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (coberto.contains(QPoint(x, y))) continue;
      if ((volta.pixel(x, y) & 0xFFFFFF) != (janela.pixel(x, y) & 0xFFFFFF)) ++diferentes;
    }
  }
  if (diferentes > 0) {
    // SKINC_DEPURAR=<dir> keeps both pictures for a look at the difference.
    if (const QByteArray dir = qgetenv("SKINC_DEPURAR"); !dir.isEmpty()) {
      janela.save(QString::fromLocal8Bit(dir) + "/" + Q(m.Nome) + "-desenho.png");
      volta.save(QString::fromLocal8Bit(dir) + "/" + Q(m.Nome) + "-pecas.png");
    }
    erro = d.Arquivo + ": " + std::to_string(diferentes) +
           " pixels of the design fall in the stretched middle; move the cuts or the art";
    return false;
  }
  for (int i = 0; i < 8; ++i) {
    const std::string c = Caminho(saida, m.Nome + "/" + NomesDasPecas[i] + ".bmp");
    if (!arte::Salvar(pecas[i], c)) {
      erro = "cannot write " + c;
      return false;
    }
  }
  return true;
}

bool Paginas(const TDescritorFonte& d, const std::string& saida, std::string& erro) {
  for (const auto& pg : d.Paginas) {
    QImage img = arte::Nova(pg.Largura, pg.Altura);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), CorDaSkin(pg.Cor));
    DesenharArtes(p, d, pg.Arquivo, {pg.Largura, pg.Altura});
    p.end();
    const std::string c = Caminho(saida, pg.Arquivo);
    if (!arte::Salvar(arte::Achatar(img, CorDaSkin(pg.Cor)), c)) {
      erro = "cannot write " + c;
      return false;
    }
  }
  return true;
}

}  // namespace

bool Compilar(const TDescritorFonte& d, const std::string& saida, std::string& erro) {
  std::vector<TRegistroFeicao> registros;
  for (const auto& e : d.Elementos) registros.push_back(e.Registro);
  if (!GravarDescritor(Caminho(saida, d.Arquivo), registros, &erro)) return false;
  if (d.TemMoldura) {
    const QImage janela = DesenharJanela(d);
    if (!Fatiar(d, janela, saida, erro)) return false;
  }
  return Paginas(d, saida, erro);
}

}  // namespace tazu::skinc
