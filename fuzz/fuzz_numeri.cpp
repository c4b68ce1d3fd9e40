// Feeds arbitrary input to the number conversions and the display format.
// Besides running without undefined behaviour, they must keep their
// promises:
// - a finite number written and read back strictly is the same number to
//   fifteen significant digits;
// - an amount with at most two decimals within the exact range reads, in
//   cents, as exactly its cents, is written back as the same digits, and
//   shows its digits in the display format;
// - a text that reads strictly shows a display text that reads back as the
//   value rounded to the cent;
// - an amount box accepts exactly the texts that read within the exact range.
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/numeri.h"

namespace {

using namespace varimo;

[[noreturn]] void rotto() {
    std::abort();
}

bool vicini(double a, double b, double relativo) {
    return std::fabs(a - b) <= relativo * std::fabs(b) + 5e-324;
}

// The text of a whole number of cents, as a user could type it: optional
// grouping points, two, one or no decimals.
QString testoCentesimi(long long c, unsigned stile) {
    const bool negativo = c < 0;
    const unsigned long long a =
        negativo ? 0ULL - static_cast<unsigned long long>(c) : static_cast<unsigned long long>(c);
    const QString interi = QString::number(a / 100);
    QString r;
    if (stile & 1) {
        for (qsizetype j = 0; j < interi.size(); ++j) {
            if (j > 0 && (interi.size() - j) % 3 == 0) r.append(u'.');
            r.append(interi[j]);
        }
    } else {
        r = interi;
    }
    const unsigned long long d = a % 100;
    if ((stile & 2) || d % 10 != 0) {
        r += u',' + QStringLiteral("%1").arg(d, 2, 10, QChar(u'0'));
    } else if (d != 0) {
        r += u',' + QString::number(d / 10);
    }
    if (negativo) r.prepend(u'-');
    return r;
}

void numero(double v) {
    if (!std::isfinite(v)) return;
    const QString t = scritturaNumerica(v);
    const auto r = letturaRigorosa(t);
    // Within 15 significant digits of the largest double, the written form
    // rounds up past it and reads as an overflow; every other value comes back.
    if (!r && std::fabs(v) >= 1.797693134862315e308) return;
    if (!r || !vicini(*r, v, 1e-14)) rotto();
    // The written form has no grouping and at most 15 significant digits.
    if (t.contains(u'.')) rotto();
    (void)formatoImporto(t);
    (void)letturaCentesimi(t);
    (void)letturaTollerante(t);
}

void centesimi(long long c, unsigned stile) {
    const long long limite = static_cast<long long>(std::llround(kImportoMassimo * 100));
    c %= limite + 1;
    const QString t = testoCentesimi(c, stile);
    const auto v = letturaRigorosa(t);
    if (!v) rotto();
    if (!importoAccettabile(t)) rotto();
    const auto cc = letturaCentesimi(t);
    if (!cc || *cc != static_cast<double>(c)) rotto();
    // Written back: the same digits, without grouping and trailing zeros.
    if (scritturaNumerica(*v) != testoCentesimi(c, 0)) rotto();
    // Shown: grouped, always two decimals.
    if (formatoImporto(t) != testoCentesimi(c, 3)) rotto();
}

void testo(const QString& t) {
    const auto v = letturaRigorosa(t);
    const double tol = letturaTollerante(t);
    (void)tol;
    const auto c = letturaCentesimi(t);
    // Cents are missing only where the text does not read or x 100 overflows.
    if (c && !v) rotto();
    if (v && !c && std::isfinite(*v * 100)) rotto();
    // A box accepts exactly the amounts carried to the cent.
    if (importoAccettabile(t) !=
        (v && std::fabs(*v) <= kImportoMassimo && !separatoreFuoriPosto(t)))
        rotto();
    const QString f = formatoImporto(t);
    if (!v) {
        if (f != t) rotto();
        return;
    }
    if (!std::isfinite(*v)) rotto();
    if (t.isEmpty()) rotto();
    const auto rf = letturaRigorosa(f);
    if (!rf) rotto();
    // The display rounds to the cent (half away from zero) on 15 digits.
    if (std::fabs(*v) < 1e12 && std::fabs(*rf - *v) > 0.005 + 1e-9 * std::fabs(*v)) rotto();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t modo = data[0] % 4;
    ++data;
    --size;
    switch (modo) {
        case 0: {  // a text, one byte per character
            testo(QString::fromLatin1(reinterpret_cast<const char*>(data),
                                      static_cast<qsizetype>(size)));
            break;
        }
        case 1: {  // a text in UTF-8
            testo(QString::fromUtf8(reinterpret_cast<const char*>(data),
                                    static_cast<qsizetype>(size)));
            break;
        }
        case 2: {  // the bits of a double
            double v = 0;
            std::memcpy(&v, data, std::min(size, sizeof v));
            numero(v);
            break;
        }
        case 3: {  // a whole number of cents and a way to type it
            long long c = 0;
            std::memcpy(&c, data, std::min(size, sizeof c));
            numero(static_cast<double>(c) / 100);
            centesimi(c, size > sizeof c ? data[sizeof c] : 0);
            break;
        }
    }
    return 0;
}
