#pragma once

namespace varimo {

// Tells the window registry how every window kind of the program is built, so
// that windows can be reached by name (the shell's switching and exit).
void registraFinestre();

}  // namespace varimo
