#pragma once

// The two reports at their widest (amounts up to 999.999.999,99, a 100 %
// row, labels that wrap) and what a reader of their printed page must find:
// every row number, amount and percentage of a row on one printed line,
// every heading whole, the footer, nothing outside the side margins.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <array>

#include "reports/lettore_pdf.h"
#include "reports/stampaguida.h"
#include "reports/stampe.h"

namespace varimo::test {

inline const QStringList kVociLarghe = {
    QStringLiteral("Lavori a misura"),
    QStringLiteral("Lavori a corpo"),
    QStringLiteral("Oneri per l'attuazione dei piani di sicurezza e coordinamento"),
    QStringLiteral("Importo a base dell'appalto"),
    QStringLiteral("Rilievi, accertamenti e indagini"),
    QStringLiteral("Allacciamenti ai pubblici servizi"),
    QStringLiteral("Imprevisti"),
    QStringLiteral("Acquisizione aree o immobili"),
    QStringLiteral("Accantonamento"),
    QStringLiteral("Spese tecniche di progettazione, direzione lavori e coordinamento"),
    QStringLiteral("Spese per attività di consulenza"),
    QStringLiteral("Spese per pubblicità"),
    QStringLiteral("Spese per accertamenti di laboratorio"),
    QStringLiteral("Collaudo tecnico amministrativo"),
    QStringLiteral("Opere d'arte"),
    QStringLiteral("IVA ed eventuali altre imposte"),
    QStringLiteral("Altre somme"),
    QStringLiteral("Totale somme a disposizione"),
};

// Amounts as printed, the widest first; the window holds them without the
// grouping points.
inline const QStringList kImportiLarghi = {
    QStringLiteral("999.999.999,99"), QStringLiteral("888.888.888,88"),
    QStringLiteral("100.000,00"),     QStringLiteral("335.497,87"),
    QStringLiteral("777.777.777,77"), QStringLiteral("4.444.444,40"),
    QStringLiteral("0,50"),           QStringLiteral("666.666.666,66"),
    QStringLiteral("55.555.555,55"),  QStringLiteral("999.999.999,99"),
    QStringLiteral("123.456.789,01"), QStringLiteral("1.000,00"),
    QStringLiteral("909.090.909,09"), QStringLiteral("12,34"),
    QStringLiteral("808.080.808,08"), QStringLiteral("707.070.707,07"),
    QStringLiteral("606.060.606,06"), QStringLiteral("505.050.505,05"),
};

inline QString senzaPunti(const QString& importo) {
    return QString(importo).remove(QLatin1Char('.'));
}

inline QString percentualeLarga(int i) {
    return i == 3 ? QStringLiteral("100") : i % 4 == 0 ? QStringLiteral("0") : QStringLiteral("10");
}

inline DatiStampaCalcolo calcoloLargo(const QString& progetto = QStringLiteral("Scuola")) {
    DatiStampaCalcolo d;
    d.intestazione = {progetto, QStringLiteral("euro")};
    for (int i = 1; i <= 18; ++i) {
        d.righe[static_cast<std::size_t>(i)] = {kVociLarghe[i - 1],
                                                senzaPunti(kImportiLarghi[i - 1]),
                                                percentualeLarga(i), kVociLarghe[(i * 7) % 18]};
    }
    d.calcolato = QStringLiteral("Importo calcolato del progetto");
    d.progetto = QStringLiteral("999999999,99");
    d.vincolato = QStringLiteral("Importo vincolato del progetto");
    d.costoprogetto = QStringLiteral("335497,87");
    return d;
}

inline DatiStampaQuadro quadroLargo(const QString& valuta,
                                    const QString& progetto = QStringLiteral("Scuola")) {
    DatiStampaQuadro d;
    d.intestazione = {progetto, valuta};
    d.numerovoci = 18;
    for (int i = 1; i <= 18; ++i) {
        d.tipo[static_cast<std::size_t>(i)] = kVociLarghe[i - 1];
        d.costo[static_cast<std::size_t>(i)] = senzaPunti(kImportiLarghi[i - 1]);
    }
    d.tipo[19] = QStringLiteral("TOTALE PROGETTO (in ") + valuta + QStringLiteral(")");
    d.costo[19] = QStringLiteral("999999999,99");
    return d;
}

// A line that begins with the row number and, further on, holds the given
// cells in order, each whole.
inline bool rigaStampata(const QStringList& righe, int numero, const QStringList& celle) {
    QString modello = QStringLiteral("^\\s*") + QString::number(numero) + QStringLiteral("\\s");
    for (const QString& c : celle)
        modello += QStringLiteral(".*(?<![\\w.,])") + QRegularExpression::escape(c) +
                   QStringLiteral("(?![\\w.,])");
    const QRegularExpression e(modello);
    for (const QString& r : righe)
        if (e.match(r).hasMatch()) return true;
    return false;
}

inline bool intestazioneStampata(const QStringList& righe, const QStringList& colonne) {
    QStringList parti;
    for (const QString& c : colonne) parti << QRegularExpression::escape(c);
    const QRegularExpression e(QStringLiteral("(^|\\s)") + parti.join(QStringLiteral("\\s+")) +
                               QStringLiteral("(\\s|$)"));
    for (const QString& r : righe)
        if (e.match(r).hasMatch()) return true;
    return false;
}

// The printed page of the calculation report of calcoloLargo().
inline void controllaCalcoloStampato(const QString& pdf) {
    SCOPED_TRACE(pdf.toStdString());
    const QString testo = testoPdf(pdf, true);
    const QStringList righe = testo.split(QLatin1Char('\n'));
    EXPECT_TRUE(intestazioneStampata(righe, {"numero", "voce", "costo", "%", "riferimento"}))
        << testo.toStdString();
    EXPECT_TRUE(intestazioneStampata(righe, {"tipologia", "valore"}));
    for (int i = 1; i <= 18; ++i)
        EXPECT_TRUE(rigaStampata(righe, i, {kImportiLarghi[i - 1], percentualeLarga(i)}))
            << "row " << i << "\n"
            << testo.toStdString();
    EXPECT_TRUE(suUnaRiga(righe, QStringLiteral("999.999.999,99")));
    EXPECT_TRUE(suUnaRiga(righe, QStringLiteral("335.497,87")));
    EXPECT_TRUE(piePaginaPresente(righe, 1, 1)) << testo.toStdString();
    controllaMargini(pdf);
}

// The printed page of the framework report of quadroLargo("euro").
inline void controllaQuadroStampato(const QString& pdf) {
    SCOPED_TRACE(pdf.toStdString());
    const QString testo = testoPdf(pdf, true);
    const QStringList righe = testo.split(QLatin1Char('\n'));
    EXPECT_TRUE(intestazioneStampata(righe, {"numero", "voce", "costo"})) << testo.toStdString();
    for (int i = 1; i <= 18; ++i)
        EXPECT_TRUE(rigaStampata(righe, i, {kImportiLarghi[i - 1]})) << "row " << i << "\n"
                                                                     << testo.toStdString();
    EXPECT_TRUE(rigaStampata(righe, 19, {"TOTALE", "999.999.999,99"}));
    EXPECT_TRUE(piePaginaPresente(righe, 1, 1)) << testo.toStdString();
    controllaMargini(pdf);
}

// The whole guide printed: "pag. n di m" on every page, m the number of
// pages, and each guide after the first opening a new page.
inline void controllaPagineNumerate(const QString& pdf,
                                    const std::array<GuidaDaStampare, 4>& guide) {
    SCOPED_TRACE(pdf.toStdString());
    const int pagine = campoPdf(pdf, QStringLiteral("Pages")).toInt();
    ASSERT_GT(pagine, 4) << "each guide runs over more than a page";
    std::size_t prossima = 0;
    for (int p = 1; p <= pagine; ++p) {
        const QStringList righe = testoPdf(pdf, true, p).split(QLatin1Char('\n'));
        EXPECT_TRUE(piePaginaPresente(righe, p, pagine)) << "page " << p;
        QStringList piene;
        for (const QString& r : righe)
            if (!r.trimmed().isEmpty()) piene << r.trimmed();
        if (prossima < guide.size() &&
            piene.contains(QStringLiteral("Guida: ") + guide[prossima].titolo)) {
            if (prossima > 0) {
                EXPECT_EQ(piene.value(0), QStringLiteral("Guida: ") + guide[prossima].titolo);
            }
            ++prossima;
        }
    }
    EXPECT_EQ(prossima, guide.size()) << "every guide title was found, in order";
}

}  // namespace varimo::test
