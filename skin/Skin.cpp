#include "skin/Skin.h"

#include <QFileInfo>
#include <QMovie>
#include <QSize>
#include <algorithm>
#include <limits>

#include "core/Caminhos.h"
#include "skin/Texto.h"

namespace tazu {

std::string CaminhoNaSkin(std::string_view relativo) {
  std::string caminho = DiretorioSkin();
  std::size_t i = 0;
  while (i < relativo.size() && (relativo[i] == '\\' || relativo[i] == '/')) ++i;
  for (; i < relativo.size(); ++i) caminho += relativo[i] == '\\' ? '/' : relativo[i];
  return caminho;
}

QString CaminhoNaSkinQt(std::string_view relativo) {
  return ParaQString(CaminhoNaSkin(relativo));
}

QColor CorDaSkin(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t CorParaSkin(const QColor& cor) {
  return static_cast<uint32_t>(cor.red()) | static_cast<uint32_t>(cor.green()) << 8 |
         static_cast<uint32_t>(cor.blue()) << 16;
}

QImage CarregarImagemDaSkin(std::string_view relativo) {
  if (relativo.empty()) return {};
  QImage imagem(CaminhoNaSkinQt(relativo));
  return imagem;
}

QImage SemCor(const QImage& imagem, QColor chave) {
  if (imagem.isNull()) return imagem;
  QImage saida = imagem.convertToFormat(QImage::Format_ARGB32);
  const QRgb alvo = chave.rgb() & 0xFFFFFF;
  for (int y = 0; y < saida.height(); ++y) {
    auto* linha = reinterpret_cast<QRgb*>(saida.scanLine(y));
    for (int x = 0; x < saida.width(); ++x) {
      if ((linha[x] & 0xFFFFFF) == alvo) linha[x] = 0;
    }
  }
  return saida;
}

QFont FonteDaSkin(int pontos, bool negrito) {
  QFont fonte;
  fonte.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
  fonte.setPointSize(pontos);
  fonte.setBold(negrito);
  return fonte;
}

QString CaminhoDaAnimacao(std::string_view relativo) {
  const QString pedido = CaminhoNaSkinQt(relativo);
  const QFileInfo info(pedido);
  const auto formatos = QMovie::supportedFormats();
  if (info.exists() && formatos.contains(info.suffix().toLower().toLatin1())) return pedido;
  for (const QByteArray& formato : formatos) {
    const QString candidato = info.path() + QLatin1Char('/') + info.completeBaseName() +
                              QLatin1Char('.') + QString::fromLatin1(formato);
    if (QFileInfo::exists(candidato)) return candidato;
  }
  return {};
}

QRect ParaQRect(const TRetangulo& r) {
  auto lado = [](int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, 0, std::numeric_limits<int>::max() / 2));
  };
  return QRect(r.Esquerda, r.Topo, lado(r.Largura()), lado(r.Altura()));
}

TTamanho ParaTamanho(QSize s) {
  return {s.width(), s.height()};
}

}  // namespace tazu
