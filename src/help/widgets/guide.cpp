#include "help/widgets/guide.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "help/widgets/paginaaiuto.h"
#include "help/widgets/testiaiuto.h"
#include "reports/stampaguida.h"

namespace varimo {

namespace {
// Height of every guide window, in lines of its font.
constexpr int kAltezzaRighe = 35;
// The narrow guides open with their left edge at this share of the screen's
// width, beside the contents window.
constexpr double kSinistraAccanto = 0.3;
}  // namespace

FinestraGuida::FinestraGuida(const Impostazione& imp) {
    setWindowTitle(QStringLiteral("Guida in linea"));
    const QFontMetrics fm(font());

    titolo_ = new QLabel(imp.titolo, this);
    titolo_->setObjectName(QStringLiteral("Label1"));
    QFont f1 = titolo_->font();
    f1.setBold(true);
    f1.setPointSizeF(f1.pointSizeF() * 1.3);
    titolo_->setFont(f1);
    titolo_->setAlignment(Qt::AlignCenter);

    // The text sits in a scrolling area, so that it stays readable whatever
    // the typeface and the size the window takes.
    areaTesto_ = new QScrollArea(this);
    areaTesto_->setObjectName(QStringLiteral("areaTesto"));
    areaTesto_->setWidgetResizable(true);
    areaTesto_->setFrameShape(QFrame::NoFrame);
    areaTesto_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    testoGuida_ = new QLabel(testoAiuto(imp.risorsaTesto));
    testoGuida_->setObjectName(QStringLiteral("Label2"));
    testoGuida_->setWordWrap(true);
    testoGuida_->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    testoGuida_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testoGuida_->setMargin(fm.averageCharWidth() / 2 + 1);
    areaTesto_->setWidget(testoGuida_);

    pulsanteChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    pulsanteChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    pulsanteSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    pulsanteSommario_->setObjectName(QStringLiteral("cmdSommario"));
    pulsanteStampa_ = new QPushButton(QStringLiteral("S&tampa"), this);
    pulsanteStampa_->setObjectName(QStringLiteral("cmdStampa"));

    impaginaPaginaAiuto(this, titolo_, areaTesto_,
                        {pulsanteChiudi_, pulsanteSommario_, pulsanteStampa_});

    if (imp.conSuggerimenti) {
        pulsanteChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));
        pulsanteSommario_->setToolTip(
            QStringLiteral("cliccare per visualizzare il sommario della guida"));
        pulsanteStampa_->setToolTip(QStringLiteral("cliccare per avere la copia su carta del ") +
                                    imp.titolo);
    }

    connect(pulsanteChiudi_, &QPushButton::clicked, this, &FinestraGuida::chiudi);
    connect(pulsanteSommario_, &QPushButton::clicked, this, &FinestraGuida::mostraSommario);
    connect(pulsanteStampa_, &QPushButton::clicked, this, &FinestraGuida::stampa);

    // Design size: `caratteri` average characters wide, as high as the other
    // help windows; the narrow guides open beside the contents.
    Proporzioni::avvia(
        this, 0, 0, QSize(larghezzaCaratteri(fm, imp.caratteri), altezzaRighe(fm, kAltezzaRighe)));
    collocaSulloSchermo(this, imp.accantoAlSommario ? kSinistraAccanto : 0.125);
}

void FinestraGuida::chiudi() {
    close();
}

void FinestraGuida::mostraSommario() {
    Finestre::istanza().mostra(QStringLiteral("sommario"));
}

void FinestraGuida::stampa() {
    stampaguida(titolo_->text(), testoGuida_->text());
}

Manuale::Manuale()
    : FinestraGuida({QStringLiteral("MANUALE D'USO RAPIDO"), QString::fromLatin1(kTestoManuale),
                     128, false, true}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidafunzionamento::Guidafunzionamento()
    : FinestraGuida({QStringLiteral("FUNZIONAMENTO DEL PROGRAMMA"),
                     QString::fromLatin1(kTestoFunzionamento), 75, true, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidacalcolo::Guidacalcolo()
    : FinestraGuida({QStringLiteral("Finestra CALCOLO"), QString::fromLatin1(kTestoCalcolo), 75,
                     true, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

Guidaquadro::Guidaquadro()
    : FinestraGuida({QStringLiteral("Finestra QUADRO ECONOMICO"), QString::fromLatin1(kTestoQuadro),
                     75, true, false}) {
    setObjectName(QString::fromLatin1(kNome));
}

}  // namespace varimo
