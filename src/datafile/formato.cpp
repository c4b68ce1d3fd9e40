#include "datafile/formato.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <climits>
#include <optional>

#include "common/codifica.h"

namespace varimo {

// ---- Writing ---------------------------------------------------------------

namespace {

constexpr char16_t virgolettaDiritta = u'"';
constexpr char16_t virgolettaChiusa = u'\u201D';  // ” , byte 0x94 in Windows-1252

// What a text field is, for the messages: "l'etichetta della voce B".
struct Contesto {
    QString nome;  // with its article, lower case
};

// Row letters A..T without J and K; kept here so that the format does not
// depend on the calculation window.
QChar letteraRiga(int i) {
    static constexpr char16_t lettere[] = u"ABCDEFGHILMNOPQRST";
    return QChar(lettere[i - 1]);
}

Contesto contestoVoce(const char* cosa, int i) {
    return {QString::fromUtf8(cosa) + QStringLiteral(" della voce ") + letteraRiga(i)};
}

QString maiuscolaIniziale(QString s) {
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s;
}

class Scrittore {
  public:
    bool testo(const QString& t, const Contesto& ctx) {
        if (t.size() > lunghezzaMassimaCampo) {
            errore_ = QStringLiteral("Il testo de") + articolato(ctx.nome) +
                      QStringLiteral(" ha ") + QString::number(t.size()) +
                      QStringLiteral(" caratteri: il file di progetto ne può contenere al più ") +
                      QString::number(lunghezzaMassimaCampo) +
                      QStringLiteral(". Accorciarlo e salvare di nuovo.");
            return false;
        }
        if (t.contains(u'\r') || t.contains(u'\n')) {
            errore_ = maiuscolaIniziale(ctx.nome) +
                      QStringLiteral(
                          " contiene un ritorno a capo, che il file di progetto non "
                          "può contenere: eliminarlo e salvare di nuovo.");
            return false;
        }
        QString pulito = t;
        pulito.replace(virgolettaDiritta, virgolettaChiusa);
        const TestoCodificato c = codificaWindows1252(pulito);
        if (!c.riuscito()) {
            errore_ = QStringLiteral("Il carattere ") +
                      descriviCarattere(*c.carattereNonCodificabile) +
                      QStringLiteral(" contenuto ne") + articolato(ctx.nome) +
                      QStringLiteral(
                          " non può essere salvato: il file di progetto usa la codifica "
                          "Windows-1252. Sostituirlo e salvare di nuovo.");
            return false;
        }
        if (const qsizetype k = posizioneControllo(pulito); k >= 0) {
            errore_ = maiuscolaIniziale(ctx.nome) +
                      QStringLiteral(" contiene il carattere di controllo ") +
                      descriviCarattere(pulito[k].unicode()) +
                      QStringLiteral(
                          ", che il file di progetto non può contenere: eliminarlo e salvare di "
                          "nuovo.");
            return false;
        }
        for (const char b : c.byte)
            if (static_cast<unsigned char>(b) >= 0x80 && !primoNonAscii_) primoNonAscii_ = ctx;
        separa();
        out_ += '"';
        out_ += c.byte;
        out_ += '"';
        return true;
    }

    void numero(qlonglong n) {
        separa();
        out_ += QByteArray::number(n);
    }

    void vuoto() { separa(); }

    // A value of the calculation state: unassigned, whole number or text.
    bool campo(const QVariant& v, const Contesto& ctx) {
        if (!v.isValid() || v.isNull()) {
            vuoto();
            return true;
        }
        switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
            case QMetaType::UShort:
                numero(v.toLongLong());
                return true;
            default:
                return testo(v.toString(), ctx);
        }
    }

    void fineRiga() {
        out_ += "\r\n";
        primo_ = true;
    }

    QByteArray contenuto() const { return out_; }
    QString errore() const { return errore_; }

    // The reader takes bytes that are valid UTF-8 (and not plain ASCII) for
    // UTF-8. In Windows-1252 that happens only for a few sequences of an
    // accented capital or "â" followed by symbols ("Ã¨", "â€™": the marks of
    // a text already decoded the wrong way); such a file would not read back
    // as written, so it is not written.
    bool rileggibile() {
        if (!sembraUtf8(out_)) return true;
        errore_ = QStringLiteral("Il testo de") +
                  articolato(primoNonAscii_.value_or(Contesto{}).nome) +
                  QStringLiteral(
                      " contiene sequenze di caratteri (come «Ã¨» o «â€™») che alla "
                      "riapertura verrebbero lette come un altro testo: correggerle e salvare di "
                      "nuovo.");
        return false;
    }

  private:
    void separa() {
        if (!primo_) out_ += ',';
        primo_ = false;
    }

    // "l'etichetta ..." -> "ll'etichetta", "il costo ..." -> "l costo": the
    // preposition "in" merged with the article.
    static QString articolato(const QString& nome) {
        if (nome.startsWith(QStringLiteral("il "))) return QStringLiteral("l ") + nome.mid(3);
        if (nome.startsWith(QStringLiteral("l'"))) return QStringLiteral("ll'") + nome.mid(2);
        if (nome.startsWith(QStringLiteral("la "))) return QStringLiteral("lla ") + nome.mid(3);
        return QStringLiteral("l valore ") + nome;
    }

    QByteArray out_;
    QString errore_;
    bool primo_ = true;
    std::optional<Contesto> primoNonAscii_;
};

}  // namespace

EsitoScrittura scriviProgettoFile(const ProgettoFile& p) {
    Scrittore s;
    auto fallito = [&s] { return EsitoScrittura{{}, s.errore()}; };
    if (!s.testo(p.nomeprogetto, {QStringLiteral("il nome del progetto")})) return fallito();
    if (!s.testo(p.valuta, {QStringLiteral("la valuta")})) return fallito();
    s.fineRiga();
    for (int i = 1; i <= numeroVoci; ++i) {
        const VoceFile& v = p.voci[i - 1];
        if (!s.testo(v.tipo, contestoVoce("l'etichetta", i))) return fallito();
        if (!s.testo(v.costo, contestoVoce("il costo", i))) return fallito();
        s.testo(QString::number(v.perc), {});
        if (!s.campo(v.costorif, contestoVoce("il costo di riferimento", i))) return fallito();
        if (!s.campo(v.vocerif, contestoVoce("la voce di riferimento", i))) return fallito();
        s.fineRiga();
    }
    if (!s.rileggibile()) return fallito();
    return EsitoScrittura{s.contenuto(), {}};
}

// ---- Reading ---------------------------------------------------------------

bool sembraUtf8(const QByteArray& dati) {
    bool nonAscii = false;
    for (const char b : dati) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii) return false;
    QStringDecoder dec(QStringDecoder::Utf8);
    [[maybe_unused]] const QString t = dec(dati);
    return !dec.hasError();
}

QString ErroreLettura::testo() const {
    if (riga <= 0) return descrizione;
    return QStringLiteral("riga ") + QString::number(riga) + QStringLiteral(": ") + descrizione;
}

namespace {

struct Campo {
    enum class Tipo { Vuoto, Testo, Numero };
    Tipo tipo = Tipo::Vuoto;
    QString testo;  // the text, or the number as written
    bool intero = false;
    qlonglong valoreIntero = 0;
    double valore = 0;
    int riga = 0;
};

bool leggiNumero(const QString& s, Campo& c) {
    static const QRegularExpression forma(
        QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    if (!forma.match(s).hasMatch()) return false;
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (!ok) return false;
    c.tipo = Campo::Tipo::Numero;
    c.testo = s;
    c.valore = d;
    if (!s.contains(u'.') && !s.contains(u'e') && !s.contains(u'E')) {
        const qlonglong n = s.toLongLong(&ok);
        if (ok) {
            c.intero = true;
            c.valoreIntero = n;
        }
    }
    return true;
}

// A number read from an unquoted field, as the text a box would show:
// whole numbers in plain digits, others with the decimal comma.
QString numeroInTesto(const Campo& c) {
    if (c.intero) return QString::number(c.valoreIntero);
    QString t = QString::number(c.valore, 'g', 15).toUpper();
    t.replace(u'.', u',');
    return t;
}

QString comeTesto(const Campo& c) {
    switch (c.tipo) {
        case Campo::Tipo::Vuoto:
            return {};
        case Campo::Tipo::Testo:
            return c.testo;
        case Campo::Tipo::Numero:
            return numeroInTesto(c);
    }
    return {};
}

class Lettore {
  public:
    explicit Lettore(const QString& t) : t_(t) {}

    // Reads the next field; false with errore_ set on a fault.
    bool prossimo(Campo& c) {
        saltaSpazi();
        c = Campo{};
        c.riga = riga_;
        if (pos_ >= t_.size()) {
            if (dopoVirgola_) {
                dopoVirgola_ = false;
                finito_ = true;
                return true;
            }
            return false;  // no more fields; the caller reports the shortage
        }
        if (t_[pos_] == u'"') {
            // One scan up to the closing quote, which must come before the
            // line ends.
            qsizetype fine = pos_ + 1;
            while (fine < t_.size() && t_[fine] != u'"' && t_[fine] != u'\r' && t_[fine] != u'\n')
                ++fine;
            if (fine >= t_.size() || t_[fine] != u'"') {
                errore_ = {riga_,
                           QStringLiteral("virgolette aperte e non chiuse sulla stessa riga")};
                return false;
            }
            c.tipo = Campo::Tipo::Testo;
            c.testo = t_.mid(pos_ + 1, fine - pos_ - 1);
            pos_ = fine + 1;
            if (!ammissibile(c.testo)) return false;
            saltaSpazi();
            if (pos_ < t_.size() && !separatore(t_[pos_])) {
                errore_ = {riga_, QStringLiteral("dopo le virgolette di chiusura deve seguire una "
                                                 "virgola o la fine della riga")};
                return false;
            }
        } else {
            qsizetype fine = pos_;
            while (fine < t_.size() && !separatore(t_[fine])) ++fine;
            const QString intero = t_.mid(pos_, fine - pos_);
            pos_ = fine;
            if (!ammissibile(intero)) return false;
            const QString grezzo = intero.trimmed();
            if (grezzo.contains(u'"')) {
                errore_ = {riga_, QStringLiteral("virgolette fuori posto nel valore «") + grezzo +
                                      QStringLiteral("»")};
                return false;
            }
            if (grezzo.isEmpty()) {
                c.tipo = Campo::Tipo::Vuoto;
            } else if (!leggiNumero(grezzo, c)) {
                c.tipo = Campo::Tipo::Testo;
                c.testo = grezzo;
            }
        }
        consumaSeparatore();
        return true;
    }

    // After the last field: only blanks and line ends may follow.
    bool soloSpaziFinali() {
        if (finito_) return true;
        if (dopoVirgola_) {  // a comma after the last value starts one more
            errore_ = {riga_, QStringLiteral("dopo l'ultimo valore del progetto il file "
                                             "contiene altri dati")};
            return false;
        }
        while (pos_ < t_.size()) {
            const QChar ch = t_[pos_];
            if (ch == u'\n') {
                ++riga_;
            } else if (ch != u'\r' && ch != u' ' && ch != u'\t') {
                errore_ = {riga_, QStringLiteral("dopo l'ultimo valore del progetto il file "
                                                 "contiene altri dati")};
                return false;
            }
            ++pos_;
        }
        return true;
    }

    int riga() const { return riga_; }
    const ErroreLettura& errore() const { return errore_; }
    bool haErrore() const { return !errore_.descrizione.isEmpty(); }

  private:
    static bool separatore(QChar ch) { return ch == u',' || ch == u'\r' || ch == u'\n'; }

    // A value the program never writes: one with a control character (a tab
    // aside) or longer than the longest text a box takes.
    bool ammissibile(const QString& valore) {
        if (valore.size() > lunghezzaMassimaCampo) {
            errore_ = {riga_,
                       QStringLiteral("un valore è lungo ") + QString::number(valore.size()) +
                           QStringLiteral(" caratteri, più dei ") +
                           QString::number(lunghezzaMassimaCampo) + QStringLiteral(" ammessi")};
            return false;
        }
        if (const qsizetype k = posizioneControllo(valore); k >= 0) {
            errore_ = {riga_, QStringLiteral("un valore contiene il carattere di controllo ") +
                                  descriviCarattere(valore[k].unicode())};
            return false;
        }
        return true;
    }

    void saltaSpazi() {
        while (pos_ < t_.size() && (t_[pos_] == u' ' || t_[pos_] == u'\t')) ++pos_;
    }

    void consumaSeparatore() {
        dopoVirgola_ = false;
        if (pos_ >= t_.size()) {
            finito_ = true;
            return;
        }
        const QChar ch = t_[pos_];
        if (ch == u',') {
            ++pos_;
            dopoVirgola_ = true;
        } else if (ch == u'\r') {
            ++pos_;
            if (pos_ < t_.size() && t_[pos_] == u'\n') ++pos_;
            ++riga_;
        } else if (ch == u'\n') {
            ++pos_;
            ++riga_;
        }
    }

    const QString& t_;
    qsizetype pos_ = 0;
    int riga_ = 1;
    bool dopoVirgola_ = false;
    bool finito_ = false;
    ErroreLettura errore_;
};

// A text saved as UTF-16 by an editor: its byte order mark, or a NUL byte in
// every other place of its first line (the ASCII characters of the name).
bool sembraUtf16(const QByteArray& dati) {
    if (dati.startsWith("\xFF\xFE") || dati.startsWith("\xFE\xFF")) return true;
    if (dati.size() < 4) return false;
    const int inizio = dati.at(0) == '\0' ? 0 : 1;
    const qsizetype fine = std::min<qsizetype>(dati.size(), 64);
    for (qsizetype i = inizio; i < fine; i += 2)
        if (dati.at(i) != '\0') return false;
    return true;
}

std::optional<ErroreLettura> controllaDecodifica(const QByteArray& dati, QString& testo) {
    static const QByteArray bom("\xEF\xBB\xBF");
    if (sembraUtf16(dati))
        return ErroreLettura{0,
                             QStringLiteral("il file è scritto nella codifica UTF-16, che Varimo "
                                            "non legge (salvarlo in UTF-8 o Windows-1252)")};
    if (dati.startsWith(bom)) {
        const QByteArray corpo = dati.mid(bom.size());
        // Reject invalid UTF-8 rather than letting replacement characters in.
        QStringDecoder dec(QStringDecoder::Utf8);
        testo = dec(corpo);
        if (dec.hasError()) return ErroreLettura{0, QStringLiteral("il testo UTF-8 non è valido")};
        return std::nullopt;
    }
    // Bytes that are valid UTF-8 and not plain ASCII come from a UTF-8
    // editor; the program's own files never are (the writer sees to it).
    if (sembraUtf8(dati)) {
        testo = QString::fromUtf8(dati);
        return std::nullopt;
    }
    const TestoDecodificato d = decodificaWindows1252(dati);
    if (d.riuscito()) {
        testo = d.testo;
        return std::nullopt;
    }
    const qsizetype p = *d.posizioneByteNonValido;
    const int riga = static_cast<int>(dati.left(p).count('\n')) + 1;
    const auto b = static_cast<unsigned char>(dati[p]);
    return ErroreLettura{riga,
                         QStringLiteral("il byte 0x") +
                             QStringLiteral("%1").arg(b, 2, 16, QChar(u'0')).toUpper() +
                             QStringLiteral(" non è un carattere della codifica Windows-1252")};
}

std::optional<int> interoDa(const Campo& c) {
    if (c.tipo == Campo::Tipo::Numero) {
        if (c.intero)
            return c.valoreIntero >= INT_MIN && c.valoreIntero <= INT_MAX
                       ? std::optional<int>(static_cast<int>(c.valoreIntero))
                       : std::nullopt;
        return std::nullopt;
    }
    if (c.tipo == Campo::Tipo::Testo) {
        const QString s = c.testo.trimmed();
        static const QRegularExpression cifre(QStringLiteral("^\\d{1,9}$"));
        if (!cifre.match(s).hasMatch()) return std::nullopt;
        return s.toInt();
    }
    return std::nullopt;
}

// The field as it stands in the file, for the messages.
QString mostrato(const Campo& c) {
    return c.testo;
}

}  // namespace

std::variant<ProgettoFile, ErroreLettura> leggiProgettoFile(const QByteArray& contenuto) {
    QString testo;
    if (auto e = controllaDecodifica(contenuto, testo)) return *e;

    Lettore l(testo);
    std::array<Campo, campiTotali> campi;
    for (int n = 0; n < campiTotali; ++n) {
        if (!l.prossimo(campi[n])) {
            if (l.haErrore()) return l.errore();
            return ErroreLettura{l.riga(),
                                 QStringLiteral("il file finisce troppo presto: contiene ") +
                                     QString::number(n) + QStringLiteral(" valori invece di ") +
                                     QString::number(campiTotali) +
                                     QStringLiteral(" (una riga col nome del progetto e la valuta, "
                                                    "18 righe di 5 valori)")};
        }
    }
    if (!l.soloSpaziFinali()) return l.errore();

    ProgettoFile p;
    p.nomeprogetto = comeTesto(campi[0]);
    p.valuta = comeTesto(campi[1]);
    for (int i = 1; i <= numeroVoci; ++i) {
        const Campo* c = &campi[2 + (i - 1) * campiPerVoce];
        VoceFile& v = p.voci[i - 1];
        v.tipo = comeTesto(c[0]);
        v.costo = comeTesto(c[1]);

        if (c[2].tipo == Campo::Tipo::Vuoto) {
            v.perc = 0;  // an unassigned value counts as 0
        } else {
            const std::optional<int> n = interoDa(c[2]);
            if (!n || *n < 0 || *n > 100)
                return ErroreLettura{c[2].riga,
                                     QStringLiteral("la percentuale «") + mostrato(c[2]) +
                                         QStringLiteral("» non è un numero intero da 0 a "
                                                        "100")};
            v.perc = *n;
        }

        switch (c[3].tipo) {
            case Campo::Tipo::Vuoto:
                v.costorif = QVariant();
                break;
            case Campo::Tipo::Testo:
                v.costorif = c[3].testo;
                break;
            case Campo::Tipo::Numero:
                if (c[3].intero && c[3].valoreIntero >= INT_MIN && c[3].valoreIntero <= INT_MAX)
                    v.costorif = static_cast<int>(c[3].valoreIntero);
                else
                    v.costorif = numeroInTesto(c[3]);
                break;
        }

        if (c[4].tipo == Campo::Tipo::Vuoto) {
            v.vocerif = QVariant();
        } else {
            const std::optional<int> n = interoDa(c[4]);
            if (!n || *n < 0 || *n > numeroVoci)
                return ErroreLettura{c[4].riga, QStringLiteral("la voce di riferimento «") +
                                                    mostrato(c[4]) +
                                                    QStringLiteral("» non è un numero da 1 a 18 "
                                                                   "(o 0 per nessuna)")};
            v.vocerif = *n;
        }
    }
    return p;
}

}  // namespace varimo
