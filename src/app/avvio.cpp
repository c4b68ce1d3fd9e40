#include "app/avvio.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "app/saluto.h"
#include "app/misuraavvio.h"
#include "app/registro_finestre.h"
#include "common/piattaforma.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "common/widgets/interazione_qt.h"
#include "common/widgets/stile.h"
#include "quadro/formatoquadro.h"
#include "quadro/rigacomando.h"
#include "quadro/widgets/finestraquadro.h"
#include "reports/word.h"

namespace varimo {

void mostracalcolo() {
    Finestre::istanza().mostra(QStringLiteral("calcolo"));
}

void esciprogramma() {
    const Risposta r = messaggio(
        QStringLiteral("Vuoi uscire da ") + TestiProgramma::nomeprogramma + QStringLiteral("?"),
        QStringLiteral("Attenzione: i dati non archiviati andranno persi !"), Icona::Domanda,
        Pulsanti::SiNo, Risposta::No);
    if (r != Risposta::Si) return;
    const Finestre::UscitaInCorso uscita;

    // Every window but the splash is closed, in this order, without saving.
    static const char* const ordine[] = {
        "calcolo",      "economico",   "postgara", "sommario", "manuale",  "guidafunzionamento",
        "guidacalcolo", "guidaquadro", "frmTip",   "licenza",  "catalogo", "supportoclienti",
        "informa",      "quadro"};
    Finestre& registro = Finestre::istanza();
    for (const char* nome : ordine) registro.chiudi(QString::fromLatin1(nome));

    // Farewell: a splash that is still loaded resumes its sound; one that was
    // closed is built again, which plays the sound from the start.
    registro.carica<Saluto>()->congedo();
}

int avviaProgramma(int argc, char** argv) {
    // A file-size limit makes a save fail with a message, not end the program.
    piattaforma::ignoraLimiteDimensioneFile();
    // A session without a runtime folder (root, a container) gets the user's
    // private folder (readable by the user only), where Qt would otherwise
    // make one of its own after a warning on the terminal.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QString errore;
        const QString privata = piattaforma::cartellaPrivata(QDir::tempPath(), &errore);
        if (!privata.isEmpty()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(privata));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varimo"));
    QApplication::setOrganizationName(QStringLiteral("Veladio"));
    QApplication::setQuitOnLastWindowClosed(false);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    installaStile();
    // The start-up benchmark's switch: end at the first painted window.
    misuraAlPrimoDisegno();

    // Qt's own texts in Italian: "Sì", "No", "Annulla" on the standard buttons.
    QTranslator traduttore;
    if (traduttore.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduttore);

    InterazioneQt dialoghi;
    Interazione::imposta(&dialoghi);
    // Printed documents open in the desktop's application for them.
    impostaApriDocumento([](const QString& percorso) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(percorso));
    });

    registraFinestre();
    Finestre& registro = Finestre::istanza();
    // The program ends when no window is loaded any more. The check is queued:
    // the exit closes every window and only then builds the farewell splash.
    QObject::connect(
        &registro, &Finestre::nessunaFinestra, &app,
        [&registro] {
            if (registro.numeroCaricate() == 0) QApplication::quit();
        },
        Qt::QueuedConnection);
    // Nor does it run on with no window on screen: when the last visible
    // window is closed or put away, the hidden ones are closed too. Queued,
    // so that a window shown right after (the other main window, the
    // farewell) counts as on screen.
    QObject::connect(&registro, &Finestre::finestraTolta, &registro,
                     &Finestre::chiudiSeNessunaVisibile, Qt::QueuedConnection);

    // A project file given as the only argument (a double click in the file
    // manager) opens at once in the calculation window, without the splash.
    const QStringList file =
        quadro::leggiRigaComando(QApplication::arguments().mid(1)).file;
    if (file.size() == 1 &&
        file.first().endsWith(QLatin1String(quadro::kEstensione), Qt::CaseInsensitive))
        quadro::apriQuadroAllAvvio(file.first());
    else if (file.size() == 1)
        apriProgettoAllAvvio(file.first());
    else
        registro.mostra<Saluto>();
    const int esito = QApplication::exec();
    Interazione::imposta(nullptr);
    return esito;
}

}  // namespace varimo
