#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "common/cifre.h"

// The figures of the law that a framework's items are computed from, kept as
// dated data with their source: band tables (the ANAC contribution, the art
// quota), percentage ceilings (a warning, never a block) and the rates an item
// offers as choices. The program ships its own tables
// (resources/leggi/tabelle-scaglioni.json, built into the library) and reads
// the user's own file beside them; docs/tabelle-scaglioni.md describes both.
// QtCore only.

namespace varimo::quadro {

using varimo::Centesimi;
using varimo::Millesimi;

struct Scaglione {
    // The band starts at this base (inclusive) and ends where the next starts.
    Centesimi da = 0;
    std::optional<Centesimi> importo;  // a fixed amount for the band...
    // ...or else a percentage of the WHOLE base (not marginal), half up to the cent.
    Millesimi percentuale = 0;
};

struct TabellaScaglioni {
    QString nome;    // the kind: "contributo-anac-stazione-appaltante", "quota-arte-legge-717-1949"
    QString titolo;  // "Contributo ANAC della stazione appaltante"
    QString base;    // what the base is, in words ("importo posto a base di gara")
    QDate dal;       // first day it applies
    // The last day it applies; null: until the next table of the same name
    // starts (open for the newest).
    QDate al;
    QString fonte;               // act, number, date, official journal
    QList<Scaglione> scaglioni;  // ascending `da`; below the first band the amount is 0
    QString origine;             // empty for the shipped tables, else the path of the user's file
};

// The amount of the band that holds `base`. A negative base, or one below the
// first band, gives 0. Exact integer arithmetic, half up to the cent.
Centesimi importoScaglioni(const TabellaScaglioni& t, Centesimi base);

// A percentage ceiling of the law (a warning, never a block).
struct Limite {
    QString nome, titolo, fonte;
    QDate dal, al;  // al null: until the next ceiling of the same name starts
    Millesimi percentuale = 0;
    QString origine;
};

struct SceltaAliquota {
    Millesimi percentuale = 0;
    QString titolo;
};

// The rates a template item offers as choices.
struct Aliquote {
    QString nome, titolo, fonte;
    QList<SceltaAliquota> scelte;
    QString origine;
};

struct CatalogoTabelle {
    QList<TabellaScaglioni> tabelle;
    QList<Limite> limiti;
    QList<Aliquote> aliquote;
    QStringList avvisi;        // why (part of) the user's file was not taken, in Italian
    QStringList nomi() const;  // distinct table names, in file order
};

struct TabellaScelta {
    const TabellaScaglioni* tabella = nullptr;  // nullptr: no table of that name at all
    // Empty when the date falls within the table's dates; else an Italian
    // warning naming the table, its year and its source.
    QString avviso;
};

// The table of that name for the framework's date (ISO "2025-03-15" or
// Italian "15/03/2025"): the one whose dates hold it, without a warning.
// Otherwise (after the newest table's end, in a gap, before the oldest, or no
// readable date) the nearest one in time (the newest starting on or before the
// date; before all of them the oldest; without a date the newest) WITH a
// warning. Where the user's table and a shipped one both hold the date, the
// one starting later wins, and on the same day the user's.
TabellaScelta scegliTabella(const CatalogoTabelle& c, const QString& nome, const QString& data);
// The ceiling whose dates hold the date, else the newest; nullptr if none.
const Limite* scegliLimite(const CatalogoTabelle& c, const QString& nome, const QString& data);
const Aliquote* trovaAliquote(const CatalogoTabelle& c, const QString& nome);

// Reads one tables file (the shipped one or the user's). A malformed file
// gives an Italian message naming `origine` and what is wrong (which table,
// which key). Every item read carries `origine`.
std::variant<CatalogoTabelle, QString> leggiCatalogo(const QByteArray& json,
                                                     const QString& origine);

// `utente` over `installato`: a user's table or ceiling with the same name and
// dates as a shipped one takes its place, a user's rate list with the same
// name likewise; the rest is added after. Warnings of both are kept.
CatalogoTabelle unisciCataloghi(CatalogoTabelle installato, const CatalogoTabelle& utente);

// The shipped catalog merged with the user's file at `percorsoUtente`, read
// now. A missing file is no fault unless `deveEsistere`; an unreadable or
// malformed one leaves the shipped catalog and its message in `avvisi`.
CatalogoTabelle caricaCatalogo(const QString& percorsoUtente, bool deveEsistere = false);

// The shipped catalog merged with the user's own file (percorsoTabelleUtente()),
// read once per process on first use (thread-safe); first use comes after the
// application's name is set, which the configuration folder depends on.
const CatalogoTabelle& catalogoTabelle();

// The user's own tables: $VARIMO_TABELLE if set, else "tabelle-scaglioni.json"
// in the program's configuration folder.
QString percorsoTabelleUtente();

// For the window and the CSV: "Contributo ANAC della stazione appaltante 2025".
QString nomeConAnno(const TabellaScaglioni& t);

}  // namespace varimo::quadro
