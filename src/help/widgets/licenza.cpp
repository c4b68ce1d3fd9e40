#include "help/widgets/licenza.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "help/widgets/paginaaiuto.h"
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

    nomeProgramma_ = new QLabel(this);
    nomeProgramma_->setObjectName(QStringLiteral("Label2"));
    QFont f = nomeProgramma_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    nomeProgramma_->setFont(f);
    nomeProgramma_->setAlignment(Qt::AlignCenter);

    testo_ = new QPlainTextEdit(this);
    testo_->setObjectName(QStringLiteral("Text1"));
    testo_->setReadOnly(true);
    testo_->setPlainText(testoAiuto(QString::fromLatin1(kTestoLicenza)));

    pulsanteChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    pulsanteChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    pulsanteChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra LICENZA D'USO"));
    pulsanteSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    pulsanteSommario_->setObjectName(QStringLiteral("cmdSommario"));
    pulsanteSommario_->setToolTip(
        QStringLiteral("cliccare per visualizzare il sommario della guida"));
    pulsanteStampa_ = new QPushButton(QStringLiteral("S&tampa"), this);
    pulsanteStampa_->setObjectName(QStringLiteral("cmdStampa"));
    pulsanteStampa_->setToolTip(QStringLiteral("cliccare per stampare la LICENZA D'USO"));

    impaginaPaginaAiuto(this, nomeProgramma_, testo_,
                        {pulsanteChiudi_, pulsanteSommario_, pulsanteStampa_});

    connect(pulsanteChiudi_, &QPushButton::clicked, this, &Licenza::chiudi);
    connect(pulsanteSommario_, &QPushButton::clicked, this, &Licenza::mostraSommario);
    connect(pulsanteStampa_, &QPushButton::clicked, this, &Licenza::stampa);

    nomeProgramma_->setText(TestiProgramma::nomeprogramma);
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
    stampalicenza(testo_->toPlainText());
}

}  // namespace varimo
