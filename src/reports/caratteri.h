#pragma once

#include <QString>

namespace varimo {

// The one filter of the characters every document writer accepts: the text
// of a .docx (XML 1.0), of a spreadsheet, of a PDF and of its XMP holds no
// unpaired surrogate, no noncharacter U+FFFE or U+FFFF and no control
// character but tab, line feed and carriage return. Each is replaced by
// U+FFFD, so a label typed or read with them prints whole and the reader
// opens the document. Text that needs nothing comes back as it was.
QString testoPerDocumenti(const QString& testo);

// Whether testoPerDocumenti() would change the text.
bool richiedeFiltro(const QString& testo);

}  // namespace varimo
