#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <variant>

class QFileInfo;

namespace varimo::piattaforma {

// What the program needs of the operating system beyond Qt, for files shared
// with other users and for the process itself. Each system has one file that
// implements it (piattaforma_posix.cpp here); the rest of the program never
// calls the system directly for these.

// Ignores the signal a file-size limit sends, so that a write past the limit
// fails with an error the save reports, instead of ending the program.
void ignoraLimiteDimensioneFile();

// Whether writing at percorso would go through a symbolic link that must not
// be followed: one owned by another user (other than the administrator), or
// any link in a folder where everyone may create files (a shared temporary
// folder). The reason, in Italian, or nothing when the name may be written
// (no link, or one of the user's own links elsewhere).
std::optional<QString> collegamentoVietato(const QString& percorso);

// The name of the user's own folder for documents inside the temporary
// folder: "varimo-<user id>" on POSIX systems, "varimo-<user name>" on
// Windows.
QString nomeCartellaPrivata();

// The user's own folder for documents inside the temporary folder: created
// (readable by the user only) when missing, and refused when it is a link or
// belongs to someone else. Its path, or the reason in *errore.
QString cartellaPrivata(const QString& temporanea, QString* errore);

// Reads a whole regular file of at most `massimo` bytes. A FIFO, a device, a
// socket or a folder is never waited on: it is refused at once. On failure
// an Italian reason ("il file non esiste.", ...).
std::variant<QByteArray, QString> leggiFileRegolare(const QString& percorso, qint64 massimo);

// The name part that marks a temporary file of this process ("~varimo<pid>").
QString marcaTemporaneo();
// "~varimo", the same for every process.
const QString& marcaBase();
// The process that made a temporary file of ours, from its name
// ".<name>~varimo<pid>.XXXXXX"; 0 when the name is not one of them.
qint64 processoDelTemporaneo(const QString& nome);
// Removes, in cartella, the temporary files (marked as above) that belong to
// the user and were left by processes that no longer run. How many went.
int rimuoviTemporaneiAbbandonati(const QString& cartella);

// Whether the process `pid` has ended (false while it runs, or when that
// cannot be told).
bool processoTerminato(qint64 pid);
// Whether a file belongs to another user.
bool altrui(const QFileInfo& f);

// A working folder of this process in the temporary folder, for writers that
// need files of their own before the result is written (the spreadsheets):
// "varimo-lavoro-<pid>-XXXXXX", removed with the object. The folders that
// processes which no longer run left behind (killed in the middle of a
// write) are removed first. Not valid when none can be made.
std::unique_ptr<QTemporaryDir> cartellaDiLavoro();

}  // namespace varimo::piattaforma
