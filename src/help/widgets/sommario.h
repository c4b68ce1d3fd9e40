#pragma once

#include <array>

#include <QWidget>

class QLabel;
class QPushButton;

namespace varimo {

// Contents window of the on-line guide: seven topics, each opening its
// window; prints the whole guide and leaves the program.
class Sommario final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "sommario";
    static constexpr int kMassimoArgomenti = 7;

    Sommario();

    // Number of topics; every loop over the entries runs 1..numeroargomenti.
    int numeroargomenti = 0;

    // Entry i (1..7).
    QLabel* argomento(int i) const { return argomenti_.at(static_cast<std::size_t>(i - 1)); }
    QPushButton* pulsanteArgomento(int i) const {
        return pulsantiArgomenti_.at(static_cast<std::size_t>(i - 1));
    }
    QLabel* intestazione() const { return intestazione_; }
    QPushButton* pulsanteChiudi() const { return pulsanteChiudi_; }
    QPushButton* pulsanteStampa() const { return pulsanteStampa_; }
    QPushButton* uscita() const { return uscita_; }

    // Caption of entry i.
    static QString didascalia(int i);

    void apriArgomento(int indice);
    void evidenziaArgomento(int indice);
    void togliEvidenza();
    void premiArgomento(int indice);
    void rilasciaArgomento(int indice);
    void chiudi();
    void esciDalProgramma();
    void stampa();
    // Every entry loses bold.
    void azzeragrassetto();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

  private:
    QLabel* intestazione_;
    std::array<QLabel*, kMassimoArgomenti> argomenti_{};
    std::array<QPushButton*, kMassimoArgomenti> pulsantiArgomenti_{};
    QPushButton* pulsanteChiudi_;
    QPushButton* pulsanteStampa_;
    QPushButton* uscita_;
};

}  // namespace varimo
