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

    intestazione_ = new QLabel(QStringLiteral("altri prodotti Software Veladio"), this);
    intestazione_->setObjectName(QStringLiteral("Label1"));
    QFont f = intestazione_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    intestazione_->setFont(f);
    intestazione_->setAlignment(Qt::AlignCenter);

    elenco_ = new QLabel(
        QStringLiteral(
            "software Veladio realizza, oltre a VARIMO, altri programmi per chi progetta e dirige "
            "lavori pubblici: strumenti semplici, in lingua italiana, pensati per il lavoro "
            "quotidiano dello studio tecnico e degli uffici delle amministrazioni.\n\n"
            "Per conoscere l'elenco aggiornato dei prodotti, le loro caratteristiche e i prezzi "
            "rivolgersi ai servizi di supporto ai clienti, i cui recapiti si trovano nel menu "
            "\"?\" alla voce \"Supporto prodotto\"."),
        this);
    elenco_->setObjectName(QStringLiteral("Label2"));
    elenco_->setWordWrap(true);
    elenco_->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    elenco_->setMargin(larghezzaCaratteri(fm, 2.4));

    pulsanteSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    pulsanteSommario_->setObjectName(QStringLiteral("cmdSommario"));
    pulsanteSommario_->setToolTip(
        QStringLiteral("cliccare per visualizzare il sommario della guida"));
    pulsanteChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    pulsanteChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    pulsanteChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));

    // Title, text, and the two buttons in the middle of the last line.
    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height());
    colonna->addWidget(intestazione_);
    colonna->addWidget(elenco_, 1);
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(larghezzaCaratteri(fm, 6));
    tasti->addStretch(30);
    for (QPushButton* b : {pulsanteSommario_, pulsanteChiudi_}) {
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        b->setMinimumHeight(altezzaRighe(fm, 2));
        tasti->addWidget(b, 29);
    }
    tasti->addStretch(30);
    colonna->addLayout(tasti);

    connect(pulsanteSommario_, &QPushButton::clicked, this, &Catalogo::mostraSommario);
    connect(pulsanteChiudi_, &QPushButton::clicked, this, &Catalogo::chiudi);

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
