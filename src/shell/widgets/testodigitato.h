#pragma once

class QWidget;

namespace varimo {

// Control characters (a tab aside) that the user types or pastes into any
// editable text box of `finestra` are removed from the text before it reaches
// the window's state: the project file cannot hold them and the documents
// could not show them.
void togliControlliDigitati(QWidget* finestra);

}  // namespace varimo
