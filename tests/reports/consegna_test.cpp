// Handing finished documents to the user: file names, never overwriting an
// earlier document, and what the user is told when writing or opening fails.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "reports/ambiente_stampe.h"
#include "reports/word.h"
#include "support/figlio_limitato.h"

namespace varimo {
namespace {

TEST(NomeFileSicuro, MakesUsableFileNames) {
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

class ConsegnaTest : public test::AmbienteStampe {};

TEST_F(ConsegnaTest, EveryDocumentGetsItsOwnFileAndIsOpened) {
    Documento d;
    d.scriviTesto(QStringLiteral("uno"));
    const auto primo = consegnaDocumento(d, QStringLiteral("Varimo - prova: 1/2"));
    const auto secondo = consegnaDocumento(d, QStringLiteral("Varimo - prova: 1/2"));
    ASSERT_TRUE(primo && secondo);
    EXPECT_NE(*primo, *secondo);
    EXPECT_EQ(QFileInfo(*primo).fileName(), "Varimo - prova_ 1_2.docx");
    EXPECT_EQ(QFileInfo(*secondo).fileName(), "Varimo - prova_ 1_2 (2).docx");
    EXPECT_EQ(QFileInfo(*primo).absolutePath(), QDir(cartella.path()).absolutePath());
    EXPECT_EQ(aperti, (QStringList{*primo, *secondo}));
    EXPECT_TRUE(utente.messaggi.isEmpty());
}

TEST_F(ConsegnaTest, OpenerFailureIsToldWithThePath) {
    apriRiesce = false;
    Documento d;
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    ASSERT_EQ(utente.messaggi.size(), 1);
    const QString percorso =
        QDir::toNativeSeparators(cartella.filePath(QStringLiteral("doc.docx")));
    EXPECT_TRUE(utente.messaggi[0].testo.contains(percorso))
        << utente.messaggi[0].testo.toStdString();
    EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
}

TEST_F(ConsegnaTest, MissingOpenerIsAFailureToo) {
    impostaApriDocumento({});
    Documento d;
    EXPECT_FALSE(consegnaDocumento(d, QStringLiteral("doc")).has_value());
    EXPECT_EQ(utente.messaggi.size(), 1);
}

TEST_F(ConsegnaTest, UnwritableFolderIsToldAndNothingIsOpened) {
    const QString assente = cartella.filePath(QStringLiteral("manca"));
    qputenv("TMPDIR", QFile::encodeName(assente));
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

TEST_F(ConsegnaTest, EachPrintReplacesTheProgramWideReferences) {
    Documento& a = ModWord::nuovoDocumento();
    const auto appA = ModWord::appword;
    ModWord::tabellaword = &a.aggiungiTabella(1, 1);
    Documento& b = ModWord::nuovoDocumento();
    EXPECT_NE(&a, &b);
    EXPECT_NE(ModWord::appword, appA);
    EXPECT_TRUE(ModWord::appword->visibile);
    EXPECT_EQ(ModWord::appword->numeroDocumenti(), 1);
    EXPECT_EQ(ModWord::appword->documento(1).get(), &b);
    EXPECT_EQ(ModWord::tabellaword, nullptr);
    EXPECT_EQ(appA->documento(1).get(), &a) << "the earlier document is left alone";
}

TEST_F(ConsegnaTest, FullDiskIsToldAndLeavesNoPartOfTheDocument) {
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
        QDir::toNativeSeparators(cartella.filePath(QStringLiteral("pieno.docx")));
    EXPECT_TRUE(esito->startsWith(
        QStringLiteral("00Non è stato possibile scrivere il documento\r") + atteso + u'\r'))
        << esito->toStdString();
    EXPECT_TRUE(esito->contains(QStringLiteral("il disco potrebbe essere pieno")))
        << esito->toStdString();
    EXPECT_TRUE(QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace varimo
