#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;

namespace varimo {

// A window of the on-line guide: one title (Label1) and one text (Label2),
// with the buttons "&Chiudi" (unloads the window), "&Sommario" (shows the
// contents window) and "S&tampa" (prints the text).
class FinestraGuida : public QWidget {
    Q_OBJECT
  public:
    QLabel* titolo() const { return titolo_; }
    QLabel* testoGuida() const { return testoGuida_; }
    QPushButton* pulsanteChiudi() const { return pulsanteChiudi_; }
    QPushButton* pulsanteSommario() const { return pulsanteSommario_; }
    QPushButton* pulsanteStampa() const { return pulsanteStampa_; }

    void chiudi();
    void mostraSommario();
    void stampa();

  protected:
    struct Impostazione {
        QString titolo;
        QString risorsaTesto;
        double caratteri = 75;           // width, in average characters
        bool accantoAlSommario = false;  // opens beside the contents window
        bool conSuggerimenti = false;    // tooltips on the three buttons
    };
    explicit FinestraGuida(const Impostazione& imp);

  private:
    QLabel* titolo_;
    QScrollArea* areaTesto_;
    QLabel* testoGuida_;
    QPushButton* pulsanteChiudi_;
    QPushButton* pulsanteSommario_;
    QPushButton* pulsanteStampa_;
};

// "MANUALE D'USO RAPIDO": the whole program in short.
class Manuale final : public FinestraGuida {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "manuale";
    Manuale();
};

// "FUNZIONAMENTO DEL PROGRAMMA": how the calculation works.
class Guidafunzionamento final : public FinestraGuida {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "guidafunzionamento";
    Guidafunzionamento();
};

// "Finestra CALCOLO": the calculation window.
class Guidacalcolo final : public FinestraGuida {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "guidacalcolo";
    Guidacalcolo();
};

// "Finestra QUADRO ECONOMICO": the framework window.
class Guidaquadro final : public FinestraGuida {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "guidaquadro";
    Guidaquadro();
};

}  // namespace varimo
