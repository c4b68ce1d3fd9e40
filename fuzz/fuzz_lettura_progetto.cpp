// Feeds arbitrary bytes to the project data file reader. Besides not
// crashing, hanging or leaking, the reader must keep two promises: a file it
// accepts can be written again, and what it writes reads back as the same
// project.
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "datafile/formato.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray dati(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto letto = varimo::leggiProgettoFile(dati);
    auto* progetto = std::get_if<varimo::ProgettoFile>(&letto);
    if (!progetto) {
        if (std::get<varimo::ErroreLettura>(letto).descrizione.isEmpty()) std::abort();
        return 0;
    }
    for (const auto& v : progetto->voci)
        if (v.perc < 0 || v.perc > 100) std::abort();

    const varimo::EsitoScrittura scritto = varimo::scriviProgettoFile(*progetto);
    // Texts read from a file hold no line breaks or control characters and
    // only Windows-1252 characters, unless the file was read as UTF-8 (after
    // a byte order mark, or valid UTF-8 that is not plain ASCII), whose
    // characters may not fit. The writer also refuses texts whose bytes alone
    // would be taken for UTF-8 ("ï»·" once the byte that made the file
    // Windows-1252 is gone).
    if (!scritto.riuscito()) {
        if (!dati.startsWith("\xEF\xBB\xBF") && !varimo::sembraUtf8(dati) &&
            !scritto.errore.contains(QStringLiteral("come un altro testo")))
            std::abort();
        return 0;
    }
    auto riletto = varimo::leggiProgettoFile(scritto.contenuto);
    auto* secondo = std::get_if<varimo::ProgettoFile>(&riletto);
    if (!secondo) std::abort();
    // Quotes come back as ” and bare numbers as texts; after one more
    // writing everything is stable.
    const varimo::EsitoScrittura ancora = varimo::scriviProgettoFile(*secondo);
    if (!ancora.riuscito() || ancora.contenuto != scritto.contenuto) std::abort();
    return 0;
}
