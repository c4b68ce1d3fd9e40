#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "quadro/fasi.h"

// The comparison as a spreadsheet (.xlsx, libxlsxwriter): the header on top,
// then the column heading (row kRigaColonneConfronto) and one row per item
// with its code, its label and one amount per phase (an empty cell where the
// phase lacks the item); the difference is a formula on the two phases'
// cells (=ROUND(N(E7)-N(C7),2)), the project total of each phase the SUM of
// its top-level items, so the sheet follows an amount changed by hand.
// Amounts in "#,##0.00", the heading frozen and repeated on every page, A4
// fitted to the page width.

namespace varimo::quadro {

inline constexpr int kRigaColonneConfronto = 6;  // counted from 1, as the sheet does

std::optional<QByteArray> foglioConfronto(const FileFasi& f, const Confronto& c,
                                          QString* errore = nullptr);

}  // namespace varimo::quadro
