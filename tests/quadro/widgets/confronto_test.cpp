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
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../../reports/lettore_foglio.h"
#include "../../reports/lettore_pdf.h"
#include "quadro/documentiquadro.h"
#include "quadro/esempi_fasi.h"
#include "quadro/foglioconfronto.h"
#include "quadro/formatofasi.h"
#include "quadro/rigacomando.h"
#include "quadro/stampaconfronto.h"
#include "quadro/widgets/finestraconfronto.h"
#include "quadro/widgets/finestraquadro.h"
#include "quadro/widgets/modelloquadro.h"
#include "quadro/widgets/nuovafase.h"
#include "reports/word.h"
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
    const ConfrontoCalcolato calcolato = std::get<ConfrontoCalcolato>(calcolaConfronto(f));
    const Confronto& confronto = calcolato.confronto;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("confronto.pdf"), docx = dir.filePath("confronto.docx");

    test::InterazioneFinta finta;
    Interazione::imposta(&finta);
    FinestraConfronto w(f);
    finta.scegliFile(pdf);
    w.findChild<QPushButton*>("esportaconfronto")->click();
    EXPECT_TRUE(finta.messaggi.isEmpty());
    // Over the file just written: asked first, and No keeps it.
    auto contenuto = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray scritto = contenuto(pdf);
    finta.scegliFile(pdf);
    finta.rispondi(Risposta::No);
    w.findChild<QPushButton*>("esportaconfronto")->click();
    Interazione::imposta(nullptr);
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_TRUE(finta.messaggi[0].testo.contains("esiste già"));
    EXPECT_EQ(contenuto(pdf), scritto);
    ASSERT_FALSE(esportaConfronto(calcolato, docx));
    const QString xlsx = dir.filePath("confronto.xlsx");
    ASSERT_FALSE(esportaConfronto(calcolato, xlsx));
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

// The school renovation carried through its life in the framework window, as
// a designer does it: the executive project opened, "Nuova fase" to the
// award, its discount of 18,735 % typed in "Dati della fase", the award seen
// after the discount and read only, "Nuova fase" to a variant approved by an
// act that adds 15.000,00 of works paid from the contingencies, a phase
// removed and the removal undone, with the comparison window open all along
// and following every change. The figures check against a computation by
// hand; the comparison of the three phases exported from its window as .csv,
// PDF/A, .docx and .xlsx is read back by poppler and LibreOffice to the cent,
// and the command line writes the same .csv from the saved file.
TEST(Confronto, LaScuolaDalProgettoEsecutivoAllaVarianteNellaFinestra) {
    const QString mancano = test::strumentiMancanti({"pdftotext", "pdfinfo", "soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << mancano.toStdString();
    QTemporaryDir dir;
    const QString progetto = dir.filePath("scuola.varimo");
    ASSERT_FALSE(salvaFileFasi(progetto, esempi::scuola()));
    test::InterazioneFinta utente;
    Interazione::imposta(&utente);
    FinestraQuadro w;
    w.show();
    ASSERT_TRUE(w.apriPercorso(progetto));
    DocumentoQuadro& d = w.documento();
    ModelloQuadro& m = w.modello();
    auto* fase = w.findChild<QLabel*>("fasecorrente");
    auto* prima = w.findChild<QCheckBox*>("primadelribasso");
    ASSERT_TRUE(fase && prima);
    auto cella = [&](const char* codice, int colonna) {
        const auto p = percorsoDi(d.quadro(), QString::fromLatin1(codice));
        return p ? m.indiceDi(*p, colonna) : QModelIndex();
    };
    auto importo = [&](const char* codice) {
        return *leggiImportoItaliano(cella(codice, ModelloQuadro::Importo).data().toString());
    };
    // The executive project by hand: works 836.716,04; fees, contribution,
    // VAT and incentive 193.169,29; the contingencies the rest of 1.250.000,00.
    EXPECT_EQ(importo("A"), 83671604);
    EXPECT_EQ(importo("B.1"), 22011467);

    w.findChild<QAction*>("confrontofasi")->trigger();
    FinestraConfronto* c = nullptr;
    for (QWidget* x : QApplication::topLevelWidgets())
        if (x->objectName() == "confronto" && x->isVisible())
            c = qobject_cast<FinestraConfronto*>(x);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->confronto().nomi.size(), 1);

    // A dialog of the Fasi menu, answered as the user does.
    auto rispondi = [](std::function<void(QDialog*)> compila) {
        QTimer::singleShot(0, [=] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialogo);
            compila(dialogo);
            dialogo->accept();
        });
    };
    auto testo = [](QDialog* dialogo, const char* nome, const QString& t) {
        auto* campo = dialogo->findChild<QLineEdit*>(nome);
        ASSERT_TRUE(campo) << nome;
        campo->setText(t);
    };

    // The award: proposed after the executive project, which gets locked.
    rispondi([](QDialog*) {});
    w.findChild<QAction*>("nuovafase")->trigger();
    ASSERT_EQ(d.fasi().fasi.size(), 2);
    EXPECT_EQ(d.fasi().fasi[1].tipo, TipoFase::Aggiudicazione);
    EXPECT_TRUE(d.fasi().fasi[0].bloccata);
    rispondi([&](QDialog* x) { testo(x, "ribasso", "18,735"); });
    w.findChild<QAction*>("datifase")->trigger();
    ASSERT_EQ(d.fasi().fasi[1].ribasso, 18735);
    // Shown after the discount: 812.345,67 less 18,735 % is 660.152,71; the
    // contract 684.523,08; the economies take 187.835,33 so that the total
    // stays the funded one; the contingencies as in the project.
    EXPECT_EQ(importo("A.1"), 66015271);
    EXPECT_EQ(importo("A"), 68452308);
    EXPECT_EQ(importo("B.7"), 18783533);
    EXPECT_EQ(importo("B.1"), 22011467);
    EXPECT_EQ(d.valutazione().totale, 125000000);
    EXPECT_TRUE(w.windowTitle().contains(d.fasi().fasi[1].nome));
    EXPECT_TRUE(fase->text().contains(d.fasi().fasi[1].nome));
    EXPECT_TRUE(fase->text().contains(testoImporto(68452308)));
    EXPECT_TRUE(fase->text().contains(testoImporto(18783533)));
    EXPECT_TRUE(prima->isVisibleTo(&w));
    // Computed, so not edited as it is shown; the project's items behind it are.
    EXPECT_FALSE(m.flags(cella("A.1", ModelloQuadro::Importo)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m.setData(cella("A.2", ModelloQuadro::Etichetta), "Sicurezza"));
    EXPECT_EQ(d.fasi().fasi[1].quadro, d.fasi().fasi[0].quadro);
    utente.scegliFile(dir.filePath("gara.csv"));  // the award as the window exports it
    ASSERT_TRUE(w.esportaCsv());
    prima->click();
    EXPECT_EQ(importo("A.1"), 81234567);
    EXPECT_FALSE(cella("B.7", 0).isValid());
    EXPECT_TRUE(m.flags(cella("A.1", ModelloQuadro::Importo)) & Qt::ItemIsEditable);
    prima->click();
    EXPECT_EQ(importo("A.1"), 66015271);
    EXPECT_EQ(c->confronto().nomi.size(), 2);
    EXPECT_EQ(c->confronto().totali, (QList<Centesimi>{125000000, 125000000}));

    // The variant: its act, 15.000,00 more works typed in the tree, paid from
    // the contingencies (201.601,79 left); the economies untouched.
    rispondi([](QDialog* x) {
        EXPECT_EQ(qobject_cast<DialogoNuovaFase*>(x)->tipo(), TipoFase::Variante);
    });
    w.findChild<QAction*>("nuovafase")->trigger();
    ASSERT_EQ(d.faseCorrente(), 2);
    EXPECT_TRUE(d.fasi().fasi[1].bloccata);
    rispondi([&](QDialog* x) {
        testo(x, "attonumero", "45");
        testo(x, "attodata", "2027-03-10");
        testo(x, "limite", "20");
        testo(x, "articolo", "art. 120, comma 9, del D.Lgs. 36/2023");
    });
    w.findChild<QAction*>("datifase")->trigger();
    EXPECT_TRUE(fase->text().contains("45"));
    EXPECT_TRUE(m.setData(cella("A.1", ModelloQuadro::Importo), "675.152,71"));
    EXPECT_EQ(importo("A"), 69952308);
    EXPECT_EQ(importo("B.1"), 20160179);
    EXPECT_EQ(importo("B.7"), 18783533);
    EXPECT_EQ(d.valutazione().totale, 125000000);
    const Confronto tre = c->confronto();
    ASSERT_EQ(tre.nomi.size(), 3);
    EXPECT_EQ(tre.contratti, (QList<Centesimi>{83671604, 68452308, 69952308}));
    EXPECT_EQ(tre.totali, (QList<Centesimi>{125000000, 125000000, 125000000}));
    EXPECT_TRUE(c->testoAndamento().contains(testoImporto(22011467 - 20160179)));
    EXPECT_TRUE(utente.messaggi.isEmpty());

    // Removing: never the only phase nor a locked one; asked first; undone.
    d.scegliFase(1);
    w.findChild<QAction*>("rimuovifase")->trigger();
    EXPECT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi.last().pulsanti, Pulsanti::Ok);
    d.scegliFase(2);
    utente.rispondi(Risposta::No);
    w.findChild<QAction*>("rimuovifase")->trigger();
    EXPECT_EQ(utente.messaggi.size(), 2);
    EXPECT_EQ(d.fasi().fasi.size(), 3);
    utente.rispondi(Risposta::Si);
    w.findChild<QAction*>("rimuovifase")->trigger();
    ASSERT_EQ(d.fasi().fasi.size(), 2);
    EXPECT_EQ(d.faseCorrente(), 1);
    EXPECT_EQ(c->confronto().nomi.size(), 2);
    d.storia().undo();
    ASSERT_EQ(d.fasi().fasi.size(), 3);
    EXPECT_EQ(d.faseCorrente(), 2);
    EXPECT_EQ(c->confronto().contratti, tre.contratti);
    {
        FinestraQuadro sola;
        sola.findChild<QAction*>("rimuovifase")->trigger();
        EXPECT_EQ(utente.messaggi.size(), 4);
        EXPECT_EQ(sola.documento().fasi().fasi.size(), 1);
    }

    // Saved, the comparison exported from its window in every format.
    ASSERT_TRUE(w.salva());
    const QStringList uscite{dir.filePath("confronto.csv"), dir.filePath("confronto.pdf"),
                             dir.filePath("confronto.docx"), dir.filePath("confronto.xlsx")};
    for (const QString& u : uscite) {
        utente.scegliFile(u);
        c->findChild<QPushButton*>("esportaconfronto")->click();
    }
    // "Stampa" hands a .docx to the word processor (here, to a recorder).
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    QString stampato;
    impostaApriDocumento([&](const QString& p) {
        stampato = p;
        return true;
    });
    c->findChild<QPushButton*>("stampaconfronto")->click();
    impostaApriDocumento({});
    tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
    ASSERT_TRUE(stampato.endsWith(".docx")) << stampato.toStdString();
    Interazione::imposta(nullptr);
    EXPECT_EQ(utente.messaggi.size(), 4) << utente.testi().join(" | ").toStdString();

    // The .csv: each line the phases' amounts, the difference the last two's;
    // the command line writes the same bytes from the saved file.
    const QString daRiga = dir.filePath("riga.csv");
    QString errori;
    ASSERT_EQ(eseguiComando({"--esporta", progetto, daRiga, "--confronto"}, &errori), 0)
        << errori.toStdString();
    auto leggi = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray csv = leggi(uscite[0]);
    EXPECT_EQ(csv, leggi(daRiga));
    const QString gara = dir.filePath("gara-riga.csv");
    ASSERT_EQ(eseguiComando({"--esporta", progetto, gara, "--fase", "Aggiudicazione"}, &errori), 0);
    EXPECT_EQ(leggi(dir.filePath("gara.csv")), leggi(gara));
    const QStringList righe = QString::fromUtf8(csv.mid(3)).split("\r\n", Qt::SkipEmptyParts);
    // The heading, the items, the total, then the contract amount and the
    // contingencies and economies used and left.
    ASSERT_EQ(righe.size(), 1 + tre.righe.size() + 1 + 5);
    for (int r = 0; r < tre.righe.size(); ++r) {
        const QStringList campi = righe[r + 1].split(';');
        ASSERT_EQ(campi.size(), 6);
        EXPECT_EQ(campi[0], tre.righe[r].codice);
        Centesimi k[3];
        for (int j = 0; j < 3; ++j) {
            k[j] = campi[2 + j].isEmpty() ? 0 : *leggiImportoItaliano(campi[2 + j]);
            EXPECT_EQ(k[j], tre.righe[r].importi[j].value_or(0));
        }
        EXPECT_EQ(*leggiImportoItaliano(campi[5]), k[2] - k[1]) << campi[0].toStdString();
    }
    EXPECT_EQ(righe.value(1 + tre.righe.size()),
              "TOTALE;Totale del progetto;1250000,00;1250000,00;1250000,00;0,00");

    // PDF/A-1b: every hand-checked figure whole on a printed line, as in the
    // .docx that LibreOffice lays out.
    const QString xmp =
        QString::fromUtf8(test::esegui("pdfinfo", {"-meta", uscite[1]}).value_or(""));
    EXPECT_TRUE(xmp.contains(QRegularExpression("pdfaid:part(=\"|>)1")));
    EXPECT_TRUE(xmp.contains(QRegularExpression("pdfaid:conformance(=\"|>)B")));
    QTemporaryDir cartellaWord;
    const QStringList daWord =
        test::convertiConLibreOffice({uscite[2], stampato}, cartellaWord.path());
    ASSERT_EQ(daWord.size(), 2);
    for (const QString& documento : {uscite[1], daWord[0], daWord[1]}) {
        const QStringList stampate =
            test::testoPdf(documento, true).split('\n', Qt::SkipEmptyParts);
        for (Centesimi x : {125000000, 83671604, 68452308, 69952308, 22011467, 20160179, 18783533,
                            66015271, 67515271})
            EXPECT_TRUE(test::suUnaRiga(stampate, testoImporto(x)))
                << documento.toStdString() << " " << x;
    }

    // The .xlsx recalculated by Calc: the amounts, the differences and the
    // totals from their formulas, to the cent.
    const QList<test::FoglioLetto> fogli = test::ricalcolaConLibreOffice({uscite[3]}, dir.path());
    ASSERT_EQ(fogli.size(), 1);
    ASSERT_TRUE(fogli[0].errore.isEmpty()) << fogli[0].errore.toStdString();
    auto centesimi = [](const test::CellaFoglio& x) {
        return x.valore ? qRound64(*x.valore * 100) : -1;
    };
    int riga = kRigaColonneConfronto + 1;
    for (const RigaConfronto& r : tre.righe) {
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(centesimi(fogli[0].cella(riga, 3 + j)), r.importi[j].value_or(-1));
        EXPECT_EQ(centesimi(fogli[0].cella(riga, 6)), tre.differenza(r)) << r.codice.toStdString();
        ++riga;
    }
    ++riga;
    for (int j = 0; j < 3; ++j) EXPECT_EQ(centesimi(fogli[0].cella(riga, 3 + j)), 125000000);
    c->close();

    // Each phase prints with its own date and figures: the award its discount
    // and contract amount, the variant its act and how much it raises the
    // contract.
    const FileFasi salvato = std::get<FileFasi>(apriFileFasi(progetto));
    const QString pdfGara = dir.filePath("gara.pdf"), pdfVariante = dir.filePath("variante.pdf");
    ASSERT_EQ(eseguiComando({"--esporta", progetto, pdfGara, "--fase", "Aggiudicazione"}, &errori,
                            formatiEsportazione()),
              0)
        << errori.toStdString();
    ASSERT_EQ(eseguiComando({"--esporta", progetto, pdfVariante}, &errori, formatiEsportazione()),
              0);
    const QString gara1 = test::testoPdf(pdfGara, false).simplified();
    EXPECT_TRUE(gara1.contains("Ribasso d'asta: 18,735 %")) << gara1.toStdString();
    EXPECT_TRUE(gara1.contains("Importo contrattuale: 684.523,08"));
    EXPECT_TRUE(gara1.contains("Data: " + dataItaliana(salvato.fasi[1].data)));
    const QString variante1 = test::testoPdf(pdfVariante, false).simplified();
    EXPECT_TRUE(variante1.contains("n. 45 del 10/03/2027")) << variante1.toStdString();
    EXPECT_TRUE(variante1.contains("+15.000,00 (+2,191 %)"));
    EXPECT_TRUE(variante1.contains(", " + dataItaliana(salvato.fasi[2].data)));
}

// The window opens with its table whole (every column as wide as its cells
// and title, every row shown) unless the screen is too small for it, and
// never past the screen: three phases fit a 1366 x 768 screen, eight do not.
// "Chiudi" and Esc close it.
TEST(Confronto, SiApreConLaTabellaInteraDentroLoSchermoESiChiude) {
    FileFasi f = esempi::scuolaTreFasi();
    auto misura = [](const FileFasi& fasi, bool attesaIntera) {
        FinestraConfronto w(fasi);
        w.show();
        QApplication::processEvents();
        const QSize schermo = w.screen()->availableSize();
        EXPECT_LE(w.width(), schermo.width());
        EXPECT_LE(w.height(), schermo.height());
        auto* tabella = w.findChild<QTableView*>("tabella");
        const QAbstractItemView* vista = tabella;
        bool intera = !tabella->verticalScrollBar()->isVisible() &&
                      !tabella->horizontalScrollBar()->isVisible();
        for (int c = 0; c < tabella->model()->columnCount(); ++c)
            intera = intera &&
                     tabella->columnWidth(c) >=
                         std::max(vista->sizeHintForColumn(c),
                                  tabella->horizontalHeader()->sectionSizeHint(c));
        // Cut only where the window has reached the screen's size.
        if (!intera) {
            EXPECT_TRUE(w.width() >= schermo.width() * 9 / 10 ||
                        w.height() >= schermo.height() * 9 / 10);
        }
        // The small laptop's screen the widget tests run on.
        if (schermo.width() >= 1300 && schermo.height() >= 700) {
            EXPECT_EQ(intera, attesaIntera);
        }
        return intera;
    };
    misura(f, true);
    FileFasi otto = f;
    for (int k = 2; k <= 6; ++k)
        ASSERT_TRUE(std::holds_alternative<int>(
            nuovaFase(otto, int(otto.fasi.size()) - 1, TipoFase::Variante,
                      QStringLiteral("Variante n. %1").arg(k), QStringLiteral("2027-0%1-01").arg(k))));
    misura(otto, false);

    FinestraConfronto w(f);
    w.show();
    w.findChild<QPushButton*>("chiudiconfronto")->click();
    EXPECT_FALSE(w.isVisible());
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* fasi = w.findChild<QListWidget*>("fasi");
    fasi->setFocus();
    QTest::keyClick(fasi, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}
