#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "quadro/quadro.h"

// A framework through the life of a public work: one .varimo file holds an
// ordered list of phases (feasibility, executive project, award, variants,
// final account), each a complete framework with its kind, name and date.
// The award keeps the project's items and its discount, and is computed: the
// items subject to the discount are reduced, the percentages follow, and an
// item "Economie da ribasso d'asta" takes the difference so that the total
// stays the funded one. Values only: no widget, no file access (formatofasi.h
// reads and writes the file).

namespace varimo::quadro {

enum class TipoFase { Fattibilita, Esecutivo, Aggiudicazione, Variante, Finale };

// The key of a kind in the file ("fattibilita", "esecutivo", "aggiudicazione",
// "variante", "finale") and back.
QString chiaveTipoFase(TipoFase t);
std::optional<TipoFase> tipoFaseDaChiave(const QString& chiave);
// The kind as the window names it ("Progetto esecutivo", "Variante"...).
QString nomeTipoFase(TipoFase t);

// The act that approves a variant.
struct Atto {
    QString numero, data;
    QJsonObject altri;
    bool operator==(const Atto&) const = default;
};

// The limit the designer sets to a variant: how far (in per cent of the
// contract amount of the award) it may raise the contract amount, and the
// article of law that allows it. Past it the program warns and refuses nothing.
struct LimiteVariante {
    Millesimi percentuale = 0;
    QString articolo;
    QJsonObject altri;
    bool operator==(const LimiteVariante&) const = default;
};

// The longest extension a variant may grant, in days (a hundred years).
inline constexpr int kGiorniProrogaMassimi = 36500;

struct Fase {
    QString nome;
    TipoFase tipo = TipoFase::Esecutivo;
    QString data;
    Quadro quadro;  // award: the project's items, before the discount
    bool bloccata = false;
    std::optional<Millesimi> ribasso;  // award only: the discount, 0..100 % in thousandths
    // Award only: the labour costs declared by the works items are discounted
    // too. By default they are kept out of the discount.
    bool ribassaManodopera = false;
    std::optional<Atto> atto;              // variant only
    std::optional<LimiteVariante> limite;  // variant only
    std::optional<int> giorniProroga;      // variant only: whole days of extension granted
    QJsonObject altri;                     // keys of the file this program does not know
};

// A whole .varimo document of version 2: the header and the phases.
struct FileFasi {
    Intestazione intestazione;
    QList<Fase> fasi;
    QJsonObject altri;
};

// One phase made of a framework of version 1: kind and name from the header's
// phase ("esecutivo" unless it names another kind), date from the header.
FileFasi fileDaQuadro(const FileQuadro& f);

// ---- Dates ------------------------------------------------------------------

// Phase and act dates are stored as ISO dates ("2027-03-15") and shown and
// typed the Italian way ("15/03/2027"). A text that is no date (a date typed
// before they were stored ISO, say) is shown as it is.
QString dataItaliana(const QString& data);
// "15/03/2027", "15.3.2027", "15-3-2027" or "2027-03-15" -> "2027-03-15"; empty
// stays empty; nothing when it is no real date ("30/02/2026").
std::optional<QString> dataIso(const QString& testo);

// ---- Labour costs --------------------------------------------------------

// The labour costs a works item declares (the item key "manodopera", an amount
// with a point for decimals); nothing when it declares none. An unreadable
// text gives nullopt and sets *errata.
std::optional<Centesimi> manodopera(const Voce& v, bool* errata = nullptr);
void impostaManodopera(Voce& v, std::optional<Centesimi> c);
// What the documents write in the rule's place of an amount item that
// declares labour costs: "di cui manodopera 50.000,00"; empty otherwise.
QString testoManodopera(const Voce& v);
// The rule of an item as the documents and the CSV write it: its rule
// (testoRegola), else the labour costs of an amount item.
QString regolaDocumenti(const Voce& v, const Valutazione* valutazione);

// ---- Award ---------------------------------------------------------------

inline const QString kEtichettaEconomie = QStringLiteral("Economie da ribasso d'asta");

// An amount reduced by a discount (thousandths of a per cent), rounded half
// up to the cent, exactly in integers.
Centesimi ribassato(Centesimi importo, Millesimi ribasso);

// The award computed from a project framework and a discount.
struct Aggiudicazione {
    Quadro quadro;  // the items after the discount, the economies set, the funded total fixed
    Valutazione valutazione;
    Centesimi totaleFinanziato = 0;  // the project's total
    Centesimi contratto = 0;         // the contract amount
    Centesimi ribassoLavori = 0;     // the discount in money
    Centesimi economie = 0;
    QString codiceEconomie;
    // The project's amounts before the discount, by code: the items on the
    // tender base keep them.
    QHash<QString, Centesimi> gara;
    Centesimi baseDiGara = 0;          // the contract amount of the project: works and safety
    Centesimi manodoperaEsclusa = 0;   // the labour costs kept out of the discount
};

// - every amount item subject to the discount (ribassabile()) is reduced by
//   it, net of its labour costs unless `ribassaManodopera`, and rounded half
//   up to the cent;
// - sections and percentages follow their rules on the reduced amounts;
// - the amount item whose label begins with "Economie" (added at the end of
//   section B when there is none) takes the difference, VAT saved included,
//   so that the total equals the project's total (its funding);
// - the contract amount is the top-level section A after the discount (the
//   works and the safety costs), or the sum of the discounted items when
//   there is no section A;
// - the items on the tender base keep their amounts of the project.
// `r` gives the date and the tables; its amounts of the project are not read.
std::variant<Aggiudicazione, Problema> aggiudica(const Quadro& progetto, Millesimi ribasso,
                                                 bool ribassaManodopera = false,
                                                 const Riferimenti& r = {});

// The contract amount of a computed framework: the top-level item "A", else
// the items subject to the discount.
Centesimi importoContrattuale(const Quadro& q, const Valutazione& v);

// ---- A phase computed ------------------------------------------------------

struct FaseCalcolata {
    Quadro quadro;  // as computed: the absorbing item set, an award after its discount
    Valutazione valutazione;
    Centesimi contratto = 0;
    std::optional<Aggiudicazione> aggiudicazione;  // an award with its discount
};

// What a phase's evaluation reads besides its framework: its date (else the
// header's), and for a variant or the final account the amounts of the
// project the last award before it came from (before its discount).
Riferimenti riferimentiFase(const FileFasi& f, int i);

// A phase computed with the references of riferimentiFase() (or, without a
// file, with only its own date).
std::variant<FaseCalcolata, Problema> calcolaFase(const Fase& f, const Riferimenti& r = {});
std::variant<FaseCalcolata, Problema> calcolaFase(const FileFasi& f, int i);

// How much of the contingencies and of the economies a phase has used and
// what is left. The reference is the amount in the last phase before the
// first variant that follows it (the project or the award): a variant or the
// final account uses what it takes from there.
struct Fondo {
    QString codice;             // the item; empty when the phase has none
    Centesimi disponibile = 0;  // the reference amount
    Centesimi usato = 0;        // disponibile - residuo
    Centesimi residuo = 0;      // the amount in this phase
};

struct Andamento {
    Fondo imprevisti;  // the amount item whose label begins with "Imprevisti"
    Fondo economie;    // the amount item whose label begins with "Economie"
    Centesimi contratto = 0;
    std::optional<Centesimi> contrattoAggiudicato;  // of the last award before, if any
    QString avviso;  // the warning on the limit of a variant, empty if none
};

// For every phase; a phase that cannot be computed makes a Problema naming it.
std::variant<QList<Andamento>, Problema> andamento(const FileFasi& f);

// The figures of a phase its print carries under the heading, as lines of a
// name and a value: for an award with its discount the tender base, the
// discount, the labour kept out, the contract amount and the economies; for a
// variant its act, its contract amount, the increase over the award's in euro
// and per cent, and its limit with the article. Nothing for other phases.
struct DatoDellaFase {
    QString voce, valore;
};
QList<DatoDellaFase> datiDellaFase(const FileFasi& f, int i);

// ---- Editing phases ------------------------------------------------------

// The kind that usually follows (esecutivo after fattibilità, aggiudicazione
// after esecutivo, variante after aggiudicazione and variante).
TipoFase tipoSeguente(TipoFase t);
// "Progetto esecutivo", "Aggiudicazione", "Variante n. 2"...: a name not yet
// used in the file.
QString nomeNuovaFase(const FileFasi& f, TipoFase t);

// "Nuova fase": a phase of kind `tipo` after phase `da`, from a copy of it.
// A copy of an award starts from its figures after the discount (the
// reduced amounts and the economies as amounts, the funded total fixed), so
// that a variant changes the contract; any other copy keeps the items and
// rules as they are. Returns the index of the new phase, or why not.
std::variant<int, QString> nuovaFase(FileFasi& f, int da, TipoFase tipo, const QString& nome,
                                     const QString& data);

// Applies an edit to phase `i`, refused when the phase is locked or when the
// edit refuses; nothing changes then.
using EsitoFase = std::optional<QString>;
EsitoFase modificaFase(FileFasi& f, int i, const std::function<EsitoFase(Fase&)>& modifica);
EsitoFase modificaQuadroFase(FileFasi& f, int i, const std::function<EsitoFase(Quadro&)>& modifica);
// Locking and unlocking are always allowed.
void bloccaFase(FileFasi& f, int i, bool bloccata);
// Removes a phase that is not locked and not the only one.
EsitoFase rimuoviFase(FileFasi& f, int i);

// The phase with that name, or -1.
int indiceFase(const FileFasi& f, const QString& nome);

// ---- Comparison ----------------------------------------------------------

struct RigaConfronto {
    QString codice, etichetta;
    int profondita = 0;
    bool sezione = false;
    QList<std::optional<Centesimi>> importi;  // one per compared phase; empty where absent
};

struct Confronto {
    QStringList nomi;  // the compared phases' names
    QList<int> fasi;   // their indices in the file
    QList<RigaConfronto> righe;
    QList<Centesimi> totali;     // the project total of each phase
    QList<Centesimi> contratti;  // the contract amount of each phase
    int da = -1, a = -1;         // the two columns the difference runs between (a - da)

    bool haDifferenza() const { return da >= 0 && a >= 0; }
    // In cents, an empty cell counting as zero.
    Centesimi differenza(const RigaConfronto& r) const;
    Centesimi differenzaTotale() const;
};

// The phases `scelte` (indices; empty: all) side by side, items matched by
// code in the order they first appear; the difference runs between columns
// `da` and `a` (indices into the chosen ones; -1: the last two).
std::variant<Confronto, Problema> confronta(const FileFasi& f, const QList<int>& scelte = {},
                                            int da = -1, int a = -1);

// How a compared phase is made, as its computation left it (an award with the
// economies item it adds): the codes of each section's children and of the
// top-level items. Its spreadsheet sums its rows as it sums them.
struct StrutturaFase {
    QHash<QString, QStringList> figli;
    QStringList cime;
    bool operator==(const StrutturaFase&) const = default;
};

// The comparison with all its documents need: the header, the phases side
// by side, the course of the funds (empty when a phase cannot be computed),
// and the date and make of each compared phase.
struct ConfrontoCalcolato {
    Intestazione intestazione;
    Confronto confronto;
    QList<Andamento> andamenti;
    QStringList date;
    QList<StrutturaFase> strutture;
};

// confronta() with what the comparison's documents need besides.
std::variant<ConfrontoCalcolato, Problema> calcolaConfronto(const FileFasi& f,
                                                           const QList<int>& scelte = {},
                                                           int da = -1, int a = -1);

// The phases of a file met one at a time, in the file's order, each computed
// with what the phases before it give (the date, the project of the last
// award) and then let go: the comparison, the course of the funds and the
// make of each phase are gathered in memory proportional to one phase and to
// the rows and columns compared. confronta() and andamento() go through it;
// the command line feeds it each phase as it reads the file.
class SequenzaFasi {
  public:
    // `scelte`: the indices of the phases to compare, in the order of the
    // columns; empty: all.
    explicit SequenzaFasi(Intestazione intestazione, QList<int> scelte = {});
    ~SequenzaFasi();
    SequenzaFasi(const SequenzaFasi&) = delete;
    SequenzaFasi& operator=(const SequenzaFasi&) = delete;

    // The next phase of the file.
    void aggiungi(const Fase& fase);
    // Once every phase is in, and once: the comparison with the difference
    // between columns `da` and `a` (-1: the last two), or why not (a compared
    // phase that cannot be computed, a chosen phase the file does not have).
    // What was gathered is handed over, not copied.
    std::variant<ConfrontoCalcolato, Problema> confronto(int da = -1, int a = -1);
    // The course of the funds of every phase, or the first phase that cannot
    // be computed.
    std::variant<QList<Andamento>, Problema> andamenti() const;

  private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};

}  // namespace varimo::quadro
