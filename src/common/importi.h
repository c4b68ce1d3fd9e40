#pragma once

#include <QString>
#include <QtGlobal>

#include "common/cifre.h"

namespace varimo {

// Amounts held as whole cents, written the two ways an official framework
// states them: in figures and in words.

// In figures, with the display format "##,##0.00" and the Italian separators:
// 123456 -> "1.234,56", -5 -> "-0,05".
inline QString formatoCentesimi(qint64 centesimi) {
    return testoImporto(centesimi);
}

// A whole number in Italian words, as amounts are written out in contracts:
// one word, with the final vowel of the tens dropped before "uno" and "otto"
// ("ventuno", "trentotto"), "cento" shortened before "otto" and "ottanta"
// ("centotto"), "un" before "mila", "milioni", "miliardi" ("ventunmila"),
// "mille", "unmilione", "unmiliardo", and the accent on a final compound
// "tre" ("ventitré"). Negative numbers start with "meno ".
QString numeroInLettere(qint64 n);

// An amount in words with its cents in figures after a slash:
// 27633938 -> "duecentosettantaseimilaseicentotrentatré/38".
QString importoInLettere(qint64 centesimi);

}  // namespace varimo
