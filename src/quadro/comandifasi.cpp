#include "quadro/comandifasi.h"

#include <QFileInfo>

#include "common/scritturafile.h"
#include "quadro/formatofasi.h"
#include "quadro/rigacomando.h"
#include "quadro/stampaconfronto.h"

namespace varimo::quadro {

namespace {


QString estensione(const QString& percorso) {
    const QString nome = QFileInfo(percorso).fileName();
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    return punto <= 0 ? QString() : nome.mid(punto).toLower();
}

}  // namespace

QByteArray csvConfronto(const Confronto& c) {
    QString s = QStringLiteral("codice;etichetta");
    for (const QString& n : c.nomi) s += u';' + campoCsv(n);
    if (c.haDifferenza()) s += QStringLiteral(";differenza");
    s += QStringLiteral("\r\n");
    for (const RigaConfronto& r : c.righe) {
        s += campoCsv(r.codice) + u';' + campoCsv(r.etichetta);
        for (const auto& x : r.importi) s += u';' + (x ? testoImporto(*x, false) : QString());
        if (c.haDifferenza()) s += u';' + testoImporto(c.differenza(r), false);
        s += QStringLiteral("\r\n");
    }
    s += QStringLiteral("TOTALE;Totale del progetto");
    for (Centesimi t : c.totali) s += u';' + testoImporto(t, false);
    if (c.haDifferenza()) s += u';' + testoImporto(c.differenzaTotale(), false);
    s += QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

QByteArray csvAggiudicazione(const FileQuadro& file, const Aggiudicazione& a) {
    QByteArray csv = csvQuadro(QuadroCalcolato{file, a.valutazione});
    const qsizetype totale = csv.lastIndexOf("\r\nTOTALE;");
    const QString righe = QStringLiteral("\r\nCONTRATTO;Importo contrattuale;;") +
                          testoImporto(a.contratto, false) + QStringLiteral("\r\nECONOMIE;") +
                          campoCsv(kEtichettaEconomie) + QStringLiteral(";;") +
                          testoImporto(a.economie, false);
    csv.insert(totale < 0 ? csv.size() : totale, righe.toUtf8());
    return csv;
}

int eseguiComandoFasi(const RigaComando& riga, QString* errori, const Esportatori& formati) {
    auto errore = [&](const QString& testo) {
        if (errori) *errori += testo + u'\n';
        return 1;
    };
    const bool confronto = riga.confronto;
    const std::optional<QString>& fase = riga.fase;
    const std::optional<QString>& ribasso = riga.ribasso;
    const QStringList& file = riga.file;
    if (confronto && (fase || ribasso))
        return errore(
            QStringLiteral("--confronto confronta tutte le fasi: non si usa con --fase "
                           "né con --ribasso."));
    if (file.size() != 2) return errore(testoUso());
    const QString& entrata = file[0];
    const QString& uscita = file[1];

    std::optional<Millesimi> sconto;
    if (ribasso) {
        sconto = leggiRibasso(*ribasso).valore();
        if (!sconto)
            return errore(QStringLiteral("Il ribasso «%1» non è una percentuale da 0 a 100 con al "
                                         "più tre decimali (per esempio 23,456).")
                              .arg(*ribasso));
    }
    const QString est = estensione(uscita);
    if (confronto && !estensioniConfronto().contains(est))
        return errore(QStringLiteral("Il confronto delle fasi si esporta in un file %1.")
                          .arg(estensioniConfronto().join(QStringLiteral(", "))));
    const Esportatore* esporta = esportatorePer(formati, uscita);
    if (!confronto && !esporta)
        return errore(QStringLiteral("Il formato di «%1» non è tra quelli esportabili (%2).")
                          .arg(uscita, formati.keys().join(QStringLiteral(", "))));

    auto letto = leggiFasiOClassico(entrata);
    if (auto* e = std::get_if<QString>(&letto)) return errore(*e);
    const FileFasi& f = std::get<FileFasi>(letto);
    auto scrivi = [&](const QByteArray& dati) {
        if (const auto e = scriviFileCompleto(uscita, dati))
            return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, e->motivo));
        return 0;
    };

    if (confronto) {
        auto c = confronta(f);
        if (auto* p = std::get_if<Problema>(&c)) return errore(p->messaggio);
        if (const auto e = esportaConfronto(f, std::get<Confronto>(c), uscita))
            return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
        return 0;
    }
    const int i = fase ? indiceFase(f, *fase) : int(f.fasi.size()) - 1;
    if (i < 0) {
        QStringList nomi;
        for (const Fase& x : f.fasi) nomi.append(QStringLiteral("«%1»").arg(x.nome));
        return errore(QStringLiteral("Il file «%1» non ha una fase di nome «%2» (le fasi sono %3).")
                          .arg(entrata, *fase, nomi.join(QStringLiteral(", "))));
    }
    if (sconto) {
        const Fase& x = f.fasi[i];
        auto a = aggiudica(x.quadro, *sconto, x.ribassaManodopera, riferimentiFase(f, i));
        if (auto* p = std::get_if<Problema>(&a))
            return errore(QStringLiteral("La fase «%1» non può essere aggiudicata: %2")
                              .arg(x.nome, p->messaggio));
        const Aggiudicazione& g = std::get<Aggiudicazione>(a);
        for (const QString& avviso : g.valutazione.avvisi) errore(QStringLiteral("Avviso: ") + avviso);
        FileQuadro q;
        q.intestazione = f.intestazione;
        q.intestazione.fase = nomeTipoFase(TipoFase::Aggiudicazione);
        q.quadro = g.quadro;
        if (est == QLatin1String(".csv")) return scrivi(csvAggiudicazione(q, g));
        if (const auto e = (*esporta)(QuadroCalcolato{q, g.valutazione}, uscita))
            return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
        return 0;
    }
    QuadroCalcolato qc;
    auto q = quadroDellaFase(f, i, &qc.valutazione);
    if (auto* e = std::get_if<QString>(&q)) return errore(*e);
    qc.file = std::get<FileQuadro>(std::move(q));
    for (const QString& avviso : qc.valutazione.avvisi) errore(QStringLiteral("Avviso: ") + avviso);
    if (const auto e = (*esporta)(qc, uscita))
        return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
    return 0;
}

}  // namespace varimo::quadro
