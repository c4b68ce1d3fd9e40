#include "calculation/numeri.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace varimo {

namespace {

bool spazio(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

bool cifra(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Converts a plain C-style number ("-123.45e+6", digits only, no blanks) to a
// double. Overflow gives +/-inf, underflow 0.
double converti(const std::string& s) {
    double v = 0.0;
    const char* inizio = s.data();
    const char* fine = s.data() + s.size();
    const bool negativo = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++inizio;
    auto [p, ec] = std::from_chars(inizio, fine, v);
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal magnitude:
        // significant integer digits plus the exponent.
        long cifreIntere = 0;
        bool significativa = false;
        bool dopoPunto = false;
        long zeriDopoPunto = 0;
        long esponente = 0;
        for (const char* q = inizio; q < fine; ++q) {
            if (*q == '.') {
                dopoPunto = true;
            } else if (*q == 'e' || *q == 'E') {
                esponente = std::strtol(q + 1, nullptr, 10);
                break;
            } else if (!dopoPunto) {
                if (*q != '0' || significativa) {
                    significativa = true;
                    ++cifreIntere;
                }
            } else if (!significativa) {
                if (*q == '0') {
                    ++zeriDopoPunto;
                } else {
                    significativa = true;
                }
            }
        }
        const long grandezza = cifreIntere > 0 ? cifreIntere + esponente : esponente - zeriDopoPunto;
        v = grandezza > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || p == inizio) {
        v = 0.0;
    }
    return negativo ? -v : v;
}

}  // namespace

std::optional<double> letturaRigorosa(const QString& testo, Separatori s) {
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

double letturaTollerante(const QString& testo) {
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
    if (c.size() > 1 && c[0] == '-' && c[1] == '.') c.insert(1, "0");
    if (!c.empty() && c[0] == '.') c.insert(0, "0");
    return converti(c);
}

QString scritturaNumerica(double valore, Separatori s) {
    if (valore == 0.0) return QStringLiteral("0");
    if (std::isnan(valore)) return QStringLiteral("nan");
    if (std::isinf(valore)) return valore > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
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

std::optional<double> letturaCentesimi(const QString& testo, Separatori s) {
    const auto v = letturaRigorosa(testo, s);
    if (!v) return std::nullopt;
    const double x = *v * 100;
    if (!std::isfinite(x)) return std::nullopt;
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

    QString r;
    const bool zero = centesimi.find_first_not_of('0') == std::string::npos;
    if (negativo && !zero) r.append(QLatin1Char('-'));
    for (size_t j = 0; j < interi.size(); ++j) {
        if (j > 0 && (interi.size() - j) % 3 == 0) r.append(s.gruppo);
        r.append(QLatin1Char(interi[j]));
    }
    r.append(s.decimale);
    r.append(QLatin1String(decimali.c_str()));
    return r;
}

}  // namespace varimo
