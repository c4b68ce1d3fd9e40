#include "common/interazione.h"

#include <QtGlobal>

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

Interazione& Interazione::corrente() {
    Servizi* servizi = Servizi::dellApplicazione();
    if (!servizi) qFatal("Varimo: a dialog was asked for before the application object existed");
    return servizi->interazione();
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

}  // namespace

Risposta messaggio(const QString& testo, const QString& titolo, Icona icona, Pulsanti pulsanti,
                   Risposta predefinita) {
    preparaMessaggio();
    return Interazione::corrente().mostraMessaggio(
        Messaggio{testo, titolo, icona, pulsanti, predefinita});
}

void avviso(const QString& testo, const QString& titolo, Icona icona) {
    preparaMessaggio();
    Interazione::corrente().mostraAvviso(
        Messaggio{testo, titolo, icona, Pulsanti::Ok, Risposta::Ok});
}

}  // namespace varimo
