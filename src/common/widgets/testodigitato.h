#pragma once

class QWidget;

namespace varimo {

// The text boxes of `finestra` take what the project file can hold: control
// characters (a tab aside) that the user types or pastes are removed before
// the text reaches the window's state, and a box takes at most
// lunghezzaMassimaCampo characters. A box that loses the focus forgets its
// own list of keystrokes to undo (the window's undo history holds the edits),
// so a long session does not make it grow without end.
void limitaTestiDigitati(QWidget* finestra);

}  // namespace varimo
