// The window quadro walked as a designer uses it: the 2023 template, the
// school renovation typed in with Italian numbers and keys, the funding fixed
// with the contingencies absorbing the difference, undo and redo, save,
// reopen, and the same figures from the command line's export.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

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
    FinestraQuadro finestra;
    QTemporaryDir dir;

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

}  // namespace
}  // namespace varimo::quadro
