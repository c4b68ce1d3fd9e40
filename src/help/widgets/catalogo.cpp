#include "help/widgets/catalogo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"

namespace varimo {

namespace {
// Design size, in average characters and lines of the window's font.
constexpr double kLarghezzaCaratteri = 128;
constexpr double kAltezzaRighe = 35;
}  // namespace

Catalogo::Catalogo() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Catalogo prodotti Software Veladio"));
    const QFontMetrics fm(font());

    label1_ = new QLabel(QStringLiteral("altri prodotti Software Veladio"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont f = label1_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    label1_->setFont(f);
    label1_->setAlignment(Qt::AlignCenter);

    label2_ = new QLabel(
        QStringLiteral(
            "software Veladio realizza, oltre a VARIMO, altri programmi per chi progetta e dirige "
            "lavori pubblici: strumenti semplici, in lingua italiana, pensati per il lavoro "
            "quotidiano dello studio tecnico e degli uffici delle amministrazioni.\n\n"
            "Per conoscere l'elenco aggiornato dei prodotti, le loro caratteristiche e i prezzi "
            "rivolgersi ai servizi di supporto ai clienti, i cui recapiti si trovano nel menu "
            "\"?\" alla voce \"Supporto prodotto\"."),
        this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setWordWrap(true);
    label2_->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    label2_->setMargin(larghezzaCaratteri(fm, 2.4));

    cmdSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    cmdSommario_->setObjectName(QStringLiteral("cmdSommario"));
    cmdSommario_->setToolTip(QStringLiteral("cliccare per visualizzare il sommario della guida"));
    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));

    // Title, text, and the two buttons in the middle of the last line.
    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height());
    colonna->addWidget(label1_);
    colonna->addWidget(label2_, 1);
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(larghezzaCaratteri(fm, 6));
    tasti->addStretch(30);
    for (QPushButton* b : {cmdSommario_, cmdChiudi_}) {
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        b->setMinimumHeight(altezzaRighe(fm, 2));
        tasti->addWidget(b, 29);
    }
    tasti->addStretch(30);
    colonna->addLayout(tasti);

    connect(cmdSommario_, &QPushButton::clicked, this, &Catalogo::mostraSommario);
    connect(cmdChiudi_, &QPushButton::clicked, this, &Catalogo::chiudi);

    Proporzioni::avvia(
        this, 0, 0,
        QSize(larghezzaCaratteri(fm, kLarghezzaCaratteri), altezzaRighe(fm, kAltezzaRighe)));
    collocaSulloSchermo(this);
}

void Catalogo::mostraSommario() {
    Finestre::istanza().mostra(QStringLiteral("sommario"));
}

void Catalogo::chiudi() {
    close();
}

}  // namespace varimo
