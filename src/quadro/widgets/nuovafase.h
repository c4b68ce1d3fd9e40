#pragma once

#include <QDialog>

#include "quadro/fasi.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;

namespace varimo::quadro {

// "Nuova fase" (`nuovafase`): the kind of the new phase (`tipofase`), its name
// (`nomefase`, proposed from the kind), its date (`datafase`, today), and
// whether the current phase is locked (`bloccacorrente`, checked), so that
// it is no longer edited by mistake.
class DialogoNuovaFase : public QDialog {
    Q_OBJECT
  public:
    DialogoNuovaFase(const FileFasi& f, int corrente, QWidget* parent = nullptr);

    TipoFase tipo() const;
    QString nome() const;
    QString data() const;
    bool bloccaCorrente() const;

  private:
    const FileFasi& file_;
    QComboBox* tipo_;
    QLineEdit* nome_;
    QLineEdit* data_;
    QCheckBox* blocca_;
};

// The command: asks with the dialog, then adds the phase after `corrente`
// (from a copy of it) and locks `corrente` if asked. The index of the new
// phase, or nothing when cancelled or refused (the reason shown).
std::optional<int> comandoNuovaFase(QWidget* parent, FileFasi& f, int corrente);

// The action a framework window puts in its menu ("Nuova fase", `nuovafase`).
QAction* azioneNuovaFase(QObject* parent);

}  // namespace varimo::quadro
