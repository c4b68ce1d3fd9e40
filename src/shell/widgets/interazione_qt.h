#pragma once

#include "shell/interazione.h"

namespace varimo {

// The real dialogs: QMessageBox, a non-native QFileDialog (same titles and
// filters on every desktop) and QColorDialog, over the active window.
class InterazioneQt final : public Interazione {
  public:
    Risposta mostraMessaggio(const Messaggio& m) override;
    std::optional<QString> chiediFile(const RichiestaFile& r) override;
    std::optional<quint32> chiediColore(quint32 iniziale) override;

    // Name filter strings for QFileDialog. "*.*" becomes "*" so that project
    // files, which have no extension, are listed; the description is kept as
    // written and the pattern part is hidden from the user.
    static QStringList filtriQt(const QList<FiltroFile>& filtri);
    // Message text as shown: the lines joined by "\r" go one per line.
    static QString testoVisibile(const QString& testo);
};

}  // namespace varimo
