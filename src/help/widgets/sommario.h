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
    QLabel* lbl(int i) const { return lbl_.at(static_cast<std::size_t>(i - 1)); }
    QPushButton* puls(int i) const { return puls_.at(static_cast<std::size_t>(i - 1)); }
    QLabel* intestazione() const { return label1_; }
    QPushButton* cmdChiudi() const { return cmdChiudi_; }
    QPushButton* cmdStampa() const { return cmdStampa_; }
    QPushButton* uscita() const { return command1_; }

    // Caption of entry i.
    static QString didascalia(int i);

    void apriArgomento(int indice);
    void lbl_MouseMove(int indice);
    void form_MouseMove();
    void lbl_Mousedown(int indice);
    void lbl_MouseUp(int indice);
    void chiudi();
    void esciDalProgramma();
    void stampa();
    // Every entry loses bold.
    void azzeragrassetto();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

  private:
    QLabel* label1_;
    std::array<QLabel*, kMassimoArgomenti> lbl_{};
    std::array<QPushButton*, kMassimoArgomenti> puls_{};
    QPushButton* cmdChiudi_;
    QPushButton* cmdStampa_;
    QPushButton* command1_;
};

}  // namespace varimo
