#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <vector>

#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace varimo {

// The calculation window `calcolo`: a view on the calculation of its project
// (Progetto, which it owns: a new calculation window starts a new project).
// StatoCalcolo holds the data of every control and runs every change handler.
// The user's edits are written into the state; the state's change
// notifications update the widgets (compare and set, so an echo runs
// nothing). Every edit and command of the user reaches the state through the
// project's operations, so that each is one step of its undo history.
//
// The menu bar and the command bar go in the window's own areas
// (menuBar(), addToolBar()); the rows live in the central widget.
// The buttons `esco`, `cmdStampa` and `Command6` (pulsanteEsci(),
// pulsanteStampa(), guidaInLinea()) carry the commands of the menus;
// whoever installs the commands connects them.
class Calcolo : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "calcolo";

    // The load work: the layout and its design size, then the window's own start-up.
    explicit Calcolo(QWidget* parent = nullptr);
    ~Calcolo() override;

    StatoCalcolo& stato() { return *stato_; }
    const StatoCalcolo& stato() const { return *stato_; }
    // The project shown; the user's edits go through it, one undo step each.
    Progetto& progettoAperto() { return *aperto_; }
    const Progetto& progettoAperto() const { return *aperto_; }

    // Commands of the window (buttons, menus, command bar).
    void visualizzaQuadro();  // hand-off to the framework window
    // How the hand-off reaches the framework window (set by the window
    // registry, which knows both windows): shows it filled from these rows.
    void impostaMostraQuadro(std::function<void(const StatoCalcolo&)> f) {
        mostraQuadro_ = std::move(f);
    }
    void mostraAiuto();
    void controllaDati();
    void cancellaTutto();
    void spegniVincolo();
    void cancellaRiga(int i);

    // Controls by name and index, for the commands that read them.
    QLineEdit* tipo(int i) const { return tipo_.at(i); }
    QLineEdit* costo(int i) const { return costo_.at(i); }
    QLabel* etichettaPercentuale(int i) const { return etichettaPercentuale_.at(i); }  // 0..20
    QScrollBar* barraPercentuale(int i) const { return barraPercentuale_.at(i); }
    QComboBox* elencoRiferimento(int i) const { return elencoRiferimento_.at(i); }
    QToolButton* pulsanteCancellaRiga(int i) const { return pulsanteCancellaRiga_.at(i); }  // 1..17
    QLineEdit* progetto() const { return progetto_; }
    QLineEdit* costoprogetto() const { return costoprogetto_; }
    QPushButton* pulsanteSenzaVincolo() const { return pulsanteSenzaVincolo_; }
    QPushButton* pulsanteVisualizza() const { return pulsanteVisualizza_; }
    QPushButton* aiuto() const { return aiuto_; }
    QPushButton* pulsanteEsci() const { return pulsanteEsci_; }
    QPushButton* pulsanteStampa() const { return pulsanteStampa_; }
    QPushButton* guidaInLinea() const { return guidaInLinea_; }

  private:
    void creaControlli();
    void collegaStato();
    void collegaModifiche();
    void aggiornaElencoRiferimento(int i);
    void aggiornaPagine();
    void segna(size_t vista);
    void aggiorna();

    Progetto* aperto_;
    StatoCalcolo* stato_;
    // The views of the state's values (each brings one widget in line). A
    // value that changes during an operation only marks its view; the marked
    // views run once, when the operation ends (or before a message box).
    std::vector<std::function<void()>> viste_;
    std::function<void(const StatoCalcolo&)> mostraQuadro_;
    std::vector<char> marcata_;
    std::vector<size_t> marcate_;
    bool aggiornando_ = false;
    std::array<QLabel*, kVoci + 1> lettera_{};
    std::array<QLineEdit*, kVoci + 1> tipo_{};
    std::array<QLineEdit*, kVoci + 1> costo_{};
    std::array<QLabel*, 21> etichettaPercentuale_{};
    std::array<QScrollBar*, kVoci + 1> barraPercentuale_{};
    std::array<QComboBox*, kVoci + 1> elencoRiferimento_{};
    std::array<QToolButton*, kVoci + 1> pulsanteCancellaRiga_{};  // 1..17; 18 stays empty
    QLineEdit* progetto_ = nullptr;
    QLineEdit* calcolato_ = nullptr;
    QLineEdit* costoprogetto_ = nullptr;
    QLineEdit* vincolato_ = nullptr;
    QLabel* titoloRiferimento_ = nullptr;
    QPushButton* pulsanteSenzaVincolo_ = nullptr;
    QPushButton* pulsanteVisualizza_ = nullptr;
    QPushButton* aiuto_ = nullptr;
    QPushButton* pulsanteEsci_ = nullptr;
    QPushButton* pulsanteStampa_ = nullptr;
    QPushButton* guidaInLinea_ = nullptr;
};

}  // namespace varimo
