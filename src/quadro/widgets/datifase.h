#pragma once

#include <QDialog>
#include <optional>

#include "quadro/fasi.h"

class QCheckBox;
class QLineEdit;

namespace varimo::quadro {

// "Dati della fase" (`datifase`): the name and date of a phase; for an award
// its discount (`ribasso`, "18,735") and whether the labour costs are
// discounted too (`ribassamanodopera`); for a variant the number and date of
// the approving act (`attonumero`, `attodata`) and the limit on the contract
// amount with its article (`limite`, `articolo`).
class DialogoDatiFase : public QDialog {
    Q_OBJECT
  public:
    DialogoDatiFase(const Fase& f, QWidget* parent = nullptr);
    // The phase with the fields typed, or why not (an unreadable discount or
    // limit).
    std::variant<Fase, QString> fase() const;

  private:
    Fase fase_;
    QLineEdit* nome_;
    QLineEdit* data_;
    QLineEdit* ribasso_ = nullptr;
    QCheckBox* manodopera_ = nullptr;
    QLineEdit* numero_ = nullptr;
    QLineEdit* dataAtto_ = nullptr;
    QLineEdit* limite_ = nullptr;
    QLineEdit* articolo_ = nullptr;
    QLineEdit* proroga_ = nullptr;
};

// Asks with the dialog and applies it to phase `i` of `f` (refused when the
// phase is locked; the reason shown). Whether `f` changed.
bool comandoDatiFase(QWidget* parent, FileFasi& f, int i);

}  // namespace varimo::quadro
