#include "app/avvio.h"

#include <QApplication>
#include <QDesktopServices>
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
    const QStringList argomenti = QApplication::arguments();
    if (argomenti.size() == 2 &&
        argomenti.at(1).endsWith(QLatin1String(quadro::kEstensione), Qt::CaseInsensitive))
        quadro::apriQuadroAllAvvio(argomenti.at(1));
    else if (argomenti.size() == 2)
        apriProgettoAllAvvio(argomenti.at(1));
    else
        registro.mostra<Saluto>();
    const int esito = QApplication::exec();
    Interazione::imposta(nullptr);
    return esito;
}

}  // namespace varimo
