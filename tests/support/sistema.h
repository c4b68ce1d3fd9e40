#pragma once

// What the tests need of the operating system beyond Qt: links, file modes
// and where the user's folders are. One implementation per system
// (sistema_posix.cpp, sistema_win.cpp); where a system has no such thing the
// functions say so and the tests leave that part out.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace varimo::test {

// Makes a symbolic link at `link` to `bersaglio`; with altroUtente it is
// given to another user (which needs the administrator). False when this
// system or this user cannot make it.
bool creaCollegamento(const QString& bersaglio, const QString& link, bool altroUtente = false);

// The permission bits (as 0777) of a file or folder; nothing where files
// have no such bits.
std::optional<unsigned> permessi(const QString& percorso);

// Sets the mask of new files' permissions; the previous one (0 where there
// is none).
unsigned impostaMaschera(unsigned maschera);

// While it lives, the user's documents folder (as QStandardPaths gives it)
// is casa/Documents; the earlier one comes back when it goes.
class DocumentiIn {
  public:
    explicit DocumentiIn(const QString& casa);
    ~DocumentiIn();
    DocumentiIn(const DocumentiIn&) = delete;
    DocumentiIn& operator=(const DocumentiIn&) = delete;

  private:
    QByteArray prima_[2];
    unsigned long tipo_ = 0;
};

// While it lives, the file is held open for reading, as a program showing it
// does; one that lets others replace the file (on Windows it shares
// deletion, as the file's own QFile would not).
class TenutoAperto {
  public:
    explicit TenutoAperto(const QString& percorso);
    ~TenutoAperto();
    TenutoAperto(const TenutoAperto&) = delete;
    TenutoAperto& operator=(const TenutoAperto&) = delete;
    bool aperto() const { return maniglia_ != -1; }

  private:
    std::intptr_t maniglia_ = -1;
};

}  // namespace varimo::test
