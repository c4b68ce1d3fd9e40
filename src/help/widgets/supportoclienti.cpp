#include "help/widgets/supportoclienti.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 6960;

QLabel* nuova(QWidget* padre, int n, const QString& testo, int left, int top, int width,
              int height) {
    auto* l = new QLabel(testo, padre);
    l->setObjectName(QStringLiteral("Label%1").arg(n));
    l->setWordWrap(true);
    collocaTwip(l, left, top, width, height);
    return l;
}

void linea(QWidget* padre, const char* nome, int top) {
    auto* f = new QFrame(padre);
    f->setObjectName(QString::fromLatin1(nome));
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    collocaTwip(f, 120, top, kLarghezza - 240, 30);
}
}  // namespace

Supportoclienti::Supportoclienti() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Servizi di supporto ai clienti"));
    impostaFattoreTwip(this, fattoreCarattere(font()));
    resize(twip(this, kLarghezza), twip(this, 5760));

    QLabel* l1 =
        nuova(this, 1, QStringLiteral("software Veladio"), 120, 120, kLarghezza - 240, 435);
    QFont f = l1->font();
    f.setBold(true);
    f.setItalic(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    l1->setFont(f);
    l1->setAlignment(Qt::AlignCenter);

    // Contact data of the maker.
    nuova(this, 2, QStringLiteral("Via dell'Esempio 1 - 00000 Città Fittizia (XX)"), 120, 600,
          kLarghezza - 240, 255);
    nuova(this, 3, QStringLiteral("tel. e fax 000 0000000        e-mail:"), 120, 870, 3300, 255);
    nuova(this, 10, QStringLiteral("assistenza@veladio.example.invalid"), 3480, 870, 3360, 255);
    nuova(this, 8, QStringLiteral("sito internet:"), 120, 1140, 3300, 255)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    nuova(this, 9, QStringLiteral("www.veladio.example.invalid"), 3480, 1140, 3360, 255);
    etichetta(3)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    linea(this, "Line1", 1500);

    nuova(
        this, 4,
        QStringLiteral(
            "I clienti possono inviare fax o e-mail per avere delucidazioni su elementi inerenti "
            "il programma illustrando in modo chiaro le problematiche da risolvere. I chiarimenti "
            "telefonici devono riguardare situazioni che possono ottenere una risposta solo "
            "verbale. In questo caso va indicato con precisione il punto del programma che non "
            "funziona o che non appare comprensibile. La linea telefonica è a disposizione dalle "
            "9,30 alle 13,00 e dalle 15,00 alle 18,00 di tutti i giorni dal lunedì al venerdì "
            "escluso i festivi."),
        120, 1620, kLarghezza - 240, 2160);
    linea(this, "Line2", 3840);
    nuova(this, 5,
          QStringLiteral("Su richiesta il programma può essere adattato alle esigenze particolari "
                         "dell'utente, rivolgendosi al responsabile del software di Veladio. "
                         "Sono graditi i suggerimenti per migliorare il prodotto nelle versioni "
                         "successive."),
          120, 3960, kLarghezza - 240, 1080);

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setDefault(true);
    collocaTwip(command1_, (kLarghezza - 1215) / 2, 5160, 1215, 435);
    connect(command1_, &QPushButton::clicked, this, &Supportoclienti::Command1_Click);
    adattaAlTesto(this);
    setFixedSize(twip(this, kLarghezza), twip(this, 5760));
}

QLabel* Supportoclienti::etichetta(int n) const {
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(n), Qt::FindDirectChildrenOnly);
}

void Supportoclienti::Command1_Click() {
    hide();
}

}  // namespace varimo
