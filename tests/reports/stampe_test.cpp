// The calculation and framework reports, read back from the .docx files
// handed to the word processor.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "reports/ambiente_stampe.h"
#include "reports/docx.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_pdf.h"
#include "reports/stampaguida.h"
#include "reports/stampe.h"
#include "reports/stampe_attese.h"

namespace varimo {
namespace {

using test::CorpoLetto;
using test::ParagrafoLetto;
using test::TabellaLetta;

const QString kEtichettaDifficile = QStringLiteral("Oneri <sicurezza> & \"imprevisti\" è città");

// A calculation with three rows filled, as the window would display it.
DatiStampaCalcolo calcoloTreRighe() {
    DatiStampaCalcolo d;
    for (int i = 1; i <= 18; ++i) {
        auto& r = d.righe[static_cast<std::size_t>(i)];
        r.tipo = QStringLiteral("voce %1").arg(i);
        r.percentuale = QStringLiteral("0");
        r.riferimento = QStringLiteral("nessuno");
    }
    d.righe[1] = {QStringLiteral("Lavori a misura"), QStringLiteral("1000"), QStringLiteral("0"),
                  QStringLiteral("nessuno")};
    d.righe[4] = {QStringLiteral("Totale appalto"), QStringLiteral("1000"), QStringLiteral("0"),
                  QStringLiteral("nessuno")};
    d.righe[17] = {kEtichettaDifficile, QStringLiteral("1234567,5"), QStringLiteral("10"),
                   QStringLiteral("A - Lavori a misura")};
    d.calcolato = QStringLiteral("Importo calcolato del progetto");
    d.progetto = QStringLiteral("1234567,5");
    d.vincolato = QStringLiteral("Importo vincolato del progetto");
    d.costoprogetto = QString();
    d.intestazione = {QStringLiteral("Scuola"), QStringLiteral("euro")};
    return d;
}

class Stampe : public test::AmbienteStampe {
  protected:
    CorpoLetto unicoDocumento() {
        EXPECT_EQ(aperti.size(), 1);
        if (aperti.isEmpty()) return {};
        CorpoLetto c = test::leggiDocx(aperti.last());
        EXPECT_TRUE(c.errore.isEmpty()) << c.errore.toStdString();
        return c;
    }

    // The heading both reports start with, in order, for the given title.
    void controllaIntestazione(const CorpoLetto& c, const QString& riga) {
        const QStringList attesi = {
            "Varimo", "elaborazione di un quadro economico", "", "- Progetto: Scuola", "", riga};
        const QList<double> dimensioni = {20, 16, 16, 12, 12, 12};
        ASSERT_GE(c.blocchi.size(), attesi.size());
        for (int i = 0; i < attesi.size(); ++i) {
            const auto* p = std::get_if<ParagrafoLetto>(&c.blocchi[i]);
            ASSERT_NE(p, nullptr) << i;
            EXPECT_EQ(p->testo, attesi[i]) << i;
            EXPECT_EQ(p->dimensioneMarcatore, dimensioni[i]) << i;
            for (double d : p->dimensioni) EXPECT_EQ(d, dimensioni[i]) << i;
            for (const QString& f : p->caratteri) EXPECT_EQ(f, "Century Gothic") << i;
        }
        const auto* tabella = std::get_if<TabellaLetta>(&c.blocchi[attesi.size()]);
        EXPECT_NE(tabella, nullptr) << "the table follows the title line directly";
    }
};

TEST_F(Stampe, LaStampaDelCalcoloHaIntestazioneTabelleETotaliInOrdine) {
    ASSERT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::Fatto);
    EXPECT_TRUE(utente.messaggi.isEmpty());
    const CorpoLetto c = unicoDocumento();
    controllaIntestazione(c, QStringLiteral("Calcolo del QUADRO ECONOMICO - valori in euro"));
    EXPECT_EQ(QFileInfo(aperti[0]).fileName(),
              "Varimo - Calcolo del QUADRO ECONOMICO - Scuola.docx");

    // table, empty line, "Dati generali", table, closing paragraph
    ASSERT_EQ(c.blocchi.size(), 11);
    const auto& vuota = std::get<ParagrafoLetto>(c.blocchi[7]);
    const auto& dati = std::get<ParagrafoLetto>(c.blocchi[8]);
    EXPECT_EQ(vuota.testo, "");
    EXPECT_EQ(vuota.dimensioneMarcatore, 12);
    EXPECT_EQ(dati.testo, "Dati generali");
    EXPECT_EQ(dati.dimensioni, QList<double>{12});
    EXPECT_TRUE(std::holds_alternative<TabellaLetta>(c.blocchi[9]));
}

TEST_F(Stampe, LaTabellaDelleRigheDelCalcoloHaOgniRigaNumerataConUnoSpazioDavanti) {
    ASSERT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::Fatto);
    const QList<TabellaLetta> t = unicoDocumento().tabelle();
    ASSERT_EQ(t.size(), 2);
    const TabellaLetta& righe = t[0];
    ASSERT_EQ(righe.righe.size(), 19);
    ASSERT_EQ(righe.colonne(), 5);
    const QStringList testata = {"numero", "voce", "costo", "%", "riferimento"};
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(righe.cella(1, c).testo(), testata[c - 1]);
    for (int i = 1; i <= 18; ++i) {
        EXPECT_EQ(righe.cella(i + 1, 1).testo(), QStringLiteral(" %1").arg(i));
        EXPECT_EQ(righe.cella(i + 1, 4).testo(), i == 17 ? "10" : "0");
    }
    // Filled rows through the amount format, empty rows empty but present.
    EXPECT_EQ(righe.cella(2, 3).testo(), "1.000,00");
    EXPECT_EQ(righe.cella(5, 3).testo(), "1.000,00");
    EXPECT_EQ(righe.cella(18, 3).testo(), "1.234.567,50");
    EXPECT_EQ(righe.cella(3, 2).testo(), "voce 2");
    EXPECT_EQ(righe.cella(3, 3).testo(), "");
    EXPECT_EQ(righe.cella(3, 5).testo(), "nessuno");
    EXPECT_EQ(righe.cella(18, 2).testo(), kEtichettaDifficile);
    EXPECT_EQ(righe.cella(18, 5).testo(), "A - Lavori a misura");
    for (int r = 1; r <= 19; ++r)
        for (int col = 1; col <= 5; ++col)
            for (double d : righe.cella(r, col).paragrafi[0].dimensioni) EXPECT_EQ(d, 8);
    EXPECT_EQ(righe.stile, QString::fromUtf16(kStileColorato2));
}

TEST_F(Stampe, TabellaDeiTotaliDelCalcoloEColonneAllineateADestra) {
    ASSERT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::Fatto);
    const QList<TabellaLetta> t = unicoDocumento().tabelle();
    ASSERT_EQ(t.size(), 2);
    const TabellaLetta& totali = t[1];
    ASSERT_EQ(totali.righe.size(), 3);
    ASSERT_EQ(totali.colonne(), 2);
    EXPECT_EQ(totali.cella(1, 1).testo(), "tipologia");
    EXPECT_EQ(totali.cella(1, 2).testo(), "valore");
    EXPECT_EQ(totali.cella(2, 1).testo(), "Importo calcolato del progetto");
    EXPECT_EQ(totali.cella(2, 2).testo(), "1.234.567,50");
    EXPECT_EQ(totali.cella(3, 1).testo(), "Importo vincolato del progetto");
    EXPECT_EQ(totali.cella(3, 2).testo(), "") << "an empty constrained total stays empty";
    EXPECT_EQ(totali.cella(2, 2).paragrafi[0].dimensioni, QList<double>{10});
    EXPECT_EQ(totali.stile, QString::fromUtf16(kStileColorato2));

    for (int r = 1; r <= 19; ++r) {
        for (int col = 1; col <= 5; ++col) {
            const bool destra = col == 3 || col == 4;
            EXPECT_EQ(t[0].cella(r, col).paragrafi[0].allineamento, destra ? "right" : "")
                << r << "," << col;
        }
    }
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(totali.cella(r, 1).paragrafi[0].allineamento, "");
        EXPECT_EQ(totali.cella(r, 2).paragrafi[0].allineamento, "right");
    }
}

TEST_F(Stampe, UnImportoIlleggibileSiStampaComeDigitato) {
    DatiStampaCalcolo d = calcoloTreRighe();
    d.righe[2].costo = QStringLiteral("12x");
    d.costoprogetto = QStringLiteral("1100");
    ASSERT_EQ(stampaCalcolo(d), EsitoStampa::Fatto);
    const QList<TabellaLetta> t = unicoDocumento().tabelle();
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].cella(3, 3).testo(), "12x");
    EXPECT_EQ(t[1].cella(3, 2).testo(), "1.100,00");
}

TEST_F(Stampe, IlPreamboloSiFermaConUnSoloMessaggioSeMancaIlNomeOLaValuta) {
    const struct {
        QString nome, valuta, messaggio;
    } casi[] = {
        {"", "euro", "Digitare il nome del progetto."},
        {"", "", "Digitare il nome del progetto."},
        {"Scuola", "", "Immettere il tipo di valuta."},
    };
    for (const auto& caso : casi) {
        for (int quale = 0; quale < 2; ++quale) {
            SCOPED_TRACE(caso.messaggio.toStdString() + (quale ? " quadro" : " calcolo"));
            utente.messaggi.clear();
            DatiStampaQuadro q;
            DatiStampaCalcolo c = calcoloTreRighe();
            q.intestazione = c.intestazione = {caso.nome, caso.valuta};
            const EsitoStampa e = quale ? stampaQuadro(q) : stampaCalcolo(c);
            EXPECT_EQ(e, EsitoStampa::MostraQuadro);
            ASSERT_EQ(utente.messaggi.size(), 1);
            EXPECT_EQ(utente.messaggi[0].testo, caso.messaggio);
            EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
            EXPECT_EQ(utente.messaggi[0].icona, Icona::Informazione);
            EXPECT_EQ(utente.messaggi[0].pulsanti, Pulsanti::Ok);
        }
    }
    EXPECT_TRUE(aperti.isEmpty());
    EXPECT_TRUE(QDir(cartella.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Stampe, DueEsecuzioniLascianoDueDocumenti) {
    ASSERT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::Fatto);
    ASSERT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::Fatto);
    ASSERT_EQ(aperti.size(), 2);
    EXPECT_NE(aperti[0], aperti[1]);
    EXPECT_TRUE(QFileInfo::exists(aperti[0]));
    EXPECT_TRUE(QFileInfo::exists(aperti[1]));
}

TEST_F(Stampe, UnaStampaCheNonSiPuoScrivereVieneSegnalataENonSiApreNulla) {
    usaTemporanea(cartella.filePath(QStringLiteral("non/esiste")));
    EXPECT_EQ(stampaCalcolo(calcoloTreRighe()), EsitoStampa::NonRiuscito);
    EXPECT_TRUE(aperti.isEmpty());
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(
        utente.messaggi[0].testo.contains(QDir::toNativeSeparators(QStringLiteral("non/esiste"))));
}

DatiStampaQuadro quadro(int n, const QString& valuta = QStringLiteral("euro")) {
    DatiStampaQuadro d;
    d.intestazione = {QStringLiteral("Scuola"), valuta};
    d.numerovoci = n;
    for (int i = 1; i <= 18; ++i) {
        d.tipo[static_cast<std::size_t>(i)] = QStringLiteral("riga %1").arg(i);
        d.costo[static_cast<std::size_t>(i)] = QString::number(i * 100);
    }
    d.tipo[19] = QStringLiteral("TOTALE PROGETTO (in ") + valuta + QStringLiteral(")");
    d.costo[19] = QStringLiteral("17100");
    return d;
}

TEST_F(Stampe, StampaDelQuadroEconomicoRigheNumerateSenzaVuotiEIlTotalePrendeIlSeguente) {
    const struct {
        int numerovoci;
        int righeAttese;
    } casi[] = {{0, 2}, {3, 5}, {18, 20}, {25, 20}, {-2, 2}};
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.numerovoci);
        aperti.clear();
        ASSERT_EQ(stampaQuadro(quadro(caso.numerovoci)), EsitoStampa::Fatto);
        const CorpoLetto c = unicoDocumento();
        controllaIntestazione(c, QStringLiteral("QUADRO ECONOMICO - valori in euro"));
        const QList<TabellaLetta> t = c.tabelle();
        ASSERT_EQ(t.size(), 1);
        ASSERT_EQ(t[0].righe.size(), caso.righeAttese);
        ASSERT_EQ(t[0].colonne(), 3);
        EXPECT_EQ(t[0].cella(1, 1).testo(), "numero");
        EXPECT_EQ(t[0].cella(1, 2).testo(), "voce");
        EXPECT_EQ(t[0].cella(1, 3).testo(), "costo");
        const int n = caso.righeAttese - 2;
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(t[0].cella(i + 1, 1).testo(), QStringLiteral(" %1").arg(i));
            EXPECT_EQ(t[0].cella(i + 1, 2).testo(), QStringLiteral("riga %1").arg(i));
        }
        EXPECT_EQ(t[0].cella(n + 2, 1).testo(), QStringLiteral(" %1").arg(n + 1));
        EXPECT_EQ(t[0].cella(n + 2, 2).testo(), "TOTALE PROGETTO (in euro)");
        EXPECT_EQ(t[0].cella(n + 2, 3).testo(), "17.100,00");
        for (int r = 1; r <= caso.righeAttese; ++r) {
            EXPECT_EQ(t[0].cella(r, 3).paragrafi[0].allineamento, "right");
            EXPECT_EQ(t[0].cella(r, 2).paragrafi[0].allineamento, "");
            EXPECT_EQ(t[0].cella(r, 1).paragrafi[0].dimensioni, QList<double>{8});
        }
        EXPECT_EQ(t[0].stile, QString::fromUtf16(kStileColorato2));
    }
}

TEST_F(Stampe, LaStampaDelQuadroEconomicoRiportaEtichetteLungheModificateEUnAltraValuta) {
    DatiStampaQuadro d = quadro(2, QStringLiteral("dollari"));
    const QString lunga = QStringLiteral(
        "Spese tecniche <progettazione> & direzione lavori, "
        "coordinamento della sicurezza e collaudi");
    ASSERT_GT(lunga.size(), 50);
    d.tipo[2] = lunga;
    d.costo[1] = QStringLiteral("1.234,5");
    ASSERT_EQ(stampaQuadro(d), EsitoStampa::Fatto);
    const CorpoLetto c = unicoDocumento();
    controllaIntestazione(c, QStringLiteral("QUADRO ECONOMICO - valori in dollari"));
    const TabellaLetta t = c.tabelle().value(0);
    ASSERT_EQ(t.righe.size(), 4);
    EXPECT_EQ(t.cella(2, 3).testo(), "1.234,50");
    EXPECT_EQ(t.cella(3, 2).testo(), lunga);
    EXPECT_EQ(t.cella(4, 2).testo(), "TOTALE PROGETTO (in dollari)");
}

// The reports as a real word processor prints them: LibreOffice lays out
// the widest values with its own fonts (on Linux, DejaVu Sans stands in for
// Century Gothic), and poppler reads the pages back.
TEST_F(Stampe, LibreOfficeStampaOgniValoreInteroDentroIMarginiConPieDiPaginaEProprieta) {
    const QString mancano =
        test::strumentiMancanti({"soffice", "pdftotext", "pdftoppm", "pdfinfo"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();

    ASSERT_EQ(stampaCalcolo(test::calcoloLargo()), EsitoStampa::Fatto);
    ASSERT_EQ(stampaQuadro(test::quadroLargo(QStringLiteral("euro"))), EsitoStampa::Fatto);
    ASSERT_EQ(aperti.size(), 2);
    const QStringList pdf = test::convertiConLibreOffice(aperti, cartella.filePath("pdf"));
    ASSERT_EQ(pdf.size(), 2);
    test::controllaCalcoloStampato(pdf[0]);
    test::controllaQuadroStampato(pdf[1]);

    // The document properties, as the word processor carries them over.
    EXPECT_EQ(test::campoPdf(pdf[1], "Title"), "Varimo - QUADRO ECONOMICO - Scuola");
    EXPECT_EQ(test::campoPdf(pdf[1], "Author"), "Varimo 2.04.05");
}

// The page fields of a long document: every page of the whole guide says
// which page it is and how many there are, and each guide starts a page.
TEST_F(Stampe, LibreOfficeNumeraOgniPaginaDellaGuidaCompleta) {
    const QString mancano = test::strumentiMancanti({"soffice", "pdftotext", "pdfinfo"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();

    std::array<GuidaDaStampare, 4> guide;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        guide[i].titolo = QStringLiteral("Capitolo %1").arg(i + 1);
        guide[i].testo = QStringLiteral("Una frase della guida, ripetuta per riempire le pagine. ")
                             .repeated(static_cast<qsizetype>(60 * (i + 1)));
    }
    const EsitoGuidaCompleta esito = stampaguidacompleta(guide, cartella.path());
    ASSERT_FALSE(esito.salvataIn.isEmpty());
    // LibreOffice reads the type of a file from its contents, not its name.
    const QString docx = cartella.filePath(QStringLiteral("guida.docx"));
    ASSERT_TRUE(QFile::copy(esito.salvataIn, docx));
    const QStringList pdf = test::convertiConLibreOffice({docx}, cartella.filePath("pdf"));
    ASSERT_EQ(pdf.size(), 1);
    test::controllaPagineNumerate(pdf[0], guide);
}
}  // namespace
}  // namespace varimo
