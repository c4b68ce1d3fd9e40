// The whole export path on arbitrary .varimo bytes, as `varimo --esporta`
// takes it: the file read (version 1 or 2), its last phase computed, the
// command's writers (.csv, .docx, .pdf, .xlsx) and the comparison of the
// phases in every format, written into a folder of the target's own.
// Promise: what the reader takes gives, in every format, either a reason or
// a well-formed document: a .csv in UTF-8 with its byte order mark, a .docx
// and an .xlsx whose every XML part parses, a PDF with its header and its
// end mark.
#include <zip.h>

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "quadro/anac.h"
#include "quadro/documentiquadro.h"
#include "quadro/fasi.h"
#include "quadro/formatofasi.h"
#include "quadro/rigacomando.h"
#include "quadro/stampaconfronto.h"

namespace {

[[noreturn]] void rotto() {
    std::abort();
}

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) rotto();
    return f.readAll();
}

void csvBenFormato(const QByteArray& b) {
    if (!b.startsWith("\xEF\xBB\xBF")) rotto();
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(b));
    if (utf8.hasError()) rotto();
}

// Every XML part of an Office Open XML package parses.
void pacchettoBenFormato(const QByteArray& b) {
    zip_error_t errore;
    zip_error_init(&errore);
    zip_source_t* sorgente = zip_source_buffer_create(b.constData(), zip_uint64_t(b.size()), 0,
                                                      &errore);
    if (!sorgente) rotto();
    zip_t* zip = zip_open_from_source(sorgente, ZIP_RDONLY | ZIP_CHECKCONS, &errore);
    if (!zip) rotto();
    const zip_int64_t n = zip_get_num_entries(zip, 0);
    if (n <= 0) rotto();
    for (zip_int64_t i = 0; i < n; ++i) {
        const QString nome = QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0));
        if (!nome.endsWith(".xml") && !nome.endsWith(".rels")) continue;
        zip_stat_t st;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &st) != 0) rotto();
        QByteArray parte(qsizetype(st.size), '\0');
        zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        if (!file || zip_fread(file, parte.data(), st.size) != zip_int64_t(st.size)) rotto();
        zip_fclose(file);
        QXmlStreamReader xml(parte);
        while (!xml.atEnd()) xml.readNext();
        if (xml.hasError()) rotto();
    }
    zip_close(zip);
}

void pdfBenFormato(const QByteArray& b) {
    if (!b.startsWith("%PDF-") || !b.trimmed().endsWith("%%EOF")) rotto();
}

void verifica(const QString& percorso) {
    const QByteArray b = contenuto(percorso);
    if (percorso.endsWith(".csv")) csvBenFormato(b);
    if (percorso.endsWith(".docx") || percorso.endsWith(".xlsx")) pacchettoBenFormato(b);
    if (percorso.endsWith(".pdf")) pdfBenFormato(b);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The PDF writer needs the fonts of a graphical application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace varimo::quadro;
    const QByteArray dati(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto letto = leggiFasi(dati);
    const auto* f = std::get_if<FileFasi>(&letto);
    if (!f) return 0;
    QTemporaryDir cartella;
    if (!cartella.isValid()) rotto();

    Valutazione calcolata;
    auto fase = quadroDellaFase(*f, int(f->fasi.size()) - 1, &calcolata);
    if (auto* q = std::get_if<FileQuadro>(&fase)) {
        QuadroCalcolato qc;
        qc.file = *q;
        qc.valutazione = calcolata;
        {
            const Esportatori formati = formatiEsportazione();
            for (auto it = formati.constBegin(); it != formati.constEnd(); ++it) {
                const QString percorso = cartella.filePath(QStringLiteral("quadro") + it.key());
                if (!it.value()(qc, percorso)) verifica(percorso);
            }
        }
    }
    // The data for ANAC: well-formed JSON whose standard amounts, read back
    // exactly from their text, make the phase's total when the data add up.
    auto anac = datiAnacFase(*f, int(f->fasi.size()) - 1);
    if (auto* d = std::get_if<DatiAnac>(&anac)) {
        const QByteArray json = jsonAnac(*d);
        QJsonParseError errore;
        QJsonDocument::fromJson(json, &errore);
        if (errore.error != QJsonParseError::NoError) rotto();
        const QString testo = QString::fromUtf8(json);
        const qsizetype fine = testo.indexOf(u'}');
        Centesimi somma = 0;
        static const QRegularExpression importo(
            QStringLiteral("\"\\w+\": (-?\\d+)\\.(\\d\\d)\\s*[,\\n]"));
        for (auto m = importo.globalMatch(testo.left(fine)); m.hasNext();) {
            const auto x = m.next();
            bool letto = false;
            const qint64 c = (x.captured(1) + x.captured(2)).toLongLong(&letto);
            if (!letto) rotto();
            somma += c;
        }
        if (d->tornano() && somma != d->totale) rotto();
    }
    auto c = calcolaConfronto(*f);
    if (auto* confronto = std::get_if<ConfrontoCalcolato>(&c)) {
        for (const QString& est : estensioniConfronto()) {
            const QString percorso = cartella.filePath(QStringLiteral("confronto") + est);
            if (!esportaConfronto(*confronto, percorso)) verifica(percorso);
        }
    }
    return 0;
}
