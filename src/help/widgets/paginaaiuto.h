#pragma once

#include <initializer_list>

class QPushButton;
class QWidget;

namespace varimo {

// The page the guides and the licence share, laid out on `finestra`: the
// heading, the text taking the height left, and the buttons side by side on
// the last line, as wide as each other; margins and gaps in characters and
// lines of the window's font.
void impaginaPaginaAiuto(QWidget* finestra, QWidget* testa, QWidget* testo,
                         std::initializer_list<QPushButton*> tasti);

}  // namespace varimo
