#include "common/importi.h"

#include <QStringList>

namespace varimo {

namespace {

const char* const kUnita[] = {"",         "uno",    "due",         "tre",      "quattro",
                              "cinque",   "sei",    "sette",       "otto",     "nove",
                              "dieci",    "undici", "dodici",      "tredici",  "quattordici",
                              "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
const char* const kDecine[] = {"",          "",         "venti",    "trenta",  "quaranta",
                               "cinquanta", "sessanta", "settanta", "ottanta", "novanta"};

// 0..999 in words; 0 gives the empty text.
QString sottoMille(quint64 n) {
    const auto centinaia = static_cast<int>(n / 100);
    const auto resto = static_cast<int>(n % 100);
    QString s;
    if (centinaia == 1) {
        s = QStringLiteral("cento");
    } else if (centinaia > 1) {
        s = QString::fromLatin1(kUnita[centinaia]) + QStringLiteral("cento");
    }
    if (resto == 0) return s;
    QString coda;
    if (resto < 20) {
        coda = QString::fromLatin1(kUnita[resto]);
    } else {
        coda = QString::fromLatin1(kDecine[resto / 10]);
        const int unita = resto % 10;
        if (unita == 1 || unita == 8) coda.chop(1);  // ventuno, trentotto
        coda += QString::fromLatin1(kUnita[unita]);
    }
    // centotto, duecentottanta
    if (!s.isEmpty() && coda.startsWith(QLatin1String("ott"))) s.chop(1);
    return s + coda;
}

// A count in front of "mila", "milioni", "miliardi": a final "uno" becomes
// "un" (ventunmila).
QString moltiplicatore(const QString& parole) {
    if (parole.endsWith(QLatin1String("uno"))) return parole.left(parole.size() - 1);
    return parole;
}

// A positive number in words, without the final accent.
QString parole(quint64 n) {
    if (n == 0) return QStringLiteral("zero");
    const quint64 miliardi = n / 1000000000;
    const quint64 milioni = n / 1000000 % 1000;
    const quint64 migliaia = n / 1000 % 1000;
    const quint64 resto = n % 1000;
    QString s;
    if (miliardi == 1) {
        s += QStringLiteral("unmiliardo");
    } else if (miliardi > 1) {
        s += moltiplicatore(parole(miliardi)) + QStringLiteral("miliardi");
    }
    if (milioni == 1) {
        s += QStringLiteral("unmilione");
    } else if (milioni > 1) {
        s += moltiplicatore(sottoMille(milioni)) + QStringLiteral("milioni");
    }
    if (migliaia == 1) {
        s += QStringLiteral("mille");
    } else if (migliaia > 1) {
        s += moltiplicatore(sottoMille(migliaia)) + QStringLiteral("mila");
    }
    return s + sottoMille(resto);
}

// The magnitude as unsigned, so that the smallest value has one too.
quint64 grandezza(qint64 n) {
    return n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
}

QString inLettere(quint64 n) {
    QString s = parole(n);
    if (s.size() > 3 && s.endsWith(QLatin1String("tre"))) s.replace(s.size() - 1, 1, QChar(0xE9));
    return s;
}

}  // namespace

QString numeroInLettere(qint64 n) {
    return (n < 0 ? QStringLiteral("meno ") : QString()) + inLettere(grandezza(n));
}

QString importoInLettere(qint64 centesimi) {
    const bool negativo = centesimi < 0;
    const quint64 m = grandezza(centesimi);
    const QString testo = inLettere(m / 100) + QLatin1Char('/') +
                          QStringLiteral("%1").arg(m % 100, 2, 10, QLatin1Char('0'));
    return negativo ? QStringLiteral("meno ") + testo : testo;
}

}  // namespace varimo
