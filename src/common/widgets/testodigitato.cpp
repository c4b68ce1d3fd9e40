#include "common/widgets/testodigitato.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QValidator>

#include "common/codifica.h"

namespace varimo {

namespace {

// Accepts every text once its control characters are gone; the line edit
// takes the cleaned text (and the moved cursor) as what the user typed.
class ValidatoreSenzaControlli final : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& testo, int& posizione) const override {
        if (posizioneControllo(testo) < 0) return Acceptable;
        const QString prima = senzaControlli(testo.left(posizione));
        testo = senzaControlli(testo);
        posizione = static_cast<int>(prima.size());
        return Acceptable;
    }
};

// A line edit keeps its own undo list of every keystroke for as long as its
// text is not set by the program, which in a long session grows without end
// (the window's own undo history, bounded, is the one the user reaches). When
// a box loses the focus its list is emptied: the same text set again, with
// the cursor and the selection as they were.
class SvuotaAnnullaCasella final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() == QEvent::FocusOut) {
            auto* e = qobject_cast<QLineEdit*>(oggetto);
            if (e && (e->isUndoAvailable() || e->isRedoAvailable())) {
                const int cursore = e->cursorPosition();
                const int inizio = e->selectionStart();
                const int lunghezza = e->selectionLength();
                e->setText(e->text());
                if (inizio >= 0 && lunghezza > 0) {
                    e->setSelection(inizio, lunghezza);
                    if (cursore == inizio) e->setSelection(inizio + lunghezza, -lunghezza);
                } else {
                    e->setCursorPosition(cursore);
                }
            }
        }
        return false;
    }
};

}  // namespace

void limitaTestiDigitati(QWidget* finestra) {
    auto* validatore = new ValidatoreSenzaControlli(finestra);
    auto* svuota = new SvuotaAnnullaCasella(finestra);
    for (QLineEdit* e : finestra->findChildren<QLineEdit*>()) {
        if (!e->validator()) e->setValidator(validatore);
        e->setMaxLength(static_cast<int>(lunghezzaMassimaCampo));
        e->installEventFilter(svuota);
    }
}

}  // namespace varimo
