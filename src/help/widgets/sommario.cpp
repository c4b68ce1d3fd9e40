#include "help/widgets/sommario.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "help/widgets/catalogo.h"
#include "help/widgets/frmtip.h"
#include "help/widgets/guide.h"
#include "help/widgets/licenza.h"
#include "reports/stampaguida.h"
#include "shell/modvarimo.h"
#include "shell/percorsi.h"
#include "shell/widgets/avvio.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/twips.h"

namespace varimo {

namespace {
constexpr int kLarghezza = 3975;
constexpr int kAltezza = 6825;

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
    return {w->Label1()->text(), w->Label2()->text()};
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
                   ModVarimo::nomeprogramma + QLatin1Char('"');
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
    resize(twip(this, kLarghezza), twip(this, kAltezza));

    label1_ = new QLabel(QStringLiteral("Argomenti della guida"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont f1 = label1_->font();
    f1.setBold(true);
    f1.setPointSizeF(f1.pointSizeF() * 1.2);
    label1_->setFont(f1);
    label1_->setAlignment(Qt::AlignCenter);
    collocaTwip(label1_, 120, 120, kLarghezza - 240, 375);

    for (int i = 1; i <= numeroargomenti; ++i) {
        auto* l = new QLabel(didascalia(i), this);
        l->setObjectName(QStringLiteral("lbl_%1").arg(i));
        l->setFrameShape(QFrame::Box);
        l->setLineWidth(1);
        l->setMouseTracking(true);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        collocaTwip(l, 120, 720 + (i - 1) * 600, 3075, 435);
        lbl_[static_cast<std::size_t>(i - 1)] = l;

        auto* p = new QPushButton(QStringLiteral("--->"), this);
        p->setObjectName(QStringLiteral("puls_%1").arg(i));
        collocaTwip(p, 3255, 720 + (i - 1) * 600, 600, 435);
        connect(p, &QPushButton::clicked, this, [this, i] { puls_Click(i); });
        puls_[static_cast<std::size_t>(i - 1)] = p;
    }

    cmdChiudi_ = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi_->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi_->setToolTip(QStringLiteral("cliccare per chiudere la finestra"));
    collocaTwip(cmdChiudi_, 120, 5040, kLarghezza - 240, 435);
    cmdStampa_ = new QPushButton(QStringLiteral("&Stampa"), this);
    cmdStampa_->setObjectName(QStringLiteral("cmdStampa"));
    cmdStampa_->setToolTip(QStringLiteral("cliccare per avere la copia su carta del sommario"));
    collocaTwip(cmdStampa_, 120, 5580, kLarghezza - 240, 435);
    command1_ = new QPushButton(QStringLiteral("&USCITA"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    collocaTwip(command1_, 120, 6180, kLarghezza - 240, 435);

    connect(cmdChiudi_, &QPushButton::clicked, this, &Sommario::cmdchiudi_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &Sommario::cmdstampa_Click);
    connect(command1_, &QPushButton::clicked, this, &Sommario::Command1_Click);

    // Load work, in the window's order: scaling and own size, tooltips of the
    // entry buttons, of the exit button, then the caption.
    // An entry turns bold under the mouse: the layout is fitted to the bold
    // texts, so an entry never gets cut when it is pointed at.
    for (QLabel* l : lbl_) impostaGrassetto(l, true);
    avviaScala(kLarghezza, kAltezza);
    for (QLabel* l : lbl_) impostaGrassetto(l, false);
    for (int i = 1; i <= numeroargomenti; ++i)
        puls(i)->setToolTip(QStringLiteral("cliccare per visualizzare: ") + lbl(i)->text());
    command1_->setToolTip(QStringLiteral("cliccare per uscire da ") + ModVarimo::nomeprogramma);
    setWindowTitle(ModVarimo::nomeprogramma + QStringLiteral(": guida in linea"));
}

void Sommario::puls_Click(int indice) {
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
            r.mostra<FrmTip>();
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
    for (int i = 1; i <= numeroargomenti; ++i) impostaGrassetto(lbl(i), false);
}

void Sommario::lbl_MouseMove(int indice) {
    azzeragrassetto();
    impostaGrassetto(lbl(indice), true);
}

void Sommario::form_MouseMove() {
    azzeragrassetto();
}

void Sommario::lbl_Mousedown(int indice) {
    lbl(indice)->setFrameShape(QFrame::NoFrame);
    puls_Click(indice);
}

void Sommario::lbl_MouseUp(int indice) {
    lbl(indice)->setFrameShape(QFrame::Box);
}

void Sommario::cmdchiudi_Click() {
    hide();
}

void Sommario::Command1_Click() {
    esciprogramma();
}

void Sommario::cmdstampa_Click() {
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
        if (o != lbl(i)) continue;
        switch (e->type()) {
            // Handled here: the label would pass them on to the window, whose
            // own mouse move clears the bold again.
            case QEvent::MouseMove:
                lbl_MouseMove(i);
                return true;
            case QEvent::MouseButtonPress:
                lbl_Mousedown(i);
                return true;
            case QEvent::MouseButtonRelease:
                lbl_MouseUp(i);
                return true;
            default:
                break;
        }
        break;
    }
    return FinestraProporzionata::eventFilter(o, e);
}

void Sommario::mouseMoveEvent(QMouseEvent* e) {
    form_MouseMove();
    FinestraProporzionata::mouseMoveEvent(e);
}

}  // namespace varimo
