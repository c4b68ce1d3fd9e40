#pragma once

namespace varimo {

// Number of framework rows (A..T without J and K): the rows of the
// calculation window, and the most the framework window shows.
constexpr int kVoci = 18;

}  // namespace varimo
