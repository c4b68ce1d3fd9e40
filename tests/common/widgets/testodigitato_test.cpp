// Control characters pasted into the text boxes of the two main windows never
// reach their state (and so never the project file or the documents), nor
// texts longer than the file holds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

#include "calculation/statocalcolo.h"
#include "calculation/widgets/calcolo.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "classico/widgets/economico.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

class TestoDigitato : public ::testing::Test {
  protected:
    void TearDown() override {
        Finestre::istanza().chiudi<Economico>();
        Finestre::istanza().chiudi<Calcolo>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Pastes `t` at the end of the box's text, as Ctrl+V does.
    static void incolla(QLineEdit* e, const QString& t) {
        QGuiApplication::clipboard()->setText(t);
        e->setFocus();
        e->end(false);
        e->paste();
    }

    test::InterazioneFinta utente;
};

TEST_F(TestoDigitato, CaratteriDiControlloIncollatiRimossiTabulazioniConservate) {
    Calcolo* c = Finestre::istanza().mostra<Calcolo>();
    Economico* e = Finestre::istanza().mostra<Economico>();
    e->stato().seguiProgetto(&c->progettoAperto());
    const QString sporco = QStringLiteral("Sc\u0000uo\u0007la\tnuova\u001B\u007F\u0085");
    const QString pulito = QStringLiteral("Scuola\tnuova");

    auto* tipo = c->findChild<QLineEdit*>(QStringLiteral("tipo_2"));
    ASSERT_NE(tipo, nullptr);
    tipo->clear();
    incolla(tipo, sporco);
    EXPECT_EQ(tipo->text(), pulito);
    EXPECT_EQ(c->stato().tipo(2), pulito);

    auto* costo = c->findChild<QLineEdit*>(QStringLiteral("costo_1"));
    incolla(costo, QStringLiteral("12\u000034,5"));
    EXPECT_EQ(c->stato().costo(1), QStringLiteral("1234,5"));
    EXPECT_EQ(c->stato().costo(4), QStringLiteral("1234,5"));

    auto* nome = e->findChild<QLineEdit*>(QStringLiteral("nomeprog"));
    ASSERT_NE(nome, nullptr);
    incolla(nome, sporco);
    EXPECT_EQ(c->progettoAperto().nome(), pulito);

    auto* valuta = e->findChild<QComboBox*>(QStringLiteral("valut"));
    ASSERT_NE(valuta, nullptr);
    valuta->lineEdit()->clear();
    incolla(valuta->lineEdit(), QStringLiteral("eu\u0001ro"));
    EXPECT_EQ(c->progettoAperto().valuta(), QStringLiteral("euro"));

    // The cursor stays behind the pasted text.
    tipo->setText(QStringLiteral("ab"));
    tipo->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("\u0001X\u0002"));
    tipo->paste();
    EXPECT_EQ(tipo->text(), QStringLiteral("aXb"));
    EXPECT_EQ(tipo->cursorPosition(), 2);

    // A box takes no more than the project file holds.
    tipo->clear();
    incolla(tipo, QString(1500, u'x'));
    EXPECT_EQ(c->stato().tipo(2), QString(1000, u'x'));
}

}  // namespace
}  // namespace varimo
