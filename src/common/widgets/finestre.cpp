#include "common/widgets/finestre.h"

#include <QCoreApplication>
#include <QEvent>

#include "common/widgets/controlli.h"

namespace varimo {

Finestre& Finestre::istanza() {
    // The collection belongs to the application object: made with the first
    // window, it ends with the application.
    auto* registro = qApp->findChild<Finestre*>(QString(), Qt::FindDirectChildrenOnly);
    if (!registro) registro = new Finestre(qApp);
    return *registro;
}

QWidget* Finestre::finestra(const QString& nome) const {
    const auto it = finestre_.constFind(nome);
    return it == finestre_.constEnd() ? nullptr : it.value().data();
}

QWidget* Finestre::carica(const QString& nome) {
    if (QWidget* w = finestra(nome)) return w;
    const auto f = fabbriche_.constFind(nome);
    return f == fabbriche_.constEnd() ? nullptr : f.value()();
}

QWidget* Finestre::mostra(const QString& nome) {
    QWidget* w = carica(nome);
    if (w) porta(w);
    return w;
}

void Finestre::registra(QWidget* w, const QString& nome) {
    w->setObjectName(nome);
    // Closing a window discards it; the registry forgets it at once so that a
    // showing right after the close builds a fresh instance.
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->installEventFilter(this);
    finestre_.insert(nome, w);
    connect(w, &QObject::destroyed, this, [this, nome, w] { dimentica(nome, w); });
}

bool Finestre::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::Close) {
        // A close by the user may be refused by the window kind's guard (it
        // runs before the window sees the event); otherwise every window of
        // the program accepts its close, and from here on it is gone.
        const QString nome = o->objectName();
        const bool caricata = finestra(nome) == o;
        const auto guardia = guardie_.constFind(nome);
        if (chiusuraDelProgramma_ == 0 && caricata && guardia != guardie_.constEnd() && *guardia) {
            const std::function<bool()> consenti = *guardia;
            if (!consenti()) {
                e->ignore();
                return true;
            }
        }
        dimentica(nome, o);
        if (caricata) emit finestraTolta();
    } else if (e->type() == QEvent::Hide && !e->spontaneous() && finestra(o->objectName()) == o) {
        // Put away by the program (a button that only hides), not minimised.
        emit finestraTolta();
    }
    return QObject::eventFilter(o, e);
}

void Finestre::dimentica(const QString& nome, QObject* w) {
    const auto it = finestre_.find(nome);
    if (it == finestre_.end() || (it.value() && it.value().data() != w)) return;
    finestre_.erase(it);
    if (numeroCaricate() == 0) emit nessunaFinestra();
}

void Finestre::chiudiSeNessunaVisibile() {
    if (uscite_ > 0) return;
    const QStringList nomi = nomiCaricate();
    for (const QString& n : nomi) {
        if (const QWidget* w = finestra(n); w && w->isVisible()) return;
    }
    for (const QString& n : nomi) chiudi(n);
    for (const QString& n : nomiCaricate()) {
        if (QWidget* w = finestra(n)) porta(w);
    }
}

void Finestre::chiudi(const QString& nome) {
    QWidget* w = finestra(nome);
    if (!w) return;
    ++chiusuraDelProgramma_;
    w->close();
    --chiusuraDelProgramma_;
}

int Finestre::numeroCaricate() const {
    int n = 0;
    for (const auto& p : finestre_)
        if (p) ++n;
    return n;
}

QStringList Finestre::nomiCaricate() const {
    QStringList nomi;
    for (auto it = finestre_.cbegin(); it != finestre_.cend(); ++it)
        if (it.value()) nomi << it.key();
    return nomi;
}

void Finestre::porta(QWidget* w) {
    if (w->isMinimized()) w->showNormal();
    // Whatever place the window was given, all of it is on the screen.
    dentroLoSchermo(w);
    w->show();
    dentroLoSchermo(w);
    w->raise();
    w->activateWindow();
}

}  // namespace varimo
