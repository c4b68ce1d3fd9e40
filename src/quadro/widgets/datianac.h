#pragma once

#include <QDialog>
#include <functional>

#include "quadro/fasi.h"

class QLabel;
class QTreeWidget;

// "Dati per ANAC": the phase in the window as ANAC's platform asks for it.
// Each key of its data model with its Italian name, its amount and, below
// it, the items it sums; the check that the keys add up to the phase's
// total, naming the items that make a difference; the days of extension of a
// variant. "Copia" puts the figures on the clipboard, "Salva JSON…" writes
// the document the command line's --anac writes. The window follows the
// document while it is open.

namespace varimo::quadro {

class FinestraDatiAnac final : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "datianac";

    // `nomeProposto` gives the name the JSON's save dialog proposes.
    FinestraDatiAnac(std::function<QString()> nomeProposto, QWidget* parent = nullptr);

    // Shows phase `i` of `f`.
    void impostaFase(const FileFasi& f, int i);

  private:
    void copia();
    void salvaJson();

    std::function<QString()> nomeProposto_;
    FileFasi fasi_;
    int indice_ = 0;
    QLabel* fase_;
    QTreeWidget* chiavi_;
    QLabel* totali_;
    QLabel* verifica_;
};

}  // namespace varimo::quadro
