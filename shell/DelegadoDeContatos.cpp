#include "shell/DelegadoDeContatos.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "shell/ListasDoGerenciador.h"
#include "skin/Skin.h"

namespace tazu {

TDelegadoDeContatos::TDelegadoDeContatos(const std::vector<QPixmap>& imagens, QObject* dono)
    : QStyledItemDelegate(dono), imagens_(imagens) {
  const QFontMetrics medida(FonteDaSkin(8));
  altura_ = std::max(medida.boundingRect(QStringLiteral("A")).height() + 4, LarguraDoIcone + 1);
}

const QPixmap* TDelegadoDeContatos::Imagem(int indice) const {
  if (indice < 0 || static_cast<std::size_t>(indice) >= imagens_.size()) return nullptr;
  const QPixmap& p = imagens_[static_cast<std::size_t>(indice)];
  return p.isNull() ? nullptr : &p;
}

void TDelegadoDeContatos::paint(QPainter* p, const QStyleOptionViewItem& opcao,
                                const QModelIndex& indice) const {
  const QRect r = opcao.rect;
  const QString texto = indice.data(Qt::DisplayRole).toString();
  const QPalette& paleta = opcao.palette;
  p->save();
  if (indice.data(TListasDoGerenciador::PapelCabecalho).toBool()) {
    p->setFont(FonteDaSkin(8, true));
    p->setPen(paleta.color(QPalette::Text));
    p->drawText(r.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, texto);
    p->restore();
    return;
  }
  const bool selecionada = opcao.state & QStyle::State_Selected;
  if (selecionada) p->fillRect(r, paleta.color(QPalette::Highlight));
  const int meio = r.top() + (r.height() - LarguraDoIcone) / 2;
  if (const QPixmap* status = Imagem(indice.data(TListasDoGerenciador::PapelImagem).toInt())) {
    p->drawPixmap(r.left() + 4, meio, *status);
  }
  if (const QPixmap* origem = Imagem(indice.data(TListasDoGerenciador::PapelOrigem).toInt())) {
    p->drawPixmap(r.right() - LarguraDoIcone - 2, meio, *origem);
  }
  p->setFont(opcao.font);
  p->setPen(paleta.color(selecionada ? QPalette::HighlightedText : QPalette::Text));
  const QRect areaDoTexto = r.adjusted(4 + LarguraDoIcone + 5, 0, -(LarguraDoIcone + 6), 0);
  p->drawText(areaDoTexto, Qt::AlignLeft | Qt::AlignVCenter,
              opcao.fontMetrics.elidedText(texto, Qt::ElideRight, areaDoTexto.width()));
  p->restore();
}

QSize TDelegadoDeContatos::sizeHint(const QStyleOptionViewItem& opcao, const QModelIndex&) const {
  return {opcao.rect.width(), altura_};
}

void TVistaDeContatos::dataChanged(const QModelIndex& primeiro, const QModelIndex& ultimo,
                                   const QList<int>&) {
  for (int r = primeiro.row(); r <= ultimo.row(); ++r) {
    const QRect area = visualRect(model()->index(r, 0));
    if (area.intersects(viewport()->rect())) viewport()->update(area);
  }
}

}  // namespace tazu
