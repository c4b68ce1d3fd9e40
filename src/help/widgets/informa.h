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

    QLabel* nomeProgramma() const { return label1_; }
    QLabel* descrizione() const { return label2_; }
    QLabel* marchio() const { return label3_; }
    QLabel* sistemi() const { return label5_; }
    QLabel* edizione() const { return label6_; }
    QPushButton* cmdOK() const { return cmdOK_; }

    void chiudi();

  private:
    QLabel* label1_;
    QLabel* label2_;
    QLabel* label3_;
    QLabel* label5_;
    QLabel* label6_;
    QPushButton* cmdOK_;
};

}  // namespace varimo
