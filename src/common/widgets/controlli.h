#pragma once

#include <QColor>
#include <QComboBox>
#include <QScrollBar>
#include <QString>
#include <initializer_list>
#include <span>

#include "common/cifrepercentuale.h"

class QFontMetrics;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QWidget;

namespace varimo {

// Layout shared by the two main windows: both lay their rows out on the same
// lines, in columns measured in average characters of their 8-point font,
// and keep the same proportion of width to height.
namespace disegno {
constexpr int kProporzioneLarghezza = 128;
constexpr int kProporzioneAltezza = 91;
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

// The central area of a main window, parent of its controls, in an 8-point
// font, with a grid layout without spacing (neighbours meet edge to edge) and
// narrow margins.
QGridLayout* creaAreaCentrale(QMainWindow* finestra);

// Makes a control fill the cell a layout gives it, in both directions: its
// column and row decide its size, not its own preferred size.
void riempieCella(QWidget* c);

// A control placed in a grid's cell (or cells), filling it.
void poniInCella(QGridLayout* griglia, QWidget* c, int riga, int colonna, int righe = 1,
                 int colonne = 1);

// The proportions of a window's grid, in the window's font: each column at
// least its width in average characters and sharing the width left in
// proportion to it; rows 0 to `tasti` sharing the height left, the gaps
// (half a line high) half as much as a row, the buttons' row `tasti` one and
// a half times as much.
void proporzionaGriglia(QGridLayout* griglia, const QFontMetrics& fm,
                        std::span<const double> larghezze, std::initializer_list<int> spazi,
                        int tasti);

// A column heading of a main window: cyan, with its tooltip; it keeps the
// room its text needs.
QLabel* titoloColonna(QWidget* area, const QString& nome, const QString& testo,
                      const QString& suggerimento);

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

}  // namespace varimo
