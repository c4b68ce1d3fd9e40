#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace varimo {

// "LICENZA D'USO": the licence-agreement text of the program, read only,
// with the program's name; "&Chiudi" hides it, "S&tampa" prints the text.
class Licenza final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "licenza";
    Licenza();

    QPlainTextEdit* testo() const { return text1_; }
    QLabel* nomeProgramma() const { return label2_; }
    QPushButton* cmdChiudi() const { return cmdChiudi_; }
    QPushButton* cmdSommario() const { return cmdSommario_; }
    QPushButton* cmdStampa() const { return cmdStampa_; }

    void chiudi();
    void mostraSommario();
    void stampa();

  private:
    QLabel* label2_;
    QPlainTextEdit* text1_;
    QPushButton* cmdChiudi_;
    QPushButton* cmdSommario_;
    QPushButton* cmdStampa_;
};

}  // namespace varimo
