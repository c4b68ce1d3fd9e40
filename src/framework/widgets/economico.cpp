#include "framework/widgets/economico.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <functional>
#include <vector>

#include "calculation/widgets/calcolo.h"
#include "shell/modvarimo.h"
#include "shell/widgets/clsresize.h"
#include "shell/widgets/controlli.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/testodigitato.h"
#include "shell/widgets/twips.h"

namespace varimo {

using namespace disegno;

Economico::Economico(QWidget* parent) : QMainWindow(parent), stato_(new StatoEconomico(this)) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(testieconomico::titoloFinestra);
    creaControlli();
    // The controls show the state's texts before the layout is fitted to them.
    collegaStato();
    limitaTestiDigitati(this);
    // Scaling: record the design layout, size to the screen, then the
    // window's own size.
    scaler_ = scalaFinestraPrincipale(this, [this] {
        if (scaler_) scaler_->ResizeControls();
        spaziaDopoD();
    });
    stato_->formLoad();
}

Economico::~Economico() {
    scaler_.reset();
}

void Economico::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (scaler_) scaler_->ResizeControls();
    spaziaDopoD();
}

void Economico::mostra(const StatoCalcolo& calcolo) {
    stato_->mostra(calcolo);
    spaziaDopoD();
}

// The works end with row D: the blank line that separates them from the sums
// at the administration's disposal falls after D wherever it is shown (third
// when B is empty), not after the fourth row. The rows between D and the
// fifth move down by the gap; a row still where this put it is moved back
// first (one placed afresh by the scaler is not).
void Economico::spaziaDopoD() {
    const auto sposta = [this](int k, int dy) {
        for (QWidget* w : std::initializer_list<QWidget*>{num_[k], tipo_[k], costo_[k], perc_[k],
                                                          riferimento_[k]})
            w->move(w->x(), w->y() + dy);
    };
    for (int k = 2; k <= 4; ++k) {
        if (spostamento_[k] != 0 && tipo_[k]->y() == dovePosta_[k]) sposta(k, -spostamento_[k]);
        spostamento_[k] = 0;
    }
    int posizioneD = 4;
    for (int k = 1; k <= 4; ++k) {
        if (stato_->origine(k) == 4) posizioneD = k;
    }
    if (posizioneD >= 4) return;
    const int riga = tipo_[4]->y() - tipo_[3]->y();
    const int salto = tipo_[5]->y() - tipo_[4]->y() - riga;
    if (salto <= 0) return;
    for (int k = posizioneD + 1; k <= 4; ++k) {
        sposta(k, salto);
        spostamento_[k] = salto;
        dovePosta_[k] = tipo_[k]->y();
    }
}

void Economico::creaControlli() {
    QWidget* area = creaAreaCentrale(this);

    const struct {
        int indice;
        QString testo, suggerimento;
        int sinistra, larghezza;
    } titoli[] = {
        {19, testieconomico::perc19, testieconomico::perc19Suggerimento, 360, 3240},
        {20, testieconomico::perc20, testieconomico::perc20Suggerimento, 3600, 2535},
        {0, testieconomico::perc0, testieconomico::perc0Suggerimento, 6240, 495},
    };
    for (const auto& t : titoli)
        perc_[t.indice] = titoloColonna(area, nomeControllo("perc", t.indice), t.testo,
                                        t.suggerimento, t.sinistra, t.larghezza);
    label1_ = titoloColonna(area, QStringLiteral("Label1"), testieconomico::label1,
                            testieconomico::label1Suggerimento, 6840, 2535);

    for (int k = 1; k <= kVociQuadro; ++k) {
        const int alto = altoRiga(k);
        auto* n = new QLabel(area);
        n->setObjectName(nomeControllo("num", k));
        collocaTwip(n, 120, alto, 240, kRiga);
        num_[k] = n;

        auto* t = new QLineEdit(area);
        t->setObjectName(nomeControllo("tipo", k));
        collocaTwip(t, 360, alto, 3240, kRiga);
        tipo_[k] = t;

        auto* c = new QLineEdit(area);
        c->setObjectName(nomeControllo("costo", k));
        c->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        collocaTwip(c, 3600, alto, 2535, kRiga);
        costo_[k] = c;

        auto* p = new QLabel(area);
        p->setObjectName(nomeControllo("perc", k));
        p->setAlignment(Qt::AlignCenter);
        collocaTwip(p, 6240, alto, 495, kRiga);
        perc_[k] = p;

        auto* r = new QLabel(area);
        r->setObjectName(nomeControllo("riferimento", k));
        collocaTwip(r, 6840, alto, 2535, kRiga);
        riferimento_[k] = r;
    }

    auto* t19 = new QLineEdit(area);
    t19->setObjectName(nomeControllo("tipo", kTotaleQuadro));
    t19->setToolTip(testieconomico::tipo19Suggerimento);
    {
        QFont g = t19->font();
        g.setBold(true);
        t19->setFont(g);
    }
    collocaTwip(t19, 120, 5280, 3480, kRiga);
    tipo_[kTotaleQuadro] = t19;

    auto* c19 = new QLineEdit(area);
    c19->setObjectName(nomeControllo("costo", kTotaleQuadro));
    c19->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    {
        QFont g = c19->font();
        g.setBold(true);
        c19->setFont(g);
    }
    collocaTwip(c19, 3600, 5280, 2535, kRiga);
    costo_[kTotaleQuadro] = c19;

    label2_ = new QLabel(testieconomico::label2, area);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setToolTip(testieconomico::label2Suggerimento);
    collocaTwip(label2_, 120, 5550, 1200, kRiga);

    nomeprog_ = new QLineEdit(area);
    nomeprog_->setObjectName(QStringLiteral("nomeprog"));
    collocaTwip(nomeprog_, 1320, 5550, 4815, kRiga);

    valut_ = new ElencoIntero(area);
    valut_->setObjectName(QStringLiteral("valut"));
    valut_->setEditable(true);
    valut_->setInsertPolicy(QComboBox::NoInsert);
    valut_->setCompleter(nullptr);
    collocaTwip(valut_, 120, 5800, 1215, kRiga);

    auto tasto = [area](const char* n, const QString& testo, const QString& suggerimento,
                        int sinistra, int alto, int larghezza = 1320) {
        auto* b = new QPushButton(testo, area);
        b->setObjectName(QString::fromLatin1(n));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        collocaTwip(b, sinistra, alto, larghezza, kTasto);
        return b;
    };
    elabor_ = tasto("elabor", testieconomico::elabor, QString(), 8040, 5400, 1335);
    aiuto_ = tasto("aiuto", testieconomico::aiuto, testieconomico::aiutoSuggerimento, 4080, 5880);
    command6_ =
        tasto("Command6", QStringLiteral("&Guida in linea"),
              QStringLiteral("cliccare per visualizzare il sommario della Guida"), 5400, 5880);
    cmdStampa_ = tasto("cmdStampa", QStringLiteral("&Stampa"),
                       QStringLiteral("clicca per stampare i dati della finestra"), 6720, 5880);
    esco_ = tasto("esco", QStringLiteral("&USCITA"), QString(), 8040, 5880, 1335);
}

void Economico::collegaStato() {
    StatoEconomico* s = stato_;
    std::vector<std::function<void()>> viste;
    auto vista = [&viste](auto& valore, std::function<void()> f) {
        valore.allaVista(f);
        viste.push_back(std::move(f));
    };
    auto testo = [](QLineEdit* e, const QString& t) { mostraTesto(e, t); };
    auto didascalia = [](QLabel* l, const QString& t) {
        if (l->text() != t) l->setText(t);
    };

    for (int k = 1; k <= kTotaleQuadro; ++k) {
        RigaQuadro& r = s->riga(k);
        vista(r.tipo, [this, s, k, testo] { testo(tipo_[k], s->tipo(k)); });
        vista(r.costo, [this, s, k, testo] { testo(costo_[k], s->costo(k)); });
        connect(tipo_[k], &QLineEdit::textEdited, s,
                [s, k](const QString& t) { s->scriviTipo(k, t); });
        connect(costo_[k], &QLineEdit::textEdited, s,
                [s, k](const QString& t) { s->scriviCosto(k, t); });
        if (k == kTotaleQuadro) break;
        vista(r.num, [this, s, k, didascalia] { didascalia(num_[k], s->num(k)); });
        vista(r.perc, [this, s, k, didascalia] { didascalia(perc_[k], s->perc(k)); });
        vista(r.riferimento,
              [this, s, k, didascalia] { didascalia(riferimento_[k], s->riferimento(k)); });
        vista(r.visibile, [this, s, k] {
            const bool v = s->visibile(k);
            for (QWidget* w : std::initializer_list<QWidget*>{num_[k], tipo_[k], costo_[k],
                                                              perc_[k], riferimento_[k]}) {
                if (w->isHidden() == v) w->setVisible(v);
            }
        });
    }
    vista(s->nomeprogValore(), [this, s, testo] { testo(nomeprog_, s->nomeprog()); });
    vista(s->valutVociValore(), [this] { aggiornaValut(); });
    vista(s->valutValore(), [this] { aggiornaValut(); });
    vista(s->suggerimentoEscoValore(), [this, s] { esco_->setToolTip(s->suggerimentoEsco()); });

    connect(nomeprog_, &QLineEdit::textEdited, s, [s](const QString& t) { s->scriviNomeprog(t); });
    connect(valut_->lineEdit(), &QLineEdit::textEdited, s,
            [s](const QString& t) { s->scriviValut(t); });
    connect(valut_, &QComboBox::activated, s, [s](int p) { s->scegliValut(p); });

    connect(elabor_, &QPushButton::clicked, this, &Economico::elabor_Click);
    connect(aiuto_, &QPushButton::clicked, this, &Economico::aiuto_Click);
    connect(esco_, &QPushButton::clicked, this, &Economico::esco_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &Economico::cmdStampa_Click);
    connect(command6_, &QPushButton::clicked, this, &Economico::Command6_Click);

    for (const auto& v : viste) v();
}

void Economico::aggiornaValut() {
    const QStringList& voci = stato_->valutVoci();
    QStringList attuali;
    for (int k = 0; k < valut_->count(); ++k) attuali << valut_->itemText(k);
    const bool scrittoQui = valut_->lineEdit()->text() == stato_->valut();
    const int cursore = valut_->lineEdit()->cursorPosition();
    if (attuali != voci) {
        valut_->clear();
        valut_->addItems(voci);
    }
    // An entry of the list is selected when the text is one; any other text
    // is kept with nothing selected.
    const QString t = stato_->valut();
    const int p = voci.indexOf(t);
    if (valut_->currentIndex() != p) valut_->setCurrentIndex(p);
    if (valut_->currentText() != t) {
        valut_->setEditText(t);
        valut_->lineEdit()->setCursorPosition(
            scrittoQui ? std::min(cursore, static_cast<int>(t.size())) : 0);
    }
}

void Economico::elabor_Click() {
    // The calculation window is loaded first: a window built here starts with
    // no constraint pending, and the rework's state must outlast that start.
    Calcolo* calcolo = Finestre::istanza().carica<Calcolo>();
    calcolo->storia().registraPasso(QStringLiteral("rielaborazione quadro economico"), [calcolo] {
        ModVarimo::statovincolo = 1;
        calcolo->stato().impostaCmdannullaVisibile(true);
    });
    Finestre::porta(calcolo);
}

}  // namespace varimo
