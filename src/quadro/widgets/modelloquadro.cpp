#include "quadro/widgets/modelloquadro.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

namespace varimo::quadro {

namespace {

// Why a typed text is no amount, with an example of one.
QString nonUnImporto(const QString& testo) {
    return QStringLiteral(
               "«%1» non è un importo: scrivere per esempio 1.234,56 (virgola per i decimali, "
               "al più due; punti solo tra gruppi di tre cifre).")
        .arg(testo);
}

}  // namespace

ModelloQuadro::ModelloQuadro(DocumentoQuadro* documento, QObject* parent)
    : QAbstractItemModel(parent), documento_(documento) {
    ricostruisci();
    connect(documento_, &DocumentoQuadro::cambiato, this, [this] {
        // An edit of a value leaves the tree's shape alone: the views keep
        // their editors, selection and scrolling. Only a change of shape
        // rebuilds the tree.
        const QList<VoceInOrdine> voci = vociInOrdine(documento_->quadro());
        bool stessaForma = voci.size() == nodi_.size();
        for (qsizetype k = 0; stessaForma && k < voci.size(); ++k)
            stessaForma = voci[k].percorso == nodi_[k].percorso;
        if (!stessaForma) {
            beginResetModel();
            ricostruisci();
            endResetModel();
            return;
        }
        if (!cime_.isEmpty())
            emit dataChanged(index(0, 0), index(int(cime_.size()) - 1, Colonne - 1));
        for (int n = 0; n < nodi_.size(); ++n)
            if (!nodi_[n].figli.isEmpty()) {
                const QModelIndex g = createIndex(nodi_[n].riga, 0, quintptr(n));
                emit dataChanged(index(0, 0, g),
                                 index(int(nodi_[n].figli.size()) - 1, Colonne - 1, g));
            }
    });
}

void ModelloQuadro::ricostruisci() {
    nodi_.clear();
    cime_.clear();
    QList<int> pila;  // the open ancestors, by depth
    for (const VoceInOrdine& v : vociInOrdine(documento_->quadro())) {
        pila.resize(v.profondita);
        const int genitore = pila.isEmpty() ? -1 : pila.last();
        const int id = int(nodi_.size());
        nodi_.append({v.percorso, genitore, int(v.percorso.last()), {}});
        (genitore < 0 ? cime_ : nodi_[genitore].figli).append(id);
        pila.append(id);
    }
}

QModelIndex ModelloQuadro::index(int riga, int colonna, const QModelIndex& genitore) const {
    if (colonna < 0 || colonna >= Colonne) return {};
    const QList<int>& lista = genitore.isValid() ? nodi_[int(genitore.internalId())].figli : cime_;
    if (riga < 0 || riga >= lista.size()) return {};
    return createIndex(riga, colonna, quintptr(lista[riga]));
}

QModelIndex ModelloQuadro::parent(const QModelIndex& figlio) const {
    if (!figlio.isValid()) return {};
    const int g = nodi_[int(figlio.internalId())].genitore;
    if (g < 0) return {};
    return createIndex(nodi_[g].riga, 0, quintptr(g));
}

int ModelloQuadro::rowCount(const QModelIndex& genitore) const {
    if (genitore.column() > 0) return 0;
    return int(genitore.isValid() ? nodi_[int(genitore.internalId())].figli.size() : cime_.size());
}

int ModelloQuadro::columnCount(const QModelIndex&) const {
    return Colonne;
}

const Voce* ModelloQuadro::voce(const QModelIndex& i) const {
    if (!i.isValid() || i.internalId() >= quintptr(nodi_.size())) return nullptr;
    return voceA(documento_->quadro(), nodi_[int(i.internalId())].percorso);
}

Percorso ModelloQuadro::percorso(const QModelIndex& i) const {
    return i.isValid() && i.internalId() < quintptr(nodi_.size())
               ? nodi_[int(i.internalId())].percorso
               : Percorso();
}

QModelIndex ModelloQuadro::indiceDi(const Percorso& p, int colonna) const {
    QModelIndex i;
    for (int r : p) i = index(r, colonna, i.sibling(i.row(), 0));
    return i;
}

QVariant ModelloQuadro::data(const QModelIndex& i, int ruolo) const {
    const Voce* v = voce(i);
    if (!v) return {};
    const Valutazione& val = documento_->valutazione();
    const bool compensa = documento_->quadro().vincolo.totale && val.compensa == v->codice;
    switch (ruolo) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            switch (i.column()) {
                case Codice:
                    return v->codice;
                case Etichetta:
                    return v->etichetta;
                case Regola:
                    if (ruolo == Qt::DisplayRole && compensa)
                        return QStringLiteral("compensazione");
                    return testoRegola(*v, ruolo == Qt::DisplayRole ? &val : nullptr);
                case Importo:
                    return testoImporto(val.importo(v->codice));
                case Manodopera:
                    if (v->tipo == Tipo::Importo)
                        if (const auto m = manodopera(*v)) return testoImporto(*m);
                    return QString();
                case Ribasso:
                    return QVariant();
                case Nota:
                    return v->nota;
            }
            break;
        case Qt::CheckStateRole:
            if (i.column() == Ribasso && v->tipo == Tipo::Importo)
                return ribassabile(documento_->quadro(), percorso(i)) ? Qt::Checked
                                                                      : Qt::Unchecked;
            break;
        case Qt::TextAlignmentRole:
            if (i.column() == Importo || i.column() == Manodopera)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            break;
        case Qt::FontRole:
            if (v->tipo == Tipo::Sezione) {
                QFont f;
                f.setBold(true);
                return f;
            }
            break;
        case Qt::ForegroundRole:
            if (i.column() == Importo && val.importo(v->codice) < 0)
                return QBrush(QColor(170, 0, 0));  // a negative amount stands out
            if (compensa) return QBrush(QColor(0, 0, 160));
            if (i.column() == Etichetta && v->etichetta.size() > kEtichettaLunga)
                return QBrush(QColor(170, 0, 0));
            break;
        case Qt::ToolTipRole: {
            QStringList t;
            if (i.column() == Regola)
                if (const auto u = val.tabelle.constFind(v->codice); u != val.tabelle.constEnd()) {
                    t.append(QStringLiteral("%1 %2 — %3").arg(u->titolo).arg(u->anno).arg(u->fonte));
                    if (!u->avviso.isEmpty()) t.append(u->avviso);
                }
            if (i.column() == Regola && val.tenuteDalProgetto.contains(v->codice))
                t.append(QStringLiteral("Importo del progetto posto a base di gara, che non segue "
                                        "il ribasso."));
            if (!v->nota.isEmpty()) t.append(v->nota);
            if (i.column() == Importo && val.importo(v->codice) < 0)
                t.append(QStringLiteral("Importo negativo."));
            if (v->etichetta.size() > kEtichettaLunga)
                t.append(QStringLiteral("L'etichetta supera i %1 caratteri.").arg(kEtichettaLunga));
            if (!t.isEmpty()) return t.join(u'\n');
            break;
        }
    }
    return {};
}

Qt::ItemFlags ModelloQuadro::flags(const QModelIndex& i) const {
    const Voce* v = voce(i);
    if (!v) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // An award shown after its discount is computed from the project's items.
    if (!documento_->vociModificabili()) return f;
    const bool compensa =
        documento_->quadro().vincolo.totale && documento_->valutazione().compensa == v->codice;
    switch (i.column()) {
        case Codice:
        case Etichetta:
            f |= Qt::ItemIsEditable;
            break;
        case Regola:
            if (v->tipo != Tipo::Sezione && !compensa) f |= Qt::ItemIsEditable;
            break;
        case Importo:
            if (v->tipo == Tipo::Importo && !compensa) f |= Qt::ItemIsEditable;
            break;
        case Manodopera:
            if (v->tipo == Tipo::Importo) f |= Qt::ItemIsEditable;
            break;
        case Ribasso:
            if (v->tipo == Tipo::Importo) f |= Qt::ItemIsUserCheckable;
            break;
        case Nota:
            f |= Qt::ItemIsEditable;
            break;
    }
    return f;
}

bool ModelloQuadro::setData(const QModelIndex& i, const QVariant& valore, int ruolo) {
    const Voce* v = voce(i);
    if (v && ruolo == Qt::CheckStateRole && i.column() == Ribasso) {
        const Percorso p = percorso(i);
        const bool si = valore.toInt() == Qt::Checked;
        const EsitoModifica esito = documento_->modificaQuadro(
            QStringLiteral("soggetto a ribasso"),
            [&](Quadro& q) { return impostaRibassabile(q, p, si); });
        emit avviso(esito.value_or(QString()));
        return !esito;
    }
    if (!v || ruolo != Qt::EditRole) return false;
    const Percorso p = percorso(i);
    const QString testo = valore.toString();
    const Centesimi attuale = documento_->valutazione().importo(v->codice);
    EsitoModifica esito;
    switch (i.column()) {
        case Codice:
            esito = documento_->modificaQuadro(
                QStringLiteral("codice"), [&](Quadro& q) { return cambiaCodice(q, p, testo); });
            break;
        case Etichetta:
            esito = documento_->modificaQuadro(QStringLiteral("etichetta"), [&](Quadro& q) {
                voceA(q, p)->etichetta = testo;
                return EsitoModifica();
            });
            break;
        case Regola:
            esito = documento_->modificaQuadro(QStringLiteral("regola"), [&](Quadro& q) {
                return impostaRegola(q, p, testo, attuale);
            });
            break;
        case Importo: {
            const auto c = leggiImportoItaliano(testo);
            if (!c) {
                esito = nonUnImporto(testo);
                break;
            }
            if (const auto m = manodopera(*v); m && *c < *m) {
                esito = QStringLiteral("L'importo della voce «%1» (%2) sarebbe minore della sua "
                                       "manodopera (%3): correggere prima la manodopera.")
                            .arg(v->codice, testoImporto(*c), testoImporto(*m));
                break;
            }
            esito = documento_->modificaQuadro(QStringLiteral("importo"), [&](Quadro& q) {
                voceA(q, p)->importo = *c;
                return EsitoModifica();
            });
            break;
        }
        case Manodopera: {
            std::optional<Centesimi> c;
            if (!testo.trimmed().isEmpty()) {
                c = leggiImportoItaliano(testo);
                if (!c) {
                    esito = nonUnImporto(testo);
                    break;
                }
            }
            esito = documento_->modificaQuadro(QStringLiteral("manodopera"), [&](Quadro& q) {
                return impostaManodoperaVoce(q, p, c);
            });
            break;
        }
        case Ribasso:
            return false;
        case Nota:
            esito = documento_->modificaQuadro(QStringLiteral("nota"), [&](Quadro& q) {
                voceA(q, p)->nota = testo.trimmed();
                return EsitoModifica();
            });
            break;
    }
    if (esito) {
        emit avviso(*esito);
        return false;
    }
    if (i.column() == Etichetta && testo.size() > kEtichettaLunga)
        emit avviso(QStringLiteral("Attenzione: l'etichetta della voce «%1» supera i %2 "
                                   "caratteri; per una stampa corretta conviene accorciarla.")
                        .arg(v->codice)
                        .arg(kEtichettaLunga));
    else
        emit avviso(QString());  // an earlier refusal no longer applies
    return true;
}

QVariant ModelloQuadro::headerData(int sezione, Qt::Orientation o, int ruolo) const {
    if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return {};
    switch (sezione) {
        case Codice:
            return QStringLiteral("Codice");
        case Etichetta:
            return QStringLiteral("Voce");
        case Regola:
            return QStringLiteral("Regola");
        case Importo:
            return QStringLiteral("Importo");
        case Manodopera:
            return QStringLiteral("Di cui manodopera");
        case Ribasso:
            return QStringLiteral("Soggetto a ribasso");
        case Nota:
            return QStringLiteral("Nota");
    }
    return {};
}

QString ModelloQuadro::testoTabulato(const QModelIndexList& scelti) const {
    QList<int> nodi;
    for (const QModelIndex& i : scelti)
        if (i.isValid() && !nodi.contains(int(i.internalId()))) nodi.append(int(i.internalId()));
    std::sort(nodi.begin(), nodi.end());  // node ids follow the reading order
    QString s;
    for (int n : nodi) {
        const Voce* v = voceA(documento_->quadro(), nodi_[n].percorso);
        auto pulito = [](QString t) {
            t.replace(u'\t', u' ');
            t.replace(u'\n', u' ');
            t.replace(u'\r', u' ');
            return t;
        };
        s += pulito(v->codice) + u'\t' + pulito(v->etichetta) + u'\t' + testoRegola(*v, &documento_->valutazione()) + u'\t' +
             testoImporto(documento_->valutazione().importo(v->codice), false) + u'\n';
    }
    return s;
}

}  // namespace varimo::quadro
