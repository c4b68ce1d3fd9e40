#pragma once

#include <QString>

class QWidget;

namespace varimo {

class Calcolo;
class ComandiFile;

// Tells the window registry how every window kind of the program is built, so
// that windows can be reached by name (the shell's switching and exit), and
// gives the two main windows their menus, command bar and commands when they
// are built.
void registraFinestre();

// Shows the calculation window at once with the project file at that path
// opened, as the Open command applies it (the framework window's name and
// currency filled). A file that cannot be read gets Open's message and
// leaves the calculation window empty. True when the project was opened.
bool apriProgettoAllAvvio(const QString& percorso);

// The file commands of a calculation window (its one file dialog), created
// with the window.
ComandiFile& comandiFileDi(Calcolo* calcolo);

// Joins a main window, when it is built, to the other one: the calculation
// window's hand-off (Visualizza) fills and shows the framework window, and
// the framework window's rework (Rielabora) brings back the calculation
// window with a constrained step due. Any other window is left as it is.
void collegaPrincipali(QWidget* finestra);

// Background of a main window as 0xRRGGBB, and setting it.
unsigned coloreSfondo(const QWidget* finestra);
void impostaColoreSfondo(QWidget* finestra, unsigned colore);

}  // namespace varimo
