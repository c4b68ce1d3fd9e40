#pragma once

#include <QString>

#include "reports/documento.h"

namespace varimo {

enum class EsitoStampa;

// The command "Esporta in PDF" for any report built on the document layer:
// asks where to save (the save dialog proposes "<nomeProposto>.pdf" in the
// user's documents folder), asks before replacing an existing file, and
// writes the document as a PDF/A file (pdf.h). A file that cannot be written
// gets a message naming it and the reason; nothing half written is left.
EsitoStampa esportaDocumentoPdf(const Documento& doc, const QString& nomeProposto);

// The path the save dialog proposes for nomeProposto.
QString percorsoPropostoPdf(const QString& nomeProposto);

}  // namespace varimo
