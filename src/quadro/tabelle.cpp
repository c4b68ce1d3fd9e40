#include "quadro/tabelle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

#include "quadro/fasi.h"

namespace varimo::quadro {

// resources/leggi/tabelle-scaglioni.json, built into the library by CMake.
extern const char* const kTabelleInstallate;

namespace {

// The product of a base and a percentage may pass 64 bits.
__extension__ typedef __int128 Intero128;

constexpr char kFormato[] = "varimo-tabelle";
constexpr int kVersione = 1;
// A tables file is a few kilobytes; anything far larger is not one.
constexpr qint64 kDimensioneMassima = 1 << 20;

QString dataItaliana(const QDate& d) {
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

// A date of the tables file: exactly "2025-01-01".
QDate leggiDataFile(const QString& testo) {
    if (testo.size() != 10) return {};
    return QDate::fromString(testo, QStringLiteral("yyyy-MM-dd"));
}

// The framework's date, read as the window and the phases read it
// ("2025-03-15", "15/03/2025"...).
QDate leggiDataQuadro(const QString& testo) {
    return QDate::fromString(dataIso(testo).value_or(QString()), Qt::ISODate);
}

QString prefisso(const QString& origine) {
    if (origine.isEmpty())
        return QStringLiteral("Le tabelle installate con Varimo non sono leggibili: ");
    return QStringLiteral("Il file delle tabelle «%1» non è leggibile: ").arg(origine);
}

// "riga 12": where a JSON fault lies in the text.
QString rigaNelTesto(const QByteArray& dati, int offset) {
    const qsizetype fine = std::clamp<qsizetype>(offset, 0, dati.size());
    return QStringLiteral("riga %1").arg(dati.left(fine).count('\n') + 1);
}

// Reads the values of one item and keeps the first fault: where it lies
// (which table, which band) and what is wrong with which key.
class Lettore {
  public:
    std::optional<QString> errore;

    void fallisci(const QString& dove, const QString& cosa) {
        if (!errore) errore = dove + QStringLiteral(": ") + cosa;
    }

    QString testo(const QJsonObject& o, const QString& chiave, const QString& dove,
                  bool obbligatorio = true) {
        const QJsonValue v = o.value(chiave);
        if (v.isUndefined() || v.isNull()) {
            if (obbligatorio) fallisci(dove, QStringLiteral("manca «%1»").arg(chiave));
            return {};
        }
        if (!v.isString()) {
            fallisci(dove, QStringLiteral("«%1» deve essere un testo tra virgolette").arg(chiave));
            return {};
        }
        QString s = v.toString().trimmed();
        if (obbligatorio && s.isEmpty()) fallisci(dove, QStringLiteral("«%1» è vuoto").arg(chiave));
        return s;
    }

    QDate data(const QJsonObject& o, const QString& chiave, const QString& dove,
               bool obbligatorio = true) {
        const QString s = testo(o, chiave, dove, obbligatorio);
        if (s.isEmpty()) return {};
        const QDate d = leggiDataFile(s);
        if (!d.isValid())
            fallisci(dove,
                     QStringLiteral("«%1» «%2» non è una data come \"2025-01-01\"").arg(chiave, s));
        return d;
    }

    Centesimi importo(const QJsonObject& o, const QString& chiave, const QString& dove) {
        const QString s = testo(o, chiave, dove);
        if (errore) return 0;
        const auto c = leggiImportoFile(s);
        if (!c || *c < 0) {
            fallisci(dove, QStringLiteral("«%1» «%2» non è un importo non negativo come "
                                          "\"40000.00\"")
                               .arg(chiave, s));
            return 0;
        }
        return *c;
    }

    Millesimi percentuale(const QJsonObject& o, const QString& chiave, const QString& dove) {
        const QString s = testo(o, chiave, dove);
        if (errore) return 0;
        const auto m = leggiPercentualeFile(s);
        if (!m) {
            fallisci(dove, QStringLiteral("«%1» «%2» non è una percentuale da 0 a 100 come \"2\" "
                                          "o \"0.5\"")
                               .arg(chiave, s));
            return 0;
        }
        return *m;
    }

    // A list of the root or of an item; absent is an empty list when allowed.
    QJsonArray elenco(const QJsonObject& o, const QString& chiave, const QString& dove,
                      bool obbligatorio) {
        const QJsonValue v = o.value(chiave);
        if (v.isUndefined() && !obbligatorio) return {};
        if (!v.isArray()) {
            fallisci(dove, QStringLiteral("«%1» deve essere un elenco [ … ]").arg(chiave));
            return {};
        }
        return v.toArray();
    }

    // An entry of a list; `dove` names it ("tabella 2").
    QJsonObject oggetto(const QJsonValue& v, const QString& dove) {
        if (!v.isObject()) {
            fallisci(dove, QStringLiteral("deve essere un oggetto { … }"));
            return {};
        }
        return v.toObject();
    }

    // "tabella 2 («contributo-anac-stazione-appaltante»)", once the name is known.
    static QString conNome(const QString& dove, const QString& nome) {
        return nome.isEmpty() ? dove : dove + QStringLiteral(" («%1»)").arg(nome);
    }

    // The end of the item's dates, when given, not before its start.
    void periodo(const QDate& dal, const QDate& al, const QString& dove) {
        if (dal.isValid() && al.isValid() && al < dal)
            fallisci(dove, QStringLiteral("«al» (%1) viene prima di «dal» (%2)")
                               .arg(dataItaliana(al), dataItaliana(dal)));
    }

    TabellaScaglioni tabella(const QJsonValue& v, const QString& posto) {
        TabellaScaglioni t;
        const QJsonObject o = oggetto(v, posto);
        if (errore) return t;
        t.nome = testo(o, QStringLiteral("nome"), posto);
        const QString dove = conNome(posto, t.nome);
        t.titolo = testo(o, QStringLiteral("titolo"), dove);
        t.base = testo(o, QStringLiteral("base"), dove);
        t.fonte = testo(o, QStringLiteral("fonte"), dove);
        t.dal = data(o, QStringLiteral("dal"), dove);
        t.al = data(o, QStringLiteral("al"), dove, false);
        periodo(t.dal, t.al, dove);
        const QJsonArray bande = elenco(o, QStringLiteral("scaglioni"), dove, true);
        if (!errore && bande.isEmpty()) fallisci(dove, QStringLiteral("«scaglioni» è vuoto"));
        for (qsizetype i = 0; i < bande.size() && !errore; ++i) {
            const QString qui = dove + QStringLiteral(", scaglione %1").arg(i + 1);
            const QJsonObject b = oggetto(bande.at(i), qui);
            if (errore) break;
            Scaglione s;
            s.da = importo(b, QStringLiteral("da"), qui);
            const bool haImporto = b.contains(QStringLiteral("importo"));
            const bool haPercentuale = b.contains(QStringLiteral("percentuale"));
            if (haImporto == haPercentuale)
                fallisci(qui, QStringLiteral("serve uno solo tra «importo» e «percentuale»"));
            else if (haImporto)
                s.importo = importo(b, QStringLiteral("importo"), qui);
            else
                s.percentuale = percentuale(b, QStringLiteral("percentuale"), qui);
            if (!errore && !t.scaglioni.isEmpty() && s.da <= t.scaglioni.last().da)
                fallisci(qui, QStringLiteral("«da» deve crescere da uno scaglione al successivo"));
            t.scaglioni.append(s);
        }
        return t;
    }

    Limite limite(const QJsonValue& v, const QString& posto) {
        Limite l;
        const QJsonObject o = oggetto(v, posto);
        if (errore) return l;
        l.nome = testo(o, QStringLiteral("nome"), posto);
        const QString dove = conNome(posto, l.nome);
        l.titolo = testo(o, QStringLiteral("titolo"), dove);
        l.fonte = testo(o, QStringLiteral("fonte"), dove);
        l.percentuale = percentuale(o, QStringLiteral("percentuale"), dove);
        l.dal = data(o, QStringLiteral("dal"), dove);
        l.al = data(o, QStringLiteral("al"), dove, false);
        periodo(l.dal, l.al, dove);
        return l;
    }

    Aliquote aliquote(const QJsonValue& v, const QString& posto) {
        Aliquote a;
        const QJsonObject o = oggetto(v, posto);
        if (errore) return a;
        a.nome = testo(o, QStringLiteral("nome"), posto);
        const QString dove = conNome(posto, a.nome);
        a.titolo = testo(o, QStringLiteral("titolo"), dove);
        a.fonte = testo(o, QStringLiteral("fonte"), dove, false);
        const QJsonArray scelte = elenco(o, QStringLiteral("scelte"), dove, true);
        if (!errore && scelte.isEmpty()) fallisci(dove, QStringLiteral("«scelte» è vuoto"));
        for (qsizetype i = 0; i < scelte.size() && !errore; ++i) {
            const QString qui = dove + QStringLiteral(", scelta %1").arg(i + 1);
            const QJsonObject s = oggetto(scelte.at(i), qui);
            if (errore) break;
            SceltaAliquota scelta;
            scelta.percentuale = percentuale(s, QStringLiteral("percentuale"), qui);
            scelta.titolo = testo(s, QStringLiteral("titolo"), qui);
            a.scelte.append(scelta);
        }
        return a;
    }

    // Items of one name must not share a day: which one applies would be a guess.
    template <typename T>
    void nessunaSovrapposizione(const QList<T>& elenco, const QString& genere) {
        for (qsizetype i = 0; i < elenco.size() && !errore; ++i)
            for (qsizetype j = 0; j < elenco.size() && !errore; ++j) {
                const T& a = elenco.at(i);
                const T& b = elenco.at(j);
                if (i == j || a.nome != b.nome || a.dal > b.dal) continue;
                if (a.dal == b.dal && i > j) continue;  // the pair is seen once
                if (a.dal == b.dal || (a.al.isValid() && a.al >= b.dal))
                    fallisci(QStringLiteral("%1 «%2»").arg(genere, a.nome),
                             QStringLiteral("i periodi dal %1 e dal %2 si sovrappongono")
                                 .arg(dataItaliana(a.dal), dataItaliana(b.dal)));
            }
    }
};

// The items of one name, by start; items starting on the same day keep the
// catalog's order, so the user's come after the shipped ones.
template <typename T>
QList<const T*> perNome(const QList<T>& elenco, const QString& nome) {
    QList<const T*> r;
    for (const T& x : elenco)
        if (x.nome == nome) r.append(&x);
    std::stable_sort(r.begin(), r.end(), [](const T* a, const T* b) { return a->dal < b->dal; });
    return r;
}

// The last day of item `i`: its own end, else the day before the next item of
// the name starts; null when open.
template <typename T>
QDate fine(const QList<const T*>& v, qsizetype i) {
    if (v.at(i)->al.isValid()) return v.at(i)->al;
    for (qsizetype j = i + 1; j < v.size(); ++j)
        if (v.at(j)->dal > v.at(i)->dal) return v.at(j)->dal.addDays(-1);
    return {};
}

template <typename T>
struct Scelta {
    const T* voce = nullptr;
    bool neiTermini = false;  // the date lies within the item's dates
};

// The item whose dates hold `giorno` (the latest start, on the same day the
// later in the catalog); else the newest starting on or before it; before all
// of them the oldest; without a date the newest.
template <typename T>
Scelta<T> scegli(const QList<const T*>& v, const QDate& giorno) {
    if (v.isEmpty()) return {};
    if (!giorno.isValid()) return {v.last(), false};
    for (qsizetype i = v.size() - 1; i >= 0; --i) {
        const QDate f = fine(v, i);
        if (v.at(i)->dal <= giorno && (!f.isValid() || giorno <= f)) return {v.at(i), true};
    }
    for (qsizetype i = v.size() - 1; i >= 0; --i)
        if (v.at(i)->dal <= giorno) return {v.at(i), false};
    qsizetype primo = 0;
    while (primo + 1 < v.size() && v.at(primo + 1)->dal == v.first()->dal) ++primo;
    return {v.at(primo), false};
}

std::variant<QByteArray, QString> leggiFile(const QString& percorso) {
    const QFileInfo info(percorso);
    if (!info.isFile())
        return QStringLiteral("«%1» non è un file di tabelle leggibile.").arg(percorso);
    if (info.size() > kDimensioneMassima)
        return QStringLiteral("Il file delle tabelle «%1» è troppo grande.").arg(percorso);
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Il file delle tabelle «%1» non può essere aperto (%2).")
            .arg(percorso, file.errorString());
    const QByteArray dati = file.read(kDimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Errore durante la lettura del file delle tabelle «%1» (%2).")
            .arg(percorso, file.errorString());
    return dati;
}

QString soloInstallate() {
    return QStringLiteral(" Valgono le tabelle installate con Varimo.");
}

}  // namespace

Centesimi importoScaglioni(const TabellaScaglioni& t, Centesimi base) {
    if (base < 0) return 0;
    const Scaglione* banda = nullptr;
    for (const Scaglione& s : t.scaglioni) {
        if (s.da > base) break;
        banda = &s;
    }
    if (!banda) return 0;
    if (banda->importo) return *banda->importo;
    const Intero128 prodotto = Intero128(base) * banda->percentuale;
    return Centesimi((prodotto + kPercentualeMassima / 2) / kPercentualeMassima);
}

QStringList CatalogoTabelle::nomi() const {
    QStringList r;
    for (const TabellaScaglioni& t : tabelle)
        if (!r.contains(t.nome)) r.append(t.nome);
    return r;
}

TabellaScelta scegliTabella(const CatalogoTabelle& c, const QString& nome, const QString& data) {
    const QDate giorno = leggiDataQuadro(data);
    const Scelta<TabellaScaglioni> s = scegli(perNome(c.tabelle, nome), giorno);
    TabellaScelta r;
    r.tabella = s.voce;
    if (!s.voce || s.neiTermini) return r;
    const QString quale = QStringLiteral("si applica la tabella del %1, %2. ")
                              .arg(QString::number(s.voce->dal.year()), s.voce->fonte);
    const QString verifica =
        QStringLiteral("Il progettista deve verificare l'atto in vigore alla data del quadro.");
    if (giorno.isValid())
        r.avviso = QStringLiteral("Nessuna tabella «%1» vale per la data del quadro (%2): ")
                       .arg(s.voce->titolo, dataItaliana(giorno)) +
                   quale + verifica;
    else if (data.trimmed().isEmpty())
        r.avviso = QStringLiteral("Il quadro non ha una data: per «%1» ").arg(s.voce->titolo) +
                   quale + verifica;
    else
        r.avviso = QStringLiteral("La data del quadro «%1» non è leggibile: per «%2» ")
                       .arg(data.trimmed(), s.voce->titolo) +
                   quale + verifica;
    return r;
}

const Limite* scegliLimite(const CatalogoTabelle& c, const QString& nome, const QString& data) {
    const QList<const Limite*> v = perNome(c.limiti, nome);
    const Scelta<Limite> s = scegli(v, leggiDataQuadro(data));
    if (s.neiTermini || v.isEmpty()) return s.voce;
    return v.last();
}

const Aliquote* trovaAliquote(const CatalogoTabelle& c, const QString& nome) {
    for (const Aliquote& a : c.aliquote)
        if (a.nome == nome) return &a;
    return nullptr;
}

std::variant<CatalogoTabelle, QString> leggiCatalogo(const QByteArray& json,
                                                     const QString& origine) {
    const QString inizio = prefisso(origine);
    if (json.size() > kDimensioneMassima) return inizio + QStringLiteral("è troppo grande.");
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (pe.error != QJsonParseError::NoError)
        return inizio + rigaNelTesto(json, pe.offset) +
               QStringLiteral(": il testo JSON non è corretto (%1).").arg(pe.errorString());
    if (!doc.isObject())
        return inizio + QStringLiteral("il documento non è un oggetto JSON { … }.");
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("formato")).toString() != QLatin1String(kFormato))
        return inizio +
               QStringLiteral("manca la firma \"formato\": \"%1\".").arg(QLatin1String(kFormato));
    const QJsonValue ver = o.value(QStringLiteral("versione"));
    if (!ver.isDouble() || ver.toDouble() != double(ver.toInt()) || ver.toInt() < 1)
        return inizio + QStringLiteral("«versione» deve essere un numero intero da 1 in su.");
    if (ver.toInt() > kVersione)
        return inizio + QStringLiteral(
                            "è stato scritto per una versione più recente di Varimo "
                            "(formato versione %1; questa legge fino alla %2).")
                            .arg(ver.toInt())
                            .arg(kVersione);

    CatalogoTabelle c;
    Lettore l;
    const QString radice = QStringLiteral("documento");
    const QJsonArray tabelle = l.elenco(o, QStringLiteral("tabelle"), radice, false);
    for (qsizetype i = 0; i < tabelle.size() && !l.errore; ++i)
        c.tabelle.append(l.tabella(tabelle.at(i), QStringLiteral("tabella %1").arg(i + 1)));
    const QJsonArray limiti = l.elenco(o, QStringLiteral("limiti"), radice, false);
    for (qsizetype i = 0; i < limiti.size() && !l.errore; ++i)
        c.limiti.append(l.limite(limiti.at(i), QStringLiteral("limite %1").arg(i + 1)));
    const QJsonArray aliquote = l.elenco(o, QStringLiteral("aliquote"), radice, false);
    QSet<QString> visti;
    for (qsizetype i = 0; i < aliquote.size() && !l.errore; ++i) {
        const QString dove = QStringLiteral("aliquote %1").arg(i + 1);
        c.aliquote.append(l.aliquote(aliquote.at(i), dove));
        const QString& nome = c.aliquote.last().nome;
        if (!l.errore && visti.contains(nome))
            l.fallisci(Lettore::conNome(dove, nome), QStringLiteral("il nome è già usato"));
        visti.insert(nome);
    }
    l.nessunaSovrapposizione(c.tabelle, QStringLiteral("tabella"));
    l.nessunaSovrapposizione(c.limiti, QStringLiteral("limite"));
    if (l.errore) return inizio + *l.errore + u'.';

    for (TabellaScaglioni& t : c.tabelle) t.origine = origine;
    for (Limite& x : c.limiti) x.origine = origine;
    for (Aliquote& a : c.aliquote) a.origine = origine;
    return c;
}

CatalogoTabelle unisciCataloghi(CatalogoTabelle installato, const CatalogoTabelle& utente) {
    for (const TabellaScaglioni& t : utente.tabelle) {
        auto it = std::find_if(installato.tabelle.begin(), installato.tabelle.end(),
                               [&t](const TabellaScaglioni& x) {
                                   return x.nome == t.nome && x.dal == t.dal && x.al == t.al;
                               });
        if (it != installato.tabelle.end())
            *it = t;
        else
            installato.tabelle.append(t);
    }
    for (const Limite& l : utente.limiti) {
        auto it = std::find_if(
            installato.limiti.begin(), installato.limiti.end(),
            [&l](const Limite& x) { return x.nome == l.nome && x.dal == l.dal && x.al == l.al; });
        if (it != installato.limiti.end())
            *it = l;
        else
            installato.limiti.append(l);
    }
    for (const Aliquote& a : utente.aliquote) {
        auto it = std::find_if(installato.aliquote.begin(), installato.aliquote.end(),
                               [&a](const Aliquote& x) { return x.nome == a.nome; });
        if (it != installato.aliquote.end())
            *it = a;
        else
            installato.aliquote.append(a);
    }
    installato.avvisi += utente.avvisi;
    return installato;
}

CatalogoTabelle caricaCatalogo(const QString& percorsoUtente, bool deveEsistere) {
    CatalogoTabelle installato;
    auto letto = leggiCatalogo(QByteArray(kTabelleInstallate), QString());
    if (auto* c = std::get_if<CatalogoTabelle>(&letto))
        installato = std::move(*c);
    else
        installato.avvisi.append(std::get<QString>(letto));
    if (percorsoUtente.isEmpty()) return installato;
    if (!QFileInfo::exists(percorsoUtente)) {
        if (deveEsistere)
            installato.avvisi.append(
                QStringLiteral("Il file delle tabelle «%1» non esiste.").arg(percorsoUtente) +
                soloInstallate());
        return installato;
    }
    const auto dati = leggiFile(percorsoUtente);
    if (const auto* e = std::get_if<QString>(&dati)) {
        installato.avvisi.append(*e + soloInstallate());
        return installato;
    }
    const auto utente = leggiCatalogo(std::get<QByteArray>(dati), percorsoUtente);
    if (const auto* e = std::get_if<QString>(&utente)) {
        installato.avvisi.append(*e + soloInstallate());
        return installato;
    }
    return unisciCataloghi(std::move(installato), std::get<CatalogoTabelle>(utente));
}

const CatalogoTabelle& catalogoTabelle() {
    static const CatalogoTabelle catalogo =
        caricaCatalogo(percorsoTabelleUtente(), !qEnvironmentVariableIsEmpty("VARIMO_TABELLE"));
    return catalogo;
}

QString percorsoTabelleUtente() {
    QString scelto = qEnvironmentVariable("VARIMO_TABELLE");
    if (!scelto.isEmpty()) return scelto;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("tabelle-scaglioni.json"));
}

QString nomeConAnno(const TabellaScaglioni& t) {
    if (!t.dal.isValid()) return t.titolo;
    return t.titolo + u' ' + QString::number(t.dal.year());
}

}  // namespace varimo::quadro
