#include "quadro/comandifasi.h"

#include <QFileInfo>
#include <functional>
#include <memory>

#include "common/scritturafile.h"
#include "quadro/anac.h"
#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"
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

QByteArray csvConfronto(const Confronto& c, const QList<Andamento>& andamenti) {
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
    if (andamenti.isEmpty()) return QByteArray("\xEF\xBB\xBF") + s.toUtf8();

    // What each compared phase used of the contingencies and economies; an
    // empty cell where the phase has no such item.
    auto riga = [&](const QString& codice, const QString& etichetta,
                    const std::function<std::optional<Centesimi>(const Andamento&)>& cifra) {
        s += codice + u';' + campoCsv(etichetta);
        QList<std::optional<Centesimi>> cifre;
        for (int k = 0; k < c.fasi.size(); ++k) {
            const int i = c.fasi[k];
            cifre.append(i < andamenti.size() ? cifra(andamenti[i]) : std::nullopt);
            s += u';' + (cifre.last() ? testoImporto(*cifre.last(), false) : QString());
        }
        if (c.haDifferenza())
            s += u';' + testoImporto(cifre.value(c.a).value_or(0) - cifre.value(c.da).value_or(0),
                                     false);
        s += QStringLiteral("\r\n");
    };
    auto fondo = [](const Fondo& f, Centesimi x) {
        return f.codice.isEmpty() ? std::optional<Centesimi>() : x;
    };
    riga(QStringLiteral("CONTRATTO"), QStringLiteral("Importo contrattuale"),
         [](const Andamento& a) { return std::optional<Centesimi>(a.contratto); });
    riga(QStringLiteral("IMPREVISTI_USATI"), QStringLiteral("Imprevisti usati"),
         [&](const Andamento& a) { return fondo(a.imprevisti, a.imprevisti.usato); });
    riga(QStringLiteral("IMPREVISTI_RESIDUI"), QStringLiteral("Imprevisti residui"),
         [&](const Andamento& a) { return fondo(a.imprevisti, a.imprevisti.residuo); });
    riga(QStringLiteral("ECONOMIE_USATE"), QStringLiteral("Economie usate"),
         [&](const Andamento& a) { return fondo(a.economie, a.economie.usato); });
    riga(QStringLiteral("ECONOMIE_RESIDUE"), QStringLiteral("Economie residue"),
         [&](const Andamento& a) { return fondo(a.economie, a.economie.residuo); });
    for (int i : c.fasi)
        if (i < andamenti.size() && !andamenti[i].avviso.isEmpty())
            s += QStringLiteral("AVVISO;") + campoCsv(andamenti[i].avviso) + QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

std::variant<QuadroCalcolato, QString> faseDaEsportare(const FileFasi& f, int i) {
    QuadroCalcolato qc;
    auto q = quadroDellaFase(f, i, &qc.valutazione);
    if (auto* e = std::get_if<QString>(&q)) return *e;
    qc.file = std::get<FileQuadro>(std::move(q));
    const Fase& fase = f.fasi[i];
    qc.tipoFase = nomeTipoFase(fase.tipo);
    qc.datiFase = datiDellaFase(f, i);
    if (fase.tipo == TipoFase::Aggiudicazione && fase.ribasso) {
        auto c = calcolaFase(f, i);
        if (const auto* fc = std::get_if<FaseCalcolata>(&c); fc && fc->aggiudicazione) {
            qc.contratto = fc->aggiudicazione->contratto;
            qc.economie = fc->aggiudicazione->economie;
            qc.ribasso = fase.ribasso;
            qc.ribassaManodopera = fase.ribassaManodopera;
            qc.primaDelRibasso = fc->aggiudicazione->gara;
        }
    }
    return qc;
}

std::variant<ConfrontoCalcolato, QString> confrontoDelFile(const QString& percorso) {
    // A .varimo file is read and computed one phase at a time, whatever its
    // size; anything else (a classic data file) through the reader of both.
    const auto dati = leggiByteQuadro(percorso);
    if (const auto* byte = std::get_if<QByteArray>(&dati)) {
        FileFasi testa;
        std::unique_ptr<SequenzaFasi> sequenza;
        const auto e = leggiFasiInSequenza(*byte, testa, [&](Fase&& fase) {
            if (!sequenza) sequenza = std::make_unique<SequenzaFasi>(testa.intestazione);
            sequenza->aggiungi(fase);
        });
        if (!e && sequenza) {
            auto c = sequenza->confronto();
            if (auto* p = std::get_if<Problema>(&c)) return p->messaggio;
            return std::get<ConfrontoCalcolato>(std::move(c));
        }
    }
    auto letto = leggiFasiOClassico(percorso);
    if (auto* e = std::get_if<QString>(&letto)) return *e;
    auto c = calcolaConfronto(std::get<FileFasi>(letto));
    if (auto* p = std::get_if<Problema>(&c)) return p->messaggio;
    return std::get<ConfrontoCalcolato>(std::move(c));
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
    if (confronto && (fase || ribasso || riga.anac))
        return errore(
            QStringLiteral("--confronto confronta tutte le fasi: non si usa con --fase, "
                           "--ribasso né --anac."));
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
    if (riga.anac && est != QLatin1String(".json"))
        return errore(QStringLiteral("I dati per ANAC si scrivono in un file .json."));
    const Esportatore* esporta = esportatorePer(formati, uscita);
    if (!confronto && !riga.anac && !esporta) return errore(formatoSconosciuto(uscita, formati));

    if (confronto) {
        auto c = confrontoDelFile(entrata);
        if (auto* e = std::get_if<QString>(&c)) return errore(*e);
        if (const auto e = esportaConfronto(std::get<ConfrontoCalcolato>(std::move(c)), uscita))
            return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
        return 0;
    }

    auto letto = leggiFasiOClassico(entrata);
    if (auto* e = std::get_if<QString>(&letto)) return errore(*e);
    const FileFasi& f = std::get<FileFasi>(letto);
    int i = fase ? indiceFase(f, *fase) : int(f.fasi.size()) - 1;
    if (i < 0) {
        QStringList nomi;
        for (const Fase& x : f.fasi) nomi.append(QStringLiteral("«%1»").arg(x.nome));
        return errore(QStringLiteral("Il file «%1» non ha una fase di nome «%2» (le fasi sono %3).")
                          .arg(entrata, *fase, nomi.join(QStringLiteral(", "))));
    }
    FileFasi gara;
    const FileFasi* daEsportare = &f;
    if (sconto) {
        const Fase& x = f.fasi[i];
        // A variant and the final account hold the prices after the discount:
        // a discount on them would discount them twice.
        if (x.tipo == TipoFase::Variante || x.tipo == TipoFase::Finale)
            return errore(QStringLiteral("La fase «%1» è una %2: le sue voci sono già ribassate. Il "
                                         "ribasso si applica alla fase del progetto: sceglierla "
                                         "con --fase.")
                              .arg(x.nome, nomeTipoFase(x.tipo).toLower()));
        // The award of the phase at that discount, as "Nuova fase" makes it;
        // the file is left as it is.
        gara = f;
        if (x.tipo == TipoFase::Aggiudicazione) {
            if (x.ribasso && *x.ribasso != *sconto)
                errore(QStringLiteral("Avviso: la fase «%1» ha il ribasso del %2 %: è calcolata "
                                      "con il %3 % sulle voci del progetto.")
                           .arg(x.nome, testoPercentuale(*x.ribasso), testoPercentuale(*sconto)));
        } else {
            auto n = nuovaFase(gara, i, TipoFase::Aggiudicazione,
                               nomeNuovaFase(gara, TipoFase::Aggiudicazione), x.data);
            if (auto* e = std::get_if<QString>(&n))
                return errore(QStringLiteral("La fase «%1» non può essere aggiudicata: %2")
                                  .arg(x.nome, *e));
            i = std::get<int>(n);
        }
        gara.fasi[i].ribasso = sconto;
        gara.fasi[i].bloccata = false;
        daEsportare = &gara;
        auto c = calcolaFase(gara, i);
        if (auto* p = std::get_if<Problema>(&c))
            return errore(QStringLiteral("La fase «%1» non può essere aggiudicata: %2")
                              .arg(x.nome, p->messaggio));
    }
    if (riga.anac) {
        auto dati = datiAnacFase(*daEsportare, i);
        if (auto* e = std::get_if<QString>(&dati)) return errore(*e);
        const DatiAnac& d = std::get<DatiAnac>(dati);
        // Figures that do not add up to the phase's total are not handed on.
        if (!d.tornano()) {
            errore(QStringLiteral("I dati per ANAC della fase «%1» non tornano con il suo "
                                  "totale; «%2» non è stato scritto.")
                       .arg(d.fase, uscita));
            for (const QString& p : d.problemi()) errore(p);
            return 1;
        }
        for (const QString& a : d.avvisi()) errore(QStringLiteral("Avviso: ") + a);
        if (const auto e = scriviFileCompleto(uscita, jsonAnac(d)))
            return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, e->motivo));
        return 0;
    }
    auto calcolata = faseDaEsportare(*daEsportare, i);
    if (auto* e = std::get_if<QString>(&calcolata)) return errore(*e);
    const QuadroCalcolato& qc = std::get<QuadroCalcolato>(calcolata);
    for (const QString& avviso : qc.valutazione.avvisi) errore(QStringLiteral("Avviso: ") + avviso);
    if (const auto e = (*esporta)(qc, uscita))
        return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
    return 0;
}

}  // namespace varimo::quadro
