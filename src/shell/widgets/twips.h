#pragma once

#include <QRect>
#include <optional>

class QFont;
class QWidget;

namespace varimo {

// Window layouts are designed in twips (1/1440 inch) for a small UI font: its
// average character 75 twips wide and its lines 195 twips high (5 and 13
// pixels at 96 dpi). The fonts of a desktop are usually wider, so every
// window converts its twips with its own factor on top of the screen's
// logical resolution:
//
//     pixels = twips × dpi / 1440 × factor of the window
//
// The factor starts from the metrics of the window's font (fattoreCarattere)
// and grows further when a text of the window still does not fit its control
// (adattaAlTesto). Windows that are not given one use the factor of the
// application's font.
//
// How a window uses it (see docs/architecture.md, "Adding a window"):
//   1. impostaFattoreTwip(this, fattoreCarattere(font of its controls));
//   2. resize(twip(this, W), twip(this, H)) and collocaTwip(...) for each control;
//   3. adattaAlTesto(this) once every control has its text;
//   4. only then the proportional scaler (clsResize) and the window's own size.
constexpr double kCarattereDisegno = 75.0;  // twips: average character width
constexpr double kRigaDisegno = 195.0;      // twips: line height

// Pixels per twip of the screen alone (15 twips per pixel at 96 dpi).
double pixelPerTwip();
// How much wider or higher than the design font `f` is (at least 1).
double fattoreCarattere(const QFont& f);
// The factor of w's window: the one it was given, otherwise the one of the
// application's font.
double fattoreTwip(const QWidget* w);
void impostaFattoreTwip(QWidget* finestra, double fattore);
// Pixels per twip for the window of w (screen and factor).
double pixelPerTwip(const QWidget* w);

// Twips to pixels with the application's factor.
int twip(double t);
QRect twipRect(int left, int top, int width, int height);
// Twips to pixels with the factor of w's window.
int twip(const QWidget* w, double t);
QRect twipRect(const QWidget* w, int left, int top, int width, int height);

// Places a control at a rectangle given in twips, with its window's factor,
// and remembers that rectangle (ricollocaTwip places it again from it).
// Both edges are rounded from their own twips, so controls designed edge to
// edge stay edge to edge whatever the factor.
void collocaTwip(QWidget* c, int left, int top, int width, int height);
// The design rectangle of a control placed with collocaTwip.
std::optional<QRect> disegnoTwip(const QWidget* c);
// Places again every control of the window placed with collocaTwip, with the
// window's current factor.
void ricollocaTwip(QWidget* finestra);

// The smallest growth (1 or more) of the window that lets every text of its
// controls fit: labels, buttons, check boxes, group titles, line edits and
// the edit field of combo boxes with their current texts.
double crescitaPerIlTesto(QWidget* finestra);
// Grows the window's factor until every text of its controls fits, within
// the available screen area, and places the controls and the window's size
// again. Returns the factor the window ends with.
double adattaAlTesto(QWidget* finestra);

}  // namespace varimo
