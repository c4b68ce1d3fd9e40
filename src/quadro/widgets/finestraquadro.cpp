#include "quadro/widgets/finestraquadro.h"

#include "calculation/progetto.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/interazione.h"
#include "common/nomifile.h"
#include "common/scritturafile.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "quadro/anac.h"
#include "quadro/comandifasi.h"
#include "quadro/conversione.h"
#include "quadro/documentiquadro.h"
#include "quadro/formatoquadro.h"
#include "quadro/rigacomando.h"
#include "quadro/tabelle.h"
#include "quadro/widgets/comandidocumenti.h"
#include "quadro/widgets/delegatovoci.h"
#include "quadro/widgets/menufasi.h"
#include "quadro/widgets/modelloquadro.h"
#include "reports/esportazione.h"
#include "reports/stampe.h"

namespace varimo::quadro {

namespace {

const QString kTitolo = QStringLiteral("Quadro economico");

QList<FiltroFile> filtriQuadro() {
    return {{QStringLiteral("Quadri economici (*.varimo)"), QStringLiteral("*.varimo")},
            {QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*.*")}};
}

// "Fase 2 di 3: Aggiudicazione · 01/07/2026 · bloccata · ribasso del 18,735 %:
// importo contrattuale 684.523,08, economie 187.835,33"; the kind when the
// name does not say it; a variant names its act.
QString descrizioneFase(const DocumentoQuadro& d) {
    const FileFasi& fasi = d.fasi();
    const Fase& f = fasi.fasi[d.faseCorrente()];
    QString s = QStringLiteral("Fase %1 di %2: %3")
                    .arg(d.faseCorrente() + 1)
                    .arg(fasi.fasi.size())
                    .arg(f.nome);
    const QString tipo = nomeTipoFase(f.tipo);
    if (!f.nome.startsWith(tipo, Qt::CaseInsensitive)) s += QStringLiteral(" · ") + tipo;
    if (!f.data.isEmpty()) s += QStringLiteral(" · ") + dataItaliana(f.data);
    if (f.bloccata) s += QStringLiteral(" · bloccata");
    if (f.tipo == TipoFase::Aggiudicazione && f.ribasso) {
        s += QStringLiteral(" · ribasso del %1 %").arg(testoPercentuale(*f.ribasso));
        if (const auto& a = d.aggiudicazione())
            s += QStringLiteral(": importo contrattuale %1, economie %2")
                     .arg(testoImporto(a->contratto), testoImporto(a->economie));
        else if (d.primaDelRibasso())
            s += QStringLiteral(": voci del progetto prima del ribasso");
    }
    if (f.tipo == TipoFase::Variante && f.atto &&
        !(f.atto->numero.isEmpty() && f.atto->data.isEmpty())) {
        s += QStringLiteral(" · approvata con atto");
        if (!f.atto->numero.isEmpty()) s += QStringLiteral(" n. ") + f.atto->numero;
        if (!f.atto->data.isEmpty()) s += QStringLiteral(" del ") + dataItaliana(f.atto->data);
    }
    if (!d.problemaFase().isEmpty()) s += QStringLiteral("\n") + d.problemaFase();
    return s;
}

}  // namespace

FinestraQuadro::FinestraQuadro() {
    setObjectName(QString::fromLatin1(kNome));
    modello_ = new ModelloQuadro(&documento_, this);

    auto* centro = new QWidget(this);
    auto* colonna = new QVBoxLayout(centro);

    // The header.
    auto* intestazione = new QGroupBox(QStringLiteral("Intestazione"), centro);
    intestazione->setObjectName(QStringLiteral("intestazione"));
    auto* griglia = new QGridLayout(intestazione);
    const QList<std::pair<const char*, QString>> nomi = {
        {"ente", QStringLiteral("Ente")}, {"titolo", QStringLiteral("Titolo")},
        {"cup", QStringLiteral("CUP")},   {"cig", QStringLiteral("CIG")},
        {"rup", QStringLiteral("RUP")},   {"progettista", QStringLiteral("Progettista")},
        {"data", QStringLiteral("Data della fase")}, {"valuta", QStringLiteral("Valuta")}};
    int posto = 0;
    auto colloca = [&](const QString& testo, QWidget* campo) {
        auto* etichetta = new QLabel(testo, intestazione);
        etichetta->setBuddy(campo);
        griglia->addWidget(etichetta, posto / 2, (posto % 2) * 2);
        griglia->addWidget(campo, posto / 2, (posto % 2) * 2 + 1);
        ++posto;
    };
    for (const auto& [nome, testo] : nomi) {
        auto* campo = new QLineEdit(intestazione);
        campo->setObjectName(QString::fromLatin1(nome));
        campi_.append(campo);
        colloca(testo, campo);
        connect(campo, &QLineEdit::editingFinished, this, &FinestraQuadro::scriviIntestazione);
        if (posto == 6) {  // the place of the work after the designer
            luogo_ = new QLineEdit(intestazione);
            luogo_->setObjectName(QStringLiteral("luogo"));
            colloca(QStringLiteral("Luogo"), luogo_);
            connect(luogo_, &QLineEdit::editingFinished, this,
                    &FinestraQuadro::scriviIntestazione);
        }
    }
    // The date is the phase's: kind, name and date belong to the phase, the
    // rest of the header to the work.
    campi_[6]->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    campi_[6]->setToolTip(QStringLiteral("La data della fase mostrata"));
    griglia->setColumnStretch(1, 1);
    griglia->setColumnStretch(3, 1);
    colonna->addWidget(intestazione);

    // The phase in the window.
    auto* rigaFase = new QHBoxLayout;
    faseCorrente_ = new QLabel(centro);
    faseCorrente_->setObjectName(QStringLiteral("fasecorrente"));
    faseCorrente_->setWordWrap(true);
    faseCorrente_->setTextFormat(Qt::PlainText);
    primaDelRibasso_ = new QCheckBox(QStringLiteral("Voci prima del ri&basso"), centro);
    primaDelRibasso_->setObjectName(QStringLiteral("primadelribasso"));
    rigaFase->addWidget(faseCorrente_, 1);
    rigaFase->addWidget(primaDelRibasso_);
    colonna->addLayout(rigaFase);
    connect(primaDelRibasso_, &QCheckBox::toggled, this, [this](bool prima) {
        if (!aggiornando_) documento_.impostaPrimaDelRibasso(prima);
    });

    // The items.
    vista_ = new QTreeView(centro);
    vista_->setObjectName(QStringLiteral("voci"));
    vista_->setModel(modello_);
    vista_->setItemDelegate(new DelegatoVoci(vista_));
    vista_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    vista_->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    vista_->setAlternatingRowColors(true);
    vista_->setUniformRowHeights(true);
    vista_->header()->setStretchLastSection(false);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Etichetta, QHeaderView::Stretch);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Codice, QHeaderView::ResizeToContents);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Regola, QHeaderView::Interactive);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Importo, QHeaderView::ResizeToContents);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Manodopera,
                                           QHeaderView::ResizeToContents);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Ribasso, QHeaderView::ResizeToContents);
    vista_->header()->setSectionResizeMode(ModelloQuadro::Nota, QHeaderView::Interactive);
    vista_->setColumnWidth(ModelloQuadro::Nota,
                           fontMetrics().horizontalAdvance(QStringLiteral("D.Lgs. 36/2023, art. 45")));
    vista_->setColumnWidth(
        ModelloQuadro::Regola,
        fontMetrics().horizontalAdvance(QStringLiteral("4 % di B.7.1 + B.7.2 + B.7.3 MMM")));
    colonna->addWidget(vista_, 1);

    // The fixed total and the totals.
    auto* riga = new QHBoxLayout;
    vincolato_ = new QCheckBox(QStringLiteral("Totale &vincolato"), centro);
    vincolato_->setObjectName(QStringLiteral("vincolato"));
    totaleVincolato_ = new QLineEdit(centro);
    totaleVincolato_->setObjectName(QStringLiteral("totalevincolato"));
    totaleVincolato_->setAlignment(Qt::AlignRight);
    auto* etichettaCompensa = new QLabel(QStringLiteral("compensato da"), centro);
    compensa_ = new QComboBox(centro);
    compensa_->setObjectName(QStringLiteral("compensa"));
    compensa_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    etichettaCompensa->setBuddy(compensa_);
    riga->addWidget(vincolato_);
    riga->addWidget(totaleVincolato_);
    riga->addWidget(etichettaCompensa);
    riga->addWidget(compensa_, 1);
    colonna->addLayout(riga);
    esitoVincolo_ = new QLabel(centro);
    esitoVincolo_->setObjectName(QStringLiteral("esitovincolo"));
    esitoVincolo_->setWordWrap(true);
    colonna->addWidget(esitoVincolo_);
    fonteVoce_ = new QLabel(centro);
    fonteVoce_->setObjectName(QStringLiteral("fontevoce"));
    fonteVoce_->setWordWrap(true);
    fonteVoce_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    colonna->addWidget(fonteVoce_);
    avvisiLegge_ = new QLabel(centro);
    avvisiLegge_->setObjectName(QStringLiteral("avvisilegge"));
    avvisiLegge_->setWordWrap(true);
    avvisiLegge_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    avvisiLegge_->setStyleSheet(QStringLiteral("color: #8a4b00"));
    colonna->addWidget(avvisiLegge_);
    auto* piede = new QHBoxLayout;
    avviso_ = new QLabel(centro);
    avviso_->setObjectName(QStringLiteral("avviso"));
    avviso_->setWordWrap(true);
    avviso_->setStyleSheet(QStringLiteral("color: #a00000"));
    totale_ = new QLabel(centro);
    totale_->setObjectName(QStringLiteral("totale"));
    QFont grassetto = totale_->font();
    grassetto.setBold(true);
    totale_->setFont(grassetto);
    totale_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    piede->addWidget(avviso_, 1);
    piede->addWidget(totale_);
    colonna->addLayout(piede);
    setCentralWidget(centro);

    connect(vincolato_, &QCheckBox::toggled, this, &FinestraQuadro::scriviVincolo);
    connect(totaleVincolato_, &QLineEdit::editingFinished, this, &FinestraQuadro::scriviVincolo);
    connect(compensa_, &QComboBox::activated, this, &FinestraQuadro::scriviVincolo);
    connect(modello_, &ModelloQuadro::avviso, this, [this](const QString& m) { mostraEsito(m); });

    // Menus and the bar of commands.
    auto azione = [this](QMenu* menu, const char* nome, const QString& testo,
                         const QKeySequence& tasto, const std::function<void()>& f,
                         bool soloVoci = false) {
        auto* a = new QAction(testo, this);
        a->setObjectName(QString::fromLatin1(nome));
        if (!tasto.isEmpty()) a->setShortcut(tasto);
        if (soloVoci) {
            // Keys that mean something else in a text box act only in the tree.
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            vista_->addAction(a);
        }
        connect(a, &QAction::triggered, this, [f] { f(); });
        menu->addAction(a);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    azione(file, "nuovoquadro", QStringLiteral("Nuovo quadro"), QKeySequence::New,
           [this] { nuovo(); });
    azione(file, "apriquadro", QStringLiteral("Apri quadro…"), QKeySequence::Open,
           [this] { apri(); });
    file->addSeparator();
    azione(file, "salva", QStringLiteral("&Salva"), QKeySequence::Save, [this] { salva(); });
    // Ctrl+Maiusc+S on every system: not every platform gives "Save as" a key.
    azione(file, "salvanome", QStringLiteral("Salva con &nome…"),
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { salvaConNome(); });
    azione(file, "esportacsv", QStringLiteral("&Esporta in CSV…"), {}, [this] { esportaCsv(); });
    file->addSeparator();
    // The administration's print, its PDF and the spreadsheet.
    aggiungiComandiDocumenti(this, file,
                             [this] { return daEsportare(); });
    QAction* colori = azione(file, "stampaacolori", QStringLiteral("Stampa a co&lori"), {},
                             [] {});
    colori->setCheckable(true);
    colori->setChecked(stampaAColori());
    colori->setToolTip(QStringLiteral("Tabelle delle stampe in rosso e giallo invece che in bianco "
                                      "e nero"));
    connect(colori, &QAction::toggled, this, [](bool si) { impostaStampaAColori(si); });
    QAction* note = azione(file, "stampanote", QStringLiteral("Stampa le no&te delle voci"), {},
                           [] {});
    note->setCheckable(true);
    note->setChecked(stampaNote());
    connect(note, &QAction::toggled, this, [](bool si) { impostaStampaNote(si); });
    file->addSeparator();
    azione(file, "chiudi", QStringLiteral("&Chiudi"), QKeySequence::Close, [this] { close(); });

    QMenu* modifica = menuBar()->addMenu(QStringLiteral("&Modifica"));
    modifica->setObjectName(QStringLiteral("modifica"));
    QAction* annulla = documento_.storia().createUndoAction(this, QStringLiteral("&Annulla"));
    annulla->setObjectName(QStringLiteral("annulla"));
    annulla->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* ripeti = documento_.storia().createRedoAction(this, QStringLiteral("&Ripeti"));
    ripeti->setObjectName(QStringLiteral("ripeti"));
    ripeti->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    modifica->addAction(annulla);
    modifica->addAction(ripeti);
    modifica->addSeparator();
    azione(
        modifica, "copia", QStringLiteral("&Copia"), QKeySequence::Copy, [this] { copia(); }, true);
    modifica->addSeparator();
    QAction* nuova = azione(
        modifica, "aggiungivoce", QStringLiteral("A&ggiungi voce"), QKeySequence(Qt::Key_Insert),
        [this] { aggiungi(false); }, true);
    QAction* sotto = azione(
        modifica, "aggiungisottovoce", QStringLiteral("Aggiungi s&ottovoce"),
        QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { aggiungi(true); }, true);
    QAction* via = azione(
        modifica, "eliminavoce", QStringLiteral("&Elimina voce"), QKeySequence(Qt::Key_Delete),
        [this] { elimina(); }, true);
    QAction* dentro = azione(
        modifica, "rientra", QStringLiteral("&Rientra"), QKeySequence(Qt::ALT | Qt::Key_Right),
        [this] { rientra(); }, true);
    QAction* fuori = azione(
        modifica, "sporgi", QStringLiteral("Es&ci dalla sezione"),
        QKeySequence(Qt::ALT | Qt::Key_Left), [this] { sporgi(); }, true);
    QAction* su = azione(
        modifica, "su", QStringLiteral("Sposta s&u"), QKeySequence(Qt::ALT | Qt::Key_Up),
        [this] { sposta(-1); }, true);
    QAction* giu = azione(
        modifica, "giu", QStringLiteral("Sposta &giù"), QKeySequence(Qt::ALT | Qt::Key_Down),
        [this] { sposta(+1); }, true);
    modifica->addSeparator();
    baseDiGara_ = azione(
        modifica, "basedigara", QStringLiteral("Calcola sulla &base di gara"), {},
        [this] {
            const bool si = baseDiGara_->isChecked();
            modificaVoceCorrente(QStringLiteral("base di gara"),
                                 [si](Quadro& q, const Percorso& p) {
                                     return impostaBaseDiGara(q, p, si);
                                 });
        },
        true);
    baseDiGara_->setCheckable(true);
    baseDiGara_->setToolTip(QStringLiteral(
        "Nell'aggiudicazione e nelle varianti la voce resta quella del progetto posto a gara"));
    tabelle_ = modifica->addMenu(QStringLiteral("&Tabella a scaglioni"));
    tabelle_->setObjectName(QStringLiteral("tabellescaglioni"));
    {
        const CatalogoTabelle& catalogo = catalogoTabelle();
        for (const QString& nome : catalogo.nomi()) {
            QString titolo = nome;
            for (const TabellaScaglioni& t : catalogo.tabelle)
                if (t.nome == nome) titolo = t.titolo;
            QAction* a = tabelle_->addAction(titolo + QStringLiteral(" (") + nome + u')');
            a->setObjectName(QStringLiteral("tabella_") + nome);
            connect(a, &QAction::triggered, this, [this, nome] {
                modificaVoceCorrente(QStringLiteral("tabella a scaglioni"),
                                     [nome](Quadro& q, const Percorso& p) {
                                         return impostaTabella(q, p, nome);
                                     });
            });
        }
    }
    aliquote_ = modifica->addMenu(QStringLiteral("A&liquota"));
    aliquote_->setObjectName(QStringLiteral("aliquote"));
    connect(aliquote_, &QMenu::aboutToShow, this, &FinestraQuadro::aggiornaVoceCorrente);
    // The key of ANAC's data the item counts under; "come la sezione": its
    // section's.
    categorieAnac_ = modifica->addMenu(QStringLiteral("Categoria A&NAC"));
    categorieAnac_->setObjectName(QStringLiteral("categorieanac"));
    {
        auto* gruppo = new QActionGroup(categorieAnac_);
        // None checked for an item whose key is none of these.
        gruppo->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        auto voceMenu = [this, gruppo](const QString& chiave, const QString& testo) {
            QAction* a = categorieAnac_->addAction(testo);
            a->setObjectName(QStringLiteral("anac_") +
                             (chiave.isEmpty() ? QStringLiteral("sezione") : chiave));
            a->setData(chiave);
            a->setCheckable(true);
            a->setActionGroup(gruppo);
            connect(a, &QAction::triggered, this, [this, chiave] {
                modificaVoceCorrente(QStringLiteral("categoria ANAC"),
                                     [chiave](Quadro& q, const Percorso& p) {
                                         return impostaCategoriaAnacVoce(q, p, chiave);
                                     });
            });
        };
        voceMenu(QString(), QStringLiteral("Come la sezione"));
        categorieAnac_->addSeparator();
        for (const CategoriaAnac& c : categorieAnac())
            voceMenu(c.chiave, c.nome + QStringLiteral(" (") + c.chiave + u')');
    }
    modifica->addSeparator();
    azione(modifica, "rinumera", QStringLiteral("Ri&numera le voci"), {}, [this] {
        riseleziona(corrente());
        mostraEsito(documento_.modificaQuadro(QStringLiteral("rinumera le voci"),
                                              [](Quadro& q) { return rinumeraVoci(q); }));
    });
    aggiungiMenuFasi(this, documento_, [this] {
        const QString fase = documento_.fasi().fasi.value(documento_.faseCorrente()).nome;
        return nomeProposto(QStringLiteral(" - ") + nomeFileSicuro(fase) +
                            QStringLiteral(" - dati ANAC"));
    });
    auto* barra = addToolBar(QStringLiteral("Voci"));
    barra->setObjectName(QStringLiteral("barravoci"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* a : {nuova, sotto, via, dentro, fuori, su, giu}) barra->addAction(a);
    barra->addSeparator();
    barra->addAction(annulla);
    barra->addAction(ripeti);

    connect(&documento_, &DocumentoQuadro::cambiato, this, &FinestraQuadro::aggiorna);
    // The current item outlives the rebuilding of the tree, unless an edit
    // chose where to go next.
    // The sections the designer closed stay closed when the tree is rebuilt
    // (an insert, a move), found again by their codes.
    connect(modello_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (!scelta_) scelta_ = corrente();
    });
    connect(vista_, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        chiuse_.insert(i.siblingAtColumn(ModelloQuadro::Codice).data().toString());
    });
    connect(vista_, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        chiuse_.remove(i.siblingAtColumn(ModelloQuadro::Codice).data().toString());
    });
    connect(modello_, &QAbstractItemModel::modelReset, this, [this] {
        const QSet<QString> chiuse = chiuse_;  // expandAll() reports every section opened
        vista_->expandAll();
        chiuse_ = chiuse;
        for (const VoceInOrdine& o : vociInOrdine(documento_.quadro()))
            if (chiuse_.contains(o.voce->codice))
                vista_->collapse(modello_->indiceDi(o.percorso));
    });
    connect(vista_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FinestraQuadro::aggiornaVoceCorrente);
    aggiorna();
    vista_->expandAll();
    // Wide enough for the bar of commands, a long label and the columns of
    // labour, discount and note, never past the screen (1366 x 768 included).
    QSize misura(fontMetrics().averageCharWidth() * 210, fontMetrics().height() * 52);
    if (const QScreen* schermo = screen())
        misura = misura.boundedTo(schermo->availableSize() * 0.95);
    resize(misura);
    vista_->setFocus();
}

FinestraQuadro::~FinestraQuadro() {
    // A document with unsaved edits says so once more while it is destroyed
    // (its undo history leaves the unsaved state): nobody listens any more,
    // neither the window, whose widgets are gone by then, nor its model, its
    // menu or an open comparison.
    disconnect(&documento_, nullptr, nullptr, nullptr);
    // The view goes before the document it shows: the widgets are otherwise
    // destroyed after the members and may still ask for the items.
    delete centralWidget();
}

Percorso FinestraQuadro::corrente() const {
    return modello_->percorso(vista_->currentIndex());
}

void FinestraQuadro::riseleziona(const Percorso& p) {
    scelta_ = p;
}

void FinestraQuadro::aggiorna() {
    aggiornando_ = true;
    const FileQuadro& f = documento_.file();
    const Intestazione& i = f.intestazione;
    const QString valori[] = {i.ente,        i.titolo,
                              i.cup,         i.cig,
                              i.rup,         i.progettista,
                              dataItaliana(documento_.dataFase()), i.valuta};
    for (int k = 0; k < campi_.size(); ++k)
        if (campi_[k]->text() != valori[k]) campi_[k]->setText(valori[k]);
    if (luogo_->text() != i.luogo) luogo_->setText(i.luogo);

    const Quadro& q = documento_.quadro();
    const Valutazione& v = documento_.valutazione();
    const bool modificabili = documento_.vociModificabili();
    vincolato_->setChecked(q.vincolo.totale.has_value());
    vincolato_->setEnabled(modificabili);
    totaleVincolato_->setEnabled(modificabili && q.vincolo.totale.has_value());
    compensa_->setEnabled(modificabili && q.vincolo.totale.has_value());
    const QString testoVincolo = q.vincolo.totale ? testoImporto(*q.vincolo.totale) : QString();
    if (!totaleVincolato_->hasFocus() || totaleVincolato_->text() != testoVincolo)
        totaleVincolato_->setText(testoVincolo);
    compensa_->clear();
    compensa_->addItem(QStringLiteral("(la voce degli imprevisti)"), QString());
    for (const VoceInOrdine& o : vociInOrdine(q))
        if (o.voce->tipo == Tipo::Importo)
            compensa_->addItem(o.voce->codice + QStringLiteral("  ") + o.voce->etichetta,
                               o.voce->codice);
    compensa_->setCurrentIndex(std::max(0, compensa_->findData(q.vincolo.compensa)));

    const QString valuta = i.valuta.isEmpty() ? QStringLiteral("euro") : i.valuta;
    switch (v.vincolo) {
        case EsitoVincolo::Nessuno:
            esitoVincolo_->clear();
            break;
        case EsitoVincolo::Raggiunto:
            esitoVincolo_->setText(
                QStringLiteral("La voce «%1» compensa la differenza: il totale è quello vincolato.")
                    .arg(v.compensa));
            break;
        case EsitoVincolo::Scarto:
            esitoVincolo_->setText(QStringLiteral("La voce «%1» compensa la differenza; il totale "
                                                  "resta sotto quello vincolato di %2.")
                                       .arg(v.compensa, testoImporto(v.scarto)));
            break;
        case EsitoVincolo::Irraggiungibile:
            esitoVincolo_->setText(QStringLiteral("Il totale vincolato non è raggiungibile: anche "
                                                  "con la voce «%1» a zero il totale lo supera di "
                                                  "%2. Nessuna voce è stata cambiata.")
                                       .arg(v.compensa, testoImporto(v.scarto)));
            break;
        case EsitoVincolo::SenzaCompensa:
            esitoVincolo_->setText(
                QStringLiteral("Scegliere la voce che compensa la differenza: "
                               "il quadro non ha una voce «Imprevisti»."));
            break;
    }
    totale_->setText(
        QStringLiteral("Totale del progetto (in %1): %2").arg(valuta, testoImporto(v.totale)));
    // The evaluation's warnings, and the typed amounts below zero (a
    // deduction may be meant: said, never refused).
    QStringList avvisi = v.avvisi;
    QStringList negativi;
    for (const VoceInOrdine& o : vociInOrdine(q))
        if (o.voce->tipo == Tipo::Importo && v.importo(o.voce->codice) < 0)
            negativi.append(QStringLiteral("«%1» %2").arg(o.voce->codice,
                                                         testoImporto(v.importo(o.voce->codice))));
    if (!negativi.isEmpty())
        avvisi.append(QStringLiteral("Importi negativi: %1.").arg(negativi.join(QStringLiteral(", "))));
    avvisiLegge_->setText(avvisi.join(u'\n'));
    avvisiLegge_->setVisible(!avvisi.isEmpty());

    const FileFasi& fasi = documento_.fasi();
    const Fase& fase = fasi.fasi[documento_.faseCorrente()];
    faseCorrente_->setText(descrizioneFase(documento_));
    const bool gara = fase.tipo == TipoFase::Aggiudicazione && fase.ribasso;
    primaDelRibasso_->setVisible(gara);
    primaDelRibasso_->setChecked(documento_.primaDelRibasso());

    const QString nome = documento_.percorso().isEmpty()
                             ? QStringLiteral("nuovo quadro")
                             : QFileInfo(documento_.percorso()).fileName();
    setWindowTitle(kTitolo + QStringLiteral(" - ") + nome + QStringLiteral(" - ") + fase.nome +
                   QStringLiteral("[*]"));
    setWindowModified(documento_.modificato());

    const Percorso dopo = scelta_.value_or(corrente());
    scelta_.reset();
    QModelIndex scelto = modello_->indiceDi(dopo);
    if (!scelto.isValid() && !dopo.isEmpty()) {
        Percorso su = dopo;
        while (!su.isEmpty() && !scelto.isValid()) {
            if (su.last() > 0)
                --su.last();
            else
                su.removeLast();
            scelto = modello_->indiceDi(su);
        }
    }
    // The same row keeps its current cell (and an editor open in it).
    if (scelto.isValid() && modello_->percorso(scelto) != corrente())
        vista_->setCurrentIndex(scelto);
    aggiornaVoceCorrente();
    aggiornando_ = false;
}

void FinestraQuadro::aggiornaVoceCorrente() {
    const Voce* v = voceA(documento_.quadro(), corrente());
    const Valutazione& val = documento_.valutazione();
    const bool modificabili = documento_.vociModificabili() && v;
    const bool regola = v && (v->tipo == Tipo::Percentuale || v->tipo == Tipo::Tabella);
    baseDiGara_->setEnabled(modificabili && regola);
    baseDiGara_->setChecked(v && v->sullaBaseDiGara);
    tabelle_->setEnabled(modificabili && v->tipo != Tipo::Sezione);

    categorieAnac_->setEnabled(modificabili);
    const QString categoria = v ? categoriaAnac(*v) : QString();
    for (QAction* a : categorieAnac_->actions())
        if (a->isCheckable()) a->setChecked(v && a->data().toString() == categoria);

    aliquote_->clear();
    const Aliquote* scelte = v && v->tipo == Tipo::Percentuale
                                 ? trovaAliquote(catalogoTabelle(), aliquoteVoce(*v))
                                 : nullptr;
    aliquote_->setEnabled(modificabili && scelte && !scelte->scelte.isEmpty());
    if (scelte)
        for (const SceltaAliquota& s : scelte->scelte) {
            QAction* a = aliquote_->addAction(
                QStringLiteral("%1 % — %2").arg(testoPercentuale(s.percentuale), s.titolo));
            a->setObjectName(QStringLiteral("aliquota_") + testoPercentualeFile(s.percentuale));
            a->setCheckable(true);
            a->setChecked(v->percentuale == s.percentuale);
            const Millesimi m = s.percentuale;
            connect(a, &QAction::triggered, this, [this, m] {
                modificaVoceCorrente(QStringLiteral("aliquota"), [m](Quadro& q, const Percorso& p) {
                    return impostaAliquota(q, p, m);
                });
            });
        }

    // What the current item is computed from, and where its figures come from.
    QStringList fonte;
    if (v) {
        if (const auto t = val.tabelle.constFind(v->codice); t != val.tabelle.constEnd())
            fonte.append(QStringLiteral("«%1»: tabella %2 %3, %4.")
                             .arg(v->codice, t->titolo)
                             .arg(t->anno)
                             .arg(t->fonte));
        if (val.tenuteDalProgetto.contains(v->codice))
            fonte.append(QStringLiteral("«%1» si calcola sulla base di gara: resta l'importo del progetto (%2).")
                             .arg(v->codice, testoImporto(val.importo(v->codice))));
        if (scelte && !scelte->fonte.isEmpty())
            fonte.append(QStringLiteral("Aliquote: %1.").arg(scelte->fonte));
        if (!v->nota.isEmpty()) fonte.append(QStringLiteral("Nota: %1").arg(v->nota));
    }
    fonteVoce_->setText(fonte.join(u' '));
    fonteVoce_->setVisible(!fonte.isEmpty());
}

void FinestraQuadro::modificaVoceCorrente(
    const QString& nome, const std::function<EsitoModifica(Quadro&, const Percorso&)>& f) {
    const Percorso p = corrente();
    if (!voceA(documento_.quadro(), p)) return;
    riseleziona(p);
    mostraEsito(documento_.modificaQuadro(nome, [&](Quadro& q) { return f(q, p); }));
    aggiornaVoceCorrente();
}

void FinestraQuadro::mostraEsito(const EsitoModifica& e) {
    avviso_->setText(e.value_or(QString()));
}

void FinestraQuadro::scriviIntestazione() {
    if (aggiornando_) return;
    const auto data = dataIso(campi_[6]->text());
    if (!data) {
        mostraEsito(QStringLiteral("«%1» non è una data: scrivere per esempio 08/12/2026.")
                        .arg(campi_[6]->text()));
        campi_[6]->setText(dataItaliana(documento_.dataFase()));
        return;
    }
    QStringList t;
    for (QLineEdit* c : campi_) t.append(c->text());
    const QString luogo = luogo_->text();
    riseleziona(corrente());
    auto scrivi = [&](Intestazione& i) {
        i.ente = t[0];
        i.titolo = t[1];
        i.cup = t[2];
        i.cig = t[3];
        i.rup = t[4];
        i.progettista = t[5];
        i.valuta = t[7];
        i.luogo = luogo;
    };
    if (*data != documento_.dataFase()) {
        // The phase's date: a change of the phase, refused on a locked one.
        FileFasi f = documento_.fasi();
        scrivi(f.intestazione);
        const int n = documento_.faseCorrente();
        if (const auto e = modificaFase(f, n, [&](Fase& x) {
                x.data = *data;
                return EsitoFase();
            })) {
            mostraEsito(*e);
            aggiorna();
            return;
        }
        // A file of one phase keeps its header's date with it, as files of
        // one framework have it.
        if (f.fasi.size() == 1) f.intestazione.data = *data;
        documento_.modificaFasi(QStringLiteral("data della fase"), f, n);
        mostraEsito({});
        return;
    }
    mostraEsito(documento_.modifica(QStringLiteral("intestazione"), [&](FileQuadro& f) {
        scrivi(f.intestazione);
        return EsitoModifica();
    }));
}

void FinestraQuadro::scriviVincolo() {
    if (aggiornando_) return;
    std::optional<Centesimi> totale;
    if (vincolato_->isChecked()) {
        const QString testo = totaleVincolato_->text();
        if (testo.trimmed().isEmpty()) {
            totale = documento_.valutazione().totale;  // the current total, to start from
        } else {
            totale = leggiImportoItaliano(testo);
            if (!totale || *totale < 0) {
                mostraEsito(QStringLiteral("«%1» non è un importo: scrivere per esempio "
                                           "1.250.000,00.")
                                .arg(testo));
                aggiorna();
                return;
            }
        }
    }
    const QString compensa = compensa_->currentData().toString();
    riseleziona(corrente());
    mostraEsito(documento_.modificaQuadro(QStringLiteral("totale vincolato"), [&](Quadro& q) {
        q.vincolo.totale = totale;
        q.vincolo.compensa = compensa;
        return EsitoModifica();
    }));
    aggiorna();
}

void FinestraQuadro::aggiungi(bool dentro) {
    Percorso nuovo;
    const Percorso p = corrente();
    const auto e = documento_.modificaQuadro(QStringLiteral("nuova voce"), [&](Quadro& q) {
        return aggiungiVoce(q, p, dentro, &nuovo);
    });
    mostraEsito(e);
    if (!e) {
        riseleziona(nuovo);
        aggiorna();
        vista_->edit(modello_->indiceDi(nuovo, ModelloQuadro::Etichetta));
    }
}

void FinestraQuadro::elimina() {
    const Percorso p = corrente();
    if (p.isEmpty()) return;
    // The item that absorbs the funding difference goes only when the
    // designer says so: without it the total no longer meets the funding.
    const Quadro& q = documento_.quadro();
    const Voce* v = voceA(q, p);
    const Valutazione& val = documento_.valutazione();
    if (v && q.vincolo.totale && !val.compensa.isEmpty()) {
        QStringList tolte;
        for (const VoceInOrdine& o : vociInOrdine(q))
            if (o.percorso.mid(0, p.size()) == p) tolte.append(o.voce->codice);
        if (tolte.contains(val.compensa) &&
            messaggio(QStringLiteral("La voce «%1» compensa la differenza dal totale vincolato "
                                     "(%2): eliminandola il totale del progetto non resterà "
                                     "quello vincolato. Eliminarla?")
                          .arg(val.compensa, testoImporto(val.importo(val.compensa))),
                      kTitolo, Icona::Domanda, Pulsanti::SiNo, Risposta::No) != Risposta::Si)
            return;
    }
    riseleziona(p);
    mostraEsito(documento_.modificaQuadro(QStringLiteral("elimina voce"),
                                          [&](Quadro& q) { return rimuoviVoce(q, p); }));
}

void FinestraQuadro::rientra() {
    Percorso nuovo;
    const Percorso p = corrente();
    if (p.isEmpty()) return;
    // Under an amount item the item above becomes a section: its amount goes,
    // and only when the designer says so.
    if (p.last() > 0) {
        Percorso sopra = p;
        --sopra.last();
        const Voce* s = voceA(documento_.quadro(), sopra);
        const Centesimi importo = s ? documento_.valutazione().importo(s->codice) : 0;
        if (s && s->tipo == Tipo::Importo && importo != 0 &&
            messaggio(QStringLiteral("La voce «%1» diventa una sezione e perde il suo importo di "
                                     "%2. Continuare?")
                          .arg(s->codice, testoImporto(importo)),
                      kTitolo, Icona::Domanda, Pulsanti::SiNo, Risposta::No) != Risposta::Si)
            return;
    }
    riseleziona(p);
    const auto e = documento_.modificaQuadro(QStringLiteral("rientra"),
                                             [&](Quadro& q) { return rientraVoce(q, p, &nuovo); });
    mostraEsito(e);
    if (!e) {
        riseleziona(nuovo);
        aggiorna();
    }
}

void FinestraQuadro::sporgi() {
    Percorso nuovo;
    const Percorso p = corrente();
    if (p.isEmpty()) return;
    riseleziona(p);
    const auto e = documento_.modificaQuadro(QStringLiteral("esci dalla sezione"),
                                             [&](Quadro& q) { return sporgiVoce(q, p, &nuovo); });
    mostraEsito(e);
    if (!e) {
        riseleziona(nuovo);
        aggiorna();
    }
}

void FinestraQuadro::sposta(int verso) {
    Percorso nuovo;
    const Percorso p = corrente();
    if (p.isEmpty()) return;
    riseleziona(p);
    const auto e = documento_.modificaQuadro(
        QStringLiteral("sposta voce"), [&](Quadro& q) { return spostaVoce(q, p, verso, &nuovo); });
    mostraEsito(e);
    if (!e) {
        riseleziona(nuovo);
        aggiorna();
    }
}

void FinestraQuadro::copia() {
    QModelIndexList scelti = vista_->selectionModel()->selectedRows();
    if (scelti.isEmpty() && vista_->currentIndex().isValid()) scelti = {vista_->currentIndex()};
    QApplication::clipboard()->setText(modello_->testoTabulato(scelti));
}

bool FinestraQuadro::chiudibile() {
    if (!documento_.modificato()) return true;
    const Risposta r = messaggio(QStringLiteral("Salvare le modifiche al quadro economico?"),
                                 kTitolo, Icona::Domanda, Pulsanti::SiNoAnnulla, Risposta::Si);
    if (r == Risposta::Annulla) return false;
    if (r == Risposta::Si) return salva();
    return true;
}

bool FinestraQuadro::nuovo() {
    if (!chiudibile()) return false;
    FileQuadro f;
    f.quadro = modello2023();
    riseleziona({0});
    documento_.imposta(f, QString());
    mostraEsito({});
    return true;
}

bool FinestraQuadro::accogli(const FileQuadro& f) {
    if (!chiudibile()) return false;
    riseleziona({0});
    documento_.imposta(f, QString(), true);
    mostraEsito({});
    return true;
}

bool FinestraQuadro::apri() {
    if (!chiudibile()) return false;
    RichiestaFile r;
    r.titolo = QStringLiteral("Apri quadro economico");
    r.filtri = filtriQuadro();
    const auto scelta = chiediFile(r);
    if (!scelta) return false;
    return apriPercorso(*scelta);
}

bool FinestraQuadro::apriPercorso(const QString& percorso) {
    if (const auto e = documento_.apri(percorso)) {
        // An empty message: the user chose not to open a file another Varimo holds.
        if (!e->isEmpty()) messaggio(*e, kTitolo, Icona::Esclamazione);
        return false;
    }
    riseleziona({0});
    aggiorna();
    mostraEsito({});
    return true;
}

QString FinestraQuadro::nomeProposto(const QString& estensione) const {
    if (!documento_.percorso().isEmpty()) {
        const QFileInfo info(documento_.percorso());
        return info.dir().filePath(info.completeBaseName() + estensione);
    }
    const QString titolo = documento_.file().intestazione.titolo.trimmed();
    return nomeFileSicuro(titolo.isEmpty() ? QStringLiteral("quadro") : titolo) + estensione;
}

bool FinestraQuadro::salva() {
    return salvataggio(false);
}

bool FinestraQuadro::salvaConNome() {
    return salvataggio(true);
}

bool FinestraQuadro::salvataggio(bool nuovoNome) {
    const QString estensione = QString::fromLatin1(kEstensione);
    const bool fatto = documento_.salvaChiedendo(nuovoNome, [&]() -> std::optional<QString> {
        RichiestaFile r;
        r.titolo = QStringLiteral("Salva quadro economico");
        r.filtri = filtriQuadro();
        r.salvataggio = true;
        r.nomeFile = documento_.percorso().isEmpty() ? nomeProposto(estensione)
                                                     : documento_.percorso();
        auto scelta = chiediFile(r);
        if (scelta && !scelta->trimmed().isEmpty() && QFileInfo(*scelta).suffix().isEmpty())
            *scelta += estensione;
        return scelta;
    });
    if (fatto) mostraEsito({});
    return fatto;
}

std::variant<QuadroCalcolato, QString> FinestraQuadro::daEsportare() const {
    // The award's items before the discount are the project's: no figures of
    // the award go with them.
    auto r = documento_.primaDelRibasso()
                 ? calcolaPerDocumenti(documento_.fileMostrato(), documento_.riferimenti())
                 : faseDaEsportare(documento_.fasi(), documento_.faseCorrente());
    // The export dialogs open beside the project's file, with its name.
    if (auto* c = std::get_if<QuadroCalcolato>(&r); c && !documento_.percorso().isEmpty())
        c->nomeProposto = nomeProposto(QString());
    return r;
}

bool FinestraQuadro::esportaCsv() {
    auto calcolato = daEsportare();
    if (const auto* e = std::get_if<QString>(&calcolato)) {
        messaggio(QStringLiteral("Il quadro non è stato esportato in CSV: %1").arg(*e), kTitolo,
                  Icona::Esclamazione);
        return false;
    }
    const QuadroCalcolato& q = std::get<QuadroCalcolato>(calcolato);
    EsportazioneFile e;
    e.titolo = QStringLiteral("Esporta il quadro in CSV");
    e.descrizioneFiltro = QStringLiteral("Testo CSV");
    e.estensione = QStringLiteral(".csv");
    e.fallimento = QStringLiteral("Il quadro non è stato esportato in CSV");
    e.scrivi = scritturaDi(csvQuadro(q));
    ultimoEsportato().clear();
    const bool fatto = esportaFile(e, nomeProposto(QString())) == EsitoStampa::Fatto;
    if (fatto && !ultimoEsportato().isEmpty())
        statusBar()->showMessage(QStringLiteral("Scritto: ") +
                                 QDir::toNativeSeparators(ultimoEsportato()));
    if (fatto) mostraEsito({});
    return fatto;
}

void nuovoQuadro() {
    auto* f = Finestre::istanza().mostra<FinestraQuadro>();
    // A window just made already holds the template.
    if (f->documento().modificato() || !f->documento().percorso().isEmpty()) f->nuovo();
}

void apriQuadro() {
    Finestre::istanza().mostra<FinestraQuadro>()->apri();
}

void convertiInQuadro(const StatoCalcolo& stato) {
    const Progetto* p = Progetto::di(stato);
    const Conversione c =
        convertiStato(stato, p ? p->nome() : QString(), p ? p->valuta() : QString());
    if (!c.errore.isEmpty()) {
        messaggio(c.errore, kTitolo, Icona::Esclamazione);
        return;
    }
    auto* f = Finestre::istanza().mostra<FinestraQuadro>();
    if (!f->accogli(c.file)) return;
    if (!c.avvisi.isEmpty()) messaggio(c.avvisi.join(u'\r'), kTitolo, Icona::Informazione);
}

bool apriQuadroAllAvvio(const QString& percorso) {
    auto* f = Finestre::istanza().mostra<FinestraQuadro>();
    return f->apriPercorso(percorso);
}

}  // namespace varimo::quadro
