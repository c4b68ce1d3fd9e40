#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace varimo {

// The program's exact quantities and their one Italian reading and writing:
// amounts in whole cents, percentages (a discount, a rate) in thousandths of a
// per cent. Every window, dialog and command reads and writes them here, so
// the same text means the same value everywhere.

// Amounts in whole cents of the currency.
using Centesimi = qint64;
// Percentages in thousandths of a per cent: 1,8 % is 1800, 100 % is 100000.
using Millesimi = qint32;

inline constexpr Millesimi kPercentualeMassima = 100000;  // 100 %
// The largest amount that may be typed: 999.999.999.999,99.
inline constexpr Centesimi kCentesimiMassimi = 99999999999999LL;

// Italian figures: 123456 -> "1.234,56" (grouping), or "1234,56" without it.
QString testoImporto(Centesimi c, bool raggruppa = true);
// 1800 -> "1,8"; 22000 -> "22"; 12345 -> "12,345".
QString testoPercentuale(Millesimi m);

// Reads an amount typed the Italian way: "1.234,56", "1234,56", "1234",
// "-12,5"; at most two decimals; grouping points only between groups of three
// digits ("1.5" and "12.34,5" are refused, never taken as 15 or 1234,5).
std::optional<Centesimi> leggiImportoItaliano(const QString& testo);
// Reads a percentage typed the Italian way ("1,8", "22", "8,125"), 0..100 with
// at most three decimals; a trailing "%" is allowed.
std::optional<Millesimi> leggiPercentualeItaliana(const QString& testo);

// The tender discount typed as a percentage with at most three decimals:
// digits, then a decimal comma (or point: a value of at most 100 holds no
// grouping point) and up to three digits ("23,456", "23.456", "12,5", "0",
// "100"); blanks around it and a final "%" are allowed, and further decimals
// only when they are zeros. The value is kept exactly, in thousandths of a
// per cent. Every window, dialog and command reads a discount with it.
struct LetturaRibasso {
    enum class Esito { Vuoto, Valido, NonLeggibile, FuoriIntervallo };
    Esito esito = Esito::Vuoto;
    qint64 millesimi = 0;  // 23,456 % -> 23456; only when Valido
    std::optional<Millesimi> valore() const {
        if (esito != Esito::Valido) return std::nullopt;
        return Millesimi(millesimi);
    }
};
LetturaRibasso leggiRibasso(const QString& testo);

// The same quantities as the .varimo file writes them: a point for decimals,
// no grouping: "812345.67", "-0.05", "1.8", "22".
QString testoImportoFile(Centesimi c);
QString testoPercentualeFile(Millesimi m);
std::optional<Centesimi> leggiImportoFile(const QString& testo);
std::optional<Millesimi> leggiPercentualeFile(const QString& testo);

}  // namespace varimo
