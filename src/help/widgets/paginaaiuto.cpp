#include "help/widgets/paginaaiuto.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/widgets/proporzioni.h"

namespace varimo {

void impaginaPaginaAiuto(QWidget* finestra, QWidget* testa, QWidget* testo,
                         std::initializer_list<QPushButton*> tasti) {
    const QFontMetrics fm(finestra->font());
    auto* colonna = new QVBoxLayout(finestra);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height() / 2);
    colonna->addWidget(testa);
    colonna->addWidget(testo, 1);
    auto* riga = new QHBoxLayout;
    riga->setSpacing(lato);
    for (QPushButton* b : tasti) {
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        b->setMinimumHeight(altezzaRighe(fm, 2));
        riga->addWidget(b, 1);
    }
    colonna->addLayout(riga);
}

}  // namespace varimo
