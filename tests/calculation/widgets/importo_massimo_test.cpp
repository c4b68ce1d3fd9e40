// An amount beyond the largest exact one is marked in its box, like an
// unreadable one, while the sums still follow it.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "calculation/widgets/calcolo.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

TEST(ImportoMassimo, UnImportoFuoriIntervalloRestaSegnalatoFinoAllaCorrezione) {
    test::InterazioneFinta utente;
    Calcolo* w = Finestre::istanza().mostra<Calcolo>();
    auto* b = w->findChild<QLineEdit*>(QStringLiteral("costo_2"));
    auto* s = w->findChild<QLineEdit*>(QStringLiteral("costo_17"));
    auto* progetto = w->findChild<QLineEdit*>(QStringLiteral("progetto"));
    ASSERT_TRUE(b && s && progetto);
    const QColor sfondo = b->palette().color(QPalette::Base);
    const QString suggerimento = b->toolTip();

    w->stato().scegliRiferimento(17, 1);  // S refers to B
    w->findChild<QScrollBar*>(QStringLiteral("HScroll1_17"))->setValue(22);
    b->setFocus();
    QTest::keyClicks(b, QStringLiteral("10000000000000"));
    EXPECT_NE(b->palette().color(QPalette::Base), sfondo);
    EXPECT_TRUE(b->toolTip().contains(QStringLiteral("999.999.999.999,99")))
        << b->toolTip().toStdString();
    EXPECT_EQ(s->text(), QStringLiteral("2200000000000"));
    EXPECT_EQ(progetto->text(), QStringLiteral("12200000000000"));
    // S is beyond the range too: 22 % of B.
    EXPECT_NE(s->palette().color(QPalette::Base), sfondo);

    for (int i = 0; i < 2; ++i) QTest::keyClick(b, Qt::Key_Backspace);  // 1E11
    EXPECT_EQ(b->palette().color(QPalette::Base), sfondo);
    EXPECT_EQ(b->toolTip(), suggerimento);
    EXPECT_EQ(s->palette().color(QPalette::Base), sfondo);
    EXPECT_EQ(progetto->text(), QStringLiteral("122000000000"));

    Finestre::istanza().chiudi<Calcolo>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace varimo
