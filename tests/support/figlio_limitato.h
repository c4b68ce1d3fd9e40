#pragma once

// Runs a piece of the program in a child process whose files cannot grow
// beyond a few bytes, so that a write fails part-way as on a full disk.

#include <QString>

#include <functional>
#include <optional>

namespace varimo::test {

// Whether this system can limit the size of a child's files (Windows cannot).
bool limiteFileDisponibile();

// What f returned in the child, or nothing when the child did not end
// normally (or the system cannot limit its files).
std::optional<QString> nelFiglioConLimite(long long limite, const std::function<QString()>& f);

}  // namespace varimo::test
