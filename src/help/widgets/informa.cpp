#include "help/widgets/informa.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "help/edizione.h"
#include "shell/modvarimo.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 5760;

QLabel* etichetta(QWidget* padre, const char* nome, const QString& testo, int top, int altezza) {
    auto* l = new QLabel(testo, padre);
    l->setObjectName(QString::fromLatin1(nome));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    collocaTwip(l, 120, top, kLarghezza - 240, altezza);
    return l;
}

void linea(QWidget* padre, const char* nome, int top) {
    auto* f = new QFrame(padre);
    f->setObjectName(QString::fromLatin1(nome));
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    collocaTwip(f, 240, top, kLarghezza - 480, 30);
}
}  // namespace

Informa::Informa() {
    setObjectName(QString::fromLatin1(kNome));
    impostaFattoreTwip(this, fattoreCarattere(font()));
    resize(twip(this, kLarghezza), twip(this, 4200));

    label1_ = etichetta(this, "Label1", QString(), 180, 780);
    QFont grande = label1_->font();
    grande.setBold(true);
    grande.setWeight(QFont::Black);
    grande.setPointSizeF(grande.pointSizeF() * 2.6);
    label1_->setFont(grande);
    label2_ = etichetta(this, "Label2", QString(), 1000, 375);
    linea(this, "Line1", 1440);
    label6_ = etichetta(this, "Label6", QString(), 1560, 375);
    label5_ = etichetta(this, "Label5", QStringLiteral("per sistemi Windows a 32 bit "), 1980, 375);
    linea(this, "Line2", 2460);
    label3_ = etichetta(this, "Label3", QStringLiteral("software Veladio"), 2580, 375);
    QFont marchio = label3_->font();
    marchio.setItalic(true);
    marchio.setBold(true);
    label3_->setFont(marchio);
    linea(this, "Line3", 3060);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    collocaTwip(cmdOK_, (kLarghezza - 1215) / 2, 3240, 1215, 435);
    connect(cmdOK_, &QPushButton::clicked, this, &Informa::cmdOK_Click);

    // Load work: the texts that come from the program-wide values.
    setWindowTitle(QStringLiteral("Informazioni su ") + ModVarimo::nomeprogramma);
    label1_->setText(ModVarimo::nomeprogramma);
    label2_->setText(ModVarimo::descrizioneprogramma);
    label6_->setText(rigaEdizione(ModVarimo::versioneprogramma, ModVarimo::dataversione,
                                  ModVarimo::codicecompilazione));
    adattaAlTesto(this);
    setFixedSize(twip(this, kLarghezza), twip(this, 4200));
}

void Informa::cmdOK_Click() {
    hide();
}

}  // namespace varimo
