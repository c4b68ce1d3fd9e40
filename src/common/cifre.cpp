#include "common/cifre.h"

#include <QStringList>
#include <QStringView>

namespace varimo {

namespace {

bool cifra(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

QString testoImporto(Centesimi c, bool raggruppa) {
    const bool negativo = c < 0;
    const quint64 a = negativo ? quint64(0) - quint64(c) : quint64(c);
    QString intero = QString::number(a / 100);
    if (raggruppa)
        for (qsizetype i = intero.size() - 3; i > 0; i -= 3) intero.insert(i, QLatin1Char('.'));
    return (negativo ? QStringLiteral("-") : QString()) + intero + QLatin1Char(',') +
           QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

namespace {

QString testoMillesimi(Millesimi m, QChar decimale) {
    QString s = QString::number(m / 1000);
    int resto = m % 1000;
    if (resto == 0) return s;
    QString dec = QStringLiteral("%1").arg(resto, 3, 10, QLatin1Char('0'));
    while (dec.endsWith(QLatin1Char('0'))) dec.chop(1);
    return s + decimale + dec;
}

// Digits only, possibly empty.
bool soloCifre(QStringView s) {
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// A whole part and a decimal part of at most `decimali` digits, as a number
// of units of 10^-decimali; nullopt past `massimo`.
std::optional<qint64> componi(QStringView intero, QStringView decimi, int decimali,
                              qint64 massimo) {
    if (intero.isEmpty() && decimi.isEmpty()) return std::nullopt;
    if (!soloCifre(intero) || !soloCifre(decimi) || decimi.size() > decimali) return std::nullopt;
    // Leading zeros are harmless; too many digits are not.
    qsizetype primo = 0;
    while (primo < intero.size() - 1 && intero[primo] == QLatin1Char('0')) ++primo;
    intero = intero.mid(primo);
    if (intero.size() > 18) return std::nullopt;
    qint64 valore = 0;
    for (const QChar c : intero) {
        valore = valore * 10 + (c.unicode() - '0');
        if (valore > massimo) return std::nullopt;
    }
    for (int k = 0; k < decimali; ++k) {
        valore = valore * 10 + (k < decimi.size() ? decimi[k].unicode() - '0' : 0);
        if (valore > massimo) return std::nullopt;
    }
    return valore;
}

}  // namespace

QString testoPercentuale(Millesimi m) {
    return testoMillesimi(m, QLatin1Char(','));
}

std::optional<Centesimi> leggiImportoItaliano(const QString& testo) {
    QString t = testo.trimmed();
    bool negativo = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negativo = t.startsWith(QLatin1Char('-'));
        t = t.mid(1).trimmed();
    }
    const qsizetype virgola = t.indexOf(QLatin1Char(','));
    QString intero = virgola < 0 ? t : t.left(virgola);
    const QString decimi = virgola < 0 ? QString() : t.mid(virgola + 1);
    if (intero.contains(QLatin1Char('.'))) {
        // Grouping: 1 to 3 digits, then groups of exactly three.
        const QStringList gruppi = intero.split(QLatin1Char('.'));
        if (gruppi.first().isEmpty() || gruppi.first().size() > 3) return std::nullopt;
        for (qsizetype i = 1; i < gruppi.size(); ++i)
            if (gruppi[i].size() != 3) return std::nullopt;
        intero = gruppi.join(QString());
    }
    const auto v = componi(intero, decimi, 2, kCentesimiMassimi);
    if (!v) return std::nullopt;
    return negativo ? -*v : *v;
}

std::optional<Millesimi> leggiPercentualeItaliana(const QString& testo) {
    QString t = testo.trimmed();
    if (t.endsWith(QLatin1Char('%'))) t = t.chopped(1).trimmed();
    const qsizetype virgola = t.indexOf(QLatin1Char(','));
    const QString intero = virgola < 0 ? t : t.left(virgola);
    const QString decimi = virgola < 0 ? QString() : t.mid(virgola + 1);
    const auto v = componi(intero, decimi, 3, kPercentualeMassima);
    if (!v) return std::nullopt;
    return Millesimi(*v);
}

QString testoImportoFile(Centesimi c) {
    return testoImporto(c, false).replace(QLatin1Char(','), QLatin1Char('.'));
}

QString testoPercentualeFile(Millesimi m) {
    return testoMillesimi(m, QLatin1Char('.'));
}

std::optional<Centesimi> leggiImportoFile(const QString& testo) {
    QStringView t(testo);
    bool negativo = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negativo = true;
        t = t.mid(1);
    }
    const qsizetype punto = t.indexOf(QLatin1Char('.'));
    if (punto >= 0 && punto == t.size() - 1) return std::nullopt;  // "12."
    const auto v = componi(punto < 0 ? t : t.left(punto),
                           punto < 0 ? QStringView() : t.mid(punto + 1), 2, kCentesimiMassimi);
    if (!v || (punto == 0)) return std::nullopt;
    return negativo ? -*v : *v;
}

std::optional<Millesimi> leggiPercentualeFile(const QString& testo) {
    QStringView t(testo);
    const qsizetype punto = t.indexOf(QLatin1Char('.'));
    if (punto == 0 || (punto >= 0 && punto == t.size() - 1)) return std::nullopt;
    const auto v = componi(punto < 0 ? t : t.left(punto),
                           punto < 0 ? QStringView() : t.mid(punto + 1), 3, kPercentualeMassima);
    if (!v) return std::nullopt;
    return Millesimi(*v);
}

LetturaRibasso leggiRibasso(const QString& testo) {
    using Esito = LetturaRibasso::Esito;
    QString t = testo.trimmed();
    if (t.endsWith(QLatin1Char('%'))) t = t.chopped(1).trimmed();
    if (t.isEmpty()) return {testo.trimmed().isEmpty() ? Esito::Vuoto : Esito::NonLeggibile, 0};
    bool negativo = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negativo = true;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1Char('+'))) {
        t = t.mid(1);
    }
    qsizetype i = 0;
    qint64 interi = 0;
    int cifre = 0;
    for (; i < t.size() && cifra(t.at(i)); ++i, ++cifre) {
        if (interi > kPercentualeMassima) continue;  // already far outside 0..100: keep reading
        interi = interi * 10 + (t.at(i).unicode() - '0');
    }
    qint64 millesimi = 0;
    int decimali = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char(',') || t.at(i) == QLatin1Char('.'))) {
        for (++i; i < t.size() && cifra(t.at(i)); ++i, ++decimali) {
            const int d = t.at(i).unicode() - '0';
            if (decimali < 3) {
                millesimi = millesimi * 10 + d;
            } else if (d != 0) {
                return {Esito::NonLeggibile, 0};  // a fourth decimal that counts
            }
        }
    }
    if (i != t.size() || cifre + decimali == 0) return {Esito::NonLeggibile, 0};
    for (int d = std::min(decimali, 3); d < 3; ++d) millesimi *= 10;
    const qint64 valore = interi * 1000 + millesimi;
    if ((negativo && valore != 0) || interi > 100 || valore > kPercentualeMassima)
        return {Esito::FuoriIntervallo, 0};
    return {Esito::Valido, valore};
}

}  // namespace varimo
