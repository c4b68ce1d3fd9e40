#pragma once

#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QWidget>
#include <functional>

namespace varimo {

// Proportional scaler of a window.
//
// At the window's start it records the window's inner design size and the
// place and size of every control; it then sizes the window to a percentage of
// the screen and centres it; whenever the window is resized it moves and
// stretches every control in proportion, and scales the size of its font with
// the smaller of the two factors (a maximised window reads larger; back at its
// design size every control has its recorded font again).
//
// Usage, in the constructor of every scaled window (after its controls exist
// at their design places, with the window at its design size):
//
//     scaler_ = std::make_unique<clsResize>();
//     scaler_->setSourceForm(this);
//     scaler_->SizeFormToScreen(75);
//     resize(twip(this, 9600), twip(this, 6825));   // the window's own size
//
// and in the window:
//
//     void resizeEvent(QResizeEvent* e) override {
//         QMainWindow::resizeEvent(e);
//         if (scaler_) scaler_->ResizeControls();
//     }
//
// Destroying the instance (the window's unload) releases it.
//
// Controls: for a QMainWindow the direct child widgets of its central widget
// (the menu bar, tool bars and status bar live in the window's own areas and
// are not scaled); for any other window its direct child widgets. Top-level
// children (dialogs) are skipped. Order = creation order.
// Inner size: the central widget's size for a QMainWindow, the window's own
// size otherwise. All positions and sizes are kept in twips of the window
// (twips.h: the screen's resolution and the window's factor).
//
// Directive: a control may carry a dynamic property "Tag" (QString). A tag
// that begins with "@" lists by the letters L, T, W, H (anywhere after it, any
// case) which of Left, Top, Width, Height are scaled; any other tag, or none,
// scales all four.
class clsResize {
  public:
    // One record per control: the control and its design Left, Top, Width,
    // Height in twips.
    struct ControlLayout {
        QPointer<QWidget> control;
        qint32 Left = 0;
        qint32 Top = 0;
        qint32 Width = 0;
        qint32 Height = 0;
        // Size of the control's font when the layout was captured: points, or
        // pixels given as a negative number; 0 = none.
        double carattere = 0;
    };

    // Supplies a size in twips (width, height).
    using FornitoreDimensione = std::function<QSizeF()>;

    clsResize();
    ~clsResize();
    clsResize(const clsResize&) = delete;
    clsResize& operator=(const clsResize&) = delete;

    QWidget* SourceForm() const { return form_.data(); }
    // Stores the window. Nothing else happens.
    void setSourceForm(QWidget* form) { form_ = form; }

    // Records the current layout again.
    void ReInitialise() { CaptureLayout(); }
    // Records the layout if not yet done, sizes the window to percent % of the
    // screen, centres it and scales the controls.
    void SizeFormToScreen(quint8 percent);
    // Scales every control from its recorded place to the current inner size.
    // The first call on a fresh instance records instead of scaling. A
    // minimised window, or one without controls, is left untouched.
    void ResizeControls();

    qint32 designWidth() const { return designWidth_; }
    qint32 designHeight() const { return designHeight_; }
    const QList<ControlLayout>& layouts() const { return layouts_; }
    bool needsCapture() const { return needsCapture_; }

    // Replace the screen size (twips) and the window's inner size (twips) with
    // other sources; an empty function restores the real one.
    void impostaSchermo(FornitoreDimensione f) { schermo_ = std::move(f); }
    void impostaInterno(FornitoreDimensione f) { interno_ = std::move(f); }

    // The window's controls as the scaler sees them.
    static QList<QWidget*> controlli(QWidget* form);
    // The real sizes, in twips.
    static QSizeF dimensioneSchermo(QWidget* form);
    static QSizeF dimensioneInterna(QWidget* form);

  private:
    void CaptureLayout();
    QSizeF schermo() const;
    QSizeF interno() const;

    QPointer<QWidget> form_;
    qint32 designWidth_ = 0;
    qint32 designHeight_ = 0;
    QList<ControlLayout> layouts_;
    bool needsCapture_ = true;
    FornitoreDimensione schermo_;
    FornitoreDimensione interno_;
};

}  // namespace varimo
