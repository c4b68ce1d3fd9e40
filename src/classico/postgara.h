#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <variant>

#include "calculation/statocalcolo.h"
#include "common/cifre.h"

namespace varimo {

// The framework after the tender (quadro economico post-gara): the project's
// rows with the works reduced by the tender discount, the rows that follow
// the discount recomputed on their references, and the economies that keep
// the project total (the funding) unchanged.

// One row of the project as the calculation window shows it.
struct VoceProgetto {
    QString tipo;              // label
    QString costo;             // amount text; empty when the row carries nothing
    QString perc;              // percentage caption
    int riferimento = 0;       // reference row (1..18) of a percentage row, 0 for a typed row
    QString testoRiferimento;  // the reference as its box shows it
};

struct ProgettoGara {
    std::array<VoceProgetto, kVoci + 1> voci;  // 1..18; 0 unused
    QString progetto;                          // project total text
};

// The calculation window's rows, amounts and references as they stand.
ProgettoGara progettoDa(const StatoCalcolo& s);

// A discount in thousandths of a per cent as the program writes it: "23,456",
// "12,5", "10".
inline QString scriviRibasso(qint64 millesimi) {
    return testoPercentuale(Millesimi(millesimi));
}

// Rows E to S that are a percentage of another row can follow the discount.
bool puoSeguireRibasso(const ProgettoGara& p, int i);
// The row of the incentives for technical functions (art. 45 of D.Lgs.
// 36/2023), found by its label: they are computed on the tender base amount,
// so they do not follow the discount unless the user says so.
bool incentiviTecnici(const ProgettoGara& p, int i);
// Checked at first: the rows whose reference is D (the VAT on the works),
// except the incentives for technical functions.
bool segueRibassoDiBase(const ProgettoGara& p, int i);

// The two frameworks side by side, in cents.
struct QuadroDopoGara {
    std::array<qint64, kVoci + 1> prima{};   // the project's amounts (D, T as shown)
    std::array<qint64, kVoci + 1> dopo{};    // after the tender; dopo[18] includes the economies
    std::array<bool, kVoci + 1> presente{};  // the row carries an amount in the project
    qint64 totalePrima = 0;
    qint64 totaleDopo = 0;     // equals totalePrima
    qint64 contratto = 0;      // D after the tender: works net of the discount + safety charges
    qint64 ribassoLavori = 0;  // the discount on A and B, in money
    qint64 economie = 0;       // the new row of section B
    qint64 differenza(int i) const {
        return dopo.at(static_cast<std::size_t>(i)) - prima.at(static_cast<std::size_t>(i));
    }
};

// Why a framework after the tender could not be computed.
struct ErroreDopoGara {
    enum class Tipo { ImportoNonLeggibile, Ciclo };
    Tipo tipo = Tipo::ImportoNonLeggibile;
    int voce = 0;  // the row whose amount cannot be read (0: the project total)
    QString testo() const;
};

// The whole computation:
// - rows A and B are reduced by the discount and rounded half up to the cent;
//   row C (safety charges) is not; D is their sum, the contract amount;
// - a row of E..S marked in `segue` that is a percentage row is recomputed
//   with its percentage on its reference after the tender, rounded half up to
//   the cent as the calculation window rounds (a reference to T counts the
//   rows E..S after the tender, without the economies); rows that refer to one
//   another settle by repeated passes, as in the calculation window;
// - every other row keeps its project amount;
// - the economies take the difference, so that the total is unchanged.
// `segue` is read for rows 5..17 only.
using EsitoDopoGara = std::variant<QuadroDopoGara, ErroreDopoGara>;
EsitoDopoGara calcolaDopoGara(const ProgettoGara& p, qint64 ribassoMillesimi,
                              const std::array<bool, kVoci + 1>& segue);

// The three statements below the framework, in figures and in words: the
// contract amount, the discount on the works in money, the economies.
struct Dichiarazione {
    QString voce;
    qint64 importo = 0;  // cents
    // "Importo contrattuale: euro 276.339,38 (euro duecentosettantaseimilatrecentotrentanove/38)"
    QString testo(const QString& valuta) const;
    QString inLettere(const QString& valuta) const;  // "(euro .../38)"
};
QList<Dichiarazione> dichiarazioni(const QuadroDopoGara& q);
// "Ribasso d'asta: 23,456 %"
QString rigaRibasso(qint64 millesimi);

// Bound on the passes that let marked rows referring to one another settle.
inline constexpr int kPassiDopoGara = 1000;

// Fixed texts of the window and of its document.
namespace testipostgara {
inline const QString titolo = QStringLiteral("Quadro economico dopo la gara");
inline const QString economie = QStringLiteral("Economie da ribasso d'asta");
inline const QString segue = QStringLiteral("segue il ribasso");
inline const QString ribassoNonLeggibile = QStringLiteral(
    "Ribasso non leggibile: cifre, la virgola e al massimo tre decimali (per esempio 23,456)");
inline const QString ribassoFuori =
    QStringLiteral("Il ribasso deve essere compreso tra 0 e 100 per cento");
}  // namespace testipostgara

// State of the window `postgara`: the project taken from the calculation
// window, the discount typed, the marks, and the result. It never writes into
// the project. Every change recomputes at once and emits cambiato().
class StatoPostGara : public QObject {
    Q_OBJECT
  public:
    explicit StatoPostGara(QObject* parent = nullptr);

    // Takes the project as it stands. A mark the user set stays while its row
    // keeps the same reference; the others start from their default.
    void caricaProgetto(const ProgettoGara& p);
    void scriviRibasso(const QString& testo);
    void scriviSegue(int i, bool segue);  // 5..17, rows that can follow

    const ProgettoGara& progetto() const { return progetto_; }
    const QString& ribasso() const { return ribasso_; }
    const LetturaRibasso& lettura() const { return lettura_; }
    bool segue(int i) const;
    bool puoSeguire(int i) const { return puoSeguireRibasso(progetto_, i); }
    // The result, when the discount is valid and the amounts could be computed.
    const std::optional<QuadroDopoGara>& quadro() const { return quadro_; }
    // What the window shows beside the discount: empty, or why nothing is computed.
    const QString& avviso() const { return avviso_; }
    // The discount box is marked (unreadable or outside 0..100).
    bool ribassoSegnalato() const;

  signals:
    void cambiato();

  private:
    void ricalcola();
    void segniPredefiniti();

    ProgettoGara progetto_;
    QString ribasso_;
    LetturaRibasso lettura_;
    std::array<bool, kVoci + 1> segue_{};
    std::array<int, kVoci + 1> riferimentoSegnato_{};  // reference when the mark was decided
    std::array<bool, kVoci + 1> sceltaUtente_{};       // the user set the mark of this row
    std::optional<QuadroDopoGara> quadro_;
    QString avviso_;
};

}  // namespace varimo
