#pragma once

#include <QAbstractItemModel>
#include <QList>

#include "quadro/documentoquadro.h"

namespace varimo::quadro {

// The items of a framework document as a tree of seven columns: code, label,
// rule, amount, the labour costs an amount item declares, whether it is
// subject to the tender discount (a check box) and its note (the article of
// law it comes from). Edits go to the document as undo steps; a refused edit
// leaves everything as it was and is told through `avviso`, as is a label
// past kEtichettaLunga (kept whole).
class ModelloQuadro : public QAbstractItemModel {
    Q_OBJECT
  public:
    enum Colonna { Codice, Etichetta, Regola, Importo, Manodopera, Ribasso, Nota, Colonne };

    explicit ModelloQuadro(DocumentoQuadro* documento, QObject* parent = nullptr);

    QModelIndex index(int riga, int colonna, const QModelIndex& genitore = {}) const override;
    QModelIndex parent(const QModelIndex& figlio) const override;
    int rowCount(const QModelIndex& genitore = {}) const override;
    int columnCount(const QModelIndex& genitore = {}) const override;
    QVariant data(const QModelIndex& i, int ruolo = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& i, const QVariant& valore, int ruolo = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& i) const override;
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo = Qt::DisplayRole) const override;

    Percorso percorso(const QModelIndex& i) const;
    QModelIndex indiceDi(const Percorso& p, int colonna = 0) const;
    // The chosen rows as tab-separated text for a spreadsheet, in reading
    // order, amounts with a decimal comma and no grouping.
    QString testoTabulato(const QModelIndexList& scelti) const;

  signals:
    void avviso(const QString& messaggio);

  private:
    struct Nodo {
        Percorso percorso;
        int genitore;  // -1: top level
        int riga;
        QList<int> figli;
    };
    void ricostruisci();
    const Voce* voce(const QModelIndex& i) const;

    DocumentoQuadro* documento_;
    QList<Nodo> nodi_;
    QList<int> cime_;
};

}  // namespace varimo::quadro
