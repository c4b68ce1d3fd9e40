#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <variant>

#include "common/cifre.h"

// The framework of any shape: a tree of items (voci) whose amounts are kept in
// whole cents, with sections that sum their children, typed amounts and
// percentages of lists of items, an optional fixed total (the funding) that
// one amount item absorbs, and the header of the project. Values only: no
// widget, no file access (formatoquadro.h reads and writes the .varimo file).

namespace varimo::quadro {

// The number layer's quantities and texts, as this layer's own names.
using varimo::Centesimi;
using varimo::kPercentualeMassima;
using varimo::leggiImportoFile;
using varimo::leggiImportoItaliano;
using varimo::leggiPercentualeFile;
using varimo::leggiPercentualeItaliana;
using varimo::leggiRibasso;
using varimo::Millesimi;
using varimo::testoImporto;
using varimo::testoImportoFile;
using varimo::testoPercentuale;
using varimo::testoPercentualeFile;

// The largest amount an item may be typed with: 999.999.999.999,99.
inline constexpr Centesimi kImportoMassimo = kCentesimiMassimi;
// The largest amount a computed item, section or total may reach; beyond it
// the framework is refused (a sum of many large amounts).
inline constexpr Centesimi kCalcolatoMassimo = 999999999999999999LL;
// Labels past this length get a warning (they are kept whole).
inline constexpr qsizetype kEtichettaLunga = 120;

enum class Tipo {
    Sezione,      // its amount is the sum of its children
    Importo,      // a typed amount
    Percentuale,  // a percentage of the sum of a list of items, rounded half up to the cent
    Tabella,      // read from a dated band table on the sum of a list of items (tabelle.h)
};

struct CatalogoTabelle;

struct Voce {
    QString codice;     // "A", "A.1", "B.8.2"...: unique in the framework, no blanks
    QString etichetta;  // any length
    QString nota;       // free text (the article of law an item comes from)
    Tipo tipo = Tipo::Importo;
    Centesimi importo = 0;            // Importo: the typed amount (the absorbing item: as set)
    Millesimi percentuale = 0;        // Percentuale: 0..kPercentualeMassima
    QString tabella;                  // Tabella: the name of the band table
    QStringList di;                   // Percentuale, Tabella: the codes whose amounts are summed
    // Percentuale, Tabella: computed on the tender base. In an award, a variant
    // or the final account the item keeps its amount of the project the award
    // came from, while the other items follow the contract.
    bool sullaBaseDiGara = false;
    std::optional<bool> ribassabile;  // subject to the tender discount; unset: the default
    QList<Voce> voci;                 // Sezione: the children, in order
    QJsonObject altri;                // keys of the file this program does not know, kept on save

    bool operator==(const Voce&) const;  // member by member (defined where Voce is complete)
};

// The header of a project.
struct Intestazione {
    QString ente, titolo, cup, cig, rup, progettista, fase, data;
    QString luogo;  // the place of the work (the file key "luogo", written when given)
    QString valuta = QStringLiteral("euro");
    QJsonObject altri;

    bool operator==(const Intestazione&) const = default;
};

// The fixed total (the funding) and the amount item that absorbs the
// difference. Without a fixed total nothing is absorbed.
struct Vincolo {
    std::optional<Centesimi> totale;
    QString compensa;  // code of an amount item; empty: the contingencies item
    QJsonObject altri;

    bool operator==(const Vincolo&) const = default;
};

// One framework: its items and its fixed total. A phase of a project holds one.
struct Quadro {
    QList<Voce> voci;  // the top level; the project total is their sum
    Vincolo vincolo;
    QJsonObject altri;

    bool operator==(const Quadro&) const = default;
};

// A whole .varimo document: header, framework and the unknown keys of its top
// level.
struct FileQuadro {
    int versione = 1;
    Intestazione intestazione;
    Quadro quadro;
    QJsonObject altri;

    bool operator==(const FileQuadro&) const = default;
};

// ---- Looking items up ------------------------------------------------------

// The path of an item: its position in each list from the top level down.
using Percorso = QList<int>;

// Every item in reading order (parents before their children), with its path
// and depth (0 at the top level).
struct VoceInOrdine {
    const Voce* voce;
    Percorso percorso;
    int profondita;
};
QList<VoceInOrdine> vociInOrdine(const Quadro& q);

const Voce* trovaVoce(const Quadro& q, const QString& codice);
Voce* trovaVoce(Quadro& q, const QString& codice);
const Voce* voceA(const Quadro& q, const Percorso& p);
Voce* voceA(Quadro& q, const Percorso& p);
std::optional<Percorso> percorsoDi(const Quadro& q, const QString& codice);

// Whether an item is subject to the discount: as set, else true for the items
// under the top-level item with code "A" and false elsewhere.
bool ribassabile(const Quadro& q, const Percorso& p);

// The code of the item that absorbs the difference: vincolo.compensa, or else
// the first amount item whose label starts with "Imprevisti"; empty if none.
QString codiceCompensa(const Quadro& q);

// ---- Checking and evaluating -----------------------------------------------

// What an evaluation reads besides the framework itself.
struct Riferimenti {
    // The framework's date (ISO or Italian): it picks the band tables that
    // apply. Empty: the newest table, with a warning.
    QString data;
    // The amounts of the project an award came from, by code: the items on
    // the tender base keep them. Unset: every item follows its rule.
    std::optional<QHash<QString, Centesimi>> gara;
    // The band tables and the law's limits; nullptr: the installed ones.
    const CatalogoTabelle* tabelle = nullptr;
};

// The band table an item used, as the window and the prints name it.
struct TabellaUsata {
    QString nome;    // the table's name in the file
    QString titolo;  // "Contributo ANAC della stazione appaltante"
    int anno = 0;    // the year it applies from
    QString fonte;   // the act it comes from
    QString avviso;  // the warning when the framework's date is outside its dates
};

// Why a framework cannot be evaluated: an Italian message that names the
// items, and their codes.
struct Problema {
    QString messaggio;
    QStringList codici;
};

// Checks codes (present, unique, without blanks), references (every code in
// a percentage's or table's list exists, every table exists, no cycle through percentages and sections),
// percentages (0..100 %), typed amounts (within kImportoMassimo) and the
// absorbing item (an amount item). Nothing when the framework is sound.
std::optional<Problema> verifica(const Quadro& q, const Riferimenti& r = {});

// What the fixed total came to.
enum class EsitoVincolo {
    Nessuno,          // no fixed total
    Raggiunto,        // the total equals the fixed total
    Scarto,           // the largest reachable total below it: `scarto` cents short
    Irraggiungibile,  // even with the absorbing item at 0 the total is above it
    SenzaCompensa,    // no absorbing item (none named and no contingencies item)
};

struct Valutazione {
    QHash<QString, Centesimi> importi;  // every item's amount, by code
    Centesimi totale = 0;               // the project total
    EsitoVincolo vincolo = EsitoVincolo::Nessuno;
    Centesimi scarto =
        0;  // fixed total minus total (Scarto), total minus fixed total (Irraggiungibile)
    QString compensa;    // the code of the absorbing item used, if any
    // Warnings that refuse nothing: labels past kEtichettaLunga, a band table
    // used outside its dates, an item above its limit of the law.
    QStringList avvisi;
    QHash<QString, TabellaUsata> tabelle;  // the band-table items: the table each used
    // The items on the tender base that kept the project's amount (in an
    // award, a variant, the final account): their rule no longer gives it.
    QSet<QString> tenuteDalProgetto;

    Centesimi importo(const QString& codice) const { return importi.value(codice); }
};

// Evaluates the framework as it stands (no absorbing).
std::variant<Valutazione, Problema> valuta(const Quadro& q, const Riferimenti& r = {});

// Evaluates and, with a fixed total, sets the absorbing item's amount so that
// the total is the largest reachable total not above the fixed total (exactly
// it when reachable); percentages of the absorbing item follow. When no
// non-negative amount of it reaches the fixed total, or there is no absorbing
// item, the framework is left unchanged and the outcome says so. On a
// Problema nothing changes.
std::variant<Valutazione, Problema> ricalcola(Quadro& q, const Riferimenti& r = {});

// ---- Texts ------------------------------------------------------------------

// The rule of an item as the window and the exports show it: "22 % di B.8 +
// B.8.c" for a percentage, "tabella contributo-anac-stazione-appaltante 2025
// di A" for a band table (its year when the evaluation gives it), with ", sulla
// base di gara" for an item on the tender base; empty otherwise.
QString testoRegola(const Voce& v, const Valutazione* valutazione = nullptr);

// The law's limit an item is checked against (the item key "limite", as
// "incentivi-funzioni-tecniche"); empty when none.
QString limiteVoce(const Voce& v);
void impostaLimiteVoce(Voce& v, const QString& nome);
// The rate choices an item offers (the item key "aliquote", as "iva-lavori");
// empty when none.
QString aliquoteVoce(const Voce& v);

// The Italian figures of amounts and percentages, and their forms in the
// file, are the program's one number layer (common/cifre.h).

// ---- Template --------------------------------------------------------------

// A new framework with the items of the annex to the 2023 public contracts
// code (works, safety costs, the sums at the administration's disposal, VAT)
// and typical rules ready to be edited; amounts at 0.
Quadro modello2023();

}  // namespace varimo::quadro
