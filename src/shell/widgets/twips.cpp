#include "shell/widgets/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace varimo {

namespace {

constexpr const char* kProprietaFattore = "fattoreTwip";
constexpr const char* kProprietaDisegno = "disegnoTwip";

// Share of the available screen a window may take when it grows for its
// texts: the rest is left to the window frame, the menu bar and the command
// bar of the main windows.
constexpr double kQuotaLarghezza = 0.98;
constexpr double kQuotaAltezza = 0.86;

double rapporto(double richiesto, int attuale) {
    return attuale > 0 ? richiesto / attuale : 1.0;
}

// Growth a control needs so that `testo` fits beside the part of the control
// that does not grow with it (frame, margins, arrows): the control keeps
// `fisso` pixels of its present `attuale` for itself.
double crescita(double testo, double fisso, int attuale) {
    return rapporto(testo + fisso, attuale);
}

double crescitaEtichetta(QLabel* l) {
    if (l->text().isEmpty() || !l->pixmap().isNull()) return 1.0;
    if (l->wordWrap()) {
        // A wrapped text takes more lines as its box narrows; the box is
        // checked for its height at its present width.
        const int h = l->heightForWidth(l->width());
        return h > l->height() ? rapporto(h, l->height()) : 1.0;
    }
    // The size hint of a plain label is its text with margins, indent and frame.
    const QSize s = l->sizeHint();
    return std::max(rapporto(s.width(), l->width()), rapporto(s.height(), l->height()));
}

double crescitaPulsante(QPushButton* b) {
    if (b->text().isEmpty()) return 1.0;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.rect = b->rect();
    opt.text = b->text();
    if (b->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
    if (b->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
    // The room the style leaves for the label, with the style's margin around
    // the text (not the style's smallest button, which is wider than many
    // buttons of the design).
    const QRect r = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
    const int margine = b->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, b);
    const QSize t = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    return std::max(crescita(t.width() + margine, b->width() - r.width(), b->width()),
                    crescita(t.height() + 2, b->height() - r.height(), b->height()));
}

double crescitaCasella(QAbstractButton* b) {
    if (b->text().isEmpty()) return 1.0;
    const QSize s = b->sizeHint();
    return std::max(rapporto(s.width(), b->width()), rapporto(s.height(), b->height()));
}

double crescitaGruppo(QGroupBox* g) {
    if (g->title().isEmpty()) return 1.0;
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    if (g->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    opt.rect = g->rect();
    const QRect r =
        g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    const QSize t = g->fontMetrics().size(Qt::TextShowMnemonic, g->title());
    return crescita(t.width(), g->width() - r.width(), g->width());
}

double crescitaCasellaTesto(QLineEdit* e) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    // The line edit keeps 2 pixels either side of its text and 1 above and
    // below; the cursor after the last character takes 2 more.
    const int fissoL = e->width() - r.width() + m.left() + m.right() + 2 * 2 + 2;
    const int fissoA = e->height() - r.height() + m.top() + m.bottom() + 2 * 1;
    const QFontMetrics fm = e->fontMetrics();
    return std::max(crescita(fm.horizontalAdvance(e->text()), fissoL, e->width()),
                    crescita(fm.height(), fissoA, e->height()));
}

double crescitaElenco(QComboBox* c) {
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.rect = c->rect();
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    opt.currentText = c->currentText();
    const QRect r =
        c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
    const int fissoL = c->width() - r.width() + 2 * 2 + 2;
    const int fissoA = c->height() - r.height() + 2 * 1;
    const QFontMetrics fm = c->fontMetrics();
    return std::max(crescita(fm.horizontalAdvance(c->currentText()), fissoL, c->width()),
                    crescita(fm.height(), fissoA, c->height()));
}

double crescitaControllo(QWidget* c) {
    if (auto* l = qobject_cast<QLabel*>(c)) return crescitaEtichetta(l);
    if (auto* b = qobject_cast<QPushButton*>(c)) return crescitaPulsante(b);
    if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c))
        return crescitaCasella(static_cast<QAbstractButton*>(c));
    if (auto* g = qobject_cast<QGroupBox*>(c)) return crescitaGruppo(g);
    if (auto* e = qobject_cast<QLineEdit*>(c)) return crescitaCasellaTesto(e);
    if (auto* k = qobject_cast<QComboBox*>(c)) return crescitaElenco(k);
    return 1.0;
}

QList<QWidget*> controlliCollocati(QWidget* finestra) {
    QList<QWidget*> lista;
    for (QWidget* c : finestra->findChildren<QWidget*>()) {
        if (c->window() == finestra && disegnoTwip(c)) lista.append(c);
    }
    return lista;
}

QRect rettangolo(double left, double top, double width, double height, double ppt) {
    const int x = static_cast<int>(std::lround(left * ppt));
    const int y = static_cast<int>(std::lround(top * ppt));
    const int destra = static_cast<int>(std::lround((left + width) * ppt));
    const int basso = static_cast<int>(std::lround((top + height) * ppt));
    return QRect(x, y, destra - x, basso - y);
}

}  // namespace

double pixelPerTwip() {
    double dpi = 96.0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) dpi = s->logicalDotsPerInch();
    if (dpi <= 0) dpi = 96.0;
    return dpi / 1440.0;
}

double fattoreCarattere(const QFont& f) {
    const QFontMetricsF fm(f);
    const double ppt = pixelPerTwip();
    const double largo = fm.averageCharWidth() / ppt / kCarattereDisegno;
    const double alto = fm.height() / ppt / kRigaDisegno;
    const double fattore = std::max({1.0, largo, alto});
    return std::isfinite(fattore) ? fattore : 1.0;
}

double fattoreTwip(const QWidget* w) {
    if (w) {
        const QVariant v = w->window()->property(kProprietaFattore);
        bool ok = false;
        const double f = v.toDouble(&ok);
        if (ok && f > 0) return f;
    }
    return fattoreCarattere(QApplication::font());
}

void impostaFattoreTwip(QWidget* finestra, double fattore) {
    finestra->setProperty(kProprietaFattore, fattore);
}

double pixelPerTwip(const QWidget* w) {
    return pixelPerTwip() * fattoreTwip(w);
}

int twip(double t) {
    return static_cast<int>(std::lround(t * pixelPerTwip(nullptr)));
}

QRect twipRect(int left, int top, int width, int height) {
    return rettangolo(left, top, width, height, pixelPerTwip(nullptr));
}

int twip(const QWidget* w, double t) {
    return static_cast<int>(std::lround(t * pixelPerTwip(w)));
}

QRect twipRect(const QWidget* w, int left, int top, int width, int height) {
    return rettangolo(left, top, width, height, pixelPerTwip(w));
}

void collocaTwip(QWidget* c, int left, int top, int width, int height) {
    c->setProperty(kProprietaDisegno, QRect(left, top, width, height));
    c->setGeometry(twipRect(c, left, top, width, height));
}

std::optional<QRect> disegnoTwip(const QWidget* c) {
    const QVariant v = c->property(kProprietaDisegno);
    if (!v.isValid()) return std::nullopt;
    return v.toRect();
}

void ricollocaTwip(QWidget* finestra) {
    for (QWidget* c : controlliCollocati(finestra)) {
        const QRect d = *disegnoTwip(c);
        c->setGeometry(twipRect(c, d.x(), d.y(), d.width(), d.height()));
    }
}

double crescitaPerIlTesto(QWidget* finestra) {
    double k = 1.0;
    for (QWidget* c : controlliCollocati(finestra)) k = std::max(k, crescitaControllo(c));
    return k;
}

double adattaAlTesto(QWidget* finestra) {
    const QScreen* schermo = finestra->screen();
    if (!schermo) schermo = QGuiApplication::primaryScreen();
    // A few rounds: the sizes round to whole pixels and wrapped texts change
    // with the width.
    for (int giro = 0; giro < 6; ++giro) {
        double k = crescitaPerIlTesto(finestra);
        if (k <= 1.0) break;
        if (schermo && finestra->width() > 0 && finestra->height() > 0) {
            const QRect area = schermo->availableGeometry();
            const double massimo = std::min(area.width() * kQuotaLarghezza / finestra->width(),
                                            area.height() * kQuotaAltezza / finestra->height());
            if (massimo <= 1.0) break;
            k = std::min(k, massimo);
        }
        // A little more than the exact growth, so that rounding to whole
        // pixels does not take it back.
        k *= 1.002;
        impostaFattoreTwip(finestra, fattoreTwip(finestra) * k);
        finestra->resize(static_cast<int>(std::lround(finestra->width() * k)),
                         static_cast<int>(std::lround(finestra->height() * k)));
        ricollocaTwip(finestra);
    }
    return fattoreTwip(finestra);
}

}  // namespace varimo
