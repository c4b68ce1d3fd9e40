#include "common/nomifile.h"

namespace varimo {

namespace {

constexpr qsizetype kLunghezzaMassimaNome = 150;
// Room kept within the file name limit for " (NNNN)" and the extension.
constexpr int kByteRiservati = 16;

// Characters that change the direction of the text around them: in a file
// name they make the end of the name look like another extension. The
// invisible byte order mark goes with them.
bool controlloDirezione(char16_t c) {
    return c == 0xFEFF || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool nonCarattere(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

}  // namespace

QString troncaInByte(const QString& nome, int byteMassimi) {
    qsizetype byte = 0;
    qsizetype i = 0;
    while (i < nome.size()) {
        const bool coppia =
            nome.at(i).isHighSurrogate() && i + 1 < nome.size() && nome.at(i + 1).isLowSurrogate();
        const char32_t c =
            coppia ? QChar::surrogateToUcs4(nome.at(i), nome.at(i + 1)) : nome.at(i).unicode();
        const int lunghezza = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (byte + lunghezza > byteMassimi) break;
        byte += lunghezza;
        i += coppia ? 2 : 1;
    }
    return nome.left(i);
}

QString nomeFileSicuro(const QString& nome) {
    static const QString vietati = QStringLiteral("<>:\"/\\|?*");
    QString r;
    r.reserve(nome.size());
    for (qsizetype i = 0; i < nome.size(); ++i) {
        const QChar c = nome.at(i);
        if (controlloDirezione(c.unicode())) continue;
        if (c.isHighSurrogate() && i + 1 < nome.size() && nome.at(i + 1).isLowSurrogate()) {
            r.append(c).append(nome.at(++i));
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate() ||
                   vietati.contains(c)) {
            // An unpaired surrogate has no form in a file name either.
            r.append(QLatin1Char('_'));
        } else {
            r.append(c);
        }
    }
    if (r.size() > kLunghezzaMassimaNome) {
        r.truncate(kLunghezzaMassimaNome);
        if (r.back().isHighSurrogate()) r.chop(1);
    }
    r = troncaInByte(r, kByteMassimiNomeFile - kByteRiservati);
    // Blanks and dots at the ends make names that some systems refuse.
    while (!r.isEmpty() && (r.front().isSpace() || r.front() == QLatin1Char('.'))) r.remove(0, 1);
    while (!r.isEmpty() && (r.back().isSpace() || r.back() == QLatin1Char('.'))) r.chop(1);
    if (r.isEmpty()) r = QStringLiteral("documento");
    return r;
}

QString testoPerMetadati(const QString& testo) {
    QString r;
    r.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (c.isHighSurrogate() && i + 1 < testo.size() && testo.at(i + 1).isLowSurrogate()) {
            const char32_t u = QChar::surrogateToUcs4(c, testo.at(i + 1));
            if (!nonCarattere(u)) r.append(c).append(testo.at(i + 1));
            ++i;
            continue;
        }
        if (c.isSurrogate()) continue;
        const char16_t u = c.unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) continue;
        if (nonCarattere(u)) continue;
        r.append(c);
    }
    return r;
}

}  // namespace varimo
