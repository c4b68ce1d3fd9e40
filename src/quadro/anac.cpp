#include "quadro/anac.h"

#include <QJsonValue>

namespace varimo::quadro {

namespace {

const QString kChiaveAnac = QStringLiteral("anac");

// An amount as a JSON number with two decimals: "1250000.00", "-3.05".
QString numeroJson(Centesimi c) {
    const bool negativo = c < 0;
    // The magnitude in an unsigned type: the smallest amount has no positive
    // counterpart.
    const quint64 m = negativo ? 0 - static_cast<quint64>(c) : static_cast<quint64>(c);
    return (negativo ? QStringLiteral("-") : QString()) + QString::number(m / 100) + u'.' +
           QStringLiteral("%1").arg(m % 100, 2, 10, QLatin1Char('0'));
}

QString elenco(const QList<VoceAnac>& voci) {
    QStringList s;
    for (const VoceAnac& v : voci)
        s.append(QStringLiteral("«%1» %2 (%3)").arg(v.codice, v.etichetta, testoImporto(v.importo)));
    return s.join(QStringLiteral(", "));
}

}  // namespace

const QList<CategoriaAnac>& categorieAnac() {
    static const QList<CategoriaAnac> c{
        {QStringLiteral("impLavori"), QStringLiteral("Lavori"), true},
        {QStringLiteral("impServizi"), QStringLiteral("Servizi"), true},
        {QStringLiteral("impForniture"), QStringLiteral("Forniture"), true},
        {QStringLiteral("impTotaleSicurezza"), QStringLiteral("Totale per la sicurezza"), true},
        {QStringLiteral("ulterioriSommeNoRibasso"),
         QStringLiteral("Ulteriori somme non soggette a ribasso"), true},
        {QStringLiteral("impProgettazione"), QStringLiteral("Progettazione (appalto integrato)"),
         true},
        {QStringLiteral("sommeOpzioniRinnovi"), QStringLiteral("Opzioni e rinnovi"), false},
        {QStringLiteral("sommeRipetizioni"),
         QStringLiteral("Ripetizioni e consegne complementari"), false},
        {QStringLiteral("sommeADisposizione"),
         QStringLiteral("Somme a disposizione (IVA e altre imposte comprese)"), true},
    };
    return c;
}

const CategoriaAnac* trovaCategoriaAnac(const QString& chiave) {
    for (const CategoriaAnac& c : categorieAnac())
        if (c.chiave == chiave) return &c;
    return nullptr;
}

QString categoriaAnac(const Voce& v) {
    const QJsonValue x = v.altri.value(kChiaveAnac);
    if (x.isUndefined() || x.isNull()) return {};
    // A value that is no text is named as the file has it, so that the
    // check can say which item holds it.
    return x.isString() ? x.toString() : QStringLiteral("(non testo)");
}

void impostaCategoriaAnac(Voce& v, const QString& chiave) {
    if (chiave.isEmpty())
        v.altri.remove(kChiaveAnac);
    else
        v.altri.insert(kChiaveAnac, chiave);
}

std::optional<QString> impostaCategoriaAnacVoce(Quadro& q, const Percorso& p,
                                                const QString& chiave) {
    Voce* v = voceA(q, p);
    if (!v) return QStringLiteral("Scegliere una voce.");
    if (!chiave.isEmpty() && !trovaCategoriaAnac(chiave))
        return QStringLiteral("«%1» non è una categoria dei dati per ANAC.").arg(chiave);
    impostaCategoriaAnac(*v, chiave);
    return std::nullopt;
}

Centesimi DatiAnac::somma(bool soloModifica) const {
    Centesimi s = 0;
    for (const RigaAnac& r : righe)
        if (!soloModifica || r.categoria.inModifica) s += r.importo;
    return s;
}

bool DatiAnac::tornano() const {
    return somma() == totale && (!modifica || somma(true) == totale);
}

QStringList DatiAnac::problemi() const {
    QStringList p;
    if (tornano()) return p;
    QList<VoceAnac> senza;
    for (const VoceAnac& v : senzaCategoria)
        if (v.importo != 0) senza.append(v);
    QList<VoceAnac> ignote;
    QStringList testiIgnoti;
    for (const auto& [v, chiave] : categorieIgnote)
        if (v.importo != 0) {
            ignote.append(v);
            testiIgnoti.append(QStringLiteral("«%1» %2 (%3)")
                                   .arg(v.codice, chiave, testoImporto(v.importo)));
        }
    if (somma() != totale) {
        p.append(QStringLiteral("Le voci per ANAC sommano %1 e non il totale della fase %2: "
                                "mancano %3.")
                     .arg(testoImporto(somma()), testoImporto(totale),
                          testoImporto(totale - somma())));
        if (!senza.isEmpty())
            p.append(QStringLiteral("Voci senza categoria ANAC: %1.").arg(elenco(senza)));
        if (!ignote.isEmpty())
            p.append(QStringLiteral("Voci con una categoria ANAC sconosciuta: %1.")
                         .arg(testiIgnoti.join(QStringLiteral(", "))));
    }
    if (modifica && somma(true) != totale) {
        QList<VoceAnac> fuori;
        for (const VoceAnac& v : fuoriModifica)
            if (v.importo != 0) fuori.append(v);
        if (!fuori.isEmpty())
            p.append(QStringLiteral("La modifica contrattuale non ha opzioni, rinnovi né "
                                    "ripetizioni: le voci %1 vanno ricondotte a un'altra "
                                    "categoria.")
                         .arg(elenco(fuori)));
    }
    return p;
}

QStringList DatiAnac::avvisi() const {
    QList<VoceAnac> zero;
    for (const VoceAnac& v : senzaCategoria)
        if (v.importo == 0) zero.append(v);
    for (const auto& [v, chiave] : categorieIgnote)
        if (v.importo == 0) zero.append(v);
    if (zero.isEmpty()) return {};
    QStringList codici;
    for (const VoceAnac& v : zero) codici.append(QStringLiteral("«%1»").arg(v.codice));
    return {QStringLiteral("Voci a zero senza una categoria ANAC valida: %1.")
                .arg(codici.join(QStringLiteral(", ")))};
}

DatiAnac datiAnac(const Quadro& q, const Valutazione& val) {
    DatiAnac d;
    for (const CategoriaAnac& c : categorieAnac()) d.righe.append(RigaAnac{c, 0, {}});
    d.totale = val.totale;
    // The key each level passes down: an item's own, else its section's.
    QStringList ereditate;
    for (const VoceInOrdine& o : vociInOrdine(q)) {
        ereditate.resize(o.profondita);
        const QString propria = categoriaAnac(*o.voce);
        const QString chiave =
            !propria.isEmpty() ? propria : (ereditate.isEmpty() ? QString() : ereditate.last());
        ereditate.append(chiave);
        if (o.voce->tipo == Tipo::Sezione) continue;
        const VoceAnac voce{o.voce->codice, o.voce->etichetta, val.importo(o.voce->codice)};
        if (chiave.isEmpty()) {
            d.senzaCategoria.append(voce);
            continue;
        }
        qsizetype k = 0;
        while (k < d.righe.size() && d.righe[k].categoria.chiave != chiave) ++k;
        if (k == d.righe.size()) {
            d.categorieIgnote.append({voce, chiave});
            continue;
        }
        d.righe[k].importo += voce.importo;
        d.righe[k].voci.append(voce);
        if (!d.righe[k].categoria.inModifica) d.fuoriModifica.append(voce);
    }
    return d;
}

std::variant<DatiAnac, QString> datiAnacFase(const FileFasi& f, int i) {
    if (i < 0 || i >= f.fasi.size()) return QStringLiteral("La fase non esiste.");
    auto c = calcolaFase(f, i);
    if (auto* p = std::get_if<Problema>(&c))
        return QStringLiteral("La fase «%1» non può essere calcolata: %2")
            .arg(f.fasi[i].nome, p->messaggio);
    const FaseCalcolata& calcolata = std::get<FaseCalcolata>(c);
    DatiAnac d = datiAnac(calcolata.quadro, calcolata.valutazione);
    const Fase& fase = f.fasi[i];
    d.fase = fase.nome;
    d.tipo = fase.tipo;
    d.modifica = fase.tipo == TipoFase::Variante;
    d.giorniProroga = fase.giorniProroga.value_or(0);
    return d;
}

QByteArray jsonAnac(const DatiAnac& d) {
    // Written by hand: QJsonDocument would write 1250000 for 1250000.00.
    auto oggetto = [&](bool modifica) {
        QStringList righe;
        for (const RigaAnac& r : d.righe) {
            const QString& k = r.categoria.chiave;
            const bool richiesta = modifica ? (k == QLatin1String("impLavori") ||
                                               k == QLatin1String("impServizi") ||
                                               k == QLatin1String("impForniture"))
                                            : k == QLatin1String("sommeADisposizione");
            if (modifica && !r.categoria.inModifica) continue;
            if (r.voci.isEmpty() && !richiesta) continue;
            righe.append(QStringLiteral("    \"%1\": %2").arg(k, numeroJson(r.importo)));
        }
        if (modifica) righe.append(QStringLiteral("    \"numGiorniProroga\": %1").arg(d.giorniProroga));
        return QStringLiteral("{\n") + righe.join(QStringLiteral(",\n")) + QStringLiteral("\n  }");
    };
    QString s = QStringLiteral("{\n  \"quadroEconomicoStandard\": ") + oggetto(false);
    if (d.modifica)
        s += QStringLiteral(",\n  \"quadroEconomicoModificaContrattuale\": ") + oggetto(true);
    s += QStringLiteral("\n}\n");
    return s.toUtf8();
}

QString testoAnac(const DatiAnac& d) {
    QString s;
    for (const RigaAnac& r : d.righe)
        s += r.categoria.chiave + u'\t' + r.categoria.nome + u'\t' + testoImporto(r.importo) +
             u'\n';
    s += QStringLiteral("\tTotale della fase\t") + testoImporto(d.totale) + u'\n';
    if (d.modifica)
        s += QStringLiteral("numGiorniProroga\tGiorni di proroga\t") +
             QString::number(d.giorniProroga) + u'\n';
    return s;
}

}  // namespace varimo::quadro
