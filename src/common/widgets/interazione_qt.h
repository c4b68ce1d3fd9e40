#pragma once

#include "common/interazione.h"

class QFileDialog;
class QMessageBox;

namespace varimo {

// The real dialogs: QMessageBox, a non-native QFileDialog (same titles and
// filters on every desktop) and QColorDialog, over the active window.
class InterazioneQt final : public Interazione {
  public:
    Risposta mostraMessaggio(const Messaggio& m) override;
    // A box that is not modal and does not take the keyboard: the user goes on
    // typing and closes it when he likes.
    void mostraAvviso(const Messaggio& m) override;
    std::optional<QString> chiediFile(const RichiestaFile& r) override;
    std::optional<quint32> chiediColore(quint32 iniziale) override;

    // Name filter strings for QFileDialog. "*.*" becomes "*" so that project
    // files, which have no extension, are listed; the description is kept as
    // written and the pattern part is hidden from the user.
    static QStringList filtriQt(const QList<FiltroFile>& filtri);
    // Message text as shown: the lines joined by "\r" go one per line.
    static QString testoVisibile(const QString& testo);

    // Sets up a message box: title, text, icon, buttons, and a width that
    // leaves room for the whole title in the window's title bar.
    static void preparaMessaggio(QMessageBox& box, const Messaggio& m);
    // Width a window needs for `titolo` in its title bar (the title in the
    // bold application font, with room for the bar's icon and buttons).
    static int larghezzaPerTitolo(const QString& titolo);

    // Sets up a file dialog for a request; `ricordata` is the folder of the
    // last file chosen since the program started (empty: none yet). Its list
    // writes sizes, types and dates in the program's locale.
    static void preparaDialogoFile(QFileDialog& dlg, const RichiestaFile& r,
                                   const QString& ricordata);
    // The folder a file dialog opens in: the folder of a name given with its
    // path; otherwise the folder last used, then the user's documents folder,
    // then the home folder.
    static QString cartellaIniziale(const QString& nomeFile, const QString& ricordata);

  private:
    QString cartellaRicordata_;
};

}  // namespace varimo
