// The window quadro walked as a designer uses it: the 2023 template, the
// school renovation typed in with Italian numbers and keys, the funding fixed
// with the contingencies absorbing the difference, undo and redo, save,
// reopen, and the same figures from the command line's export.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "quadro/anac.h"
#include "quadro/esempi_fasi.h"
#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"
#include "quadro/rigacomando.h"
#include "quadro/widgets/finestraquadro.h"
#include "quadro/widgets/modelloquadro.h"
#include "support/interazione_finta.h"

namespace varimo::quadro {
namespace {

class ProvaFinestraQuadro : public ::testing::Test {
  protected:
    test::InterazioneFinta utente;
    QTemporaryDir dir;  // outlives the window, which lets its lock file go
    FinestraQuadro finestra;

    QModelIndex indice(const char* codice, int colonna) {
        const auto p = percorsoDi(finestra.documento().quadro(), codice);
        EXPECT_TRUE(p) << codice;
        return p ? finestra.modello().indiceDi(*p, colonna) : QModelIndex();
    }
    // Types into a cell through the view's editor, as the keyboard does.
    void digita(const char* codice, int colonna, const QString& testo) {
        QTreeView* v = finestra.vista();
        const QModelIndex i = indice(codice, colonna);
        v->setCurrentIndex(i);
        v->edit(i);
        QApplication::processEvents();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << codice;
        editor->selectAll();
        QTest::keyClicks(editor, testo);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    Centesimi importo(const char* codice) {
        return finestra.documento().valutazione().importo(QString::fromLatin1(codice));
    }
    QString avviso() { return finestra.findChild<QLabel*>("avviso")->text(); }
};

TEST_F(ProvaFinestraQuadro, LaScuolaDalModelloAlFileEAllEsportazione) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    const FileQuadro modello = finestra.documento().file();

    digita("A.2", ModelloQuadro::Importo, "812.345,67");
    digita("A.3", ModelloQuadro::Importo, "24370,37");
    digita("B.7.1", ModelloQuadro::Regola, "9 % di A.2");
    EXPECT_EQ(importo("A"), 83671604);
    EXPECT_EQ(importo("B.7.1"), 7311111);
    EXPECT_EQ(importo("B.7.4"), 292444);  // 4 % of the fees
    EXPECT_EQ(importo("B.17"), 1672782);  // 22 % of fees plus contribution
    EXPECT_EQ(importo("B.16"), 8367160);  // 10 % of A
    EXPECT_EQ(importo("B.8"), 1673432);   // 2 % of A

    // A misplaced point is refused, not multiplied; nothing changes.
    const FileQuadro prima = finestra.documento().file();
    digita("A.1", ModelloQuadro::Importo, "1.5");
    EXPECT_EQ(finestra.documento().file(), prima);
    EXPECT_TRUE(avviso().contains("1.5"));
    digita("B.7.1", ModelloQuadro::Regola, "9 % di Z");
    EXPECT_EQ(finestra.documento().file(), prima);
    EXPECT_TRUE(avviso().contains("«Z»"));

    // The funding, with the contingencies absorbing the difference.
    auto* vincolato = finestra.findChild<QCheckBox*>("vincolato");
    auto* totale = finestra.findChild<QLineEdit*>("totalevincolato");
    vincolato->click();
    totale->setFocus();
    totale->selectAll();
    QTest::keyClicks(totale, "1.250.000,00");
    QTest::keyClick(totale, Qt::Key_Return);
    QApplication::processEvents();
    const Valutazione v = finestra.documento().valutazione();
    EXPECT_EQ(v.totale, 125000000);
    EXPECT_EQ(v.compensa, "B.4");
    EXPECT_EQ(importo("B.19"), 41000);  // the ANAC contribution: A between 500.000 and 1.000.000
    EXPECT_EQ(importo("B.4"), 125000000 - 102988533 - 41000);
    EXPECT_EQ(importo("A.2"), 81234567);  // the works stay as typed

    // A new item from the keyboard, indented under the fees, then undone.
    finestra.vista()->setFocus();
    finestra.vista()->setCurrentIndex(indice("B.7.4", 0));
    const FileQuadro conVincolo = finestra.documento().file();
    QTest::keyClick(finestra.vista(), Qt::Key_Insert);
    QApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(percorsoDi(finestra.documento().quadro(), "B.7.5"));
    QTest::keyClick(finestra.vista(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(percorsoDi(finestra.documento().quadro(), "B.7.5")->size(), 2);
    QTest::keyClick(finestra.vista(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(finestra.vista(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(finestra.documento().file(), conVincolo);
    // Undo all the way back to the template, and redo all the way forward.
    QUndoStack& storia = finestra.documento().storia();
    while (storia.canUndo()) storia.undo();
    EXPECT_EQ(finestra.documento().file(), modello);
    while (storia.canRedo()) storia.redo();
    EXPECT_EQ(finestra.documento().valutazione().totale, 125000000);

    // Copy as tab-separated text.
    finestra.vista()->selectionModel()->setCurrentIndex(
        indice("A.2", 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    finestra.copia();
    EXPECT_EQ(QApplication::clipboard()->text(), "A.2\tLavori a misura\t\t812345,67\n");

    // Save, reopen, and the same figures from the command line.
    const QString percorso = dir.filePath("quadro.varimo");
    utente.scegliFile(dir.filePath("quadro"));  // the extension is added
    ASSERT_TRUE(finestra.salva());
    EXPECT_FALSE(finestra.isWindowModified());
    FinestraQuadro altra;
    ASSERT_TRUE(altra.apriPercorso(percorso));
    EXPECT_EQ(altra.documento().file(), finestra.documento().file());
    EXPECT_EQ(altra.documento().valutazione().totale, 125000000);
    utente.scegliFile(dir.filePath("finestra.csv"));
    ASSERT_TRUE(altra.esportaCsv());
    QProcess p;
    p.start(QStringLiteral(VARIMO_BIN_DIR "/varimo"),
            {"--esporta", percorso, dir.filePath("riga.csv")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    QFile a(dir.filePath("finestra.csv")), b(dir.filePath("riga.csv"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray csv = a.readAll();
    EXPECT_EQ(csv, b.readAll());
    EXPECT_TRUE(csv.contains("\r\nTOTALE;"));
    EXPECT_TRUE(csv.endsWith(";;1250000,00\r\n"));
    EXPECT_TRUE(csv.contains("\r\nB.17;IVA sulle spese tecniche;22 % di B.7;16727,82\r\n"));
}

TEST_F(ProvaFinestraQuadro, UnFileGuastoNonCambiaNullaEUnaModificaNonSalvataChiedePrima) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    const QString guasto = dir.filePath("guasto.varimo");
    QFile f(guasto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        R"({"formato": "varimo-quadro", "versione": 1, "voci": [{"codice": "A", "importo": "x"}]})");
    f.close();
    const FileQuadro prima = finestra.documento().file();
    EXPECT_FALSE(finestra.apriPercorso(guasto));
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.contains("«A»"));
    EXPECT_EQ(finestra.documento().file(), prima);

    digita("A.1", ModelloQuadro::Importo, "10");
    ASSERT_TRUE(finestra.documento().modificato());
    utente.rispondi(Risposta::Annulla);
    EXPECT_FALSE(finestra.nuovo());  // cancelled: the work stays
    EXPECT_EQ(importo("A.1"), 1000);
    utente.rispondi(Risposta::No);
    EXPECT_TRUE(finestra.nuovo());
    EXPECT_EQ(importo("A.1"), 0);
}

// Every save and export of the window asks before it replaces a file; a file
// another program changed since it was opened asks before Save overwrites
// it; a framework another running Varimo holds asks before it opens.
TEST_F(ProvaFinestraQuadro, NessunFileSiSostituisceSenzaChiedere) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    auto scriviSuDisco = [](const QString& p, const QByteArray& dati) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(dati);
    };
    auto letto = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString percorso = dir.filePath("strade.varimo");
    scriviSuDisco(percorso, "di un altro");
    utente.scegliFile(percorso);
    utente.rispondi(Risposta::No);
    EXPECT_FALSE(finestra.salvaConNome());
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.contains("esiste già"));
    EXPECT_EQ(letto(percorso), "di un altro");
    utente.scegliFile(percorso);
    utente.rispondi(Risposta::Si);
    ASSERT_TRUE(finestra.salvaConNome());
    EXPECT_EQ(finestra.documento().percorso(), percorso);

    const QString csv = dir.filePath("strade.csv");
    scriviSuDisco(csv, "vecchio");
    EXPECT_EQ(utente.richiesteFile.size(), 2);
    utente.scegliFile(csv);
    utente.rispondi(Risposta::No);
    EXPECT_FALSE(finestra.esportaCsv());
    EXPECT_EQ(letto(csv), "vecchio");
    // The export proposes the framework's own folder and name.
    EXPECT_EQ(utente.richiesteFile.last().nomeFile, csv);

    // Another program rewrites the file: Save asks, and No keeps its work.
    digita("A.1", ModelloQuadro::Importo, "10");
    QTest::qWait(1100);  // a later modification time, whatever the file system's grain
    scriviSuDisco(percorso, letto(percorso).replace("Lavori", "Opere"));
    const QByteArray suoi = letto(percorso);
    const qsizetype chieste = utente.messaggi.size();
    utente.rispondi(Risposta::No);
    EXPECT_FALSE(finestra.salva());
    ASSERT_EQ(utente.messaggi.size(), chieste + 1);
    EXPECT_TRUE(utente.messaggi.last().testo.contains("modificato da un altro programma"));
    EXPECT_EQ(letto(percorso), suoi);
    EXPECT_TRUE(finestra.documento().modificato());
    utente.rispondi(Risposta::Si);
    ASSERT_TRUE(finestra.salva());
    EXPECT_NE(letto(percorso), suoi);
    ASSERT_TRUE(finestra.nuovo());  // lets the file go

    // A second Varimo opens the framework and holds it.
    QProcess altro;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("QT_QPA_PLATFORM", "offscreen");
    ambiente.insert("VARIMO_SUONO", "nessuno");
    altro.setProcessEnvironment(ambiente);
    altro.start(QStringLiteral(VARIMO_BIN_DIR "/varimo"), {percorso});
    ASSERT_TRUE(altro.waitForStarted());
    QLockFile blocco(dir.filePath(".~lock.strade.varimo#"));
    qint64 chi = 0;
    for (int k = 0; k < 600 && chi != altro.processId(); ++k) {
        QTest::qWait(100);
        QString computer, programma;
        if (!blocco.getLockInfo(&chi, &computer, &programma)) chi = 0;
    }
    ASSERT_EQ(chi, altro.processId());
    const qsizetype prima = utente.messaggi.size();
    utente.rispondi(Risposta::No);
    EXPECT_FALSE(finestra.apriPercorso(percorso));
    ASSERT_EQ(utente.messaggi.size(), prima + 1);
    EXPECT_TRUE(utente.messaggi.last().testo.contains("già aperto in un altro Varimo"));
    EXPECT_TRUE(finestra.documento().percorso().isEmpty());
    altro.kill();
    altro.waitForFinished();
}

// The road resurfacing through the window alone: labour typed into its
// column, the safety out of the discount, the incentives and the ANAC
// contribution on the tender base from the template, then the award and a
// variant made with the Fasi menu.
TEST_F(ProvaFinestraQuadro, StradeConManodoperaDalProgettoAllaVariante) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    auto* data = finestra.findChild<QLineEdit*>("data");
    ASSERT_TRUE(data);
    data->setFocus();
    data->selectAll();
    QTest::keyClicks(data, "02/03/2025");
    QTest::keyClick(data, Qt::Key_Return);
    digita("A.1", ModelloQuadro::Importo, "200.000,00");
    digita("A.1", ModelloQuadro::Manodopera, "50.000,00");
    digita("A.3", ModelloQuadro::Importo, "6.000,00");
    // Labour above the item's amount is refused and the cell keeps its figure.
    digita("A.1", ModelloQuadro::Manodopera, "250.000,00");
    EXPECT_TRUE(avviso().contains("supera"));
    EXPECT_EQ(indice("A.1", ModelloQuadro::Manodopera).data().toString(), "50.000,00");
    EXPECT_EQ(indice("A.3", ModelloQuadro::Ribasso).data(Qt::CheckStateRole).toInt(),
              Qt::Unchecked);
    EXPECT_EQ(importo("B.8"), 412000);
    EXPECT_EQ(importo("B.19"), 25000);
    // The window names the table and its act for the current item.
    finestra.vista()->setCurrentIndex(indice("B.19", 0));
    EXPECT_TRUE(finestra.findChild<QLabel*>("fontevoce")->text().contains("598"));
    EXPECT_TRUE(finestra.findChild<QLabel*>("avvisilegge")->text().isEmpty());

    // The award at 20 %.
    auto rispondi = [](std::function<void(QDialog*)> compila) {
        QTimer::singleShot(0, [=] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialogo);
            compila(dialogo);
            dialogo->accept();
        });
    };
    rispondi([](QDialog*) {});
    finestra.findChild<QAction*>("nuovafase")->trigger();
    DocumentoQuadro& d = finestra.documento();
    ASSERT_EQ(d.fasi().fasi.size(), 2);
    rispondi([](QDialog* x) { x->findChild<QLineEdit*>("ribasso")->setText("20"); });
    finestra.findChild<QAction*>("datifase")->trigger();
    ASSERT_TRUE(d.aggiudicazione());
    EXPECT_EQ(d.aggiudicazione()->contratto, 17600000);
    EXPECT_EQ(importo("B.8"), 412000);
    EXPECT_EQ(importo("B.19"), 25000);
    EXPECT_EQ(importo("A.1"), 17000000);
    // The award's CSV carries the labour beside the discounted works.
    utente.scegliFile(dir.filePath("gara.csv"));
    ASSERT_TRUE(finestra.esportaCsv());
    EXPECT_TRUE(finestra.statusBar()->currentMessage().contains(
        QDir::toNativeSeparators(dir.filePath("gara.csv"))));
    QFile csv(dir.filePath("gara.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(csv.readAll())
                    .contains("A.1;Lavori a corpo;di cui manodopera 50.000,00;170000,00"));

    // A variant adds 10.000,00 of works: the incentives stay the project's.
    rispondi([](QDialog*) {});
    finestra.findChild<QAction*>("nuovafase")->trigger();
    ASSERT_EQ(d.fasi().fasi.size(), 3);
    finestra.activateWindow();  // back from the dialog
    finestra.vista()->setFocus();
    QApplication::processEvents();
    digita("A.2", ModelloQuadro::Importo, "10.000,00");
    EXPECT_EQ(importo("A"), 18600000);
    EXPECT_EQ(importo("B.8"), 412000);

    // Saved and read again, the three phases compute the same figures.
    utente.scegliFile(dir.filePath("strade.varimo"));
    ASSERT_TRUE(finestra.salvaConNome());
    const auto letto = apriFileFasi(dir.filePath("strade.varimo"));
    ASSERT_TRUE(std::holds_alternative<FileFasi>(letto));
    const FileFasi& f = std::get<FileFasi>(letto);
    EXPECT_EQ(std::get<FaseCalcolata>(calcolaFase(f, 1)).contratto, 17600000);
    const Valutazione variante = std::get<FaseCalcolata>(calcolaFase(f, 2)).valutazione;
    EXPECT_EQ(variante.importo("B.8"), 412000);
    // The variant is paid from the economies: the funding stays.
    EXPECT_EQ(variante.totale, std::get<FaseCalcolata>(calcolaFase(f, 0)).valutazione.totale);
    EXPECT_EQ(manodopera(*trovaVoce(f.fasi[0].quadro, "A.1")), 5000000);
}

// The keyboard of the tree: a refused amount keeps its editor and what was
// typed; Tab writes and goes on to the next editable cell, Shift+Tab back;
// Enter writes and goes down; a section closed by the designer stays closed
// when an insert rebuilds the tree.
TEST_F(ProvaFinestraQuadro, LaTastieraNonPerdeNullaDiCioCheSiScrive) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    QTreeView* v = finestra.vista();
    v->setFocus();
    v->setCurrentIndex(indice("A.1", ModelloQuadro::Importo));
    QTest::keyClick(v, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "12.34,5");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), editor);  // still open
    EXPECT_EQ(editor->text(), "12.34,5");
    EXPECT_FALSE(avviso().isEmpty());
    editor->selectAll();
    QTest::keyClicks(editor, "1.234,50");
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(importo("A.1"), 123450);
    // On to the labour of the same item, then back with Shift+Tab.
    EXPECT_EQ(v->currentIndex(), indice("A.1", ModelloQuadro::Manodopera));
    auto* manodopera = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(manodopera, nullptr);
    QTest::keyClick(manodopera, Qt::Key_Backtab);
    EXPECT_EQ(v->currentIndex(), indice("A.1", ModelloQuadro::Importo));
    auto* importoA1 = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(importoA1, nullptr);
    QTest::keyClick(importoA1, Qt::Key_Escape);
    EXPECT_EQ(importo("A.1"), 123450);

    // A closed section stays closed after an item is added elsewhere.
    v->collapse(indice("B.7", 0));
    v->setCurrentIndex(indice("B.9", 0));
    finestra.findChild<QAction*>("aggiungivoce")->trigger();
    EXPECT_FALSE(v->isExpanded(indice("B.7", 0)));
    EXPECT_TRUE(v->isExpanded(indice("B", 0)));

    // A note is edited in its column, as one step (the new item's label,
    // open for typing, left as it is first).
    if (auto* aperto = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        QTest::keyClick(aperto, Qt::Key_Escape);
    digita("B.10", ModelloQuadro::Nota, "Regolamento comunale, art. 3");
    EXPECT_EQ(trovaVoce(finestra.documento().quadro(), "B.10")->nota, "Regolamento comunale, art. 3");
    finestra.documento().storia().undo();
    EXPECT_EQ(trovaVoce(finestra.documento().quadro(), "B.10")->nota,
              trovaVoce(modello2023(), "B.10")->nota);
}

// An edit that would drop an amount asks first: indenting under an amount
// item, deleting the item that absorbs the funding difference. No keeps all.
TEST_F(ProvaFinestraQuadro, NessunImportoSiPerdeSenzaChiedere) {
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    // A negative amount is taken, and listed under the tree.
    digita("B.2", ModelloQuadro::Importo, "-250,00");
    EXPECT_EQ(importo("B.2"), -25000);
    EXPECT_TRUE(finestra.findChild<QLabel*>("avvisilegge")->text().contains("-250,00"));
    digita("B.2", ModelloQuadro::Importo, "0");
    digita("B.1", ModelloQuadro::Importo, "1.500,00");
    const FileQuadro prima = finestra.documento().file();
    finestra.vista()->setCurrentIndex(indice("B.2", 0));
    utente.rispondi(Risposta::No);
    finestra.findChild<QAction*>("rientra")->trigger();
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.contains("1.500,00"));
    EXPECT_EQ(finestra.documento().file(), prima);
    utente.rispondi(Risposta::Si);
    finestra.findChild<QAction*>("rientra")->trigger();
    EXPECT_EQ(importo("B.1"), 0);  // a section of B.2 now

    // "Rinumera le voci" gives the codes back their order, as one step.
    finestra.findChild<QAction*>("rinumera")->trigger();
    EXPECT_EQ(trovaVoce(finestra.documento().quadro(), "B.2")->etichetta,
              trovaVoce(modello2023(), "B.3")->etichetta);
    EXPECT_EQ(trovaVoce(finestra.documento().quadro(), "B.1.1")->etichetta,
              trovaVoce(modello2023(), "B.2")->etichetta);
    finestra.documento().storia().undo();
    EXPECT_TRUE(trovaVoce(finestra.documento().quadro(), "B.3"));

    finestra.findChild<QCheckBox*>("vincolato")->click();  // the current total, absorbed by B.4
    const FileQuadro vincolato = finestra.documento().file();
    finestra.vista()->setCurrentIndex(indice("B.4", 0));
    utente.rispondi(Risposta::No);
    finestra.findChild<QAction*>("eliminavoce")->trigger();
    EXPECT_EQ(utente.messaggi.size(), 3);
    EXPECT_EQ(finestra.documento().file(), vincolato);
}

// "Dati per ANAC" of the school's variant: the window's keys are the
// command line's, they follow an edit of the items (a new item, its key
// chosen from the menu, undone) and the copy carries them.
TEST_F(ProvaFinestraQuadro, IDatiPerAnacSeguonoLaFaseEIlMenuDelleCategorie) {
    const FileFasi scuola = esempi::scuolaPerAnac();
    ASSERT_FALSE(salvaFileFasi(dir.filePath("scuola.varimo"), scuola));
    DocumentoQuadro& d = finestra.documento();
    ASSERT_FALSE(d.apri(dir.filePath("scuola.varimo")));
    ASSERT_EQ(d.faseCorrente(), 2);
    finestra.findChild<QAction*>("datiperanac")->trigger();
    auto* vista = finestra.findChild<QTreeWidget*>("chiavianac");
    ASSERT_TRUE(vista);
    auto righe = [&] {
        QMap<QString, QString> r;
        for (int k = 0; k < vista->topLevelItemCount(); ++k)
            r[vista->topLevelItem(k)->text(0)] = vista->topLevelItem(k)->text(2);
        return r;
    };
    auto attesi = [&] {
        QMap<QString, QString> r;
        const auto dati = datiAnacFase(d.fasi(), d.faseCorrente());
        for (const RigaAnac& x : std::get<DatiAnac>(dati).righe)
            r[x.categoria.chiave] = testoImporto(x.importo);
        return r;
    };
    EXPECT_EQ(righe(), attesi());
    EXPECT_EQ(righe().value("impLavori"), testoImporto(importo("A.1")));
    auto* verifica = finestra.findChild<QLabel*>("verificaanac");
    const QString torna = verifica->text();

    // A new item of 1.000,00 under B, moved to the options: the variant's
    // modification cannot carry it and the window says which item it is.
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    finestra.vista()->setCurrentIndex(indice("B.6", 0));
    finestra.findChild<QAction*>("aggiungivoce")->trigger();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the label's editor
    const QString nuova = voceA(d.quadro(), finestra.modello().percorso(
                                                finestra.vista()->currentIndex()))->codice;
    const QByteArray codice = nuova.toUtf8();
    digita(codice.constData(), ModelloQuadro::Importo, "1.000,00");
    EXPECT_EQ(righe(), attesi());
    finestra.vista()->setCurrentIndex(indice(codice.constData(), 0));  // Enter went down
    finestra.findChild<QAction*>("anac_sommeOpzioniRinnovi")->trigger();
    EXPECT_EQ(categoriaAnac(*trovaVoce(d.quadro(), nuova)), "sommeOpzioniRinnovi");
    EXPECT_EQ(righe(), attesi());
    EXPECT_EQ(righe().value("sommeOpzioniRinnovi"), "1.000,00");
    EXPECT_TRUE(verifica->text().contains("«" + nuova + "»")) << verifica->text().toStdString();
    finestra.findChild<QAction*>("annulla")->trigger();
    EXPECT_EQ(categoriaAnac(*trovaVoce(d.quadro(), nuova)), "");  // its section's
    EXPECT_EQ(righe(), attesi());
    EXPECT_EQ(verifica->text(), torna);

    finestra.findChild<QPushButton*>("copiaanac")->click();
    const QString copiato = QApplication::clipboard()->text();
    EXPECT_TRUE(copiato.contains("impLavori\t")) << copiato.toStdString();
    EXPECT_TRUE(copiato.contains(testoImporto(d.valutazione().totale)));
    // The days of extension typed in the phase's data reach the JSON, which,
    // saved from the window, is the command line's.
    QTimer::singleShot(0, [] {
        auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialogo);
        dialogo->findChild<QLineEdit*>("giorniproroga")->setText("45");
        dialogo->accept();
    });
    finestra.findChild<QAction*>("datifase")->trigger();
    ASSERT_EQ(d.fasi().fasi[2].giorniProroga, 45);
    utente.scegliFile(dir.filePath("variante.json"));
    finestra.findChild<QPushButton*>("salvajsonanac")->click();
    QFile json(dir.filePath("variante.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QByteArray scritto = json.readAll();
    EXPECT_TRUE(scritto.contains("\"numGiorniProroga\": 45")) << scritto.toStdString();
    EXPECT_EQ(scritto, jsonAnac(std::get<DatiAnac>(datiAnacFase(d.fasi(), 2))));
}

}  // namespace
}  // namespace varimo::quadro
