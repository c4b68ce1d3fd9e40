#pragma once

// Reads PDF files the way a user's tools do: LibreOffice turns a .docx into a
// PDF, poppler's pdftotext, pdfinfo, pdffonts and pdftoppm read a PDF. Each
// helper says whether its tool is installed, so a test can skip cleanly where
// it is not.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>

#include "reports/impaginazione.h"

namespace varimo::test {

inline QString strumento(const char* nome) {
    return QStandardPaths::findExecutable(QString::fromLatin1(nome));
}

// The tools missing among those named, joined for a skip message.
inline QString strumentiMancanti(std::initializer_list<const char*> nomi) {
    QStringList mancano;
    for (const char* n : nomi)
        if (strumento(n).isEmpty()) mancano << QString::fromLatin1(n);
    return mancano.join(QStringLiteral(", "));
}

// Runs a tool to its end; its standard output, or nothing when it failed.
inline std::optional<QByteArray> esegui(const char* nome, const QStringList& argomenti,
                                        int attesaMs = 60000) {
    QProcess p;
    p.start(strumento(nome), argomenti);
    if (!p.waitForFinished(attesaMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        ADD_FAILURE() << nome << " " << argomenti.join(' ').toStdString() << ": "
                      << p.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return p.readAllStandardOutput();
}

// LibreOffice, with a profile of its own, turns the documents into PDF files
// in cartella; their paths, in the order given.
inline QStringList convertiConLibreOffice(const QStringList& documenti, const QString& cartella) {
    QTemporaryDir profilo;
    QStringList argomenti = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo.path()).toString(),
        QStringLiteral("--headless"),
        QStringLiteral("--convert-to"),
        QStringLiteral("pdf"),
        QStringLiteral("--outdir"),
        cartella};
    argomenti += documenti;
    QStringList pdf;
    if (!esegui("soffice", argomenti, 180000)) return pdf;
    for (const QString& d : documenti)
        pdf << QDir(cartella).filePath(QFileInfo(d).completeBaseName() + QStringLiteral(".pdf"));
    return pdf;
}

// pdftotext: the text of a PDF (or of one page), in reading order, or laid
// out as on the page (each printed line one line of text).
inline QString testoPdf(const QString& pdf, bool comeSullaPagina, int pagina = 0) {
    QStringList a;
    if (comeSullaPagina) a << QStringLiteral("-layout");
    if (pagina > 0)
        a << QStringLiteral("-f") << QString::number(pagina) << QStringLiteral("-l")
          << QString::number(pagina);
    a << pdf << QStringLiteral("-");
    return QString::fromUtf8(esegui("pdftotext", a).value_or(QByteArray()));
}

// pdfinfo: the value of one field ("Pages", "Page size", "Title" ...).
inline QString campoPdf(const QString& pdf, const QString& campo) {
    const QString info = QString::fromUtf8(esegui("pdfinfo", {pdf}).value_or(QByteArray()));
    for (const QString& riga : info.split(QLatin1Char('\n')))
        if (riga.startsWith(campo + QLatin1Char(':'))) return riga.mid(campo.size() + 1).trimmed();
    return {};
}

// Whether a text stands whole on one printed line: no digit, separator or
// letter joins it on either side.
inline bool suUnaRiga(const QStringList& righe, const QString& testo) {
    const QRegularExpression e(QStringLiteral("(?<![\\w.,])") + QRegularExpression::escape(testo) +
                               QStringLiteral("(?![\\w.,])"));
    for (const QString& r : righe)
        if (e.match(r).hasMatch()) return true;
    return false;
}

// The footer of page n of m as printed: a date of today (or of yesterday, for
// a test run across midnight) and "pag. n di m" on one line.
inline bool piePaginaPresente(const QStringList& righe, int n, int m) {
    const QDate oggi = QDate::currentDate();
    for (const QString& r : righe) {
        if (!r.contains(testoPagina(n, m))) continue;
        for (const QDate& g : {oggi, oggi.addDays(-1)})
            if (r.contains(g.toString(QStringLiteral("dd/MM/yyyy")))) return true;
    }
    return false;
}

// Left and right edge of everything drawn on the first page, in points, read
// from the page rendered by pdftoppm (grey levels below half count as ink).
struct Inchiostro {
    double sinistra = 0;
    double destra = 0;
    double larghezzaPagina = 0;
};

inline std::optional<Inchiostro> inchiostroPagina(const QString& pdf, int pagina) {
    constexpr int kDpi = 144;
    const QString n = QString::number(pagina);
    const auto pgm =
        esegui("pdftoppm", {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(kDpi),
                            QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf});
    if (!pgm || !pgm->startsWith("P5")) return std::nullopt;
    // "P5" width height maxval, each followed by one blank, then the pixels.
    qsizetype pos = 2;
    int campi[3] = {0, 0, 0};
    for (int& c : campi) {
        while (pos < pgm->size() && std::isspace(static_cast<unsigned char>(pgm->at(pos)))) ++pos;
        while (pos < pgm->size() && std::isdigit(static_cast<unsigned char>(pgm->at(pos))))
            c = c * 10 + (pgm->at(pos++) - '0');
    }
    ++pos;
    const int w = campi[0];
    const int h = campi[1];
    if (w <= 0 || h <= 0 || pgm->size() < pos + qsizetype(w) * h) return std::nullopt;
    int minX = w;
    int maxX = -1;
    for (int y = 0; y < h; ++y) {
        const auto* riga = reinterpret_cast<const unsigned char*>(pgm->constData() + pos + y * w);
        for (int x = 0; x < w; ++x) {
            if (riga[x] < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
    }
    if (maxX < 0) return std::nullopt;
    const double punti = 72.0 / kDpi;
    return Inchiostro{minX * punti, (maxX + 1) * punti, w * punti};
}

inline std::optional<Inchiostro> inchiostroPrimaPagina(const QString& pdf) {
    return inchiostroPagina(pdf, 1);
}

// Everything on a page (the first unless told) lies within the side margins
// (one point of tolerance for the width of a border line).
inline void controllaMargini(const QString& pdf, int pagina = 1) {
    const std::optional<Inchiostro> i = inchiostroPagina(pdf, pagina);
    ASSERT_TRUE(i.has_value()) << pdf.toStdString() << " pag. " << pagina;
    const double margine = kMargineLato / 20.0;
    EXPECT_GE(i->sinistra, margine - 1) << pdf.toStdString() << " pag. " << pagina;
    EXPECT_LE(i->destra, i->larghezzaPagina - margine + 1)
        << pdf.toStdString() << " pag. " << pagina;
}

}  // namespace varimo::test
