#include "quadro/rigacomando.h"

#include <QFileInfo>
#include <QMap>

#include "common/scritturafile.h"
#include "datafile/filedati.h"
#include "quadro/comandifasi.h"
#include "quadro/conversione.h"
#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"

namespace varimo::quadro {

namespace {

QString estensione(const QString& percorso) {
    const QString nome = QFileInfo(percorso).fileName();
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    return punto <= 0 ? QString() : nome.mid(punto).toLower();
}

}  // namespace

// One field of the .csv: between quotes when it holds a separator, a quote or
// a line end; a text that a spreadsheet would take for a formula starts with
// an apostrophe, so opening the file never runs what a label holds.
QString campoCsv(QString s) {
    if (!s.isEmpty() && QStringLiteral("=+-@\t\r").contains(s.front())) s.prepend(u'\'');
    if (s.contains(u';') || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r')) {
        s.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        s = u'"' + s + u'"';
    }
    return s;
}

Esportatori formatiDiBase() {
    return {
        {QStringLiteral(".csv"),
         [](const QuadroCalcolato& q, const QString& percorso) -> std::optional<QString> {
             if (const auto e = scriviFileCompleto(percorso, csvQuadro(q))) return e->motivo;
             return std::nullopt;
         }},
    };
}

const Esportatore* esportatorePer(const Esportatori& formati, const QString& percorso) {
    const auto it = formati.constFind(estensione(percorso));
    return it == formati.constEnd() ? nullptr : &*it;
}

QByteArray csvQuadro(const QuadroCalcolato& q) {
    QString s = QStringLiteral("codice;etichetta;regola;importo\r\n");
    for (const VoceInOrdine& v : vociInOrdine(q.file.quadro))
        s += campoCsv(v.voce->codice) + u';' + campoCsv(v.voce->etichetta) + u';' +
             campoCsv(testoRegola(*v.voce)) + u';' +
             testoImporto(q.valutazione.importo(v.voce->codice), false) + QStringLiteral("\r\n");
    s += QStringLiteral("TOTALE;Totale del progetto;;") +
         testoImporto(q.valutazione.totale, false) + QStringLiteral("\r\n");
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

namespace {

// After a .varimo reader refused `percorso` with `errore`: the file as a
// classic data file, converted, when it reads as one. A file that looks like
// a framework keeps the framework's message.
std::variant<FileQuadro, QString> comeClassico(const QString& percorso, const QString& errore) {
    const QFileInfo info(percorso);
    QFile f(percorso);
    QByteArray inizio;
    if (info.isFile() && f.open(QIODevice::ReadOnly)) inizio = f.read(64).trimmed();
    if (inizio.startsWith("\xEF\xBB\xBF")) inizio = inizio.mid(3).trimmed();
    if (!info.isFile() || inizio.startsWith('{')) return errore;
    auto classico = leggiFileProgetto(percorso);
    if (auto* e = std::get_if<QString>(&classico))
        return QStringLiteral(
                   "Il file «%1» non è né un quadro economico (.varimo) né un file "
                   "di dati di Varimo: %2")
            .arg(percorso, *e);
    Conversione c = convertiClassico(std::get<ProgettoFile>(classico));
    if (!c.errore.isEmpty()) return c.errore;
    return std::move(c.file);
}

}  // namespace

std::variant<FileFasi, QString> leggiFasiOClassico(const QString& percorso) {
    auto letto = apriFileFasi(percorso);
    if (auto* errore = std::get_if<QString>(&letto)) {
        auto classico = comeClassico(percorso, *errore);
        if (auto* e = std::get_if<QString>(&classico)) return *e;
        return fileDaQuadro(std::get<FileQuadro>(classico));
    }
    return letto;
}

std::variant<QuadroCalcolato, QString> leggiEcalcola(const QString& percorso) {
    QuadroCalcolato q;
    auto letto = apriFaseComeQuadro(percorso);
    if (auto* errore = std::get_if<QString>(&letto)) {
        auto classico = comeClassico(percorso, *errore);
        if (auto* e = std::get_if<QString>(&classico)) return *e;
        q.file = std::get<FileQuadro>(std::move(classico));
    } else {
        q.file = std::get<FileQuadro>(std::move(letto));
    }
    auto r = ricalcola(q.file.quadro);
    if (auto* p = std::get_if<Problema>(&r))
        return QStringLiteral("Il quadro di «%1» non può essere calcolato: %2")
            .arg(percorso, p->messaggio);
    q.valutazione = std::get<Valutazione>(std::move(r));
    return q;
}

bool comandoSenzaFinestra(const QStringList& argomenti) {
    return !argomenti.isEmpty() && (argomenti.first() == QLatin1String("--esporta") ||
                                    argomenti.first() == QLatin1String("--converti"));
}

int eseguiComando(const QStringList& argomenti, QString* errori, const Esportatori& formati) {
    auto errore = [&](const QString& testo) {
        if (errori) *errori += testo + u'\n';
        return 1;
    };
    if (comandoFasi(argomenti)) return eseguiComandoFasi(argomenti, errori, formati);
    if (argomenti.size() != 3)
        return errore(
            QStringLiteral("Uso: varimo --esporta ENTRATA USCITA | varimo --converti "
                           "FILE-CLASSICO USCITA.varimo"));
    const QString& entrata = argomenti[1];
    const QString& uscita = argomenti[2];
    if (QFileInfo(entrata).absoluteFilePath() == QFileInfo(uscita).absoluteFilePath() ||
        (QFileInfo::exists(uscita) &&
         QFileInfo(entrata).canonicalFilePath() == QFileInfo(uscita).canonicalFilePath()))
        return errore(QStringLiteral("Il file da scrivere non può essere quello da leggere."));

    if (argomenti.first() == QLatin1String("--converti")) {
        if (estensione(uscita) != QLatin1String(kEstensione))
            return errore(QStringLiteral("Il quadro convertito va scritto in un file .varimo."));
        auto classico = leggiFileProgetto(entrata);
        if (auto* e = std::get_if<QString>(&classico))
            return errore(
                QStringLiteral("Impossibile leggere il file di dati «%1»: %2").arg(entrata, *e));
        const Conversione c = convertiClassico(std::get<ProgettoFile>(classico));
        if (!c.errore.isEmpty()) return errore(c.errore);
        for (const QString& a : c.avvisi) errore(QStringLiteral("Avviso: ") + a);
        if (const auto e = salvaFileQuadro(uscita, c.file)) return errore(*e);
        return 0;
    }

    const Esportatore* esporta = esportatorePer(formati, uscita);
    if (!esporta)
        return errore(QStringLiteral("Il formato di «%1» non è tra quelli esportabili (%2).")
                          .arg(uscita, formati.keys().join(QStringLiteral(", "))));
    auto letto = leggiEcalcola(entrata);
    if (auto* e = std::get_if<QString>(&letto)) return errore(*e);
    const QuadroCalcolato& q = std::get<QuadroCalcolato>(letto);
    if (q.valutazione.vincolo == EsitoVincolo::Irraggiungibile)
        errore(
            QStringLiteral("Avviso: il totale vincolato non è raggiungibile; il quadro è "
                           "esportato come è."));
    if (const auto e = (*esporta)(q, uscita))
        return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
    return 0;
}

}  // namespace varimo::quadro
