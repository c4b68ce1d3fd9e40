#include "common/codifica.h"

#include <array>

namespace varimo {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the character set has none.
// Every other byte stands for the code point of the same number.
constexpr std::array<char16_t, 32> kDa80 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte for a code point, or -1 when the character set cannot hold it.
int byteDi(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < kDa80.size(); ++i)
        if (kDa80[i] != 0 && kDa80[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

}  // namespace

TestoCodificato codificaWindows1252(const QString& testo) {
    TestoCodificato r;
    r.byte.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        char32_t c = testo[i].unicode();
        if (QChar::isSurrogate(c)) {
            // A pair is one character; half of one stands for nothing and is
            // written as a question mark, as the program's UTF-8 does.
            if (QChar::isHighSurrogate(c) && i + 1 < testo.size() &&
                testo[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(testo[i], testo[i + 1]);
                ++i;
            } else {
                c = U'?';
            }
        }
        const int b = byteDi(c);
        if (b < 0) {
            r.byte.clear();
            r.carattereNonCodificabile = c;
            return r;
        }
        r.byte.append(static_cast<char>(b));
    }
    return r;
}

TestoDecodificato decodificaWindows1252(const QByteArray& byte) {
    TestoDecodificato r;
    QString testo(byte.size(), Qt::Uninitialized);
    QChar* out = testo.data();
    for (qsizetype i = 0; i < byte.size(); ++i) {
        const auto b = static_cast<unsigned char>(byte[i]);
        const char16_t c = (b >= 0x80 && b < 0xA0) ? kDa80[b - 0x80] : char16_t(b);
        if (c == 0 && b != 0) {
            r.posizioneByteNonValido = i;
            return r;
        }
        out[i] = QChar(c);
    }
    r.testo = testo;
    return r;
}

QString descriviCarattere(char32_t c) {
    const char32_t cp[] = {c};
    QString codice = QString::number(static_cast<uint>(c), 16).toUpper();
    while (codice.size() < 4) codice.prepend(u'0');
    // Control characters are named by their code only.
    if (c < 0x20 || c == 0x7F) return QStringLiteral("U+") + codice;
    return QStringLiteral("«") + QString::fromUcs4(cp, 1) + QStringLiteral("» (U+") + codice + u')';
}

qsizetype posizioneControllo(const QString& testo) {
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c != u'\t' && c.category() == QChar::Other_Control) return i;
    }
    return -1;
}

QString senzaControlli(const QString& testo) {
    if (posizioneControllo(testo) < 0) return testo;
    QString r;
    r.reserve(testo.size());
    for (QChar c : testo)
        if (c == u'\t' || c.category() != QChar::Other_Control) r.append(c);
    return r;
}

}  // namespace varimo
