// Handing finished documents to the user: file names, never overwriting an
// earlier document, and what the user is told when writing or opening fails.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <iterator>

#include "common/scritturafile.h"
#include "reports/ambiente_stampe.h"
#include "reports/word.h"
#include "support/figlio_limitato.h"
#include "support/sistema.h"

namespace varimo {
namespace {

TEST(NomeFileSicuro, FaNomiDiFileUtilizzabili) {
    const struct {
        QString dato;
        QString atteso;
    } casi[] = {
        {"Varimo - QUADRO ECONOMICO - Scuola", "Varimo - QUADRO ECONOMICO - Scuola"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {QStringLiteral("riga\tdue\nfine"), "riga_due_fine"},
        {"  .nascosto. ", "nascosto"},
        {"...", "documento"},
        {"", "documento"},
        {QStringLiteral("Città d'Ascoli"), QStringLiteral("Città d'Ascoli")},
    };
    for (const auto& c : casi) EXPECT_EQ(nomeFileSicuro(c.dato), c.atteso) << c.dato.toStdString();
    EXPECT_LE(nomeFileSicuro(QString(500, QLatin1Char('x'))).size(), 150);
}

// Any text, however hostile, gives a name a file system takes: within the
// 255-byte limit with room for " (N)" and an extension, whole characters,
// nothing that separates folders, controls the terminal or turns the
// direction of the text around.
TEST(NomeFileSicuro, OgniTestoDaUnNomeEntroILimitiESenzaTrucchiNascosti) {
    const QString pezzi[] = {
        QStringLiteral("à"),    QStringLiteral("a"),    QStringLiteral("\U0001F600"),
        QString(QChar(0xD800)), QString(QChar(0xDC00)), QString(QChar(0x202E)),
        QString(QChar(0x2067)), QStringLiteral("/"),    QStringLiteral("\x01"),
        QStringLiteral("€"),    QStringLiteral(" "),    QStringLiteral(".")};
    std::srand(2026);
    for (int prova = 0; prova < 2000; ++prova) {
        QString nome;
        const int n = std::rand() % 600;
        for (int i = 0; i < n; ++i) nome += pezzi[std::rand() % std::size(pezzi)];
        const QString r = nomeFileSicuro(nome);
        const QByteArray utf8 = r.toUtf8();
        ASSERT_FALSE(r.isEmpty());
        ASSERT_LE(utf8.size(), kByteMassimiNomeFile - 16) << nome.size();
        ASSERT_EQ(QString::fromUtf8(utf8), r) << "an unpaired surrogate survived";
        for (QChar c : r) {
            ASSERT_FALSE(c == u'/' || c.unicode() < 0x20 || c.unicode() == 0x202E ||
                         c.unicode() == 0x2067);
        }
    }
}

class Consegna : public test::AmbienteStampe {};

// Documents go to the user's own folder as files only the user reads (0700
// and 0600 where files have permission bits), whatever the file-creation
// mask; a name already taken, also by a dangling link, moves on to the next;
// a project name of a thousand non-ASCII letters still prints; something
// else at the folder's name (a link to a folder someone else reads, or a
// plain file) is refused and nothing is written there.
TEST_F(Consegna, IDocumentiSonoRiservatiEUnNomeGiaPresoPassaAlSeguente) {
    const unsigned maschera = test::impostaMaschera(022);
    Documento d;
    d.scriviTesto(QStringLiteral("riservato"));
    ASSERT_TRUE(QDir().mkdir(documenti(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther));
    const QDir doc(documenti());
    QFile preso(doc.filePath("doc.docx"));
    ASSERT_TRUE(preso.open(QIODevice::WriteOnly) && preso.write("prima") == 5);
    preso.close();
    const bool conCollegamento =
        test::creaCollegamento(QStringLiteral("/nessuno/bersaglio"), doc.filePath("doc (2).docx"));
    const auto primo = consegnaDocumento(d, QStringLiteral("doc"));
    const auto lungo = consegnaDocumento(d, QString(1000, QChar(0xE0)));
    test::impostaMaschera(maschera);
    ASSERT_TRUE(primo && lungo) << utente.testi().join(u'\n').toStdString();
    EXPECT_EQ(QFileInfo(*primo).fileName(), conCollegamento ? "doc (3).docx" : "doc (2).docx");
    ASSERT_TRUE(preso.open(QIODevice::ReadOnly));
    EXPECT_EQ(preso.readAll(), "prima");
    preso.close();
    for (const QString& f : {*primo, *lungo}) {
        if (const auto m = test::permessi(f)) {
            EXPECT_EQ(*m, 0600u) << f.toStdString();
        }
    }
    if (const auto m = test::permessi(documenti())) {
        EXPECT_EQ(*m, 0700u);
    }
    EXPECT_LE(QFileInfo(*lungo).fileName().toUtf8().size(), kByteMassimiNomeFile);

    QTemporaryDir altrove;
    ASSERT_TRUE(QDir(documenti()).removeRecursively());
    if (!test::creaCollegamento(altrove.path(), documenti())) {
        QFile file(documenti());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(documenti())))
        << utente.messaggi[0].testo.toStdString();
    EXPECT_TRUE(QDir(altrove.path()).isEmpty());
}

TEST_F(Consegna, OgniDocumentoHaIlSuoFileEVieneAperto) {
    Documento d;
    d.scriviTesto(QStringLiteral("uno"));
    const auto primo = consegnaDocumento(d, QStringLiteral("Varimo - prova: 1/2"));
    const auto secondo = consegnaDocumento(d, QStringLiteral("Varimo - prova: 1/2"));
    ASSERT_TRUE(primo && secondo);
    EXPECT_NE(*primo, *secondo);
    EXPECT_EQ(QFileInfo(*primo).fileName(), "Varimo - prova_ 1_2.docx");
    EXPECT_EQ(QFileInfo(*secondo).fileName(), "Varimo - prova_ 1_2 (2).docx");
    EXPECT_EQ(QFileInfo(*primo).absolutePath(), QDir(documenti()).absolutePath());
    EXPECT_EQ(aperti, (QStringList{*primo, *secondo}));
    EXPECT_TRUE(utente.messaggi.isEmpty());
}

TEST_F(Consegna, UnErroreDelProgrammaDiAperturaVieneSegnalatoConIlPercorso) {
    apriRiesce = false;
    Documento d;
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    ASSERT_EQ(utente.messaggi.size(), 1);
    const QString percorso =
        QDir::toNativeSeparators(QDir(documenti()).filePath(QStringLiteral("doc.docx")));
    EXPECT_TRUE(utente.messaggi[0].testo.contains(percorso))
        << utente.messaggi[0].testo.toStdString();
    EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
}

TEST_F(Consegna, AncheLaMancanzaDelProgrammaDiAperturaEUnErrore) {
    impostaApriDocumento({});
    Documento d;
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    EXPECT_EQ(utente.messaggi.size(), 1);
}

TEST_F(Consegna, UnaCartellaNonScrivibileVieneSegnalataENonSiApreNulla) {
    const QString assente = cartella.filePath(QStringLiteral("manca"));
    usaTemporanea(assente);
    Documento d;
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    EXPECT_TRUE(aperti.isEmpty());
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.startsWith(
        QStringLiteral("Non è stato possibile scrivere il documento\r")));
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(assente)));
    EXPECT_EQ(utente.messaggi[0].icona, Icona::Esclamazione);
    EXPECT_FALSE(QDir(assente).exists());
}

TEST_F(Consegna, OgniNuovoDocumentoSostituisceIRiferimentiDelleStampe) {
    SessioneWord word;
    Documento& a = word.nuovoDocumento();
    const auto appA = word.applicazione;
    word.tabella = &a.aggiungiTabella(1, 1);
    Documento& b = word.nuovoDocumento();
    EXPECT_NE(&a, &b);
    EXPECT_NE(word.applicazione, appA);
    EXPECT_TRUE(word.applicazione->visibile);
    EXPECT_EQ(word.applicazione->numeroDocumenti(), 1);
    EXPECT_EQ(word.applicazione->documento(1).get(), &b);
    EXPECT_EQ(word.tabella, nullptr);
    EXPECT_EQ(appA->documento(1).get(), &a) << "the earlier document is left alone";
}

TEST_F(Consegna, IlDiscoPienoVieneSegnalatoENonLasciaNessunaParteDelDocumento) {
    if (!test::limiteFileDisponibile()) GTEST_SKIP() << "no limit on the size of files here";
    Documento d;
    d.scriviTesto(QStringLiteral("Un documento che non entra nel disco."));
    // Files cannot grow past 256 bytes in the child: the package does not fit.
    const std::optional<QString> esito = test::nelFiglioConLimite(256, [&] {
        const auto percorso = consegnaDocumento(d, QStringLiteral("pieno"));
        return QString::number(percorso.has_value()) + QString::number(aperti.size()) +
               utente.testi().join(u'\n');
    });
    ASSERT_TRUE(esito.has_value());
    const QString atteso =
        QDir::toNativeSeparators(QDir(documenti()).filePath(QStringLiteral("pieno.docx")));
    EXPECT_TRUE(esito->startsWith(
        QStringLiteral("00Non è stato possibile scrivere il documento\r") + atteso + u'\r'))
        << esito->toStdString();
    EXPECT_TRUE(esito->contains(QStringLiteral("il disco potrebbe essere pieno")))
        << esito->toStdString();
    EXPECT_TRUE(QDir(documenti()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace varimo
