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

    QPlainTextEdit* testo() const { return testo_; }
    QLabel* nomeProgramma() const { return nomeProgramma_; }
    QPushButton* pulsanteChiudi() const { return pulsanteChiudi_; }
    QPushButton* pulsanteSommario() const { return pulsanteSommario_; }
    QPushButton* pulsanteStampa() const { return pulsanteStampa_; }

    void chiudi();
    void mostraSommario();
    void stampa();

  private:
    QLabel* nomeProgramma_;
    QPlainTextEdit* testo_;
    QPushButton* pulsanteChiudi_;
    QPushButton* pulsanteSommario_;
    QPushButton* pulsanteStampa_;
};

}  // namespace varimo
