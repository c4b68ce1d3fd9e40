#include "help/widgets/supportoclienti.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/widgets/proporzioni.h"

namespace varimo {

namespace {
// Width of the window, in average characters of its font.
constexpr double kLarghezzaCaratteri = 93;

QLabel* nuova(QWidget* padre, int n, const QString& testo) {
    auto* l = new QLabel(testo, padre);
    l->setObjectName(QStringLiteral("Label%1").arg(n));
    l->setWordWrap(true);
    return l;
}

QFrame* linea(QWidget* padre, const char* nome) {
    auto* f = new QFrame(padre);
    f->setObjectName(QString::fromLatin1(nome));
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}
}  // namespace

Supportoclienti::Supportoclienti() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Servizi di supporto ai clienti"));
    const QFontMetrics fm(font());

    QLabel* l1 = nuova(this, 1, QStringLiteral("software Veladio"));
    QFont f = l1->font();
    f.setBold(true);
    f.setItalic(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    l1->setFont(f);
    l1->setAlignment(Qt::AlignCenter);

    // Contact data of the maker: the address, then the telephone, e-mail and
    // web site, each name on the left of its value.
    QLabel* l2 = nuova(this, 2, QStringLiteral("Via dell'Esempio 1 - 00000 Città Fittizia (XX)"));
    QLabel* l3 = nuova(this, 3, QStringLiteral("tel. e fax 000 0000000        e-mail:"));
    QLabel* l10 = nuova(this, 10, QStringLiteral("assistenza@veladio.example.invalid"));
    QLabel* l8 = nuova(this, 8, QStringLiteral("sito internet:"));
    l8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLabel* l9 = nuova(this, 9, QStringLiteral("www.veladio.example.invalid"));
    l3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFrame* line1 = linea(this, "Line1");

    QLabel* l4 = nuova(
        this, 4,
        QStringLiteral(
            "I clienti possono inviare fax o e-mail per avere delucidazioni su elementi inerenti "
            "il programma illustrando in modo chiaro le problematiche da risolvere. I chiarimenti "
            "telefonici devono riguardare situazioni che possono ottenere una risposta solo "
            "verbale. In questo caso va indicato con precisione il punto del programma che non "
            "funziona o che non appare comprensibile. La linea telefonica è a disposizione dalle "
            "9,30 alle 13,00 e dalle 15,00 alle 18,00 di tutti i giorni dal lunedì al venerdì "
            "escluso i festivi."));
    QFrame* line2 = linea(this, "Line2");
    QLabel* l5 =
        nuova(this, 5,
              QStringLiteral("Su richiesta il programma può essere adattato alle esigenze "
                             "particolari dell'utente, rivolgendosi al responsabile del software "
                             "di Veladio. Sono graditi i suggerimenti per migliorare il prodotto "
                             "nelle versioni successive."));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Command1"));
    ok_->setDefault(true);
    ok_->setMinimumSize(larghezzaCaratteri(fm, 16), altezzaRighe(fm, 2));
    connect(ok_, &QPushButton::clicked, this, &Supportoclienti::chiudi);

    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height() / 2);
    colonna->addWidget(l1);
    colonna->addWidget(l2);
    auto* recapiti = new QGridLayout;
    recapiti->setHorizontalSpacing(fm.averageCharWidth());
    recapiti->setVerticalSpacing(0);
    recapiti->addWidget(l3, 0, 0);
    recapiti->addWidget(l10, 0, 1);
    recapiti->addWidget(l8, 1, 0);
    recapiti->addWidget(l9, 1, 1);
    recapiti->setColumnStretch(0, 1);
    recapiti->setColumnStretch(1, 1);
    colonna->addLayout(recapiti);
    colonna->addWidget(line1);
    colonna->addWidget(l4);
    colonna->addWidget(line2);
    colonna->addWidget(l5);
    colonna->addWidget(ok_, 0, Qt::AlignHCenter);
    fissaMisura(this, larghezzaCaratteri(fm, kLarghezzaCaratteri));
}

QLabel* Supportoclienti::etichetta(int n) const {
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(n), Qt::FindDirectChildrenOnly);
}

void Supportoclienti::chiudi() {
    hide();
}

}  // namespace varimo
