#include "help/widgets/guide.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "help/widgets/sommario.h"
#include "help/widgets/testiaiuto.h"
#include "reports/stampaguida.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kAltezza = 6825;
constexpr int kLeftGuideStrette = 5467;
}  // namespace

FinestraGuida::FinestraGuida(const Impostazione& imp) {
    setWindowTitle(QStringLiteral("Guida in linea"));
    const int w = imp.larghezza;
    // Design size: the window's own size, so the controls land on their design
    // places once the window takes it.
    resize(twip(this, w), twip(this, kAltezza));

    label1_ = new QLabel(imp.titolo, this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont f1 = label1_->font();
    f1.setBold(true);
    f1.setPointSizeF(f1.pointSizeF() * 1.3);
    label1_->setFont(f1);
    label1_->setAlignment(Qt::AlignCenter);
    collocaTwip(label1_, 120, 120, w - 240, 375);

    // The text sits in a scrolling area, so that it stays readable whatever
    // the typeface and the size the window takes.
    areaTesto_ = new QScrollArea(this);
    areaTesto_->setObjectName(QStringLiteral("areaTesto"));
    areaTesto_->setWidgetResizable(true);
    areaTesto_->setFrameShape(QFrame::NoFrame);
    areaTesto_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    label2_ = new QLabel(testoAiuto(imp.risorsaTesto));
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setWordWrap(true);
    label2_->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    label2_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label2_->setMargin(twip(this, 60));
    areaTesto_->setWidget(label2_);
    collocaTwip(areaTesto_, 120, 600, w - 240, 5280);

    const int larghezzaTasto = (w - 240 - 240) / 3;
    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    collocaTwip(cmdChiudi_, 120, 6120, larghezzaTasto, 495);
    cmdSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    cmdSommario_->setObjectName(QStringLiteral("cmdSommario"));
    collocaTwip(cmdSommario_, 120 + larghezzaTasto + 120, 6120, larghezzaTasto, 495);
    cmdStampa_ = new QPushButton(QStringLiteral("S&tampa"), this);
    cmdStampa_->setObjectName(QStringLiteral("cmdStampa"));
    collocaTwip(cmdStampa_, 120 + 2 * (larghezzaTasto + 120), 6120, larghezzaTasto, 495);

    if (imp.conSuggerimenti) {
        cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));
        cmdSommario_->setToolTip(
            QStringLiteral("cliccare per visualizzare il sommario della guida"));
        cmdStampa_->setToolTip(QStringLiteral("cliccare per avere la copia su carta del ") +
                               imp.titolo);
    }

    connect(cmdChiudi_, &QPushButton::clicked, this, &FinestraGuida::cmdchiudi_Click);
    connect(cmdSommario_, &QPushButton::clicked, this, &FinestraGuida::cmdSommario_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &FinestraGuida::cmdstampa_Click);

    avviaScala(w, kAltezza, imp.sinistra);
}

void FinestraGuida::cmdchiudi_Click() {
    close();
}

void FinestraGuida::cmdSommario_Click() {
    Finestre::istanza().mostra<Sommario>();
}

void FinestraGuida::cmdstampa_Click() {
    stampaguida(label1_->text(), label2_->text());
}

Manuale::Manuale()
    : FinestraGuida({QStringLiteral("MANUALE D'USO RAPIDO"), QString::fromLatin1(kTestoManuale),
                     9600, std::nullopt, true}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidafunzionamento::Guidafunzionamento()
    : FinestraGuida({QStringLiteral("FUNZIONAMENTO DEL PROGRAMMA"),
                     QString::fromLatin1(kTestoFunzionamento), 5640, kLeftGuideStrette, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidacalcolo::Guidacalcolo()
    : FinestraGuida({QStringLiteral("Finestra CALCOLO"), QString::fromLatin1(kTestoCalcolo), 5640,
                     kLeftGuideStrette, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidaquadro::Guidaquadro()
    : FinestraGuida({QStringLiteral("Finestra QUADRO ECONOMICO"), QString::fromLatin1(kTestoQuadro),
                     5640, kLeftGuideStrette, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

}  // namespace varimo
