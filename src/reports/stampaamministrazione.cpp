#include "reports/stampaamministrazione.h"

#include <QStringList>

#include "common/importi.h"
#include "reports/esportazione.h"
#include "reports/foglioquadro.h"
#include "reports/stampe.h"

namespace varimo {

namespace {

// The font of the reports: the table widths are measured for it.
const QString kCarattere = QStringLiteral("Century Gothic");
constexpr QChar kFine(13);
constexpr int kAllineaDestra = 2;
constexpr double kDimensioneTabella = 9;
const QString kLineaFirma = QStringLiteral("______________________________");

QString dataStampa(const QuadroEsportato& q) {
    if (!q.intestazione.data.isValid() && !q.intestazione.dataScritta.trimmed().isEmpty())
        return q.intestazione.dataScritta.trimmed();
    const QDate d = q.intestazione.data.isValid() ? q.intestazione.data : QDate::currentDate();
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString valuta(const QuadroEsportato& q) {
    return q.intestazione.valuta.trimmed().isEmpty() ? QStringLiteral("euro")
                                                     : q.intestazione.valuta;
}

// The lines of the heading: administration and title large, then the
// identifiers of the project. Fields left empty take no line.
void intestazione(Documento& doc, const QuadroEsportato& q) {
    const IntestazioneEsportata& h = q.intestazione;
    doc.impostaNomeCarattere(kCarattere);
    doc.impostaGrassetto(true);
    if (!h.ente.trimmed().isEmpty()) {
        doc.impostaDimensioneCarattere(14);
        doc.scriviTesto(h.ente + kFine);
    }
    if (!h.titolo.trimmed().isEmpty()) {
        doc.impostaDimensioneCarattere(12);
        doc.scriviTesto(h.titolo + kFine);
    }
    doc.impostaGrassetto(false);
    doc.impostaDimensioneCarattere(10);
    doc.scriviTesto(QString(kFine));
    // The phase by its name, and by its kind when the name does not say it.
    QString fase = h.fase.trimmed();
    const QString tipo = h.tipoFase.trimmed();
    if (!tipo.isEmpty() && !fase.startsWith(tipo, Qt::CaseInsensitive))
        fase = fase.isEmpty() ? tipo : fase + QStringLiteral(" (") + tipo + u')';
    const std::pair<QString, QString> campi[] = {
        {QStringLiteral("CUP"), h.cup},
        {QStringLiteral("CIG"), h.cig},
        {QStringLiteral("Luogo"), h.luogo},
        {QStringLiteral("Fase"), fase},
    };
    for (const auto& [nome, valore] : campi)
        if (!valore.trimmed().isEmpty())
            doc.scriviTesto(nome + QStringLiteral(": ") + valore + kFine);
    doc.scriviTesto(QStringLiteral("Data: ") + dataStampa(q) + kFine);
    for (const DatoFase& d : q.datiFase)
        doc.scriviTesto(d.voce + QStringLiteral(": ") + d.valore + kFine);
    doc.scriviTesto(QString(kFine));
    doc.impostaGrassetto(true);
    doc.impostaDimensioneCarattere(12);
    doc.scriviTesto(QStringLiteral("QUADRO ECONOMICO - importi in ") + valuta(q));
    // The table goes into the empty paragraph that closes the heading and
    // takes its font: a plain one.
    doc.impostaGrassetto(false);
    doc.scriviTesto(QString(kFine));
}

// The rows of the table, in the order they are printed.
struct RigaTabella {
    QString codice;
    QString voce;
    QString regola;
    QString importo;
    bool grassetto = false;
};

// The label, and the note on a line of its own when the print carries notes.
QString conNota(const VoceEsportata& v) {
    return v.nota.trimmed().isEmpty() ? v.etichetta : v.etichetta + kFine + v.nota.trimmed();
}

void righeVoce(const QuadroEsportato& q, int i, QList<RigaTabella>& righe, int profondita) {
    if (i < 0 || i >= q.voci.size()) return;
    const VoceEsportata& v = q.voci.at(i);
    if (v.tipo != VoceEsportata::Tipo::Sezione) {
        QString regola = regolaEsportata(q, v);
        if (v.compensa && q.totaleFisso)
            regola = QStringLiteral("compensa la differenza dal totale finanziato");
        righe.append({v.codice, conNota(v), regola, formatoCentesimi(v.centesimi), false});
        return;
    }
    righe.append({v.codice, conNota(v), QString(), QString(), true});
    // A framework read from a file is a tree; the bound only guards the
    // record against a cycle it should never hold.
    if (profondita < q.voci.size())
        for (int f : v.figli) righeVoce(q, f, righe, profondita + 1);
    // "Totale lavori (A)"; a label that already says it is a total keeps
    // its words.
    const bool totale = v.etichetta.startsWith(QStringLiteral("totale"), Qt::CaseInsensitive);
    righe.append({QString(),
                  (totale ? QString() : QStringLiteral("Totale ")) + v.etichetta +
                      QStringLiteral(" (") + v.codice + QLatin1Char(')'),
                  QString(), formatoCentesimi(v.centesimi), true});
}

void tabellaQuadro(Documento& doc, const QuadroEsportato& q) {
    QList<RigaTabella> righe;
    righe.append({QStringLiteral("Codice"), QStringLiteral("Voce"), QStringLiteral("Regola"),
                  QStringLiteral("Importo"), false});
    QStringList codici;
    for (int s : q.sezioni) {
        righeVoce(q, s, righe, 0);
        if (s >= 0 && s < q.voci.size()) codici << q.voci.at(s).codice;
    }
    QString totale = QStringLiteral("TOTALE PROGETTO");
    if (!codici.isEmpty())
        totale += QStringLiteral(" (") + codici.join(QStringLiteral(" + ")) + QLatin1Char(')');
    righe.append({QString(), totale + QStringLiteral(" in ") + valuta(q), QString(),
                  formatoCentesimi(q.totale), true});
    if (q.totaleFisso) {
        righe.append({QString(), QStringLiteral("Totale finanziato"), QString(),
                      formatoCentesimi(*q.totaleFisso), false});
        if (*q.totaleFisso != q.totale)
            righe.append({QString(), QStringLiteral("Differenza non assegnata"), QString(),
                          formatoCentesimi(*q.totaleFisso - q.totale), false});
    }

    Tabella& t = doc.aggiungiTabella(static_cast<int>(righe.size()), 4);
    t.impostaDimensioneCarattere(kDimensioneTabella);
    for (int r = 1; r <= righe.size(); ++r) {
        const RigaTabella& x = righe.at(r - 1);
        t.impostaTestoCella(r, 1, x.codice);
        t.impostaTestoCella(r, 2, x.voce);
        t.impostaTestoCella(r, 3, x.regola);
        t.impostaTestoCella(r, 4, x.importo);
        if (x.grassetto) t.impostaGrassettoRiga(r, true);
    }
    if (q.colori) {
        t.formatoAutomatico(Tabella::Formato::Colorato2);
    } else {
        t.formatoAutomatico(Tabella::Formato::Semplice);
        t.impostaGrassettoRiga(1, true);
    }
    doc.selezionaColonna(doc.numeroTabelle(), 4);
    doc.impostaAllineamentoSelezione(kAllineaDestra);
    for (const QString& nota : q.note) {
        ParagrafoAggiunto p = doc.aggiungiParagrafo();
        p.impostaDimensioneCarattere(kDimensioneTabella);
        p.impostaTesto(nota);
    }
}

// Place and date, then the two signatures side by side: one row that stays
// whole on the last page.
void firme(Documento& doc, const QuadroEsportato& q) {
    ParagrafoAggiunto p = doc.aggiungiParagrafo();
    p.impostaDimensioneCarattere(10);
    const QString luogo = q.intestazione.luogo.trimmed();
    p.impostaTesto(kFine + QStringLiteral("Luogo e data: ") +
                   (luogo.isEmpty() ? QStringLiteral("____________________") : luogo) +
                   QStringLiteral(", ") + dataStampa(q) + kFine);
    Tabella& t = doc.aggiungiTabella(1, 2);
    t.impostaDimensioneCarattere(10);
    t.impostaBordi(false);
    auto firma = [&](int colonna, const QString& ruolo, const QString& nome) {
        t.impostaTestoCella(
            1, colonna,
            QStringList{QString(), ruolo, nome, QString(), QString(), kLineaFirma}.join(kFine));
    };
    firma(1, QStringLiteral("Il progettista"), q.intestazione.progettista);
    firma(2, QStringLiteral("Il Responsabile unico del progetto"), q.intestazione.rup);
    for (int c = 1; c <= 2; ++c) {
        doc.selezionaColonna(doc.numeroTabelle(), c);
        doc.impostaAllineamentoSelezione(1);
    }
}

}  // namespace

std::shared_ptr<Documento> documentoAmministrazione(const QuadroEsportato& q) {
    auto d = std::make_shared<Documento>();
    d->impostaTitolo(nomeStampaAmministrazione(q));
    intestazione(*d, q);
    tabellaQuadro(*d, q);
    firme(*d, q);
    return d;
}

QString nomeStampaAmministrazione(const QuadroEsportato& q) {
    const QString titolo = q.intestazione.titolo.simplified();
    return titolo.isEmpty() ? QStringLiteral("quadro economico")
                            : titolo + QStringLiteral(" - quadro economico");
}

EsitoStampa stampaAmministrazione(const QuadroEsportato& q) {
    return consegnaStampa(documentoAmministrazione(q));
}

namespace {

QString nomeDaProporre(const QuadroEsportato& q) {
    return q.nomeProposto.isEmpty() ? nomeStampaAmministrazione(q) : q.nomeProposto;
}

}  // namespace

EsitoStampa esportaAmministrazionePdf(const QuadroEsportato& q) {
    return esportaDocumentoPdf(*documentoAmministrazione(q), nomeDaProporre(q));
}

EsitoStampa esportaFoglioQuadro(const QuadroEsportato& q) {
    EsportazioneFile e;
    e.titolo = QStringLiteral("Esporta in foglio di calcolo");
    e.descrizioneFiltro = QStringLiteral("Fogli di calcolo Excel");
    e.estensione = QStringLiteral(".xlsx");
    e.fallimento = QStringLiteral("Non è stato possibile esportare il foglio di calcolo");
    e.scrivi = [&q](const QString& percorso, QString* errore) {
        return scriviFoglioQuadro(q, percorso, errore);
    };
    return esportaFile(e, nomeDaProporre(q));
}

}  // namespace varimo
