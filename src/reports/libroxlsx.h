#pragma once

#include <QString>
#include <optional>

struct lxw_workbook;

namespace varimo {

// Closes a workbook of libxlsxwriter, which is when the library writes its
// file. The library's own notes on standard error (in English, for
// developers) are held back; a failure to write (a full disk, a quota, a
// file-size limit) is told as every failed write of the program is, any other
// failure with the library's reason. Nothing on success.
std::optional<QString> chiudiLibro(lxw_workbook* libro);

}  // namespace varimo
