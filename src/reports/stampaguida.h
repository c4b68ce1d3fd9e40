#pragma once

#include <QString>
#include <array>
#include <memory>

#include "reports/documento.h"

namespace varimo {

// Printing of the on-line guide: one guide, the licence text, and the whole
// guide (which is also saved beside the program).

// Prints one guide, its title and its text. True when the document was
// handed to the word processor (on failure the user was told).
bool stampaguida(const QString& titolo, const QString& testo);

// Prints the licence-agreement text.
bool stampalicenza(const QString& testoLicenza);

// Title and text of one guide window.
struct GuidaDaStampare {
    QString titolo;  // Label1 caption
    QString testo;   // Label2 caption
};

// Where the whole guide went.
struct EsitoGuidaCompleta {
    bool mostrata = false;  // the document was handed to the word processor
    QString salvataIn;      // the saved copy; empty when no copy could be saved
    std::shared_ptr<const Documento> documento;  // the document made
};

// The file name of the saved whole guide: "<nomeprogramma>-guida.docx", an Office Open XML
// document with the extension word processors expect.
QString nomeFileGuida();

// Prints the four guides (manual, how it works, calculation window, framework
// window, in that order) into one document, each from a new page, and saves it
// as nomeFileGuida() in cartella, replacing an earlier copy only once the new
// one is complete. When cartella cannot be written the copy goes to the
// user's documents folder and the user is told where.
EsitoGuidaCompleta stampaguidacompleta(const std::array<GuidaDaStampare, 4>& guide,
                                       const QString& cartella);

}  // namespace varimo
