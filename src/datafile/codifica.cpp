#include "datafile/codifica.h"

#include <iconv.h>
#include <QList>

#include <cerrno>

namespace varimo {

namespace {

// One iconv conversion descriptor, closed on scope exit.
class Convertitore {
  public:
    Convertitore(const char* verso, const char* da) : cd_(iconv_open(verso, da)) {}
    ~Convertitore() {
        if (valido()) iconv_close(cd_);
    }
    Convertitore(const Convertitore&) = delete;
    Convertitore& operator=(const Convertitore&) = delete;

    bool valido() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; returns false at the first byte sequence that
    // cannot be converted, leaving *consumati at its offset.
    bool converti(const QByteArray& ingresso, QByteArray& uscita, qsizetype* consumati) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        uscita.clear();
        // Every character of either set takes at most 4 bytes in UTF-8 and 1
        // in Windows-1252, so four times the input always suffices.
        QByteArray buffer(ingresso.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(ingresso.constData());
        size_t restanti = static_cast<size_t>(ingresso.size());
        char* out = buffer.data();
        size_t spazio = static_cast<size_t>(buffer.size());
        const size_t esito = iconv(cd_, &in, &restanti, &out, &spazio);
        *consumati = in - ingresso.constData();
        if (esito == static_cast<size_t>(-1)) return false;
        buffer.truncate(out - buffer.data());
        uscita = buffer;
        return true;
    }

  private:
    iconv_t cd_;
};

}  // namespace

TestoCodificato codificaWindows1252(const QString& testo) {
    TestoCodificato r;
    Convertitore c("WINDOWS-1252", "UTF-8");
    const QByteArray utf8 = testo.toUtf8();
    qsizetype consumati = 0;
    if (c.valido() && c.converti(utf8, r.byte, &consumati)) return r;
    // Name the character that stopped the conversion: the code point that
    // starts at the failing offset of the UTF-8 input.
    const QList<uint> punti = QString::fromUtf8(utf8.left(consumati)).toUcs4();
    const QList<uint> tutti = testo.toUcs4();
    const qsizetype i = punti.size();
    r.byte.clear();
    r.carattereNonCodificabile = i < tutti.size() ? static_cast<char32_t>(tutti[i]) : U'\uFFFD';
    return r;
}

TestoDecodificato decodificaWindows1252(const QByteArray& byte) {
    TestoDecodificato r;
    Convertitore c("UTF-8", "WINDOWS-1252");
    QByteArray utf8;
    qsizetype consumati = 0;
    if (c.valido() && c.converti(byte, utf8, &consumati)) {
        r.testo = QString::fromUtf8(utf8);
        return r;
    }
    r.posizioneByteNonValido = consumati;
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

}  // namespace varimo
