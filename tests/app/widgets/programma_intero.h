#pragma once

// The whole program as the user meets it, offscreen: every window built by the
// registry (so the main windows carry their menus, command bar and commands),
// a silent splash, a private program folder with its own tips file, a private
// temporary folder for the printed documents (which are recorded instead of
// being opened), Italian number formats, and a scripted user answering the
// messages and dialogs.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <ostream>

#include "app/registro_finestre.h"
#include "app/saluto.h"
#include "calculation/widgets/calcolo.h"
#include "common/percorsi.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "classico/widgets/economico.h"
#include "reports/word.h"
#include "support/interazione_finta.h"

// Texts read in the failure reports.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace varimo::test {

// The three tips of the private tips file, in file order.
inline const QStringList kSuggerimenti = {
    QStringLiteral("Il totale vincolato si digita in basso."),
    QStringLiteral("La finestra del quadro mostra solo le voci con un importo."),
    QStringLiteral("Con Rielabora si torna al calcolo."),
};

class ProgrammaIntero : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(cartella.isValid());
        ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("programma")));
        ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("documenti")));
        ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("progetti")));
        QFile tips(cartellaProgrammaProva() + QStringLiteral("/VarimoSuggerimenti.TXT"));
        ASSERT_TRUE(tips.open(QIODevice::WriteOnly));
        tips.write(kSuggerimenti.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        tips.close();

        localePrecedente = QLocale();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        tmpPrecedente = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(cartella.path() + QStringLiteral("/documenti")));
        impostaCartellaProgramma(cartellaProgrammaProva());
        qputenv("VARIMO_SUONO", "nessuno");
        impostaApriDocumento([this](const QString& p) {
            documenti.append(p);
            return true;
        });
        registraFinestre();
    }

    void TearDown() override {
        Finestre& r = Finestre::istanza();
        for (const QString& n : r.nomiCaricate()) r.chiudi(n);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        impostaApriDocumento({});
        impostaCartellaProgramma({});
        QLocale::setDefault(localePrecedente);
        if (tmpPrecedente.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmpPrecedente);
    }

    QString cartellaProgrammaProva() const {
        return cartella.path() + QStringLiteral("/programma");
    }
    QString percorsoProgetto(const QString& nome) const {
        return cartella.path() + QStringLiteral("/progetti/") + nome;
    }

    // Windows and their controls.
    static Finestre& registro() { return Finestre::istanza(); }
    template <class W>
    static W* aperta() {
        return registro().trova<W>();
    }
    template <class T = QWidget>
    static T* controllo(QWidget* finestra, const QString& nome) {
        T* c = finestra ? finestra->findChild<T*>(nome) : nullptr;
        EXPECT_NE(c, nullptr) << qPrintable(nome);
        return c;
    }
    static QAction* voce(QWidget* finestra, const char* nome) {
        auto* a = finestra->findChild<QAction*>(QString::fromLatin1(nome));
        EXPECT_NE(a, nullptr) << nome;
        return a;
    }
    // The button of the command bar at that position (1..19).
    static QToolButton* pulsanteBarra(QWidget* finestra, int posizione) {
        auto* bar = finestra->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        if (!bar) return nullptr;
        QAction* a = bar->actions().value(posizione - 1);
        return a ? qobject_cast<QToolButton*>(bar->widgetForAction(a)) : nullptr;
    }
    static QString testo(QWidget* finestra, const QString& nome) {
        if (auto* e = finestra->findChild<QLineEdit*>(nome)) return e->text();
        if (auto* l = finestra->findChild<QLabel*>(nome)) return l->text();
        if (auto* c = finestra->findChild<QComboBox*>(nome)) return c->currentText();
        ADD_FAILURE() << "nessun controllo " << qPrintable(nome);
        return {};
    }
    static QString riga(const char* base, int i) {
        return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(i);
    }

    // The user's gestures.
    static void clicca(QWidget* w) {
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isVisible()) << qPrintable(w->objectName());
        QTest::mouseClick(w, Qt::LeftButton);
    }
    static void scrivi(QWidget* finestra, const QString& nome, const QString& t) {
        auto* e = finestra->findChild<QLineEdit*>(nome);
        ASSERT_NE(e, nullptr) << qPrintable(nome);
        e->setFocus();
        e->selectAll();
        if (t.isEmpty())
            QTest::keyClick(e, Qt::Key_Delete);
        else
            QTest::keyClicks(e, t);
    }
    // Chooses an entry of a row's reference list with the keyboard, as from
    // the list: arrow keys from the entry now selected (Down from none selects
    // the first entry).
    static void scegliRiferimento(Calcolo* c, int i, int posizione) {
        QComboBox* cb = c->elencoRiferimento(i);
        ASSERT_NE(cb, nullptr);
        cb->setFocus();
        if (cb->currentIndex() < 0) QTest::keyClick(cb, Qt::Key_Down);
        while (cb->currentIndex() < posizione) {
            const int prima = cb->currentIndex();
            QTest::keyClick(cb, Qt::Key_Down);
            ASSERT_GT(cb->currentIndex(), prima);
        }
        while (cb->currentIndex() > posizione) {
            const int prima = cb->currentIndex();
            QTest::keyClick(cb, Qt::Key_Up);
            ASSERT_LT(cb->currentIndex(), prima);
        }
    }
    // Moves a row's scroll bar by clicking its arrows, one step at a time.
    static void portaBarra(Calcolo* c, int i, int valore) {
        QScrollBar* h = c->barraPercentuale(i);
        ASSERT_NE(h, nullptr);
        auto freccia = [h](QStyle::SubControl parte) {
            QStyleOptionSlider o;
            o.initFrom(h);
            o.orientation = h->orientation();
            o.minimum = h->minimum();
            o.maximum = h->maximum();
            o.sliderPosition = h->sliderPosition();
            o.sliderValue = h->value();
            o.singleStep = h->singleStep();
            o.pageStep = h->pageStep();
            o.subControls = QStyle::SC_All;
            return h->style()->subControlRect(QStyle::CC_ScrollBar, &o, parte, h).center();
        };
        while (h->value() != valore) {
            const int prima = h->value();
            const bool avanti = prima < valore;
            QTest::mouseClick(
                h, Qt::LeftButton, {},
                freccia(avanti ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine));
            ASSERT_EQ(h->value(), avanti ? prima + 1 : prima - 1);
        }
    }

    QTemporaryDir cartella;
    QByteArray tmpPrecedente;
    QLocale localePrecedente;
    QStringList documenti;  // printed documents handed to the user, in order
    InterazioneFinta utente;
};

}  // namespace varimo::test
