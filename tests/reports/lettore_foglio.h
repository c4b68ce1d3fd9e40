#pragma once

// Reads back the spreadsheets the program writes the way the RUP's office
// does: LibreOffice Calc opens the .xlsx, recalculates every formula (a
// profile of its own tells it to, and sets an Italian locale) and saves it as
// a flat OpenDocument spreadsheet, whose cells (value, formula, text as
// shown, comment) are parsed here.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <optional>

#include "reports/lettore_pdf.h"

namespace varimo::test {

struct CellaFoglio {
    QString testo;    // as shown, in the reader's number format
    QString formula;  // "of:=ROUND(22%*([.D12]+[.D13]);2)", empty for a value
    std::optional<double> valore;
    QString nota;  // the comment's text
};

struct FoglioLetto {
    QList<QList<CellaFoglio>> righe;  // only the first columns
    QString errore;
    QByteArray xml;  // the whole flat file (page styles, column widths)

    // Cell at riga, colonna (from 1); an empty cell outside what was read.
    CellaFoglio cella(int riga, int colonna) const {
        if (riga < 1 || riga > righe.size()) return {};
        const auto& r = righe.at(riga - 1);
        if (colonna < 1 || colonna > r.size()) return {};
        return r.at(colonna - 1);
    }
};

namespace dettaglio {

inline QString attributo(const QXmlStreamReader& x, const char* nome) {
    for (const auto& a : x.attributes())
        if (a.qualifiedName() == QLatin1String(nome)) return a.value().toString();
    return {};
}

// The text of one text:p element: runs of blanks (text:s), tabs and line
// breaks as the characters they stand for, spans as their text.
inline QString testoParagrafo(QXmlStreamReader& x) {
    QString t;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isCharacters()) {
            t += x.text();
        } else if (x.isStartElement()) {
            if (x.name() == QLatin1String("s")) {
                t += QString(std::max(1, attributo(x, "text:c").toInt()), QLatin1Char(' '));
            } else if (x.name() == QLatin1String("tab")) {
                t += QLatin1Char('\t');
            } else if (x.name() == QLatin1String("line-break")) {
                t += QLatin1Char('\n');
            }
        } else if (x.isEndElement() && x.name() == QLatin1String("p")) {
            break;
        }
    }
    return t;
}

// The text of the text:p elements inside the current element, paragraphs
// joined by a line feed.
inline QString testoParagrafi(QXmlStreamReader& x) {
    QStringList p;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("p")) {
            p << testoParagrafo(x);
        } else {
            x.skipCurrentElement();
        }
    }
    return p.join(QLatin1Char('\n'));
}

}  // namespace dettaglio

// Parses the first sheet of a flat OpenDocument spreadsheet, its first
// `colonne` columns.
inline FoglioLetto leggiFods(const QByteArray& xml, int colonne = 8) {
    FoglioLetto f;
    QXmlStreamReader x(xml);
    bool inTabella = false;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) {
            if (x.isEndElement() && x.name() == QLatin1String("table") && inTabella) break;
            continue;
        }
        if (x.name() == QLatin1String("table") && x.prefix() == QLatin1String("table")) {
            inTabella = true;
            continue;
        }
        if (!inTabella || x.name() != QLatin1String("table-row")) continue;
        const int ripetute =
            std::max(1, dettaglio::attributo(x, "table:number-rows-repeated").toInt());
        QList<CellaFoglio> riga;
        while (x.readNextStartElement()) {
            if (x.name() != QLatin1String("table-cell") &&
                x.name() != QLatin1String("covered-table-cell")) {
                x.skipCurrentElement();
                continue;
            }
            const int volte =
                std::max(1, dettaglio::attributo(x, "table:number-columns-repeated").toInt());
            CellaFoglio c;
            c.formula = dettaglio::attributo(x, "table:formula");
            const QString v = dettaglio::attributo(x, "office:value");
            if (!v.isEmpty()) c.valore = v.toDouble();
            QStringList testi;
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("annotation")) {
                    c.nota = dettaglio::testoParagrafi(x);
                } else if (x.name() == QLatin1String("p")) {
                    testi << dettaglio::testoParagrafo(x);
                } else {
                    x.skipCurrentElement();
                }
            }
            c.testo = testi.join(QLatin1Char('\n'));
            for (int i = 0; i < volte && riga.size() < colonne; ++i) riga.append(c);
        }
        // Empty rows repeated to the end of the sheet are not worth keeping.
        const bool vuota = std::all_of(riga.begin(), riga.end(), [](const CellaFoglio& c) {
            return c.testo.isEmpty() && c.formula.isEmpty() && !c.valore;
        });
        for (int i = 0; i < (vuota ? std::min(ripetute, 1) : ripetute); ++i) f.righe.append(riga);
    }
    if (x.hasError()) f.errore = x.errorString();
    while (!f.righe.isEmpty() &&
           std::all_of(f.righe.last().begin(), f.righe.last().end(),
                       [](const CellaFoglio& c) { return c.testo.isEmpty() && !c.valore; }))
        f.righe.removeLast();
    return f;
}

// LibreOffice Calc, with a profile of its own that recalculates every
// formula of an .xlsx on loading and uses the Italian locale, saves the
// spreadsheets as flat OpenDocument files in cartella; their contents, in
// the order given (an error in FoglioLetto::errore for a file not made).
inline QList<FoglioLetto> ricalcolaConLibreOffice(const QStringList& fogli,
                                                  const QString& cartella) {
    QTemporaryDir profilo;
    QDir(profilo.path()).mkpath(QStringLiteral("user"));
    QFile registro(QDir(profilo.path()).filePath(QStringLiteral("user/registrymodifications.xcu")));
    if (registro.open(QIODevice::WriteOnly)) {
        registro.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
            "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
            "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\">"
            "<prop oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>0</value></prop></item>\n"
            "<item oor:path=\"/org.openoffice.Setup/L10N\">"
            "<prop oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\"><value>it-IT</value></prop>"
            "</item>\n"
            "</oor:items>\n");
        registro.close();
    }
    QStringList argomenti = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo.path()).toString(),
        QStringLiteral("--headless"),
        QStringLiteral("--convert-to"),
        QStringLiteral("fods"),
        QStringLiteral("--outdir"),
        cartella};
    argomenti += fogli;
    QList<FoglioLetto> r;
    const bool riuscito = esegui("soffice", argomenti, 300000).has_value();
    for (const QString& foglio : fogli) {
        QFile f(QDir(cartella).filePath(QFileInfo(foglio).completeBaseName() +
                                        QStringLiteral(".fods")));
        if (!riuscito || !f.open(QIODevice::ReadOnly)) {
            FoglioLetto vuoto;
            vuoto.errore = QStringLiteral("LibreOffice non ha letto ") + foglio;
            r.append(vuoto);
            continue;
        }
        const QByteArray xml = f.readAll();
        r.append(leggiFods(xml));
        r.last().xml = xml;
    }
    return r;
}

}  // namespace varimo::test
