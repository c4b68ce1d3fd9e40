#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "classico/statoeconomico.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varimo {

class StatoCalcolo;

// The framework window `economico`: a view on StatoEconomico. It shows the
// final framework that the calculation window hands over, with project name
// and currency; "&Rielabora" goes back to the calculation window.
//
// The menu bar and the command bar go in the window's own areas; the buttons
// `esco`, `cmdStampa` and `Command6` (pulsanteEsci(), pulsanteStampa(),
// guidaInLinea()) carry the commands of the menus, connected by
// whoever installs the commands.
class Economico : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "economico";

    // The load work: the layout and its design size, titles, exit tooltip,
    // currency list.
    explicit Economico(QWidget* parent = nullptr);
    ~Economico() override;

    StatoEconomico& stato() { return *stato_; }
    const StatoEconomico& stato() const { return *stato_; }

    // Fills the window from the calculation window.
    void mostra(const StatoCalcolo& calcolo);

    // Commands of the window (buttons, menus, command bar).
    void rielaboraCalcolo();
    // How the rework reaches the calculation window (set by the window
    // registry, which knows both windows).
    void impostaRielabora(std::function<void()> f) { rielabora_ = std::move(f); }
    void mostraAiuto() { stato_->mostraAiuto(); }
    void controllaDati() { stato_->controllaDati(); }
    void cancellaTutto() { stato_->cancellaTutto(); }

    QLabel* numero(int i) const { return numero_.at(i); }
    QLineEdit* tipo(int i) const { return tipo_.at(i); }                               // 1..19
    QLineEdit* costo(int i) const { return costo_.at(i); }                             // 1..19
    QLabel* etichettaPercentuale(int i) const { return etichettaPercentuale_.at(i); }  // 0..20
    QLabel* riferimento(int i) const { return riferimento_.at(i); }
    QLineEdit* nomeProgetto() const { return nomeProgetto_; }
    QComboBox* valuta() const { return valuta_; }
    QPushButton* pulsanteRielabora() const { return pulsanteRielabora_; }
    QPushButton* aiuto() const { return aiuto_; }
    QPushButton* pulsanteEsci() const { return pulsanteEsci_; }
    QPushButton* pulsanteStampa() const { return pulsanteStampa_; }
    QPushButton* guidaInLinea() const { return guidaInLinea_; }

  private:
    void creaControlli();
    void collegaStato();
    void aggiornaValuta();
    void spaziaDopoD();

    StatoEconomico* stato_;
    std::function<void()> rielabora_;
    QGridLayout* griglia_ = nullptr;
    int posizioneD_ = 4;  // row of the window where D is shown (the gap follows it)
    std::array<QLabel*, kVoci + 1> numero_{};
    std::array<QLineEdit*, kTotaleQuadro + 1> tipo_{};
    std::array<QLineEdit*, kTotaleQuadro + 1> costo_{};
    std::array<QLabel*, 21> etichettaPercentuale_{};
    std::array<QLabel*, kVoci + 1> riferimento_{};
    QLabel* titoloRiferimento_ = nullptr;
    QLabel* etichettaNomeProgetto_ = nullptr;
    QLineEdit* nomeProgetto_ = nullptr;
    QComboBox* valuta_ = nullptr;
    QPushButton* pulsanteRielabora_ = nullptr;
    QPushButton* aiuto_ = nullptr;
    QPushButton* pulsanteEsci_ = nullptr;
    QPushButton* pulsanteStampa_ = nullptr;
    QPushButton* guidaInLinea_ = nullptr;
};

}  // namespace varimo
