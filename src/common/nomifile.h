#pragma once

#include <QString>

namespace varimo {

// Names and texts that come from the user (a project name) and go where
// other programs read them: file names, document metadata.

// The longest file name, in bytes, that file systems take.
inline constexpr int kByteMassimiNomeFile = 255;

// The longest beginning of nome whose UTF-8 form fits in byteMassimi bytes,
// cut between characters (never inside a surrogate pair).
QString troncaInByte(const QString& nome, int byteMassimi);

// A file name made from any text: characters that file systems refuse (and
// control characters) become "_", characters that change the direction of
// the text are dropped, blanks and dots at the ends go, the length is kept
// reasonable and, with room for " (N)" and an extension, within the file
// name limit of 255 bytes, cut between characters; never empty.
QString nomeFileSicuro(const QString& nome);

// The text without the characters an XML document cannot hold (control
// characters other than tab and line ends, unpaired surrogates) and without
// the Unicode noncharacters (U+FFFE, U+FFFF, U+FDD0 to U+FDEF, ...), which
// must not reach document metadata.
QString testoPerMetadati(const QString& testo);

}  // namespace varimo
