#include "common/interazione.h"

#include <QDir>
#include <QFileInfo>

#include "common/servizi.h"

namespace varimo {

Risposta rispostaPrudente(Pulsanti p) {
    switch (p) {
        case Pulsanti::SiNo:
            return Risposta::No;
        case Pulsanti::SiNoAnnulla:
            return Risposta::Annulla;
        case Pulsanti::Ok:
            break;
    }
    return Risposta::Ok;
}

void Interazione::imposta(Interazione* i) {
    // Without an application object there is nothing to install into, nor
    // anything left to restore.
    if (Servizi* servizi = i ? Servizi::dellApplicazione() : Servizi::seEsistono())
        servizi->impostaInterazione(i);
}

void primaDiOgniMessaggio(QObject* proprietario, std::function<void()> f) {
    if (Servizi* servizi = Servizi::dellApplicazione())
        servizi->primaDiOgniMessaggio(proprietario, std::move(f));
}

namespace {

void preparaMessaggio() {
    if (const Servizi* servizi = Servizi::seEsistono()) servizi->preparaMessaggio();
}

// The dialogs among the application's services; none without an application
// object (a command or benchmark without one), where nothing can be shown and
// every question gets the answer that agrees to nothing.
Interazione* dialoghi() {
    Servizi* servizi = Servizi::seEsistono();
    return servizi ? &servizi->interazione() : nullptr;
}

}  // namespace

std::optional<QString> chiediFile(const RichiestaFile& r) {
    Interazione* i = dialoghi();
    return i ? i->chiediFile(r) : std::nullopt;
}

std::optional<quint32> chiediColore(quint32 iniziale) {
    Interazione* i = dialoghi();
    return i ? i->chiediColore(iniziale) : std::nullopt;
}

Risposta messaggio(const QString& testo, const QString& titolo, Icona icona, Pulsanti pulsanti,
                   Risposta predefinita) {
    preparaMessaggio();
    Interazione* i = dialoghi();
    return i ? i->mostraMessaggio(Messaggio{testo, titolo, icona, pulsanti, predefinita})
             : rispostaPrudente(pulsanti);
}

void avviso(const QString& testo, const QString& titolo, Icona icona) {
    preparaMessaggio();
    if (Interazione* i = dialoghi())
        i->mostraAvviso(Messaggio{testo, titolo, icona, Pulsanti::Ok, Risposta::Ok});
}

bool consentiSostituzione(const QString& percorso, const QString& titolo) {
    const QFileInfo esistente(percorso);
    if ((!esistente.exists() && !esistente.isSymLink()) || esistente.isDir()) return true;
    return messaggio(QStringLiteral("Il file") + u'\r' + QDir::toNativeSeparators(percorso) + u'\r' +
                         QStringLiteral("esiste già. Si vuole sostituirlo?"),
                     titolo, Icona::Domanda, Pulsanti::SiNo, Risposta::No) == Risposta::Si;
}

}  // namespace varimo
