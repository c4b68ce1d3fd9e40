#include "shell/widgets/testodigitato.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

#include "datafile/formato.h"

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

}  // namespace

void limitaTestiDigitati(QWidget* finestra) {
    auto* validatore = new ValidatoreSenzaControlli(finestra);
    for (QLineEdit* e : finestra->findChildren<QLineEdit*>()) {
        if (!e->validator()) e->setValidator(validatore);
        e->setMaxLength(static_cast<int>(lunghezzaMassimaCampo));
    }
}

}  // namespace varimo
