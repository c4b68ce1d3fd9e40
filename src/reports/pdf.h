#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "reports/documento.h"

namespace varimo {

// Writes a Documento as a PDF/A-1b file with Qt's own PDF writer: the page,
// margins, fonts, sizes, tables (fixed column widths, coloured format,
// alignments) and footer (date of printing, "pag. N di M") of the .docx
// package, A4 portrait, fonts embedded, the title and the program in the
// file's properties. Every text drawn and both properties pass
// testoPerDocumenti() (caratteri.h) first. It needs no word processor; it
// does need the application's fonts, so the program must run a
// QGuiApplication.

// The whole file in memory; nothing, with the reason in *errore, when it
// cannot be made.
std::optional<QByteArray> pdfDocumento(const Documento& d, QString* errore = nullptr);

// Writes the PDF of d to percorso through a temporary file in the same
// folder that replaces percorso only once complete (Documento::salvaCome):
// a failure leaves neither a partial file nor a changed old one. The reason
// in *errore on failure.
bool esportaPdf(const Documento& d, const QString& percorso, QString* errore = nullptr);

}  // namespace varimo
