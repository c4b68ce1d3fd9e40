#include "quadro/modifiche.h"

#include <QRegularExpression>
#include <QSet>

#include "quadro/anac.h"
#include "quadro/fasi.h"

namespace varimo::quadro {

namespace {

QList<Voce>* listaDi(Quadro& q, const Percorso& genitore) {
    if (genitore.isEmpty()) return &q.voci;
    Voce* v = voceA(q, genitore);
    return v ? &v->voci : nullptr;
}

// Runs an edit on a copy and keeps it only when the result is a sound
// framework: nothing is ever half-applied.
EsitoModifica applica(Quadro& q, const std::function<EsitoModifica(Quadro&)>& modifica) {
    Quadro copia = q;
    if (auto e = modifica(copia)) return e;
    if (const auto p = verifica(copia)) return p->messaggio;
    q = std::move(copia);
    return std::nullopt;
}

void codiciSotto(const Voce& v, QSet<QString>& out) {
    out.insert(v.codice);
    for (const Voce& f : v.voci) codiciSotto(f, out);
}

QString codiceLibero(const Quadro& q, const QString& genitore, int da) {
    QSet<QString> usati;
    for (const VoceInOrdine& v : vociInOrdine(q)) usati.insert(v.voce->codice);
    if (genitore.isEmpty()) {
        for (char c = 'A'; c <= 'Z'; ++c)
            if (!usati.contains(QString(QLatin1Char(c)))) return QString(QLatin1Char(c));
    }
    const QString base = genitore.isEmpty() ? QStringLiteral("V") : genitore + u'.';
    for (int k = std::max(1, da);; ++k)
        if (!usati.contains(base + QString::number(k))) return base + QString::number(k);
}

// The item that must stay an amount: the absorbing item while a fixed total
// is set, or the one named for it.
QString compensaAttiva(const Quadro& q) {
    return q.vincolo.totale ? codiceCompensa(q) : q.vincolo.compensa;
}

bool codiceValido(const QString& c) {
    if (c.isEmpty()) return false;
    for (const QChar ch : c)
        if (ch.isSpace() || ch.category() == QChar::Other_Control) return false;
    return true;
}

}  // namespace

EsitoModifica aggiungiVoce(Quadro& q, const Percorso& dopo, bool dentro, Percorso* nuovo) {
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Voce v;
        v.etichetta = QStringLiteral("Nuova voce");
        Percorso p;
        const Voce* rif = dopo.isEmpty() ? nullptr : voceA(c, dopo);
        if (!dopo.isEmpty() && !rif) return QStringLiteral("La voce scelta non esiste più.");
        // A new item counts in ANAC's data where its neighbour does (the item
        // it follows, or the last one of the section it enters).
        const Voce* vicina = rif && dentro && rif->tipo == Tipo::Sezione
                                 ? (rif->voci.isEmpty() ? nullptr : &rif->voci.last())
                                 : rif;
        if (vicina && vicina->tipo != Tipo::Sezione)
            impostaCategoriaAnac(v, categoriaAnac(*vicina));
        if (rif && dentro && rif->tipo == Tipo::Sezione) {
            v.codice = codiceLibero(c, rif->codice, int(rif->voci.size()) + 1);
            p = dopo;
            p.append(int(rif->voci.size()));
            voceA(c, dopo)->voci.append(v);
        } else {
            Percorso genitore = dopo;
            if (!genitore.isEmpty()) genitore.removeLast();
            const Voce* g = genitore.isEmpty() ? nullptr : voceA(c, genitore);
            QList<Voce>* lista = listaDi(c, genitore);
            const int posto = dopo.isEmpty() ? int(lista->size()) : dopo.last() + 1;
            v.codice = codiceLibero(c, g ? g->codice : QString(), posto + 1);
            lista->insert(posto, v);
            p = genitore;
            p.append(posto);
        }
        if (nuovo) *nuovo = p;
        return std::nullopt;
    });
}

EsitoModifica rimuoviVoce(Quadro& q, const Percorso& p) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    QSet<QString> via;
    codiciSotto(*v, via);
    QStringList chi;
    for (const VoceInOrdine& o : vociInOrdine(q)) {
        if (via.contains(o.voce->codice)) continue;
        for (const QString& d : o.voce->di)
            if (via.contains(d)) {
                chi.append(QStringLiteral("«%1»").arg(o.voce->codice));
                break;
            }
    }
    if (!chi.isEmpty())
        return QStringLiteral("La voce «%1» non può essere eliminata: è usata nella regola di %2.")
            .arg(v->codice, chi.join(QStringLiteral(", ")));
    if (!q.vincolo.compensa.isEmpty() && via.contains(q.vincolo.compensa))
        return QStringLiteral(
                   "La voce «%1» non può essere eliminata: compensa il totale "
                   "vincolato.")
            .arg(q.vincolo.compensa);
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Percorso genitore = p;
        genitore.removeLast();
        listaDi(c, genitore)->removeAt(p.last());
        return std::nullopt;
    });
}

EsitoModifica rientraVoce(Quadro& q, const Percorso& p, Percorso* nuovo) {
    if (p.isEmpty() || p.last() == 0)
        return QStringLiteral(
            "Non c'è una voce sopra, allo stesso livello, in cui farla rientrare.");
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Percorso genitore = p;
        genitore.removeLast();
        QList<Voce>* lista = listaDi(c, genitore);
        Voce& sopra = (*lista)[p.last() - 1];
        if (sopra.tipo == Tipo::Percentuale || sopra.tipo == Tipo::Tabella)
            return QStringLiteral("La voce «%1» ha una regola e non può contenere voci.")
                .arg(sopra.codice);
        if (sopra.tipo == Tipo::Importo && compensaAttiva(c) == sopra.codice)
            return QStringLiteral(
                       "La voce «%1» compensa il totale vincolato e non può diventare "
                       "una sezione.")
                .arg(sopra.codice);
        sopra.tipo = Tipo::Sezione;
        sopra.importo = 0;
        Voce v = lista->takeAt(p.last());  // `sopra` is not used past this point
        Voce& sezione = (*lista)[p.last() - 1];
        sezione.voci.append(std::move(v));
        if (nuovo) {
            *nuovo = genitore;
            nuovo->append(p.last() - 1);
            nuovo->append(int(sezione.voci.size()) - 1);
        }
        return std::nullopt;
    });
}

EsitoModifica sporgiVoce(Quadro& q, const Percorso& p, Percorso* nuovo) {
    if (p.size() < 2) return QStringLiteral("La voce è già al primo livello.");
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Percorso genitore = p;
        genitore.removeLast();
        Percorso nonno = genitore;
        nonno.removeLast();
        Voce v = listaDi(c, genitore)->takeAt(p.last());
        listaDi(c, nonno)->insert(genitore.last() + 1, v);
        if (nuovo) {
            *nuovo = nonno;
            nuovo->append(genitore.last() + 1);
        }
        return std::nullopt;
    });
}

EsitoModifica spostaVoce(Quadro& q, const Percorso& p, int verso, Percorso* nuovo) {
    if (p.isEmpty()) return QStringLiteral("Nessuna voce scelta.");
    Percorso genitore = p;
    genitore.removeLast();
    QList<Voce>* lista = listaDi(q, genitore);
    const int dove = p.last() + (verso < 0 ? -1 : 1);
    if (!lista || dove < 0 || dove >= lista->size())
        return QStringLiteral("La voce non può andare oltre.");
    lista->swapItemsAt(p.last(), dove);
    if (nuovo) {
        *nuovo = genitore;
        nuovo->append(dove);
    }
    return std::nullopt;
}

EsitoModifica cambiaCodice(Quadro& q, const Percorso& p, const QString& codiceNuovo) {
    const QString codice = codiceNuovo.trimmed();
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->codice == codice) return std::nullopt;
    if (!codiceValido(codice))
        return QStringLiteral(
                   "Il codice «%1» non è valido: non può essere vuoto né contenere "
                   "spazi.")
            .arg(codice);
    if (trovaVoce(q, codice))
        return QStringLiteral("Il codice «%1» è già usato da un'altra voce.").arg(codice);
    const QString vecchio = v->codice;
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        voceA(c, p)->codice = codice;
        for (const VoceInOrdine& o : vociInOrdine(c))
            if (o.voce->di.contains(vecchio))
                for (QString& d : voceA(c, o.percorso)->di)
                    if (d == vecchio) d = codice;
        if (c.vincolo.compensa == vecchio) c.vincolo.compensa = codice;
        return std::nullopt;
    });
}

EsitoModifica cambiaTipo(Quadro& q, const Percorso& p, Tipo tipo, Centesimi importoAttuale) {
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Voce* v = voceA(c, p);
        if (!v) return QStringLiteral("La voce scelta non esiste più.");
        if (v->tipo == tipo) return std::nullopt;
        if (v->tipo == Tipo::Sezione && !v->voci.isEmpty())
            return QStringLiteral(
                       "La sezione «%1» contiene voci: per cambiarne il tipo "
                       "spostarle o eliminarle prima.")
                .arg(v->codice);
        if (compensaAttiva(c) == v->codice && tipo != Tipo::Importo)
            return QStringLiteral(
                       "La voce «%1» compensa il totale vincolato e deve restare un "
                       "importo.")
                .arg(v->codice);
        v->tipo = tipo;
        v->importo = tipo == Tipo::Importo ? importoAttuale : 0;
        if (tipo != Tipo::Percentuale) v->percentuale = 0;
        if (tipo != Tipo::Tabella) v->tabella.clear();
        if (tipo != Tipo::Percentuale && tipo != Tipo::Tabella) {
            v->di.clear();
            v->sullaBaseDiGara = false;
        }
        if (tipo != Tipo::Importo) impostaManodopera(*v, std::nullopt);
        return std::nullopt;
    });
}

namespace {

// Whether the item at `p` may take a rule on the items `di`: not a section
// with children, not the absorbing item, every listed code an item.
EsitoModifica puoAvereRegola(const Quadro& q, const Percorso& p, const QStringList& di,
                             const QString& esempio) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->tipo == Tipo::Sezione && !v->voci.isEmpty())
        return QStringLiteral("La sezione «%1» contiene voci: il suo importo è la loro somma.")
            .arg(v->codice);
    if (compensaAttiva(q) == v->codice)
        return QStringLiteral(
                   "La voce «%1» compensa il totale vincolato e deve restare un "
                   "importo.")
            .arg(v->codice);
    for (const QString& d : di)
        if (!trovaVoce(q, d)) return QStringLiteral("La voce «%1» non esiste.").arg(d) + esempio;
    return std::nullopt;
}

}  // namespace

EsitoModifica impostaRegola(Quadro& q, const Percorso& p, const QString& regola,
                            Centesimi importoAttuale) {
    QString testo = regola.trimmed();
    if (testo.isEmpty()) return cambiaTipo(q, p, Tipo::Importo, importoAttuale);
    static const QRegularExpression suBase(QStringLiteral("[,;]?\\s*sulla\\s+base\\s+di\\s+gara$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const bool base = suBase.match(testo).hasMatch();
    if (base) testo = testo.remove(suBase).trimmed();
    static const QRegularExpression formaTabella(
        QStringLiteral("^tabella\\s+(\\S+)(?:\\s+\\d{4})?\\s*(?:di\\s+(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separatori(QStringLiteral("[\\s+;,]+"));
    // The codes of a rule's list; "nessuna voce", as the window writes an
    // empty one, is none.
    auto codici = [](const QString& elenco) {
        if (elenco.trimmed().compare(QLatin1String("nessuna voce"), Qt::CaseInsensitive) == 0)
            return QStringList();
        return elenco.split(separatori, Qt::SkipEmptyParts);
    };
    if (const auto t = formaTabella.match(testo); t.hasMatch()) {
        const QString nome = t.captured(1);
        const QStringList di = codici(t.captured(2));
        if (auto e = puoAvereRegola(q, p, di, {})) return e;
        return applica(q, [&](Quadro& c) -> EsitoModifica {
            Voce* w = voceA(c, p);
            w->tipo = Tipo::Tabella;
            w->importo = 0;
            w->percentuale = 0;
            w->tabella = nome;
            w->di = di;
            w->sullaBaseDiGara = base;
            impostaManodopera(*w, std::nullopt);
            return std::nullopt;
        });
    }
    static const QRegularExpression forma(QStringLiteral("^([0-9.,]+)\\s*%?\\s*(?:di\\s+(.*))?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto m = forma.match(testo);
    const QString esempio = QStringLiteral(" Scrivere per esempio «22 % di B.8 + B.8.c».");
    if (!m.hasMatch())
        return QStringLiteral("La regola «%1» non è comprensibile.").arg(testo) + esempio;
    const auto perc = leggiPercentualeItaliana(m.captured(1));
    if (!perc)
        return QStringLiteral(
                   "La percentuale «%1» non è un numero da 0 a 100 con al più tre "
                   "decimali (virgola decimale).")
            .arg(m.captured(1));
    const QStringList di = codici(m.captured(2));
    if (auto e = puoAvereRegola(q, p, di, esempio)) return e;
    return applica(q, [&](Quadro& c) -> EsitoModifica {
        Voce* w = voceA(c, p);
        w->tipo = Tipo::Percentuale;
        w->importo = 0;
        w->percentuale = *perc;
        w->tabella.clear();
        w->di = di;
        w->sullaBaseDiGara = base;
        impostaManodopera(*w, std::nullopt);
        return std::nullopt;
    });
}

EsitoModifica impostaManodoperaVoce(Quadro& q, const Percorso& p, std::optional<Centesimi> c) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->tipo != Tipo::Importo)
        return QStringLiteral("La manodopera si indica solo nelle voci a importo: «%1» non lo è.")
            .arg(v->codice);
    if (c && *c < 0)
        return QStringLiteral("La manodopera della voce «%1» non può essere negativa.")
            .arg(v->codice);
    if (c && *c > std::max<Centesimi>(v->importo, 0))
        return QStringLiteral("La manodopera della voce «%1» (%2) supera il suo importo (%3).")
            .arg(v->codice, testoImporto(*c), testoImporto(v->importo));
    return applica(q, [&](Quadro& x) -> EsitoModifica {
        impostaManodopera(*voceA(x, p), c);
        return std::nullopt;
    });
}

EsitoModifica impostaRibassabile(Quadro& q, const Percorso& p, bool ribassabile) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->tipo != Tipo::Importo)
        return QStringLiteral("Il ribasso d'asta riduce solo le voci a importo: «%1» non lo è.")
            .arg(v->codice);
    return applica(q, [&](Quadro& x) -> EsitoModifica {
        voceA(x, p)->ribassabile = ribassabile;
        return std::nullopt;
    });
}

EsitoModifica impostaBaseDiGara(Quadro& q, const Percorso& p, bool base) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->tipo != Tipo::Percentuale && v->tipo != Tipo::Tabella)
        return QStringLiteral("Solo una percentuale o una tabella a scaglioni si calcola sulla "
                              "base di gara: «%1» non lo è.")
            .arg(v->codice);
    return applica(q, [&](Quadro& x) -> EsitoModifica {
        voceA(x, p)->sullaBaseDiGara = base;
        return std::nullopt;
    });
}

EsitoModifica impostaTabella(Quadro& q, const Percorso& p, const QString& nome) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    QStringList di = v->di;
    if (v->tipo != Tipo::Percentuale && v->tipo != Tipo::Tabella && trovaVoce(q, QStringLiteral("A")) &&
        v->codice != QLatin1String("A"))
        di = {QStringLiteral("A")};
    QString regola = QStringLiteral("tabella %1 di %2").arg(nome, di.join(QStringLiteral(" + ")));
    if (v->sullaBaseDiGara) regola += QStringLiteral(", sulla base di gara");
    return impostaRegola(q, p, regola, 0);
}

EsitoModifica impostaAliquota(Quadro& q, const Percorso& p, Millesimi percentuale) {
    const Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("La voce scelta non esiste più.");
    if (v->tipo != Tipo::Percentuale)
        return QStringLiteral("La voce «%1» non è una percentuale.").arg(v->codice);
    return applica(q, [&](Quadro& x) -> EsitoModifica {
        voceA(x, p)->percentuale = percentuale;
        return std::nullopt;
    });
}


namespace {

// The letters of the top-level item at `posizione` (from 0): A … Z, AA … AZ,
// BA … ZZ, AAA …, as spreadsheet columns are named.
QString lettereDi(qsizetype posizione) {
    QString s;
    for (qsizetype n = posizione + 1; n > 0; n = (n - 1) / 26)
        s.prepend(QLatin1Char(char('A' + (n - 1) % 26)));
    return s;
}

// The code of the place `p`: its top-level letters, then each position below
// counted from 1.
QString codiceDelPosto(const Percorso& p) {
    QString c = lettereDi(p.first());
    for (qsizetype k = 1; k < p.size(); ++k) c += u'.' + QString::number(p[k] + 1);
    return c;
}

}  // namespace

EsitoModifica rinumeraVoci(Quadro& q) {
    return applica(q, [](Quadro& c) -> EsitoModifica {
        // Old code -> new code, from the places as they stand; a code held by
        // more than one item is noted, as a reference to it has no one meaning.
        QHash<QString, QString> nuovi;
        QSet<QString> doppi;
        QList<Percorso> posti;
        for (const VoceInOrdine& o : vociInOrdine(c)) {
            if (nuovi.contains(o.voce->codice)) doppi.insert(o.voce->codice);
            nuovi.insert(o.voce->codice, codiceDelPosto(o.percorso));
            posti.append(o.percorso);
        }
        auto segui = [&](QString& codice) -> EsitoModifica {
            if (doppi.contains(codice))
                return QStringLiteral(
                           "Le voci non possono essere rinumerate: il codice «%1» è usato da "
                           "più voci e non si sa a quale si riferiscano le regole.")
                    .arg(codice);
            // A code no item has would otherwise come to name whichever item
            // now takes it.
            if (!nuovi.contains(codice))
                return QStringLiteral(
                           "Le voci non possono essere rinumerate: la voce «%1» non esiste.")
                    .arg(codice);
            codice = nuovi.value(codice);
            return std::nullopt;
        };
        for (const Percorso& p : posti) {
            Voce* v = voceA(c, p);
            v->codice = codiceDelPosto(p);
            for (QString& d : v->di)
                if (auto e = segui(d)) return e;
        }
        if (!c.vincolo.compensa.isEmpty())
            if (auto e = segui(c.vincolo.compensa)) return e;
        return std::nullopt;
    });
}

}  // namespace varimo::quadro
