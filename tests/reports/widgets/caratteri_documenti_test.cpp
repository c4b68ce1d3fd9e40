// Texts no document may carry as they are (unpaired surrogates, control
// characters, noncharacters, a very long label) in a document's labels,
// title and author: every .docx is well-formed XML in each part and opens
// in LibreOffice, every PDF/A is read by poppler, and a valid character
// outside the Basic Multilingual Plane comes through whole. The PDF writer
// needs the application's fonts, hence the offscreen graphical application
// of these tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "reports/caratteri.h"
#include "reports/documento.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_pdf.h"

namespace varimo {
namespace {

const QString kAstrale = QString::fromUcs4(U"\U0001F600");
constexpr char32_t kSostituto = 0xFFFD;

// The code points of a text; an unpaired surrogate counts as itself.
std::vector<char32_t> codici(const QString& t) {
    std::vector<char32_t> r;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i).isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) {
            r.push_back(QChar::surrogateToUcs4(t.at(i), t.at(i + 1)));
            ++i;
        } else {
            r.push_back(t.at(i).unicode());
        }
    }
    return r;
}

// The Char production of XML 1.0.
bool carattereXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

QStringList testiOstili() {
    QString c0;
    QString c1;
    for (char16_t u = 0; u < 0x20; ++u) c0 += QChar(u);
    for (char16_t u = 0x7F; u <= 0x9F; ++u) c1 += QChar(u);
    QStringList t = {QString(QChar(0xD800)),
                     QString(QChar(0xDFFF)),
                     QString(QChar(0xFFFE)),
                     QString(QChar(0xFFFF)),
                     c0,
                     c1,
                     kAstrale,
                     // A low half before a high half is two halves, no pair.
                     QString(QChar(0xDC00)) + QChar(0xD83D),
                     QStringLiteral("<voce & \"C.\" ]]>")};
    // A label of 40,000 characters: all of the above once, then words with
    // an unpaired surrogate, the valid character and a noncharacter now and
    // then.
    QString lungo = t.join(QStringLiteral(" x "));
    for (int i = 0; lungo.size() < 40000; ++i) {
        if (i % 50 == 0) lungo += QChar(0xD800) + kAstrale + QChar(0xFFFF);
        lungo += QStringLiteral("voce%1 ").arg(i);
    }
    lungo.truncate(40000);
    t.append(lungo);
    return t;
}

// A document with the text in its title, its author, a paragraph typed in a
// font named with it, an item's label in a coloured table and a cell
// written as it is, around words that must still be read.
std::shared_ptr<Documento> documentoCon(const QString& ostile) {
    auto d = std::make_shared<Documento>();
    d->impostaTitolo(QStringLiteral("Titolo ") + ostile);
    d->impostaAutore(QStringLiteral("Autore ") + ostile);
    d->impostaNomeCarattere(QStringLiteral("Liberation Serif") + ostile);
    d->scriviTesto(QStringLiteral("Prima ") + ostile + QStringLiteral(" dopo"));
    d->impostaNomeCarattere(QStringLiteral("Liberation Serif"));
    d->scriviTesto(QStringLiteral("\r"));
    Tabella& t = d->aggiungiTabella(3, 2);
    t.formatoAutomatico(Tabella::Formato::Colorato2);
    t.impostaTestoCella(1, 1, QStringLiteral("Voce"));
    t.impostaTestoCella(1, 2, QStringLiteral("Importo"));
    t.impostaTestoCella(2, 1, QStringLiteral("Etichetta ") + ostile + QStringLiteral(" fine"));
    t.impostaTestoCella(2, 2, QStringLiteral("1.234,56"));
    t.cella(3, 1).testo = QStringLiteral("Grezza ") + ostile + QStringLiteral(" coda");
    t.impostaTestoCella(3, 2, QStringLiteral("7,89"));
    return d;
}

QString testoLetto(const test::CorpoLetto& c) {
    QString r;
    for (const test::BloccoLetto& b : c.blocchi) {
        if (const auto* p = std::get_if<test::ParagrafoLetto>(&b)) {
            r += p->testo;
        } else {
            for (const auto& riga : std::get<test::TabellaLetta>(b).righe)
                for (const test::CellaLetta& cella : riga) r += cella.testo();
        }
        r += QChar(13);
    }
    return r;
}

// The text of each element of the given name in an XML part.
QStringList testiElementi(const QByteArray& xml, const QString& nome) {
    QStringList r;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == nome)
            r.append(x.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return r;
}

bool scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly) && f.write(dati) == dati.size();
}

// Whatever a text holds, the filter gives text that every document carries:
// XML 1.0 characters only, UTF-8 without loss, one code point for each of
// the original's, each the same or U+FFFD, every printable character kept,
// and nothing more to do on a second pass.
TEST(CaratteriDocumenti, IlFiltroDaSoloCaratteriXmlEConservaQuelliStampabili) {
    const char32_t scelte[] = {u'a', u'\t', u'\n', u'\r', 0x0,     0x1,     0x1F,   0x7F,
                               0x85, 0x9F,  0xE0,  0x20AC, 0xD7FF, 0xD800,  0xDBFF, 0xDC00,
                               0xDFFF, 0xE000, 0xFDD0, 0xFDEF, 0xFEFF, 0xFFFD, 0xFFFE, 0xFFFF,
                               0x1F600, 0x1FFFE, 0x10FFFF, 0x10FFFD};
    QRandomGenerator caso(20240607);
    for (int prova = 0; prova < 3000; ++prova) {
        QString t;
        const int lunghezza = static_cast<int>(caso.bounded(40));
        for (int i = 0; i < lunghezza; ++i) {
            // Mostly chosen values, now and then any 16-bit unit at all.
            if (caso.bounded(5) == 0) {
                t += QChar(static_cast<char16_t>(caso.bounded(0x10000)));
            } else {
                const char32_t c = scelte[caso.bounded(static_cast<int>(std::size(scelte)))];
                t += QString::fromUcs4(&c, 1);
            }
        }
        const QString r = testoPerDocumenti(t);
        SCOPED_TRACE(QByteArray(reinterpret_cast<const char*>(t.utf16()), t.size() * 2)
                         .toHex()
                         .toStdString());
        ASSERT_EQ(QString::fromUtf8(r.toUtf8()), r);
        const std::vector<char32_t> prima = codici(t);
        const std::vector<char32_t> dopo = codici(r);
        ASSERT_EQ(prima.size(), dopo.size());
        for (std::size_t i = 0; i < dopo.size(); ++i) {
            const auto codice = static_cast<std::uint32_t>(prima[i]);
            SCOPED_TRACE(QString::number(codice, 16).toStdString());
            ASSERT_TRUE(carattereXml(dopo[i]));
            ASSERT_TRUE(dopo[i] == prima[i] || dopo[i] == kSostituto);
            if (QChar::isPrint(prima[i]) || prima[i] == u'\t' || prima[i] == u'\n') {
                ASSERT_EQ(dopo[i], prima[i]);
            }
        }
        ASSERT_EQ(testoPerDocumenti(r), r);
        ASSERT_EQ(richiedeFiltro(t), r != t);
    }
}

// The same hostile texts through the document layer into both formats: the
// readers users have open every file, and the words around the texts, the
// title, the author and the valid character outside the Basic Multilingual
// Plane are all there.
TEST(CaratteriDocumenti, TestiOstiliDannoDocumentiCheOgniLettoreApre) {
    const QString mancano =
        test::strumentiMancanti({"xmllint", "soffice", "pdfinfo", "pdftotext"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    const QDir dir(cartella.path());

    const QStringList ostili = testiOstili();
    QStringList docx;
    for (qsizetype n = 0; n < ostili.size(); ++n) {
        const QString& ostile = ostili.at(n);
        SCOPED_TRACE("text " + std::to_string(n));
        const qsizetype astrali = ostile.count(kAstrale);
        const auto d = documentoCon(ostile);

        const QString pacchetto = dir.filePath(QStringLiteral("ostile%1.docx").arg(n));
        QString errore;
        ASSERT_TRUE(d->salvaCome(pacchetto, &errore, Documento::Formato::Docx))
            << errore.toStdString();
        docx.append(pacchetto);
        const QStringList parti = test::partiDocx(pacchetto);
        ASSERT_TRUE(parti.contains(QStringLiteral("word/document.xml")));
        ASSERT_TRUE(parti.contains(QStringLiteral("docProps/core.xml")));
        for (const QString& parte : parti) {
            const auto xml = test::parteDocx(pacchetto, parte.toUtf8().constData());
            ASSERT_TRUE(xml.has_value()) << parte.toStdString();
            const QString file = dir.filePath(QStringLiteral("parte%1.xml").arg(n));
            ASSERT_TRUE(scrivi(file, *xml));
            EXPECT_TRUE(test::esegui("xmllint", {QStringLiteral("--noout"), file}).has_value())
                << parte.toStdString();
        }

        const test::CorpoLetto corpo = test::leggiDocx(pacchetto);
        ASSERT_TRUE(corpo.errore.isEmpty()) << corpo.errore.toStdString();
        const QString testo = testoLetto(corpo);
        for (const char* parola : {"Prima ", " dopo", "Etichetta ", " fine", "Grezza ", " coda"})
            EXPECT_TRUE(testo.contains(QLatin1String(parola))) << parola;
        EXPECT_EQ(testo.count(kAstrale), 3 * astrali);

        const QByteArray core = *test::parteDocx(pacchetto, "docProps/core.xml");
        const QStringList titoli = testiElementi(core, QStringLiteral("title"));
        const QStringList autori = testiElementi(core, QStringLiteral("creator"));
        ASSERT_EQ(titoli.size(), 1);
        ASSERT_EQ(autori.size(), 1);
        EXPECT_TRUE(titoli[0].startsWith(QStringLiteral("Titolo ")));
        EXPECT_TRUE(autori[0].startsWith(QStringLiteral("Autore ")));
        EXPECT_EQ(titoli[0].count(kAstrale), astrali);
        EXPECT_EQ(autori[0].count(kAstrale), astrali);

        const QString pdf = dir.filePath(QStringLiteral("ostile%1.pdf").arg(n));
        ASSERT_TRUE(d->salvaCome(pdf, &errore, Documento::Formato::PdfA)) << errore.toStdString();
        EXPECT_TRUE(test::campoPdf(pdf, QStringLiteral("Title")).startsWith("Titolo"));
        EXPECT_TRUE(test::campoPdf(pdf, QStringLiteral("Creator")).startsWith("Autore"));
        const auto meta = test::esegui("pdfinfo", {QStringLiteral("-meta"), pdf});
        ASSERT_TRUE(meta.has_value());
        const qsizetype inizio = meta->indexOf("<x:xmpmeta");
        const qsizetype fine = meta->indexOf("</x:xmpmeta>");
        ASSERT_TRUE(inizio >= 0 && fine > inizio) << meta->toStdString();
        const QString xmp = dir.filePath(QStringLiteral("xmp%1.xml").arg(n));
        ASSERT_TRUE(scrivi(xmp, meta->mid(inizio, fine + 12 - inizio)));
        EXPECT_TRUE(test::esegui("xmllint", {QStringLiteral("--noout"), xmp}).has_value());
        const QString letto = test::testoPdf(pdf, false);
        for (const char* parola : {"Prima", "dopo", "Etichetta", "fine", "Grezza", "coda"})
            EXPECT_TRUE(letto.contains(QLatin1String(parola))) << parola;
        // A character that cannot be shown takes its place in the line and
        // splits none: a short text without tabs or breaks of its own leaves
        // its paragraph one run of text, read in order. (A character outside
        // the Basic Multilingual Plane may come from another font, which
        // poppler reads as a run of its own.)
        const std::vector<char32_t> c = codici(ostile);
        const bool inUnaRiga = c.size() < 100 && std::none_of(c.begin(), c.end(), [](char32_t x) {
                                   return (x >= 9 && x <= 13) || x > 0xFFFF;
                               });
        if (inUnaRiga) {
            EXPECT_TRUE(letto.contains(QRegularExpression(QStringLiteral("Prima [^\\n]*dopo"))))
                << letto.toStdString();
        }
    }

    // LibreOffice opens every package: each becomes a text file holding the
    // words around the hostile texts and the valid character.
    const QTemporaryDir profilo;
    QStringList argomenti = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo.path()).toString(),
        QStringLiteral("--headless"), QStringLiteral("--convert-to"),
        QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
        dir.filePath(QStringLiteral("libreoffice"))};
    argomenti += docx;
    ASSERT_TRUE(test::esegui("soffice", argomenti, 300000).has_value());
    for (qsizetype n = 0; n < docx.size(); ++n) {
        SCOPED_TRACE("text " + std::to_string(n));
        QFile f(dir.filePath(QStringLiteral("libreoffice/") +
                             QFileInfo(docx[n]).completeBaseName() + QStringLiteral(".txt")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        const QString testo = QString::fromUtf8(f.readAll());
        for (const char* parola : {"Prima", "dopo", "Etichetta", "fine", "Grezza", "coda"})
            EXPECT_TRUE(testo.contains(QLatin1String(parola))) << parola;
        EXPECT_EQ(testo.count(kAstrale), 3 * ostili.at(n).count(kAstrale));
    }
}

}  // namespace
}  // namespace varimo
