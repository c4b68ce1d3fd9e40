#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace varimo {

// Conversion between the program's texts and the single-byte Windows-1252
// character set of its data files, by the table of that character set.

// Result of encoding a text: the bytes, or the first character that the
// character set cannot hold.
struct TestoCodificato {
    QByteArray byte;
    std::optional<char32_t> carattereNonCodificabile;
    bool riuscito() const { return !carattereNonCodificabile.has_value(); }
};

TestoCodificato codificaWindows1252(const QString& testo);

// Result of decoding bytes: the text, or the position of the first byte that
// has no character in Windows-1252 (0x81, 0x8D, 0x8F, 0x90, 0x9D).
struct TestoDecodificato {
    QString testo;
    std::optional<qsizetype> posizioneByteNonValido;
    bool riuscito() const { return !posizioneByteNonValido.has_value(); }
};

TestoDecodificato decodificaWindows1252(const QByteArray& byte);

// A character as the user sees it in a message, with its code point, for
// example «Ж» (U+0416).
QString descriviCarattere(char32_t c);

// The longest text a field may hold; the reader refuses longer ones and the
// writer does not write them.
inline constexpr qsizetype lunghezzaMassimaCampo = 1000;

// Position of the first control character of a text (a tab is allowed), or
// -1. The file holds none; typed or pasted ones are removed.
qsizetype posizioneControllo(const QString& testo);
QString senzaControlli(const QString& testo);

}  // namespace varimo
