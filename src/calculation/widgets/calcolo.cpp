#include "calculation/widgets/calcolo.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <vector>

#include "common/interazione.h"
#include "common/numeri.h"
#include "common/widgets/controlli.h"
#include "common/widgets/proporzioni.h"
#include "common/widgets/testodigitato.h"

namespace varimo {

namespace {
// How the keyboard sets a percentage (the scroll bar has no tooltip of its own
// in the design).
const QString kSuggerimentoBarra = QStringLiteral(
    "percentuale: frecce ±1, Pag su/Pag giù ±5, oppure digitare le cifre (2 e 2 per il 22%)");
}  // namespace

Calcolo::Calcolo(QWidget* parent)
    : QMainWindow(parent), aperto_(new Progetto(this)), stato_(&aperto_->calcolo()) {
    setObjectName(QString::fromLatin1(kNome));
    setWindowTitle(testicalcolo::titoloFinestra);
    creaControlli();
    // The controls show the state's texts before the layout is fitted to them.
    collegaStato();
    limitaTestiDigitati(this);
    // The window's design size: what its layout asks for, in the proportion
    // of the main windows; from then on its texts follow its size.
    Proporzioni::avvia(centralWidget(), disegno::kProporzioneLarghezza,
                       disegno::kProporzioneAltezza);
    collocaSulloSchermo(this);
    // The history starts from the loaded window, which counts as saved.
    aperto_->avvia();
    collegaModifiche();
}

Calcolo::~Calcolo() = default;

namespace {
// Columns of the window, left to right: letter, label, amount, delete
// button, percentage, its scroll bar, a gap, the reference list. Widths in
// average characters of the window's font; they also share out, in the same
// proportion, the room a larger window gives.
enum Colonna { cNum, cTipo, cCosto, cDelriga, cPerc, cBarra, cSpazio, cCombo, cColonne };
constexpr double kLarghezze[cColonne] = {3.2, 43.2, 32, 3.2, 6.4, 13, 1.4, 21};

// Rows of the grid: the headings, rows A to D, a gap, rows E to T, the two
// project amounts, a gap, the command buttons.
constexpr int kTitoli = 0;
constexpr int kSpazioVoci = 5;
int rigaGriglia(int i) {
    return i <= 4 ? i : i + 1;
}
constexpr int kCalcolato = kVoci + 2;
constexpr int kVincolato = kCalcolato + 1;
constexpr int kSpazioTasti = kVincolato + 1;
constexpr int kTasti = kSpazioTasti + 1;
}  // namespace

void Calcolo::creaControlli() {
    QGridLayout* griglia = creaAreaCentrale(this);
    QWidget* area = centralWidget();
    const QFontMetrics fm(area->font());
    proporzionaGriglia(griglia, fm, kLarghezze, {kSpazioVoci, kSpazioTasti}, kTasti);
    auto poni = [griglia](QWidget* w, int riga, int colonna, int righe = 1, int colonne = 1) {
        poniInCella(griglia, w, riga, colonna, righe, colonne);
    };

    // Column headings, in the order the window shows them.
    const struct {
        int indice;
        QString testo, suggerimento;
        int colonna, colonne;
    } titoli[] = {
        {19, testicalcolo::titoloTipo, testicalcolo::titoloTipoSuggerimento, cTipo, 1},
        {20, testicalcolo::titoloCosto, testicalcolo::titoloCostoSuggerimento, cCosto, 1},
        {0, testicalcolo::titoloPercentuale, testicalcolo::titoloPercentualeSuggerimento, cPerc, 2},
    };
    for (const auto& t : titoli) {
        etichettaPercentuale_[t.indice] =
            titoloColonna(area, nomeControllo("perc", t.indice), t.testo, t.suggerimento);
        griglia->addWidget(etichettaPercentuale_[t.indice], kTitoli, t.colonna, 1, t.colonne);
    }
    titoloRiferimento_ =
        titoloColonna(area, QStringLiteral("Label1"), testicalcolo::titoloRiferimento,
                      testicalcolo::titoloRiferimentoSuggerimento);
    griglia->addWidget(titoloRiferimento_, kTitoli, cCombo);

    QIcon cestino = style()->standardIcon(QStyle::SP_TrashIcon);
    if (cestino.isNull()) cestino = style()->standardIcon(QStyle::SP_DialogDiscardButton);

    for (int i = 1; i <= kVoci; ++i) {
        const int riga = rigaGriglia(i);
        auto* n = new QLabel(QString(letteraVoce(i)), area);
        n->setObjectName(nomeControllo("num", i));
        poni(n, riga, cNum);
        lettera_[i] = n;

        auto* t = new QLineEdit(stato_->tipo(i), area);
        t->setObjectName(nomeControllo("tipo", i));
        poni(t, riga, cTipo);
        if (StatoCalcolo::tipoSoloLettura(i)) {
            t->setReadOnly(true);
            testoColorato(t, Qt::red, true);
        }
        tipo_[i] = t;

        auto* c = new QLineEdit(area);
        c->setObjectName(nomeControllo("costo", i));
        poni(c, riga, cCosto);
        c->setReadOnly(StatoCalcolo::costoSoloLettura(i));
        c->setToolTip(stato_->suggerimentoCosto(i));
        costo_[i] = c;

        if (StatoCalcolo::pulsanteCancellaRigaPresente(i)) {
            auto* d = new QToolButton(area);
            d->setObjectName(nomeControllo("delriga", i));
            d->setIcon(cestino);
            d->setAutoRaise(false);
            poni(d, riga, cDelriga);
            d->setVisible(StatoCalcolo::pulsanteCancellaRigaVisibile(i));
            pulsanteCancellaRiga_[i] = d;
        }

        const bool percentuale = StatoCalcolo::percentualeVisibile(i);
        auto* p = new QLabel(QStringLiteral("0"), area);
        p->setObjectName(nomeControllo("perc", i));
        p->setAlignment(Qt::AlignCenter);
        sfondo(p, Qt::yellow);
        poni(p, riga, cPerc);
        p->setVisible(percentuale);
        etichettaPercentuale_[i] = p;

        auto* h = new BarraPercentuale(area);
        h->setObjectName(nomeControllo("HScroll1", i));
        h->setRange(0, 100);
        h->setSingleStep(1);
        h->setPageStep(1);
        h->setToolTip(kSuggerimentoBarra);
        poni(h, riga, cBarra);
        h->setVisible(percentuale);
        barraPercentuale_[i] = h;

        auto* cb = new ElencoIntero(area);
        cb->setObjectName(nomeControllo("Combo1", i));
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setCompleter(nullptr);
        cb->setMaxVisibleItems(kVoci);
        poni(cb, riga, cCombo);
        cb->setVisible(percentuale);
        elencoRiferimento_[i] = cb;
    }

    // From the keyboard a row reads label, amount, percentage, reference, then
    // its delete button.
    for (int i = 1; i <= kVoci; ++i) {
        setTabOrder(costo_[i], barraPercentuale_[i]);
        setTabOrder(barraPercentuale_[i], elencoRiferimento_[i]);
        if (pulsanteCancellaRiga_[i]) setTabOrder(elencoRiferimento_[i], pulsanteCancellaRiga_[i]);
    }

    calcolato_ = new QLineEdit(testicalcolo::calcolato, area);
    calcolato_->setObjectName(QStringLiteral("calcolato"));
    calcolato_->setReadOnly(true);
    calcolato_->setToolTip(testicalcolo::calcolatoSuggerimento);
    grassetto(calcolato_);
    poni(calcolato_, kCalcolato, cNum, 1, 2);

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
    poni(progetto_, kCalcolato, cCosto);

    vincolato_ = new QLineEdit(testicalcolo::vincolato, area);
    vincolato_->setObjectName(QStringLiteral("vincolato"));
    vincolato_->setReadOnly(true);
    vincolato_->setToolTip(testicalcolo::vincolatoSuggerimento);
    grassetto(vincolato_);
    poni(vincolato_, kVincolato, cNum, 1, 2);

    costoprogetto_ = new QLineEdit(area);
    costoprogetto_->setObjectName(QStringLiteral("costoprogetto"));
    costoprogetto_->setToolTip(testicalcolo::costoprogettoSuggerimento);
    testoColorato(costoprogetto_, Qt::blue, true);
    poni(costoprogetto_, kVincolato, cCosto);

    auto tasto = [area](const char* n, const QString& testo, const QString& suggerimento) {
        auto* b = new QPushButton(testo, area);
        b->setObjectName(QString::fromLatin1(n));
        b->setToolTip(suggerimento);
        b->setAutoDefault(false);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        return b;
    };
    // Beside the two project amounts: the rework switch (which keeps its room
    // while hidden) and "Visualizza".
    pulsanteSenzaVincolo_ =
        tasto("cmdannulla", testicalcolo::senzaVincolo, testicalcolo::senzaVincoloSuggerimento);
    pulsanteVisualizza_ =
        tasto("vis", testicalcolo::visualizza, testicalcolo::visualizzaSuggerimento);
    {
        QSizePolicy p = pulsanteSenzaVincolo_->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        pulsanteSenzaVincolo_->setSizePolicy(p);
        pulsanteSenzaVincolo_->setVisible(false);
        auto* riga = new QHBoxLayout;
        riga->setSpacing(0);
        riga->addStretch(3);
        riga->addWidget(pulsanteSenzaVincolo_, 24);
        riga->addWidget(pulsanteVisualizza_, 18);
        griglia->addLayout(riga, kCalcolato, cDelriga, 2, cColonne - cDelriga);
    }
    // The command buttons, on the right of the last line.
    aiuto_ = tasto("aiuto", testicalcolo::aiuto, testicalcolo::aiutoSuggerimento);
    guidaInLinea_ = tasto("Command6", QStringLiteral("&Guida in linea"),
                          QStringLiteral("cliccare per visualizzare il sommario della Guida"));
    pulsanteStampa_ = tasto("cmdStampa", QStringLiteral("&Stampa"),
                            QStringLiteral("clicca per stampare i dati della finestra"));
    pulsanteEsci_ = tasto("esco", QStringLiteral("&USCITA"), QString());
    auto* tasti = new QHBoxLayout;
    tasti->setSpacing(0);
    tasti->addStretch(53);
    for (QPushButton* b : {aiuto_, guidaInLinea_, pulsanteStampa_, pulsanteEsci_})
        tasti->addWidget(b, 18);
    griglia->addLayout(tasti, kTasti, cNum, 1, cColonne);
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
        vista(r.percentuale, [this, s, i] {
            if (etichettaPercentuale_[i]->text() != s->percentuale(i))
                etichettaPercentuale_[i]->setText(s->percentuale(i));
        });
        vista(r.scorrimento, [this, s, i] {
            if (barraPercentuale_[i]->value() != s->scorrimento(i))
                barraPercentuale_[i]->setValue(s->scorrimento(i));
        });
        vista(r.riferimento, [this, i] { aggiornaElencoRiferimento(i); });
        vista(r.suggerimentoTipo, [this, s, i] { tipo_[i]->setToolTip(s->suggerimentoTipo(i)); });
        vista(r.suggerimentoRiferimento,
              [this, s, i] { elencoRiferimento_[i]->setToolTip(s->suggerimentoRiferimento(i)); });
        if (pulsanteCancellaRiga_[i]) {
            vista(r.suggerimentoCancellaRiga, [this, s, i] {
                pulsanteCancellaRiga_[i]->setToolTip(s->suggerimentoCancellaRiga(i));
            });
            connect(pulsanteCancellaRiga_[i], &QToolButton::clicked, s,
                    [this, i] { cancellaRiga(i); });
        }
    }
    vista(s->progettoValore(), [this, s, testo] { testo(progetto_, s->progetto()); });
    vista(s->costoprogettoValore(), [this, s, testo] {
        const QString& t = s->costoprogetto();
        testo(costoprogetto_, t);
        segnaImporto(costoprogetto_, t.isEmpty() || importoAccettabile(t));
    });
    vista(s->senzaVincoloValore(),
          [this, s] { pulsanteSenzaVincolo_->setVisible(s->senzaVincoloVisibile()); });
    vista(s->suggerimentoUscitaValore(),
          [this, s] { pulsanteEsci_->setToolTip(s->suggerimentoUscita()); });

    connect(s, &StatoCalcolo::cambiato, this, &Calcolo::aggiorna);
    primaDiOgniMessaggio(this, [this] { aggiorna(); });

    connect(pulsanteSenzaVincolo_, &QPushButton::clicked, this, &Calcolo::spegniVincolo);
    connect(pulsanteVisualizza_, &QPushButton::clicked, this, &Calcolo::visualizzaQuadro);
    connect(aiuto_, &QPushButton::clicked, this, &Calcolo::mostraAiuto);

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

// The user's edits, written into the state through the project: each edit is
// one step, keystrokes in one box and the moves of one drag joined.
void Calcolo::collegaModifiche() {
    Progetto* st = aperto_;
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
        QScrollBar* h = barraPercentuale_[i];
        connect(h, &QScrollBar::valueChanged, st, [st, h, i](int v) {
            const bool tastiera = h->hasFocus() && QGuiApplication::mouseButtons() == Qt::NoButton;
            st->scriviScorrimento(i, v, h->isSliderDown() || tastiera);
        });
        connect(h, &QScrollBar::sliderReleased, st, &Progetto::interrompiUnione);
        connect(elencoRiferimento_[i]->lineEdit(), &QLineEdit::textEdited, st,
                [st, i](const QString& t) { st->scriviTestoRiferimento(i, t); });
        connect(elencoRiferimento_[i], &QComboBox::activated, st,
                [st, i](int p) { st->scegliRiferimento(i, p); });
    }
    connect(costoprogetto_, &QLineEdit::textEdited, st,
            [st](const QString& t) { st->scriviCostoprogetto(t); });
    // Typing joins one step only while the focus stays in the box.
    connect(qApp, &QApplication::focusChanged, st, &Progetto::interrompiUnione);
}

void Calcolo::aggiornaElencoRiferimento(int i) {
    const Riferimento& r = stato_->riferimento(i);
    QComboBox* c = elencoRiferimento_[i];
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
        if (barraPercentuale_[i]->pageStep() != stato_->pagina(i))
            barraPercentuale_[i]->setPageStep(stato_->pagina(i));
    }
}

void Calcolo::visualizzaQuadro() {
    // With an amount no calculation can use on screen the hand-off would
    // start a descent from figures that do not add up: the rows are named
    // instead, and nothing changes.
    if (stato_->avvisaImportiInutilizzabili()) return;
    if (mostraQuadro_) mostraQuadro_(*stato_);
    aperto_->registraPasso(QStringLiteral("visualizzazione quadro economico"),
                           [this] { stato_->scriviCostoprogetto(stato_->progetto()); });
}

void Calcolo::mostraAiuto() {
    stato_->mostraAiuto();
}
void Calcolo::controllaDati() {
    stato_->controllaDati();
}
void Calcolo::cancellaTutto() {
    aperto_->cancellaTutto();
}
void Calcolo::spegniVincolo() {
    aperto_->spegniVincolo();
}
void Calcolo::cancellaRiga(int i) {
    aperto_->cancellaRiga(i);
}

}  // namespace varimo
