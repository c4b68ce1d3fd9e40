#include "quadro/formatofasi.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

#include "datafile/filedati.h"
#include "quadro/formatoquadro.h"

// The items, the fixed total and the header of each phase are written and
// read by the framework's own reader and writer (formatoquadro.h), one phase
// at a time as a document of version 1, so the two versions never differ in
// how an item is spelt or checked.

namespace varimo::quadro {

namespace {

const QString kPrefisso = QStringLiteral("Il file non è un quadro economico di Varimo leggibile: ");

QString chiave(const char* s) {
    return QString::fromLatin1(s);
}

void aggiungiAltri(QJsonObject& o, const QJsonObject& altri) {
    for (auto it = altri.constBegin(); it != altri.constEnd(); ++it)
        if (!o.contains(it.key())) o.insert(it.key(), it.value());
}

QJsonObject comeOggetto(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}

// A framework (and a header) as the version-1 writer writes them.
QJsonObject oggettoV1(const Intestazione& i, const Quadro& q) {
    FileQuadro f;
    f.versione = 1;
    f.intestazione = i;
    f.quadro = q;
    QJsonObject o = comeOggetto(scriviQuadro(f));
    o.remove(chiave("formato"));
    o.remove(chiave("versione"));
    return o;
}

QString riga(const QByteArray& dati, qsizetype offset) {
    int r = 1;
    qsizetype inizio = 0;
    offset = std::clamp<qsizetype>(offset, 0, dati.size());
    for (qsizetype i = 0; i < offset; ++i)
        if (dati[i] == '\n') {
            ++r;
            inizio = i + 1;
        }
    const int colonna = int(QString::fromUtf8(dati.mid(inizio, offset - inizio)).size()) + 1;
    return QStringLiteral("riga %1, colonna %2").arg(r).arg(colonna);
}

// The version-1 reader's message without its opening words.
QString senzaPrefisso(const QString& m) {
    return m.startsWith(kPrefisso) ? m.mid(kPrefisso.size()) : m;
}

class LettoreFasi {
  public:
    QString errore;

    bool fallito() const { return !errore.isEmpty(); }
    void fallisci(const QString& dove, const QString& cosa) {
        if (errore.isEmpty()) errore = dove + QStringLiteral(": ") + cosa;
    }

    QString testo(const QJsonObject& o, const char* k, const QString& dove, bool obbligatorio) {
        const QJsonValue v = o.value(chiave(k));
        if (v.isUndefined()) {
            if (obbligatorio) fallisci(dove, QStringLiteral("manca «%1»").arg(chiave(k)));
            return {};
        }
        if (!v.isString()) {
            fallisci(dove,
                     QStringLiteral("«%1» deve essere un testo tra virgolette").arg(chiave(k)));
            return {};
        }
        if (v.toString().size() > kTestoMassimo)
            fallisci(dove, QStringLiteral("«%1» è più lungo di %2 caratteri")
                               .arg(chiave(k))
                               .arg(kTestoMassimo));
        return v.toString();
    }

    std::optional<QJsonObject> oggetto(const QJsonObject& o, const char* k, const QString& dove) {
        const QJsonValue v = o.value(chiave(k));
        if (v.isUndefined()) return std::nullopt;
        if (!v.isObject()) {
            fallisci(dove, QStringLiteral("«%1» deve essere un oggetto { … }").arg(chiave(k)));
            return std::nullopt;
        }
        return v.toObject();
    }

    Fase fase(const QJsonValue& valore, int i) {
        Fase f;
        const QString posizione = QStringLiteral("fase %1").arg(i + 1);
        if (!valore.isObject()) {
            fallisci(posizione, QStringLiteral("una fase deve essere un oggetto { … }"));
            return f;
        }
        const QJsonObject o = valore.toObject();
        f.nome = testo(o, "nome", posizione, true);
        if (fallito()) return f;
        const QString dove = QStringLiteral("%1 («%2»)").arg(posizione, f.nome);
        if (f.nome.trimmed().isEmpty() || f.nome != f.nome.trimmed())
            fallisci(dove, QStringLiteral("il nome della fase è vuoto o ha spazi ai lati"));
        const QString tipo = testo(o, "tipo", dove, true);
        if (fallito()) return f;
        const auto t = tipoFaseDaChiave(tipo);
        if (!t) {
            fallisci(dove, QStringLiteral("il tipo «%1» non è fattibilita, esecutivo, "
                                          "aggiudicazione, variante o finale")
                               .arg(tipo));
            return f;
        }
        f.tipo = *t;
        f.data = testo(o, "data", dove, false);
        if (const QJsonValue b = o.value(chiave("bloccata")); !b.isUndefined()) {
            if (!b.isBool()) fallisci(dove, QStringLiteral("«bloccata» deve essere true o false"));
            f.bloccata = b.toBool();
        }
        if (o.contains(chiave("ribasso"))) {
            const QString r = testo(o, "ribasso", dove, true);
            if (fallito()) return f;
            f.ribasso = leggiPercentualeFile(r);
            if (!f.ribasso)
                fallisci(dove, QStringLiteral("il ribasso «%1» non è un numero da 0 a 100 con al "
                                              "più tre decimali dopo il punto")
                                   .arg(r));
        }
        if (const QJsonValue m = o.value(chiave("ribassa_manodopera")); !m.isUndefined()) {
            if (!m.isBool())
                fallisci(dove, QStringLiteral("«ribassa_manodopera» deve essere true o false"));
            f.ribassaManodopera = m.toBool();
        }
        if (const auto a = oggetto(o, "atto", dove)) {
            Atto atto;
            atto.numero = testo(*a, "numero", dove + QStringLiteral(" › atto"), false);
            atto.data = testo(*a, "data", dove + QStringLiteral(" › atto"), false);
            for (auto it = a->constBegin(); it != a->constEnd(); ++it)
                if (it.key() != QLatin1String("numero") && it.key() != QLatin1String("data"))
                    atto.altri.insert(it.key(), it.value());
            f.atto = atto;
        }
        if (const auto l = oggetto(o, "limite", dove)) {
            LimiteVariante limite;
            const QString p = testo(*l, "percentuale", dove + QStringLiteral(" › limite"), true);
            if (fallito()) return f;
            const auto m = leggiPercentualeFile(p);
            if (!m)
                fallisci(dove + QStringLiteral(" › limite"),
                         QStringLiteral("la percentuale «%1» non è un numero da 0 a 100 con al "
                                        "più tre decimali dopo il punto")
                             .arg(p));
            limite.percentuale = m.value_or(0);
            limite.articolo = testo(*l, "articolo", dove + QStringLiteral(" › limite"), false);
            for (auto it = l->constBegin(); it != l->constEnd(); ++it)
                if (it.key() != QLatin1String("percentuale") &&
                    it.key() != QLatin1String("articolo"))
                    limite.altri.insert(it.key(), it.value());
            f.limite = limite;
        }
        if (const QJsonValue g = o.value(chiave("giorni_proroga")); !g.isUndefined()) {
            const double x = g.toDouble(-1);
            if (!g.isDouble() || x < 0 || x > kGiorniProrogaMassimi || x != std::floor(x))
                fallisci(dove, QStringLiteral("«giorni_proroga» deve essere un numero intero di "
                                              "giorni da 0 a %1")
                                   .arg(kGiorniProrogaMassimi));
            else
                f.giorniProroga = static_cast<int>(x);
        }
        if (fallito()) return f;

        // The items and the fixed total, through the version-1 reader.
        QJsonObject v1{{chiave("formato"), QString::fromLatin1(kFormato)},
                       {chiave("versione"), 1},
                       {chiave("voci"), o.value(chiave("voci"))}};
        if (o.contains(chiave("vincolo"))) v1.insert(chiave("vincolo"), o.value(chiave("vincolo")));
        if (!o.contains(chiave("voci"))) {
            fallisci(dove, QStringLiteral("manca «voci»"));
            return f;
        }
        auto letto = leggiQuadro(QJsonDocument(v1).toJson(QJsonDocument::Compact));
        if (auto* e = std::get_if<QString>(&letto)) {
            fallisci(dove, senzaPrefisso(*e));
            return f;
        }
        f.quadro = std::get<FileQuadro>(std::move(letto)).quadro;

        static const QSet<QString> note{chiave("nome"),    chiave("tipo"),
                                        chiave("data"),    chiave("bloccata"),
                                        chiave("ribasso"), chiave("atto"),
                                        chiave("limite"),  chiave("voci"),
                                        chiave("vincolo"), chiave("ribassa_manodopera"),
                                        chiave("giorni_proroga")};
        for (auto it = o.constBegin(); it != o.constEnd(); ++it)
            if (!note.contains(it.key())) f.altri.insert(it.key(), it.value());
        return f;
    }
};

}  // namespace

namespace {

QJsonObject oggettoFasi(const FileFasi& f) {
    QJsonObject o;
    o.insert(chiave("formato"), QString::fromLatin1(kFormato));
    o.insert(chiave("versione"), kVersioneFasi);
    o.insert(chiave("intestazione"), oggettoV1(f.intestazione, {}).value(chiave("intestazione")));
    QJsonArray fasi;
    for (const Fase& fase : f.fasi) {
        QJsonObject fo = oggettoV1({}, fase.quadro);
        fo.remove(chiave("intestazione"));
        fo.insert(chiave("nome"), fase.nome);
        fo.insert(chiave("tipo"), chiaveTipoFase(fase.tipo));
        fo.insert(chiave("data"), fase.data);
        fo.insert(chiave("bloccata"), fase.bloccata);
        if (fase.ribasso) fo.insert(chiave("ribasso"), testoPercentualeFile(*fase.ribasso));
        if (fase.ribassaManodopera) fo.insert(chiave("ribassa_manodopera"), true);
        if (fase.atto) {
            QJsonObject a{{chiave("numero"), fase.atto->numero}, {chiave("data"), fase.atto->data}};
            aggiungiAltri(a, fase.atto->altri);
            fo.insert(chiave("atto"), a);
        }
        if (fase.limite) {
            QJsonObject l{{chiave("percentuale"), testoPercentualeFile(fase.limite->percentuale)},
                          {chiave("articolo"), fase.limite->articolo}};
            aggiungiAltri(l, fase.limite->altri);
            fo.insert(chiave("limite"), l);
        }
        if (fase.giorniProroga) fo.insert(chiave("giorni_proroga"), *fase.giorniProroga);
        aggiungiAltri(fo, fase.altri);
        fasi.append(fo);
    }
    o.insert(chiave("fasi"), fasi);
    aggiungiAltri(o, f.altri);
    return o;
}

}  // namespace

QByteArray scriviFasi(const FileFasi& f) {
    return QJsonDocument(oggettoFasi(f)).toJson(QJsonDocument::Indented);
}

std::variant<QByteArray, QString> fileDaSalvare(const FileFasi& f) {
    const QJsonDocument doc(oggettoFasi(f));
    QByteArray dati = doc.toJson(QJsonDocument::Indented);
    // The indentation of a very large framework would take it past the size
    // the reader takes: it is then written without it.
    if (dati.size() > kDimensioneMassima) dati = doc.toJson(QJsonDocument::Compact);
    // What is written must open again: the reader's own limits decide.
    const auto letto = leggiFasi(dati);
    if (const auto* e = std::get_if<QString>(&letto))
        return QStringLiteral("Il quadro non è stato salvato: il file non si potrebbe riaprire. %1")
            .arg(*e);
    return dati;
}

namespace {

// A document of version 2 with each phase blanked to "{}" and spaces, so that
// every offset stays where it was, and the byte ranges of the phases. Nothing
// when the bytes are not plainly one object with one key "fasi" whose value is
// a list: the whole document is then read at once, and its reader says what is
// wrong.
struct Scheletro {
    QByteArray testo;
    QList<std::pair<qsizetype, qsizetype>> fasi;  // [inizio, fine)
};

// The header of a document of version 2, through the version-1 reader, and
// the keys of its top level this program does not know.
std::optional<QString> leggiTesta(const QJsonObject& o, FileFasi& f) {
    QJsonObject testa{{chiave("formato"), QString::fromLatin1(kFormato)},
                      {chiave("versione"), 1},
                      {chiave("voci"), QJsonArray()}};
    if (o.contains(chiave("intestazione")))
        testa.insert(chiave("intestazione"), o.value(chiave("intestazione")));
    auto letta = leggiQuadro(QJsonDocument(testa).toJson(QJsonDocument::Compact));
    if (auto* e = std::get_if<QString>(&letta)) return *e;
    f.intestazione = std::get<FileQuadro>(letta).intestazione;
    static const QSet<QString> note{chiave("formato"), chiave("versione"), chiave("intestazione"),
                                    chiave("fasi")};
    for (auto it = o.constBegin(); it != o.constEnd(); ++it)
        if (!note.contains(it.key())) f.altri.insert(it.key(), it.value());
    return std::nullopt;
}

std::optional<Scheletro> scheletro(const QByteArray& d) {
    Scheletro sk;
    int profondita = 0;
    bool chiaveAttesa = false;  // at depth 1, after '{' or ','
    QByteArray chiave;          // the last key read at depth 1
    bool valoreDiFasi = false;  // right after "fasi": at depth 1
    int elenchiFasi = 0;
    bool inFasi = false;  // inside the list of phases (depth 2 and below)
    qsizetype inizio = -1;  // the first byte of the phase being read
    qsizetype ultimo = -1;  // the last byte that is not a blank
    const qsizetype n = d.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = d[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        if (inFasi && profondita == 2) {
            if (c == ',' || c == ']') {
                // A phase ends at its last byte; a separator without one
                // before it (an empty list, a stray comma) is left to the
                // whole reader.
                if (inizio < 0) return std::nullopt;
                sk.fasi.append({inizio, ultimo + 1});
                inizio = -1;
            } else if (inizio < 0) {
                inizio = i;
            }
        }
        if (c == '"') {
            qsizetype j = i + 1;
            while (j < n && d[j] != '"') j += d[j] == '\\' ? 2 : 1;
            if (j >= n) return std::nullopt;
            if (profondita == 1 && chiaveAttesa) chiave = d.mid(i + 1, j - i - 1);
            chiaveAttesa = false;
            valoreDiFasi = false;
            i = j;
        } else if (c == ':') {
            valoreDiFasi = profondita == 1 && chiave == "fasi";
        } else if (c == '{' || c == '[') {
            if (profondita == 0 && c != '{') return std::nullopt;
            if (profondita == 1 && valoreDiFasi && c == '[') {
                inFasi = true;
                ++elenchiFasi;
                // An empty list has no phase to end at its ']'.
                qsizetype k = i + 1;
                while (k < n && (d[k] == ' ' || d[k] == '\t' || d[k] == '\n' || d[k] == '\r'))
                    ++k;
                if (k < n && d[k] == ']') return std::nullopt;
            }
            valoreDiFasi = false;
            chiaveAttesa = ++profondita == 1;
        } else if (c == '}' || c == ']') {
            if (--profondita < 0) return std::nullopt;
            if (inFasi && profondita == 1) inFasi = false;  // the list's ']'
            valoreDiFasi = false;
        } else if (c == ',') {
            chiaveAttesa = profondita == 1;
            valoreDiFasi = false;
        } else {
            valoreDiFasi = false;
        }
        ultimo = i;
        if (profondita == 0 && i + 1 < n) {
            // Nothing but blanks may follow the document.
            for (qsizetype k = i + 1; k < n; ++k)
                if (d[k] != ' ' && d[k] != '\t' && d[k] != '\n' && d[k] != '\r')
                    return std::nullopt;
            break;
        }
    }
    if (profondita != 0 || elenchiFasi != 1 || sk.fasi.isEmpty()) return std::nullopt;
    sk.testo = d;
    for (const auto& [da, a] : sk.fasi) {
        if (a - da < 2) return std::nullopt;
        char* p = sk.testo.data() + da;
        std::fill(p, p + (a - da), ' ');
        p[0] = '{';
        p[1] = '}';
    }
    return sk;
}

}  // namespace

std::optional<QString> leggiFasiInSequenza(const QByteArray& dati, FileFasi& testa,
                                           const std::function<void(Fase&&)>& ognuna) {
    // Whatever is not plainly a document of version 2 with its phases is read
    // whole: its reader gives the message or the one phase.
    auto intero = [&]() -> std::optional<QString> {
        auto letto = leggiFasiIntero(dati);
        if (auto* e = std::get_if<QString>(&letto)) return *e;
        FileFasi& f = std::get<FileFasi>(letto);
        testa.intestazione = f.intestazione;
        testa.altri = f.altri;
        for (Fase& fase : f.fasi) ognuna(std::move(fase));
        return std::nullopt;
    };
    if (dati.size() > kDimensioneMassima) return kPrefisso + QStringLiteral("è troppo grande.");
    auto sk = scheletro(dati);
    if (!sk) return intero();
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(sk->testo, &pe);
    sk->testo = QByteArray();  // read: only the phases' ranges are needed now
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) return intero();
    const QJsonObject o = doc.object();
    const QJsonValue ver = o.value(chiave("versione"));
    if (o.value(chiave("formato")).toString() != QLatin1String(kFormato) || !ver.isDouble() ||
        ver.toDouble() != 2.0 || o.value(chiave("fasi")).toArray().size() != sk->fasi.size())
        return intero();
    // Each phase read alone must be an object of correct JSON, checked for
    // all of them before the first is handed on: anything else the whole
    // reader names with its line and column.
    for (const auto& [da, a] : sk->fasi) {
        if (dati[da] != '{') return intero();
        QJsonParseError errore;
        const QJsonDocument fase = QJsonDocument::fromJson(dati.mid(da, a - da), &errore);
        if (errore.error != QJsonParseError::NoError || !fase.isObject()) return intero();
    }

    if (auto e = leggiTesta(o, testa)) return e;

    LettoreFasi l;
    QSet<QString> nomi;
    for (qsizetype k = 0; k < sk->fasi.size(); ++k) {
        const auto& [da, a] = sk->fasi[k];
        Fase letta = l.fase(QJsonDocument::fromJson(dati.mid(da, a - da)).object(), int(k));
        if (!l.fallito() && nomi.contains(letta.nome))
            l.fallisci(QStringLiteral("fase %1").arg(k + 1),
                       QStringLiteral("il nome «%1» è già di un'altra fase").arg(letta.nome));
        // A message of the item reader ends with its own full stop.
        if (l.fallito())
            return kPrefisso + l.errore + (l.errore.endsWith(u'.') ? QString() : QStringLiteral("."));
        nomi.insert(letta.nome);
        ognuna(std::move(letta));
    }
    return std::nullopt;
}

std::variant<FileFasi, QString> leggiFasi(const QByteArray& dati) {
    FileFasi f;
    if (const auto e = leggiFasiInSequenza(dati, f, [&f](Fase&& fase) {
            f.fasi.append(std::move(fase));
        }))
        return *e;
    return f;
}

std::variant<FileFasi, QString> leggiFasiIntero(const QByteArray& dati) {
    if (dati.size() > kDimensioneMassima) return kPrefisso + QStringLiteral("è troppo grande.");
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(dati, &pe);
    if (pe.error != QJsonParseError::NoError)
        return kPrefisso + riga(dati, pe.offset) +
               QStringLiteral(": il testo JSON non è corretto (%1).").arg(pe.errorString());
    if (!doc.isObject())
        return kPrefisso + QStringLiteral("il documento non è un oggetto JSON { … }.");
    const QJsonObject o = doc.object();
    const QJsonValue ver = o.value(chiave("versione"));
    if (o.value(chiave("formato")).toString() != QLatin1String(kFormato) || !ver.isDouble() ||
        ver.toDouble() != 2.0) {
        // Version 1, or what its reader has to say about the signature and
        // the version.
        // A whole version past this one names itself in plain digits; any
        // other number is left to the version-1 reader, which refuses it.
        const double v = ver.toDouble();
        if (ver.isDouble() && v > kVersioneFasi && v < 1e15 && v == std::floor(v) &&
            o.value(chiave("formato")).toString() == QLatin1String(kFormato))
            return QStringLiteral(
                       "Il quadro è stato scritto da una versione più recente di Varimo "
                       "(formato versione %1): questa versione legge fino alla %2.")
                .arg(QString::number(v, 'f', 0))
                .arg(kVersioneFasi);
        auto v1 = leggiQuadro(dati);
        if (auto* e = std::get_if<QString>(&v1)) return *e;
        return fileDaQuadro(std::get<FileQuadro>(v1));
    }

    FileFasi f;
    if (const auto e = leggiTesta(o, f)) return *e;

    const QJsonValue fv = o.value(chiave("fasi"));
    if (!fv.isArray() || fv.toArray().isEmpty())
        return kPrefisso + QStringLiteral("«fasi» deve essere un elenco [ … ] di almeno una fase.");
    LettoreFasi l;
    const QJsonArray fasi = fv.toArray();
    QSet<QString> nomi;
    for (qsizetype i = 0; i < fasi.size() && !l.fallito(); ++i) {
        Fase fase = l.fase(fasi.at(i), int(i));
        if (l.fallito()) break;
        if (nomi.contains(fase.nome))
            l.fallisci(QStringLiteral("fase %1").arg(i + 1),
                       QStringLiteral("il nome «%1» è già di un'altra fase").arg(fase.nome));
        nomi.insert(fase.nome);
        f.fasi.append(std::move(fase));
    }
    // A message of the item reader ends with its own full stop.
    if (l.fallito()) return kPrefisso + l.errore + (l.errore.endsWith(u'.') ? QString() : QStringLiteral("."));
    return f;
}

std::variant<FileFasi, QString> apriFileFasi(const QString& percorso) {
    auto dati = leggiByteQuadro(percorso);
    if (auto* e = std::get_if<QString>(&dati)) return *e;
    return leggiFasi(std::get<QByteArray>(dati));
}

std::optional<QString> salvaFileFasi(const QString& percorso, const FileFasi& f) {
    auto dati = fileDaSalvare(f);
    if (const auto* e = std::get_if<QString>(&dati)) return *e;
    if (const auto e = scriviFileProgetto(percorso, std::get<QByteArray>(dati)))
        return QStringLiteral("Il quadro non è stato salvato in «%1»: %2").arg(percorso, *e);
    return std::nullopt;
}

std::variant<FileQuadro, QString> quadroDellaFase(const FileFasi& f, int i,
                                                  Valutazione* valutazione) {
    if (i < 0 || i >= f.fasi.size()) return QStringLiteral("La fase non esiste.");
    auto c = calcolaFase(f, i);
    if (auto* e = std::get_if<Problema>(&c))
        return QStringLiteral("La fase «%1» non può essere calcolata: %2")
            .arg(f.fasi[i].nome, e->messaggio);
    FileQuadro q;
    q.intestazione = f.intestazione;
    q.intestazione.fase = f.fasi[i].nome;
    if (!f.fasi[i].data.isEmpty()) q.intestazione.data = f.fasi[i].data;
    FaseCalcolata& calcolata = std::get<FaseCalcolata>(c);
    q.quadro = std::move(calcolata.quadro);
    if (valutazione) *valutazione = std::move(calcolata.valutazione);
    return q;
}

}  // namespace varimo::quadro
