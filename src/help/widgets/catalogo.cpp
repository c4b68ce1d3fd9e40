#include "help/widgets/catalogo.h"

#include <QLabel>
#include <QPushButton>

#include "help/widgets/sommario.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 9600;
constexpr int kAltezza = 6825;
}  // namespace

Catalogo::Catalogo() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Catalogo prodotti Software Veladio"));
    resize(twip(this, kLarghezza), twip(this, kAltezza));

    label1_ = new QLabel(QStringLiteral("altri prodotti Software Veladio"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont f = label1_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    label1_->setFont(f);
    label1_->setAlignment(Qt::AlignCenter);
    collocaTwip(label1_, 120, 240, kLarghezza - 240, 555);

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
    collocaTwip(label2_, 480, 1200, kLarghezza - 960, 4200);

    cmdSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    cmdSommario_->setObjectName(QStringLiteral("cmdSommario"));
    cmdSommario_->setToolTip(QStringLiteral("cliccare per visualizzare il sommario della guida"));
    collocaTwip(cmdSommario_, 2400, 5880, 2175, 495);
    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));
    collocaTwip(cmdChiudi_, 5025, 5880, 2175, 495);

    connect(cmdSommario_, &QPushButton::clicked, this, &Catalogo::cmdSommario_Click);
    connect(cmdChiudi_, &QPushButton::clicked, this, &Catalogo::cmdchiudi_Click);

    avviaScala(kLarghezza, kAltezza);
}

void Catalogo::cmdSommario_Click() {
    Finestre::istanza().mostra<Sommario>();
}

void Catalogo::cmdchiudi_Click() {
    close();
}

}  // namespace varimo
