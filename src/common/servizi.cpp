#include "common/servizi.h"

#include <QCoreApplication>

namespace varimo {

Servizi::Servizi(QObject* applicazione) : QObject(applicazione) {}

Servizi* Servizi::seEsistono() {
    QCoreApplication* app = QCoreApplication::instance();
    return app ? app->findChild<Servizi*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

Servizi* Servizi::dellApplicazione() {
    if (Servizi* s = seEsistono()) return s;
    QCoreApplication* app = QCoreApplication::instance();
    return app ? new Servizi(app) : nullptr;
}

void Servizi::primaDiOgniMessaggio(QObject* proprietario, std::function<void()> f) {
    std::erase_if(preparazioni_, [](const Preparazione& p) { return p.proprietario.isNull(); });
    preparazioni_.push_back({proprietario, std::move(f)});
}

void Servizi::preparaMessaggio() const {
    // A copy: a preparation may open or close windows, and so add or end others.
    const std::vector<Preparazione> daFare = preparazioni_;
    for (const Preparazione& p : daFare)
        if (!p.proprietario.isNull()) p.f();
}

}  // namespace varimo
