#include "help/widgets/licenza.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "help/widgets/sommario.h"
#include "help/widgets/testiaiuto.h"
#include "reports/stampaguida.h"
#include "shell/modvarimo.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 5640;
constexpr int kAltezza = 6825;
constexpr int kSinistra = 5467;
}  // namespace

Licenza::Licenza() {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(QStringLiteral("LICENZA D'USO"));
    resize(twip(this, kLarghezza), twip(this, kAltezza));

    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    QFont f = label2_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    label2_->setFont(f);
    label2_->setAlignment(Qt::AlignCenter);
    collocaTwip(label2_, 120, 120, kLarghezza - 240, 435);

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setPlainText(testoAiuto(QString::fromLatin1(kTestoLicenza)));
    collocaTwip(text1_, 120, 660, kLarghezza - 240, 5340);

    const int larghezzaTasto = (kLarghezza - 240 - 240) / 3;
    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra LICENZA D'USO"));
    collocaTwip(cmdChiudi_, 120, 6120, larghezzaTasto, 495);
    cmdSommario_ = new QPushButton(QStringLiteral("&Sommario"), this);
    cmdSommario_->setObjectName(QStringLiteral("cmdSommario"));
    cmdSommario_->setToolTip(QStringLiteral("cliccare per visualizzare il sommario della guida"));
    collocaTwip(cmdSommario_, 240 + larghezzaTasto, 6120, larghezzaTasto, 495);
    cmdStampa_ = new QPushButton(QStringLiteral("S&tampa"), this);
    cmdStampa_->setObjectName(QStringLiteral("cmdStampa"));
    cmdStampa_->setToolTip(QStringLiteral("cliccare per stampare la LICENZA D'USO"));
    collocaTwip(cmdStampa_, 360 + 2 * larghezzaTasto, 6120, larghezzaTasto, 495);

    connect(cmdChiudi_, &QPushButton::clicked, this, &Licenza::cmdchiudi_Click);
    connect(cmdSommario_, &QPushButton::clicked, this, &Licenza::cmdSommario_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &Licenza::cmdstampa_Click);

    avviaScala(kLarghezza, kAltezza, kSinistra);
    label2_->setText(ModVarimo::nomeprogramma);
}

void Licenza::cmdchiudi_Click() {
    hide();
}

void Licenza::cmdSommario_Click() {
    Finestre::istanza().mostra<Sommario>();
}

void Licenza::cmdstampa_Click() {
    stampalicenza(text1_->toPlainText());
}

}  // namespace varimo
