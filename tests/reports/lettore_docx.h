#pragma once

// Reads back the .docx files the program writes: unpacks a part with libzip
// and parses word/document.xml into paragraphs and tables, independently of
// the program's own document model.

#include <zip.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <optional>
#include <variant>

namespace varimo::test {

inline QStringList partiDocx(const QString& percorso) {
    QStringList nomi;
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(percorso).constData(), ZIP_RDONLY, &err);
    if (!z) return nomi;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        nomi.append(QString::fromUtf8(zip_get_name(z, static_cast<zip_uint64_t>(i), 0)));
    zip_close(z);
    return nomi;
}

inline std::optional<QByteArray> parteDocx(const QString& percorso, const char* nome) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(percorso).constData(), ZIP_RDONLY, &err);
    if (!z) return std::nullopt;
    zip_stat_t st;
    zip_stat_init(&st);
    std::optional<QByteArray> r;
    if (zip_stat(z, nome, 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(z, nome, 0)) {
            QByteArray dati(static_cast<qsizetype>(st.size), '\0');
            if (zip_fread(f, dati.data(), st.size) == static_cast<zip_int64_t>(st.size)) r = dati;
            zip_fclose(f);
        }
    }
    zip_close(z);
    return r;
}

struct ParagrafoLetto {
    QString testo;             // w:t texts; w:tab as 9, w:br as 11, page breaks as 12
    QStringList caratteri;     // font of each run
    QList<double> dimensioni;  // size of each run, points
    QList<bool> grassetti;     // bold of each run
    QString allineamento;      // w:jc value, empty when absent
    int interruzioniPagina = 0;
    double dimensioneMarcatore = 0;
    QString carattereMarcatore;
};

struct CellaLetta {
    QList<ParagrafoLetto> paragrafi;
    QString testo() const {
        QStringList t;
        for (const auto& p : paragrafi) t.append(p.testo);
        return t.join(QChar(13));
    }
};

struct TabellaLetta {
    QString stile;
    int colonneGriglia = 0;
    QList<int> larghezzeGriglia;  // w:gridCol widths, twips
    QList<QList<CellaLetta>> righe;
    int colonne() const { return righe.isEmpty() ? 0 : static_cast<int>(righe.first().size()); }
    const CellaLetta& cella(int r, int c) const { return righe.at(r - 1).at(c - 1); }
};

using BloccoLetto = std::variant<ParagrafoLetto, TabellaLetta>;

struct CorpoLetto {
    QList<BloccoLetto> blocchi;
    QString errore;  // XML error, empty when the document parsed

    QList<ParagrafoLetto> paragrafi() const {
        QList<ParagrafoLetto> r;
        for (const auto& b : blocchi)
            if (const auto* p = std::get_if<ParagrafoLetto>(&b)) r.append(*p);
        return r;
    }
    QList<TabellaLetta> tabelle() const {
        QList<TabellaLetta> r;
        for (const auto& b : blocchi)
            if (const auto* t = std::get_if<TabellaLetta>(&b)) r.append(*t);
        return r;
    }
};

namespace dettaglio {

inline QString val(const QXmlStreamReader& x, const char* nome = "val") {
    for (const auto& a : x.attributes())
        if (a.name() == QLatin1String(nome)) return a.value().toString();
    return {};
}

// Reads a w:rPr: font name, size and bold into the given fields.
inline void leggiRPr(QXmlStreamReader& x, QString* carattere, double* dimensione,
                     bool* grassetto = nullptr) {
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("rFonts")) {
            *carattere = val(x, "ascii");
        } else if (x.name() == QLatin1String("sz")) {
            *dimensione = val(x).toDouble() / 2;
        } else if (x.name() == QLatin1String("b") && grassetto) {
            const QString v = val(x);
            *grassetto = v.isEmpty() || v == QLatin1String("1") || v == QLatin1String("true");
        }
        x.skipCurrentElement();
    }
}

inline ParagrafoLetto leggiParagrafo(QXmlStreamReader& x) {
    ParagrafoLetto p;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("pPr")) {
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("jc")) {
                    p.allineamento = val(x);
                    x.skipCurrentElement();
                } else if (x.name() == QLatin1String("rPr")) {
                    leggiRPr(x, &p.carattereMarcatore, &p.dimensioneMarcatore);
                } else {
                    x.skipCurrentElement();
                }
            }
        } else if (x.name() == QLatin1String("r")) {
            QString car;
            double dim = 0;
            bool grassetto = false;
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("rPr")) {
                    leggiRPr(x, &car, &dim, &grassetto);
                } else if (x.name() == QLatin1String("t")) {
                    p.testo += x.readElementText();
                } else if (x.name() == QLatin1String("tab")) {
                    p.testo += QChar(9);
                    x.skipCurrentElement();
                } else if (x.name() == QLatin1String("br")) {
                    if (val(x, "type") == QLatin1String("page")) {
                        p.testo += QChar(12);
                        ++p.interruzioniPagina;
                    } else {
                        p.testo += QChar(11);
                    }
                    x.skipCurrentElement();
                } else {
                    x.skipCurrentElement();
                }
            }
            p.caratteri.append(car);
            p.dimensioni.append(dim);
            p.grassetti.append(grassetto);
        } else {
            x.skipCurrentElement();
        }
    }
    return p;
}

inline TabellaLetta leggiTabella(QXmlStreamReader& x) {
    TabellaLetta t;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("tblPr")) {
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("tblStyle")) t.stile = val(x);
                x.skipCurrentElement();
            }
        } else if (x.name() == QLatin1String("tblGrid")) {
            while (x.readNextStartElement()) {
                ++t.colonneGriglia;
                t.larghezzeGriglia.append(val(x, "w").toInt());
                x.skipCurrentElement();
            }
        } else if (x.name() == QLatin1String("tr")) {
            QList<CellaLetta> riga;
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("tc")) {
                    CellaLetta c;
                    while (x.readNextStartElement()) {
                        if (x.name() == QLatin1String("p")) {
                            c.paragrafi.append(leggiParagrafo(x));
                        } else {
                            x.skipCurrentElement();
                        }
                    }
                    riga.append(c);
                } else {
                    x.skipCurrentElement();
                }
            }
            t.righe.append(riga);
        } else {
            x.skipCurrentElement();
        }
    }
    return t;
}

}  // namespace dettaglio

inline CorpoLetto leggiCorpo(const QByteArray& xml) {
    CorpoLetto c;
    QXmlStreamReader x(xml);
    if (!x.readNextStartElement() || x.name() != QLatin1String("document")) {
        c.errore = QStringLiteral("manca w:document");
        return c;
    }
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("body")) {
            x.skipCurrentElement();
            continue;
        }
        while (x.readNextStartElement()) {
            if (x.name() == QLatin1String("p")) {
                c.blocchi.append(dettaglio::leggiParagrafo(x));
            } else if (x.name() == QLatin1String("tbl")) {
                c.blocchi.append(dettaglio::leggiTabella(x));
            } else {
                x.skipCurrentElement();
            }
        }
    }
    if (x.hasError()) c.errore = x.errorString();
    return c;
}

inline CorpoLetto leggiDocx(const QString& percorso) {
    const auto xml = parteDocx(percorso, "word/document.xml");
    if (!xml) {
        CorpoLetto c;
        c.errore = QStringLiteral("word/document.xml assente in ") + percorso;
        return c;
    }
    return leggiCorpo(*xml);
}

// Checks that a part is well-formed XML; the error text otherwise.
inline QString erroreXml(const QByteArray& xml) {
    QXmlStreamReader x(xml);
    while (!x.atEnd()) x.readNext();
    return x.hasError() ? x.errorString() : QString();
}

}  // namespace varimo::test
