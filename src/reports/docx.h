#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>

#include "reports/documento.h"

namespace varimo {

// Writes a Documento as an Office Open XML word-processing file (.docx):
// a zip package holding [Content_Types].xml, _rels/.rels,
// word/document.xml, word/styles.xml, word/footer1.xml (date of printing and
// page fields), word/_rels/document.xml.rels and docProps/core.xml (title,
// author, date made). Every text and attribute value of the parts passes
// testoPerDocumenti() (caratteri.h) on its way in, so a part is well-formed
// XML 1.0 whatever the document holds.

// The main part, word/document.xml; written to a device, false when
// writing failed.
QByteArray documentoXml(const Documento& d);
bool scriviDocumentoXml(const Documento& d, QIODevice* uscita);
// The styles part, word/styles.xml: document defaults and the table styles
// (plain grid, and the coloured format that AutoFormat(9) gives).
QByteArray stiliXml();
// The footer part, word/footer1.xml.
QByteArray piePaginaXml(const Documento& d);
// The document properties, docProps/core.xml.
QByteArray proprietaXml(const Documento& d);

// The whole package in memory; nothing, with the reason in *errore, when the
// packing fails.
std::optional<QByteArray> pacchettoDocx(const Documento& d, QString* errore = nullptr);

// Names of the table styles written in styles.xml.
inline constexpr char16_t kStileGriglia[] = u"Grigliatabella";
inline constexpr char16_t kStileColorato2[] = u"Tabellacolorata2";

}  // namespace varimo
