#include "quadro/widgets/delegatovoci.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QTreeView>

namespace varimo::quadro {

namespace {

const char* const kIndice = "varimo_indice";
const char* const kScritto = "varimo_scritto";

bool modificabile(const QModelIndex& i) {
    return i.isValid() && (i.flags() & Qt::ItemIsEditable);
}

// The next (verso +1) or previous (-1) editable cell after `da`, row by row
// in the order the tree shows them; invalid past the last.
QModelIndex cellaSeguente(const QAbstractItemView* vista, const QModelIndex& da, int verso) {
    const auto* albero = qobject_cast<const QTreeView*>(vista);
    const int colonne = da.model()->columnCount(da.parent());
    QModelIndex riga = da.siblingAtColumn(0);
    int colonna = da.column() + verso;
    while (riga.isValid()) {
        for (; colonna >= 0 && colonna < colonne; colonna += verso) {
            const QModelIndex c = riga.siblingAtColumn(colonna);
            if (modificabile(c)) return c;
        }
        if (!albero) return {};
        riga = verso > 0 ? albero->indexBelow(riga) : albero->indexAbove(riga);
        colonna = verso > 0 ? 0 : colonne - 1;
    }
    return {};
}

}  // namespace

QWidget* DelegatoVoci::createEditor(QWidget* genitore, const QStyleOptionViewItem& opzione,
                                    const QModelIndex& indice) const {
    QWidget* editor = QStyledItemDelegate::createEditor(genitore, opzione, indice);
    if (editor) editor->setProperty(kIndice, QVariant::fromValue(QPersistentModelIndex(indice)));
    return editor;
}

void DelegatoVoci::setModelData(QWidget* editor, QAbstractItemModel* modello,
                                const QModelIndex& indice) const {
    if (editor->property(kScritto).toBool()) return;
    QStyledItemDelegate::setModelData(editor, modello, indice);
}

bool DelegatoVoci::eventFilter(QObject* oggetto, QEvent* evento) {
    auto* editor = qobject_cast<QLineEdit*>(oggetto);
    if (!editor || evento->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(oggetto, evento);
    const int tasto = static_cast<QKeyEvent*>(evento)->key();
    const bool invio = tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
    const bool avanti = tasto == Qt::Key_Tab;
    const bool indietro = tasto == Qt::Key_Backtab;
    if (!invio && !avanti && !indietro) return QStyledItemDelegate::eventFilter(oggetto, evento);

    const QPersistentModelIndex indice = editor->property(kIndice).value<QPersistentModelIndex>();
    if (!indice.isValid()) return QStyledItemDelegate::eventFilter(oggetto, evento);
    auto* modello = const_cast<QAbstractItemModel*>(indice.model());
    // Refused: the editor stays open with what was typed.
    if (!modello->setData(indice, editor->text(), Qt::EditRole)) return true;
    editor->setProperty(kScritto, true);

    auto* vista = qobject_cast<QAbstractItemView*>(parent());
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (!vista || !indice.isValid()) return true;
    QModelIndex dopo;
    if (invio) {
        if (const auto* albero = qobject_cast<const QTreeView*>(vista))
            dopo = albero->indexBelow(indice.sibling(indice.row(), 0))
                       .siblingAtColumn(indice.column());
    } else {
        dopo = cellaSeguente(vista, indice, avanti ? +1 : -1);
    }
    if (!dopo.isValid()) return true;
    vista->setCurrentIndex(dopo);
    if (!invio) vista->edit(dopo);
    return true;
}

}  // namespace varimo::quadro
