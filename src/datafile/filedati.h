#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

#include "common/scritturafile.h"
#include "datafile/formato.h"

namespace varimo {

// Disk side of the project data files.

// Reads and checks the whole file at `percorso`. On failure: an Italian
// description of what is wrong (the file cannot be read, or the line and the
// fault of its content).
// Only a regular file is read: a FIFO, a device or a socket is refused at
// once, without waiting. With `contenuto`, the bytes read go there too.
std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso);
std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso,
                                                      QByteArray* contenuto);


}  // namespace varimo
