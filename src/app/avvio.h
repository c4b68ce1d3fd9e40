#pragma once

namespace varimo {

// Runs the whole program: application object, Italian translations of Qt's
// own texts, the real dialogs, then the start splash. Returns the exit status.
int avviaProgramma(int argc, char** argv);

// Shows the calculation window (creating it on first use). Run by the clicks
// on the splash.
void mostracalcolo();

// The exit confirmation: "Vuoi uscire da Varimo?"; on Yes closes every window
// in the program's order without saving and shows the farewell splash.
void esciprogramma();

}  // namespace varimo
