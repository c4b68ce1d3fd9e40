#include "quadro/widgets/menufasi.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "quadro/documentoquadro.h"
#include "quadro/widgets/datifase.h"
#include "quadro/widgets/finestraconfronto.h"
#include "quadro/widgets/nuovafase.h"

namespace varimo::quadro {

void aggiungiMenuFasi(QMainWindow* finestra, DocumentoQuadro& documento) {
    QMenu* menu = finestra->menuBar()->addMenu(QStringLiteral("F&asi"));
    menu->setObjectName(QStringLiteral("menufasi"));
    DocumentoQuadro* d = &documento;

    QAction* nuova = azioneNuovaFase(finestra);
    QObject::connect(nuova, &QAction::triggered, finestra, [finestra, d] {
        FileFasi f = d->fasi();
        if (const auto i = comandoNuovaFase(finestra, f, d->faseCorrente())) d->impostaFasi(f, *i);
    });
    auto* blocca = new QAction(QStringLiteral("Fase bloccata"), finestra);
    blocca->setObjectName(QStringLiteral("bloccafase"));
    blocca->setCheckable(true);
    // The lock is the phase's, whatever the action showed.
    QObject::connect(blocca, &QAction::triggered, finestra, [d] {
        FileFasi f = d->fasi();
        bloccaFase(f, d->faseCorrente(), !f.fasi.value(d->faseCorrente()).bloccata);
        d->impostaFasi(f, d->faseCorrente());
    });
    QObject::connect(d, &DocumentoQuadro::cambiato, blocca, [d, blocca] {
        blocca->setChecked(d->fasi().fasi.value(d->faseCorrente()).bloccata);
    });
    auto* dati = new QAction(QStringLiteral("Dati della fase…"), finestra);
    dati->setObjectName(QStringLiteral("datifase"));
    QObject::connect(dati, &QAction::triggered, finestra, [finestra, d] {
        FileFasi f = d->fasi();
        if (comandoDatiFase(finestra, f, d->faseCorrente())) d->impostaFasi(f, d->faseCorrente());
    });
    auto* confronto = new QAction(QStringLiteral("Confronto tra le fasi"), finestra);
    confronto->setObjectName(QStringLiteral("confrontofasi"));
    QObject::connect(confronto, &QAction::triggered, finestra, [finestra, d] {
        auto* w = new FinestraConfronto(d->fasi());
        w->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(finestra, &QObject::destroyed, w, &QWidget::close);
        w->show();
    });

    // The list of phases is made again each time the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, finestra, [=] {
        menu->clear();
        const FileFasi f = d->fasi();
        auto* gruppo = new QActionGroup(menu);
        for (int i = 0; i < f.fasi.size(); ++i) {
            QString testo = f.fasi[i].nome;
            if (f.fasi[i].bloccata) testo += QStringLiteral(" (bloccata)");
            QAction* a = menu->addAction(testo);
            a->setCheckable(true);
            a->setChecked(i == d->faseCorrente());
            a->setActionGroup(gruppo);
            QObject::connect(a, &QAction::triggered, finestra, [d, i] {
                if (i != d->faseCorrente()) d->impostaFasi(d->fasi(), i);
            });
        }
        menu->addSeparator();
        menu->addAction(nuova);
        menu->addAction(dati);
        blocca->setChecked(f.fasi.value(d->faseCorrente()).bloccata);
        menu->addAction(blocca);
        menu->addAction(confronto);
    });
    // Shortcuts and tests find the commands before the menu is first opened.
    menu->addAction(nuova);
    menu->addAction(dati);
    menu->addAction(blocca);
    menu->addAction(confronto);
}

}  // namespace varimo::quadro
