#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <array>

#include "classico/postgara.h"
#include "reports/stampe.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varimo {

// The window `postgara` "Quadro economico dopo la gara": a view on
// StatoPostGara. It takes the calculation window's rows as they stand (again
// whenever that window changes), the tender discount typed in `ribasso`,
// and shows side by side the project (`prima_i`), the framework after the
// tender (`dopo_i`) and the difference (`differenza_i`), row by row, the
// marks "segue il ribasso" (`segue_5` ... `segue_17`), the economies
// (`economie`), the totals and, below, the contract amount (`contratto`),
// the discount on the works and the economies in figures and in words.
class PostGara final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "postgara";

    PostGara();
    ~PostGara() override;

    StatoPostGara& stato() { return *stato_; }

    // Where the window takes its project from (the calculation window's, or
    // none while no such window is loaded) and how it shows the framework
    // window a print asks for; the program sets both when it builds the window.
    void impostaFonti(std::function<StatoCalcolo*()> calcolo, std::function<void()> mostraQuadro);
    // Takes the project again from its source and follows its changes from
    // now on.
    void riprendiProgetto();

    // The print (.docx) of the framework after the tender, and its PDF export.
    void stampa();
    void esportaPdf();
    void chiudi();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void creaControlli();
    void aggiorna();
    void stampaOEsporta(bool pdf);
    // Name and currency of the project followed (empty without one).
    IntestazioneProgetto intestazione() const;

    StatoPostGara* stato_;
    QPointer<StatoCalcolo> calcolo_;
    std::function<StatoCalcolo*()> fonte_;
    std::function<void()> mostraQuadro_;
    QLineEdit* ribasso_ = nullptr;
    QLabel* avviso_ = nullptr;
    std::array<QLabel*, kVoci + 1> lettera_{};
    std::array<QLabel*, kVoci + 1> tipo_{};
    std::array<QLineEdit*, kVoci + 1> prima_{};
    std::array<QCheckBox*, kVoci + 1> segue_{};  // 5..17
    std::array<QLineEdit*, kVoci + 1> dopo_{};
    std::array<QLineEdit*, kVoci + 1> differenza_{};
    QLineEdit* economiePrima_ = nullptr;
    QLineEdit* economie_ = nullptr;
    QLineEdit* economieDifferenza_ = nullptr;
    QLineEdit* totalePrima_ = nullptr;
    QLineEdit* totaleDopo_ = nullptr;
    QLineEdit* totaleDifferenza_ = nullptr;
    struct RigaDichiarazione {
        QLabel* voce = nullptr;
        QLineEdit* cifre = nullptr;
        QLabel* lettere = nullptr;
    };
    std::array<RigaDichiarazione, 3> dichiarazioni_{};
    QPushButton* pulsanteStampa_ = nullptr;
    QPushButton* pulsantePdf_ = nullptr;
    QPushButton* pulsanteChiudi_ = nullptr;
};

}  // namespace varimo
