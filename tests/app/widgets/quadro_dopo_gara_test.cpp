// The additions for today's framework, walked through the real windows as a
// designer uses them: the framework after the tender opened from either main
// window, the discount typed key by key, the marks, the prints; the sectioned
// print from both windows; the relabelling to the 2023 code.

#include <QCheckBox>

#include <cmath>

#include "calculation/vocicodice.h"
#include "common/numeri.h"
#include "classico/widgets/postgara.h"
#include "programma_intero.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_pdf.h"

using namespace varimo;
using namespace varimo::test;

namespace {

class DopoLaGara : public ProgrammaIntero {
  protected:
    // A 335.498,23, C 19.535,61, S = 10 % of D, typed as the user types.
    void prepara() {
        c = registro().mostra<Calcolo>();
        ASSERT_NE(c, nullptr);
        scrivi(c, QStringLiteral("costo_1"), QStringLiteral("335498,23"));
        scrivi(c, QStringLiteral("costo_3"), QStringLiteral("19535,61"));
        scegliRiferimento(c, 17, 3);
        portaBarra(c, 17, 10);
        ASSERT_EQ(c->progetto()->text(), "390537,22");
    }
    PostGara* apriDa(QMainWindow* w) {
        voce(w, "apripostgara")->trigger();
        QApplication::processEvents();
        PostGara* p = aperta<PostGara>();
        EXPECT_NE(p, nullptr);
        EXPECT_TRUE(p && p->isVisible());
        return p;
    }
    QList<QStringList> tabellaDi(const QString& docx) {
        const CorpoLetto corpo = leggiDocx(docx);
        QList<QStringList> r;
        const QList<TabellaLetta> t = corpo.tabelle();
        if (t.isEmpty()) return r;
        for (int i = 1; i <= t[0].righe.size(); ++i) {
            QStringList celle;
            for (int k = 1; k <= t[0].colonne(); ++k) celle << t[0].cella(i, k).testo();
            r << celle;
        }
        return r;
    }
    Calcolo* c = nullptr;
};

TEST_F(DopoLaGara, RibassoDigitatoTastoPerTastoSpunteEStampa) {
    prepara();
    PostGara* p = apriDa(c);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(testo(p, "prima_1"), "335.498,23");
    EXPECT_EQ(testo(p, "prima_17"), "35.503,38");
    EXPECT_EQ(testo(p, "dopo_1"), "");
    EXPECT_EQ(testo(p, "totaleprima"), "390.537,22");

    auto* segueS = controllo<QCheckBox>(p, QStringLiteral("segue_17"));
    ASSERT_NE(segueS, nullptr);
    EXPECT_TRUE(segueS->isChecked());
    EXPECT_FALSE(segueS->isHidden());
    EXPECT_TRUE(controllo<QCheckBox>(p, QStringLiteral("segue_5"))->isHidden());

    // Each keystroke recomputes: "2" is already a discount of 2 %.
    auto* ribasso = controllo<QLineEdit>(p, QStringLiteral("ribasso"));
    ribasso->setFocus();
    QTest::keyClick(ribasso, Qt::Key_2);
    EXPECT_EQ(testo(p, "dopo_1"), "328.788,27");  // 335.498,23 x 0,98 = 328.788,2654
    QTest::keyClicks(ribasso, QStringLiteral("3,456"));
    EXPECT_EQ(testo(p, "dopo_1"), "256.803,77");
    EXPECT_EQ(testo(p, "dopo_3"), "19.535,61");
    EXPECT_EQ(testo(p, "dopo_4"), "276.339,38");
    EXPECT_EQ(testo(p, "contratto"), "276.339,38");
    EXPECT_EQ(testo(p, "dopo_17"), "27.633,94");
    EXPECT_EQ(testo(p, "differenza_17"), "-7.869,44");
    EXPECT_EQ(testo(p, "economie"), "86.563,90");
    EXPECT_EQ(testo(p, "totaledopo"), "390.537,22");
    EXPECT_EQ(testo(p, "contrattolettere"), "(euro duecentosettantaseimilatrecentotrentanove/38)");
    EXPECT_EQ(testo(p, "economielettere"), "(euro ottantaseimilacinquecentosessantatré/90)");
    EXPECT_EQ(testo(p, "avviso"), "");

    // The designer takes the VAT off the discount: it keeps its project amount.
    QTest::mouseClick(segueS, Qt::LeftButton, {}, segueS->rect().center());
    EXPECT_FALSE(segueS->isChecked());
    EXPECT_EQ(testo(p, "dopo_17"), "35.503,38");
    EXPECT_EQ(testo(p, "economie"), "78.694,46");
    QTest::mouseClick(segueS, Qt::LeftButton, {}, segueS->rect().center());
    EXPECT_EQ(testo(p, "economie"), "86.563,90");

    // A discount outside 0..100, or unreadable, is marked and computes nothing.
    const QColor normale = ribasso->palette().color(QPalette::Base);
    for (const QString& t :
         {QStringLiteral("150"), QStringLiteral("12,3456"), QStringLiteral("dieci")}) {
        scrivi(p, QStringLiteral("ribasso"), t);
        EXPECT_NE(ribasso->palette().color(QPalette::Base), normale) << qPrintable(t);
        EXPECT_FALSE(testo(p, "avviso").isEmpty());
        EXPECT_EQ(testo(p, "dopo_1"), "");
        EXPECT_EQ(testo(p, "economie"), "");
        EXPECT_EQ(testo(p, "contratto"), "");
    }
    scrivi(p, QStringLiteral("ribasso"), QStringLiteral("23,456"));
    EXPECT_EQ(ribasso->palette().color(QPalette::Base), normale);

    // The project follows the calculation window while the window is open,
    // and the project itself is never touched.
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("100000"));
    EXPECT_EQ(testo(p, "prima_1"), "100.000,00");
    EXPECT_EQ(testo(p, "dopo_1"), "76.544,00");
    EXPECT_EQ(c->costo(1)->text(), "100000");
    EXPECT_EQ(c->costo(17)->text(), "11953,56");
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("335498,23"));

    // Printing needs the project name, typed in the framework window, which
    // the print brings forward.
    clicca(controllo<QPushButton>(p, QStringLiteral("cmdStampa")));
    EXPECT_TRUE(documenti.isEmpty());
    EXPECT_EQ(utente.testi().value(0), "Digitare il nome del progetto.");
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isVisible());
    scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Ponte"));
    clicca(controllo<QPushButton>(p, QStringLiteral("cmdStampa")));
    ASSERT_EQ(documenti.size(), 1);
    const QList<QStringList> t = tabellaDi(documenti[0]);
    ASSERT_EQ(t.size(), 10);
    EXPECT_EQ(t[2],
              (QStringList{"a.1", "Lavori a misura", "335.498,23", "256.803,77", "-78.694,46"}));
    EXPECT_EQ(t[7],
              (QStringList{"b.2", "Economie da ribasso d'asta", "0,00", "86.563,90", "86.563,90"}));

    // The same framework as a PDF file, read back with poppler: every figure
    // whole on its line, the words, nothing outside the margins.
    const QString pdf = percorsoProgetto(QStringLiteral("dopo la gara.pdf"));
    utente.scegliFile(pdf);
    clicca(controllo<QPushButton>(p, QStringLiteral("cmdPdf")));
    ASSERT_EQ(utente.richiesteFile.size(), 1);
    EXPECT_TRUE(utente.richiesteFile[0].nomeFile.endsWith("/Ponte - quadro dopo la gara.pdf"));
    EXPECT_EQ(documenti.size(), 1) << "the export hands nothing to the word processor";
    const QString mancano = strumentiMancanti({"pdftotext", "pdftoppm"});
    if (mancano.isEmpty()) {
        const QStringList righe = testoPdf(pdf, true).split(QLatin1Char('\n'));
        for (const char* t : {"335.498,23", "256.803,77", "-78.694,46", "276.339,38", "27.633,94",
                              "86.563,90", "390.537,22", "23,456 %"})
            EXPECT_TRUE(suUnaRiga(righe, QString::fromLatin1(t))) << t;
        EXPECT_TRUE(
            testoPdf(pdf, false)
                .simplified()
                .contains(QStringLiteral("(euro ottantaseimilacinquecentosessantatré/90)")));
        controllaMargini(pdf);
    }

    // The same window from the framework window's menu.
    EXPECT_EQ(apriDa(e), p);
    clicca(controllo<QPushButton>(p, QStringLiteral("cmdChiudi")));
    EXPECT_EQ(aperta<PostGara>(), nullptr);
}

TEST_F(DopoLaGara, StampaPerSezioniDaEntrambeLeFinestreECambioDelleEtichette) {
    prepara();
    clicca(c->pulsanteVisualizza());
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Ponte"));
    voce(c, "stampasezioni")->trigger();
    voce(e, "stampasezioni")->trigger();
    ASSERT_EQ(documenti.size(), 2);
    for (const QString& d : documenti) {
        const QList<QStringList> t = tabellaDi(d);
        ASSERT_EQ(t.size(), 9);
        EXPECT_EQ(t[2], (QStringList{"a.1", "Lavori a misura", "335.498,23"}));
        EXPECT_EQ(t[6], (QStringList{"b.1", "IVA sui lavori (10 % di Importo a base dell'appalto)",
                                     "35.503,38"}));
        EXPECT_EQ(t[8], (QStringList{"", "TOTALE PROGETTO (A + B) in euro", "390.537,22"}));
    }

    // Its PDF counterpart, from the framework window.
    const QString pdf = percorsoProgetto(QStringLiteral("sezioni.pdf"));
    utente.scegliFile(pdf);
    voce(e, "esportasezionipdf")->trigger();
    ASSERT_EQ(utente.richiesteFile.size(), 1);
    EXPECT_TRUE(
        utente.richiesteFile[0].nomeFile.endsWith("/Ponte - quadro economico per sezioni.pdf"));
    if (strumentiMancanti({"pdftotext", "pdftoppm"}).isEmpty()) {
        const QStringList righe = testoPdf(pdf, true).split(QLatin1Char('\n'));
        for (const char* t : {"A) LAVORI", "Totale lavori (A)", "355.033,84",
                              "B) SOMME A DISPOSIZIONE DELL'AMMINISTRAZIONE", "35.503,38",
                              "TOTALE PROGETTO (A + B) in euro", "390.537,22"})
            EXPECT_TRUE(suUnaRiga(righe, QString::fromLatin1(t))) << t;
        controllaMargini(pdf);
    }

    // The relabelling is a command of the calculation window only.
    EXPECT_EQ(e->findChild<QAction*>(QStringLiteral("vocicodice")), nullptr);
    utente.rispondi(Risposta::Si);
    voce(c, "vocicodice")->trigger();
    for (int i = 5; i <= 17; ++i) EXPECT_EQ(c->tipo(i)->text(), voceCodice(i)) << i;
    EXPECT_EQ(c->tipo(1)->text(), "Lavori a misura");
    EXPECT_EQ(c->elencoRiferimento(17)->currentIndex(), 3);
    // S still follows D (the hand-off made the project total a constraint,
    // so row A moves back to the amount that meets it to the cent).
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("100000"));
    const double d = letturaCentesimi(c->costo(4)->text()).value_or(0);
    EXPECT_EQ(c->costo(4)->text(), "355033,84");
    EXPECT_EQ(c->progetto()->text(), "390537,22");
    EXPECT_EQ(c->costo(17)->text(), scritturaNumerica(std::floor(d / 10 + 0.5) / 100));
}

}  // namespace
