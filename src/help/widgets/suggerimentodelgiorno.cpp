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

    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    const int lato = altezzaRighe(fm, 3.5);
    picture1_->setFixedSize(lato, lato);

    label1_ = new QLabel(QStringLiteral("Non tutti sanno che..."), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont f = label1_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    label1_->setFont(f);

    lblTipText_ = new QLabel(this);
    lblTipText_->setObjectName(QStringLiteral("lblTipText"));
    lblTipText_->setWordWrap(true);
    lblTipText_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblTipText_->setAutoFillBackground(true);
    QPalette p = lblTipText_->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    lblTipText_->setPalette(p);
    lblTipText_->setMargin(fm.averageCharWidth());
    lblTipText_->setMinimumHeight(altezzaRighe(fm, 9));

    cmdprecedente_ = new QPushButton(QStringLiteral("&Precedente"), this);
    cmdprecedente_->setObjectName(QStringLiteral("cmdprecedente"));
    cmdNextTip_ = new QPushButton(QStringLiteral("&Successivo"), this);
    cmdNextTip_->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);

    // The bulb on the left; on its right the title, the tip and the buttons.
    auto* riga = new QHBoxLayout(this);
    const int margine = larghezzaCaratteri(fm, 1.6);
    riga->setContentsMargins(margine, margine, margine, margine);
    riga->setSpacing(margine);
    riga->addWidget(picture1_, 0, Qt::AlignTop);
    auto* colonna = new QVBoxLayout;
    colonna->setSpacing(fm.height() / 2);
    colonna->addWidget(label1_);
    colonna->addWidget(lblTipText_, 1);
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(margine);
    for (QPushButton* b : {cmdprecedente_, cmdNextTip_, cmdOK_}) {
        b->setMinimumHeight(altezzaRighe(fm, 2));
        tasti->addWidget(b, 1);
    }
    colonna->addLayout(tasti);
    riga->addLayout(colonna, 1);

    fissaMisura(this, larghezzaCaratteri(fm, 83));
    picture1_->setPixmap(disegnoLampadina(picture1_->width()));

    connect(cmdprecedente_, &QPushButton::clicked, this, &SuggerimentoDelGiorno::suggerimentoPrecedente);
    connect(cmdNextTip_, &QPushButton::clicked, this, &SuggerimentoDelGiorno::suggerimentoSeguente);
    connect(cmdOK_, &QPushButton::clicked, this, &SuggerimentoDelGiorno::chiudi);
}

void SuggerimentoDelGiorno::aggiorna() {
    lblTipText_->setText(dati_.testo());
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
            cmdOK_->click();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter presses the button that has the focus, otherwise the
            // default button.
            if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->parentWidget() == this)
                b->click();
            else
                cmdOK_->click();
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
