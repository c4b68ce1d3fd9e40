#include "common/numeri.h"

#include "common/cifre.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace varimo {

namespace {

bool spazio(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

// Exact powers of ten for the decimals of a short amount.
constexpr double kPotenze[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

bool cifra(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Whether a plain C-style number without its sign, which is not zero but has
// no nearest double other than 0 or infinity, lies beyond the largest double
// (rather than below the smallest): its first significant digit stands left
// of the decimal point once the exponent is applied.
bool oltreIlMassimo(const char* inizio, const char* fine) {
    const char* e = std::find_if(inizio, fine, [](char c) { return c == 'e' || c == 'E'; });
    // The number is 0.d1d2... times ten to the power m (d1 not zero).
    long m = 0;
    bool significativa = false;
    bool dopoPunto = false;
    for (const char* p = inizio; p != e; ++p) {
        if (*p == '.') {
            dopoPunto = true;
        } else if (!significativa && *p == '0') {
            if (dopoPunto) --m;
        } else {
            significativa = true;
            if (dopoPunto) break;
            ++m;
        }
    }
    // The exponent, clamped: a million places is as good as infinitely far
    // for a text of at most a few thousand digits.
    long esponente = 0;
    const char* p = e == fine ? fine : e + 1;
    const bool meno = p != fine && *p == '-';
    if (p != fine && (*p == '-' || *p == '+')) ++p;
    for (; p != fine && esponente < 1000000; ++p) esponente = esponente * 10 + (*p - '0');
    return (meno ? m - esponente : m + esponente) > 0;
}

// Converts a plain C-style number ("-123.45e+6", digits only, no blanks) to a
// double, the same on every system and in every locale. Overflow gives
// +/-inf, underflow 0.
double converti(const std::string& s) {
    double v = 0.0;
    const char* inizio = s.data();
    const char* fine = s.data() + s.size();
    const bool negativo = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++inizio;
    auto [p, ec] = std::from_chars(inizio, fine, v);
    if (ec == std::errc::result_out_of_range) {
        // Not zero, yet its nearest double is 0 (below the smallest
        // subnormal) or none at all (beyond the largest).
        v = oltreIlMassimo(inizio, fine) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || p == inizio) {
        v = 0.0;
    }
    return negativo ? -v : v;
}

// The general strict reading: builds the C-style number and converts it.
// Used for the texts the quick scan of letturaRigorosa leaves to it (an
// exponent, more than fifteen digits, more than eight decimals, or a text
// that does not fit the grammar).
std::optional<double> letturaRigorosaGenerale(const QString& testo, Separatori s) {
    int i = 0;
    int n = testo.size();
    while (i < n && spazio(testo[i])) ++i;
    while (n > i && spazio(testo[n - 1])) --n;
    if (i >= n) return std::nullopt;

    std::string c;
    c.reserve(static_cast<size_t>(n - i) + 2);
    if (testo[i] == QLatin1Char('+') || testo[i] == QLatin1Char('-')) {
        if (testo[i] == QLatin1Char('-')) c.push_back('-');
        ++i;
    }
    int cifreMantissa = 0;
    // Integer part: digits, a grouping point only between two digits.
    while (i < n) {
        const QChar ch = testo[i];
        if (cifra(ch)) {
            c.push_back(static_cast<char>(ch.unicode()));
            ++cifreMantissa;
            ++i;
        } else if (ch == s.gruppo && s.gruppo != s.decimale && i > 0 && cifra(testo[i - 1]) &&
                   i + 1 < n && cifra(testo[i + 1]) && cifreMantissa > 0) {
            ++i;
        } else {
            break;
        }
    }
    if (i < n && testo[i] == s.decimale) {
        c.push_back('.');
        ++i;
        while (i < n && cifra(testo[i])) {
            c.push_back(static_cast<char>(testo[i].unicode()));
            ++cifreMantissa;
            ++i;
        }
    }
    if (cifreMantissa == 0) return std::nullopt;
    if (i < n && (testo[i] == QLatin1Char('E') || testo[i] == QLatin1Char('e'))) {
        c.push_back('e');
        ++i;
        if (i < n && (testo[i] == QLatin1Char('+') || testo[i] == QLatin1Char('-'))) {
            c.push_back(static_cast<char>(testo[i].unicode()));
            ++i;
        }
        int cifreEsponente = 0;
        while (i < n && cifra(testo[i])) {
            c.push_back(static_cast<char>(testo[i].unicode()));
            ++cifreEsponente;
            ++i;
        }
        if (cifreEsponente == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    const double v = converti(c);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

static std::optional<double> rigorosaDiretta(const QString& testo, Separatori s) {
    // One scan with the same grammar as the general reading above, which
    // also gathers the digits as a whole number. An amount with at most
    // fifteen digits, at most eight decimals and no exponent is that whole
    // number divided by an exact power of ten: correctly rounded, the value
    // the general conversion gives.
    const QChar* t = testo.constData();
    int i = 0;
    int n = static_cast<int>(testo.size());
    while (i < n && spazio(t[i])) ++i;
    while (n > i && spazio(t[n - 1])) --n;
    if (i >= n) return std::nullopt;
    bool negativo = false;
    if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) {
        negativo = t[i] == QLatin1Char('-');
        ++i;
    }
    int cifreMantissa = 0;
    int decimali = 0;
    long long m = 0;
    while (i < n) {
        const QChar ch = t[i];
        if (cifra(ch)) {
            if (cifreMantissa < 18) m = m * 10 + (ch.unicode() - u'0');
            ++cifreMantissa;
            ++i;
        } else if (ch == s.gruppo && s.gruppo != s.decimale && i > 0 && cifra(t[i - 1]) &&
                   i + 1 < n && cifra(t[i + 1]) && cifreMantissa > 0) {
            ++i;
        } else {
            break;
        }
    }
    if (i < n && t[i] == s.decimale) {
        ++i;
        while (i < n && cifra(t[i])) {
            if (cifreMantissa < 18) m = m * 10 + (t[i].unicode() - u'0');
            ++cifreMantissa;
            ++decimali;
            ++i;
        }
    }
    if (cifreMantissa == 0) return std::nullopt;
    if (i == n && cifreMantissa <= 15 && decimali <= 8) {
        const double v = static_cast<double>(m) / kPotenze[decimali];
        return negativo ? -v : v;
    }
    return letturaRigorosaGenerale(testo, s);
}

static double tolleranteDiretta(const QString& testo) {
    // Short texts: the blank-free characters in a local buffer, read by
    // from_chars, whose number pattern (digits, '.', digits, exponent) is the
    // classic one; it stops at the first character that does not fit.
    if (testo.size() < 64) {
        char buf[64];
        int n = 0;
        for (QChar ch : testo) {
            if (spazio(ch)) continue;
            const char16_t u = ch.unicode();
            buf[n++] = u < 128 ? static_cast<char>(u) : '\x01';
        }
        int i = 0;
        bool negativo = false;
        if (i < n && (buf[i] == '+' || buf[i] == '-')) negativo = buf[i++] == '-';
        const auto cifra8 = [&](int k) { return k < n && buf[k] >= '0' && buf[k] <= '9'; };
        if (!(cifra8(i) || (i < n && buf[i] == '.' && cifra8(i + 1)))) {
            // Nothing readable gives 0 (also "inf" and "nan", which the
            // classic reading does not know).
            return 0.0;
        }
        // Whole digits only, at most fifteen: exact as a whole number.
        int j = i;
        long long m = 0;
        while (j < n && j - i < 16 && buf[j] >= '0' && buf[j] <= '9') m = m * 10 + (buf[j++] - '0');
        if (j - i <= 15 && (j == n || (buf[j] != '.' && buf[j] != 'e' && buf[j] != 'E'))) {
            const double v = static_cast<double>(m);
            return negativo ? -v : v;
        }
        double v = 0.0;
        auto [p, ec] = std::from_chars(buf + i, buf + n, v);
        (void)p;
        if (ec == std::errc()) return negativo ? -v : v;
        // Out of range: let the general reading below decide.
    }
    // Blanks are ignored wherever they stand: drop them first.
    std::string t;
    t.reserve(static_cast<size_t>(testo.size()));
    for (QChar ch : testo) {
        if (spazio(ch)) continue;
        const char16_t u = ch.unicode();
        t.push_back(u < 128 ? static_cast<char>(u) : '\x01');
    }
    size_t i = 0;
    std::string c;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') c.push_back('-');
        ++i;
    }
    bool cifre = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        c.push_back(t[i++]);
        cifre = true;
    }
    if (i < t.size() && t[i] == '.') {
        size_t j = i + 1;
        std::string decimali;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9') decimali.push_back(t[j++]);
        c.push_back('.');
        c += decimali;
        cifre = cifre || !decimali.empty();
        i = j;
    }
    if (!cifre) return 0.0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        std::string esponente = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) esponente.push_back(t[j++]);
        bool cifreEsponente = false;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9') {
            esponente.push_back(t[j++]);
            cifreEsponente = true;
        }
        if (cifreEsponente) c += esponente;
    }
    if (c == "-" || c == "-.") return 0.0;
    if (c.back() == '.') c.pop_back();
    if (c.size() > 1 && c[0] == '-' && c[1] == '.') c.insert(c.begin() + 1, '0');
    if (!c.empty() && c[0] == '.') c.insert(c.begin(), '0');
    return converti(c);
}

static QString scritturaDiretta(double valore, Separatori s) {
    if (valore == 0.0) return QStringLiteral("0");
    if (std::isnan(valore)) return QStringLiteral("nan");
    if (std::isinf(valore)) return valore > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    // Whole cents (every amount the calculation writes, as a rule): the
    // digits of the cents are exactly what the 15-digit form below prints,
    // because a double that is the nearest one to a decimal of at most 15
    // significant digits prints back as that decimal.
    const double c = std::round(valore * 100);
    if (std::fabs(c) < 1e15 && c / 100 == valore) {
        // The text is put together in one buffer and copied once.
        char cifre[24] = {};
        auto [fine, ec] =
            std::to_chars(cifre, cifre + sizeof cifre, static_cast<long long>(std::fabs(c)));
        (void)ec;
        int quante = static_cast<int>(fine - cifre);
        char16_t r[32];
        int k = 0;
        if (c < 0) r[k++] = u'-';
        // Integer digits ("0" below one unit), then the cents without their
        // trailing zeros.
        if (quante <= 2) {
            r[k++] = u'0';
        } else {
            for (int j = 0; j < quante - 2; ++j) r[k++] = static_cast<char16_t>(cifre[j]);
        }
        const char decine = quante >= 2 ? cifre[quante - 2] : '0';
        const char unita = cifre[quante - 1];
        if (unita != '0') {
            r[k++] = s.decimale.unicode();
            r[k++] = static_cast<char16_t>(decine);
            r[k++] = static_cast<char16_t>(unita);
        } else if (decine != '0') {
            r[k++] = s.decimale.unicode();
            r[k++] = static_cast<char16_t>(decine);
        }
        return QString(reinterpret_cast<const QChar*>(r), k);
    }
    // %.15g rounds to 15 significant digits, drops trailing zeros, and uses
    // the exponent form exactly when the rounded exponent is below -4 or at
    // least 15: the classic thresholds.
    char buf[40];
    const int n = std::snprintf(buf, sizeof buf, "%.15g", valore);
    QString r;
    r.reserve(n);
    for (int k = 0; k < n; ++k) {
        const char ch = buf[k];
        if (ch == '.') {
            r.append(s.decimale);
        } else if (ch == 'e') {
            r.append(QLatin1Char('E'));
        } else {
            r.append(QLatin1Char(ch));
        }
    }
    return r;
}

static std::optional<double> centesimiDiretta(const QString& testo, Separatori s) {
    const auto v = letturaRigorosa(testo, s);
    if (!v) return std::nullopt;
    const double x = *v * 100;
    if (!std::isfinite(x)) return std::nullopt;
    // Shortcut with the same result: below 1E9 the fifteen significant digits
    // reach the millionths, so a value within 1E-7 of a whole number is
    // written as that whole number and read back as it.
    if (std::fabs(x) < 1e9) {
        const double intero = std::round(x);
        if (intero != 0 && std::fabs(x - intero) < 1e-7) return intero;
    }
    // Up to 1E15 the same holds for a distance below half a unit of the
    // fifteenth significant digit.
    if (std::fabs(x) >= 1 && std::fabs(x) < 1e15) {
        const double intero = std::round(x);
        if (std::fabs(x - intero) <= 0.5e-15 * std::fabs(x)) return intero;
    }
    // The composition reads the 15-digit text back. Where that text takes the
    // exponent form with a decimal comma ("1,29999999999999E+15",
    // "1,5E-05"), the tolerant reading would stop at the comma and give the
    // first digit instead of the amount; the number of cents is then the
    // number that text stands for (x to fifteen significant digits), as it
    // is for the exponent forms without a comma ("1E+15").
    char forma[40];
    const auto [fine, ec] =
        std::to_chars(forma, forma + sizeof forma, x, std::chars_format::scientific, 14);
    if (ec == std::errc()) {
        const char* e = std::find(forma, fine, 'e');
        int esponente = 0;
        if (e != fine) std::from_chars(e + (e[1] == '+' ? 2 : 1), fine, esponente);
        if (esponente >= 15 || esponente < -4) {
            double arrotondato = 0.0;
            const auto [p, errore] = std::from_chars(forma, fine, arrotondato);
            (void)p;
            return errore == std::errc() ? arrotondato : 0.0;  // 0: below the doubles' range
        }
    }
    const double c = letturaTollerante(scritturaNumerica(x, s));
    if (!std::isfinite(c)) return std::nullopt;
    return c;
}

QString formatoImporto(const QString& testo, Separatori s) {
    if (testo.isEmpty()) return testo;
    const auto v = letturaRigorosa(testo, s);
    if (!v) return testo;
    const bool negativo = *v < 0;
    // Decimal digits of the value rounded to 15 significant digits.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(*v));
    std::string cifre;
    const char* p = buf;
    for (; *p != 'e'; ++p) {
        if (*p != '.') cifre.push_back(*p);
    }
    const int esponente = std::atoi(p + 1);
    // k = number of digits down to the hundredths.
    const long k = static_cast<long>(esponente) + 3;
    std::string centesimi;  // the rounded amount in cents, as digits
    if (*v != 0.0 && k >= 0) {
        std::string tenute =
            k <= 15 ? cifre.substr(0, static_cast<size_t>(k)) : cifre + std::string(k - 15, '0');
        const bool arrotondaSu = k < 15 && cifre[static_cast<size_t>(k)] >= '5';
        if (arrotondaSu) {
            int j = static_cast<int>(tenute.size()) - 1;
            while (j >= 0 && tenute[static_cast<size_t>(j)] == '9') {
                tenute[static_cast<size_t>(j)] = '0';
                --j;
            }
            if (j < 0) {
                tenute.insert(tenute.begin(), '1');
            } else {
                ++tenute[static_cast<size_t>(j)];
            }
        }
        centesimi = tenute;
    }
    const size_t inizio = centesimi.find_first_not_of('0');
    centesimi = inizio == std::string::npos ? std::string() : centesimi.substr(inizio);
    while (centesimi.size() < 3) centesimi.insert(centesimi.begin(), '0');
    const std::string interi = centesimi.substr(0, centesimi.size() - 2);
    const std::string decimali = centesimi.substr(centesimi.size() - 2);

    const bool zero = centesimi.find_first_not_of('0') == std::string::npos;
    // An amount in whole cents with the Italian separators is written by the
    // one writer of Italian amounts; only figures past the cents' range, or
    // other separators, are written here.
    if (s.decimale == QLatin1Char(',') && s.gruppo == QLatin1Char('.') && centesimi.size() <= 18) {
        const qint64 n = std::stoll(centesimi);
        return testoImporto(negativo && !zero ? -n : n);
    }
    QString r;
    if (negativo && !zero) r.append(QLatin1Char('-'));
    for (size_t j = 0; j < interi.size(); ++j) {
        if (j > 0 && (interi.size() - j) % 3 == 0) r.append(s.gruppo);
        r.append(QLatin1Char(interi[j]));
    }
    r.append(s.decimale);
    r.append(QLatin1String(decimali.c_str()));
    return r;
}

// ---------------------------------------------------------------- memory
//
// A recalculation reads the same few amount texts over and over (every nested
// pass reads every row) and writes the same few amounts. The conversions are
// pure functions, so the last results are kept and handed back for the same
// input.
//
// A text is recognised by the identity of its shared data, not by comparing
// characters: the memory holds a copy of the text, so the data stays alive
// and, being shared, cannot change in place (any change detaches it first);
// the same data, start and length therefore mean the same characters. Texts
// without their own data (literals, raw data) are not kept.

namespace {

constexpr std::size_t kPosti = 64;

std::size_t posto(const void* p, qsizetype n) {
    const auto x = reinterpret_cast<std::uintptr_t>(p);
    return ((x >> 4) ^ (x >> 10) ^ static_cast<std::uintptr_t>(n)) % kPosti;
}

template <typename R>
class MemoriaTesti {
  public:
    template <typename F>
    R leggi(const QString& testo, Separatori s, F calcola) {
        if (!testo.data_ptr().isMutable()) return calcola();
        Voce& v = voci_[posto(testo.constData(), testo.size())];
        if (v.pieno && v.testo.data_ptr().isSharedWith(testo.data_ptr()) &&
            v.testo.constData() == testo.constData() && v.testo.size() == testo.size() &&
            v.decimale == s.decimale && v.gruppo == s.gruppo) {
            return v.risultato;
        }
        v.risultato = calcola();
        v.testo = testo;
        v.decimale = s.decimale;
        v.gruppo = s.gruppo;
        v.pieno = true;
        return v.risultato;
    }

  private:
    struct Voce {
        QString testo;
        QChar decimale, gruppo;
        R risultato{};
        bool pieno = false;
    };
    Voce voci_[kPosti];
};

class MemoriaNumeri {
  public:
    QString scrivi(double valore, Separatori s) {
        std::uint64_t bit;
        std::memcpy(&bit, &valore, sizeof bit);
        Voce& v = voci_[(bit ^ (bit >> 17) ^ (bit >> 41)) % kPosti];
        if (!v.pieno || v.bit != bit || v.decimale != s.decimale || v.gruppo != s.gruppo) {
            v.testo = scritturaDiretta(valore, s);
            v.bit = bit;
            v.decimale = s.decimale;
            v.gruppo = s.gruppo;
            v.pieno = true;
        }
        return v.testo;
    }

  private:
    struct Voce {
        std::uint64_t bit = 0;
        QChar decimale, gruppo;
        QString testo;
        bool pieno = false;
    };
    Voce voci_[kPosti];
};

const Separatori kNessunSeparatore{QChar(), QChar()};

}  // namespace

std::optional<double> letturaRigorosa(const QString& testo, Separatori s) {
    thread_local MemoriaTesti<std::optional<double>> memoria;
    return memoria.leggi(testo, s, [&] { return rigorosaDiretta(testo, s); });
}

double letturaTollerante(const QString& testo) {
    thread_local MemoriaTesti<double> memoria;
    return memoria.leggi(testo, kNessunSeparatore, [&] { return tolleranteDiretta(testo); });
}

QString scritturaNumerica(double valore, Separatori s) {
    thread_local MemoriaNumeri memoria;
    return memoria.scrivi(valore, s);
}

std::optional<double> letturaCentesimi(const QString& testo, Separatori s) {
    thread_local MemoriaTesti<std::optional<double>> memoria;
    return memoria.leggi(testo, s, [&] { return centesimiDiretta(testo, s); });
}

bool separatoreFuoriPosto(const QString& testo) {
    const qsizetype virgola = testo.indexOf(QLatin1Char(','));
    const qsizetype fine = virgola < 0 ? testo.size() : virgola;
    for (qsizetype i = 0; i < fine; ++i) {
        if (testo[i] != QLatin1Char('.')) continue;
        int cifre = 0;
        qsizetype k = i + 1;
        for (; k < fine && testo[k] != QLatin1Char('.'); ++k) {
            if (!cifra(testo[k])) break;
            ++cifre;
        }
        // Only trailing blanks may follow the three digits of the last group.
        while (k < fine && testo[k] != QLatin1Char('.') && spazio(testo[k])) ++k;
        const bool finito = k == fine || testo[k] == QLatin1Char('.');
        if (cifre != 3 || !finito) return true;
    }
    return false;
}

bool importoAccettabile(const QString& testo) {
    const auto v = letturaRigorosa(testo);
    return v && std::isfinite(*v) && std::fabs(*v) <= kImportoMassimo &&
           !separatoreFuoriPosto(testo);
}

}  // namespace varimo
