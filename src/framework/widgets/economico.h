#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "framework/statoeconomico.h"

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
// esco, cmdStampa and Command6 carry the commands of the menus, connected by
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

    QLabel* num(int i) const { return num_.at(i); }
    QLineEdit* tipo(int i) const { return tipo_.at(i); }    // 1..19
    QLineEdit* costo(int i) const { return costo_.at(i); }  // 1..19
    QLabel* perc(int i) const { return perc_.at(i); }       // 0..20
    QLabel* riferimento(int i) const { return riferimento_.at(i); }
    QLineEdit* nomeprog() const { return nomeprog_; }
    QComboBox* valut() const { return valut_; }
    QPushButton* elabor() const { return elabor_; }
    QPushButton* aiuto() const { return aiuto_; }
    QPushButton* esco() const { return esco_; }
    QPushButton* cmdStampa() const { return cmdStampa_; }
    QPushButton* guidaInLinea() const { return command6_; }

  private:
    void creaControlli();
    void collegaStato();
    void aggiornaValut();
    void spaziaDopoD();

    StatoEconomico* stato_;
    std::function<void()> rielabora_;
    QGridLayout* griglia_ = nullptr;
    int posizioneD_ = 4;  // row of the window where D is shown (the gap follows it)
    std::array<QLabel*, kVoci + 1> num_{};
    std::array<QLineEdit*, kTotaleQuadro + 1> tipo_{};
    std::array<QLineEdit*, kTotaleQuadro + 1> costo_{};
    std::array<QLabel*, 21> perc_{};
    std::array<QLabel*, kVoci + 1> riferimento_{};
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLineEdit* nomeprog_ = nullptr;
    QComboBox* valut_ = nullptr;
    QPushButton* elabor_ = nullptr;
    QPushButton* aiuto_ = nullptr;
    QPushButton* esco_ = nullptr;
    QPushButton* cmdStampa_ = nullptr;
    QPushButton* command6_ = nullptr;
};

}  // namespace varimo
