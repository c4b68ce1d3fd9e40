#include "quadro/formatoquadro.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include "datafile/filedati.h"

namespace varimo::quadro {

namespace {

// ---- Writing -------------------------------------------------------------------

void aggiungiAltri(QJsonObject& o, const QJsonObject& altri) {
    for (auto it = altri.constBegin(); it != altri.constEnd(); ++it)
        if (!o.contains(it.key())) o.insert(it.key(), it.value());
}

QJsonObject oggettoVoce(const Voce& v) {
    QJsonObject o;
    o.insert(QStringLiteral("codice"), v.codice);
    o.insert(QStringLiteral("etichetta"), v.etichetta);
    if (!v.nota.isEmpty()) o.insert(QStringLiteral("nota"), v.nota);
    if (v.ribassabile) o.insert(QStringLiteral("ribassabile"), *v.ribassabile);
    switch (v.tipo) {
        case Tipo::Sezione: {
            QJsonArray figli;
            for (const Voce& f : v.voci) figli.append(oggettoVoce(f));
            o.insert(QStringLiteral("voci"), figli);
            break;
        }
        case Tipo::Importo:
            o.insert(QStringLiteral("importo"), testoImportoFile(v.importo));
            break;
        case Tipo::Percentuale:
            o.insert(QStringLiteral("percentuale"), testoPercentualeFile(v.percentuale));
            o.insert(QStringLiteral("di"), QJsonArray::fromStringList(v.di));
            break;
        case Tipo::Tabella:
            o.insert(QStringLiteral("tabella"), v.tabella);
            o.insert(QStringLiteral("di"), QJsonArray::fromStringList(v.di));
            break;
    }
    if (v.sullaBaseDiGara) o.insert(QStringLiteral("base"), QStringLiteral("gara"));
    aggiungiAltri(o, v.altri);
    return o;
}

// ---- Reading -------------------------------------------------------------------

// A failure while reading: the place and what is wrong there.
struct Errore {
    QString testo;
};

const QSet<QString>& chiaviVoce() {
    static const QSet<QString> c{QStringLiteral("codice"),      QStringLiteral("etichetta"),
                                 QStringLiteral("nota"),        QStringLiteral("ribassabile"),
                                 QStringLiteral("voci"),        QStringLiteral("importo"),
                                 QStringLiteral("percentuale"), QStringLiteral("di"),
                                 QStringLiteral("tabella"),     QStringLiteral("base")};
    return c;
}

const QStringList& campiIntestazione() {
    static const QStringList c{
        QStringLiteral("ente"), QStringLiteral("titolo"), QStringLiteral("cup"),
        QStringLiteral("cig"),  QStringLiteral("rup"),    QStringLiteral("progettista"),
        QStringLiteral("fase"), QStringLiteral("data"),   QStringLiteral("valuta")};
    return c;
}

// The header's fields in the order of campiIntestazione().
QString& campoIntestazione(Intestazione& i, int k) {
    QString* const campi[] = {&i.ente,        &i.titolo, &i.cup,  &i.cig,   &i.rup,
                              &i.progettista, &i.fase,   &i.data, &i.valuta};
    return *campi[k];
}

class Lettore {
  public:
    std::optional<Errore> errore;
    int voci = 0;

    void fallisci(const QString& dove, const QString& cosa) {
        if (!errore) errore = Errore{dove + QStringLiteral(": ") + cosa};
    }

    QString testo(const QJsonObject& o, const QString& chiave, const QString& dove,
                  bool obbligatorio = false) {
        const QJsonValue v = o.value(chiave);
        if (v.isUndefined()) {
            if (obbligatorio) fallisci(dove, QStringLiteral("manca «%1»").arg(chiave));
            return {};
        }
        if (!v.isString()) {
            fallisci(dove, QStringLiteral("«%1» deve essere un testo tra virgolette").arg(chiave));
            return {};
        }
        QString s = v.toString();
        if (s.size() > kTestoMassimo)
            fallisci(
                dove,
                QStringLiteral("«%1» è più lungo di %2 caratteri").arg(chiave).arg(kTestoMassimo));
        return s;
    }

    // One item and its children; `dove` names it for the messages.
    Voce voce(const QJsonValue& valore, const QString& posizione, int profondita) {
        Voce v;
        if (errore) return v;
        if (++voci > kVociMassime) {
            fallisci(posizione, QStringLiteral("il quadro ha più di %1 voci").arg(kVociMassime));
            return v;
        }
        if (!valore.isObject()) {
            fallisci(posizione, QStringLiteral("una voce deve essere un oggetto { … }"));
            return v;
        }
        const QJsonObject o = valore.toObject();
        v.codice = testo(o, QStringLiteral("codice"), posizione, true);
        if (errore) return v;
        const QString dove = QStringLiteral("voce «%1» (%2)").arg(v.codice, posizione);
        v.etichetta = testo(o, QStringLiteral("etichetta"), dove);
        v.nota = testo(o, QStringLiteral("nota"), dove);
        if (const QJsonValue r = o.value(QStringLiteral("ribassabile")); !r.isUndefined()) {
            if (!r.isBool())
                fallisci(dove, QStringLiteral("«ribassabile» deve essere true o false"));
            v.ribassabile = r.toBool();
        }
        const bool haVoci = o.contains(QStringLiteral("voci"));
        const bool haImporto = o.contains(QStringLiteral("importo"));
        const bool haTabella = o.contains(QStringLiteral("tabella"));
        const bool haPercentuale =
            o.contains(QStringLiteral("percentuale")) || (o.contains(QStringLiteral("di")) && !haTabella);
        if (int(haVoci) + int(haImporto) + int(haPercentuale) + int(haTabella) > 1) {
            fallisci(dove, QStringLiteral("una voce è una sezione («voci»), un importo "
                                          "(«importo»), una percentuale («percentuale» e «di») o "
                                          "una tabella a scaglioni («tabella» e «di»), una sola "
                                          "delle quattro"));
            return v;
        }
        if (const QJsonValue b = o.value(QStringLiteral("base")); !b.isUndefined()) {
            if (b != QJsonValue(QStringLiteral("gara")) || !(haPercentuale || haTabella)) {
                fallisci(dove, QStringLiteral("«base» può valere solo \"gara\", in una "
                                              "percentuale o in una tabella a scaglioni"));
                return v;
            }
            v.sullaBaseDiGara = true;
        }
        if (haVoci) {
            v.tipo = Tipo::Sezione;
            const QJsonValue figli = o.value(QStringLiteral("voci"));
            if (!figli.isArray()) {
                fallisci(dove, QStringLiteral("«voci» deve essere un elenco [ … ]"));
                return v;
            }
            if (profondita + 1 >= kProfonditaMassima) {
                fallisci(dove, QStringLiteral("le sezioni sono annidate più di %1 volte")
                                   .arg(kProfonditaMassima));
                return v;
            }
            const QJsonArray a = figli.toArray();
            for (qsizetype i = 0; i < a.size() && !errore; ++i)
                v.voci.append(voce(a.at(i),
                                   QStringLiteral("%1 › voce %2").arg(posizione).arg(i + 1),
                                   profondita + 1));
        } else if (haPercentuale || haTabella) {
            if (haPercentuale) {
                v.tipo = Tipo::Percentuale;
                const QString p = testo(o, QStringLiteral("percentuale"), dove, true);
                if (errore) return v;
                const auto m = leggiPercentualeFile(p);
                if (!m) {
                    fallisci(dove,
                             QStringLiteral("la percentuale «%1» non è un numero da 0 a 100 con "
                                            "al più tre decimali dopo il punto")
                                 .arg(p));
                    return v;
                }
                v.percentuale = *m;
            } else {
                v.tipo = Tipo::Tabella;
                v.tabella = testo(o, QStringLiteral("tabella"), dove, true);
                if (errore) return v;
                if (v.tabella.trimmed().isEmpty()) {
                    fallisci(dove, QStringLiteral("«tabella» deve nominare una tabella a "
                                                  "scaglioni"));
                    return v;
                }
            }
            const QJsonValue di = o.value(QStringLiteral("di"));
            if (!di.isArray()) {
                fallisci(dove, QStringLiteral("«di» deve essere un elenco di codici [ \"A\", … ]"));
                return v;
            }
            for (const QJsonValue c : di.toArray()) {
                if (!c.isString()) {
                    fallisci(dove,
                             QStringLiteral("«di» deve contenere solo codici tra virgolette"));
                    return v;
                }
                v.di.append(c.toString());
            }
        } else {
            v.tipo = Tipo::Importo;
            if (haImporto) {
                const QString t = testo(o, QStringLiteral("importo"), dove, true);
                if (errore) return v;
                const auto c = leggiImportoFile(t);
                if (!c) {
                    fallisci(dove, QStringLiteral("l'importo «%1» non è un numero con al più due "
                                                  "decimali dopo il punto, fino a "
                                                  "999999999999.99")
                                       .arg(t));
                    return v;
                }
                v.importo = *c;
            }
        }
        for (auto it = o.constBegin(); it != o.constEnd(); ++it)
            if (!chiaviVoce().contains(it.key())) v.altri.insert(it.key(), it.value());
        return v;
    }
};

// Line and column of a byte offset, for the messages about the JSON syntax.
QString posizioneNelTesto(const QByteArray& dati, qsizetype offset) {
    int riga = 1;
    qsizetype inizio = 0;
    offset = std::clamp<qsizetype>(offset, 0, dati.size());
    for (qsizetype i = 0; i < offset; ++i)
        if (dati[i] == '\n') {
            ++riga;
            inizio = i + 1;
        }
    const int colonna = int(QString::fromUtf8(dati.mid(inizio, offset - inizio)).size()) + 1;
    return QStringLiteral("riga %1, colonna %2").arg(riga).arg(colonna);
}

QString prefisso() {
    return QStringLiteral("Il file non è un quadro economico di Varimo leggibile: ");
}

}  // namespace

QByteArray scriviQuadro(const FileQuadro& f) {
    QJsonObject o;
    o.insert(QStringLiteral("formato"), QString::fromLatin1(kFormato));
    o.insert(QStringLiteral("versione"), f.versione);
    QJsonObject intestazione;
    Intestazione i = f.intestazione;
    for (int k = 0; k < campiIntestazione().size(); ++k)
        intestazione.insert(campiIntestazione()[k], campoIntestazione(i, k));
    if (!i.luogo.isEmpty()) intestazione.insert(QStringLiteral("luogo"), i.luogo);
    aggiungiAltri(intestazione, f.intestazione.altri);
    o.insert(QStringLiteral("intestazione"), intestazione);
    QJsonArray voci;
    for (const Voce& v : f.quadro.voci) voci.append(oggettoVoce(v));
    o.insert(QStringLiteral("voci"), voci);
    const Vincolo& vin = f.quadro.vincolo;
    if (vin.totale || !vin.compensa.isEmpty() || !vin.altri.isEmpty()) {
        QJsonObject vo;
        if (vin.totale) vo.insert(QStringLiteral("totale"), testoImportoFile(*vin.totale));
        if (!vin.compensa.isEmpty()) vo.insert(QStringLiteral("compensa"), vin.compensa);
        aggiungiAltri(vo, vin.altri);
        o.insert(QStringLiteral("vincolo"), vo);
    }
    aggiungiAltri(o, f.quadro.altri);
    aggiungiAltri(o, f.altri);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::variant<FileQuadro, QString> leggiQuadro(const QByteArray& dati) {
    if (dati.size() > kDimensioneMassima) return prefisso() + QStringLiteral("è troppo grande.");
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(dati, &pe);
    if (pe.error != QJsonParseError::NoError)
        return prefisso() + posizioneNelTesto(dati, pe.offset) +
               QStringLiteral(": il testo JSON non è corretto (%1).").arg(pe.errorString());
    if (!doc.isObject())
        return prefisso() + QStringLiteral("il documento non è un oggetto JSON { … }.");
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("formato")).toString() != QLatin1String(kFormato))
        return prefisso() + QStringLiteral("manca la firma \"formato\": \"varimo-quadro\".");
    const QJsonValue ver = o.value(QStringLiteral("versione"));
    if (!ver.isDouble() || ver.toDouble() != double(ver.toInt()) || ver.toInt() < 1)
        return prefisso() + QStringLiteral("«versione» deve essere un numero intero da 1 in su.");
    if (ver.toInt() > kVersione)
        return QStringLiteral(
                   "Il quadro è stato scritto da una versione più recente di Varimo "
                   "(formato versione %1): questa versione legge fino alla %2.")
            .arg(ver.toInt())
            .arg(kVersione);

    FileQuadro f;
    f.versione = ver.toInt();
    Lettore l;
    const QJsonValue iv = o.value(QStringLiteral("intestazione"));
    if (!iv.isUndefined()) {
        if (!iv.isObject())
            return prefisso() + QStringLiteral("«intestazione» deve essere un oggetto { … }.");
        const QJsonObject io = iv.toObject();
        for (int k = 0; k < campiIntestazione().size(); ++k)
            if (io.contains(campiIntestazione()[k]))
                campoIntestazione(f.intestazione, k) =
                    l.testo(io, campiIntestazione()[k], QStringLiteral("intestazione"));
        for (auto it = io.constBegin(); it != io.constEnd(); ++it)
            if (!campiIntestazione().contains(it.key()) && it.key() != QLatin1String("luogo"))
                f.intestazione.altri.insert(it.key(), it.value());
        if (io.contains(QStringLiteral("luogo")))
            f.intestazione.luogo =
                l.testo(io, QStringLiteral("luogo"), QStringLiteral("intestazione"));
    }
    const QJsonValue vv = o.value(QStringLiteral("voci"));
    if (!vv.isArray()) return prefisso() + QStringLiteral("«voci» deve essere un elenco [ … ].");
    const QJsonArray voci = vv.toArray();
    for (qsizetype i = 0; i < voci.size() && !l.errore; ++i)
        f.quadro.voci.append(l.voce(voci.at(i), QStringLiteral("voce %1").arg(i + 1), 0));
    const QJsonValue vin = o.value(QStringLiteral("vincolo"));
    if (!vin.isUndefined() && !l.errore) {
        if (!vin.isObject())
            return prefisso() + QStringLiteral("«vincolo» deve essere un oggetto { … }.");
        const QJsonObject vo = vin.toObject();
        if (vo.contains(QStringLiteral("totale"))) {
            const QString t = l.testo(vo, QStringLiteral("totale"), QStringLiteral("vincolo"));
            const auto c = leggiImportoFile(t);
            if (!l.errore && (!c || *c < 0))
                l.fallisci(QStringLiteral("vincolo"),
                           QStringLiteral("il totale «%1» non è un importo positivo con al più due "
                                          "decimali dopo il punto")
                               .arg(t));
            f.quadro.vincolo.totale = c;
        }
        f.quadro.vincolo.compensa =
            l.testo(vo, QStringLiteral("compensa"), QStringLiteral("vincolo"));
        for (auto it = vo.constBegin(); it != vo.constEnd(); ++it)
            if (it.key() != QLatin1String("totale") && it.key() != QLatin1String("compensa"))
                f.quadro.vincolo.altri.insert(it.key(), it.value());
    }
    if (l.errore)
        return prefisso() + l.errore->testo +
               (l.errore->testo.endsWith(u'.') ? QString() : QStringLiteral("."));
    static const QSet<QString> note{QStringLiteral("formato"), QStringLiteral("versione"),
                                    QStringLiteral("intestazione"), QStringLiteral("voci"),
                                    QStringLiteral("vincolo")};
    for (auto it = o.constBegin(); it != o.constEnd(); ++it)
        if (!note.contains(it.key())) f.altri.insert(it.key(), it.value());
    if (const auto p = verifica(f.quadro)) return prefisso() + p->messaggio;
    return f;
}

std::variant<QByteArray, QString> leggiByteQuadro(const QString& percorso) {
    const QFileInfo info(percorso);
    if (!info.exists()) return QStringLiteral("Il file «%1» non esiste.").arg(percorso);
    if (!info.isFile()) return QStringLiteral("«%1» non è un file.").arg(percorso);
    if (info.size() > kDimensioneMassima)
        return QStringLiteral("Il file «%1» è troppo grande per essere un quadro economico.")
            .arg(percorso);
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Il file «%1» non può essere aperto (%2).")
            .arg(percorso, file.errorString());
    const QByteArray dati = file.read(kDimensioneMassima + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Errore durante la lettura del file «%1» (%2).")
            .arg(percorso, file.errorString());
    return dati;
}

std::variant<FileQuadro, QString> apriFileQuadro(const QString& percorso) {
    auto dati = leggiByteQuadro(percorso);
    if (auto* e = std::get_if<QString>(&dati)) return *e;
    return leggiQuadro(std::get<QByteArray>(dati));
}

std::optional<QString> salvaFileQuadro(const QString& percorso, const FileQuadro& f) {
    if (const auto e = scriviFileProgetto(percorso, scriviQuadro(f)))
        return QStringLiteral("Il quadro non è stato salvato in «%1»: %2").arg(percorso, *e);
    return std::nullopt;
}

}  // namespace varimo::quadro
