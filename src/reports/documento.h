#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <variant>
#include <vector>

namespace varimo {

// The program's word-processor document: the operations the printing code
// performs on it follow the object model of a word processor (font of the
// text typed next, typing at the insertion point, paragraphs and tables added
// at the end of the document, one column or the whole document selected and
// aligned). The document is then written out as a file that any word
// processor opens (see docx.h).

// Font of a piece of text. Sizes are in points.
struct Carattere {
    QString nome;
    double dimensione = 12;
    bool grassetto = false;  // Font.Bold
    bool operator==(const Carattere&) const = default;
};

// Paragraph alignment, numbered as the word processor numbers it.
enum class Allineamento : int { Sinistra = 0, Centro = 1, Destra = 2, Giustificato = 3 };

// The font a new document types with.
Carattere carattereIniziale();

// A stretch of text in one font. The text may hold, besides ordinary
// characters, a tab (9), a manual line break (11) and a page break (12).
struct Frammento {
    QString testo;
    Carattere carattere;
};

struct Paragrafo {
    QList<Frammento> frammenti;
    // Font of the paragraph mark: it sets the height of an empty line and is
    // what a paragraph added after this one starts with.
    Carattere marcatore;
    Allineamento allineamento = Allineamento::Sinistra;

    QString testo() const;  // all fragments joined
    bool vuoto() const { return frammenti.isEmpty(); }
    // Adds text in the given font, joining it to the last fragment when the
    // font is the same.
    void accoda(const QString& testo, const Carattere& c);
};

struct Cella {
    QString testo;  // character 13 separates the paragraphs of the cell
    Allineamento allineamento = Allineamento::Sinistra;
    bool grassetto = false;  // Cell(r, c).Range.Font.Bold, over the table's font
};

class Tabella {
  public:
    // Table formats of AutoFormat used by the program: none (a plain grid),
    // "Colorful 2" (coloured heading row, shaded body), and plain: laid out
    // as "Colorful 2" (columns fitted to their contents, the heading row
    // repeated on every page) in black on white, as administrations file it.
    enum class Formato { Nessuno, Colorato2, Semplice };
    // Whether the format fits its columns and repeats its heading row.
    bool conIntestazione() const {
        return formato_ == Formato::Colorato2 || formato_ == Formato::Semplice;
    }

    Tabella(int righe, int colonne, Carattere carattere);

    int righe() const { return righe_; }
    int colonne() const { return colonne_; }

    // Cell(riga, colonna).Range.Text; rows and columns count from 1. A cell
    // outside the table is left alone and false is returned.
    bool impostaTestoCella(int riga, int colonna, const QString& testo);
    const Cella& cella(int riga, int colonna) const;
    Cella& cella(int riga, int colonna);
    // Rows(riga).Range.Font.Bold; a row outside the table is left alone.
    void impostaGrassettoRiga(int riga, bool grassetto);
    // The font a cell's text is written in: the table's, bold when the cell is.
    Carattere carattereCella(int riga, int colonna) const;

    // Range.Font.Size: one size for the whole table.
    void impostaDimensioneCarattere(double punti) { carattere_.dimensione = punti; }
    const Carattere& carattere() const { return carattere_; }

    // AutoFormat(formato).
    void formatoAutomatico(Formato formato) { formato_ = formato; }
    Formato formato() const { return formato_; }

    // Borders.Enable: a plain table without borders lays out blocks side by
    // side (the signature lines of a print); each of its rows stays whole on
    // one page.
    void impostaBordi(bool bordi) { bordi_ = bordi; }
    bool bordi() const { return bordi_; }

  private:
    int righe_;
    int colonne_;
    Carattere carattere_;
    Formato formato_ = Formato::Nessuno;
    bool bordi_ = true;
    std::vector<Cella> celle_;
};

// The document's properties, as the word processor shows them among the
// file's properties.
struct ProprietaDocumento {
    QString titolo;
    QString autore;    // the program that made it, with its version
    QDateTime creato;  // when it was made; its date is the date of printing
};

class Documento;

// The paragraph returned by aggiungiParagrafo(): its font size and its text
// can be set afterwards, as with the word processor's Paragraph.Range.
class ParagrafoAggiunto {
  public:
    ParagrafoAggiunto(Documento& d, std::size_t blocco) : documento_(&d), blocco_(blocco) {}
    // Range.Font.Size
    void impostaDimensioneCarattere(double punti);
    // Range.Text: the paragraph's text is replaced; each character 13 inside
    // the text starts a further paragraph in the same font, and a final
    // character 13 is the paragraph's own end.
    void impostaTesto(const QString& testo);

  private:
    Documento* documento_;
    std::size_t blocco_;
};

class Documento {
  public:
    using Blocco = std::variant<Paragrafo, std::unique_ptr<Tabella>>;

    // A new empty document: one empty paragraph, the insertion point in it;
    // made now, by this program, without a title.
    Documento();

    const ProprietaDocumento& proprieta() const { return proprieta_; }
    void impostaTitolo(const QString& titolo) { proprieta_.titolo = titolo; }
    // The author among the file's properties, in place of this program.
    void impostaAutore(const QString& autore) { proprieta_.autore = autore; }

    // Selection.Font.Name / .Size / .Bold: font of the text typed next.
    void impostaNomeCarattere(const QString& nome);
    void impostaDimensioneCarattere(double punti);
    void impostaGrassetto(bool grassetto);

    // Selection.TypeText: character 13 (also a line feed, or both together)
    // ends the paragraph, character 12 starts a new page, character 11 breaks
    // the line, a tab stays a tab; other control characters are dropped.
    void scriviTesto(const QString& testo);

    // Paragraphs.Add at the end of the document. The document always ends in
    // a paragraph; when that paragraph is still empty it is the one returned,
    // otherwise a new one is appended after it in the same font.
    ParagrafoAggiunto aggiungiParagrafo();

    // Tables.Add(end of document, righe, colonne): an empty grid at the end of
    // the document, in the font of the place where it goes, followed by the
    // empty paragraph that always closes a document. The table belongs to
    // the document; the reference stays valid as long as the document lives.
    Tabella& aggiungiTabella(int righe, int colonne);

    // Tables.Count / Tables.Item(n), n counting from 1 (nullptr outside).
    int numeroTabelle() const;
    Tabella* tabella(int n);
    const Tabella* tabella(int n) const;

    // Tables.Item(n).Columns.Item(c).Select, Document.Select, and
    // Selection.ParagraphFormat.Alignment = a. With nothing selected the
    // alignment goes to the paragraph of the insertion point.
    void selezionaColonna(int tabella, int colonna);
    void selezionaTutto();
    void impostaAllineamentoSelezione(int allineamento);

    // SaveAs: writes the document to percorso in the given format (see docx.h
    // and pdf.h), replacing an existing file only once the new one is
    // complete.
    enum class Formato { Docx, PdfA };
    bool salvaCome(const QString& percorso, QString* errore = nullptr,
                   Formato formato = Formato::Docx) const;

    const std::vector<Blocco>& blocchi() const { return blocchi_; }
    // The paragraphs outside tables, in order.
    QList<const Paragrafo*> paragrafi() const;

  private:
    friend class ParagrafoAggiunto;
    Paragrafo& ultimoParagrafo();
    void chiudiParagrafo();

    enum class Selezione { Punto, Colonna, Tutto };

    ProprietaDocumento proprieta_;
    std::vector<Blocco> blocchi_;
    std::size_t inserimento_ = 0;  // block index of the insertion point's paragraph
    Carattere selezione_;
    Selezione tipoSelezione_ = Selezione::Punto;
    int tabellaSelezionata_ = 0;
    int colonnaSelezionata_ = 0;
};

}  // namespace varimo
