#pragma once

#include <QWidget>

#include "help/suggerimenti.h"

class QLabel;
class QPushButton;

namespace varimo {

// "Suggerimento del giorno": one hint at a time from the tips file beside the
// program, with forward (wrapping) and backward (not wrapping) steps.
// "&Chiudi", Enter and Esc hide the window: its tip stays for the next showing.
class SuggerimentoDelGiorno final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "frmTip";

    // Reads the tips file (program folder first, then the installed data).
    SuggerimentoDelGiorno();
    // Reads the tips from the given path (used by tests).
    explicit SuggerimentoDelGiorno(const QString& percorsoSuggerimenti);

    const Suggerimenti& suggerimenti() const { return dati_; }

    QLabel* intestazione() const { return intestazione_; }
    QLabel* testoSuggerimento() const { return testoSuggerimento_; }
    QLabel* lampadina() const { return lampadina_; }
    QPushButton* pulsantePrecedente() const { return pulsantePrecedente_; }
    QPushButton* pulsanteSeguente() const { return pulsanteSeguente_; }
    QPushButton* pulsanteOk() const { return pulsanteOk_; }

    void suggerimentoSeguente();
    void suggerimentoPrecedente();
    void chiudi();

    // The small picture of the window: a lit bulb.
    static QPixmap disegnoLampadina(int lato);

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void costruisci();
    void aggiorna();

    Suggerimenti dati_;
    QLabel* intestazione_ = nullptr;
    QLabel* testoSuggerimento_ = nullptr;
    QLabel* lampadina_ = nullptr;
    QPushButton* pulsantePrecedente_ = nullptr;
    QPushButton* pulsanteSeguente_ = nullptr;
    QPushButton* pulsanteOk_ = nullptr;
};

}  // namespace varimo
