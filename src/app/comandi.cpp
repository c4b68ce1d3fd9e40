#include "app/comandi.h"
#include "common/widgets/controlli.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "app/avvio.h"
#include "common/interazione.h"
#include "common/recenti.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "quadro/widgets/finestraquadro.h"

namespace varimo {

namespace {

const char* const kProprieta = "varimoFinestraPrincipale";

// Ctrl+A and Ctrl+B switch windows and Ctrl+E exports the PDF even while a
// text box has the focus: a text box would otherwise claim Ctrl+A as "select
// all" and, with the X11 key bindings, Ctrl+E as "end of line". Ctrl+Z, Ctrl+Y
// and Ctrl+Shift+Z are the undo and redo of the calculation window's data: a
// text box would otherwise undo its own text and leave the sums behind. The
// override request is stopped before it reaches the box, so the window's
// shortcut runs; when there is nothing to undo (the shortcut is disabled) the
// key press itself is stopped, so the box never applies its own undo.
class PrecedenzaScorciatoie final : public QObject {
  public:
    bool eventFilter(QObject* o, QEvent* e) override {
        const bool richiesta = e->type() == QEvent::ShortcutOverride;
        if ((!richiesta && e->type() != QEvent::KeyPress) || !o->isWidgetType()) return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        const bool finestra =
            k->modifiers() == Qt::ControlModifier &&
            (k->key() == Qt::Key_A || k->key() == Qt::Key_B || k->key() == Qt::Key_E);
        const bool annulla =
            (k->modifiers() == Qt::ControlModifier &&
             (k->key() == Qt::Key_Z || k->key() == Qt::Key_Y)) ||
            (k->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) && k->key() == Qt::Key_Z);
        if (!annulla && !(finestra && richiesta)) return false;
        const QWidget* w = static_cast<QWidget*>(o)->window();
        return w && w->property(kProprieta).isValid();
    }
};

void installaPrecedenza() {
    // One filter per application object, kept as its child.
    const QString nome = QStringLiteral("precedenzaScorciatoie");
    if (qApp->findChild<QObject*>(nome, Qt::FindDirectChildrenOnly)) return;
    auto* filtro = new PrecedenzaScorciatoie;
    filtro->setObjectName(nome);
    filtro->setParent(qApp);
    qApp->installEventFilter(filtro);
}

void chiediGuida(Principale da) {
    const QString testo =
        da == Principale::Calcolo
            ? QStringLiteral("E' questa la finestra 'Calcolo': si vuole la guida della finestra?")
            : QStringLiteral(
                  "E' questa la finestra 'Quadro economico': si vuole la guida della finestra?");
    if (messaggio(testo, TestiProgramma::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
                  Risposta::Si) == Risposta::Si)
        apriGuidaFinestra(da);
}

void mostra(const char* nome) {
    Finestre::istanza().mostra(QString::fromLatin1(nome));
}

QIcon icona(QWidget* w, const char* tema, QStyle::StandardPixmap riserva) {
    return QIcon::fromTheme(QString::fromLatin1(tema), w->style()->standardIcon(riserva));
}

std::function<void()> oNiente(const std::function<void()>& f) {
    return f ? f : [] {};
}

}  // namespace

void impostaStoria(QMainWindow* f, QUndoStack* storia) {
    auto* menu = f->findChild<QMenu*>(QStringLiteral("modifica"));
    if (!menu) return;
    const auto sostituisci = [menu, storia](const char* nome, const QString& testo, bool annulla) {
        auto* vecchia = menu->findChild<QAction*>(QString::fromLatin1(nome));
        if (!vecchia) return;
        QAction* nuova = nullptr;
        if (!storia) {
            nuova = new QAction(testo, menu);
            nuova->setEnabled(false);
        } else {
            nuova = annulla ? storia->createUndoAction(menu, testo)
                            : storia->createRedoAction(menu, testo);
        }
        nuova->setObjectName(vecchia->objectName());
        nuova->setShortcuts(vecchia->shortcuts());
        nuova->setShortcutContext(vecchia->shortcutContext());
        menu->insertAction(vecchia, nuova);
        // Taken out of the menu at once, deleted once the event in progress
        // (possibly its own) is over.
        menu->removeAction(vecchia);
        vecchia->setObjectName(QString());
        vecchia->deleteLater();
    };
    sostituisci("annulla", QStringLiteral("&Annulla"), true);
    sostituisci("ripeti", QStringLiteral("&Ripeti"), false);
}

void impostaRecenti(QMainWindow* f, const QStringList& percorsi) {
    auto* menu = f->findChild<QMenu*>(QStringLiteral("recenti"));
    if (!menu) return;
    for (QAction* act : menu->actions()) {
        // The entry may be the one being chosen: it goes once the choice is over.
        menu->removeAction(act);
        act->setObjectName(QString());
        act->setParent(nullptr);
        act->deleteLater();
    }
    int n = 0;
    for (const QString& percorso : percorsi) {
        if (n == recenti::kMassimo) break;
        QString nome = QFileInfo(percorso).fileName();
        nome.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* act = menu->addAction(nome);
        act->setObjectName(QStringLiteral("recente_%1").arg(++n));
        act->setToolTip(QDir::toNativeSeparators(percorso));
        act->setData(percorso);
    }
    menu->setEnabled(n > 0);
}

void apriFinestraCalcolo(Principale da) {
    if (da == Principale::Calcolo)
        chiediGuida(da);
    else
        mostra("calcolo");
}

void apriFinestraQuadro(Principale da) {
    if (da == Principale::Quadro)
        chiediGuida(da);
    else
        mostra("economico");
}

void apriGuidaFinestra(Principale da) {
    mostra(da == Principale::Calcolo ? "guidacalcolo" : "guidaquadro");
}

namespace {

// The menu bar: File, Modifica, Visualizza, ?.
void installaMenu(QMainWindow* f, Principale quale, const AzioniFinestra& a) {
    const auto apriRecente = a.apriRecente;
    QMenuBar* barra = f->menuBar();
    barra->clear();
    // The menus as tables: one line per entry, a line without text is a
    // separator; an entry without a command is left out (the optional
    // entries of one window only).
    struct Voce {
        const char* nome;
        const char* testo;
        std::function<void()> azione;
        QList<QKeySequence> tasti = {};
    };
    const auto aggiungi = [f](QMenu* menu, const QList<Voce>& voci) {
        for (const Voce& v : voci) {
            if (!v.testo) {
                menu->addSeparator()->setObjectName(QString::fromLatin1(v.nome));
                continue;
            }
            if (!v.azione) continue;
            QAction* act = menu->addAction(QString::fromUtf8(v.testo));
            act->setObjectName(QString::fromLatin1(v.nome));
            if (!v.tasti.isEmpty()) act->setShortcuts(v.tasti);
            QObject::connect(act, &QAction::triggered, f, [azione = v.azione] { azione(); });
        }
    };
    const auto nuovoMenu = [barra](const char* testo, const char* nome) {
        QMenu* menu = barra->addMenu(QString::fromUtf8(testo));
        menu->setObjectName(QString::fromLatin1(nome));
        return menu;
    };
    const auto azione = [](const QMenu* menu, const char* nome) {
        return menu->findChild<QAction*>(QString::fromLatin1(nome), Qt::FindDirectChildrenOnly);
    };

    QMenu* file = nuovoMenu("&File", "file");
    aggiungi(file, {{"apri", "&Apri...", a.apri, {QKeySequence::Open}}});
    QMenu* menuRecenti = file->addMenu(QStringLiteral("Progetti &recenti"));
    menuRecenti->setObjectName(QStringLiteral("recenti"));
    menuRecenti->menuAction()->setObjectName(QStringLiteral("recenti"));
    menuRecenti->setToolTipsVisible(true);
    menuRecenti->setEnabled(false);
    QObject::connect(menuRecenti, &QMenu::triggered, f, [apriRecente](QAction* act) {
        const QString percorso = act->data().toString();
        if (!percorso.isEmpty()) apriRecente(percorso);
    });
    aggiungi(file, {
                       {"linea1", nullptr, {}},
                       {"salva", "&Salva", a.salva, {QKeySequence::Save}},
                       {"salvanome", "Salva con &nome...", a.salvanome},
                       {"linea2", nullptr, {}},
                       {"eliminare", "&Elimina...", a.eliminare},
                       // The framework of any shape, in its own window.
                       {"lineaquadro", nullptr, {}},
                       {"nuovoquadro", "Nuovo quadro", [] { quadro::nuovoQuadro(); }},
                       {"apriquadro", "Apri quadro…", [] { quadro::apriQuadro(); }},
                       {"convertiquadro", "Converti in quadro", a.convertiquadro},
                       {"l", nullptr, {}},
                       {"stampa", "S&tampa", a.stampa},
                       // The same report as S&tampa, as a PDF/A file; the shortcut
                       // is free in both windows and takes precedence in their
                       // text boxes.
                       {"esportapdf",
                        "Esporta in P&DF...",
                        a.esportapdf,
                        {QKeySequence(Qt::CTRL | Qt::Key_E)}},
                       // The framework in its two sections, printed and as PDF/A.
                       {"stampasezioni", "Stampa per se&zioni", a.stampasezioni},
                       {"esportasezionipdf", "Esp&orta per sezioni in PDF...", a.esportasezionipdf},
                       {"linea3", nullptr, {}},
                       {"esci", "Es&ci", [] { esciprogramma(); }},
                   });
    azione(file, "esportapdf")->setShortcutContext(Qt::WindowShortcut);

    QMenu* modifica = nuovoMenu("&Modifica", "modifica");
    aggiungi(
        modifica,
        {
            {"annulla", "&Annulla", [] {}, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
            {"ripeti",
             "&Ripeti",
             [] {},
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
            {"lineaannulla", nullptr, {}},
            {"colorare", "&Colore di sfondo", a.colorare},
            {"controlla", "Controlla &dati immessi", a.controlla},
            {"cancella", "C&ancella dati immessi", a.cancella},
            {"vocicodice", "Voci secondo il D.Lgs. 36/2023", a.vocicodice},
        });
    azione(modifica, "annulla")->setEnabled(false);
    azione(modifica, "ripeti")->setEnabled(false);

    QMenu* visu = nuovoMenu("&Visualizza", "visu");
    aggiungi(visu, {
                       {"fin1",
                        "Finestra Calcolo",
                        [quale] { apriFinestraCalcolo(quale); },
                        {QKeySequence(Qt::CTRL | Qt::Key_A)}},
                       {"fin2",
                        "Finestra Quadro economico",
                        [quale] { apriFinestraQuadro(quale); },
                        {QKeySequence(Qt::CTRL | Qt::Key_B)}},
                       {"apripostgara", "Quadro dopo la &gara", [] { mostra("postgara"); }},
                   });
    QAction* fin1 = azione(visu, "fin1");
    QAction* fin2 = azione(visu, "fin2");
    for (QAction* act : {fin1, fin2}) {
        act->setCheckable(true);
        act->setShortcutContext(Qt::WindowShortcut);
        // The check mark marks the window itself and does not move.
        QObject::connect(act, &QAction::triggered, act, [act, fin1, quale] {
            act->setChecked((act == fin1) == (quale == Principale::Calcolo));
        });
    }
    fin1->setChecked(quale == Principale::Calcolo);
    fin2->setChecked(quale == Principale::Quadro);

    aggiungi(nuovoMenu("&?", "interrogazione"),
             {
                 {"guida", "&Guida in linea", [] { mostra("sommario"); }},
                 {"suggerisco", "&Suggerimenti...", [] { mostra("frmTip"); }},
                 {"linea4", nullptr, {}},
                 {"supporto", "Supporto &prodotto", [] { mostra("supportoclienti"); }},
                 {"linea6", nullptr, {}},
                 {"informazioni", "&Informazioni su Varimo", [] { mostra("informa"); }},
             });
}

// The window counter at the right-hand end of the menu bar.
void installaContatore(QMainWindow* f, Principale quale) {
    QMenuBar* barra = f->menuBar();
    auto* contatore = new QToolButton(barra);
    contatore->setObjectName(QStringLiteral("finestra"));
    contatore->setAutoRaise(true);
    auto* azioneContatore =
        new QAction(quale == Principale::Calcolo ? QStringLiteral("Fi&nestra n.1 di 2")
                                                 : QStringLiteral("Fi&nestra n.2 di 2"),
                    contatore);
    azioneContatore->setObjectName(QStringLiteral("finestra"));
    QObject::connect(azioneContatore, &QAction::triggered, f,
                     [quale] { apriGuidaFinestra(quale); });
    contatore->setDefaultAction(azioneContatore);
    // The access letter of the counter works like a menu title's (Alt+N).
    auto* alt = new QAction(f);
    alt->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
    QObject::connect(alt, &QAction::triggered, f, [quale] { apriGuidaFinestra(quale); });
    f->addAction(alt);
    barra->setCornerWidget(contatore, Qt::TopRightCorner);
}

// Command bar: 19 positions, 5 of them separators.
void installaBarra(QMainWindow* f, Principale quale, const AzioniFinestra& a) {
    QToolBar* bar = f->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    if (!bar) {
        bar = new QToolBar(f);
        bar->setObjectName(QStringLiteral("Toolbar1"));
        f->addToolBar(Qt::TopToolBarArea, bar);
    }
    bar->clear();
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    struct Pulsante {
        const char* chiave;
        const char* suggerimento;
        const char* tema;
        QStyle::StandardPixmap riserva;
        std::function<void()> azione;
    };
    const QList<Pulsante> pulsanti = {
        {"apri", "apri file", "document-open", QStyle::SP_DialogOpenButton, a.apri},
        {"salva", "salva file", "document-save", QStyle::SP_DialogSaveButton, a.salva},
        {"eliminare", "elimina file", "edit-delete", QStyle::SP_TrashIcon, a.eliminare},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase, {}},
        {"", "stampa dati finestra", "document-print", QStyle::SP_FileDialogDetailedView, a.stampa},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase, {}},
        {"", "visualizza finestra 'Calcolo'", "accessories-calculator",
         QStyle::SP_FileDialogListView, [quale] { apriFinestraCalcolo(quale); }},
        {"", "visualizza finestra 'Quadro economico'", "x-office-spreadsheet",
         QStyle::SP_FileDialogContentsView, [quale] { apriFinestraQuadro(quale); }},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase, {}},
        {"", "colore di sfondo", "preferences-desktop-color", QStyle::SP_DesktopIcon, a.colorare},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase, {}},
        {"", "guida in linea", "help-contents", QStyle::SP_DialogHelpButton,
         [] { mostra("sommario"); }},
        {"", "suggerimenti", "dialog-information", QStyle::SP_MessageBoxInformation,
         [] { mostra("frmTip"); }},
        {"", "supporto prodotto", "help-faq", QStyle::SP_MessageBoxQuestion,
         [] { mostra("supportoclienti"); }},
        {"", "informazioni su Varimo", "help-about", QStyle::SP_FileDialogInfoView,
         [] { mostra("informa"); }},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase, {}},
        {"", "controllo dati immessi", "tools-check-spelling", QStyle::SP_DialogApplyButton,
         a.controlla},
        {"", "cancella dati finestra", "edit-clear", QStyle::SP_DialogResetButton, a.cancella},
        {"", "uscita da Varimo", "application-exit", QStyle::SP_DialogCloseButton,
         [] { esciprogramma(); }},
    };
    const int propria = quale == Principale::Calcolo ? 7 : 8;
    for (int i = 0; i < pulsanti.size(); ++i) {
        const Pulsante& p = pulsanti.at(i);
        const int posizione = i + 1;
        QAction* act = nullptr;
        if (!p.suggerimento) {
            act = bar->addSeparator();
        } else {
            act = bar->addAction(icona(f, p.tema, p.riserva), QString::fromUtf8(p.suggerimento));
            act->setToolTip(QString::fromUtf8(p.suggerimento));
            if (*p.chiave) act->setProperty("Key", QString::fromLatin1(p.chiave));
            // The button of the window itself is a toggle, not pressed at start;
            // the bar never keeps it pressed (the window does not change).
            if (posizione == propria) act->setCheckable(true);
            auto azione = p.azione;
            QObject::connect(act, &QAction::triggered, f, [act, azione] {
                if (act->isCheckable()) act->setChecked(false);
                azione();
            });
        }
        act->setObjectName(QStringLiteral("Toolbar1_%1").arg(posizione));
        if (QWidget* w = bar->widgetForAction(act))
            w->setObjectName(QStringLiteral("Toolbar1_%1").arg(posizione));
    }
}

}  // namespace

void installaComandi(QMainWindow* f, Principale quale, AzioniFinestra a) {
    installaPrecedenza();
    f->setProperty(kProprieta, static_cast<int>(quale));
    a.apri = oNiente(a.apri);
    a.salva = oNiente(a.salva);
    a.salvanome = oNiente(a.salvanome);
    a.eliminare = oNiente(a.eliminare);
    a.stampa = oNiente(a.stampa);
    a.esportapdf = oNiente(a.esportapdf);
    a.stampasezioni = oNiente(a.stampasezioni);
    a.esportasezionipdf = oNiente(a.esportasezionipdf);
    a.colorare = oNiente(a.colorare);
    a.controlla = oNiente(a.controlla);
    a.cancella = oNiente(a.cancella);
    if (!a.apriRecente) a.apriRecente = [](const QString&) {};

    installaMenu(f, quale, a);
    installaContatore(f, quale);
    installaBarra(f, quale, a);

    // Command buttons, found by name on the window.
    if (auto* uscita = f->findChild<QAbstractButton*>(QStringLiteral("esco")))
        QObject::connect(uscita, &QAbstractButton::clicked, f, [] { esciprogramma(); });
    if (auto* guida = f->findChild<QAbstractButton*>(QStringLiteral("Command6")))
        QObject::connect(guida, &QAbstractButton::clicked, f, [] { mostra("sommario"); });
    if (auto* st = f->findChild<QAbstractButton*>(QStringLiteral("cmdStampa"))) {
        auto stampa = a.stampa;
        QObject::connect(st, &QAbstractButton::clicked, f, [stampa] { stampa(); });
    }

    // The bars sit above the rows: the window grows by them, so that its
    // rows keep their design size.
    portaAlDisegno(f);
}

}  // namespace varimo
