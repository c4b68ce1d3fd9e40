#include "help/widgets/licenza.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "help/widgets/testiaiuto.h"
#include "reports/stampaguida.h"

namespace varimo {

namespace {
// Design size, in average characters and lines of the window's font, and the
// left edge, as a share of the screen's width.
constexpr double kLarghezzaCaratteri = 75;
constexpr double kAltezzaRighe = 35;
constexpr double kSinistra = 0.3;
}  // namespace

Licenza::Licenza() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("LICENZA D'USO"));
    const QFontMetrics fm(font());

    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    QFont f = label2_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    label2_->setFont(f);
    label2_->setAlignment(Qt::AlignCenter);

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setPlainText(testoAiuto(QString::fromLatin1(kTestoLicenza)));

    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra LICENZA D'USO"));
    cmdSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    cmdSommario_->setObjectName(QStringLiteral("cmdSommario"));
    cmdSommario_->setToolTip(QStringLiteral("cliccare per visualizzare il sommario della guida"));
    cmdStampa_ = new QPushButton(QStringLiteral("S&tampa"), this);
    cmdStampa_->setObjectName(QStringLiteral("cmdStampa"));
    cmdStampa_->setToolTip(QStringLiteral("cliccare per stampare la LICENZA D'USO"));

    // The program's name, the text, and the three buttons side by side.
    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height() / 2);
    colonna->addWidget(label2_);
    colonna->addWidget(text1_, 1);
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(lato);
    for (QPushButton* b : {cmdChiudi_, cmdSommario_, cmdStampa_}) {
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        b->setMinimumHeight(altezzaRighe(fm, 2));
        tasti->addWidget(b, 1);
    }
    colonna->addLayout(tasti);

    connect(cmdChiudi_, &QPushButton::clicked, this, &Licenza::chiudi);
    connect(cmdSommario_, &QPushButton::clicked, this, &Licenza::mostraSommario);
    connect(cmdStampa_, &QPushButton::clicked, this, &Licenza::stampa);

    label2_->setText(TestiProgramma::nomeprogramma);
    // As the narrow guides: beside the contents window.
    Proporzioni::avvia(
        this, 0, 0,
        QSize(larghezzaCaratteri(fm, kLarghezzaCaratteri), altezzaRighe(fm, kAltezzaRighe)));
    collocaSulloSchermo(this, kSinistra);
}

void Licenza::chiudi() {
    hide();
}

void Licenza::mostraSommario() {
    Finestre::istanza().mostra(QStringLiteral("sommario"));
}

void Licenza::stampa() {
    stampalicenza(text1_->toPlainText());
}

}  // namespace varimo
