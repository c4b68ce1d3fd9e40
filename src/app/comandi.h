#pragma once

#include <QString>
#include <functional>

class QMainWindow;
class QToolBar;
class QMenuBar;
class QUndoStack;

namespace varimo {

// The operations of one main window that its menus, command bar and buttons
// reach. Each is the window's one implementation of that operation; an empty
// function leaves the entry without effect.
struct AzioniFinestra {
    std::function<void()> apri;
    std::function<void()> salva;
    std::function<void()> salvanome;
    std::function<void()> eliminare;
    std::function<void()> stampa;
    std::function<void()> esportapdf;
    std::function<void()> stampasezioni;
    std::function<void()> esportasezionipdf;
    std::function<void()> colorare;
    std::function<void()> controlla;
    std::function<void()> cancella;
    // The opening of a file of the recent projects.
    std::function<void(const QString&)> apriRecente;
    // Only the windows that have it get the item "Voci secondo il D.Lgs. 36/2023".
    std::function<void()> vocicodice;
    // Only the calculation window gets "Converti in quadro".
    std::function<void()> convertiquadro;
};

// Which of the two main windows: 1 the calculation window, 2 the framework
// window (the numbers of the right-hand window counter).
enum class Principale { Calcolo = 1, Quadro = 2 };

// Gives a main window the menu bar, the 19-position command bar Toolbar1 and
// wires its command buttons esco, Command6 and cmdStampa (found by name).
// Both main windows get identical menus and bars; only the checked entry, the
// toggle button and the window counter differ.
void installaComandi(QMainWindow* finestra, Principale quale, AzioniFinestra azioni);

// Joins "&Annulla" and "&Ripeti" of a main window to a project's undo
// history: the entries are made by the history (QUndoStack::createUndoAction
// and createRedoAction), name the step they act on and are disabled when there
// is none; they keep their names and keys. Without a history both are
// disabled.
void impostaStoria(QMainWindow* finestra, QUndoStack* storia);

// Fills "Progetti &recenti" of a main window: one entry per path (recente_1
// ... recente_8), showing the file's name with the full path as tooltip.
void impostaRecenti(QMainWindow* finestra, const QStringList& percorsi);

// Window switching, the same for the menu, the shortcut keys and the bar.
void apriFinestraCalcolo(Principale da);
void apriFinestraQuadro(Principale da);
void apriGuidaFinestra(Principale da);

}  // namespace varimo
