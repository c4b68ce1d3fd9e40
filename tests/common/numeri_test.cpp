#include "common/numeri.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace varimo;

namespace {

struct CasoRigoroso {
    const char* testo;
    std::optional<double> atteso;
};

TEST(LetturaRigorosa, Tabella) {
    const CasoRigoroso casi[] = {
        {"1234,56", 1234.56},
        {"100.000", 100000},
        {"1.2345", 12345},  // groups of any size are accepted
        {"1.234.567,5", 1234567.5},
        {"  -12,5  ", -12.5},
        {"+7", 7},
        {"\t3\r\n", 3},
        {",5", 0.5},
        {"5,", 5},
        {"1E3", 1000},
        {"1,5e-2", 0.015},
        {"2E+15", 2e15},
        {"0", 0},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12x", std::nullopt},
        {"abc", std::nullopt},
        {"1.234", 1234},
        {".5", std::nullopt},  // a grouping point needs digits on both sides
        {"5.", std::nullopt},
        {"1..2", std::nullopt},
        {"1,2.3", std::nullopt},  // no grouping after the decimal comma
        {"1,2,3", std::nullopt},
        {"1E", std::nullopt},
        {"1E+", std::nullopt},
        {"- 5", std::nullopt},
        {"1 000", std::nullopt},
        {"1E400", std::nullopt},  // overflow
        {"1E-400", 0},            // underflow reads as zero
        {"-", std::nullopt},
        {",", std::nullopt},
        {"1234.56", 123456},  // the point is a grouping point here
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const auto v = letturaRigorosa(QString::fromUtf8(c.testo));
        ASSERT_EQ(v.has_value(), c.atteso.has_value());
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.atteso);
        }
    }
}

TEST(LetturaRigorosa, SeparatoriInglesi) {
    const Separatori en{QLatin1Char('.'), QLatin1Char(',')};
    EXPECT_DOUBLE_EQ(*letturaRigorosa(QStringLiteral("1,234.5"), en), 1234.5);
    EXPECT_FALSE(letturaRigorosa(QStringLiteral("1.5,0"), en));
}

TEST(LetturaTollerante, Tabella) {
    const struct {
        const char* testo;
        double atteso;
    } casi[] = {
        {"1234,56", 1234},
        {"100.000", 100},
        {"", 0},
        {"abc", 0},
        {"12x", 12},
        {" 1 2 3 ", 123},
        {"-4.5", -4.5},
        {"+4", 4},
        {"1\t0\n0", 100},
        {".5", 0.5},
        {"-.5", -0.5},
        {"1e3", 1000},
        {"1E+2x", 100},
        {"2E", 2},
        {"2E+", 2},
        {"&H10", 0},
        {"- 7", -7},
        {"1,5E+16", 1},
        {"0,79", 0},
        {"3.", 3},
        {"-", 0},
        {"1E-2", 0.01},
        {"inf", 0},
        {"nan", 0},
        {"99999999999999999", 1e17},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_DOUBLE_EQ(letturaTollerante(QString::fromUtf8(c.testo)), c.atteso);
    }
    EXPECT_TRUE(std::isinf(letturaTollerante(QStringLiteral("1E999"))));
}

TEST(ScritturaNumerica, Tabella) {
    const struct {
        double valore;
        const char* atteso;
    } casi[] = {
        {1234.5, "1234,5"},
        {100, "100"},
        {0.1 + 0.2, "0,3"},
        {-12.5, "-12,5"},
        {0, "0"},
        {-0.0, "0"},
        {0.01, "0,01"},
        {0.0001, "0,0001"},
        {0.00001, "1E-05"},
        {0.00000015, "1,5E-07"},
        {1e15, "1E+15"},
        {1.5e16, "1,5E+16"},
        {999999999999999, "999999999999999"},
        {9999999999999.99, "9999999999999,99"},  // large amounts keep plain digits
        {1e14, "100000000000000"},
        {999999999999999.9, "1E+15"},  // rounds to 15 digits first
        {123456789012.34, "123456789012,34"},
        {1.0 / 3, "0,333333333333333"},
        {1e100, "1E+100"},
        {1100.55, "1100,55"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.atteso);
        EXPECT_EQ(scritturaNumerica(c.valore), QString::fromUtf8(c.atteso));
    }
    EXPECT_EQ(scritturaNumerica(1234.5, {QLatin1Char('.'), QLatin1Char(',')}), "1234.5");
}

TEST(LetturaCentesimi, Tabella) {
    const struct {
        const char* testo;
        std::optional<double> atteso;
    } casi[] = {
        {"1234,56", 123456},
        {"1020,5", 102050},
        {"0,015", 1},
        {"0,01", 1},
        {"100", 10000},
        {"-12,5", -1250},
        {"1100,55", 110055},
        {"100.000", 10000000},
        {"", std::nullopt},
        {"12x", std::nullopt},
        {"0", 0},
        {"0,29", 29},
        {"0,0000000001", 1e-8},  // written "1E-08": read back with its exponent
        {"0,005", 0},            // written "0,5": the comma stops the reading
        {"123456789012,34", 12345678901234},
        {"4,35", 435},  // 4.35 * 100 = 434.99999999999994 in binary: 15 digits give 435
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const auto v = letturaCentesimi(QString::fromUtf8(c.testo));
        ASSERT_EQ(v.has_value(), c.atteso.has_value());
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.atteso);
        }
    }
}

TEST(FormatoImporto, Tabella) {
    const struct {
        const char* testo;
        const char* atteso;
    } casi[] = {
        {"1234,5", "1.234,50"},
        {"1100", "1.100,00"},
        {"0", "0,00"},
        {"-1234,5", "-1.234,50"},
        {"", ""},
        {"abc", "abc"},
        {"12x", "12x"},
        {"0,005", "0,01"},  // half away from zero
        {"-0,005", "-0,01"},
        {"1,005", "1,01"},  // decided on the decimal form, not the binary one
        {"0,004", "0,00"},
        {"-0,004", "0,00"},
        {"999,995", "1.000,00"},
        {"123456789012,345", "123.456.789.012,35"},
        {"1E+15", "1.000.000.000.000.000,00"},
        {"0,1", "0,10"},
        {"100", "100,00"},
        {"1000000", "1.000.000,00"},
        {"1E-07", "0,00"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_EQ(formatoImporto(QString::fromUtf8(c.testo)), QString::fromUtf8(c.atteso));
    }
    const Separatori en{QLatin1Char('.'), QLatin1Char(',')};
    EXPECT_EQ(formatoImporto(QStringLiteral("1234.5"), en), "1,234.50");
}

// Writing and reading back keeps every amount with two decimals exactly.
TEST(Conversioni, AndataERitornoDegliImporti) {
    for (long c = -250000; c <= 250000; c += 13) {
        const double v = static_cast<double>(c) / 100;
        const QString t = scritturaNumerica(v);
        ASSERT_EQ(letturaCentesimi(t).value(), static_cast<double>(c)) << t.toStdString();
        ASSERT_EQ(letturaRigorosa(t).value(), v) << t.toStdString();
    }
}

TEST(Conversioni, EsponentiEstremiSenzaComportamentiIndefiniti) {
    // Exponents far beyond any double, with many digits or none before them:
    // overflow is an error of the strict reading and inf for the tolerant
    // one, underflow is 0 (or the nearest subnormal number).
    const struct {
        const char* testo;
        std::optional<double> rigorosa;
        double tollerante;
    } casi[] = {
        {"1E99999999999999999999", std::nullopt, std::numeric_limits<double>::infinity()},
        {"-123456789012345678901234567890E9223372036854775807", std::nullopt,
         -std::numeric_limits<double>::infinity()},
        {"1E-99999999999999999999", 0, 0},
        {"0,000000000000000000001E-9223372036854775808", 0, 0},
        {"4,9406564584124654E-324", 4.9406564584124654e-324, 4.9406564584124654e-324},
        {"2,5E-320", 2.5e-320, 2.5e-320},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const QString t = QString::fromUtf8(c.testo);
        const auto v = letturaRigorosa(t);
        ASSERT_EQ(v.has_value(), c.rigorosa.has_value());
        if (v) {
            EXPECT_EQ(*v, *c.rigorosa);
        }
        QString punto = t;  // the tolerant reading's decimal point
        punto.replace(u',', u'.');
        EXPECT_EQ(letturaTollerante(punto), c.tollerante);
    }
}

TEST(Conversioni, AiMarginiDelDoubleComeLaConversioneDelC) {
    // Random numbers around the largest and the smallest double, written with
    // leading zeros, a decimal point anywhere and an exponent: the reading
    // gives what the C library's conversion gives for the same number written
    // without a point (digits and an exponent only read alike in every
    // locale), infinity and 0 included.
    std::mt19937 caso(27);
    for (int giro = 0; giro < 20000; ++giro) {
        std::string cifre(1 + caso() % 25, '0');
        for (char& c : cifre) c = static_cast<char>('0' + caso() % 10);
        if (cifre.find_first_not_of('0') == std::string::npos) cifre.back() = '7';
        const std::string zeri(caso() % 4, '0');
        const auto n = static_cast<long>(cifre.size());
        const auto k = static_cast<long>(caso() % (cifre.size() + 1));  // digits before the point
        // About ten to the power margin, give or take thirty.
        const long margine = caso() % 2 ? 308 : -324;
        const long x = margine + static_cast<long>(caso() % 61) - 30 - k + 1;
        const std::string intero = zeri + cifre.substr(0, static_cast<std::size_t>(k));
        const std::string testo = (intero.empty() ? "0" : intero) + "." +
                                  cifre.substr(static_cast<std::size_t>(k)) + "E" +
                                  std::to_string(x);
        // The same number: all its digits as a whole number, the exponent
        // lowered by the digits that stood after the point.
        const std::string senzaPunto = cifre + "e" + std::to_string(x - (n - k));
        const double atteso = std::strtod(senzaPunto.c_str(), nullptr);
        ASSERT_EQ(letturaTollerante(QString::fromStdString(testo)), atteso)
            << testo << " " << senzaPunto;
    }
}

TEST(LetturaCentesimi, ImportiGrandiESommeNonCollassano) {
    // Every amount with two decimals up to the largest one is exact in cents;
    // 1E15 cents and more were written in exponent form, whose decimal comma
    // stopped the reading at the first digit.
    const double massimo = kImportoMassimo * 100;
    for (double c = massimo; c > 1; c = std::floor(c / 7.3)) {
        for (const double segno : {1.0, -1.0}) {
            const double cc = segno * c;
            const QString t = scritturaNumerica(cc / 100);
            ASSERT_EQ(letturaCentesimi(t), cc) << t.toStdString();
            ASSERT_EQ(letturaRigorosa(formatoImporto(t)), cc / 100) << t.toStdString();
        }
    }
    EXPECT_EQ(scritturaNumerica(kImportoMassimo), QStringLiteral("999999999999,99"));
    // The boxes accept exactly the amounts carried to the cent.
    for (const char* t : {"999.999.999.999,99", "-999999999999,99", "0", "9,99999E11"})
        EXPECT_TRUE(importoAccettabile(QString::fromUtf8(t))) << t;
    for (const char* t : {"1.000.000.000.000", "999999999999,991", "-1E12", "1E400", "12x", ""})
        EXPECT_FALSE(importoAccettabile(QString::fromUtf8(t))) << t;
    // A point not followed by exactly three digits is no thousands separator:
    // the strict reading would take "1234.56" for 123456.
    for (const char* t : {"1234.56", "1.2345", "12.3", "1.234.56", "1.23,45", "1234.", "0.5"}) {
        EXPECT_TRUE(separatoreFuoriPosto(QString::fromUtf8(t))) << t;
        EXPECT_FALSE(importoAccettabile(QString::fromUtf8(t))) << t;
    }
    for (const char* t : {"1.234", "1.234.567,89", "-12.345 ", "1234,56", "1234", "1,5.3"}) {
        EXPECT_FALSE(separatoreFuoriPosto(QString::fromUtf8(t))) << t;
    }
    const struct {
        const char* testo;
        double centesimi;
    } casi[] = {
        {"12999999999999,9", 1299999999999990},  // a sum of thirteen largest amounts
        {"10000000000000", 1e15},
        {"100000000000100", 1.000000000001e16},
        {"1,5E+20", 1.5e22},
        {"0,00000015", 1.5e-5},  // "1,5E-05" cents
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_EQ(letturaCentesimi(QString::fromUtf8(c.testo)), c.centesimi);
    }
}

}  // namespace
