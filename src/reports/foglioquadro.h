#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "reports/quadroesportato.h"

namespace varimo {

// The framework as a spreadsheet (.xlsx, written with libxlsxwriter) whose
// figures follow the user's edits: one sheet, the header on top, then one row
// per item with its code, label, rule and amount. A section's amount is the
// SUM of its children's cells, a percentage item's the formula of its rule on
// the cells it refers to (=ROUND(22%*(D12+D13),2), rounded half up to the
// cent as the framework rounds), the project total the sum of the top-level
// items. A fixed total is a cell of its own; the item that absorbs the
// difference is the fixed total less the other items that make up the
// project total, so that the total stays at the funding whatever amount is
// changed; when a percentage depends on it (the formula would go round in a
// circle) it keeps the amount computed for it, with a comment saying so.
//
// An award (the discount and the amounts before it in the record) puts, for
// every item it reduces, the amount before the discount and the labour kept
// out of it in two columns of their own, and the item's amount is
// =ROUND(F+(E-F)*(1-discount),2) on them and on one cell holding the
// discount, under the totals with the contract amount: changing the discount
// in that cell moves the reduced items, the contract amount and the
// economies, and the total stays at the funding.
//
// A formula longer than a spreadsheet takes (8,192 characters) is written as
// its value with a comment saying so; a text longer than a cell holds is cut
// with a note. Amounts in the number format "#,##0.00" (shown with the
// reader's separators, "1.234,56" in Italian), fitted column widths, the
// column heading row frozen and repeated on every printed page, A4 fitted to
// the page width.

struct OpzioniFoglio {
    // Whether each formula carries its computed result, for readers that
    // show a file without recalculating it. Without, every formula reads 0
    // until it is recalculated.
    bool risultati = true;
};

// The row (from 1, as the sheet numbers them) of the column heading; item i
// of the record is on the row after it plus i.
inline constexpr int kRigaIntestazioneColonne = 11;

// The whole file in memory; nothing, with the reason in *errore, when it
// cannot be made.
std::optional<QByteArray> foglioQuadro(const QuadroEsportato& q, QString* errore = nullptr,
                                       OpzioniFoglio opzioni = {});

// Writes the spreadsheet to percorso, replacing an existing file only once
// the new one is complete. The reason in *errore on failure.
bool scriviFoglioQuadro(const QuadroEsportato& q, const QString& percorso,
                        QString* errore = nullptr);

}  // namespace varimo
