#include "classico/statoeconomico.h"

#include "calculation/statocalcolo.h"
#include "common/interazione.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"

namespace varimo {

namespace {
bool rigaValida(int i) {
    return i >= 1 && i <= kVoci;
}
bool rigaOTotale(int i) {
    return i >= 1 && i <= kTotaleQuadro;
}
}  // namespace

StatoEconomico::StatoEconomico(QObject* parent) : QObject(parent) {
    // Before the first fill the rows show the letters of the calculation rows.
    for (int i = 1; i <= kVoci; ++i) righe_[i].numero.imposta(QString(letteraVoce(i)));
    righe_[kTotaleQuadro].tipo.imposta(testieconomico::totalePrima + valuta_() +
                                       testieconomico::totaleDopo);
    for (int i = 1; i <= kTotaleQuadro; ++i)
        righe_[i].tipo.suCambio([this, i] { applicaEtichetta(i); });
    nomeProgetto_.suCambio([this] { applicaNomeProgetto(); });
    valuta_.suCambio([this] {
        if (sceltaValuta_) {
            sceltaValuta_ = false;
            aggiornaTotaleValuta();
        } else {
            applicaValuta();
        }
    });
}

StatoEconomico::~StatoEconomico() = default;

void StatoEconomico::preparaFinestra() {
    suggerimentoUscita_.imposta(testieconomico::uscitaSuggerimento + TestiProgramma::nomeprogramma);
    valute_.append(testieconomico::valute);
    valuteValore_.imposta(valute_);
}

void StatoEconomico::mostra(const StatoCalcolo& calcolo) {
    numerovoci = 0;
    origine_.fill(0);
    percentuale_.fill(false);
    for (int i = 1; i <= kVoci; ++i) {
        righe_[i].visibile.imposta(false);
        const QString costo = calcolo.costo(i);
        if (costo.isEmpty()) continue;
        const int k = ++numerovoci;
        RigaQuadro& r = righe_[k];
        r.visibile.imposta(true);
        r.numero.imposta(QString::number(k));
        r.tipo.imposta(calcolo.tipo(i));
        r.costo.imposta(formatoImporto(costo));
        r.percentuale.imposta(calcolo.percentuale(i));
        r.riferimento.imposta(calcolo.riferimento(i).testo);
        origine_[k] = i;
        percentuale_[k] = calcolo.riferimento(i).posizione >= 0;
    }
    righe_[kTotaleQuadro].costo.imposta(formatoImporto(calcolo.progetto()));
}

QString StatoEconomico::numero(int i) const {
    return rigaValida(i) ? righe_[i].numero() : QString();
}
QString StatoEconomico::tipo(int i) const {
    return rigaOTotale(i) ? righe_[i].tipo() : QString();
}
QString StatoEconomico::costo(int i) const {
    return rigaOTotale(i) ? righe_[i].costo() : QString();
}
QString StatoEconomico::testoPercentuale(int i) const {
    return rigaValida(i) ? righe_[i].percentuale() : QString();
}
QString StatoEconomico::riferimento(int i) const {
    return rigaValida(i) ? righe_[i].riferimento() : QString();
}
bool StatoEconomico::visibile(int i) const {
    if (i == kTotaleQuadro) return true;
    return rigaValida(i) && righe_[i].visibile();
}

int StatoEconomico::origine(int k) const {
    return rigaValida(k) ? origine_[k] : 0;
}
bool StatoEconomico::percentuale(int k) const {
    return rigaValida(k) && percentuale_[k];
}

RigaQuadro& StatoEconomico::riga(int i) {
    return righe_[rigaOTotale(i) ? i : 0];
}

void StatoEconomico::scriviTipo(int i, const QString& testo) {
    if (rigaOTotale(i)) righe_[i].tipo.imposta(testo);
}

void StatoEconomico::scriviCosto(int i, const QString& testo) {
    if (rigaOTotale(i)) righe_[i].costo.imposta(testo);
}

void StatoEconomico::scriviNomeProgetto(const QString& testo) {
    nomeProgetto_.imposta(testo);
}

void StatoEconomico::scriviValuta(const QString& testo) {
    sceltaValuta_ = false;
    valuta_.imposta(testo);
}

void StatoEconomico::scegliValuta(int posizione) {
    if (posizione < 0 || posizione >= valute_.size()) return;
    sceltaValuta_ = true;
    // Choosing the entry already shown changes no text but is still a choice.
    if (!valuta_.imposta(valute_[posizione])) {
        sceltaValuta_ = false;
        aggiornaTotaleValuta();
    }
}

void StatoEconomico::applicaEtichetta(int i) {
    if (!rigaOTotale(i)) return;
    // Once each time the label goes past 50 characters, without taking the
    // keyboard from the box.
    const bool lunga = righe_[i].tipo().size() > 50;
    if (lunga && !etichettaLunga_[i]) {
        avviso(testieconomico::avvisoLunghezza, TestiProgramma::titoloaiuto, Icona::Informazione);
    }
    etichettaLunga_[i] = lunga;
}

void StatoEconomico::applicaNomeProgetto() {
    if (progetto_) progetto_->impostaNome(nomeProgetto_());
}

void StatoEconomico::aggiornaTotale() {
    righe_[kTotaleQuadro].tipo.imposta(testieconomico::totalePrima + valuta_() +
                                       testieconomico::totaleDopo);
    if (progetto_) progetto_->impostaValuta(valuta_());
}

void StatoEconomico::applicaValuta() {
    aggiornaTotale();
}

void StatoEconomico::aggiornaTotaleValuta() {
    aggiornaTotale();
}

void StatoEconomico::controllaDati() {
    const QString nome = progetto_ ? progetto_->nome() : nomeProgetto_();
    messaggio(
        nome.isEmpty() ? testieconomico::controlloSenzaNome : testieconomico::controlloConNome,
        TestiProgramma::titolocontrollo, Icona::Informazione);
}

void StatoEconomico::cancellaTutto() {
    for (int i = 1; i <= kVoci; ++i) {
        RigaQuadro& r = righe_[i];
        r.tipo.imposta(QString());
        r.costo.imposta(QString());
        r.percentuale.imposta(QStringLiteral("0"));
        r.riferimento.imposta(QString());
    }
    // The name box keeps its text; only the project's name is emptied.
    if (progetto_) progetto_->impostaNome({});
    righe_[kTotaleQuadro].costo.imposta(QString());
    scriviValuta(QStringLiteral("euro"));
}

void StatoEconomico::mostraAiuto() {
    messaggio(testieconomico::aiutoRighe.join(QLatin1Char('\r')), TestiProgramma::titoloaiuto,
              Icona::Informazione);
}

}  // namespace varimo
