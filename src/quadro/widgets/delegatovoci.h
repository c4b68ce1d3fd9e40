#pragma once

#include <QStyledItemDelegate>

namespace varimo::quadro {

// The editor of the item tree's cells. Enter, Tab and Shift+Tab write what
// was typed: a text the model refuses keeps the editor open with the text as
// typed (the window says why beside the tree), so nothing typed is lost. A
// text it takes closes the editor and moves on: Enter to the cell below, Tab
// and Shift+Tab to the next and previous editable cell, row after row. Esc
// closes the editor and keeps the cell as it was.
class DelegatoVoci : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* genitore, const QStyleOptionViewItem& opzione,
                          const QModelIndex& indice) const override;
    // The model has taken the text already when the editor closes by a key:
    // nothing is written twice.
    void setModelData(QWidget* editor, QAbstractItemModel* modello,
                      const QModelIndex& indice) const override;

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
};

}  // namespace varimo::quadro
