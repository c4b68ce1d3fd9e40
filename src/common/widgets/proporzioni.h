#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

class QBoxLayout;
class QFontMetrics;
class QGridLayout;
class QMainWindow;
class QWidget;

namespace varimo {

// Keeps the texts of a window in proportion to its size. The window is laid
// out with Qt layouts, which move and stretch the controls; this object
// scales their fonts. At the window's design size every control has the font
// it was built with; larger or smaller, every font is that one times the
// smaller of the two ratios between the area's size and its design size, so
// the texts grow and shrink with the controls that hold them, and back at the
// design size each control has its own font again, exactly.
//
// The area is the widget that holds the controls: the central widget of a
// main window, the window itself otherwise. It must have its layout and its
// controls their texts. Its minimum size becomes the layout's minimum with
// the design fonts, so a window never shrinks below what its texts need.
class Proporzioni final : public QObject {
    Q_OBJECT
  public:
    // Starts the scaling of `area`. The design size is the layout's preferred
    // size, widened or heightened to the proportion larghezza : altezza (when
    // both are given), and never smaller than `almeno`. The area takes that
    // size: a top-level area is resized to it, a central area's window takes
    // it with the height of its bars (portaAlDisegno).
    static Proporzioni* avvia(QWidget* area, int larghezza = 0, int altezza = 0, QSize almeno = {});
    // The object that scales `area`, if any.
    static Proporzioni* di(const QWidget* area);

    QSize disegno() const { return disegno_; }
    // The factor the fonts have now (1 at the design size).
    double fattore() const { return fattore_; }

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    Proporzioni(QWidget* area, QSize disegno);
    void applica();

    struct Carattere {
        QPointer<QWidget> controllo;
        double misura;  // points; pixels given as a negative number
    };
    QPointer<QWidget> area_;
    QSize disegno_;
    double fattore_ = 1.0;
    QList<Carattere> caratteri_;
};

// Gives a window the size at which its area has its design size: a main
// window adds the height its menu bar and command bar take, so its central
// area keeps the design size whatever the bars.
void portaAlDisegno(QWidget* finestra);

// Where a scaled window first appears: an eighth of the screen's available
// area in from its top left corner (or, given `sinistra`, that share of the
// screen's width from its left edge).
void collocaSulloSchermo(QWidget* finestra, double sinistra = 0.125);

// Gives a window of fixed size `larghezza` pixels of width and the height
// its layout needs at that width (wrapped texts included).
void fissaMisura(QWidget* finestra, int larghezza);

// Lengths measured on a font, for layouts: `caratteri` average characters
// wide, `righe` lines high.
int larghezzaCaratteri(const QFontMetrics& fm, double caratteri);
int altezzaRighe(const QFontMetrics& fm, double righe);

}  // namespace varimo
