// Feeds hostile project names to the paths that turn them into file names
// and document metadata. The input is read as UTF-16, so unpaired
// surrogates, noncharacters, direction controls and control characters all
// occur. Promises:
// - a safe file name is never empty, fits the file name limit with room for
//   " (N)" and an extension, is valid UTF-16 (it has a UTF-8 form), holds no
//   folder separator, control or direction character, and neither starts
//   nor ends with a blank or a dot;
// - a name cut to a number of bytes is a beginning of the name, fits, and
//   could not take one more character;
// - a metadata text written into an XML document reads back without error
//   as the same text.
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cstdint>
#include <cstdlib>

#include "common/nomifile.h"

namespace {

using namespace varimo;

[[noreturn]] void rotto() {
    std::abort();
}

int byteUtf8(const QString& s) {
    return static_cast<int>(s.toUtf8().size());
}

// Bytes of the UTF-8 form, an unpaired surrogate counted as the three bytes
// of the replacement character it becomes.
int byteCodifica(const QString& s) {
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            n += 4;
            ++i;
        } else {
            n += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        }
    }
    return n;
}

void nomeSicuro(const QString& nome) {
    const QString r = nomeFileSicuro(nome);
    if (r.isEmpty() || byteUtf8(r) > kByteMassimiNomeFile - 16) rotto();
    if (QString::fromUtf8(r.toUtf8()) != r) rotto();
    for (QChar c : r) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u'/' || u == u'\\' || u == 0x202E || u == 0x2066 ||
            u == 0x200F)
            rotto();
    }
    if (r.front().isSpace() || r.front() == u'.' || r.back().isSpace() || r.back() == u'.') rotto();
}

void tronca(const QString& nome, int limite) {
    const QString r = troncaInByte(nome, limite);
    if (!nome.startsWith(r) || byteCodifica(r) > limite) rotto();
    if (r.size() < nome.size()) {
        // One more character (two units for a surrogate pair) would not fit.
        const bool coppia = nome.at(r.size()).isHighSurrogate() && r.size() + 1 < nome.size() &&
                            nome.at(r.size() + 1).isLowSurrogate();
        const QString uno = nome.mid(r.size(), coppia ? 2 : 1);
        if (byteCodifica(r) + byteCodifica(uno) <= limite) rotto();
    }
}

void metadati(const QString& testo) {
    const QString pulito = testoPerMetadati(testo);
    QByteArray xml;
    {
        QXmlStreamWriter w(&xml);
        w.writeStartDocument();
        w.writeStartElement(QStringLiteral("title"));
        w.writeCharacters(pulito);
        w.writeEndElement();
        w.writeEndDocument();
        if (w.hasError()) rotto();
    }
    QXmlStreamReader r(xml);
    QString letto;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isCharacters()) letto += r.text();
    }
    if (r.hasError()) rotto();
    // An XML reader turns line ends into line feeds.
    QString atteso = pulito;
    atteso.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    letto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (letto != atteso) rotto();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 8192) return 0;
    const int limite = data[0];
    QString testo;
    for (size_t i = 1; i + 1 < size; i += 2)
        testo.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    nomeSicuro(testo);
    tronca(testo, limite);
    metadati(testo);
    return 0;
}
