#include "help/widgets/sommario.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/percorsi.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "help/widgets/catalogo.h"
#include "help/widgets/guide.h"
#include "help/widgets/licenza.h"
#include "help/widgets/suggerimentodelgiorno.h"
#include "reports/stampaguida.h"

namespace varimo {

namespace {
// Design size, in average characters and lines of the window's font.
constexpr double kLarghezzaCaratteri = 53;
constexpr double kAltezzaRighe = 35;

void impostaGrassetto(QLabel* l, bool grassetto) {
    QFont f = l->font();
    if (f.bold() == grassetto) return;
    f.setBold(grassetto);
    l->setFont(f);
}

// Loads a guide window (hidden when it was not loaded) and takes its title
// and text; *caricata tells whether it had to be loaded for this.
template <class W>
GuidaDaStampare leggiGuida(bool* caricata) {
    Finestre& registro = Finestre::istanza();
    *caricata = registro.trova<W>() == nullptr;
    W* w = registro.carica<W>();
    return {w->titolo()->text(), w->testoGuida()->text()};
}
}  // namespace

QString Sommario::didascalia(int i) {
    switch (i) {
        case 1:
            return QStringLiteral(" Manuale d'uso rapido");
        case 2:
            return QStringLiteral(" Funzionamento del programma");
        case 3:
            return QStringLiteral(" Finestra Calcolo");
        case 4:
            return QStringLiteral(" Finestra Quadro economico");
        case 5:
            return QStringLiteral("  Suggerimento del giorno");
        case 6:
            return QStringLiteral("  Licenza d'uso di ") + QLatin1Char('"') +
                   TestiProgramma::nomeprogramma + QLatin1Char('"');
        case 7:
            return QStringLiteral("  altri prodotti Software Veladio");
        default:
            return {};
    }
}

Sommario::Sommario() {
    setObjectName(QString::fromLatin1(kNome));
    numeroargomenti = kMassimoArgomenti;
    setMouseTracking(true);
    const QFontMetrics fm(font());

    intestazione_ = new QLabel(QStringLiteral("Argomenti della guida"), this);
    intestazione_->setObjectName(QStringLiteral("Label1"));
    QFont f1 = intestazione_->font();
    f1.setBold(true);
    f1.setPointSizeF(f1.pointSizeF() * 1.2);
    intestazione_->setFont(f1);
    intestazione_->setAlignment(Qt::AlignCenter);

    // Title, the seven entries each with its button, then the three commands,
    // one under the other, as wide as the window.
    auto* colonna = new QVBoxLayout(this);
    const int lato = larghezzaCaratteri(fm, 1.6);
    colonna->setContentsMargins(lato, lato, lato, lato);
    colonna->setSpacing(fm.height() * 2 / 3);
    colonna->addWidget(intestazione_);
    const int alto = altezzaRighe(fm, 2);
    for (int i = 1; i <= numeroargomenti; ++i) {
        auto* l = new QLabel(didascalia(i), this);
        l->setObjectName(QStringLiteral("lbl_%1").arg(i));
        l->setFrameShape(QFrame::Box);
        l->setLineWidth(1);
        l->setMouseTracking(true);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        l->setMinimumHeight(alto);
        argomenti_[static_cast<std::size_t>(i - 1)] = l;

        auto* p = new QPushButton(QStringLiteral("--->"), this);
        p->setObjectName(QStringLiteral("puls_%1").arg(i));
        // The arrow button takes its share of the line, never less than its text.
        p->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        p->setMinimumWidth(fm.horizontalAdvance(p->text()) + larghezzaCaratteri(fm, 2));
        connect(p, &QPushButton::clicked, this, [this, i] { apriArgomento(i); });
        pulsantiArgomenti_[static_cast<std::size_t>(i - 1)] = p;

        auto* riga = new QHBoxLayout;
        riga->setSpacing(fm.averageCharWidth());
        riga->addWidget(l, 41);
        riga->addWidget(p, 8);
        colonna->addLayout(riga, 1);
    }

    pulsanteChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    pulsanteChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    pulsanteChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));
    pulsanteStampa_ = new QPushButton(QStringLiteral("&Stampa"), this);
    pulsanteStampa_->setObjectName(QStringLiteral("cmdStampa"));
    pulsanteStampa_->setToolTip(
        QStringLiteral("cliccare per avere la copia su carta del sommario"));
    uscita_ = new QPushButton(QStringLiteral("&USCITA"), this);
    uscita_->setObjectName(QStringLiteral("Command1"));
    for (QPushButton* b : {pulsanteChiudi_, pulsanteStampa_, uscita_}) {
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        b->setMinimumHeight(alto);
        colonna->addWidget(b, 1);
    }

    connect(pulsanteChiudi_, &QPushButton::clicked, this, &Sommario::chiudi);
    connect(pulsanteStampa_, &QPushButton::clicked, this, &Sommario::stampa);
    connect(uscita_, &QPushButton::clicked, this, &Sommario::esciDalProgramma);

    // Load work, in the window's order: design size, tooltips of the entry
    // buttons, of the exit button, then the caption. An entry turns bold under
    // the mouse: each keeps the room of its bold text, so that it is never
    // cut when it is pointed at.
    for (QLabel* l : argomenti_) {
        impostaGrassetto(l, true);
        l->setMinimumWidth(l->minimumSizeHint().width());
        impostaGrassetto(l, false);
    }
    Proporzioni::avvia(
        this, 0, 0,
        QSize(larghezzaCaratteri(fm, kLarghezzaCaratteri), altezzaRighe(fm, kAltezzaRighe)));
    collocaSulloSchermo(this);
    for (int i = 1; i <= numeroargomenti; ++i)
        pulsanteArgomento(i)->setToolTip(QStringLiteral("cliccare per visualizzare: ") +
                                         argomento(i)->text());
    uscita_->setToolTip(QStringLiteral("cliccare per uscire da ") + TestiProgramma::nomeprogramma);
    setWindowTitle(TestiProgramma::nomeprogramma + QStringLiteral(": guida in linea"));
}

void Sommario::apriArgomento(int indice) {
    Finestre& r = Finestre::istanza();
    switch (indice) {
        case 1:
            r.mostra<Manuale>();
            break;
        case 2:
            r.mostra<Guidafunzionamento>();
            break;
        case 3:
            r.mostra<Guidacalcolo>();
            break;
        case 4:
            r.mostra<Guidaquadro>();
            break;
        case 5:
            r.mostra<SuggerimentoDelGiorno>();
            break;
        case 6:
            r.mostra<Licenza>();
            break;
        case 7:
            r.mostra<Catalogo>();
            break;
        default:
            break;
    }
}

void Sommario::azzeragrassetto() {
    for (int i = 1; i <= numeroargomenti; ++i) impostaGrassetto(argomento(i), false);
}

void Sommario::evidenziaArgomento(int indice) {
    azzeragrassetto();
    impostaGrassetto(argomento(indice), true);
}

void Sommario::togliEvidenza() {
    azzeragrassetto();
}

void Sommario::premiArgomento(int indice) {
    argomento(indice)->setFrameShape(QFrame::NoFrame);
    apriArgomento(indice);
}

void Sommario::rilasciaArgomento(int indice) {
    argomento(indice)->setFrameShape(QFrame::Box);
}

void Sommario::chiudi() {
    hide();
}

void Sommario::esciDalProgramma() {
    Finestre::istanza().esci();
}

void Sommario::stampa() {
    // The four guides, loaded hidden when they are not loaded yet; those
    // loaded only for the print are unloaded again afterwards, so that no
    // invisible window is left behind.
    std::array<bool, 4> caricate{};
    const std::array<GuidaDaStampare, 4> guide = {
        leggiGuida<Manuale>(&caricate[0]),
        leggiGuida<Guidafunzionamento>(&caricate[1]),
        leggiGuida<Guidacalcolo>(&caricate[2]),
        leggiGuida<Guidaquadro>(&caricate[3]),
    };
    stampaguidacompleta(guide, cartellaProgramma());
    Finestre& r = Finestre::istanza();
    if (caricate[0]) r.chiudi<Manuale>();
    if (caricate[1]) r.chiudi<Guidafunzionamento>();
    if (caricate[2]) r.chiudi<Guidacalcolo>();
    if (caricate[3]) r.chiudi<Guidaquadro>();
}

bool Sommario::eventFilter(QObject* o, QEvent* e) {
    for (int i = 1; i <= numeroargomenti; ++i) {
        if (o != argomento(i)) continue;
        switch (e->type()) {
            // Handled here: the label would pass them on to the window, whose
            // own mouse move clears the bold again.
            case QEvent::MouseMove:
                evidenziaArgomento(i);
                return true;
            case QEvent::MouseButtonPress:
                premiArgomento(i);
                return true;
            case QEvent::MouseButtonRelease:
                rilasciaArgomento(i);
                return true;
            default:
                break;
        }
        break;
    }
    return QWidget::eventFilter(o, e);
}

void Sommario::mouseMoveEvent(QMouseEvent* e) {
    togliEvidenza();
    QWidget::mouseMoveEvent(e);
}

}  // namespace varimo
