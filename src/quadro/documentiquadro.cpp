#include "quadro/documentiquadro.h"

#include <QDate>
#include <algorithm>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include "reports/documento.h"
#include "reports/foglioquadro.h"
#include "reports/stampaamministrazione.h"

namespace varimo::quadro {

namespace {

// Adds the item and its children to the record, parents first; its index.
int aggiungi(const Voce& v, int livello, const Valutazione& val, QuadroEsportato& q,
             QHash<QString, int>& indici) {
    const int i = static_cast<int>(q.voci.size());
    VoceEsportata e;
    e.codice = v.codice;
    e.etichetta = v.etichetta;
    e.livello = livello;
    e.centesimi = val.importo(v.codice);
    switch (v.tipo) {
        case Tipo::Sezione:
            e.tipo = VoceEsportata::Tipo::Sezione;
            break;
        case Tipo::Importo:
            e.tipo = VoceEsportata::Tipo::Importo;
            e.regola = testoManodopera(v);
            break;
        case Tipo::Percentuale:
            e.tipo = VoceEsportata::Tipo::Percentuale;
            e.percentuale = testoPercentualeFile(v.percentuale);
            e.regola = testoRegola(v, &val);
            break;
        case Tipo::Tabella:
            // A figure read from a table: the documents carry its amount and
            // name the table.
            e.tipo = VoceEsportata::Tipo::Importo;
            e.regola = testoRegola(v, &val);
            break;
    }
    // Kept at the project's amount: no longer its rule's result on these
    // items, so the documents carry the amount and say why.
    if (val.tenuteDalProgetto.contains(v.codice)) {
        e.tipo = VoceEsportata::Tipo::Importo;
        e.percentuale.clear();
    }
    q.voci.append(e);
    indici.insert(v.codice, i);
    QList<int> figli;
    for (const Voce& f : v.voci) figli << aggiungi(f, livello + 1, val, q, indici);
    q.voci[i].figli = figli;
    return i;
}

std::optional<QString> comeEsito(bool riuscito, const QString& errore) {
    if (riuscito) return std::nullopt;
    return errore.isEmpty() ? QStringLiteral("errore sconosciuto") : errore;
}

}  // namespace

QuadroEsportato perDocumenti(const QuadroCalcolato& c) {
    const Intestazione& h = c.file.intestazione;
    const Valutazione& val = c.valutazione;
    QuadroEsportato q;
    q.intestazione.ente = h.ente;
    q.intestazione.titolo = h.titolo;
    q.intestazione.cup = h.cup;
    q.intestazione.cig = h.cig;
    q.intestazione.rup = h.rup;
    q.intestazione.progettista = h.progettista;
    q.intestazione.fase = h.fase;
    q.intestazione.tipoFase = c.tipoFase;
    q.intestazione.data = QDate::fromString(dataIso(h.data).value_or(QString()), Qt::ISODate);
    if (!q.intestazione.data.isValid()) q.intestazione.dataScritta = h.data;
    q.intestazione.luogo = h.luogo;
    q.intestazione.valuta = h.valuta;
    for (const DatoDellaFase& d : c.datiFase) q.datiFase.append({d.voce, d.valore});
    q.colori = stampaAColori();
    q.nomeProposto = c.nomeProposto;

    QHash<QString, int> indici;
    for (const Voce& v : c.file.quadro.voci) q.sezioni << aggiungi(v, 0, val, q, indici);
    if (stampaNote())
        for (const VoceInOrdine& o : vociInOrdine(c.file.quadro))
            q.voci[indici.value(o.voce->codice)].nota = o.voce->nota;
    // The links of the percentages, once every item has its index.
    for (const VoceInOrdine& o : vociInOrdine(c.file.quadro)) {
        if (o.voce->tipo != Tipo::Percentuale || val.tenuteDalProgetto.contains(o.voce->codice))
            continue;
        VoceEsportata& e = q.voci[indici.value(o.voce->codice)];
        for (const QString& codice : o.voce->di)
            if (indici.contains(codice)) e.riferimenti << indici.value(codice);
    }
    for (const VoceInOrdine& o : vociInOrdine(c.file.quadro))
        if (const auto t = val.tabelle.constFind(o.voce->codice); t != val.tabelle.constEnd())
            q.note.append(QStringLiteral("Voce %1: %2 %3, %4.")
                              .arg(o.voce->codice, t->titolo)
                              .arg(t->anno)
                              .arg(t->fonte));
    for (const QString& a : val.avvisi) q.note.append(QStringLiteral("Avviso: ") + a);
    // An award: each item the discount reduced with its amount before it and
    // its labour kept out, so that the spreadsheet computes it from the
    // discount.
    if (c.ribasso) {
        q.ribasso = *c.ribasso;
        for (const VoceInOrdine& o : vociInOrdine(c.file.quadro)) {
            const Voce& v = *o.voce;
            const auto prima = c.primaDelRibasso.constFind(v.codice);
            if (v.tipo != Tipo::Importo || prima == c.primaDelRibasso.constEnd() ||
                !ribassabile(c.file.quadro, o.percorso))
                continue;
            VoceEsportata& e = q.voci[indici.value(v.codice)];
            e.centesimiPrimaDelRibasso = *prima;
            e.manodoperaEsclusa =
                c.ribassaManodopera
                    ? 0
                    : std::clamp<Centesimi>(manodopera(v).value_or(0), 0,
                                            std::max<Centesimi>(*prima, 0));
        }
    }
    q.totale = val.totale;
    q.totaleFisso = c.file.quadro.vincolo.totale;
    // The absorbing item is marked only when it did absorb the difference.
    if (q.totaleFisso &&
        (val.vincolo == EsitoVincolo::Raggiunto || val.vincolo == EsitoVincolo::Scarto) &&
        indici.contains(val.compensa))
        q.voci[indici.value(val.compensa)].compensa = true;
    return q;
}

std::variant<QuadroCalcolato, QString> calcolaPerDocumenti(const FileQuadro& f,
                                                           const std::optional<Riferimenti>& r) {
    // Absorbing again what the framework has absorbed already changes
    // nothing, and tells which item absorbs.
    QuadroCalcolato c;
    c.file = f;
    auto v = ricalcola(c.file.quadro, r.value_or(Riferimenti{f.intestazione.data, {}, nullptr}));
    if (const auto* p = std::get_if<Problema>(&v)) return p->messaggio;
    c.valutazione = std::get<Valutazione>(v);
    return c;
}

std::optional<QString> esportaPdfQuadro(const QuadroCalcolato& q, const QString& percorso) {
    QString errore;
    const bool ok = documentoAmministrazione(perDocumenti(q))
                        ->salvaCome(percorso, &errore, Documento::Formato::PdfA);
    return comeEsito(ok, errore);
}

std::optional<QString> esportaDocxQuadro(const QuadroCalcolato& q, const QString& percorso) {
    QString errore;
    const bool ok = documentoAmministrazione(perDocumenti(q))
                        ->salvaCome(percorso, &errore, Documento::Formato::Docx);
    return comeEsito(ok, errore);
}

std::optional<QString> esportaXlsxQuadro(const QuadroCalcolato& q, const QString& percorso) {
    QString errore;
    const bool ok = scriviFoglioQuadro(perDocumenti(q), percorso, &errore);
    return comeEsito(ok, errore);
}

bool stampaAColori() {
    return QSettings().value(QStringLiteral("quadro/stampaacolori"), false).toBool();
}

void impostaStampaAColori(bool colori) {
    QSettings().setValue(QStringLiteral("quadro/stampaacolori"), colori);
}

bool stampaNote() {
    return QSettings().value(QStringLiteral("quadro/stampanote"), false).toBool();
}

void impostaStampaNote(bool note) {
    QSettings().setValue(QStringLiteral("quadro/stampanote"), note);
}

bool richiedeCaratteriGrafici(const QString& percorso) {
    return QFileInfo(percorso).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
}

}  // namespace varimo::quadro
