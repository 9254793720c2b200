// How a row of the manager's lists is drawn: the status picture, the nickname
// and the origin icon in a narrow column on the right; a list's header as its
// title in bold. Every row has the same height, so the view lays thousands of
// rows out without asking each one.
#pragma once

#include <QListView>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <vector>

namespace tazu {

class TDelegadoDeContatos : public QStyledItemDelegate {
 public:
  static constexpr int LarguraDoIcone = 16;

  TDelegadoDeContatos(const std::vector<QPixmap>& imagens, QObject* dono);

  // The text height of "A" in the lists' font plus 4 pixels.
  int AlturaDaLinha() const { return altura_; }

  void paint(QPainter* p, const QStyleOptionViewItem& opcao,
             const QModelIndex& indice) const override;
  QSize sizeHint(const QStyleOptionViewItem& opcao, const QModelIndex& indice) const override;

 private:
  const QPixmap* Imagem(int indice) const;

  const std::vector<QPixmap>& imagens_;
  int altura_;
};

// The view of the lists. A row's picture changes (presence, blinking) never
// change its size, so they repaint the row and nothing else: the stock view
// would lay every row out again for each one.
class TVistaDeContatos : public QListView {
 public:
  using QListView::QListView;

 protected:
  void dataChanged(const QModelIndex& primeiro, const QModelIndex& ultimo,
                   const QList<int>& papeis) override;
};

}  // namespace tazu
