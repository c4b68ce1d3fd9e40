#include "calculation/widgets/calcolo.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <vector>

#include "calculation/numeri.h"
#include "framework/widgets/economico.h"
#include "shell/interazione.h"
#include "shell/widgets/clsresize.h"
#include "shell/widgets/controlli.h"
#include "shell/widgets/finestre.h"
#include "shell/widgets/testodigitato.h"
#include "shell/widgets/twips.h"

namespace varimo {

using namespace disegno;

namespace {
// How the keyboard sets a percentage (the scroll bar has no tooltip of its own
// in the design).
const QString kSuggerimentoBarra = QStringLiteral(
    "percentuale: frecce ±1, Pag su/Pag giù ±5, oppure digitare le cifre (2 e 2 per il 22%)");
}  // namespace

Calcolo::Calcolo(QWidget* parent) : QMainWindow(parent), stato_(new StatoCalcolo(this)) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(testicalcolo::titoloFinestra);
    creaControlli();
    // The controls show the state's texts before the layout is fitted to them.
    collegaStato();
    limitaTestiDigitati(this);
    // Scaling: record the design layout, size to the screen, then the
    // window's own size.
    scaler_ = scalaFinestraPrincipale(this, [this] {
        if (scaler_) scaler_->ResizeControls();
    });
    stato_->formLoad();
    // The history starts from the loaded window, which counts as saved.
    storia_ = new StoriaCalcolo(*stato_);
    collegaModifiche();
}

Calcolo::~Calcolo() {
    scaler_.reset();
}

void Calcolo::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (scaler_) scaler_->ResizeControls();
}

void Calcolo::creaControlli() {
    QWidget* area = creaAreaCentrale(this);

    // Column headings, in the order the window shows them.
    const struct {
        int indice;
        QString testo, suggerimento;
        int sinistra, larghezza;
    } titoli[] = {
        {19, testicalcolo::perc19, testicalcolo::perc19Suggerimento, 360, 3240},
        {20, testicalcolo::perc20, testicalcolo::perc20Suggerimento, 3600, 2400},
        {0, testicalcolo::perc0, testicalcolo::perc0Suggerimento, 6240, 1455},
    };
    for (const auto& t : titoli)
        perc_[t.indice] = titoloColonna(area, nomeControllo("perc", t.indice), t.testo,
                                        t.suggerimento, t.sinistra, t.larghezza);
    label1_ = titoloColonna(area, QStringLiteral("Label1"), testicalcolo::label1,
                            testicalcolo::label1Suggerimento, 7800, 1575);

    QIcon cestino = style()->standardIcon(QStyle::SP_TrashIcon);
    if (cestino.isNull()) cestino = style()->standardIcon(QStyle::SP_DialogDiscardButton);

    for (int i = 1; i <= kVoci; ++i) {
        const int alto = altoRiga(i);
        auto* n = new QLabel(QString(letteraVoce(i)), area);
        n->setObjectName(nomeControllo("num", i));
        collocaTwip(n, 120, alto, 240, kRiga);
        num_[i] = n;

        auto* t = new QLineEdit(stato_->tipo(i), area);
        t->setObjectName(nomeControllo("tipo", i));
        collocaTwip(t, 360, alto, 3240, kRiga);
        if (StatoCalcolo::tipoSoloLettura(i)) {
            t->setReadOnly(true);
            testoColorato(t, Qt::red, true);
        }
        tipo_[i] = t;

        auto* c = new QLineEdit(area);
        c->setObjectName(nomeControllo("costo", i));
        collocaTwip(c, 3600, alto, 2400, kRiga);
        c->setReadOnly(StatoCalcolo::costoSoloLettura(i));
        c->setToolTip(stato_->suggerimentoCosto(i));
        costo_[i] = c;

        if (StatoCalcolo::delrigaPresente(i)) {
            auto* d = new QToolButton(area);
            d->setObjectName(nomeControllo("delriga", i));
            d->setIcon(cestino);
            d->setAutoRaise(false);
            collocaTwip(d, 6000, alto, 240, kRiga);
            d->setVisible(StatoCalcolo::delrigaVisibile(i));
            delriga_[i] = d;
        }

        const bool percentuale = StatoCalcolo::percentualeVisibile(i);
        auto* p = new QLabel(QStringLiteral("0"), area);
        p->setObjectName(nomeControllo("perc", i));
        p->setAlignment(Qt::AlignCenter);
        sfondo(p, Qt::yellow);
        collocaTwip(p, 6240, alto, 480, kRiga);
        p->setVisible(percentuale);
        perc_[i] = p;

        auto* h = new BarraPercentuale(area);
        h->setObjectName(nomeControllo("HScroll1", i));
        h->setRange(0, 100);
        h->setSingleStep(1);
        h->setPageStep(1);
        h->setToolTip(kSuggerimentoBarra);
        collocaTwip(h, 6720, alto, 975, kRiga);
        h->setVisible(percentuale);
        hscroll_[i] = h;

        auto* cb = new ElencoIntero(area);
        cb->setObjectName(nomeControllo("Combo1", i));
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setCompleter(nullptr);
        cb->setMaxVisibleItems(kVoci);
        collocaTwip(cb, 7800, alto, 1575, kRiga);
        cb->setVisible(percentuale);
        combo_[i] = cb;
    }

    // From the keyboard a row reads label, amount, percentage, reference, then
    // its delete button.
    for (int i = 1; i <= kVoci; ++i) {
        setTabOrder(costo_[i], hscroll_[i]);
        setTabOrder(hscroll_[i], combo_[i]);
        if (delriga_[i]) setTabOrder(combo_[i], delriga_[i]);
    }

    calcolato_ = new QLineEdit(testicalcolo::calcolato, area);
    calcolato_->setObjectName(QStringLiteral("calcolato"));
    calcolato_->setReadOnly(true);
    calcolato_->setToolTip(testicalcolo::calcolatoSuggerimento);
    grassetto(calcolato_);
    collocaTwip(calcolato_, 120, 5280, 3480, kRiga);

    progetto_ = new QLineEdit(area);
    progetto_->setObjectName(QStringLiteral("progetto"));
    progetto_->setReadOnly(true);
    progetto_->setToolTip(testicalcolo::progettoSuggerimento);
    testoColorato(progetto_, Qt::blue, true);
    {
        QPalette p = progetto_->palette();
        p.setColor(QPalette::Base, Qt::white);
        progetto_->setPalette(p);
    }
    collocaTwip(progetto_, 3600, 5280, 2400, kRiga);

    vincolato_ = new QLineEdit(testicalcolo::vincolato, area);
    vincolato_->setObjectName(QStringLiteral("vincolato"));
    vincolato_->setReadOnly(true);
    vincolato_->setToolTip(testicalcolo::vincolatoSuggerimento);
    grassetto(vincolato_);
    collocaTwip(vincolato_, 120, 5520, 3480, kRiga);

    costoprogetto_ = new QLineEdit(area);
    costoprogetto_->setObjectName(QStringLiteral("costoprogetto"));
    costoprogetto_->setToolTip(testicalcolo::costoprogettoSuggerimento);
    testoColorato(costoprogetto_, Qt::blue, true);
    collocaTwip(costoprogetto_, 3600, 5520, 2400, kRiga);

    auto tasto = [area](const char* n, const QString& testo, const QString& suggerimento,
                        int sinistra, int alto, int larghezza) {
        auto* b = new QPushButton(testo, area);
        b->setObjectName(QString::fromLatin1(n));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        collocaTwip(b, sinistra, alto, larghezza, kTasto);
        return b;
    };
    cmdannulla_ = tasto("cmdannulla", testicalcolo::cmdannulla,
                        testicalcolo::cmdannullaSuggerimento, 6240, 5400, 1800);
    cmdannulla_->setVisible(false);
    vis_ = tasto("vis", testicalcolo::vis, testicalcolo::visSuggerimento, 8040, 5400, 1335);
    aiuto_ = tasto("aiuto", testicalcolo::aiuto, testicalcolo::aiutoSuggerimento, 4080, 5880, 1320);
    command6_ = tasto("Command6", QStringLiteral("&Guida in linea"),
                      QStringLiteral("cliccare per visualizzare il sommario della Guida"), 5400,
                      5880, 1320);
    cmdStampa_ =
        tasto("cmdStampa", QStringLiteral("&Stampa"),
              QStringLiteral("clicca per stampare i dati della finestra"), 6720, 5880, 1320);
    esco_ = tasto("esco", QStringLiteral("&USCITA"), QString(), 8040, 5880, 1335);
}

void Calcolo::collegaStato() {
    StatoCalcolo* s = stato_;
    // Every view brings its widget in line with the state, changing nothing
    // that already agrees. It runs when the operation that changed the value
    // ends: a widget is set once per operation, with the value the state holds
    // then, however many nested writes the operation made.
    auto vista = [this](auto& valore, std::function<void()> f) {
        const size_t k = viste_.size();
        viste_.push_back(std::move(f));
        marcata_.push_back(0);
        valore.allaVista([this, k] { segna(k); });
    };
    auto testo = [](QLineEdit* e, const QString& t) { mostraTesto(e, t); };

    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = s->riga(i);
        vista(r.tipo, [this, s, i, testo] { testo(tipo_[i], s->tipo(i)); });
        vista(r.costo, [this, s, i, testo] {
            const QString& t = s->costo(i);
            testo(costo_[i], t);
            segnaImporto(costo_[i], t.isEmpty() || importoAccettabile(t));
        });
        vista(r.perc, [this, s, i] {
            if (perc_[i]->text() != s->perc(i)) perc_[i]->setText(s->perc(i));
        });
        vista(r.hscroll, [this, s, i] {
            if (hscroll_[i]->value() != s->hscroll(i)) hscroll_[i]->setValue(s->hscroll(i));
        });
        vista(r.combo, [this, i] { aggiornaCombo(i); });
        vista(r.suggerimentoTipo, [this, s, i] { tipo_[i]->setToolTip(s->suggerimentoTipo(i)); });
        vista(r.suggerimentoCombo,
              [this, s, i] { combo_[i]->setToolTip(s->suggerimentoCombo(i)); });
        if (delriga_[i]) {
            vista(r.suggerimentoDelriga,
                  [this, s, i] { delriga_[i]->setToolTip(s->suggerimentoDelriga(i)); });
            connect(delriga_[i], &QToolButton::clicked, s, [this, i] { delriga_Click(i); });
        }
    }
    vista(s->progettoValore(), [this, s, testo] { testo(progetto_, s->progetto()); });
    vista(s->costoprogettoValore(), [this, s, testo] {
        const QString& t = s->costoprogetto();
        testo(costoprogetto_, t);
        segnaImporto(costoprogetto_, t.isEmpty() || importoAccettabile(t));
    });
    vista(s->cmdannullaValore(), [this, s] { cmdannulla_->setVisible(s->cmdannullaVisibile()); });
    vista(s->suggerimentoEscoValore(), [this, s] { esco_->setToolTip(s->suggerimentoEsco()); });

    connect(s, &StatoCalcolo::cambiato, this, &Calcolo::aggiorna);
    primaDiOgniMessaggio(this, [this] { aggiorna(); });

    connect(cmdannulla_, &QPushButton::clicked, this, &Calcolo::cmdannulla_Click);
    connect(vis_, &QPushButton::clicked, this, &Calcolo::vis_Click);
    connect(aiuto_, &QPushButton::clicked, this, &Calcolo::aiuto_Click);
    connect(esco_, &QPushButton::clicked, this, &Calcolo::esco_Click);
    connect(cmdStampa_, &QPushButton::clicked, this, &Calcolo::cmdStampa_Click);
    connect(command6_, &QPushButton::clicked, this, &Calcolo::Command6_Click);

    for (const auto& v : viste_) v();
    aggiornaPagine();
}

void Calcolo::segna(size_t vista) {
    if (!stato_->inOperazione()) {
        viste_[vista]();
        return;
    }
    if (marcata_[vista]) return;
    marcata_[vista] = 1;
    marcate_.push_back(vista);
}

void Calcolo::aggiorna() {
    // Setting a widget may echo its value back into the state (an equal
    // value, which runs nothing but ends an operation of its own).
    if (aggiornando_) return;
    aggiornando_ = true;
    for (size_t n = 0; n < marcate_.size(); ++n) {
        marcata_[marcate_[n]] = 0;
        viste_[marcate_[n]]();
    }
    marcate_.clear();
    aggiornando_ = false;
    aggiornaPagine();
}

// The user's edits, written into the state through the undo history: each
// edit is one step, keystrokes in one box and the moves of one drag joined.
void Calcolo::collegaModifiche() {
    StoriaCalcolo* st = storia_;
    for (int i = 1; i <= kVoci; ++i) {
        connect(tipo_[i], &QLineEdit::textEdited, st,
                [st, i](const QString& t) { st->scriviTipo(i, t); });
        connect(costo_[i], &QLineEdit::textEdited, st,
                [st, i](const QString& t) { st->scriviCosto(i, t); });
        // Arrows, page clicks, dragging and keys all end in valueChanged; the
        // state's own writes echo an equal value, which runs nothing. A drag
        // is one step, and so are the keys pressed in the bar while it keeps
        // the focus (digits typed one after the other, arrow keys); each
        // click is a step of its own.
        QScrollBar* h = hscroll_[i];
        connect(h, &QScrollBar::valueChanged, st, [st, h, i](int v) {
            const bool tastiera = h->hasFocus() && QGuiApplication::mouseButtons() == Qt::NoButton;
            st->scriviHScroll(i, v, h->isSliderDown() || tastiera);
        });
        connect(h, &QScrollBar::sliderReleased, st, &StoriaCalcolo::interrompiUnione);
        connect(combo_[i]->lineEdit(), &QLineEdit::textEdited, st,
                [st, i](const QString& t) { st->scriviTestoCombo(i, t); });
        connect(combo_[i], &QComboBox::activated, st, [st, i](int p) { st->scegliCombo(i, p); });
    }
    connect(costoprogetto_, &QLineEdit::textEdited, st,
            [st](const QString& t) { st->scriviCostoprogetto(t); });
    // Typing joins one step only while the focus stays in the box.
    connect(qApp, &QApplication::focusChanged, st, &StoriaCalcolo::interrompiUnione);
}

void Calcolo::aggiornaCombo(int i) {
    const Riferimento& r = stato_->combo(i);
    QComboBox* c = combo_[i];
    QStringList voci;
    voci.reserve(c->count());
    for (int k = 0; k < c->count(); ++k) voci << c->itemText(k);
    // A text the user is typing may be wiped by the list changes below; it
    // comes back with the cursor where it was. A text written by code shows
    // its beginning.
    const bool scrittoQui = c->lineEdit()->text() == r.testo;
    const int cursore = c->lineEdit()->cursorPosition();
    if (voci != r.voci) {
        c->clear();
        c->addItems(r.voci);
    }
    if (c->currentIndex() != r.posizione) {
        c->setCurrentIndex(r.posizione);
        // A list not being edited shows the start of its entry, as after Open.
        if (!c->lineEdit()->hasFocus()) c->lineEdit()->setCursorPosition(0);
    }
    // A typed text is not an entry: the box keeps it with nothing selected.
    if (c->currentText() != r.testo) {
        c->setEditText(r.testo);
        c->lineEdit()->setCursorPosition(
            scrittoQui ? std::min(cursore, static_cast<int>(r.testo.size())) : 0);
    }
    // A chosen entry, whether picked from the list or put back after the
    // lists were refilled, shows the beginning of its label.
    if (r.posizione >= 0 && c->lineEdit()->cursorPosition() != 0)
        c->lineEdit()->setCursorPosition(0);
}

void Calcolo::aggiornaPagine() {
    for (int i = 1; i <= kVoci; ++i) {
        if (hscroll_[i]->pageStep() != stato_->pagina(i))
            hscroll_[i]->setPageStep(stato_->pagina(i));
    }
}

void Calcolo::vis_Click() {
    // With an amount no calculation can use on screen the hand-off would
    // start a descent from figures that do not add up: the rows are named
    // instead, and nothing changes.
    if (stato_->avvisaImportiInutilizzabili()) return;
    Economico* quadro = Finestre::istanza().mostra<Economico>();
    quadro->mostra(*stato_);
    storia_->registraPasso(QStringLiteral("visualizzazione quadro economico"),
                           [this] { stato_->scriviCostoprogetto(stato_->progetto()); });
}

void Calcolo::aiuto_Click() {
    stato_->aiuto_Click();
}
void Calcolo::controlla_Click() {
    stato_->controlla_Click();
}
void Calcolo::cancella_Click() {
    storia_->cancella_Click();
}
void Calcolo::cmdannulla_Click() {
    storia_->cmdannulla_Click();
}
void Calcolo::delriga_Click(int i) {
    storia_->delriga_Click(i);
}

}  // namespace varimo
