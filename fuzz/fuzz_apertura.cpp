// The whole Open path on arbitrary bytes: the file is read and checked, a
// sound project is applied to a calculation state without a display (through
// the same change handlers and recalculation as the user's edits), the state
// is saved and the saved file read again. Promises:
// - the saved file reads back as exactly the project the state gave;
// - name, currency, labels, percentages and reference rows survive the trip;
// - saving is refused only for texts the file cannot hold (a UTF-8 file, or
//   bytes that would read back as UTF-8).
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "common/testiprogramma.h"
#include "datafile/formato.h"

namespace {

[[noreturn]] void rotto() {
    std::abort();
}

int riferimento(const QVariant& v) {
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace varimo;
    const QByteArray dati(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto letto = leggiProgettoFile(dati);
    const auto* file = std::get_if<ProgettoFile>(&letto);
    if (!file) return 0;

    Progetto progetto;
    progetto.avvia();
    progetto.apri(QString(), *file);

    const ProgettoFile salvato = progetto.comeFile();
    if (salvato.nomeprogetto != file->nomeprogetto || salvato.valuta != file->valuta) rotto();
    for (int i = 0; i < numeroVoci; ++i) {
        const VoceFile& a = file->voci[i];
        const VoceFile& b = salvato.voci[i];
        if (a.tipo != b.tipo || a.perc != b.perc) rotto();
        if (riferimento(a.vocerif) != riferimento(b.vocerif)) rotto();
    }

    const EsitoScrittura scritto = scriviProgettoFile(salvato);
    if (!scritto.riuscito()) {
        if (!dati.startsWith("\xEF\xBB\xBF") && !sembraUtf8(dati) &&
            !scritto.errore.contains(QStringLiteral("come un altro testo")))
            rotto();
        return 0;
    }
    auto riletto = leggiProgettoFile(scritto.contenuto);
    const auto* secondo = std::get_if<ProgettoFile>(&riletto);
    if (!secondo) rotto();
    // Texts come back as texts; bare numbers as the program wrote them.
    const EsitoScrittura ancora = scriviProgettoFile(*secondo);
    if (!ancora.riuscito() || ancora.contenuto != scritto.contenuto) rotto();
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}
