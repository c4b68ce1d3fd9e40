#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;

namespace varimo {

namespace testiprogetto {
inline const QString modificatoAltrove = QStringLiteral(
    "Il file è stato modificato da un altro programma dopo l'apertura: sovrascriverlo?");
}  // namespace testiprogetto

// One open project, whichever window shows it: the file it lives in, its undo
// history (a QUndoStack with a limit on the steps kept), the mark of unsaved
// changes, the lock file that tells another running Varimo the project is
// open, the record of the file as it was opened or last saved (size, time,
// hash) and the questions a save asks before it replaces anything. The
// classic project and the framework of any shape are both projects of this
// kind; each adds what it holds and how it turns into the bytes of its file.
//
// Open: the file is read by the project kind, then taken here (`prendiFile`):
// its lock (asking first when another Varimo holds it) and its record.
// Save: the project kind makes its bytes, then `salvaContenuto` asks for a
// name when there is none (and whether to replace a file that name takes),
// asks before overwriting a file another program has changed, writes through
// the safe writer and takes the file again.
class ProgettoAperto : public QObject {
    Q_OBJECT
  public:
    // Steps kept in the undo history; the oldest are dropped beyond this.
    static constexpr int kPassiConservati = 500;

    // `titolo` heads the messages the file commands show.
    explicit ProgettoAperto(QString titolo, QObject* parent = nullptr);
    ~ProgettoAperto() override;

    // The path of the project's file; empty for a project never saved.
    const QString& percorso() const { return percorso_; }
    QUndoStack& storia() { return storia_; }
    const QUndoStack& storia() const { return storia_; }
    // True when the project differs from what was last opened or saved.
    bool modificato() const { return !storia_.isClean(); }

    // Told the path of every project file opened or saved (recent projects).
    void impostaFileUsato(std::function<void(const QString&)> f) { fileUsato_ = std::move(f); }
    const std::function<void(const QString&)>& fileUsato() const { return fileUsato_; }

    // Open: takes the file at `percorso`, whose bytes were `contenuto`, as the
    // project's own: holds its lock file and notes its record. When another
    // running Varimo holds the file, asks first; false when the user declined
    // (nothing is taken then).
    bool prendiFile(const QString& percorso, const QByteArray& contenuto);

    // Save and Save as of `contenuto`. Without a file (or with `nuovoNome`)
    // `chiedi` gives the name (nothing: cancelled), and a name that an
    // existing file takes is replaced only after a question; Save onto the
    // project's file asks first when another program changed it since it
    // was opened or saved. A failure is told, `fallimento` heading the
    // message. True when written; the file is then the project's, recorded,
    // locked and counted as saved (`salvatoIn`).
    bool salvaContenuto(const QByteArray& contenuto, bool nuovoNome,
                        const std::function<std::optional<QString>()>& chiedi,
                        const QString& fallimento);

    // Whether the project's file has been changed by another program since it
    // was opened or saved (another content; a file touched but unchanged, or
    // removed, is not).
    bool cambiatoSulDisco() const;

    // Notes the record of `percorso` as written with `contenuto`, and holds
    // its lock without asking.
    void ricordaFile(const QString& percorso, const QByteArray& contenuto);

  protected:
    // The file has been written to `percorso` with `contenuto`. The default
    // makes it the project's file and the present state the saved one; a
    // project kind that must also rename its steps overrides it and calls
    // this one.
    virtual void salvatoIn(const QString& percorso);
    // Forgets the file: its lock is released (a new, unsaved project).
    void lasciaFile();
    const QString& titoloMessaggi() const { return titolo_; }

    QString percorso_;
    QUndoStack storia_;

  private:
    struct Impronta {
        QString percorso;
        qint64 dimensione = -1;
        QDateTime modifica;
        QByteArray hash;
    };
    bool blocca(const QString& percorso, bool chiedendo);

    // A lock file; the ones this program holds are listed while held, so that
    // another of its documents opening the same file is not asked about
    // itself (the host name a lock file records is not always the one the
    // system gives: Windows writes its short upper-case name).
    struct Rilascia {
        void operator()(QLockFile* f) const;
    };
    using Blocco = std::unique_ptr<QLockFile, Rilascia>;

    QString titolo_;
    Impronta impronta_;
    Blocco blocco_;
    std::function<void(const QString&)> fileUsato_;
};

}  // namespace varimo
