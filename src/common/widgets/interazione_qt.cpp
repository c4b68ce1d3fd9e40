#include "common/widgets/interazione_qt.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTreeView>
#include <algorithm>

namespace varimo {

namespace {

// The file list of the dialogs in the program's language: Qt's file model
// writes sizes and dates in the system's language and names folders and file
// types in English. Size, type and date are written again here with the
// program's locale and the Italian names of the types.
class ElencoFileItaliano final : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& indice, int ruolo) const override {
        const auto* file = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (ruolo != Qt::DisplayRole || !file || indice.column() < 1 || indice.column() > 3)
            return QIdentityProxyModel::data(indice, ruolo);
        const QFileInfo info = file->fileInfo(mapToSource(indice));
        const QLocale locale;
        switch (indice.column()) {
            case 1:
                return info.isDir() ? QString() : locale.formattedDataSize(info.size());
            case 2: {
                if (info.isDir()) return QStringLiteral("Cartella");
                const QString descrizione = QMimeDatabase().mimeTypeForFile(info).comment();
                return descrizione.isEmpty() ? QIdentityProxyModel::data(indice, ruolo)
                                             : QVariant(descrizione);
            }
            default:
                return locale.toString(info.lastModified(), QLocale::ShortFormat);
        }
    }
};

}  // namespace

QString InterazioneQt::testoVisibile(const QString& testo) {
    QString t = testo;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

int InterazioneQt::larghezzaPerTitolo(const QString& titolo) {
    QFont f = QApplication::font();
    f.setBold(true);
    // Icon on the left, three buttons on the right, margins.
    constexpr int kBarra = 120;
    return QFontMetrics(f).horizontalAdvance(titolo) + kBarra;
}

void InterazioneQt::preparaMessaggio(QMessageBox& box, const Messaggio& m) {
    box.setWindowTitle(m.titolo);
    box.setText(testoVisibile(m.testo));
    switch (m.icona) {
        case Icona::Nessuna:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icona::Informazione:
            box.setIcon(QMessageBox::Information);
            break;
        case Icona::Esclamazione:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icona::Domanda:
            box.setIcon(QMessageBox::Question);
            break;
        case Icona::Critica:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    switch (m.pulsanti) {
        case Pulsanti::SiNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(m.predefinita == Risposta::Si ? QMessageBox::Yes
                                                               : QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Pulsanti::SiNoAnnulla:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(m.predefinita == Risposta::No        ? QMessageBox::No
                                 : m.predefinita == Risposta::Annulla ? QMessageBox::Cancel
                                                                      : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Pulsanti::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    // A message box is as wide as its text; a longer title would be cut in
    // the title bar. A spacer across the box's grid keeps it wide enough.
    if (auto* griglia = qobject_cast<QGridLayout*>(box.layout())) {
        const int larghezza = larghezzaPerTitolo(m.titolo);
        griglia->addItem(new QSpacerItem(larghezza, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                         griglia->rowCount(), 0, 1, griglia->columnCount());
    }
}

Risposta InterazioneQt::mostraMessaggio(const Messaggio& m) {
    QMessageBox box(QApplication::activeWindow());
    preparaMessaggio(box, m);
    const int r = box.exec();
    switch (m.pulsanti) {
        case Pulsanti::SiNo:
            return r == QMessageBox::Yes ? Risposta::Si : Risposta::No;
        case Pulsanti::SiNoAnnulla:
            return r == QMessageBox::Yes  ? Risposta::Si
                   : r == QMessageBox::No ? Risposta::No
                                          : Risposta::Annulla;
        case Pulsanti::Ok:
            break;
    }
    return Risposta::Ok;
}

void InterazioneQt::mostraAvviso(const Messaggio& m) {
    auto* box = new QMessageBox(QApplication::activeWindow());
    preparaMessaggio(*box, m);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QStringList InterazioneQt::filtriQt(const QList<FiltroFile>& filtri) {
    QStringList out;
    for (const FiltroFile& f : filtri) {
        QString modello = f.modello.trimmed();
        if (modello == QStringLiteral("*.*")) modello = QStringLiteral("*");
        out << f.descrizione + QStringLiteral(" (") + modello + QLatin1Char(')');
    }
    return out;
}

QString InterazioneQt::cartellaIniziale(const QString& nomeFile, const QString& ricordata) {
    const QFileInfo nome(nomeFile);
    if (!nomeFile.isEmpty() && nome.isAbsolute() && nome.dir().exists())
        return nome.dir().absolutePath();
    if (!ricordata.isEmpty() && QFileInfo(ricordata).isDir()) return ricordata;
    QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documenti.isEmpty() && QFileInfo(documenti).isDir()) return documenti;
    return QDir::homePath();
}

void InterazioneQt::preparaDialogoFile(QFileDialog& dlg, const RichiestaFile& r,
                                       const QString& ricordata) {
    dlg.setWindowTitle(r.titolo);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    // Nothing asks before overwriting: the program's save replaces the file.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setAcceptMode(r.salvataggio ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.salvataggio ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filtri = filtriQt(r.filtri);
    dlg.setNameFilters(filtri);
    if (r.filtroScelto >= 0 && r.filtroScelto < filtri.size())
        dlg.selectNameFilter(filtri.at(r.filtroScelto));
    dlg.setProxyModel(new ElencoFileItaliano(&dlg));
    // Size, type and date columns as wide as their texts and headings.
    if (auto* vista = dlg.findChild<QTreeView*>()) {
        for (int colonna = 1; colonna <= 3; ++colonna)
            vista->header()->setSectionResizeMode(colonna, QHeaderView::ResizeToContents);
    }
    // Wide enough for the name, size, type and date of a file side by side.
    QSize misura(880, 500);
    if (const QScreen* schermo = dlg.screen())
        misura = misura.boundedTo(schermo->availableGeometry().size() * 9 / 10);
    dlg.resize(misura.expandedTo(dlg.sizeHint()).boundedTo(misura));
    dlg.setDirectory(cartellaIniziale(r.nomeFile, ricordata));
    if (!r.nomeFile.isEmpty()) dlg.selectFile(QFileInfo(r.nomeFile).fileName());
}

std::optional<QString> InterazioneQt::chiediFile(const RichiestaFile& r) {
    QFileDialog dlg(QApplication::activeWindow());
    preparaDialogoFile(dlg, r, cartellaRicordata_);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList scelti = dlg.selectedFiles();
    if (scelti.isEmpty()) return std::nullopt;
    cartellaRicordata_ = QFileInfo(scelti.first()).absolutePath();
    return scelti.first();
}

std::optional<quint32> InterazioneQt::chiediColore(quint32 iniziale) {
    const QColor c =
        QColorDialog::getColor(QColor::fromRgb(iniziale), QApplication::activeWindow());
    if (!c.isValid()) return std::nullopt;
    return static_cast<quint32>(c.rgb() & 0xFFFFFFu);
}

}  // namespace varimo
