// The document model and its .docx writer: what typing, adding paragraphs and
// tables, and aligning selections produce, read back from the written file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "reports/documento.h"
#include "reports/docx.h"
#include "reports/lettore_docx.h"
#include "reports/word.h"

namespace varimo {
namespace {

using test::CorpoLetto;
using test::ParagrafoLetto;
using test::TabellaLetta;

class ProvaDocumento : public ::testing::Test {
  protected:
    // Saves the document and reads it back as a word processor would see it.
    CorpoLetto scriviELeggi(const Documento& d) {
        const QString p = cartella.filePath(QStringLiteral("prova.docx"));
        QString errore;
        EXPECT_TRUE(salvaDocumento(d, p, &errore)) << errore.toStdString();
        CorpoLetto c = test::leggiDocx(p);
        EXPECT_TRUE(c.errore.isEmpty()) << c.errore.toStdString();
        return c;
    }
    QTemporaryDir cartella;
};

TEST_F(ProvaDocumento, LaDigitazioneDivideIParagrafiEConservaIlCarattereDiOgniFrammento) {
    Documento d;
    d.impostaNomeCarattere(QStringLiteral("Century Gothic"));
    d.impostaDimensioneCarattere(20);
    d.scriviTesto(QStringLiteral("Varimo\r"));
    d.impostaDimensioneCarattere(16);
    d.scriviTesto(QStringLiteral("descrizione\r\r"));
    d.impostaDimensioneCarattere(12);
    // A line feed and a CR LF pair end a paragraph just like CR alone.
    d.scriviTesto(QStringLiteral("uno\ndue\r\ntre "));
    d.impostaNomeCarattere(QStringLiteral("Arial"));
    d.scriviTesto(QStringLiteral("quattro"));

    const QList<ParagrafoLetto> p = scriviELeggi(d).paragrafi();
    ASSERT_EQ(p.size(), 6);
    const QStringList testi = {"Varimo", "descrizione", "", "uno", "due", "tre quattro"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i].testo, testi[i]) << i;
    EXPECT_EQ(p[0].dimensioni, QList<double>{20});
    EXPECT_EQ(p[1].dimensioni, QList<double>{16});
    EXPECT_EQ(p[2].dimensioneMarcatore, 16) << "an empty line keeps the size it was typed in";
    EXPECT_EQ(p[3].caratteri, QStringList{"Century Gothic"});
    EXPECT_EQ(p[5].caratteri, (QStringList{"Century Gothic", "Arial"}));
    EXPECT_EQ(p[5].dimensioni, (QList<double>{12, 12}));
}

TEST_F(ProvaDocumento, IlParagrafoAggiuntoChiudeLaRigaEAccettaTestoConFineParagrafo) {
    Documento d;
    d.impostaDimensioneCarattere(12);
    d.scriviTesto(QStringLiteral("titolo senza fine"));
    d.aggiungiParagrafo();  // closes the title line
    d.aggiungiTabella(1, 1);
    ParagrafoAggiunto p = d.aggiungiParagrafo();
    p.impostaDimensioneCarattere(14);
    p.impostaTesto(QStringLiteral("\rDati generali\r"));
    d.aggiungiTabella(1, 1);

    const CorpoLetto c = scriviELeggi(d);
    // title, table, empty line, "Dati generali", table, closing paragraph
    ASSERT_EQ(c.blocchi.size(), 6);
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[0]).testo, "titolo senza fine");
    EXPECT_TRUE(std::holds_alternative<TabellaLetta>(c.blocchi[1]));
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[2]).testo, "");
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[2]).dimensioneMarcatore, 14);
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[3]).testo, "Dati generali");
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[3]).dimensioni, QList<double>{14});
    EXPECT_TRUE(std::holds_alternative<TabellaLetta>(c.blocchi[4]));
    EXPECT_EQ(std::get<ParagrafoLetto>(c.blocchi[5]).testo, "");
}

TEST_F(ProvaDocumento, LeTabelleHannoDimensioniCelleECarattereELeCelleEsterneSonoIgnorate) {
    Documento d;
    d.impostaNomeCarattere(QStringLiteral("Century Gothic"));
    d.scriviTesto(QStringLiteral("x"));
    d.aggiungiParagrafo();
    Tabella& t = d.aggiungiTabella(3, 4);
    t.impostaDimensioneCarattere(8);
    EXPECT_TRUE(t.impostaTestoCella(3, 4, QStringLiteral("ultima")));
    EXPECT_TRUE(t.impostaTestoCella(2, 1, QStringLiteral("due\rrighe")));
    EXPECT_FALSE(t.impostaTestoCella(4, 1, QStringLiteral("fuori")));
    EXPECT_FALSE(t.impostaTestoCella(1, 0, QStringLiteral("fuori")));
    EXPECT_EQ(d.numeroTabelle(), 1);
    EXPECT_EQ(d.tabella(1), &t);
    EXPECT_EQ(d.tabella(2), nullptr);
    EXPECT_EQ(d.tabella(0), nullptr);

    const QList<TabellaLetta> tab = scriviELeggi(d).tabelle();
    ASSERT_EQ(tab.size(), 1);
    ASSERT_EQ(tab[0].righe.size(), 3);
    EXPECT_EQ(tab[0].colonne(), 4);
    EXPECT_EQ(tab[0].colonneGriglia, 4);
    EXPECT_EQ(tab[0].cella(3, 4).testo(), "ultima");
    EXPECT_EQ(tab[0].cella(2, 1).paragrafi.size(), 2);
    EXPECT_EQ(tab[0].cella(2, 1).testo(), "due\rrighe");
    EXPECT_EQ(tab[0].cella(1, 1).testo(), "") << "an empty cell still holds a paragraph";
    EXPECT_EQ(tab[0].cella(3, 4).paragrafi[0].caratteri, QStringList{"Century Gothic"});
    EXPECT_EQ(tab[0].cella(3, 4).paragrafi[0].dimensioni, QList<double>{8});
    EXPECT_EQ(tab[0].stile, QString::fromUtf16(kStileGriglia));
}

TEST_F(ProvaDocumento, IlFormatoAutomaticoAdattaLeColonneAlLoroContenuto) {
    Documento d;
    Tabella& semplice = d.aggiungiTabella(1, 3);
    semplice.impostaTestoCella(1, 2, QString(40, QLatin1Char('x')));
    Tabella& formattata = d.aggiungiTabella(2, 3);
    formattata.impostaTestoCella(1, 1, QStringLiteral(" 1"));
    formattata.impostaTestoCella(2, 2, QStringLiteral("Lavori a corpo\rcon una seconda riga"));
    formattata.impostaTestoCella(1, 3, QStringLiteral("1.000,00"));
    formattata.formatoAutomatico(Tabella::Formato::Colorato2);

    const QList<TabellaLetta> t = scriviELeggi(d).tabelle();
    ASSERT_EQ(t.size(), 2);
    ASSERT_EQ(t[0].larghezzeGriglia.size(), 3);
    EXPECT_EQ(t[0].larghezzeGriglia[0], t[0].larghezzeGriglia[1]) << "a plain grid is even";
    EXPECT_EQ(t[0].larghezzeGriglia[1], t[0].larghezzeGriglia[2]);
    const QList<int>& l = t[1].larghezzeGriglia;
    ASSERT_EQ(l.size(), 3);
    EXPECT_GT(l[1], l[2]);
    EXPECT_GT(l[2], l[0]);
    EXPECT_LE(l[0] + l[1] + l[2], 11906 - 2 * 1134) << "the table stays within the margins";
    EXPECT_GT(l[0] + l[1] + l[2], 11906 - 2 * 1134 - 10);
}

TEST_F(ProvaDocumento, LaSelezioneDiColonnaAllineaSoloQuellaColonnaDiQuellaTabella) {
    Documento d;
    d.aggiungiTabella(2, 3);
    d.aggiungiParagrafo().impostaTesto(QStringLiteral("in mezzo"));
    d.aggiungiTabella(2, 2);
    d.selezionaColonna(1, 2);
    d.impostaAllineamentoSelezione(2);
    d.selezionaColonna(2, 1);
    d.impostaAllineamentoSelezione(3);
    // Selections that do not exist, and alignments the program does not know,
    // change nothing.
    d.selezionaColonna(3, 1);
    d.impostaAllineamentoSelezione(2);
    d.selezionaColonna(1, 9);
    d.impostaAllineamentoSelezione(2);
    d.selezionaColonna(1, 1);
    d.impostaAllineamentoSelezione(7);

    const QList<TabellaLetta> t = scriviELeggi(d).tabelle();
    ASSERT_EQ(t.size(), 2);
    for (int r = 1; r <= 2; ++r) {
        EXPECT_EQ(t[0].cella(r, 1).paragrafi[0].allineamento, "");
        EXPECT_EQ(t[0].cella(r, 2).paragrafi[0].allineamento, "right");
        EXPECT_EQ(t[0].cella(r, 3).paragrafi[0].allineamento, "");
        EXPECT_EQ(t[1].cella(r, 1).paragrafi[0].allineamento, "both");
        EXPECT_EQ(t[1].cella(r, 2).paragrafi[0].allineamento, "");
    }
}

TEST_F(ProvaDocumento, SelezionaTuttoGiustificaOgniParagrafoECella) {
    Documento d;
    d.scriviTesto(QStringLiteral("uno\rdue"));
    d.aggiungiParagrafo();
    d.aggiungiTabella(1, 2);
    d.selezionaTutto();
    d.impostaAllineamentoSelezione(3);

    const CorpoLetto c = scriviELeggi(d);
    for (const ParagrafoLetto& p : c.paragrafi())
        EXPECT_EQ(p.allineamento, "both") << p.testo.toStdString();
    ASSERT_EQ(c.tabelle().size(), 1);
    EXPECT_EQ(c.tabelle()[0].cella(1, 2).paragrafi[0].allineamento, "both");
}

TEST_F(ProvaDocumento, IlTestoConCaratteriDiMarcaturaAccentiECaratteriDiControlloSopravvive) {
    const QString difficile =
        QStringLiteral("<voce> & \"lavori\" d'arte: città, perché, €, ]]> fine");
    Documento d;
    d.scriviTesto(difficile + QChar(13));
    // Control characters that XML cannot carry are dropped, not written.
    d.scriviTesto(QStringLiteral("a") + QChar(1) + QChar(0x1F) + QStringLiteral("b") + QChar(9) +
                  QStringLiteral("c") + QChar(11) + QStringLiteral("d") + QChar(13) + QChar(12) +
                  QStringLiteral("nuova pagina"));
    d.aggiungiParagrafo();
    Tabella& t = d.aggiungiTabella(1, 1);
    t.impostaTestoCella(1, 1, difficile + QChar(2));

    const CorpoLetto c = scriviELeggi(d);
    const QList<ParagrafoLetto> p = c.paragrafi();
    ASSERT_GE(p.size(), 3);
    EXPECT_EQ(p[0].testo, difficile);
    EXPECT_EQ(p[1].testo, QStringLiteral("ab\tc\vd"));
    EXPECT_EQ(p[2].testo, QString(QChar(12)) + QStringLiteral("nuova pagina"));
    EXPECT_EQ(p[2].interruzioniPagina, 1);
    EXPECT_EQ(c.tabelle()[0].cella(1, 1).testo(), difficile);
}

TEST_F(ProvaDocumento, IlPacchettoHaPartiBenFormateELoStileColoratoUnaVoltaSola) {
    Documento d;
    d.aggiungiTabella(2, 2).formatoAutomatico(Tabella::Formato::Colorato2);
    const QString p = cartella.filePath(QStringLiteral("parti.docx"));
    ASSERT_TRUE(salvaDocumento(d, p, nullptr));

    const QStringList attese = {
        "[Content_Types].xml",          "_rels/.rels",      "word/document.xml", "word/styles.xml",
        "word/_rels/document.xml.rels", "word/footer1.xml", "docProps/core.xml"};
    EXPECT_EQ(test::partiDocx(p), attese);
    for (const QString& nome : attese) {
        const auto dati = test::parteDocx(p, nome.toUtf8().constData());
        ASSERT_TRUE(dati.has_value()) << nome.toStdString();
        EXPECT_EQ(test::erroreXml(*dati), QString()) << nome.toStdString();
    }
    const QByteArray stili = *test::parteDocx(p, "word/styles.xml");
    EXPECT_EQ(stili.count("w:styleId=\"Tabellacolorata2\""), 1);
    EXPECT_TRUE(stili.contains("w:type=\"firstRow\""));
    EXPECT_TRUE(test::parteDocx(p, "word/_rels/document.xml.rels")->contains("styles.xml"));
    EXPECT_EQ(test::leggiDocx(p).tabelle()[0].stile, QString::fromUtf16(kStileColorato2));
}

TEST_F(ProvaDocumento, SalvareSostituisceUnFileInteroEFallisceSenzaResiduiDoveNonPuoScrivere) {
    const QString p = cartella.filePath(QStringLiteral("guida.doc"));
    Documento primo;
    primo.scriviTesto(QStringLiteral("prima versione"));
    ASSERT_TRUE(salvaDocumento(primo, p, nullptr));
    Documento secondo;
    secondo.scriviTesto(QStringLiteral("seconda versione"));
    ASSERT_TRUE(salvaDocumento(secondo, p, nullptr));
    EXPECT_EQ(test::leggiDocx(p).paragrafi()[0].testo, "seconda versione");

    const QString impossibile = cartella.filePath(QStringLiteral("non/esiste/x.docx"));
    QString errore;
    EXPECT_FALSE(salvaDocumento(secondo, impossibile, &errore));
    EXPECT_FALSE(errore.isEmpty());
    EXPECT_FALSE(QFile::exists(impossibile));
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files), QStringList{"guida.doc"})
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace varimo
