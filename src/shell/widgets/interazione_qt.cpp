#include "shell/widgets/interazione_qt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace varimo {

QString InterazioneQt::testoVisibile(const QString& testo) {
    QString t = testo;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

Risposta InterazioneQt::mostraMessaggio(const Messaggio& m) {
    QMessageBox box(QApplication::activeWindow());
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

QStringList InterazioneQt::filtriQt(const QList<FiltroFile>& filtri) {
    QStringList out;
    for (const FiltroFile& f : filtri) {
        QString modello = f.modello.trimmed();
        if (modello == QStringLiteral("*.*")) modello = QStringLiteral("*");
        out << f.descrizione + QStringLiteral(" (") + modello + QLatin1Char(')');
    }
    return out;
}

std::optional<QString> InterazioneQt::chiediFile(const RichiestaFile& r) {
    QFileDialog dlg(QApplication::activeWindow(), r.titolo);
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
    if (!r.nomeFile.isEmpty()) dlg.selectFile(r.nomeFile);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList scelti = dlg.selectedFiles();
    if (scelti.isEmpty()) return std::nullopt;
    return scelti.first();
}

std::optional<quint32> InterazioneQt::chiediColore(quint32 iniziale) {
    const QColor c =
        QColorDialog::getColor(QColor::fromRgb(iniziale), QApplication::activeWindow());
    if (!c.isValid()) return std::nullopt;
    return static_cast<quint32>(c.rgb() & 0xFFFFFFu);
}

}  // namespace varimo
