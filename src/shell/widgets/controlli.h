#pragma once

#include <QColor>
#include <QComboBox>
#include <QScrollBar>
#include <QString>
#include <functional>
#include <memory>

#include "calculation/cifrepercentuale.h"

class QLabel;
class QLineEdit;
class QMainWindow;
class QObject;
class QWidget;

namespace varimo {

// Layout shared by the two main windows, in twips: both lay their rows out on
// the same lines and share the window size.
namespace disegno {
constexpr int kLarghezza = 9600;  // window width
constexpr int kAltezza = 6825;    // window height
constexpr int kRiga = 240;        // height of a row's controls
constexpr int kTasto = 375;       // height of a command button

// Top of row (or shown row) k: four rows from 840, a gap of 360 that
// separates the fourth from the fifth, the rest from 1920.
constexpr int altoRiga(int k) {
    return k <= 4 ? 840 + kRiga * (k - 1) : 1920 + kRiga * (k - 5);
}
}  // namespace disegno

// Name of element i of a control array: "costo_3".
QString nomeControllo(const char* base, int i);

// Appearance helpers for the controls of the windows.
void sfondo(QWidget* w, const QColor& c);
void grassetto(QWidget* w);
void testoColorato(QWidget* w, const QColor& testo, bool inGrassetto);

// Shows a text that code has written into a box: nothing happens when the box
// already shows it; otherwise the box shows the beginning of the new text (a
// long label reads from its start). The cursor follows the user's typing only
// when the user types, which never comes through here.
void mostraTesto(QLineEdit* e, const QString& t);

// Marks an amount box whose text cannot be read as an amount, or is beyond
// the largest exact amount: red background and a tooltip that says why, until
// the text is corrected; then the box's own tooltip comes back.
void segnaImporto(QLineEdit* e, bool leggibile);

// Runs f whenever `area` changes size (the central area of a main window also
// changes when the menu bar or the command bar are added after it was built).
// The watcher belongs to `proprietario`.
void allaNuovaMisura(QWidget* area, QObject* proprietario, std::function<void()> f);

class clsResize;

// The central area of a main window, parent of its controls, in an 8-point
// font; the window converts its twips with the factor of that font.
QWidget* creaAreaCentrale(QMainWindow* finestra);

// A column heading of a main window: cyan, with its tooltip, on the headings'
// line (600 twips from the top).
QLabel* titoloColonna(QWidget* area, const QString& nome, const QString& testo,
                      const QString& suggerimento, int sinistra, int larghezza);

// Proportional scaling of a main window: fits the layout to the texts of the
// controls (adattaAlTesto, so they must already carry their texts), records
// the design layout, sizes the window to 75 % of the screen and then to its
// own design size. `riscala` runs whenever the central area changes size.
std::unique_ptr<clsResize> scalaFinestraPrincipale(QMainWindow* finestra,
                                                   std::function<void()> riscala);

// An editable list whose open list is as wide as its longest entry (within
// the screen), in the box's own font, and never shortens an entry.
class ElencoIntero : public QComboBox {
  public:
    explicit ElencoIntero(QWidget* parent = nullptr) : QComboBox(parent) {}
    void showPopup() override;
    // Width the open list needs for its longest entry.
    int larghezzaElenco() const;
};

// A horizontal scroll bar for a whole percentage that the keyboard drives as
// well as the mouse: Tab reaches it, the arrows move it by 1, Page Up and Page
// Down by its page step, Home and End to its ends, and digits typed one soon
// after the other set the value directly (2 then 2: 22). Every change is a
// change of value, as for a drag.
class BarraPercentuale : public QScrollBar {
  public:
    explicit BarraPercentuale(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    CifrePercentuale cifre_;
};

// Moves a window inside the available area of its screen when any part of it
// (its frame included) lies outside; a window that fits stays where it is.
void dentroLoSchermo(QWidget* finestra);

// Gives a main window the height its menu bar and command bar take on top of
// the design size, so that its central area keeps the design size and the
// controls their design places.
void areaCentraleADisegno(QMainWindow* finestra);

}  // namespace varimo
