#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace varimo {

// A framework of any shape as its documents and its spreadsheet see it: the
// header, the items in the order they are listed (each parent before its
// children) with their computed amounts in cents, and the project total. The
// framework's model copies itself into this record; the writers read only
// the record, so they never recompute what the model settled.

struct IntestazioneEsportata {
    QString ente;
    QString titolo;
    QString cup;
    QString cig;
    QString rup;
    QString progettista;
    QString fase;      // the phase's name ("Variante n. 1")
    QString tipoFase;  // its kind as the window names it ("Variante"); empty: not printed
    QDate data;        // the phase's date; invalid: the documents are dated the day they are made
    // A date the file holds that is no real date ("2026-02-30"): printed as
    // it is rather than replaced by the day of printing.
    QString dataScritta;
    QString luogo;     // the place of the work, in the heading and the place and date line
    QString valuta = QStringLiteral("euro");
};

// A line of the phase's own figures printed under the heading: "Ribasso
// d'asta" and "18,735 %", "Importo contrattuale" and "684.523,08".
struct DatoFase {
    QString voce;
    QString valore;
};

struct VoceEsportata {
    enum class Tipo { Sezione, Importo, Percentuale };

    QString codice;
    QString etichetta;
    Tipo tipo = Tipo::Importo;
    int livello = 0;  // 0 for a top-level section, 1 for its children, ...
    qint64 centesimi = 0;
    // A percentage item: the percentage as written in the file (a point for
    // decimals, up to three of them: "22", "1.8") and the items it applies
    // to, as indices into QuadroEsportato::voci.
    QString percentuale;
    QList<int> riferimenti;
    // A section: its children, as indices into QuadroEsportato::voci.
    QList<int> figli;
    // The amount item that absorbs the difference to the fixed total.
    bool compensa = false;
    // The rule as the framework shows it ("22 % di B.8 + B.8.c"); empty for
    // sections and typed amounts.
    QString regola;
    // The item's note, printed under its label; empty: none printed.
    QString nota;
    // An award (QuadroEsportato::ribasso set), an amount item the award
    // reduces by its discount: its amount before the discount, in cents (the
    // project's amount of the item, the one the award reduced); `centesimi`
    // holds the amount after it. Unset for every other item and outside an
    // award.
    std::optional<qint64> centesimiPrimaDelRibasso;
    // With centesimiPrimaDelRibasso: the labour costs kept out of the
    // discount, in cents, as the award applied them: the labour the item
    // declares, bounded to 0..centesimiPrimaDelRibasso (0 when that amount is
    // negative or the item declares none), and 0 when the award discounts
    // labour too. So that centesimi == manodoperaEsclusa + the rest
    // (centesimiPrimaDelRibasso - manodoperaEsclusa) reduced by the discount
    // and rounded half up to the cent.
    qint64 manodoperaEsclusa = 0;
};

struct QuadroEsportato {
    IntestazioneEsportata intestazione;
    QList<VoceEsportata> voci;
    QList<int> sezioni;  // the top-level items, indices into voci
    qint64 totale = 0;
    // The fixed total (the funding), when the framework has one.
    std::optional<qint64> totaleFisso;
    // An award: its discount in thousandths of a per cent (18,735 % is
    // 18735), the one that reduced the items carrying
    // VoceEsportata::centesimiPrimaDelRibasso. Unset outside an award.
    std::optional<qint32> ribasso;
    // Printed under the table: where the figures of the law come from (the
    // band tables and their acts) and the warnings of the evaluation.
    QStringList note;
    // The phase's own figures, printed under the heading: for an award the
    // tender base, the discount, the labour kept out, the contract amount and
    // the economies; for a variant its act and how much it raises the
    // contract amount of the award, with its limit.
    QList<DatoFase> datiFase;
    // Tables in colour (the program's maroon and yellow); plain black on
    // white by default, as administrations file them.
    bool colori = false;
    // The name the export dialogs propose, without extension: beside the
    // project's file with its name when it has one; empty: the print's name
    // in the documents folder.
    QString nomeProposto;
};

// The rule of a percentage item as the documents print it: "22 % di B.8 +
// B.8.c", the percentage with a decimal comma ("1,8 %").
QString regolaEsportata(const QuadroEsportato& q, const VoceEsportata& v);

// The percentage written with a decimal comma: "1.8" -> "1,8".
QString percentualeItaliana(const QString& percentuale);

}  // namespace varimo
