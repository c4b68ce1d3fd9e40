#include "calculation/statocalcolo.h"

#include <algorithm>

#include "common/interazione.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"

namespace varimo {

namespace {

const QString kEtichette[kVoci + 1] = {
    QString(),
    QStringLiteral("Lavori a misura"),
    QStringLiteral("Lavori a corpo"),
    QStringLiteral("Oneri per i piani di sicurezza e coordinamento"),
    QStringLiteral("Importo a base dell'appalto"),
    QStringLiteral("Rilievi, accertamenti e indagini"),
    QStringLiteral("Allacciamenti ai pubblici servizi"),
    QStringLiteral("Imprevisti"),
    QStringLiteral("Acquisizione di aree (da piano particellare)"),
    QStringLiteral("Occupazione di aree (da piano particellare)"),
    QStringLiteral("Prezzo chiuso"),
    QStringLiteral("Spese tecniche"),
    QStringLiteral("Spese per attività di consulenza e supporto"),
    QStringLiteral("Spese per commissioni giudicatrici"),
    QStringLiteral("Spese per pubblicità"),
    QStringLiteral("Spese per opere d'arte al 2%"),
    QStringLiteral("Spese analisi e collaudi"),
    QStringLiteral("IVA sui lavori"),
    QStringLiteral("Totale somme a disposizione"),
};

const char kLettere[] = "ABCDEFGHILMNOPQRST";

bool valida(int i) {
    return i >= 1 && i <= kVoci;
}

}  // namespace

// Marks an operation started from outside (a user edit, a command, a call by
// another window); when the outermost one ends the views are told.
class StatoCalcolo::Operazione {
  public:
    explicit Operazione(StatoCalcolo& s) : s_(s) { ++s_.operazioni_; }
    ~Operazione() {
        if (--s_.operazioni_ == 0) emit s_.cambiato();
    }
    Operazione(const Operazione&) = delete;
    Operazione& operator=(const Operazione&) = delete;

  private:
    StatoCalcolo& s_;
};

QChar letteraVoce(int i) {
    return valida(i) ? QLatin1Char(kLettere[i - 1]) : QLatin1Char(' ');
}

QString etichettaIniziale(int i) {
    return valida(i) ? kEtichette[i] : QString();
}

StatoCalcolo::StatoCalcolo(QObject* parent) : QObject(parent) {
    for (int i = 1; i <= kVoci; ++i) righe_[i].tipo.imposta(kEtichette[i]);
    collega();
}

StatoCalcolo::~StatoCalcolo() = default;

void StatoCalcolo::collega() {
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        r.tipo.suCambio([this, i] { applicaEtichetta(i); });
        r.riferimento.suCambio([this, i] { riferimentoCambiato(i); });
    }
}

// ---------------------------------------------------------------- start-up

void StatoCalcolo::preparaFinestra() {
    Operazione op(*this);
    // A new window starts with no constrained step pending and the constraint
    // not switched off: left switched off ("senza importo vincolato"), a
    // constrained total typed into the new window would never reach row A, and
    // the button that leads out of that state is hidden.
    statovincolo = StatoVincolo::Nessuno;
    suggerimentoUscita_.imposta(testicalcolo::uscitaSuggerimento + TestiProgramma::nomeprogramma);
    impostavoci();
    for (int i = 1; i <= kVoci - 1; ++i) {
        righe_[i].suggerimentoCancellaRiga.imposta(testicalcolo::cancellaRigaSuggerimento +
                                                   QLatin1Char(' ') + QString::number(i));
    }
}

void StatoCalcolo::impostavoci() {
    Operazione op(*this);
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        r.pagina = 5;
        Riferimento nuovo = r.riferimento();
        for (int j = 1; j <= kVoci; ++j) nuovo.voci.append(righe_[j].tipo());
        imponiRiferimento(i, nuovo, EventoRiferimento::Nessuno);
        r.suggerimentoRiferimento.imposta(testicalcolo::riferimentoSuggerimento);
        if (i == 4) {
            r.suggerimentoTipo.imposta(testicalcolo::tipo4Suggerimento);
        } else if (i == kVoci) {
            r.suggerimentoTipo.imposta(testicalcolo::tipo18Suggerimento);
        } else {
            r.suggerimentoTipo.imposta(testicalcolo::tipoSuggerimento);
        }
    }
}

// ---------------------------------------------------------------- reading

QString StatoCalcolo::tipo(int i) const {
    return valida(i) ? righe_[i].tipo() : QString();
}
QString StatoCalcolo::costo(int i) const {
    return valida(i) ? righe_[i].costo() : QString();
}

QString StatoCalcolo::percentuale(int i) const {
    if (valida(i)) return righe_[i].percentuale();
    if (i == 0) return testicalcolo::titoloPercentuale;
    if (i == 19) return testicalcolo::titoloTipo;
    if (i == 20) return testicalcolo::titoloCosto;
    return QString();
}

int StatoCalcolo::scorrimento(int i) const {
    return valida(i) ? righe_[i].scorrimento() : 0;
}

const Riferimento& StatoCalcolo::riferimento(int i) const {
    static const Riferimento vuoto;
    return valida(i) ? righe_[i].riferimento() : vuoto;
}

QString StatoCalcolo::progetto() const {
    return progetto_();
}
QString StatoCalcolo::costoprogetto() const {
    return costoprogetto_();
}
bool StatoCalcolo::senzaVincoloVisibile() const {
    return senzaVincoloVisibile_();
}

QString StatoCalcolo::suggerimentoTipo(int i) const {
    return valida(i) ? righe_[i].suggerimentoTipo() : QString();
}
QString StatoCalcolo::suggerimentoRiferimento(int i) const {
    return valida(i) ? righe_[i].suggerimentoRiferimento() : QString();
}
QString StatoCalcolo::suggerimentoCancellaRiga(int i) const {
    return pulsanteCancellaRigaPresente(i) ? righe_[i].suggerimentoCancellaRiga() : QString();
}
QString StatoCalcolo::suggerimentoCosto(int i) const {
    if (i == 1) return testicalcolo::costo1Suggerimento;
    if (i == 4) return testicalcolo::costo4Suggerimento;
    if (i == kVoci) return testicalcolo::costo18Suggerimento;
    return QString();
}
QString StatoCalcolo::suggerimentoUscita() const {
    return suggerimentoUscita_();
}
int StatoCalcolo::pagina(int i) const {
    return valida(i) ? righe_[i].pagina : 1;
}

bool StatoCalcolo::percentualeVisibile(int i) {
    return valida(i) && i != 1 && i != 4 && i != 18;
}
bool StatoCalcolo::pulsanteCancellaRigaPresente(int i) {
    return i >= 1 && i <= kVoci - 1;
}
bool StatoCalcolo::pulsanteCancellaRigaVisibile(int i) {
    return pulsanteCancellaRigaPresente(i) && i != 4;
}
bool StatoCalcolo::tipoSoloLettura(int i) {
    return i == 4 || i == kVoci;
}
bool StatoCalcolo::costoSoloLettura(int i) {
    return i == 4 || i == kVoci;
}

RigaCalcolo& StatoCalcolo::riga(int i) {
    return righe_[valida(i) ? i : 0];
}

void StatoCalcolo::azzeraContatori() {
    passiTotali_ = 0;
    profonditaMassima_ = 0;
    interruzioni_ = 0;
}

// ---------------------------------------------------------------- writing

void StatoCalcolo::scriviTipo(int i, const QString& testo) {
    if (!valida(i)) return;
    Operazione op(*this);
    righe_[i].tipo.imposta(testo);
}

void StatoCalcolo::scriviCosto(int i, const QString& testo) {
    if (!valida(i)) return;
    esegui(Modifica{Modifica::Tipo::Importo, i, testo, 0});
}

void StatoCalcolo::scriviScorrimento(int i, int valore) {
    if (!valida(i)) return;
    esegui(Modifica{Modifica::Tipo::Percentuale, i, {}, valore});
}

void StatoCalcolo::imponiRiferimento(int i, const Riferimento& r, EventoRiferimento e) {
    RigaCalcolo& riga = righe_[i];
    // An equal value runs nothing; return before the pending event is touched
    // so that a view echoing the value cannot disturb an edit in progress.
    if (riga.riferimento() == r) return;
    eventoRiferimento_ = e;
    riga.riferimento.imposta(r);
}

void StatoCalcolo::scriviTestoRiferimento(int i, const QString& testo) {
    if (!valida(i)) return;
    Operazione op(*this);
    const Riferimento& attuale = righe_[i].riferimento();
    if (attuale.testo == testo) return;  // the text does not change: no event
    Riferimento nuovo{attuale.voci, -1, testo};
    imponiRiferimento(i, nuovo, EventoRiferimento::Digitazione);
}

void StatoCalcolo::scegliRiferimento(int i, int posizione) {
    if (!valida(i)) return;
    Operazione op(*this);
    const Riferimento& attuale = righe_[i].riferimento();
    if (posizione < -1 || posizione >= attuale.voci.size()) return;
    Riferimento nuovo{attuale.voci, posizione,
                      posizione >= 0 ? attuale.voci[posizione] : attuale.testo};
    imponiRiferimento(i, nuovo, EventoRiferimento::Scelta);
}

void StatoCalcolo::svuotaElencoRiferimento(int i) {
    if (!valida(i)) return;
    Operazione op(*this);
    Riferimento nuovo{QStringList(), -1, righe_[i].riferimento().testo};
    imponiRiferimento(i, nuovo, EventoRiferimento::Nessuno);
}

void StatoCalcolo::scriviCostoprogetto(const QString& testo) {
    esegui(Modifica{Modifica::Tipo::Vincolo, 0, testo, 0});
}

void StatoCalcolo::impostaSenzaVincoloVisibile(bool visibile) {
    Operazione op(*this);
    senzaVincoloVisibile_.imposta(visibile);
}

// ---------------------------------------------------------------- handlers

void StatoCalcolo::riferimentoCambiato(int i) {
    const EventoRiferimento e = eventoRiferimento_;
    eventoRiferimento_ = EventoRiferimento::Nessuno;
    if (e == EventoRiferimento::Digitazione) {
        applicaTestoRiferimento(i);
    } else if (e == EventoRiferimento::Scelta) {
        applicaRiferimento(i);
    }
}

void StatoCalcolo::gestisciRiferimento(int i) {
    if (!valida(i)) return;
    Operazione op(*this);
    if (!caricamento) vocerif[i] = righe_[i].riferimento().posizione + 1;
    esegui(Modifica{Modifica::Tipo::Riferimento, i, {}, 0});
}

void StatoCalcolo::applicaTestoRiferimento(int i) {
    gestisciRiferimento(i);
}
void StatoCalcolo::applicaRiferimento(int i) {
    gestisciRiferimento(i);
}

void StatoCalcolo::spegniVincolo() {
    Operazione op(*this);
    esegui(Modifica{Modifica::Tipo::SpegniVincolo, 0, {}, 0});
    senzaVincoloVisibile_.imposta(false);
}

void StatoCalcolo::cancellaRiga(int i) {
    if (!pulsanteCancellaRigaVisibile(i)) return;
    Operazione op(*this);
    // A reference box that held a text is emptied, and its row refers to
    // nothing any more.
    if (!righe_[i].riferimento().testo.isEmpty() && !caricamento) vocerif[i] = 0;
    esegui(Modifica{Modifica::Tipo::CancellaRiga, i, {}, 0});
    costorif[i] = 0;
}

void StatoCalcolo::applicaEtichetta(int /*i*/) {
    Operazione op(*this);
    if (caricamento) {
        // A label read from a file is not typed: no warning now, nor at the
        // next change of another label.
        for (int j = 1; j <= kVoci; ++j) etichettaLunga_[j] = righe_[j].tipo().size() > 50;
        return;
    }
    // Every list is emptied and refilled with the current labels. A row keeps
    // the reference it had chosen (same row number), and its box shows that
    // row's new label: the selection is put back without running a handler,
    // so vocerif and every amount stay as they are.
    std::array<int, kVoci + 1> scelte{};
    for (int j = 1; j <= kVoci; ++j) {
        scelte[j] = righe_[j].riferimento().posizione;
        svuotaElencoRiferimento(j);
        // The warning comes once when a label goes past 50 characters (again
        // only after it came back within them), and it does not take the
        // keyboard: the keys typed meanwhile reach the box.
        const bool lunga = righe_[j].tipo().size() > 50;
        if (lunga && !etichettaLunga_[j]) {
            avviso(testicalcolo::avvisoLunghezza, TestiProgramma::titoloaiuto, Icona::Informazione);
        }
        etichettaLunga_[j] = lunga;
    }
    impostavoci();
    for (int j = 1; j <= kVoci; ++j) {
        const Riferimento& r = righe_[j].riferimento();
        if (scelte[j] < 0 || scelte[j] >= r.voci.size()) continue;
        imponiRiferimento(j, Riferimento{r.voci, scelte[j], r.voci[scelte[j]]},
                          EventoRiferimento::Nessuno);
    }
}

// ---------------------------------------------------------------- recalculation

void StatoCalcolo::ricalcola() {
    esegui(Modifica{Modifica::Tipo::Ricalcola, 0, {}, 0});
}

DatiCalcolo StatoCalcolo::dati() const {
    DatiCalcolo d;
    for (int i = 1; i <= kVoci; ++i) {
        const RigaCalcolo& r = righe_[i];
        d.righe[i] = RigaDati{r.costo(),
                              r.percentuale(),
                              r.scorrimento(),
                              r.riferimento().posizione + 1,
                              r.riferimento().testo,
                              centesimi[i]};
    }
    d.totale = progetto_();
    d.vincolo = costoprogetto_();
    d.stato = statovincolo;
    d.vincoloUtente = vincoloUtente_;
    d.vincoloSalvato = centesimi20;
    return d;
}

void StatoCalcolo::esegui(const Modifica& m) {
    Operazione op(*this);
    const RisultatoRicalcolo r = varimo::ricalcola(dati(), m);
    const DatiCalcolo& d = r.dati;
    // The members first, so that a view reading them sees the new state.
    for (int i = 1; i <= kVoci; ++i) centesimi[i] = d.righe[i].centesimi;
    centesimi20 = d.vincoloSalvato;
    statovincolo = d.stato;
    vincoloUtente_ = d.vincoloUtente;
    passiTotali_ += r.passi;
    profonditaMassima_ = std::max(profonditaMassima_, r.profonditaMassima);
    interruzioni_ += r.interruzioni;
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& riga = righe_[i];
        const RigaDati& n = d.righe[i];
        riga.percentuale.ripristina(n.percentuale);
        riga.scorrimento.ripristina(n.scorrimento);
        const Riferimento& c = riga.riferimento();
        if (c.posizione != n.riferimento - 1 || c.testo != n.testoRiferimento) {
            riga.riferimento.ripristina(Riferimento{c.voci, n.riferimento - 1, n.testoRiferimento});
        }
    }
    // The boxes show every amount the passes wrote, in order, and end on the
    // result.
    for (const Scrittura& w : r.scritture) {
        Valore<QString>& casella = w.casella == kCasellaTotale    ? progetto_
                                   : w.casella == kCasellaVincolo ? costoprogetto_
                                                                  : righe_[w.casella].costo;
        casella.ripristina(w.testo);
    }
    if (!r.messaggio.isEmpty())
        messaggio(r.messaggio, TestiProgramma::titoloaiuto, Icona::Esclamazione);
}

// ---------------------------------------------------------------- unusable amounts

QStringList StatoCalcolo::importiInutilizzabili() const {
    QStringList righe;
    for (int i = 1; i <= kVoci; ++i) {
        const QString& c = righe_[i].costo();
        if (c.trimmed().isEmpty() || importoAccettabile(c)) continue;
        righe.append(QStringLiteral("%1 (%2): %3").arg(letteraVoce(i)).arg(tipo(i), c.left(40)));
    }
    return righe;
}

bool StatoCalcolo::avvisaImportiInutilizzabili() {
    const QStringList righe = importiInutilizzabili();
    if (righe.isEmpty()) return false;
    messaggio(QStringLiteral("Gli importi di queste voci non sono numeri utilizzabili (al massimo "
                             "999.999.999.999,99) e vanno corretti prima di calcolare il "
                             "quadro:") +
                  u'\r' + righe.join(u'\r'),
              TestiProgramma::titoloaiuto, Icona::Esclamazione);
    return true;
}

void StatoCalcolo::assestaImportiInutilizzabili() {
    esegui(Modifica{Modifica::Tipo::Assesta, 0, {}, 0});
}

// ---------------------------------------------------------------- commands

void StatoCalcolo::controllaDati() {
    Operazione op(*this);
    bool importi = false;
    bool percentuali = false;
    bool riferimenti = false;
    for (int i = 1; i <= kVoci; ++i) {
        if (!righe_[i].costo().isEmpty()) importi = true;
        const auto p = letturaRigorosa(righe_[i].percentuale());
        if (p && *p > 0) percentuali = true;
        if (!righe_[i].riferimento().testo.isEmpty()) riferimenti = true;
    }
    const QString& titolo = TestiProgramma::titolocontrollo;
    // An amount that cannot be read, or a negative one, comes first: the
    // framework would not add up. The first such row is named.
    for (int i = 1; i <= kVoci; ++i) {
        const QString& t = righe_[i].costo();
        if (t.isEmpty()) continue;
        const QString voce = QString(letteraVoce(i));
        if (separatoreFuoriPosto(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" ha un separatore delle migliaia fuori posto: per i "
                                         "decimali usare la virgola."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (!importoAccettabile(t) && letturaRigorosa(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" supera 999.999.999.999,99, il massimo che il calcolo "
                                         "porta esatto al centesimo."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (!importoAccettabile(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" non è leggibile: correggerlo usando solo cifre, la "
                                         "virgola per i decimali ed eventualmente il punto per "
                                         "le migliaia."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (*letturaRigorosa(t) < 0) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" è negativo: controllare le percentuali, le voci di "
                                         "riferimento e l'importo vincolato del progetto."),
                      titolo, Icona::Esclamazione);
            return;
        }
    }
    if (costoprogetto_().isEmpty() && !importi) {
        messaggio(QStringLiteral("Non è stato digitato alcun valore significativo: iniziare con il "
                                 "costo di una voce o con l'importo vincolato del progetto."),
                  titolo, Icona::Esclamazione);
    } else if (!importi) {
        messaggio(QStringLiteral("Non è stato digitato alcun valore per le singole voci: iniziare "
                                 "immettendo almeno il costo dei lavori a misura."),
                  titolo, Icona::Esclamazione);
    } else if (!percentuali) {
        messaggio(QStringLiteral("Non è stata utilizzata alcuna voce come percentuale di "
                                 "un'altra: l'IVA, le spese tecniche ed altre voci sono calcolate "
                                 "in base a percentuali sui lavori."),
                  titolo, Icona::Esclamazione);
    } else if (!riferimenti) {
        messaggio(QStringLiteral("Non sono state evidenziate voci di riferimento per il calcolo "
                                 "delle percentuali: almeno l'IVA, le spese tecniche ed altre voci "
                                 "sono calcolate come percentuali sui lavori."),
                  titolo, Icona::Esclamazione);
    } else if (salvataggio == Salvataggio::InAttesa) {
        salvataggio = Salvataggio::Nessuno;
    } else {
        messaggio(QStringLiteral("I dati sono stati immessi correttamente."), titolo,
                  Icona::Informazione);
    }
}

void StatoCalcolo::cancellaTutto() {
    Operazione op(*this);
    for (int i = 1; i <= kVoci; ++i) {
        if (!righe_[i].riferimento().testo.isEmpty() && !caricamento) vocerif[i] = 0;
    }
    esegui(Modifica{Modifica::Tipo::CancellaTutto, 0, {}, 0});
    for (int i = 1; i <= kVoci; ++i) costorif[i] = 0;
}

void StatoCalcolo::mostraAiuto() {
    Operazione op(*this);
    const QStringList righe{
        QStringLiteral("- Immettere un valore per ogni voce che interessa;"),
        QStringLiteral("- scegliere l'eventuale percentuale di calcolo in riferimento ad un'altra "
                       "voce;"),
        QStringLiteral("- scegliere la voce di riferimento per il calcolo della percentuale;"),
        QStringLiteral("- impostare, eventualmente, un valore vincolante per il totale progetto;"),
        QStringLiteral("- controllare i risultati ed apportare le modifiche ai dati, se "
                       "necessario;"),
        QStringLiteral("- visualizzare, con l'apposito tasto il quadro economico definitivo;"),
        QStringLiteral("- effettuare il controllo dei dati immessi cliccando sul tasto ABC."),
    };
    messaggio(righe.join(QLatin1Char('\r')), TestiProgramma::titoloaiuto, Icona::Informazione);
}

}  // namespace varimo
