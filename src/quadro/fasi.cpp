#include "quadro/fasi.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "quadro/anac.h"

namespace varimo::quadro {

namespace {

__extension__ typedef __int128 Grande;

// floor(n / d + 1/2) for d > 0: half up, as every amount of the framework.
Grande mezzoSu(Grande n, Grande d) {
    const Grande a = 2 * n + d;
    const Grande b = 2 * d;
    Grande q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

bool iniziaCon(const Voce& v, QLatin1StringView parola) {
    return v.tipo == Tipo::Importo && v.etichetta.trimmed().startsWith(parola, Qt::CaseInsensitive);
}

// The first amount item whose label begins with `parola`.
QString codiceCheInizia(const Quadro& q, QLatin1StringView parola) {
    for (const VoceInOrdine& v : vociInOrdine(q))
        if (iniziaCon(*v.voce, parola)) return v.voce->codice;
    return {};
}

const QString kChiaveManodopera = QStringLiteral("manodopera");

QString conFase(const Fase& f, int i, const QString& messaggio) {
    return QStringLiteral("Fase %1 («%2»): %3").arg(i + 1).arg(f.nome, messaggio);
}

bool variabile(TipoFase t) {
    return t == TipoFase::Variante || t == TipoFase::Finale;
}

// Where the economies item goes when the project has none: at the end of
// section B, else of the last top-level section, else at the top level; its
// code the first free one after its future neighbours'.
QString aggiungiEconomie(Quadro& q) {
    QList<Voce>* lista = &q.voci;
    QString prefisso;
    auto sezione = [&](qsizetype i) {
        lista = &q.voci[i].voci;
        prefisso = q.voci[i].codice + u'.';
    };
    for (qsizetype i = q.voci.size() - 1; i >= 0; --i)
        if (q.voci[i].tipo == Tipo::Sezione) {
            if (prefisso.isEmpty()) sezione(i);
            if (q.voci[i].codice == QLatin1String("B")) {
                sezione(i);
                break;
            }
        }
    QSet<QString> usati;
    for (const VoceInOrdine& v : vociInOrdine(q)) usati.insert(v.voce->codice);
    QString codice;
    for (qsizetype n = lista->size() + 1;; ++n) {
        codice = prefisso.isEmpty() ? QStringLiteral("E%1").arg(n) : prefisso + QString::number(n);
        if (!usati.contains(codice)) break;
    }
    Voce e;
    e.codice = codice;
    e.etichetta = kEtichettaEconomie;
    e.ribassabile = false;
    // The economies stay at the administration's disposal.
    impostaCategoriaAnac(e, QStringLiteral("sommeADisposizione"));
    lista->append(e);
    return codice;
}

}  // namespace

QString chiaveTipoFase(TipoFase t) {
    switch (t) {
        case TipoFase::Fattibilita:
            return QStringLiteral("fattibilita");
        case TipoFase::Esecutivo:
            return QStringLiteral("esecutivo");
        case TipoFase::Aggiudicazione:
            return QStringLiteral("aggiudicazione");
        case TipoFase::Variante:
            return QStringLiteral("variante");
        case TipoFase::Finale:
            return QStringLiteral("finale");
    }
    return {};
}

std::optional<TipoFase> tipoFaseDaChiave(const QString& chiave) {
    for (TipoFase t : {TipoFase::Fattibilita, TipoFase::Esecutivo, TipoFase::Aggiudicazione,
                       TipoFase::Variante, TipoFase::Finale})
        if (chiaveTipoFase(t) == chiave) return t;
    return std::nullopt;
}

QString nomeTipoFase(TipoFase t) {
    switch (t) {
        case TipoFase::Fattibilita:
            return QStringLiteral("Progetto di fattibilità tecnica ed economica");
        case TipoFase::Esecutivo:
            return QStringLiteral("Progetto esecutivo");
        case TipoFase::Aggiudicazione:
            return QStringLiteral("Aggiudicazione");
        case TipoFase::Variante:
            return QStringLiteral("Variante");
        case TipoFase::Finale:
            return QStringLiteral("Stato finale");
    }
    return {};
}

FileFasi fileDaQuadro(const FileQuadro& f) {
    FileFasi r;
    r.intestazione = f.intestazione;
    r.altri = f.altri;
    Fase fase;
    const QString t = f.intestazione.fase.trimmed();
    if (t.contains(QLatin1String("fattib"), Qt::CaseInsensitive))
        fase.tipo = TipoFase::Fattibilita;
    else if (t.contains(QLatin1String("aggiudic"), Qt::CaseInsensitive))
        fase.tipo = TipoFase::Aggiudicazione;
    else if (t.contains(QLatin1String("variant"), Qt::CaseInsensitive))
        fase.tipo = TipoFase::Variante;
    else if (t.contains(QLatin1String("final"), Qt::CaseInsensitive))
        fase.tipo = TipoFase::Finale;
    fase.nome = t.isEmpty() ? nomeTipoFase(fase.tipo) : t;
    fase.data = f.intestazione.data;
    fase.quadro = f.quadro;
    r.fasi.append(fase);
    return r;
}

// ---- Dates ------------------------------------------------------------------

QString dataItaliana(const QString& data) {
    const QDate d = QDate::fromString(data.trimmed(), Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : data;
}

std::optional<QString> dataIso(const QString& testo) {
    const QString t = testo.trimmed();
    if (t.isEmpty()) return QString();
    for (const QString& forma : {QStringLiteral("d/M/yyyy"), QStringLiteral("yyyy-MM-dd"),
                                 QStringLiteral("d.M.yyyy"), QStringLiteral("d-M-yyyy")}) {
        const QDate d = QDate::fromString(t, forma);
        if (d.isValid()) return d.toString(Qt::ISODate);
    }
    return std::nullopt;
}

// ---- Labour costs --------------------------------------------------------

std::optional<Centesimi> manodopera(const Voce& v, bool* errata) {
    if (errata) *errata = false;
    const QJsonValue m = v.altri.value(kChiaveManodopera);
    if (m.isUndefined()) return std::nullopt;
    const auto c = m.isString() ? leggiImportoFile(m.toString()) : std::nullopt;
    if ((!c || *c < 0) && errata) *errata = true;
    return c && *c >= 0 ? c : std::nullopt;
}

void impostaManodopera(Voce& v, std::optional<Centesimi> c) {
    if (c)
        v.altri.insert(kChiaveManodopera, testoImportoFile(*c));
    else
        v.altri.remove(kChiaveManodopera);
}

QString testoManodopera(const Voce& v) {
    if (v.tipo != Tipo::Importo) return {};
    const auto m = manodopera(v);
    return m ? QStringLiteral("di cui manodopera %1").arg(testoImporto(*m)) : QString();
}

QString regolaDocumenti(const Voce& v, const Valutazione* valutazione) {
    const QString regola = testoRegola(v, valutazione);
    return regola.isEmpty() ? testoManodopera(v) : regola;
}

// ---- Award ---------------------------------------------------------------

Centesimi ribassato(Centesimi importo, Millesimi ribasso) {
    ribasso = std::clamp<Millesimi>(ribasso, 0, kPercentualeMassima);
    return Centesimi(
        mezzoSu(Grande(importo) * (kPercentualeMassima - ribasso), Grande(kPercentualeMassima)));
}

Centesimi importoContrattuale(const Quadro& q, const Valutazione& v) {
    for (const Voce& cima : q.voci)
        if (cima.codice == QLatin1String("A")) return v.importo(cima.codice);
    Centesimi s = 0;
    for (const VoceInOrdine& x : vociInOrdine(q))
        if (x.voce->tipo == Tipo::Importo && ribassabile(q, x.percorso))
            s += v.importo(x.voce->codice);
    return s;
}

std::variant<Aggiudicazione, Problema> aggiudica(const Quadro& progetto, Millesimi ribasso,
                                                 bool ribassaManodopera, const Riferimenti& rif) {
    if (ribasso < 0 || ribasso > kPercentualeMassima)
        return Problema{QStringLiteral("Il ribasso deve essere compreso tra 0 e 100 per cento."),
                        {}};
    Aggiudicazione r;
    Quadro p = progetto;
    Riferimenti delProgetto = rif;
    delProgetto.gara.reset();
    auto v0 = ricalcola(p, delProgetto);
    if (auto* e = std::get_if<Problema>(&v0)) return *e;
    r.totaleFinanziato = std::get<Valutazione>(v0).totale;
    r.gara = std::get<Valutazione>(v0).importi;
    r.baseDiGara = importoContrattuale(p, std::get<Valutazione>(v0));
    // The award keeps the project's total as its funding, which cannot be
    // negative.
    if (r.totaleFinanziato < 0)
        return Problema{QStringLiteral("Il totale del progetto è negativo (%1): correggere le voci "
                                       "negative prima di calcolare l'aggiudicazione.")
                            .arg(testoImporto(r.totaleFinanziato)),
                        {}};

    Quadro& a = r.quadro;
    a = p;
    for (const VoceInOrdine& x : vociInOrdine(p)) {
        if (x.voce->tipo != Tipo::Importo || !ribassabile(p, x.percorso)) continue;
        bool errata = false;
        const auto m = manodopera(*x.voce, &errata);
        if (errata)
            return Problema{QStringLiteral("La manodopera della voce «%1» non è un importo "
                                           "positivo con al più due decimali.")
                                .arg(x.voce->codice),
                            {x.voce->codice}};
        const Centesimi importo = x.voce->importo;
        const Centesimi esclusa =
            ribassaManodopera
                ? 0
                : std::clamp<Centesimi>(m.value_or(0), 0, std::max<Centesimi>(importo, 0));
        const Centesimi dopo = esclusa + ribassato(importo - esclusa, ribasso);
        r.ribassoLavori += importo - dopo;
        r.manodoperaEsclusa += esclusa;
        voceA(a, x.percorso)->importo = dopo;
    }
    r.codiceEconomie = codiceCheInizia(a, QLatin1StringView("economie"));
    if (r.codiceEconomie.isEmpty()) r.codiceEconomie = aggiungiEconomie(a);
    a.vincolo.totale = r.totaleFinanziato;
    a.vincolo.compensa = r.codiceEconomie;
    Riferimenti dopo = delProgetto;
    dopo.gara = r.gara;
    auto v = ricalcola(a, dopo);
    if (auto* e = std::get_if<Problema>(&v)) return *e;
    r.valutazione = std::get<Valutazione>(std::move(v));
    if (r.valutazione.vincolo == EsitoVincolo::Irraggiungibile)
        return Problema{QStringLiteral("Dopo il ribasso il totale supera quello del progetto anche "
                                       "senza economie: controllare le voci negative soggette a "
                                       "ribasso."),
                        {r.codiceEconomie}};
    r.economie = r.valutazione.importo(r.codiceEconomie);
    r.contratto = importoContrattuale(a, r.valutazione);
    return r;
}

// ---- A phase computed ------------------------------------------------------

Riferimenti riferimentiFase(const FileFasi& f, int i) {
    Riferimenti r;
    if (i < 0 || i >= f.fasi.size()) return r;
    r.data = f.fasi[i].data.isEmpty() ? f.intestazione.data : f.fasi[i].data;
    if (!variabile(f.fasi[i].tipo)) return r;
    for (int j = i - 1; j >= 0; --j) {
        const Fase& g = f.fasi[j];
        if (g.tipo != TipoFase::Aggiudicazione) continue;
        // The award's own items are the project's, before the discount.
        Quadro progetto = g.quadro;
        Riferimenti suo = riferimentiFase(f, j);
        if (auto v = ricalcola(progetto, suo); auto* val = std::get_if<Valutazione>(&v))
            r.gara = val->importi;
        break;
    }
    return r;
}

std::variant<FaseCalcolata, Problema> calcolaFase(const FileFasi& f, int i) {
    return calcolaFase(f.fasi.at(i), riferimentiFase(f, i));
}

std::variant<FaseCalcolata, Problema> calcolaFase(const Fase& f, const Riferimenti& rif) {
    Riferimenti r = rif;
    if (r.data.isEmpty()) r.data = f.data;
    FaseCalcolata c;
    if (f.tipo == TipoFase::Aggiudicazione && f.ribasso) {
        auto a = aggiudica(f.quadro, *f.ribasso, f.ribassaManodopera, r);
        if (auto* e = std::get_if<Problema>(&a)) return *e;
        c.aggiudicazione = std::get<Aggiudicazione>(std::move(a));
        c.quadro = c.aggiudicazione->quadro;
        c.valutazione = c.aggiudicazione->valutazione;
        c.contratto = c.aggiudicazione->contratto;
        return c;
    }
    c.quadro = f.quadro;
    auto v = ricalcola(c.quadro, r);
    if (auto* e = std::get_if<Problema>(&v)) return *e;
    c.valutazione = std::get<Valutazione>(std::move(v));
    c.contratto = importoContrattuale(c.quadro, c.valutazione);
    return c;
}

namespace {

// The increase of `dopo` over `prima` in thousandths of a per cent, half up.
qint64 aumentoInMillesimi(Centesimi prima, Centesimi dopo) {
    return qint64(mezzoSu(Grande(dopo - prima) * kPercentualeMassima, Grande(prima)));
}

}  // namespace

std::variant<QList<Andamento>, Problema> andamento(const FileFasi& f) {
    SequenzaFasi s(f.intestazione);
    for (const Fase& fase : f.fasi) s.aggiungi(fase);
    return s.andamenti();
}

QList<DatoDellaFase> datiDellaFase(const FileFasi& f, int i) {
    QList<DatoDellaFase> dati;
    if (i < 0 || i >= f.fasi.size()) return dati;
    const Fase& fase = f.fasi[i];
    if (fase.tipo == TipoFase::Aggiudicazione && fase.ribasso) {
        auto c = calcolaFase(f, i);
        const auto* fc = std::get_if<FaseCalcolata>(&c);
        if (!fc || !fc->aggiudicazione) return dati;
        const Aggiudicazione& a = *fc->aggiudicazione;
        dati.append({QStringLiteral("Importo a base di gara"), testoImporto(a.baseDiGara)});
        dati.append({QStringLiteral("Ribasso d'asta"),
                     testoPercentuale(*fase.ribasso) + QStringLiteral(" %")});
        if (a.manodoperaEsclusa > 0)
            dati.append({QStringLiteral("Costi della manodopera non soggetti a ribasso"),
                         testoImporto(a.manodoperaEsclusa)});
        dati.append({QStringLiteral("Importo contrattuale"), testoImporto(a.contratto)});
        dati.append({kEtichettaEconomie, testoImporto(a.economie)});
        return dati;
    }
    if (fase.tipo != TipoFase::Variante) return dati;
    if (fase.atto && !(fase.atto->numero.isEmpty() && fase.atto->data.isEmpty())) {
        QString atto;
        if (!fase.atto->numero.isEmpty()) atto = QStringLiteral("n. ") + fase.atto->numero;
        if (!fase.atto->data.isEmpty())
            atto += (atto.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("del ") +
                    dataItaliana(fase.atto->data);
        dati.append({QStringLiteral("Atto di approvazione"), atto});
    }
    auto an = andamento(f);
    const auto* lista = std::get_if<QList<Andamento>>(&an);
    if (!lista) return dati;
    const Andamento& a = (*lista)[i];
    dati.append({QStringLiteral("Importo contrattuale"), testoImporto(a.contratto)});
    if (a.contrattoAggiudicato) {
        const Centesimi base = *a.contrattoAggiudicato;
        QString aumento = (a.contratto >= base ? QStringLiteral("+") : QString()) +
                          testoImporto(a.contratto - base);
        if (base > 0) {
            const qint64 m = aumentoInMillesimi(base, a.contratto);
            if (qAbs(m) <= qint64(kPercentualeMassima) * 100)
                aumento += QStringLiteral(" (%1%2 %)")
                               .arg(m >= 0 ? QStringLiteral("+") : QString(),
                                    testoPercentuale(Millesimi(m)));
        }
        dati.append({QStringLiteral("Variazione sull'importo contrattuale dell'aggiudicazione (%1)")
                         .arg(testoImporto(base)),
                     aumento});
    }
    if (fase.limite) {
        QString limite = testoPercentuale(fase.limite->percentuale) + QStringLiteral(" %");
        if (!fase.limite->articolo.trimmed().isEmpty())
            limite += QStringLiteral(", ") + fase.limite->articolo.trimmed();
        dati.append({QStringLiteral("Limite della variante"), limite});
    }
    if (!a.avviso.isEmpty()) dati.append({QStringLiteral("Avviso"), a.avviso});
    return dati;
}

// ---- Editing phases ------------------------------------------------------

TipoFase tipoSeguente(TipoFase t) {
    switch (t) {
        case TipoFase::Fattibilita:
            return TipoFase::Esecutivo;
        case TipoFase::Esecutivo:
            return TipoFase::Aggiudicazione;
        case TipoFase::Aggiudicazione:
        case TipoFase::Variante:
            return TipoFase::Variante;
        case TipoFase::Finale:
            return TipoFase::Finale;
    }
    return TipoFase::Variante;
}

int indiceFase(const FileFasi& f, const QString& nome) {
    for (int i = 0; i < f.fasi.size(); ++i)
        if (f.fasi[i].nome == nome) return i;
    return -1;
}

QString nomeNuovaFase(const FileFasi& f, TipoFase t) {
    QString base = nomeTipoFase(t);
    if (t == TipoFase::Variante) {
        int n = 1;
        for (const Fase& x : f.fasi)
            if (x.tipo == TipoFase::Variante) ++n;
        for (;; ++n)
            if (QString s = QStringLiteral("Variante n. %1").arg(n); indiceFase(f, s) < 0)
                return s;
    }
    if (indiceFase(f, base) < 0) return base;
    for (int n = 2;; ++n)
        if (QString s = QStringLiteral("%1 (%2)").arg(base).arg(n); indiceFase(f, s) < 0)
            return s;
}

std::variant<int, QString> nuovaFase(FileFasi& f, int da, TipoFase tipo, const QString& nome,
                                     const QString& data) {
    if (da < 0 || da >= f.fasi.size()) return QStringLiteral("Non c'è una fase da copiare.");
    const QString n = nome.trimmed();
    if (n.isEmpty()) return QStringLiteral("La nuova fase deve avere un nome.");
    if (indiceFase(f, n) >= 0) return QStringLiteral("Esiste già una fase di nome «%1».").arg(n);
    const Fase& origine = f.fasi[da];
    Fase nuova;
    nuova.nome = n;
    nuova.tipo = tipo;
    nuova.data = data;
    nuova.quadro = origine.quadro;
    if (origine.tipo == TipoFase::Aggiudicazione && origine.ribasso) {
        auto a = aggiudica(origine.quadro, *origine.ribasso, origine.ribassaManodopera,
                           riferimentiFase(f, da));
        if (auto* e = std::get_if<Problema>(&a)) return conFase(origine, da, e->messaggio);
        const Aggiudicazione& g = std::get<Aggiudicazione>(a);
        nuova.quadro = g.quadro;
        // A variant draws on the contingencies first when the project fixed its
        // total with them; else on the economies.
        if (origine.quadro.vincolo.totale && !codiceCompensa(origine.quadro).isEmpty())
            nuova.quadro.vincolo.compensa = origine.quadro.vincolo.compensa;
    }
    if (tipo == TipoFase::Aggiudicazione) nuova.ribasso = 0;
    if (tipo == TipoFase::Variante) {
        nuova.atto = Atto{};
        for (int j = da; j >= 0 && !nuova.limite; --j)
            if (f.fasi[j].limite) nuova.limite = f.fasi[j].limite;
    }
    f.fasi.insert(da + 1, nuova);
    return da + 1;
}

EsitoFase modificaFase(FileFasi& f, int i, const std::function<EsitoFase(Fase&)>& modifica) {
    if (i < 0 || i >= f.fasi.size()) return QStringLiteral("La fase non esiste.");
    if (f.fasi[i].bloccata)
        return QStringLiteral("La fase «%1» è bloccata: sbloccarla prima di modificarla.")
            .arg(f.fasi[i].nome);
    Fase copia = f.fasi[i];
    if (auto e = modifica(copia)) return e;
    copia.bloccata = f.fasi[i].bloccata;
    if (copia.nome != f.fasi[i].nome) {
        copia.nome = copia.nome.trimmed();
        if (copia.nome.isEmpty()) return QStringLiteral("La fase deve avere un nome.");
        if (indiceFase(f, copia.nome) >= 0)
            return QStringLiteral("Esiste già una fase di nome «%1».").arg(copia.nome);
    }
    if (copia.ribasso && (*copia.ribasso < 0 || *copia.ribasso > kPercentualeMassima))
        return QStringLiteral("Il ribasso deve essere compreso tra 0 e 100 per cento.");
    f.fasi[i] = std::move(copia);
    return std::nullopt;
}

EsitoFase modificaQuadroFase(FileFasi& f, int i,
                             const std::function<EsitoFase(Quadro&)>& modifica) {
    return modificaFase(f, i, [&](Fase& fase) { return modifica(fase.quadro); });
}

void bloccaFase(FileFasi& f, int i, bool bloccata) {
    if (i >= 0 && i < f.fasi.size()) f.fasi[i].bloccata = bloccata;
}

EsitoFase rimuoviFase(FileFasi& f, int i) {
    if (i < 0 || i >= f.fasi.size()) return QStringLiteral("La fase non esiste.");
    if (f.fasi.size() == 1) return QStringLiteral("Il file deve avere almeno una fase.");
    if (f.fasi[i].bloccata)
        return QStringLiteral("La fase «%1» è bloccata: sbloccarla prima di rimuoverla.")
            .arg(f.fasi[i].nome);
    f.fasi.removeAt(i);
    return std::nullopt;
}

// ---- Comparison ----------------------------------------------------------

Centesimi Confronto::differenza(const RigaConfronto& r) const {
    if (!haDifferenza()) return 0;
    return r.importi.value(a).value_or(0) - r.importi.value(da).value_or(0);
}

Centesimi Confronto::differenzaTotale() const {
    if (!haDifferenza()) return 0;
    return totali.value(a) - totali.value(da);
}

std::variant<ConfrontoCalcolato, Problema> calcolaConfronto(const FileFasi& f,
                                                           const QList<int>& scelte, int da,
                                                           int a) {
    for (int i : scelte)
        if (i < 0 || i >= f.fasi.size())
            return Problema{QStringLiteral("La fase scelta per il confronto non esiste."), {}};
    SequenzaFasi s(f.intestazione, scelte);
    for (const Fase& fase : f.fasi) s.aggiungi(fase);
    return s.confronto(da, a);
}

std::variant<Confronto, Problema> confronta(const FileFasi& f, const QList<int>& scelte, int da,
                                            int a) {
    auto c = calcolaConfronto(f, scelte, da, a);
    if (auto* p = std::get_if<Problema>(&c)) return *p;
    return std::get<ConfrontoCalcolato>(std::move(c)).confronto;
}

// ---- The phases one at a time ----------------------------------------------

struct SequenzaFasi::Stato {
    Intestazione intestazione;
    QList<int> scelte;  // empty: all
    int indice = 0;     // the phases met so far

    // What the next phases are computed with and measured against.
    std::optional<QHash<QString, Centesimi>> progettoGara;  // the last award's project
    std::optional<FaseCalcolata> ultimaNonVariabile;        // the funds of a variant
    std::optional<FaseCalcolata> ultimaGara;                // the economies
    std::optional<Centesimi> contrattoGara;                 // the last award's contract

    QList<Andamento> andamenti;
    std::optional<Problema> problemaAndamenti;

    Confronto confronto;
    QHash<QString, int> posizione;
    std::optional<Problema> problemaConfronto;
    QStringList date;
    QList<StrutturaFase> strutture;
    // One copy of each code, shared by the rows and the phases' make.
    QHash<QString, QString> codici;

    QString codice(const QString& c) {
        const auto it = codici.constFind(c);
        if (it != codici.constEnd()) return *it;
        codici.insert(c, c);
        return c;
    }
    QList<int> colonne(int i) const {
        if (scelte.isEmpty()) return {i};
        QList<int> k;
        for (int x = 0; x < scelte.size(); ++x)
            if (scelte[x] == i) k.append(x);
        return k;
    }
    void colonna(const Fase& fase, int k, const FaseCalcolata& fc);
    Andamento andamento(const Fase& fase, const FaseCalcolata& fc) const;
};

SequenzaFasi::SequenzaFasi(Intestazione intestazione, QList<int> scelte)
    : s_(std::make_unique<Stato>()) {
    s_->intestazione = std::move(intestazione);
    s_->scelte = std::move(scelte);
    const qsizetype n = s_->scelte.size();
    s_->confronto.fasi = s_->scelte;
    s_->confronto.nomi.resize(n);
    s_->confronto.totali.resize(n);
    s_->confronto.contratti.resize(n);
    s_->date.resize(n);
    s_->strutture.resize(n);
}

SequenzaFasi::~SequenzaFasi() = default;

void SequenzaFasi::aggiungi(const Fase& fase) {
    Stato& s = *s_;
    const int i = s.indice++;
    Riferimenti r;
    r.data = fase.data.isEmpty() ? s.intestazione.data : fase.data;
    if (variabile(fase.tipo)) r.gara = s.progettoGara;
    auto calcolo = calcolaFase(fase, r);
    const QList<int> colonne = s.colonne(i);
    if (auto* e = std::get_if<Problema>(&calcolo)) {
        const Problema p{conFase(fase, i, e->messaggio), e->codici};
        if (!s.problemaAndamenti) s.problemaAndamenti = p;
        if (!colonne.isEmpty() && !s.problemaConfronto) s.problemaConfronto = p;
    } else {
        const FaseCalcolata& fc = std::get<FaseCalcolata>(calcolo);
        if (!s.problemaAndamenti) s.andamenti.append(s.andamento(fase, fc));
        if (!s.problemaConfronto)
            for (int k : colonne) s.colonna(fase, k, fc);
        if (!variabile(fase.tipo)) s.ultimaNonVariabile = fc;
        if (fase.tipo == TipoFase::Aggiudicazione) {
            s.ultimaGara = fc;
            s.contrattoGara = fc.contratto;
        }
    }
    if (fase.tipo == TipoFase::Aggiudicazione) {
        // The award's own items are the project's, before the discount: the
        // items on the tender base of the phases after it keep their amounts.
        Quadro progetto = fase.quadro;
        s.progettoGara.reset();
        if (auto v = ricalcola(progetto, Riferimenti{r.data, {}, nullptr});
            auto* val = std::get_if<Valutazione>(&v))
            s.progettoGara = val->importi;
        // An award that cannot be computed leaves nothing to measure against.
        if (std::holds_alternative<Problema>(calcolo)) {
            s.ultimaGara.reset();
            s.contrattoGara.reset();
        }
    }
}

Andamento SequenzaFasi::Stato::andamento(const Fase& fase, const FaseCalcolata& fc) const {
    Andamento a;
    a.contratto = fc.contratto;
    // The contingencies are measured against the phase a variant draws from
    // (the last one before it that is not a variant or the final account),
    // the economies against the award.
    const FaseCalcolata* base = variabile(fase.tipo) && ultimaNonVariabile
                                    ? &*ultimaNonVariabile
                                    : nullptr;
    const FaseCalcolata* gara =
        fase.tipo != TipoFase::Aggiudicazione && ultimaGara ? &*ultimaGara : nullptr;
    auto fondo = [&](QLatin1StringView parola, const FaseCalcolata* riferimento) {
        Fondo x;
        x.codice = codiceCheInizia(fc.quadro, parola);
        if (x.codice.isEmpty()) return x;
        x.residuo = fc.valutazione.importo(x.codice);
        x.disponibile = x.residuo;
        if (riferimento) {
            QString r = x.codice;
            if (!trovaVoce(riferimento->quadro, r)) r = codiceCheInizia(riferimento->quadro, parola);
            if (!r.isEmpty()) x.disponibile = riferimento->valutazione.importo(r);
        }
        x.usato = x.disponibile - x.residuo;
        return x;
    };
    a.imprevisti = fondo(QLatin1StringView("imprevisti"), base);
    a.economie = fondo(QLatin1StringView("economie"), gara);
    a.contrattoAggiudicato = contrattoGara;
    if (fase.tipo == TipoFase::Variante && fase.limite && a.contrattoAggiudicato) {
        const Centesimi base = *a.contrattoAggiudicato;
        const Centesimi aumento = a.contratto - base;
        const bool oltre = base > 0 ? Grande(aumento) * kPercentualeMassima >
                                          Grande(fase.limite->percentuale) * base
                                    : aumento > 0;
        if (oltre) {
            QString quanto = testoImporto(aumento);
            if (base > 0) {
                const qint64 m = aumentoInMillesimi(base, a.contratto);
                quanto += QStringLiteral(", ") +
                          (m > kPercentualeMassima * 100 ? QStringLiteral("oltre il 10000")
                                                         : testoPercentuale(Millesimi(m))) +
                          QStringLiteral(" %");
            }
            a.avviso = QStringLiteral(
                           "La variante «%1» porta l'importo contrattuale da %2 a %3 "
                           "(+%4): oltre il limite del %5 %")
                           .arg(fase.nome, testoImporto(base), testoImporto(a.contratto), quanto,
                                testoPercentuale(fase.limite->percentuale));
            if (!fase.limite->articolo.trimmed().isEmpty())
                a.avviso += QStringLiteral(" previsto da ") + fase.limite->articolo.trimmed();
            a.avviso += u'.';
        }
    }
    return a;
}

void SequenzaFasi::Stato::colonna(const Fase& fase, int k, const FaseCalcolata& fc) {
    Confronto& c = confronto;
    if (k >= c.nomi.size()) {  // every phase, in the file's order
        c.fasi.append(k);
        c.nomi.resize(k + 1);
        c.totali.resize(k + 1);
        c.contratti.resize(k + 1);
        date.resize(k + 1);
        strutture.resize(k + 1);
    }
    c.nomi[k] = fase.nome;
    c.totali[k] = fc.valutazione.totale;
    c.contratti[k] = fc.contratto;
    date[k] = fase.data;
    StrutturaFase& st = strutture[k];
    for (const Voce& v : fc.quadro.voci) st.cime.append(codice(v.codice));
    int precedente = -1;  // the row of this phase's previous item
    for (const VoceInOrdine& v : vociInOrdine(fc.quadro)) {
        if (v.voce->tipo == Tipo::Sezione && !v.voce->voci.isEmpty()) {
            QStringList figli;
            for (const Voce& x : v.voce->voci) figli.append(codice(x.codice));
            st.figli.insert(codice(v.voce->codice), figli);
        }
        auto it = posizione.constFind(v.voce->codice);
        int riga;
        if (it != posizione.constEnd()) {
            riga = *it;
        } else {
            riga = precedente + 1;
            RigaConfronto r;
            r.codice = codice(v.voce->codice);
            c.righe.insert(riga, r);
            if (riga == c.righe.size() - 1) {
                posizione.insert(r.codice, riga);
            } else {
                for (int j = riga; j < c.righe.size(); ++j) posizione.insert(c.righe[j].codice, j);
            }
        }
        RigaConfronto& r = c.righe[riga];
        r.etichetta = v.voce->etichetta;
        r.profondita = v.profondita;
        r.sezione = v.voce->tipo == Tipo::Sezione;
        if (r.importi.size() <= k) r.importi.resize(k + 1);
        r.importi[k] = fc.valutazione.importo(v.voce->codice);
        precedente = riga;
    }
}

std::variant<ConfrontoCalcolato, Problema> SequenzaFasi::confronto(int da, int a) {
    Stato& s = *s_;
    if (s.problemaConfronto) return *s.problemaConfronto;
    for (int i : s.scelte)
        if (i < 0 || i >= s.indice)
            return Problema{QStringLiteral("La fase scelta per il confronto non esiste."), {}};
    ConfrontoCalcolato cc;
    cc.intestazione = s.intestazione;
    cc.confronto = std::move(s.confronto);
    cc.date = std::move(s.date);
    cc.strutture = std::move(s.strutture);
    if (!s.problemaAndamenti) cc.andamenti = s.andamenti;
    Confronto& c = cc.confronto;
    const int n = int(c.nomi.size());
    for (RigaConfronto& r : c.righe) r.importi.resize(n);
    if (n >= 2) {
        c.da = da < 0 ? n - 2 : da;
        c.a = a < 0 ? n - 1 : a;
        if (c.da >= n || c.a >= n)
            return Problema{QStringLiteral("Le colonne della differenza non sono tra quelle "
                                           "confrontate."),
                            {}};
    }
    return cc;
}

std::variant<QList<Andamento>, Problema> SequenzaFasi::andamenti() const {
    if (s_->problemaAndamenti) return *s_->problemaAndamenti;
    return s_->andamenti;
}

}  // namespace varimo::quadro
