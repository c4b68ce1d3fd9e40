#include "quadro/widgets/menufasi.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "common/interazione.h"
#include "quadro/documentoquadro.h"
#include "quadro/widgets/datianac.h"
#include "quadro/widgets/datifase.h"
#include "quadro/widgets/finestraconfronto.h"
#include "quadro/widgets/nuovafase.h"

namespace varimo::quadro {

bool comandoRimuoviFase(DocumentoQuadro& d) {
    const QString titolo = QStringLiteral("Rimuovi fase");
    FileFasi f = d.fasi();
    const int i = d.faseCorrente();
    // Refusals first, so that nothing is asked in vain.
    FileFasi prova = f;
    if (const auto e = rimuoviFase(prova, i)) {
        messaggio(*e, titolo, Icona::Esclamazione);
        return false;
    }
    const Risposta r = messaggio(
        QStringLiteral("Rimuovere la fase «%1» con tutte le sue voci?").arg(f.fasi[i].nome), titolo,
        Icona::Domanda, Pulsanti::SiNo, Risposta::No);
    if (r != Risposta::Si) return false;
    d.modificaFasi(QStringLiteral("rimuovi fase"), prova, std::max(0, i - 1));
    return true;
}

void aggiungiMenuFasi(QMainWindow* finestra, DocumentoQuadro& documento,
                      const std::function<QString()>& nomeProposto) {
    QMenu* menu = finestra->menuBar()->addMenu(QStringLiteral("F&asi"));
    menu->setObjectName(QStringLiteral("menufasi"));
    DocumentoQuadro* d = &documento;

    QAction* nuova = azioneNuovaFase(finestra);
    QObject::connect(nuova, &QAction::triggered, finestra, [finestra, d] {
        FileFasi f = d->fasi();
        if (const auto i = comandoNuovaFase(finestra, f, d->faseCorrente()))
            d->modificaFasi(QStringLiteral("nuova fase"), f, *i);
    });
    auto* blocca = new QAction(QStringLiteral("Fase bloccata"), finestra);
    blocca->setObjectName(QStringLiteral("bloccafase"));
    blocca->setCheckable(true);
    // The lock is the phase's, whatever the action showed.
    QObject::connect(blocca, &QAction::triggered, finestra, [d] {
        FileFasi f = d->fasi();
        const bool bloccata = !f.fasi.value(d->faseCorrente()).bloccata;
        bloccaFase(f, d->faseCorrente(), bloccata);
        d->modificaFasi(bloccata ? QStringLiteral("blocca fase") : QStringLiteral("sblocca fase"),
                        f, d->faseCorrente());
    });
    QObject::connect(d, &DocumentoQuadro::cambiato, blocca, [d, blocca] {
        blocca->setChecked(d->fasi().fasi.value(d->faseCorrente()).bloccata);
    });
    auto* dati = new QAction(QStringLiteral("Dati della fase…"), finestra);
    dati->setObjectName(QStringLiteral("datifase"));
    QObject::connect(dati, &QAction::triggered, finestra, [finestra, d] {
        FileFasi f = d->fasi();
        if (comandoDatiFase(finestra, f, d->faseCorrente()))
            d->modificaFasi(QStringLiteral("dati della fase"), f, d->faseCorrente());
    });
    auto* rimuovi = new QAction(QStringLiteral("Rimuovi fase…"), finestra);
    rimuovi->setObjectName(QStringLiteral("rimuovifase"));
    QObject::connect(rimuovi, &QAction::triggered, finestra, [d] { comandoRimuoviFase(*d); });
    auto* confronto = new QAction(QStringLiteral("Confronto tra le fasi"), finestra);
    confronto->setObjectName(QStringLiteral("confrontofasi"));
    QObject::connect(confronto, &QAction::triggered, finestra, [finestra, d] {
        auto* w = new FinestraConfronto(d->fasi());
        w->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(finestra, &QObject::destroyed, w, &QWidget::close);
        // Every later change of the document (an item, a phase added,
        // removed, renamed, an undo) reaches the open comparison.
        QObject::connect(d, &DocumentoQuadro::cambiato, w, [w, d] { w->impostaFile(d->fasi()); });
        w->show();
    });

    auto* anac = new QAction(QStringLiteral("Dati per ANAC\u2026"), finestra);
    anac->setObjectName(QStringLiteral("datiperanac"));
    anac->setToolTip(QStringLiteral("Le cifre della fase come le chiede la piattaforma dei "
                                    "contratti pubblici, con la verifica del totale"));
    QObject::connect(anac, &QAction::triggered, finestra, [finestra, d, nomeProposto] {
        // One window of the data at a time, brought to the front.
        if (auto* w = finestra->findChild<FinestraDatiAnac*>(
                QString::fromLatin1(FinestraDatiAnac::kNome), Qt::FindDirectChildrenOnly)) {
            w->raise();
            w->activateWindow();
            return;
        }
        auto* w = new FinestraDatiAnac(nomeProposto, finestra);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->impostaFase(d->fasi(), d->faseCorrente());
        QObject::connect(d, &DocumentoQuadro::cambiato, w,
                         [w, d] { w->impostaFase(d->fasi(), d->faseCorrente()); });
        w->show();
    });

    // The list of phases is made again each time the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, finestra, [=] {
        menu->clear();
        const FileFasi& f = d->fasi();
        auto* gruppo = new QActionGroup(menu);
        for (int i = 0; i < f.fasi.size(); ++i) {
            QString testo = f.fasi[i].nome;
            if (f.fasi[i].bloccata) testo += QStringLiteral(" (bloccata)");
            QAction* a = menu->addAction(testo);
            a->setCheckable(true);
            a->setChecked(i == d->faseCorrente());
            a->setActionGroup(gruppo);
            QObject::connect(a, &QAction::triggered, finestra, [d, i] { d->scegliFase(i); });
        }
        menu->addSeparator();
        menu->addAction(nuova);
        menu->addAction(dati);
        blocca->setChecked(f.fasi.value(d->faseCorrente()).bloccata);
        menu->addAction(blocca);
        menu->addAction(rimuovi);
        menu->addAction(confronto);
        menu->addAction(anac);
    });
    // Shortcuts and tests find the commands before the menu is first opened.
    for (QAction* a : {nuova, dati, blocca, rimuovi, confronto, anac}) menu->addAction(a);
}

}  // namespace varimo::quadro
