// How the real dialogs present what the program asks.
#include <gtest/gtest.h>

#include <QAbstractProxyModel>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>

#include "common/widgets/interazione_qt.h"

using varimo::FiltroFile;
using varimo::InterazioneQt;

TEST(InterazioneQt, RigheUniteDaRitornoCarrelloSiVedonoUnaPerRiga) {
    EXPECT_EQ(InterazioneQt::testoVisibile("- uno;\r- due;\r- tre."), "- uno;\n- due;\n- tre.");
    EXPECT_EQ(InterazioneQt::testoVisibile("a\r\n\r\nb"), "a\n\nb");
    EXPECT_EQ(InterazioneQt::testoVisibile("senza a capo"), "senza a capo");
}

TEST(InterazioneQt, IlFiltroTuttiIFileElencaNomiSenzaEstensione) {
    const QStringList f =
        InterazioneQt::filtriQt({FiltroFile{"Tutti i file (*.*)", "*.*"},
                                 FiltroFile{"File Varimo-dati- ", " Varimo-dati-*"}});
    ASSERT_EQ(f.size(), 2);
    // "*.*" would hide "Varimo-dati-rossi"; "*" lists it. The description is
    // kept as written.
    EXPECT_EQ(f[0], "Tutti i file (*.*) (*)");
    EXPECT_EQ(f[1], "File Varimo-dati-  (Varimo-dati-*)");
}

// A message box leaves room for its whole title, however short its text.
TEST(InterazioneQt, LaFinestraDiMessaggioELargaQuantoIlSuoTitolo) {
    QMessageBox box;
    varimo::Messaggio m;
    m.testo = QStringLiteral("Vuoi uscire da Varimo?");
    m.titolo = QStringLiteral("Attenzione: i dati non archiviati andranno persi !");
    m.icona = varimo::Icona::Domanda;
    m.pulsanti = varimo::Pulsanti::SiNo;
    InterazioneQt::preparaMessaggio(box, m);
    box.show();
    QApplication::processEvents();
    QFont titolo = QApplication::font();
    titolo.setBold(true);
    const int barra = 3 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    EXPECT_GE(box.width(), QFontMetrics(titolo).horizontalAdvance(m.titolo) + barra);
    EXPECT_EQ(box.windowTitle(), m.titolo);
    EXPECT_EQ(box.text(), m.testo);
    box.hide();
}

// The file dialogs open in the folder of the name they propose; without one,
// in the folder last used since the start, else in the documents folder, else
// at home.
TEST(InterazioneQt, IlDialogoFileParteDaDocumentiPoiDallUltimaCartellaUsata) {
    QTemporaryDir casa;
    ASSERT_TRUE(casa.isValid());
    const QByteArray casaPrima = qgetenv("HOME");
    const QByteArray configurazionePrima = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(casa.path()));
    qunsetenv("XDG_CONFIG_HOME");
    const QString documenti = casa.path() + QStringLiteral("/Documents");

    // No documents folder yet: home.
    EXPECT_EQ(QDir(InterazioneQt::cartellaIniziale(QStringLiteral("Varimo-dati-"), {})),
              QDir(casa.path()));
    ASSERT_TRUE(QDir(casa.path()).mkpath(QStringLiteral("Documents")));
    ASSERT_TRUE(QDir(casa.path()).mkpath(QStringLiteral("progetti")));
    const QString progetti = casa.path() + QStringLiteral("/progetti");
    EXPECT_EQ(QDir(InterazioneQt::cartellaIniziale(QStringLiteral("Varimo-dati-"), {})),
              QDir(documenti));
    EXPECT_EQ(QDir(InterazioneQt::cartellaIniziale({}, progetti)), QDir(progetti));
    EXPECT_EQ(QDir(InterazioneQt::cartellaIniziale(progetti + QStringLiteral("/Varimo-dati-x"),
                                                   documenti)),
              QDir(progetti));
    // A remembered folder that is gone no longer counts.
    EXPECT_EQ(QDir(InterazioneQt::cartellaIniziale({}, casa.path() + QStringLiteral("/via"))),
              QDir(documenti));

    QFileDialog dlg;
    varimo::RichiestaFile r;
    r.titolo = QStringLiteral("Apri");
    r.nomeFile = QStringLiteral("Varimo-dati-");
    r.salvataggio = true;
    InterazioneQt::preparaDialogoFile(dlg, r, {});
    EXPECT_EQ(QDir(dlg.directory()), QDir(documenti));
    EXPECT_EQ(dlg.windowTitle(), r.titolo);

    if (casaPrima.isNull())
        qunsetenv("HOME");
    else
        qputenv("HOME", casaPrima);
    if (!configurazionePrima.isNull()) qputenv("XDG_CONFIG_HOME", configurazionePrima);
}

// The list of a file dialog writes dates, sizes and types in the program's
// (Italian) locale, whatever the system's language.
TEST(InterazioneQt, IlDialogoFileElencaInItaliano) {
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("progetti")));
    QFile f(dir.path() + QStringLiteral("/Varimo-dati-prova"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(2048, 'x'));
    f.close();
    const QDateTime quando(QDate(2026, 3, 15), QTime(10, 20));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(quando, QFileDevice::FileModificationTime));
    f.close();

    QFileDialog dlg;
    varimo::RichiestaFile r;
    r.nomeFile = dir.path() + QStringLiteral("/Varimo-dati-prova");
    InterazioneQt::preparaDialogoFile(dlg, r, {});
    auto* proxy = dlg.proxyModel();
    ASSERT_NE(proxy, nullptr);
    auto* file = qobject_cast<QFileSystemModel*>(proxy->sourceModel());
    ASSERT_NE(file, nullptr);
    const QModelIndex documento = proxy->mapFromSource(file->index(r.nomeFile));
    const QModelIndex cartella = proxy->mapFromSource(file->index(dir.path() + "/progetti"));
    auto testo = [proxy](const QModelIndex& i, int colonna) {
        return proxy->data(i.siblingAtColumn(colonna), Qt::DisplayRole).toString();
    };
    EXPECT_EQ(testo(documento, 0), QStringLiteral("Varimo-dati-prova"));
    EXPECT_EQ(testo(documento, 3), QLocale().toString(quando, QLocale::ShortFormat));
    EXPECT_TRUE(testo(documento, 3).startsWith(QStringLiteral("15/03/")))
        << qPrintable(testo(documento, 3));
    EXPECT_EQ(testo(documento, 1), QLocale().formattedDataSize(2048));
    EXPECT_TRUE(testo(documento, 1).contains(QLatin1Char(','))) << qPrintable(testo(documento, 1));
    EXPECT_EQ(testo(cartella, 2), QStringLiteral("Cartella"));
    QLocale::setDefault(prima);
}
