#include "help/widgets/informa.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/testiprogramma.h"
#include "common/widgets/proporzioni.h"
#include "help/edizione.h"

namespace varimo {

namespace {
// Width of the window, in average characters of its font.
constexpr double kLarghezzaCaratteri = 77;

QLabel* etichetta(QVBoxLayout* colonna, const char* nome, const QString& testo) {
    auto* l = new QLabel(testo, colonna->parentWidget());
    l->setObjectName(QString::fromLatin1(nome));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    colonna->addWidget(l);
    return l;
}

void linea(QVBoxLayout* colonna, const char* nome) {
    auto* f = new QFrame(colonna->parentWidget());
    f->setObjectName(QString::fromLatin1(nome));
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    colonna->addWidget(f);
}
}  // namespace

Informa::Informa() {
    setObjectName(QString::fromLatin1(kNome));
    const QFontMetrics fm(font());
    // Name, description, edition and maker one under the other, between
    // lines, then the button.
    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height() / 2);

    nomeProgramma_ = etichetta(colonna, "Label1", QString());
    QFont grande = nomeProgramma_->font();
    grande.setBold(true);
    grande.setWeight(QFont::Black);
    grande.setPointSizeF(grande.pointSizeF() * 2.6);
    nomeProgramma_->setFont(grande);
    descrizione_ = etichetta(colonna, "Label2", QString());
    linea(colonna, "Line1");
    edizione_ = etichetta(colonna, "Label6", QString());
    sistemi_ = etichetta(colonna, "Label5", QStringLiteral("per sistemi Windows a 32 bit "));
    linea(colonna, "Line2");
    marchio_ = etichetta(colonna, "Label3", QStringLiteral("software Veladio"));
    QFont marchio = marchio_->font();
    marchio.setItalic(true);
    marchio.setBold(true);
    marchio_->setFont(marchio);
    linea(colonna, "Line3");

    pulsanteOk_ = new QPushButton(QStringLiteral("OK"), this);
    pulsanteOk_->setObjectName(QStringLiteral("cmdOK"));
    pulsanteOk_->setDefault(true);
    pulsanteOk_->setMinimumSize(larghezzaCaratteri(fm, 16), altezzaRighe(fm, 2));
    colonna->addWidget(pulsanteOk_, 0, Qt::AlignHCenter);
    connect(pulsanteOk_, &QPushButton::clicked, this, &Informa::chiudi);

    // Load work: the program's own texts.
    setWindowTitle(QStringLiteral("Informazioni su ") + TestiProgramma::nomeprogramma);
    nomeProgramma_->setText(TestiProgramma::nomeprogramma);
    descrizione_->setText(TestiProgramma::descrizioneprogramma);
    edizione_->setText(rigaEdizione(TestiProgramma::versioneprogramma, TestiProgramma::dataversione,
                                    TestiProgramma::codicecompilazione));
    fissaMisura(this, larghezzaCaratteri(fm, kLarghezzaCaratteri));
}

void Informa::chiudi() {
    hide();
}

}  // namespace varimo
