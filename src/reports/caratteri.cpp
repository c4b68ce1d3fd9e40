#include "reports/caratteri.h"

namespace varimo {

namespace {

// Whether the code point may stand in every document's text.
bool accettabile(char32_t c) {
    if (c == u'\t' || c == u'\n' || c == u'\r') return true;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;  // a lone half of a surrogate pair
    if (c == 0xFFFE || c == 0xFFFF) return false;
    if (c >= 0xFDD0 && c <= 0xFDEF) return false;  // noncharacters
    if ((c & 0xFFFE) == 0xFFFE) return false;      // U+1FFFE, U+1FFFF, ... U+10FFFF
    return true;
}

// Walks the text by code point; `f` gets each and where it starts and ends.
template <class F>
void perCodice(const QString& t, F f) {
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n;) {
        const QChar a = t.at(i);
        if (a.isHighSurrogate() && i + 1 < n && t.at(i + 1).isLowSurrogate()) {
            f(QChar::surrogateToUcs4(a, t.at(i + 1)), i, i + 2);
            i += 2;
        } else {
            f(char32_t(a.unicode()), i, i + 1);
            ++i;
        }
    }
}

}  // namespace

bool richiedeFiltro(const QString& testo) {
    bool serve = false;
    perCodice(testo, [&](char32_t c, qsizetype, qsizetype) {
        if (!accettabile(c)) serve = true;
    });
    return serve;
}

QString testoPerDocumenti(const QString& testo) {
    if (!richiedeFiltro(testo)) return testo;
    QString r;
    r.reserve(testo.size());
    perCodice(testo, [&](char32_t c, qsizetype da, qsizetype a) {
        if (accettabile(c))
            r += QStringView(testo).sliced(da, a - da);
        else
            r += QChar::ReplacementCharacter;
    });
    return r;
}

}  // namespace varimo
