#include "reports/docx.h"

#include "common/piattaforma.h"
#include "common/scritturafile.h"
#include "reports/caratteri.h"
#include "reports/impaginazione.h"

#include <zip.h>

#include <QBuffer>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace varimo {

namespace {

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

const QString kR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

// The coloured table format: heading row and body shading.
const QString kColoreIntestazione = QStringLiteral("800000");
const QString kColoreCorpo = QStringLiteral("FFFFCC");

// The writer of every XML part of the package. Character data and attribute
// values go through testoPerDocumenti() here and nowhere else: whatever a
// label, a title or a font name holds (an unpaired surrogate, a control
// character, U+FFFE), each part stays well-formed XML 1.0 that every word
// processor opens. The stream itself stays private, so no text can reach a
// part around the filter.
class ParteXml {
  public:
    explicit ParteXml(QByteArray* uscita) : x_(uscita) { avvia(); }
    explicit ParteXml(QIODevice* uscita) : x_(uscita) { avvia(); }
    // Whether writing to the device failed.
    bool errore() const { return x_.hasError(); }

    void spazioNomi(const QString& uri, const QString& prefisso) {
        x_.writeNamespace(uri, prefisso);
    }
    void inizio(const QString& uri, const QString& nome) { x_.writeStartElement(uri, nome); }
    void vuoto(const QString& uri, const QString& nome) { x_.writeEmptyElement(uri, nome); }
    void fine() { x_.writeEndElement(); }
    void attributo(const QString& uri, const QString& nome, const QString& valore) {
        x_.writeAttribute(uri, nome, testoPerDocumenti(valore));
    }
    // An attribute of the xml namespace ("xml:space").
    void attributoXml(const QString& nome, const QString& valore) {
        x_.writeAttribute(QStringLiteral("xml:") + nome, testoPerDocumenti(valore));
    }
    void testo(const QString& t) { x_.writeCharacters(testoPerDocumenti(t)); }
    void elementoTesto(const QString& uri, const QString& nome, const QString& t) {
        inizio(uri, nome);
        testo(t);
        fine();
    }
    // Closes every element still open; the part is complete.
    void chiudi() { x_.writeEndDocument(); }

  private:
    void avvia() {
        x_.setAutoFormatting(false);
        x_.writeStartDocument(QStringLiteral("1.0"), true);
    }

    QXmlStreamWriter x_;
};

class Scrittore {
  public:
    explicit Scrittore(QByteArray* uscita) : x_(uscita) {}
    explicit Scrittore(QIODevice* uscita) : x_(uscita) {}

    ParteXml& x() { return x_; }

    void inizio(const QString& nome) { x_.inizio(kW, nome); }
    void fine() { x_.fine(); }
    void vuoto(const QString& nome) { x_.vuoto(kW, nome); }
    void attributo(const QString& nome, const QString& valore) { x_.attributo(kW, nome, valore); }
    void vuotoVal(const QString& nome, const QString& valore) {
        vuoto(nome);
        attributo(QStringLiteral("val"), valore);
    }

    void carattere(const Carattere& c) {
        inizio(QStringLiteral("rPr"));
        if (!c.nome.isEmpty()) {
            vuoto(QStringLiteral("rFonts"));
            for (const char* a : {"ascii", "hAnsi", "cs", "eastAsia"})
                attributo(QString::fromLatin1(a), c.nome);
        }
        if (c.grassetto) {
            vuoto(QStringLiteral("b"));
            vuoto(QStringLiteral("bCs"));
        }
        const QString mezziPunti = QString::number(std::max(2L, std::lround(c.dimensione * 2)));
        vuotoVal(QStringLiteral("sz"), mezziPunti);
        vuotoVal(QStringLiteral("szCs"), mezziPunti);
        fine();
    }

    void allineamento(Allineamento a) {
        switch (a) {
            case Allineamento::Sinistra:
                break;
            case Allineamento::Centro:
                vuotoVal(QStringLiteral("jc"), QStringLiteral("center"));
                break;
            case Allineamento::Destra:
                vuotoVal(QStringLiteral("jc"), QStringLiteral("right"));
                break;
            case Allineamento::Giustificato:
                vuotoVal(QStringLiteral("jc"), QStringLiteral("both"));
                break;
        }
    }

    // One run: the text is cut at tabs, line breaks and page breaks, which
    // have elements of their own.
    void frammento(const QString& testo, const Carattere& c) {
        inizio(QStringLiteral("r"));
        carattere(c);
        QString pezzo;
        auto scriviPezzo = [&] {
            if (pezzo.isEmpty()) return;
            inizio(QStringLiteral("t"));
            x_.attributoXml(QStringLiteral("space"), QStringLiteral("preserve"));
            x_.testo(pezzo);
            fine();
            pezzo.clear();
        };
        for (QChar ch : testo) {
            switch (ch.unicode()) {
                case 9:
                    scriviPezzo();
                    vuoto(QStringLiteral("tab"));
                    break;
                case 11:
                    scriviPezzo();
                    vuoto(QStringLiteral("br"));
                    break;
                case 12:
                    scriviPezzo();
                    vuoto(QStringLiteral("br"));
                    attributo(QStringLiteral("type"), QStringLiteral("page"));
                    break;
                default:
                    pezzo.append(ch);
            }
        }
        scriviPezzo();
        fine();
    }

    void paragrafo(const Paragrafo& p) {
        inizio(QStringLiteral("p"));
        inizio(QStringLiteral("pPr"));
        allineamento(p.allineamento);
        carattere(p.marcatore);
        fine();
        for (const Frammento& f : p.frammenti) frammento(f.testo, f.carattere);
        fine();
    }

    void tabella(const Tabella& t) {
        const bool colorata = t.formato() == Tabella::Formato::Colorato2;
        const std::vector<int> colonne = larghezzeColonne(t);
        int totale = 0;
        for (int l : colonne) totale += l;

        inizio(QStringLiteral("tbl"));
        inizio(QStringLiteral("tblPr"));
        vuotoVal(QStringLiteral("tblStyle"), colorata    ? QString::fromUtf16(kStileColorato2)
                                             : t.bordi() ? QString::fromUtf16(kStileGriglia)
                                                         : QStringLiteral("Tabellanormale"));
        vuoto(QStringLiteral("tblW"));
        attributo(QStringLiteral("w"), QString::number(totale));
        attributo(QStringLiteral("type"), QStringLiteral("dxa"));
        // The cell borders line up with the text margins, not the cell text.
        vuoto(QStringLiteral("tblInd"));
        attributo(QStringLiteral("w"), QString::number(kMargineCella));
        attributo(QStringLiteral("type"), QStringLiteral("dxa"));
        // Fixed: the word processor keeps the widths written here and does
        // not fit the columns to its own fonts.
        vuoto(QStringLiteral("tblLayout"));
        attributo(QStringLiteral("type"), QStringLiteral("fixed"));
        vuoto(QStringLiteral("tblLook"));
        attributo(QStringLiteral("val"), QStringLiteral("0020"));
        attributo(QStringLiteral("firstRow"), QStringLiteral("1"));
        attributo(QStringLiteral("lastRow"), QStringLiteral("0"));
        attributo(QStringLiteral("firstColumn"), QStringLiteral("0"));
        attributo(QStringLiteral("lastColumn"), QStringLiteral("0"));
        attributo(QStringLiteral("noHBand"), QStringLiteral("1"));
        attributo(QStringLiteral("noVBand"), QStringLiteral("1"));
        fine();

        inizio(QStringLiteral("tblGrid"));
        for (int l : colonne) {
            vuoto(QStringLiteral("gridCol"));
            attributo(QStringLiteral("w"), QString::number(l));
        }
        fine();

        for (int r = 1; r <= t.righe(); ++r) {
            inizio(QStringLiteral("tr"));
            const bool intestazione = r == 1 && t.conIntestazione();
            if (intestazione || !t.bordi()) {
                inizio(QStringLiteral("trPr"));
                if (!t.bordi()) vuoto(QStringLiteral("cantSplit"));
                if (intestazione) vuoto(QStringLiteral("tblHeader"));
                fine();
            }
            for (int c = 1; c <= t.colonne(); ++c) {
                const Cella& cella = t.cella(r, c);
                inizio(QStringLiteral("tc"));
                inizio(QStringLiteral("tcPr"));
                vuoto(QStringLiteral("tcW"));
                attributo(QStringLiteral("w"),
                          QString::number(colonne[static_cast<std::size_t>(c - 1)]));
                attributo(QStringLiteral("type"), QStringLiteral("dxa"));
                fine();
                // A cell holds at least one paragraph, also when empty.
                const Carattere carattere = t.carattereCella(r, c);
                for (const QString& testo : cella.testo.split(QChar(13))) {
                    Paragrafo p;
                    p.marcatore = carattere;
                    p.allineamento = cella.allineamento;
                    p.accoda(testo, carattere);
                    paragrafo(p);
                }
                fine();
            }
            fine();
        }
        fine();
    }

    void bordi(const QString& colore, const QString& spessore) {
        inizio(QStringLiteral("tblBorders"));
        for (const char* lato : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
            vuoto(QString::fromLatin1(lato));
            attributo(QStringLiteral("val"), QStringLiteral("single"));
            attributo(QStringLiteral("sz"), spessore);
            attributo(QStringLiteral("space"), QStringLiteral("0"));
            attributo(QStringLiteral("color"), colore);
        }
        fine();
    }

    void ombra(const QString& colore) {
        vuoto(QStringLiteral("shd"));
        attributo(QStringLiteral("val"), QStringLiteral("clear"));
        attributo(QStringLiteral("color"), QStringLiteral("auto"));
        attributo(QStringLiteral("fill"), colore);
    }

    void margini() {
        inizio(QStringLiteral("tblCellMar"));
        for (const char* lato : {"top", "left", "bottom", "right"}) {
            const bool laterale = qstrcmp(lato, "left") == 0 || qstrcmp(lato, "right") == 0;
            vuoto(QString::fromLatin1(lato));
            attributo(QStringLiteral("w"), QString::number(laterale ? kMargineCella : 0));
            attributo(QStringLiteral("type"), QStringLiteral("dxa"));
        }
        fine();
    }

    void avvio() { x_.spazioNomi(kW, QStringLiteral("w")); }

  private:
    ParteXml x_;
};

QByteArray tipiContenuto() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/"
        ">"
        "<Override PartName=\"/word/footer1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/"
        ">"
        "<Override PartName=\"/docProps/core.xml\" "
        "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
        "</Types>");
}

QByteArray relazioniPacchetto() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
        "core-properties\" Target=\"docProps/core.xml\"/>"
        "</Relationships>");
}

QByteArray relazioniDocumento() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" "
        "Target=\"footer1.xml\"/>"
        "</Relationships>");
}

QString erroreZip(zip_error_t* e) {
    return QString::fromLocal8Bit(zip_error_strerror(e));
}

}  // namespace

QByteArray documentoXml(const Documento& d) {
    QByteArray uscita;
    QBuffer b(&uscita);
    b.open(QIODevice::WriteOnly);
    scriviDocumentoXml(d, &b);
    return uscita;
}

bool scriviDocumentoXml(const Documento& d, QIODevice* uscita) {
    Scrittore s(uscita);
    s.avvio();
    s.x().spazioNomi(kR, QStringLiteral("r"));
    s.inizio(QStringLiteral("document"));
    s.inizio(QStringLiteral("body"));
    for (const Documento::Blocco& b : d.blocchi()) {
        if (const auto* p = std::get_if<Paragrafo>(&b)) {
            s.paragrafo(*p);
        } else {
            s.tabella(*std::get<std::unique_ptr<Tabella>>(b));
        }
    }
    s.inizio(QStringLiteral("sectPr"));
    s.vuoto(QStringLiteral("footerReference"));
    s.attributo(QStringLiteral("type"), QStringLiteral("default"));
    s.x().attributo(kR, QStringLiteral("id"), QStringLiteral("rId2"));
    s.vuoto(QStringLiteral("pgSz"));
    s.attributo(QStringLiteral("w"), QString::number(kLarghezzaPagina));
    s.attributo(QStringLiteral("h"), QString::number(kAltezzaPagina));
    s.vuoto(QStringLiteral("pgMar"));
    s.attributo(QStringLiteral("top"), QString::number(kMargineAlto));
    s.attributo(QStringLiteral("right"), QString::number(kMargineLato));
    s.attributo(QStringLiteral("bottom"), QString::number(kMargineBasso));
    s.attributo(QStringLiteral("left"), QString::number(kMargineLato));
    s.attributo(QStringLiteral("header"), QStringLiteral("708"));
    s.attributo(QStringLiteral("footer"), QString::number(kDistanzaPiePagina));
    s.attributo(QStringLiteral("gutter"), QStringLiteral("0"));
    s.fine();  // sectPr
    s.fine();  // body
    s.fine();  // document
    s.x().chiudi();
    return !s.x().errore();
}

QByteArray piePaginaXml(const Documento& d) {
    const Carattere c = caratterePiePagina(d);
    QByteArray uscita;
    Scrittore s(&uscita);
    s.avvio();
    s.inizio(QStringLiteral("ftr"));
    s.inizio(QStringLiteral("p"));
    s.inizio(QStringLiteral("pPr"));
    s.inizio(QStringLiteral("tabs"));
    s.vuotoVal(QStringLiteral("tab"), QStringLiteral("right"));
    s.attributo(QStringLiteral("pos"), QString::number(kLarghezzaTesto));
    s.fine();
    s.carattere(c);
    s.fine();  // pPr
    s.frammento(dataPiePagina(d) + QChar(9) + QStringLiteral("pag. "), c);
    // Page fields: the word processor writes the page number and the number
    // of pages; the texts here are what it shows before it counts.
    auto campo = [&](const QString& istruzione, const QString& provvisorio) {
        auto segno = [&](const char* tipo) {
            s.inizio(QStringLiteral("r"));
            s.carattere(c);
            s.vuoto(QStringLiteral("fldChar"));
            s.attributo(QStringLiteral("fldCharType"), QString::fromLatin1(tipo));
            s.fine();
        };
        segno("begin");
        s.inizio(QStringLiteral("r"));
        s.carattere(c);
        s.inizio(QStringLiteral("instrText"));
        s.x().attributoXml(QStringLiteral("space"), QStringLiteral("preserve"));
        s.x().testo(istruzione);
        s.fine();
        s.fine();
        segno("separate");
        s.frammento(provvisorio, c);
        segno("end");
    };
    campo(QStringLiteral(" PAGE "), QStringLiteral("1"));
    s.frammento(QStringLiteral(" di "), c);
    campo(QStringLiteral(" NUMPAGES "), QStringLiteral("1"));
    s.fine();  // p
    s.fine();  // ftr
    s.x().chiudi();
    return uscita;
}

QByteArray proprietaXml(const Documento& d) {
    const QString cp =
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
    const QString dcterms = QStringLiteral("http://purl.org/dc/terms/");
    const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
    const ProprietaDocumento& p = d.proprieta();
    const QString quando = p.creato.toUTC().toString(Qt::ISODate);

    QByteArray uscita;
    ParteXml x(&uscita);
    x.spazioNomi(cp, QStringLiteral("cp"));
    x.spazioNomi(dc, QStringLiteral("dc"));
    x.spazioNomi(dcterms, QStringLiteral("dcterms"));
    x.spazioNomi(xsi, QStringLiteral("xsi"));
    x.inizio(cp, QStringLiteral("coreProperties"));
    x.elementoTesto(dc, QStringLiteral("title"), p.titolo);
    x.elementoTesto(dc, QStringLiteral("creator"), p.autore);
    x.elementoTesto(cp, QStringLiteral("lastModifiedBy"), p.autore);
    for (const char* nome : {"created", "modified"}) {
        x.inizio(dcterms, QString::fromLatin1(nome));
        x.attributo(xsi, QStringLiteral("type"), QStringLiteral("dcterms:W3CDTF"));
        x.testo(quando);
        x.fine();
    }
    x.fine();
    x.chiudi();
    return uscita;
}

QByteArray stiliXml() {
    QByteArray uscita;
    Scrittore s(&uscita);
    s.avvio();
    s.inizio(QStringLiteral("styles"));

    s.inizio(QStringLiteral("docDefaults"));
    s.inizio(QStringLiteral("rPrDefault"));
    s.carattere(carattereIniziale());
    s.fine();
    s.inizio(QStringLiteral("pPrDefault"));
    s.inizio(QStringLiteral("pPr"));
    s.vuoto(QStringLiteral("spacing"));
    s.attributo(QStringLiteral("after"), QStringLiteral("0"));
    s.attributo(QStringLiteral("line"), QStringLiteral("240"));
    s.attributo(QStringLiteral("lineRule"), QStringLiteral("auto"));
    s.fine();
    s.fine();
    s.fine();  // docDefaults

    auto stile = [&](const QString& tipo, const QString& id, const QString& nome,
                     bool predefinito) {
        s.inizio(QStringLiteral("style"));
        s.attributo(QStringLiteral("type"), tipo);
        if (predefinito) s.attributo(QStringLiteral("default"), QStringLiteral("1"));
        s.attributo(QStringLiteral("styleId"), id);
        s.vuotoVal(QStringLiteral("name"), nome);
    };

    stile(QStringLiteral("paragraph"), QStringLiteral("Normale"), QStringLiteral("Normal"), true);
    s.vuoto(QStringLiteral("qFormat"));
    s.fine();

    stile(QStringLiteral("table"), QStringLiteral("Tabellanormale"), QStringLiteral("Normal Table"),
          true);
    s.vuoto(QStringLiteral("semiHidden"));
    s.inizio(QStringLiteral("tblPr"));
    s.margini();
    s.fine();
    s.fine();

    stile(QStringLiteral("table"), QString::fromUtf16(kStileGriglia), QStringLiteral("Table Grid"),
          false);
    s.vuotoVal(QStringLiteral("basedOn"), QStringLiteral("Tabellanormale"));
    s.inizio(QStringLiteral("tblPr"));
    s.bordi(QStringLiteral("000000"), QStringLiteral("4"));
    s.margini();
    s.fine();
    s.fine();

    // AutoFormat(9): a bold heading row in white on dark red, a pale body,
    // dark borders.
    stile(QStringLiteral("table"), QString::fromUtf16(kStileColorato2),
          QStringLiteral("Table Colorful 2"), false);
    s.vuotoVal(QStringLiteral("basedOn"), QStringLiteral("Tabellanormale"));
    s.inizio(QStringLiteral("tblPr"));
    s.bordi(kColoreIntestazione, QStringLiteral("6"));
    s.margini();
    s.fine();
    s.inizio(QStringLiteral("tcPr"));
    s.ombra(kColoreCorpo);
    s.fine();
    s.inizio(QStringLiteral("tblStylePr"));
    s.attributo(QStringLiteral("type"), QStringLiteral("firstRow"));
    s.inizio(QStringLiteral("rPr"));
    s.vuoto(QStringLiteral("b"));
    s.vuoto(QStringLiteral("bCs"));
    s.vuotoVal(QStringLiteral("color"), QStringLiteral("FFFFFF"));
    s.fine();
    s.inizio(QStringLiteral("tcPr"));
    s.ombra(kColoreIntestazione);
    s.fine();
    s.fine();  // tblStylePr
    s.fine();  // style

    s.fine();  // styles
    s.x().chiudi();
    return uscita;
}

std::optional<QByteArray> pacchettoDocx(const Documento& d, QString* errore) {
    auto fallisci = [&](const QString& motivo) -> std::optional<QByteArray> {
        if (errore) *errore = motivo;
        return std::nullopt;
    };
    // The main part, as large as the document's tables, is written to a file
    // of the working folder and packed from there, so that a document of a
    // million cells never holds its XML in memory. The folder and the parts
    // must outlive zip_close, which is when libzip reads them.
    const auto lavoro = piattaforma::cartellaDiLavoro();
    if (!lavoro->isValid()) return fallisci(QStringLiteral("nessuna cartella temporanea"));
    const QString principale = lavoro->filePath(QStringLiteral("document.xml"));
    {
        QFile f(principale);
        if (!f.open(QIODevice::WriteOnly)) return fallisci(f.errorString());
        const bool scritto = scriviDocumentoXml(d, &f);
        f.close();
        if (!scritto || f.error() != QFileDevice::NoError)
            return fallisci(motivoScritturaFallita(f.errorString()));
    }
    const QList<QPair<QByteArray, QByteArray>> parti = {
        {QByteArrayLiteral("[Content_Types].xml"), tipiContenuto()},
        {QByteArrayLiteral("_rels/.rels"), relazioniPacchetto()},
        {QByteArrayLiteral("word/document.xml"), QByteArray()},
        {QByteArrayLiteral("word/styles.xml"), stiliXml()},
        {QByteArrayLiteral("word/_rels/document.xml.rels"), relazioniDocumento()},
        {QByteArrayLiteral("word/footer1.xml"), piePaginaXml(d)},
        {QByteArrayLiteral("docProps/core.xml"), proprietaXml(d)},
    };
    const QByteArray nomePrincipale = QFile::encodeName(principale);

    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* memoria = zip_source_buffer_create(nullptr, 0, 0, &ze);
    if (!memoria) {
        const QString m = erroreZip(&ze);
        zip_error_fini(&ze);
        return fallisci(m);
    }
    zip_t* archivio = zip_open_from_source(memoria, ZIP_TRUNCATE, &ze);
    if (!archivio) {
        const QString m = erroreZip(&ze);
        zip_error_fini(&ze);
        zip_source_free(memoria);
        return fallisci(m);
    }
    zip_error_fini(&ze);
    zip_source_keep(memoria);  // still needed after zip_close, to read the result

    for (const auto& [nome, dati] : parti) {
        zip_source_t* s = nome == "word/document.xml"
                              ? zip_source_file(archivio, nomePrincipale.constData(), 0, -1)
                              : zip_source_buffer(archivio, dati.constData(),
                                                  static_cast<zip_uint64_t>(dati.size()), 0);
        const zip_int64_t indice =
            s ? zip_file_add(archivio, nome.constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (indice < 0) {
            const QString m = QString::fromLocal8Bit(zip_strerror(archivio));
            if (s) zip_source_free(s);
            zip_discard(archivio);
            zip_source_free(memoria);
            return fallisci(m);
        }
        zip_set_file_compression(archivio, static_cast<zip_uint64_t>(indice), ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(archivio) < 0) {
        const QString m = QString::fromLocal8Bit(zip_strerror(archivio));
        zip_discard(archivio);
        zip_source_free(memoria);
        return fallisci(m);
    }

    QByteArray risultato;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(memoria, &st) < 0 || !(st.valid & ZIP_STAT_SIZE) ||
        zip_source_open(memoria) < 0) {
        const QString m = erroreZip(zip_source_error(memoria));
        zip_source_free(memoria);
        return fallisci(m);
    }
    risultato.resize(static_cast<qsizetype>(st.size));
    const zip_int64_t letti = zip_source_read(memoria, risultato.data(), st.size);
    zip_source_close(memoria);
    zip_source_free(memoria);
    if (letti < 0 || static_cast<zip_uint64_t>(letti) != st.size)
        return fallisci(QStringLiteral("archivio incompleto"));
    return risultato;
}

}  // namespace varimo
