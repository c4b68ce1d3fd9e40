#include "shell/widgets/clsresize.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QVariant>
#include <cmath>

#include "shell/widgets/twips.h"

namespace varimo {

namespace {

// Keeps the window from repainting while its controls move one by one; the
// previous state comes back on every way out.
class BloccoDisegno {
  public:
    explicit BloccoDisegno(QWidget* w) : w_(w), prima_(w->updatesEnabled()) {
        w_->setUpdatesEnabled(false);
    }
    ~BloccoDisegno() {
        if (w_) w_->setUpdatesEnabled(prima_);
    }
    BloccoDisegno(const BloccoDisegno&) = delete;
    BloccoDisegno& operator=(const BloccoDisegno&) = delete;

  private:
    QPointer<QWidget> w_;
    bool prima_;
};

qint32 aTwip(const QWidget* form, int pixel) {
    return static_cast<qint32>(std::lround(pixel / pixelPerTwip(form)));
}

// Size of a control's font: points, or pixels (negative) for a font given in
// pixels.
double misuraCarattere(const QFont& f) {
    return f.pointSizeF() > 0 ? f.pointSizeF() : -static_cast<double>(f.pixelSize());
}

void scalaCarattere(QWidget* c, double misura, double fattore) {
    if (misura == 0) return;
    QFont f = c->font();
    if (misura > 0) {
        const double punti = misura * fattore;
        if (f.pointSizeF() == punti) return;
        f.setPointSizeF(punti);
    } else {
        const int pixel = std::max(1, static_cast<int>(std::lround(-misura * fattore)));
        if (f.pixelSize() == pixel) return;
        f.setPixelSize(pixel);
    }
    c->setFont(f);
}

// Whole twips, half to even (the default rounding mode).
qint32 arrotondaPari(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<qint32>(std::nearbyint(v));
}

// The letters of the directive, or all four when the tag asks for none.
QString direttiva(const QWidget* c) {
    QString tag = c->property("Tag").toString().toUpper();
    if (tag.isEmpty() || tag.at(0) != QLatin1Char('@')) tag = QStringLiteral("@L,T,W,H");
    return tag;
}

QWidget* areaControlli(QWidget* form) {
    if (auto* mw = qobject_cast<QMainWindow*>(form)) {
        if (QWidget* c = mw->centralWidget()) return c;
    }
    return form;
}

}  // namespace

clsResize::clsResize() = default;

clsResize::~clsResize() {
    layouts_.clear();
    form_ = nullptr;
}

QList<QWidget*> clsResize::controlli(QWidget* form) {
    QList<QWidget*> lista;
    if (!form) return lista;
    QWidget* area = areaControlli(form);
    for (QObject* o : area->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        // A QMainWindow without central widget: its bars are not controls.
        if (area == form && qobject_cast<QMainWindow*>(form)) continue;
        lista.append(w);
    }
    return lista;
}

QSizeF clsResize::dimensioneSchermo(QWidget* form) {
    const QScreen* s = form ? form->screen() : nullptr;
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return {};
    const double ppt = pixelPerTwip(form);
    return QSizeF(s->geometry().width() / ppt, s->geometry().height() / ppt);
}

QSizeF clsResize::dimensioneInterna(QWidget* form) {
    if (!form) return {};
    QWidget* area = areaControlli(form);
    if (area != form && !form->isVisible()) {
        // A hidden main window lays out its areas only when shown: do it now so
        // the central widget has the size the window will give it.
        if (QLayout* l = form->layout()) l->setGeometry(form->rect());
    }
    const double ppt = pixelPerTwip(form);
    return QSizeF(area->width() / ppt, area->height() / ppt);
}

QSizeF clsResize::schermo() const {
    return schermo_ ? schermo_() : dimensioneSchermo(form_);
}

QSizeF clsResize::interno() const {
    return interno_ ? interno_() : dimensioneInterna(form_);
}

void clsResize::CaptureLayout() {
    layouts_.clear();
    if (!form_) return;
    const QSizeF dentro = interno();
    designWidth_ = arrotondaPari(dentro.width());
    designHeight_ = arrotondaPari(dentro.height());
    const QList<QWidget*> lista = controlli(form_);
    layouts_.reserve(lista.size());
    for (QWidget* c : lista) {
        // The right and bottom edges are converted on their own, so that
        // controls that meet on screen meet in the recorded twips too.
        const QRect g = c->geometry();
        const qint32 sinistra = aTwip(form_, g.x());
        const qint32 alto = aTwip(form_, g.y());
        layouts_.append({c, sinistra, alto, aTwip(form_, g.x() + g.width()) - sinistra,
                         aTwip(form_, g.y() + g.height()) - alto, misuraCarattere(c->font())});
    }
    needsCapture_ = false;
}

void clsResize::SizeFormToScreen(quint8 percent) {
    if (!form_) return;
    if (needsCapture_) CaptureLayout();
    const QSizeF s = schermo();
    const double h = std::floor(percent / 100.0 * s.height());
    const double w = std::floor(percent / 100.0 * s.width());
    const double top = (s.height() - h) / 2;
    const double left = (s.width() - w) / 2;
    form_->move(twip(form_, left), twip(form_, top));
    form_->resize(twip(form_, w), twip(form_, h));
    ResizeControls();
}

void clsResize::ResizeControls() {
    if (!form_) return;
    if (controlli(form_).isEmpty()) return;
    if (form_->isMinimized()) return;
    if (needsCapture_) {
        CaptureLayout();
        return;
    }
    BloccoDisegno blocco(form_);
    const QSizeF dentro = interno();
    // A design size of 0 cannot be scaled from: such a side keeps factor 1.
    const double fy = designHeight_ != 0 ? dentro.height() / designHeight_ : 1.0;
    const double fx = designWidth_ != 0 ? dentro.width() / designWidth_ : 1.0;
    // Texts grow and shrink with the smaller of the two factors, so they stay
    // inside controls that grew at least as much; at the design size every
    // control gets its recorded font size back exactly.
    const double fc = std::min(fx, fy);
    const double ppt = pixelPerTwip(form_);
    auto pixel = [ppt](double t) { return static_cast<int>(std::lround(t * ppt)); };
    for (const ControlLayout& r : layouts_) {
        QWidget* c = r.control.data();
        if (!c) continue;
        const QString tag = direttiva(c);
        const QRect g = c->geometry();
        const bool l = tag.contains(QLatin1Char('L'));
        const bool t = tag.contains(QLatin1Char('T'));
        const bool w = tag.contains(QLatin1Char('W'));
        const bool h = tag.contains(QLatin1Char('H'));
        const int x = l ? pixel(r.Left * fx) : g.x();
        const int y = t ? pixel(r.Top * fy) : g.y();
        // A control scaled in place and size takes its right and bottom edges
        // from its own scaled twips, so neighbours that meet at the design size
        // meet at every size, without a gap or an overlap.
        const int larghezza =
            w ? (l ? pixel((r.Left + r.Width) * fx) - x : pixel(r.Width * fx)) : g.width();
        const int altezza =
            h ? (t ? pixel((r.Top + r.Height) * fy) - y : pixel(r.Height * fy)) : g.height();
        c->setGeometry(x, y, larghezza, altezza);
        if (std::isfinite(fc) && fc > 0) scalaCarattere(c, r.carattere, fc);
    }
}

}  // namespace varimo
