// Starts the program. The command line is read first, by one parser, without
// any display: --help and --version print and end; the commands that need no
// window (--esporta, --converti) run on a graphical application of the
// offscreen platform (document writers need its fonts) and print only their
// own messages; otherwise the program starts with its windows.
#include <QGuiApplication>
#include <cstdio>

#include "app/avvio.h"
#include "common/piattaforma.h"
#include "quadro/documentiquadro.h"
#include "quadro/rigacomando.h"

namespace {

void scrivi(std::FILE* dove, const QString& testo) {
    std::fputs(testo.toLocal8Bit().constData(), dove);
}

// Qt's own notes (a runtime folder it would like, a font it substitutes) are
// not the command's: a command that succeeds says nothing.
void taciQt(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) scrivi(stderr, testo + u'\n');
}

}  // namespace

int main(int argc, char** argv) {
    using Azione = varimo::quadro::RigaComando::Azione;
    QStringList argomenti;
    for (int i = 1; i < argc; ++i) argomenti.append(QString::fromLocal8Bit(argv[i]));
    const varimo::quadro::RigaComando riga = varimo::quadro::leggiRigaComando(argomenti);
    switch (riga.azione) {
        case Azione::Aiuto:
            scrivi(stdout, varimo::quadro::testoUso());
            return 0;
        case Azione::Versione:
            scrivi(stdout, QStringLiteral("Varimo " VARIMO_VERSIONE "\n"));
            return 0;
        case Azione::Errore:
            scrivi(stderr, riga.errore + u'\n' + varimo::quadro::testoUso());
            return 2;
        case Azione::Esporta:
        case Azione::Converti: {
            qInstallMessageHandler(taciQt);
            // A file-size limit makes the write fail with its message and
            // status 1, instead of ending the command.
            varimo::piattaforma::ignoraLimiteDimensioneFile();
            qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argc, argv);
            // The same names as the windows: the commands read the same
            // settings (the print's colours and notes) and the user's tables.
            QGuiApplication::setApplicationName(QStringLiteral("Varimo"));
            QGuiApplication::setOrganizationName(QStringLiteral("Veladio"));
            // The application's own list: on Windows it comes from the wide
            // command line, so file names outside the ANSI code page arrive whole.
            QString errori;
            const int esito = varimo::quadro::eseguiComando(
                QCoreApplication::arguments().mid(1), &errori,
                varimo::quadro::formatiEsportazione());
            scrivi(stderr, errori);
            return esito;
        }
        case Azione::Finestre:
            break;
    }
    return varimo::avviaProgramma(argc, argv);
}
