#include "help/widgets/suggerimentodelgiorno.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "common/widgets/proporzioni.h"

namespace varimo {

SuggerimentoDelGiorno::SuggerimentoDelGiorno() : SuggerimentoDelGiorno(percorsoSuggerimenti()) {}

SuggerimentoDelGiorno::SuggerimentoDelGiorno(const QString& percorsoSuggerimenti) {
    costruisci();
    dati_.carica(percorsoSuggerimenti);
    aggiorna();
}

void SuggerimentoDelGiorno::costruisci() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("Suggerimento del giorno"));
    const QFontMetrics fm(font());

    lampadina_ = new QLabel(this);
    lampadina_->setObjectName(QStringLiteral("Picture1"));
    const int lato = altezzaRighe(fm, 3.5);
    lampadina_->setFixedSize(lato, lato);

    intestazione_ = new QLabel(QStringLiteral("Non tutti sanno che..."), this);
    intestazione_->setObjectName(QStringLiteral("Label1"));
    QFont f = intestazione_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    intestazione_->setFont(f);

    testoSuggerimento_ = new QLabel(this);
    testoSuggerimento_->setObjectName(QStringLiteral("lblTipText"));
    testoSuggerimento_->setWordWrap(true);
    testoSuggerimento_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    testoSuggerimento_->setAutoFillBackground(true);
    QPalette p = testoSuggerimento_->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    testoSuggerimento_->setPalette(p);
    testoSuggerimento_->setMargin(fm.averageCharWidth());
    testoSuggerimento_->setMinimumHeight(altezzaRighe(fm, 9));

    pulsantePrecedente_ = new QPushButton(QStringLiteral("&Precedente"), this);
    pulsantePrecedente_->setObjectName(QStringLiteral("cmdprecedente"));
    pulsanteSeguente_ = new QPushButton(QStringLiteral("&Successivo"), this);
    pulsanteSeguente_->setObjectName(QStringLiteral("cmdNextTip"));
    pulsanteOk_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    pulsanteOk_->setObjectName(QStringLiteral("cmdOK"));
    pulsanteOk_->setDefault(true);

    // The bulb on the left; on its right the title, the tip and the buttons.
    auto* riga = new QHBoxLayout(this);
    const int margine = larghezzaCaratteri(fm, 1.6);
    riga->setContentsMargins(margine, margine, margine, margine);
    riga->setSpacing(margine);
    riga->addWidget(lampadina_, 0, Qt::AlignTop);
    auto* colonna = new QVBoxLayout;
    colonna->setSpacing(fm.height() / 2);
    colonna->addWidget(intestazione_);
    colonna->addWidget(testoSuggerimento_, 1);
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(margine);
    for (QPushButton* b : {pulsantePrecedente_, pulsanteSeguente_, pulsanteOk_}) {
        b->setMinimumHeight(altezzaRighe(fm, 2));
        tasti->addWidget(b, 1);
    }
    colonna->addLayout(tasti);
    riga->addLayout(colonna, 1);

    fissaMisura(this, larghezzaCaratteri(fm, 83));
    lampadina_->setPixmap(disegnoLampadina(lampadina_->width()));

    connect(pulsantePrecedente_, &QPushButton::clicked, this,
            &SuggerimentoDelGiorno::suggerimentoPrecedente);
    connect(pulsanteSeguente_, &QPushButton::clicked, this,
            &SuggerimentoDelGiorno::suggerimentoSeguente);
    connect(pulsanteOk_, &QPushButton::clicked, this, &SuggerimentoDelGiorno::chiudi);
}

void SuggerimentoDelGiorno::aggiorna() {
    testoSuggerimento_->setText(dati_.testo());
}

void SuggerimentoDelGiorno::suggerimentoSeguente() {
    dati_.suggerimentoSeguente();
    aggiorna();
}

void SuggerimentoDelGiorno::suggerimentoPrecedente() {
    dati_.suggerimentoPrecedente();
    aggiorna();
}

void SuggerimentoDelGiorno::chiudi() {
    hide();
}

void SuggerimentoDelGiorno::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Escape:
            // The cancel button.
            pulsanteOk_->click();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter presses the button that has the focus, otherwise the
            // default button.
            if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->parentWidget() == this)
                b->click();
            else
                pulsanteOk_->click();
            return;
        default:
            QWidget::keyPressEvent(e);
    }
}

QPixmap SuggerimentoDelGiorno::disegnoLampadina(int lato) {
    const int l = qMax(lato, 16);
    QPixmap pm(l, l);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = l / 16.0;
    // Rays.
    p.setPen(QPen(QColor(230, 170, 0), u * 0.8, Qt::SolidLine, Qt::RoundCap));
    const QPointF centro(8 * u, 6.5 * u);
    for (int i = 0; i < 7; ++i) {
        const double a = (200 + i * 23.3) * 3.14159265 / 180.0;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(centro + d * 5.6 * u, centro + d * 7.4 * u);
    }
    // Glass.
    QRadialGradient vetro(centro - QPointF(1.2 * u, 1.2 * u), 5 * u);
    vetro.setColorAt(0, QColor(255, 255, 210));
    vetro.setColorAt(1, QColor(255, 215, 40));
    p.setBrush(vetro);
    p.setPen(QPen(QColor(150, 110, 0), u * 0.6));
    QPainterPath bulbo;
    bulbo.addEllipse(centro, 4.3 * u, 4.3 * u);
    QPainterPath collo;
    collo.addRect(QRectF(6 * u, 9.5 * u, 4 * u, 2 * u));
    p.drawPath(bulbo.united(collo));
    // Screw base.
    p.setBrush(QColor(140, 140, 150));
    p.setPen(QPen(QColor(70, 70, 80), u * 0.5));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(6 * u, (11.5 + i * 1.2) * u, 4 * u, 1.2 * u), u * 0.4, u * 0.4);
    p.drawEllipse(QRectF(7.2 * u, 15 * u, 1.6 * u, 0.9 * u));
    return pm;
}

}  // namespace varimo
