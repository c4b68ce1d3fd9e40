#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace varimo {

// "Informazioni su Varimo": name, description and edition of the program.
// "OK" hides the window.
class Informa final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "informa";
    Informa();

    QLabel* nomeProgramma() const { return nomeProgramma_; }
    QLabel* descrizione() const { return descrizione_; }
    QLabel* marchio() const { return marchio_; }
    QLabel* sistemi() const { return sistemi_; }
    QLabel* edizione() const { return edizione_; }
    QPushButton* pulsanteOk() const { return pulsanteOk_; }

    void chiudi();

  private:
    QLabel* nomeProgramma_;
    QLabel* descrizione_;
    QLabel* marchio_;
    QLabel* sistemi_;
    QLabel* edizione_;
    QPushButton* pulsanteOk_;
};

}  // namespace varimo
