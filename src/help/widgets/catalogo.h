#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace varimo {

// "altri prodotti Software Veladio": the maker's other programs, with the way
// back to the contents of the guide.
class Catalogo final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "catalogo";
    Catalogo();

    QLabel* intestazione() const { return intestazione_; }
    QLabel* elenco() const { return elenco_; }
    QPushButton* pulsanteSommario() const { return pulsanteSommario_; }
    QPushButton* pulsanteChiudi() const { return pulsanteChiudi_; }

    void mostraSommario();
    void chiudi();

  private:
    QLabel* intestazione_;
    QLabel* elenco_;
    QPushButton* pulsanteSommario_;
    QPushButton* pulsanteChiudi_;
};

}  // namespace varimo
