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

    QLabel* intestazione() const { return label1_; }
    QLabel* elenco() const { return label2_; }
    QPushButton* cmdSommario() const { return cmdSommario_; }
    QPushButton* cmdChiudi() const { return cmdChiudi_; }

    void mostraSommario();
    void chiudi();

  private:
    QLabel* label1_;
    QLabel* label2_;
    QPushButton* cmdSommario_;
    QPushButton* cmdChiudi_;
};

}  // namespace varimo
