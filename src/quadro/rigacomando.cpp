#include "quadro/rigacomando.h"

#include <QCommandLineParser>

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

QString formatoSconosciuto(const QString& percorso, const Esportatori& formati) {
    QString s = QStringLiteral("Il formato di «%1» non è tra quelli esportabili (%2).")
                    .arg(percorso, formati.keys().join(QStringLiteral(", ")));
    if (estensione(percorso) == QLatin1String(".json"))
        s += QStringLiteral(" I dati per ANAC si scrivono in un .json con --anac.");
    return s;
}

const Esportatore* esportatorePer(const Esportatori& formati, const QString& percorso) {
    const auto it = formati.constFind(estensione(percorso));
    return it == formati.constEnd() ? nullptr : &*it;
}

QByteArray csvQuadro(const QuadroCalcolato& q) {
    QString s = QStringLiteral("codice;etichetta;regola;importo\r\n");
    for (const VoceInOrdine& v : vociInOrdine(q.file.quadro))
        s += campoCsv(v.voce->codice) + u';' + campoCsv(v.voce->etichetta) + u';' +
             campoCsv(regolaDocumenti(*v.voce, &q.valutazione)) + u';' +
             testoImporto(q.valutazione.importo(v.voce->codice), false) + QStringLiteral("\r\n");
    if (q.contratto)
        s += QStringLiteral("CONTRATTO;Importo contrattuale;;") + testoImporto(*q.contratto, false) +
             QStringLiteral("\r\n");
    if (q.economie)
        s += QStringLiteral("ECONOMIE;") + campoCsv(kEtichettaEconomie) + QStringLiteral(";;") +
             testoImporto(*q.economie, false) + QStringLiteral("\r\n");
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
    auto letto = apriFileFasi(percorso);
    if (auto* f = std::get_if<FileFasi>(&letto)) {
        auto fase = faseDaEsportare(*f, int(f->fasi.size()) - 1);
        if (auto* e = std::get_if<QString>(&fase)) return *e;
        return std::get<QuadroCalcolato>(std::move(fase));
    }
    auto classico = comeClassico(percorso, std::get<QString>(letto));
    if (auto* e = std::get_if<QString>(&classico)) return *e;
    q.file = std::get<FileQuadro>(std::move(classico));
    auto r = ricalcola(q.file.quadro, Riferimenti{q.file.intestazione.data, {}, nullptr});
    if (auto* p = std::get_if<Problema>(&r))
        return QStringLiteral("Il quadro di «%1» non può essere calcolato: %2")
            .arg(percorso, p->messaggio);
    q.valutazione = std::get<Valutazione>(std::move(r));
    return q;
}

namespace {

// Qt's own options, which the application object takes for itself
// ("-platform offscreen", "-style fusion"...): known, so never refused.
const char* const kOpzioniQtConValore[] = {"platform", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowtitle", "qwindowicon",
                                           "style", "stylesheet", "session", "display",
                                           "geometry", "qmljsdebugger"};
const char* const kOpzioniQt[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

QString testoUso() {
    return QStringLiteral(
        "Uso: varimo [PROGETTO]\n"
        "     varimo --esporta ENTRATA USCITA [--confronto | --fase NOME] [--ribasso P]\n"
        "     varimo --esporta ENTRATA USCITA.json --anac [--fase NOME] [--ribasso P]\n"
        "     varimo --converti FILE-CLASSICO USCITA.varimo\n"
        "\n"
        "Senza opzioni Varimo si apre con le sue finestre; PROGETTO (un file di dati o un\n"
        "quadro .varimo) si apre subito.\n"
        "\n"
        "  --esporta ENTRATA USCITA  calcola ENTRATA (.varimo o file di dati) e scrive\n"
        "                            USCITA nel formato della sua estensione (.csv, .pdf,\n"
        "                            .docx, .xlsx); senza altre opzioni l'ultima fase\n"
        "  --confronto               il confronto di tutte le fasi\n"
        "  --fase NOME               la fase di quel nome\n"
        "  --ribasso P               l'aggiudicazione con il ribasso P (per esempio 23,456)\n"
        "  --anac                    i dati della fase per ANAC (quadroEconomicoStandard e,\n"
        "                            per una variante, quadroEconomicoModificaContrattuale)\n"
        "  --converti FILE USCITA    converte un file di dati in un quadro .varimo\n"
        "  -h, --help                mostra questo aiuto\n"
        "  -v, --version             mostra la versione\n");
}

RigaComando leggiRigaComando(const QStringList& argomenti) {
    using Azione = RigaComando::Azione;
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption esporta(QStringLiteral("esporta"));
    const QCommandLineOption converti(QStringLiteral("converti"));
    const QCommandLineOption confronto(QStringLiteral("confronto"));
    const QCommandLineOption fase(QStringLiteral("fase"), QString(), QStringLiteral("NOME"));
    const QCommandLineOption ribasso(QStringLiteral("ribasso"), QString(), QStringLiteral("P"));
    const QCommandLineOption anac(QStringLiteral("anac"));
    const QCommandLineOption aiuto(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versione(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    p.addOptions({esporta, converti, confronto, fase, ribasso, anac, aiuto, versione});
    for (const char* q : kOpzioniQtConValore)
        p.addOption(QCommandLineOption(QString::fromLatin1(q), QString(), QStringLiteral("X")));
    for (const char* q : kOpzioniQt) p.addOption(QCommandLineOption(QString::fromLatin1(q)));

    RigaComando r;
    auto errore = [&](const QString& testo) {
        r.azione = Azione::Errore;
        r.errore = testo;
        return r;
    };
    if (!p.parse(QStringList{QStringLiteral("varimo")} + argomenti)) {
        const QStringList ignote = p.unknownOptionNames();
        if (!ignote.isEmpty()) {
            // Named as it was typed, with its dashes.
            QString scritta = ignote.first();
            for (const QString& a : argomenti)
                if (a.startsWith(u'-') && a.section(u'=', 0, 0).endsWith(u'-' + scritta)) {
                    scritta = a.section(u'=', 0, 0);
                    break;
                }
            return errore(QStringLiteral("Opzione sconosciuta: «%1».").arg(scritta));
        }
        return errore(QStringLiteral("Un'opzione manca del suo valore."));
    }
    r.file = p.positionalArguments();
    if (p.isSet(aiuto)) {
        r.azione = Azione::Aiuto;
        return r;
    }
    if (p.isSet(versione)) {
        r.azione = Azione::Versione;
        return r;
    }
    const bool comando = p.isSet(esporta) || p.isSet(converti);
    if (!comando) {
        if (p.isSet(confronto) || p.isSet(fase) || p.isSet(ribasso) || p.isSet(anac))
            return errore(
                QStringLiteral("--confronto, --fase, --ribasso e --anac si usano con --esporta."));
        if (r.file.size() > 1)
            return errore(QStringLiteral("Si apre un solo progetto alla volta."));
        return r;
    }
    r.azione = p.isSet(esporta) ? Azione::Esporta : Azione::Converti;
    r.confronto = p.isSet(confronto);
    r.anac = p.isSet(anac);
    const QString uso = QStringLiteral(
        "Uso: varimo --esporta ENTRATA USCITA [--confronto | --fase NOME] [--ribasso P] "
        "[--anac] | "
        "varimo --converti FILE-CLASSICO USCITA.varimo");
    // A command's own arguments that do not fit it end it with status 1.
    if ((p.isSet(esporta) && p.isSet(converti)) || r.file.size() != 2 ||
        p.values(fase).size() > 1 || p.values(ribasso).size() > 1 ||
        (r.azione == Azione::Converti &&
         (r.confronto || p.isSet(fase) || p.isSet(ribasso) || r.anac)))
        r.errore = uso;
    if (p.isSet(fase)) r.fase = p.value(fase);
    if (p.isSet(ribasso)) r.ribasso = p.value(ribasso);
    return r;
}

bool comandoSenzaFinestra(const QStringList& argomenti) {
    const auto a = leggiRigaComando(argomenti).azione;
    return a == RigaComando::Azione::Esporta || a == RigaComando::Azione::Converti;
}

int eseguiComando(const QStringList& argomenti, QString* errori, const Esportatori& formati) {
    return eseguiComando(leggiRigaComando(argomenti), errori, formati);
}

int eseguiComando(const RigaComando& riga, QString* errori, const Esportatori& formati) {
    using Azione = RigaComando::Azione;
    auto errore = [&](const QString& testo) {
        if (errori) *errori += testo + u'\n';
        return 1;
    };
    if (riga.azione == Azione::Errore) {
        if (errori) *errori += riga.errore + u'\n' + testoUso();
        return 2;
    }
    if (riga.azione != Azione::Esporta && riga.azione != Azione::Converti)
        return errore(testoUso());
    if (!riga.errore.isEmpty()) return errore(riga.errore);
    const QString& entrata = riga.file[0];
    const QString& uscita = riga.file[1];
    if (QFileInfo(entrata).absoluteFilePath() == QFileInfo(uscita).absoluteFilePath() ||
        (QFileInfo::exists(uscita) &&
         QFileInfo(entrata).canonicalFilePath() == QFileInfo(uscita).canonicalFilePath()))
        return errore(QStringLiteral("Il file da scrivere non può essere quello da leggere."));
    if (riga.confronto || riga.fase || riga.ribasso || riga.anac)
        return eseguiComandoFasi(riga, errori, formati);

    if (riga.azione == Azione::Converti) {
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
        return errore(formatoSconosciuto(uscita, formati));
    auto letto = leggiEcalcola(entrata);
    if (auto* e = std::get_if<QString>(&letto)) return errore(*e);
    const QuadroCalcolato& q = std::get<QuadroCalcolato>(letto);
    for (const QString& avviso : q.valutazione.avvisi) errore(QStringLiteral("Avviso: ") + avviso);
    if (q.valutazione.vincolo == EsitoVincolo::Irraggiungibile)
        errore(
            QStringLiteral("Avviso: il totale vincolato non è raggiungibile; il quadro è "
                           "esportato come è."));
    if (const auto e = (*esporta)(q, uscita))
        return errore(QStringLiteral("Impossibile scrivere «%1»: %2").arg(uscita, *e));
    return 0;
}

}  // namespace varimo::quadro
