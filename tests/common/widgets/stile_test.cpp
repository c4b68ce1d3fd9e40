// The program's style copies the frame of a text box from a picture drawn
// once; the boxes must look as Fusion draws them.
#include "common/widgets/stile.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cstdlib>
#include <memory>

using varimo::StileVarimo;

namespace {

QImage dipingi(const QStyle& stile, const QStyleOptionFrame& opzione, const QColor& fondo) {
    QImage img(opzione.rect.adjusted(-9, -7, 11, 13).size() + QSize(20, 20),
               QImage::Format_ARGB32_Premultiplied);
    img.fill(fondo);
    QPainter p(&img);
    stile.drawPrimitive(QStyle::PE_PanelLineEdit, &opzione, &p);
    return img;
}

// How much the two pictures differ at most in one channel of one pixel.
int differenza(const QImage& a, const QImage& b) {
    int massima = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            massima =
                std::max({massima, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return massima;
}

}  // namespace

TEST(Stile, TheCopiedFrameLooksAsFusionDrawsIt) {
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    ASSERT_TRUE(fusion);
    StileVarimo stile(QStyleFactory::create(QStringLiteral("fusion")));
    QPalette colorata = fusion->standardPalette();
    colorata.setColor(QPalette::Base, Qt::yellow);
    colorata.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    colorata.setColor(QPalette::Highlight, Qt::red);
    for (const QRect& r : {QRect(9, 7, 161, 16), QRect(10, 8, 80, 23), QRect(9, 7, 5, 4)}) {
        for (bool fuoco : {false, true}) {
            for (const QPalette& pal : {fusion->standardPalette(), colorata}) {
                QStyleOptionFrame o;
                o.rect = r;
                o.palette = pal;
                o.lineWidth = 1;
                o.state = QStyle::State_Enabled | QStyle::State_Sunken;
                if (fuoco) o.state |= QStyle::State_HasFocus;
                const QColor fondo = pal.window().color();
                SCOPED_TRACE(testing::Message()
                             << r.width() << "x" << r.height() << " fuoco " << fuoco << " "
                             << pal.base().color().name().toStdString());
                // Drawn the first time, then copied: the same picture, which
                // differs from Fusion's only in the rounding of blended edges.
                const QImage prima = dipingi(stile, o, fondo);
                EXPECT_EQ(dipingi(stile, o, fondo), prima);
                EXPECT_LE(differenza(prima, dipingi(*fusion, o, fondo)), 2);
                o.rect.translate(31, 3);
                EXPECT_LE(differenza(dipingi(stile, o, fondo), dipingi(*fusion, o, fondo)), 2);
            }
        }
    }
    // A painter that scales gets Fusion's own drawing.
    QStyleOptionFrame o;
    o.rect = QRect(3, 3, 40, 16);
    o.palette = fusion->standardPalette();
    o.lineWidth = 1;
    QImage a(120, 60, QImage::Format_ARGB32_Premultiplied), b = a;
    a.fill(Qt::white);
    b.fill(Qt::white);
    QPainter pa(&a), pb(&b);
    pa.scale(2.5, 2.5);
    pb.scale(2.5, 2.5);
    stile.drawPrimitive(QStyle::PE_PanelLineEdit, &o, &pa);
    fusion->drawPrimitive(QStyle::PE_PanelLineEdit, &o, &pb);
    pa.end();
    pb.end();
    EXPECT_EQ(a, b);
}

// A style chosen at start (-style, QT_STYLE_OVERRIDE) stays the one shown.
TEST(Stile, StaysOverTheApplicationsStyle) {
    QApplication::setStyle(QStringLiteral("windows"));
    varimo::installaStile();
    const auto* stile = qobject_cast<const QProxyStyle*>(QApplication::style());
    ASSERT_TRUE(stile);
    EXPECT_EQ(stile->baseStyle()->name().toLower(), QStringLiteral("windows"));
}
