// Starts the program: the application object, Italian translations, the real
// dialogs, and the start splash. The commands that need no window
// (--esporta, --converti) run without any of that.
#include <QGuiApplication>
#include <cstdio>

#include "app/avvio.h"
#include "common/testiprogramma.h"
#include "quadro/documentiquadro.h"
#include "quadro/rigacomando.h"

int main(int argc, char** argv) {
    QStringList argomenti;
    for (int i = 1; i < argc; ++i) argomenti.append(QString::fromLocal8Bit(argv[i]));
    if (varimo::quadro::comandoSenzaFinestra(argomenti)) {
        // A graphical application without a screen: document writers may need
        // its fonts, and nothing is ever shown.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QString errori;
        // The application's own list: on Windows it comes from the wide
        // command line, so file names outside the ANSI code page arrive whole.
        // Exports in every format: the .csv, the print, the PDF and the spreadsheet.
        const int esito = varimo::quadro::eseguiComando(
            QCoreApplication::arguments().mid(1), &errori, varimo::quadro::formatiEsportazione());
        std::fputs(errori.toLocal8Bit().constData(), stderr);
        return esito;
    }
    return varimo::avviaProgramma(argc, argv);
}
