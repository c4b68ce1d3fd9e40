#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace varimo {

// Name of the tips file that lies beside the program.
inline constexpr const char* kFileSuggerimenti = "VarimoSuggerimenti.TXT";

// The text shown in place of a tip when the tips file cannot be read.
QString messaggioSuggerimentiMancanti();

// Where the tips file is looked for: the program's own folder first, then the
// data folder of an installation. When it is in neither, the path in the
// program's folder (which does not exist) is returned.
QString percorsoSuggerimenti();

// Text of a tips file: bytes in the Windows-1252 character set, one line per
// tip. A line ends with CR LF, LF or a lone CR; a last line without an ending
// counts too; empty lines are lines. The ending itself is not part of a line.
QStringList righeSuggerimenti(const QByteArray& byte);

// Decodes Windows-1252 bytes. The five bytes that the character set leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) are kept as the control characters
// of the same number, as the system conversion of Windows does.
QString decodificaCp1252(const QByteArray& byte);

// The tip window's data: the tips in file order and the position of the one on
// show, with the text the window's label displays.
class Suggerimenti {
  public:
    QStringList elenco;    // positions from 1 (elenco[0] is tip 1)
    qint32 posizione = 0;  // 0 before any tip has been chosen

    // Text of the window's label `lblTipText`.
    const QString& testo() const { return testo_; }

    // Window load: reads the tips file at the path and shows the first tip,
    // or the missing-file message when it cannot be read.
    void carica(const QString& percorso);

    // Reads the file at the path into elenco and, on success, moves to the
    // first tip. False when the path is empty or the file cannot be read.
    bool leggiFile(const QString& percorso);
    // Next tip, wrapping round after the last.
    void avanza();
    // Shows the tip at posizione; nothing when there are no tips.
    void mostraAttuale();
    // "Successivo".
    void suggerimentoSeguente() { avanza(); }
    // "Precedente": previous tip, without wrapping round.
    void suggerimentoPrecedente();

  private:
    QString testo_;
};

}  // namespace varimo
