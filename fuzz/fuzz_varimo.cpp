// The .varimo readers on arbitrary bytes: versions 1 and 2, every phase
// computed (an award at its discount, the economies taking the difference),
// the comparison of the phases, and the save. Promises:
// - a file the reader takes is computed and compared without a fault;
// - what a save would write, the reader opens again, and saving what it
//   reads writes the same bytes.
#include <cstdint>
#include <cstdlib>
#include <variant>

#include "quadro/fasi.h"
#include "quadro/formatofasi.h"

namespace {

[[noreturn]] void rotto() {
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace varimo::quadro;
    const QByteArray dati(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto letto = leggiFasi(dati);
    // Read one phase at a time or parsed whole, a document gives the same
    // phases or the same message.
    const auto intero = leggiFasiIntero(dati);
    if (letto.index() != intero.index()) rotto();
    if (const auto* e = std::get_if<QString>(&letto); e && *e != std::get<QString>(intero))
        rotto();
    const auto* f = std::get_if<FileFasi>(&letto);
    if (!f) return 0;
    if (scriviFasi(*f) != scriviFasi(std::get<FileFasi>(intero))) rotto();
    if (f->fasi.isEmpty()) rotto();
    for (const Fase& fase : f->fasi) {
        (void)calcolaFase(fase);
        if (fase.ribasso) (void)aggiudica(fase.quadro, *fase.ribasso, fase.ribassaManodopera);
    }
    (void)confronta(*f);

    const auto salvato = fileDaSalvare(*f);
    const auto* byte = std::get_if<QByteArray>(&salvato);
    if (!byte) rotto();  // the input was read: its framework fits the limits
    auto riletto = leggiFasi(*byte);
    const auto* g = std::get_if<FileFasi>(&riletto);
    if (!g) rotto();
    if (scriviFasi(*g) != scriviFasi(*f)) rotto();
    return 0;
}
