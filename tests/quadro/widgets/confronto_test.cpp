// The comparison of the school renovation's three phases: the window's table
// against each phase's own figures (also with a phase left out), and the
// comparison printed to PDF/A and .docx, read back to the cent through
// poppler and LibreOffice.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "../../reports/lettore_foglio.h"
#include "../../reports/lettore_pdf.h"
#include "quadro/esempi_fasi.h"
#include "quadro/foglioconfronto.h"
#include "quadro/formatofasi.h"
#include "quadro/stampaconfronto.h"
#include "quadro/widgets/finestraconfronto.h"
#include "quadro/widgets/finestraquadro.h"
#include "quadro/widgets/nuovafase.h"
#include "support/interazione_finta.h"

using namespace varimo;
using namespace varimo::quadro;

namespace {

QList<FaseCalcolata> calcolate(const FileFasi& f) {
    QList<FaseCalcolata> out;
    for (const Fase& x : f.fasi) out.append(std::get<FaseCalcolata>(calcolaFase(x)));
    return out;
}

}  // namespace

// Every cell of the table is the phase's amount for that code (empty where
// the phase lacks the item), the difference runs between the chosen pair,
// and leaving a phase out leaves its column out.
TEST(Confronto, LaTabellaRiportaLeFasi) {
    const FileFasi f = esempi::scuolaTreFasi();
    const QList<FaseCalcolata> c = calcolate(f);
    FinestraConfronto w(f);
    w.show();
    auto* tabella = w.findChild<QTableView*>("tabella");
    ASSERT_TRUE(tabella);
    const QAbstractItemModel* m = tabella->model();
    ASSERT_EQ(m->columnCount(), 2 + 3 + 1);
    for (int r = 0; r < m->rowCount() - 2; ++r) {
        const QString codice = m->index(r, 0).data().toString();
        Centesimi valori[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const bool presente = c[k].valutazione.importi.contains(codice);
            valori[k] = c[k].valutazione.importo(codice);
            EXPECT_EQ(m->index(r, 2 + k).data().toString(),
                      presente ? testoImporto(valori[k]) : QString())
                << codice.toStdString();
        }
        const QString d = m->index(r, 5).data().toString();
        EXPECT_EQ(*leggiImportoItaliano(d), valori[2] - valori[1]) << codice.toStdString();
    }
    const int totale = m->rowCount() - 1;
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(m->index(totale, 2 + k).data().toString(), testoImporto(c[k].valutazione.totale));
    EXPECT_EQ(m->index(totale, 5).data().toString(), "0,00");  // the funding never moves

    // Without the award, the difference runs between the project and the variant.
    auto* fasi = w.findChild<QListWidget*>("fasi");
    fasi->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(m->columnCount(), 2 + 2 + 1);
    const int contratto = m->rowCount() - 2;
    EXPECT_EQ(*leggiImportoItaliano(m->index(contratto, 4).data().toString()),
              c[2].contratto - c[0].contratto);
    EXPECT_TRUE(w.testoAndamento().contains("imprevisti usati"));
}

// PDF/A, .docx and .xlsx of the comparison: every amount of every phase whole
// on a printed line, the header and the warning there, the page inside its
// margins; the spreadsheet recalculated by LibreOffice gives every cell, the
// differences and totals from their formulas, to the cent.
TEST(Confronto, StampaDocumentoEFoglio) {
    const QString mancano = test::strumentiMancanti({"pdftotext", "pdfinfo", "soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << mancano.toStdString();
    FileFasi f = esempi::scuolaTreFasi();
    f.fasi[2].limite->percentuale = 1000;  // 1 %: the variant goes past it
    const QList<FaseCalcolata> c = calcolate(f);
    const Confronto confronto = std::get<Confronto>(confronta(f));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("confronto.pdf"), docx = dir.filePath("confronto.docx");

    test::InterazioneFinta finta;
    Interazione::imposta(&finta);
    FinestraConfronto w(f);
    finta.scegliFile(pdf);
    w.findChild<QPushButton*>("esportaconfronto")->click();
    Interazione::imposta(nullptr);
    EXPECT_TRUE(finta.messaggi.isEmpty());
    ASSERT_FALSE(esportaConfronto(f, confronto, docx));
    const QString xlsx = dir.filePath("confronto.xlsx");
    ASSERT_FALSE(esportaConfronto(f, confronto, xlsx));
    const QList<test::FoglioLetto> fogli = test::ricalcolaConLibreOffice({xlsx}, dir.path());
    ASSERT_EQ(fogli.size(), 1);
    ASSERT_TRUE(fogli[0].errore.isEmpty()) << fogli[0].errore.toStdString();
    const test::FoglioLetto& foglio = fogli[0];
    auto centesimi = [](const test::CellaFoglio& x) {
        return x.valore ? qRound64(*x.valore * 100) : -1;
    };
    int riga = kRigaColonneConfronto + 1;
    for (const RigaConfronto& r : confronto.righe) {
        EXPECT_EQ(foglio.cella(riga, 1).testo, r.codice);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(centesimi(foglio.cella(riga, 3 + k)), r.importi[k].value_or(-1))
                << r.codice.toStdString();
        EXPECT_FALSE(foglio.cella(riga, 6).formula.isEmpty());
        EXPECT_EQ(centesimi(foglio.cella(riga, 6)), confronto.differenza(r))
            << r.codice.toStdString();
        ++riga;
    }
    ++riga;  // the contract amount
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(foglio.cella(riga, 3 + k).formula.contains("SUM"));
        EXPECT_EQ(centesimi(foglio.cella(riga, 3 + k)), confronto.totali[k]);
    }

    EXPECT_TRUE(test::campoPdf(pdf, "PDF version").startsWith("1.4"));
    test::controllaMargini(pdf);
    const QStringList daWord = test::convertiConLibreOffice({docx}, dir.path());
    ASSERT_EQ(daWord.size(), 1);
    for (const QString& documento : {pdf, daWord.first()}) {
        const QStringList righe = test::testoPdf(documento, true).split('\n', Qt::SkipEmptyParts);
        for (int k = 0; k < 3; ++k)
            for (auto it = c[k].valutazione.importi.cbegin(); it != c[k].valutazione.importi.cend();
                 ++it)
                EXPECT_TRUE(test::suUnaRiga(righe, testoImporto(it.value())))
                    << documento.toStdString() << " " << it.key().toStdString();
        const QString testo = righe.join(' ');
        EXPECT_TRUE(testo.contains("J31B23000120004")) << documento.toStdString();
        EXPECT_TRUE(testo.contains("art. 120, comma 9")) << documento.toStdString();
    }
}

// "Nuova fase" from the award: the dialog proposes a variant; accepted, the
// variant starts from the award's figures after the discount and the award
// is locked; cancelled, nothing changes.
TEST(Confronto, NuovaFaseDallAggiudicazione) {
    FileFasi f = esempi::scuola();
    f.fasi.append(f.fasi[0]);
    f.fasi[1].nome = "Aggiudicazione";
    f.fasi[1].tipo = TipoFase::Aggiudicazione;
    f.fasi[1].ribasso = 18735;
    const QByteArray prima = scriviFasi(f);
    auto rispondi = [](bool accetta, const QString& nome) {
        QTimer::singleShot(0, [=] {
            auto* d = qobject_cast<DialogoNuovaFase*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d);
            EXPECT_EQ(d->tipo(), TipoFase::Variante);
            EXPECT_TRUE(d->findChild<QCheckBox*>("bloccacorrente")->isChecked());
            if (!nome.isEmpty()) d->findChild<QLineEdit*>("nomefase")->setText(nome);
            accetta ? d->accept() : d->reject();
        });
    };
    rispondi(false, {});
    EXPECT_FALSE(comandoNuovaFase(nullptr, f, 1));
    EXPECT_EQ(scriviFasi(f), prima);

    rispondi(true, "Perizia di variante");
    const auto i = comandoNuovaFase(nullptr, f, 1);
    ASSERT_EQ(i, 2);
    EXPECT_TRUE(f.fasi[1].bloccata);
    EXPECT_EQ(f.fasi[2].nome, "Perizia di variante");
    EXPECT_EQ(f.fasi[2].tipo, TipoFase::Variante);
    const FaseCalcolata gara = std::get<FaseCalcolata>(calcolaFase(f.fasi[1]));
    const FaseCalcolata variante = std::get<FaseCalcolata>(calcolaFase(f.fasi[2]));
    EXPECT_EQ(variante.valutazione.importi, gara.valutazione.importi);
    EXPECT_EQ(trovaVoce(f.fasi[2].quadro, "A.1")->importo, gara.valutazione.importo("A.1"));
}

// The framework window with a file of three phases: it works on the last, a
// locked phase refuses edits, saving keeps every phase, and "Confronto tra
// le fasi" opens the comparison of the phases as they stand.
TEST(Confronto, FinestraQuadroConLeFasi) {
    QTemporaryDir dir;
    const QString percorso = dir.filePath("scuola.varimo");
    ASSERT_FALSE(salvaFileFasi(percorso, esempi::scuolaTreFasi()));
    FinestraQuadro w;
    ASSERT_TRUE(w.apriPercorso(percorso));
    DocumentoQuadro& d = w.documento();
    ASSERT_EQ(d.faseCorrente(), 2);
    auto piu = [](Quadro& q) {
        trovaVoce(q, "A.2")->importo += 100;
        return EsitoModifica{};
    };
    EXPECT_FALSE(d.modificaQuadro("prova", piu));
    EXPECT_FALSE(d.modifica("prova", [](FileQuadro& f) {
        f.intestazione.cig = "Z123";
        return EsitoModifica{};
    }));
    ASSERT_FALSE(d.salva(percorso));
    const FileFasi letto = std::get<FileFasi>(apriFileFasi(percorso));
    ASSERT_EQ(letto.fasi.size(), 3);
    EXPECT_EQ(letto.intestazione.cig, "Z123");
    EXPECT_EQ(trovaVoce(letto.fasi[2].quadro, "A.2")->importo, 2437037 + 100);
    EXPECT_EQ(trovaVoce(letto.fasi[0].quadro, "A.2")->importo, 2437037);
    EXPECT_EQ(letto.fasi[1].ribasso, 18735);

    d.scegliFase(0);  // the executive project, locked
    EXPECT_TRUE(d.modificaQuadro("prova", piu));
    EXPECT_EQ(d.valutazione().importo("A.2"), 2437037);
    EXPECT_FALSE(d.modificato());  // choosing a phase changes nothing

    w.findChild<QAction*>("confrontofasi")->trigger();
    FinestraConfronto* c = nullptr;
    for (QWidget* x : QApplication::topLevelWidgets())
        if (x->objectName() == "confronto" && x->isVisible())
            c = qobject_cast<FinestraConfronto*>(x);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->confronto().nomi.size(), 3);
    EXPECT_EQ(c->confronto().righe.value(2).importi.value(2), 2437037 + 100);  // A.2 in the variant
    c->close();

    // The award's data: refused while locked, taken once unlocked.
    d.scegliFase(1);
    test::InterazioneFinta finta;
    Interazione::imposta(&finta);
    auto ribasso = [](const QString& testo) {
        QTimer::singleShot(0, [=] {
            auto* dialogo = QApplication::activeModalWidget();
            ASSERT_TRUE(dialogo);
            dialogo->findChild<QLineEdit*>("ribasso")->setText(testo);
            qobject_cast<QDialog*>(dialogo)->accept();
        });
    };
    ribasso("23,456");
    w.findChild<QAction*>("datifase")->trigger();
    EXPECT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(d.fasi().fasi[1].ribasso, 18735);
    w.findChild<QAction*>("bloccafase")->trigger();
    EXPECT_FALSE(d.fasi().fasi[1].bloccata);
    ribasso("101");
    w.findChild<QAction*>("datifase")->trigger();
    EXPECT_EQ(finta.messaggi.size(), 2);
    ribasso("23,456");
    w.findChild<QAction*>("datifase")->trigger();
    Interazione::imposta(nullptr);
    EXPECT_EQ(finta.messaggi.size(), 2);
    EXPECT_EQ(d.fasi().fasi[1].ribasso, 23456);
    EXPECT_EQ(d.faseCorrente(), 1);
}
