#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>

#include "calculation/progetto.h"
#include "common/valore.h"
#include "common/voci.h"

namespace varimo {

class StatoCalcolo;

// Index of the total row of the final framework, after its kVoci rows.
constexpr int kTotaleQuadro = kVoci + 1;

// Fixed captions, tooltips and messages of the framework window.
namespace testieconomico {
inline const QString titoloFinestra = QStringLiteral("Varimo: voci finali del quadro");
inline const QString titoloPercentuale = QStringLiteral("% ");
inline const QString titoloPercentualeSuggerimento =
    QStringLiteral("percentuale di calcolo rispetto ad un'altra voce");
inline const QString titoloTipo = QStringLiteral("Titologia di voce del quadro");
inline const QString titoloTipoSuggerimento = QStringLiteral("tipologie di voci interessate");
inline const QString titoloCosto = QStringLiteral("costo previsto della tipologia");
inline const QString titoloCostoSuggerimento =
    QStringLiteral("costo di ogni singola voce interessata");
inline const QString titoloRiferimento = QStringLiteral("voce di riferimento");
inline const QString titoloRiferimentoSuggerimento =
    QStringLiteral("voce sulla quale va calcolata la percentuale");
inline const QString nomeProgetto = QStringLiteral("Nome progetto:");
inline const QString nomeProgettoSuggerimento = QStringLiteral(
    "digita, per la stampa, il nome del progetto a cui si riferisce il quadro economico");
inline const QString tipo19Suggerimento =
    QStringLiteral("totale del progetto derivato dal calcolo");
inline const QString totalePrima = QStringLiteral("TOTALE PROGETTO (in ");
inline const QString totaleDopo = QStringLiteral(")");
inline const QString rielabora = QStringLiteral("&Rielabora");
inline const QString aiuto = QStringLiteral("&AIUTO");
inline const QString aiutoSuggerimento =
    QStringLiteral("cliccare per avere informazioni sull'uso della finestra");
inline const QString uscitaSuggerimento = QStringLiteral("clicca per uscire da ");
inline const QString avvisoLunghezza =
    QStringLiteral("Attenzione: per una stampa corretta non superare i 50 caratteri.");
inline const QString controlloSenzaNome =
    QStringLiteral("Digitare il nome del progetto in caso di stampa.");
inline const QString controlloConNome = QStringLiteral(
    "La finestra non effettua calcoli o elaborazioni: le eventuali modifiche apportate alle voci "
    "o agli importi non sono controllate automaticamente, ma possono servire solo per sistemare "
    "delle imperfezioni.");
inline const QStringList aiutoRighe{
    QStringLiteral("- Archiviare i risultati se ritenuti adeguati;"),
    QStringLiteral(
        "- apportare modifiche alle voci o agli importi per eventuali imperfezioni nei decimali;"),
    QStringLiteral("- indicare il nome del progetto e la valuta per passare alla stampa;"),
    QStringLiteral("- rielaborare il quadro cliccando sull'apposito tasto."),
};
inline const QStringList valute{
    QStringLiteral("euro"),     QStringLiteral("dollari"), QStringLiteral("yen"),
    QStringLiteral("sterline"), QStringLiteral("rubli"),   QStringLiteral("corone"),
};
}  // namespace testieconomico

// The controls of one row of the final framework. Row 19 (the total) uses
// only tipo and costo.
struct RigaQuadro {
    Valore<QString> numero;
    Valore<QString> tipo;
    Valore<QString> costo;
    Valore<QString> percentuale{QStringLiteral("0")};
    Valore<QString> riferimento;
    Valore<bool> visibile{true};
};

// Headless state of the framework window `economico`: the data of its
// controls and its handlers. Nothing here recalculates: the window shows what
// the calculation window last computed, and the user may touch it up by hand.
class StatoEconomico : public QObject {
    Q_OBJECT
  public:
    explicit StatoEconomico(QObject* parent = nullptr);  // start state; no preparaFinestra
    ~StatoEconomico() override;

    // The load work after the layout: titles, exit tooltip, currency list.
    void preparaFinestra();

    // The project whose name and currency the boxes `nomeprog` and `valut`
    // edit (the calculation window's); none while that window is not loaded.
    void seguiProgetto(Progetto* progetto) { progetto_ = progetto; }
    Progetto* progetto() const { return progetto_; }

    // Fills the rows from the calculation window: the rows that carry a cost,
    // renumbered from 1, formatted, then the project total.
    void mostra(const StatoCalcolo& calcolo);

    // --- reading (rows 1..18; tipo and costo also 19)
    QString numero(int i) const;
    QString tipo(int i) const;
    QString costo(int i) const;
    QString testoPercentuale(int i) const;
    QString riferimento(int i) const;
    bool visibile(int i) const;  // row 19 is always shown
    // The calculation row (1..18) that the last fill copied into shown row k,
    // 0 for a row the fill did not reach; and whether that row was then a
    // percentage of its reference (an entry of its list chosen).
    int origine(int k) const;
    bool percentuale(int k) const;
    QString nomeProgetto() const { return nomeProgetto_(); }
    QString valuta() const { return valuta_(); }
    const QStringList& valute() const { return valute_; }
    QString suggerimentoUscita() const { return suggerimentoUscita_(); }
    int numerovoci = 0;

    // --- writing: same effect as the user's edit.
    void scriviTipo(int i, const QString& testo);   // 1..19
    void scriviCosto(int i, const QString& testo);  // 1..19
    void scriviNomeProgetto(const QString& testo);
    // Typing into the currency box -> applicaValuta.
    void scriviValuta(const QString& testo);
    // Choosing an entry of the currency list -> aggiornaTotaleValuta.
    void scegliValuta(int posizione);

    // --- handlers
    void applicaEtichetta(int i);
    void applicaNomeProgetto();
    void applicaValuta();
    void aggiornaTotaleValuta();
    void controllaDati();
    void cancellaTutto();
    void mostraAiuto();

    // Observable values, for the views.
    RigaQuadro& riga(int i);  // 1..19
    Valore<QString>& nomeProgettoValore() { return nomeProgetto_; }
    Valore<QString>& valutaValore() { return valuta_; }
    Valore<QStringList>& valuteValore() { return valuteValore_; }
    Valore<QString>& suggerimentoUscitaValore() { return suggerimentoUscita_; }

  private:
    void aggiornaTotale();

    std::array<RigaQuadro, kTotaleQuadro + 1> righe_;  // 0 unused
    std::array<int, kVoci + 1> origine_{};
    std::array<bool, kVoci + 1> percentuale_{};
    std::array<bool, kTotaleQuadro + 1> etichettaLunga_{};  // past 50 characters, already told
    Valore<QString> nomeProgetto_;
    Valore<QString> valuta_{QStringLiteral("euro")};
    QStringList valute_;
    Valore<QStringList> valuteValore_;
    Valore<QString> suggerimentoUscita_;
    bool sceltaValuta_ = false;  // the pending currency change is a choice from the list
    QPointer<Progetto> progetto_;
};

}  // namespace varimo
