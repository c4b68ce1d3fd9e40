// Windows has no limit on the size of a process's files: the tests of a
// write that fails part-way are skipped there.

#include "support/figlio_limitato.h"

namespace varimo::test {

bool limiteFileDisponibile() {
    return false;
}

std::optional<QString> nelFiglioConLimite(long long, const std::function<QString()>&) {
    return std::nullopt;
}

}  // namespace varimo::test
