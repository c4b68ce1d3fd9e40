#include "shell/widgets/clsresize.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <cmath>

#include "shell/widgets/twips.h"

namespace varimo {
namespace {

// The windows of these tests convert at 15 twips to the pixel at 96 dpi (a
// factor of 1), so the scaler's arithmetic on twips is exact.
int twip(double t) {
    return static_cast<int>(std::lround(t * pixelPerTwip()));
}
QRect twipRect(int left, int top, int width, int height) {
    const double p = pixelPerTwip();
    const int x = static_cast<int>(std::lround(left * p));
    const int y = static_cast<int>(std::lround(top * p));
    return QRect(x, y, static_cast<int>(std::lround((left + width) * p)) - x,
                 static_cast<int>(std::lround((top + height) * p)) - y);
}

// A plain window 6000 x 3000 twips with three controls at known places.
struct Finestra {
    QWidget form;
    QLabel* a;
    QLineEdit* b;
    QPushButton* c;

    Finestra() {
        // 15 twips to the pixel at 96 dpi: the scaler's arithmetic is exact.
        impostaFattoreTwip(&form, 1.0);
        form.resize(twip(6000), twip(3000));
        a = new QLabel(QStringLiteral("a"), &form);
        b = new QLineEdit(&form);
        c = new QPushButton(QStringLiteral("c"), &form);
        collocaTwip(a, 120, 240, 1200, 240);
        collocaTwip(b, 1500, 600, 2400, 300);
        collocaTwip(c, 4500, 2400, 1335, 375);
    }
};

TEST(ClsResize, FreshInstanceHasNothingRecorded) {
    clsResize r;
    EXPECT_TRUE(r.needsCapture());
    EXPECT_EQ(r.SourceForm(), nullptr);
    EXPECT_EQ(r.designWidth(), 0);
    EXPECT_EQ(r.designHeight(), 0);
    // Without a window every operation is a no-op.
    r.ResizeControls();
    r.SizeFormToScreen(75);
    EXPECT_TRUE(r.needsCapture());
}

TEST(ClsResize, FirstResizeRecordsInsteadOfScaling) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    EXPECT_TRUE(r.needsCapture());  // setting the window records nothing yet
    f.form.resize(twip(12000), twip(3000));
    r.ResizeControls();
    EXPECT_FALSE(r.needsCapture());
    EXPECT_EQ(r.designWidth(), 12000);
    EXPECT_EQ(r.designHeight(), 3000);
    ASSERT_EQ(r.layouts().size(), 3);
    EXPECT_EQ(r.layouts()[1].control, f.b);
    EXPECT_EQ(r.layouts()[1].Left, 1500);
    EXPECT_EQ(r.layouts()[1].Top, 600);
    EXPECT_EQ(r.layouts()[1].Width, 2400);
    EXPECT_EQ(r.layouts()[1].Height, 300);
    EXPECT_EQ(f.b->geometry(), twipRect(1500, 600, 2400, 300));  // not moved
}

TEST(ClsResize, ScalesFromRecordedValues) {
    struct Caso {
        int larghezza, altezza;
        QRect attesoB;
    };
    const Caso casi[] = {
        {6000, 3000, QRect(1500, 600, 2400, 300)},   // design size: unchanged
        {12000, 3000, QRect(3000, 600, 4800, 300)},  // double width: Left, Width only
        {6000, 6000, QRect(1500, 1200, 2400, 600)},  // double height: Top, Height only
        {3000, 1500, QRect(750, 300, 1200, 150)},    // half of both
    };
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();  // records
    for (const Caso& c : casi) {
        SCOPED_TRACE(testing::Message() << c.larghezza << "x" << c.altezza);
        f.form.resize(twip(c.larghezza), twip(c.altezza));
        r.ResizeControls();
        EXPECT_EQ(f.b->geometry(),
                  twipRect(c.attesoB.x(), c.attesoB.y(), c.attesoB.width(), c.attesoB.height()));
    }
}

TEST(ClsResize, RepeatedResizingAccumulatesNoError) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();
    for (int w : {6105, 7777, 4321, 9999, 5003}) {
        f.form.resize(twip(w), twip(w / 2 + 7));
        r.ResizeControls();
    }
    f.form.resize(twip(6000), twip(3000));
    r.ResizeControls();
    EXPECT_EQ(f.a->geometry(), twipRect(120, 240, 1200, 240));
    EXPECT_EQ(f.b->geometry(), twipRect(1500, 600, 2400, 300));
    EXPECT_EQ(f.c->geometry(), twipRect(4500, 2400, 1335, 375));
}

TEST(ClsResize, TagSelectsWhatIsScaled) {
    struct Caso {
        const char* tag;
        QRect atteso;  // design (1500, 600, 2400, 300) at double width and height
    };
    const Caso casi[] = {
        {"", QRect(3000, 1200, 4800, 600)},
        {"@LT", QRect(3000, 1200, 2400, 300)},
        {"@lt", QRect(3000, 1200, 2400, 300)},
        {"@W,H", QRect(1500, 600, 4800, 600)},
        {"@", QRect(1500, 600, 2400, 300)},
        {"LT", QRect(3000, 1200, 4800, 600)},  // not a directive: scaled in full
        {"qualsiasi", QRect(3000, 1200, 4800, 600)},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.tag);
        Finestra f;
        f.b->setProperty("Tag", QString::fromLatin1(c.tag));
        clsResize r;
        r.setSourceForm(&f.form);
        r.ResizeControls();
        f.form.resize(twip(12000), twip(6000));
        r.ResizeControls();
        EXPECT_EQ(f.b->geometry(),
                  twipRect(c.atteso.x(), c.atteso.y(), c.atteso.width(), c.atteso.height()));
        EXPECT_EQ(f.a->geometry(), twipRect(240, 480, 2400, 480));  // untagged neighbour
    }
}

TEST(ClsResize, MinimisedWindowIsLeftAloneAndRestoredLater) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();
    f.form.setWindowState(Qt::WindowMinimized);
    f.form.resize(twip(12000), twip(6000));
    r.ResizeControls();
    EXPECT_EQ(f.b->geometry(), twipRect(1500, 600, 2400, 300));
    f.form.setWindowState(Qt::WindowNoState);
    r.ResizeControls();
    EXPECT_EQ(f.b->geometry(), twipRect(3000, 1200, 4800, 600));
}

TEST(ClsResize, SizeFormToScreenCentresAtPercentOfScreen) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.impostaSchermo([] { return QSizeF(15360, 11520); });
    r.SizeFormToScreen(75);
    // Recorded at the design size, before the window changed.
    EXPECT_EQ(r.designWidth(), 6000);
    EXPECT_EQ(r.designHeight(), 3000);
    EXPECT_EQ(f.form.pos(), QPoint(twip(1920), twip(1440)));
    EXPECT_EQ(f.form.size(), QSize(twip(11520), twip(8640)));
    // And the controls follow the new size at once.
    EXPECT_EQ(f.b->geometry(), twipRect(2880, 1728, 4608, 864));
}

TEST(ClsResize, SizeFormToScreenRoundsDown) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.impostaSchermo([] { return QSizeF(1000, 999); });
    r.SizeFormToScreen(33);
    // 330 x floor(329.67) = 329; halves of the rest: 335, 335
    EXPECT_EQ(f.form.size(), QSize(twip(330), twip(329)));
    EXPECT_EQ(f.form.pos(), QPoint(twip(335), twip(335)));
}

TEST(ClsResize, ZeroDesignSizeNeverDivides) {
    Finestra f;
    QSizeF dentro(0, 0);
    clsResize r;
    r.setSourceForm(&f.form);
    r.impostaInterno([&] { return dentro; });
    r.ResizeControls();  // records a design size of 0 x 0
    EXPECT_EQ(r.designWidth(), 0);
    dentro = QSizeF(6000, 3000);
    r.ResizeControls();
    EXPECT_EQ(f.b->geometry(), twipRect(1500, 600, 2400, 300));
    // Only the zero side is held: the other still scales.
    dentro = QSizeF(0, 6000);
    r.ReInitialise();
    EXPECT_EQ(r.designHeight(), 6000);
    dentro = QSizeF(9000, 3000);
    r.ResizeControls();
    EXPECT_EQ(f.b->geometry(), twipRect(1500, 300, 2400, 150));
}

TEST(ClsResize, DrawingLockIsReleased) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();
    f.form.resize(twip(7000), twip(3000));
    r.ResizeControls();
    EXPECT_TRUE(f.form.updatesEnabled());
    // A window whose drawing was already off keeps it off.
    f.form.setUpdatesEnabled(false);
    r.ResizeControls();
    EXPECT_FALSE(f.form.updatesEnabled());
}

TEST(ClsResize, WindowWithoutControlsIsUntouched) {
    QWidget vuota;
    vuota.resize(100, 100);
    clsResize r;
    r.setSourceForm(&vuota);
    r.ResizeControls();
    EXPECT_TRUE(r.needsCapture());
    EXPECT_TRUE(r.layouts().isEmpty());
}

TEST(ClsResize, ControlGoneAfterCaptureIsSkipped) {
    Finestra f;
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();
    delete f.b;
    f.form.resize(twip(12000), twip(3000));
    r.ResizeControls();
    EXPECT_EQ(f.c->geometry(), twipRect(9000, 2400, 2670, 375));
}

TEST(ClsResize, MainWindowScalesCentralAreaOnly) {
    QMainWindow mw;
    impostaFattoreTwip(&mw, 1.0);
    mw.setMenuBar(new QMenuBar(&mw));
    mw.menuBar()->addMenu(QStringLiteral("&File"));
    mw.addToolBar(new QToolBar(&mw));
    auto* centro = new QWidget(&mw);
    mw.setCentralWidget(centro);
    auto* e = new QLineEdit(centro);
    auto* p = new QPushButton(centro);
    collocaTwip(e, 300, 300, 3000, 300);
    collocaTwip(p, 3600, 300, 1200, 300);
    mw.resize(twip(6000), twip(4000));
    clsResize r;
    r.setSourceForm(&mw);
    r.ResizeControls();
    ASSERT_EQ(r.layouts().size(), 2);
    EXPECT_EQ(r.layouts()[0].control, e);
    EXPECT_EQ(r.layouts()[1].control, p);
    // Inner size: the central area, below the menu and tool bars.
    EXPECT_EQ(r.designWidth(), 6000);
    EXPECT_LT(r.designHeight(), 4000);
    EXPECT_EQ(r.designHeight(), qRound(centro->height() / pixelPerTwip()));
    mw.resize(twip(12000), twip(4000));
    r.ResizeControls();
    EXPECT_EQ(e->geometry(), twipRect(600, 300, 6000, 300));
}

// Texts follow the smaller of the two factors, keep their other attributes,
// and come back exactly at the design size; fonts given in pixels too.
TEST(ClsResize, FontsFollowTheSmallerFactorAndComeBackExactly) {
    Finestra f;
    QFont g = f.c->font();
    g.setBold(true);
    f.c->setFont(g);
    QFont px = f.a->font();
    px.setPixelSize(20);
    f.a->setFont(px);
    const QFont a0 = f.a->font(), b0 = f.b->font(), c0 = f.c->font();
    clsResize r;
    r.setSourceForm(&f.form);
    r.ResizeControls();  // records

    const struct {
        int larghezza, altezza;
        double fattore;
    } casi[] = {{12000, 4500, 1.5}, {9000, 6000, 1.5}, {3000, 6000, 0.5}, {6000, 3000, 1.0}};
    for (const auto& k : casi) {
        f.form.resize(twip(k.larghezza), twip(k.altezza));
        r.ResizeControls();
        EXPECT_DOUBLE_EQ(f.b->font().pointSizeF(), b0.pointSizeF() * k.fattore) << k.larghezza;
        EXPECT_DOUBLE_EQ(f.c->font().pointSizeF(), c0.pointSizeF() * k.fattore) << k.larghezza;
        EXPECT_TRUE(f.c->font().bold());
        EXPECT_EQ(f.a->font().pixelSize(), static_cast<int>(std::lround(20 * k.fattore)));
    }
    // Back at the design size after a round of sizes: the recorded fonts.
    EXPECT_EQ(f.a->font(), a0);
    EXPECT_EQ(f.b->font(), b0);
    EXPECT_EQ(f.c->font(), c0);
}

// Controls designed edge to edge stay edge to edge at any size: each edge is
// rounded from its own scaled twips.
TEST(ClsResize, NeighboursMeetAtEverySize) {
    QWidget form;
    impostaFattoreTwip(&form, 1.0);
    form.resize(twip(9600), twip(3000));
    QList<QWidget*> fila;
    const int sinistre[] = {120, 360, 3600, 6000, 6240, 6720};
    for (int i = 0; i + 1 < 6; ++i) {
        auto* w = new QWidget(&form);
        collocaTwip(w, sinistre[i], 840, sinistre[i + 1] - sinistre[i], 240);
        fila << w;
    }
    clsResize r;
    r.setSourceForm(&form);
    r.ResizeControls();
    for (int larghezza = 9600; larghezza <= 21000; larghezza += 137) {
        form.resize(twip(larghezza), twip(3000 + larghezza / 7));
        r.ResizeControls();
        for (int i = 0; i + 1 < fila.size(); ++i)
            ASSERT_EQ(fila[i]->geometry().right() + 1, fila[i + 1]->geometry().x()) << larghezza;
    }
}

}  // namespace
}  // namespace varimo
