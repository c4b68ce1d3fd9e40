#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace varimo {

// Amounts live as texts in the controls of the calculation window. These are
// the four conversions the calculation uses, plus the display format of the
// final framework. The program always works with the Italian separators
// (decimal comma, grouping point); the separators are a parameter only so that
// the display format can also be shown with other conventions.
struct Separatori {
    QChar decimale = QLatin1Char(',');
    QChar gruppo = QLatin1Char('.');
};

// The largest amount the calculation carries exactly, to the cent: fifteen
// significant digits. Sums of amounts up to it stay exact as well.
inline constexpr double kImportoMassimo = 999999999999.99;

// Strict, locale-aware reading of a number ("lettura rigorosa").
// Accepted: blanks (space, tab, CR, LF) before and after; an optional sign;
// the integer digits, where a grouping point may stand between two digits at
// any position (groups need not be of three: "1.2345" reads 12345, like the
// lenient regional conversion of the classic program); an optional decimal
// separator followed by digits (no grouping after it); an optional exponent
// E or e with optional sign and at least one digit. At least one digit must
// stand before or after the decimal separator ("5," and ",5" are accepted).
// Anything else, an empty text, or a value that does not fit a double
// (overflow) is an error: nullopt.
std::optional<double> letturaRigorosa(const QString& testo, Separatori s = {});

// Tolerant reading from the start of the text ("lettura tollerante"), as the
// classic Val(): blanks (space, tab, CR, LF) are ignored anywhere, even
// inside the number; then an optional sign, digits, an optional '.' with
// digits and an optional exponent (E/e, optional sign, digits). Reading stops
// at the first other character; with nothing readable the result is 0. The
// decimal comma stops the reading, so "1234,56" gives 1234 and "100.000"
// gives 100. The "&H"/"&O" prefixes for hexadecimal and octal are not
// recognised (they read as 0). A value too large for a double gives +/-inf;
// callers that compute with it treat a non-finite value as an overflow.
double letturaTollerante(const QString& testo);

// Writes a number with at most 15 significant digits ("scrittura numerica"):
// rounded to 15 significant digits, trailing zeros dropped, no grouping,
// decimal separator of `s`. The exponent form ("1E+15", "1,5E-07") is used
// when the rounded magnitude is at least 1E15 or below 1E-4 (not zero), like
// the classic number-to-text conversion; so 0,0001 is written "0,0001",
// 0,00001 "1E-05", every amount from 0,01 to 999999999999999 in plain digits.
// Zero (also -0) is written "0". A non-finite value is written "inf"/"-inf"/
// "nan" (the calculation never writes one: it stops the pass first).
QString scritturaNumerica(double valore, Separatori s = {});

// An amount text in whole cents ("lettura in centesimi"): the tolerant reading
// of the scrittura numerica of (lettura rigorosa of the text x 100). With the
// decimal comma, decimals beyond the second are dropped ("0,015" -> 1).
// Where that number text takes the exponent form ("1,5E+15": 1E15 cents and
// more, or less than a ten-thousandth of a cent) the result is the number the
// text stands for, never the digit before its decimal comma, so large
// amounts and sums never collapse. nullopt when the strict reading fails or
// the value is not finite.
std::optional<double> letturaCentesimi(const QString& testo, Separatori s = {});

// Display format "##,##0.00": the text read strictly with `s`, rounded to the
// hundredth (half away from zero, on the value's 15-digit decimal form), then
// written with at least one integer digit, grouping by three and exactly two
// decimals: "1234,5" -> "1.234,50". The empty text stays empty; a text that
// does not read as a number is returned unchanged.
QString formatoImporto(const QString& testo, Separatori s = {});

// Whether a grouping point of an amount text stands where no thousands
// separator can: one that is not followed by exactly three digits up to the
// next point, the decimal comma or the end ("1234.56", "1.2345"). The strict
// reading still reads such a text (as 123456 and 12345), but it is almost
// always a decimal point typed by mistake.
bool separatoreFuoriPosto(const QString& testo);

// Whether an amount text can stand in an amount box: the strict reading
// reads it, no grouping point is out of place, and the amount lies within
// +/- kImportoMassimo, where it is carried exactly to the cent. The empty
// text is not an amount (callers treat it as "no amount", which counts as
// zero).
bool importoAccettabile(const QString& testo);

}  // namespace varimo
