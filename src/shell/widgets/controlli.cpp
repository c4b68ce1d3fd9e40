#include "shell/widgets/controlli.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QWidget>

#include "shell/widgets/clsresize.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {

class OsservaMisura final : public QObject {
  public:
    OsservaMisura(QObject* parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Resize) f_();
        return QObject::eventFilter(o, e);
    }

  private:
    std::function<void()> f_;
};

}  // namespace

QString nomeControllo(const char* base, int i) {
    return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(i);
}

void sfondo(QWidget* w, const QColor& c) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
}

void grassetto(QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

void testoColorato(QWidget* w, const QColor& testo, bool inGrassetto) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, testo);
    p.setColor(QPalette::WindowText, testo);
    w->setPalette(p);
    if (inGrassetto) grassetto(w);
}

void mostraTesto(QLineEdit* e, const QString& t) {
    if (e->text() == t) return;
    e->setText(t);
    e->setCursorPosition(0);
}

void segnaImporto(QLineEdit* e, bool leggibile) {
    static const char* const kSegnato = "varimoImportoSegnato";
    static const char* const kSuggerimento = "varimoSuggerimentoProprio";
    static const char* const kSfondo = "varimoSfondoProprio";
    if (e->property(kSegnato).toBool() == !leggibile) return;
    e->setProperty(kSegnato, !leggibile);
    QPalette p = e->palette();
    if (!leggibile) {
        e->setProperty(kSuggerimento, e->toolTip());
        e->setProperty(kSfondo, p.color(QPalette::Base));
        p.setColor(QPalette::Base, QColor(255, 120, 120));
        e->setToolTip(
            QStringLiteral("Importo non leggibile: usare cifre, la virgola per i decimali"));
    } else {
        p.setColor(QPalette::Base, e->property(kSfondo).value<QColor>());
        e->setToolTip(e->property(kSuggerimento).toString());
    }
    e->setPalette(p);
}

void allaNuovaMisura(QWidget* area, QObject* proprietario, std::function<void()> f) {
    area->installEventFilter(new OsservaMisura(proprietario, std::move(f)));
}

QWidget* creaAreaCentrale(QMainWindow* finestra) {
    auto* area = new QWidget(finestra);
    area->setObjectName(QStringLiteral("area"));
    QFont f = area->font();
    f.setPointSize(8);
    area->setFont(f);
    finestra->setCentralWidget(area);
    return area;
}

QLabel* titoloColonna(QWidget* area, const QString& nome, const QString& testo,
                      const QString& suggerimento, int sinistra, int larghezza) {
    auto* l = new QLabel(testo, area);
    l->setObjectName(nome);
    l->setToolTip(suggerimento);
    sfondo(l, Qt::cyan);
    collocaTwip(l, sinistra, 600, larghezza, disegno::kRiga);
    return l;
}

std::unique_ptr<clsResize> scalaFinestraPrincipale(QMainWindow* finestra,
                                                   std::function<void()> riscala) {
    finestra->resize(twip(disegno::kLarghezza), twip(disegno::kAltezza));
    auto scala = std::make_unique<clsResize>();
    scala->setSourceForm(finestra);
    scala->SizeFormToScreen(75);
    finestra->resize(twip(disegno::kLarghezza), twip(disegno::kAltezza));
    allaNuovaMisura(finestra->centralWidget(), finestra, std::move(riscala));
    return scala;
}

}  // namespace varimo
