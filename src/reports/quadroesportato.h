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
    QString fase;
    QDate data;  // invalid: the documents are dated the day they are made
    QString valuta = QStringLiteral("euro");
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
};

struct QuadroEsportato {
    IntestazioneEsportata intestazione;
    QList<VoceEsportata> voci;
    QList<int> sezioni;  // the top-level items, indices into voci
    qint64 totale = 0;
    // The fixed total (the funding), when the framework has one.
    std::optional<qint64> totaleFisso;
    // Printed under the table: where the figures of the law come from (the
    // band tables and their acts) and the warnings of the evaluation.
    QStringList note;
};

// The rule of a percentage item as the documents print it: "22 % di B.8 +
// B.8.c", the percentage with a decimal comma ("1,8 %").
QString regolaEsportata(const QuadroEsportato& q, const VoceEsportata& v);

// The percentage written with a decimal comma: "1.8" -> "1,8".
QString percentualeItaliana(const QString& percentuale);

}  // namespace varimo
