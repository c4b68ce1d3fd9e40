#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include "quadro/fasi.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTableView;

namespace varimo::quadro {

// The comparison as a table: code, label, one column per phase, the
// difference; then the contract amount and the project total.
class ModelloConfronto : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;
    void imposta(const Confronto& c);
    const Confronto& confronto() const { return c_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& i, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo = Qt::DisplayRole) const override;

  private:
    Confronto c_;
};

// The window `confronto` ("Confronto tra le fasi"): the phases to compare
// (`fasi`, all checked at first), the two the difference runs between (`da`,
// `a`), the table (`tabella`), what each phase has used of the contingencies
// and economies with the warnings on the variants (`andamento`), and the
// commands "Stampa" (`stampaconfronto`), "Esporta…" (`esportaconfronto`) and
// "Chiudi" (`chiudiconfronto`, also Esc). It opens as wide and tall as its
// table needs, within the screen.
class FinestraConfronto : public QWidget {
    Q_OBJECT
  public:
    explicit FinestraConfronto(FileFasi file, QWidget* parent = nullptr);

    // The phases shown changed (a new phase, an edit in the framework window):
    // the phases left out stay out by name, the difference keeps its pair (the
    // last two while it was the last two).
    void impostaFile(FileFasi file);
    const Confronto& confronto() const { return modello_->confronto(); }
    QString testoAndamento() const;

    void stampa();
    void esporta();
    std::optional<ConfrontoCalcolato> calcolato() const;

  private:
    void riempiFasi();
    void aggiorna();
    // The size the window opens at: its table whole, within the screen.
    QSize misuraIniziale();

    FileFasi file_;
    ModelloConfronto* modello_;
    QListWidget* fasi_;
    QComboBox* da_;
    QComboBox* a_;
    QTableView* tabella_;
    QLabel* andamento_;
    QLabel* problema_;
    bool riempiendo_ = false;
};

}  // namespace varimo::quadro
