#include "quadro/widgets/comandidocumenti.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

#include "common/interazione.h"
#include "common/testiprogramma.h"
#include "quadro/documentiquadro.h"
#include "reports/esportazione.h"
#include "reports/stampaamministrazione.h"
#include "reports/stampe.h"

namespace varimo::quadro {

QList<QAction*> aggiungiComandiDocumenti(QWidget* finestra, QMenu* menu,
                                         const QuadroCorrente& corrente) {
    // Every command takes the framework as it stands when it runs; one that
    // cannot be computed is reported and nothing is written.
    auto comando = [finestra, menu, corrente](const char* nome, const QString& testo,
                                              EsitoStampa (*esegui)(const QuadroEsportato&)) {
        QAction* a = menu->addAction(testo);
        a->setObjectName(QString::fromLatin1(nome));
        QObject::connect(a, &QAction::triggered, finestra, [finestra, corrente, esegui] {
            ultimoEsportato().clear();
            const auto q = corrente();
            if (const auto* motivo = std::get_if<QString>(&q)) {
                messaggio(QStringLiteral("Il quadro non può essere stampato né esportato:") +
                              QChar(13) + *motivo,
                          TestiProgramma::titoloaiuto, Icona::Esclamazione);
                return;
            }
            if (esegui(perDocumenti(std::get<QuadroCalcolato>(q))) == EsitoStampa::Fatto &&
                !ultimoEsportato().isEmpty())
                if (auto* w = qobject_cast<QMainWindow*>(finestra))
                    w->statusBar()->showMessage(QStringLiteral("Scritto: ") +
                                                QDir::toNativeSeparators(ultimoEsportato()));
        });
        return a;
    };
    QAction* stampa = comando("stampaquadro", QStringLiteral("Stampa"), stampaAmministrazione);
    stampa->setShortcut(QKeySequence::Print);
    QAction* pdf = comando("esportaquadropdf", QStringLiteral("Esporta in PDF\u2026"),
                           esportaAmministrazionePdf);
    pdf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    pdf->setShortcutContext(Qt::WindowShortcut);
    QAction* foglio =
        comando("esportaquadroxlsx", QStringLiteral("Esporta in foglio di calcolo\u2026"),
                esportaFoglioQuadro);
    return {stampa, pdf, foglio};
}

}  // namespace varimo::quadro
