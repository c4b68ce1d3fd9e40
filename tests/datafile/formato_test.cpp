#include "datafile/formato.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

#include "common/codifica.h"

#if __has_include(<iconv.h>)
#include <iconv.h>
#endif

namespace varimo {
namespace {

// A project as a fresh window would save it after typing 1000 in row A.
ProgettoFile progettoBase() {
    static const char* etichette[] = {"Lavori a misura",
                                      "Lavori a corpo",
                                      "Oneri per i piani di sicurezza e coordinamento",
                                      "Importo a base dell'appalto",
                                      "Rilievi, accertamenti e indagini",
                                      "Allacciamenti ai pubblici servizi",
                                      "Imprevisti",
                                      "Acquisizione di aree (da piano particellare)",
                                      "Occupazione di aree (da piano particellare)",
                                      "Prezzo chiuso",
                                      "Spese tecniche",
                                      "Spese per attività di consulenza e supporto",
                                      "Spese per commissioni giudicatrici",
                                      "Spese per pubblicità",
                                      "Spese per opere d'arte al 2%",
                                      "Spese analisi e collaudi",
                                      "IVA sui lavori",
                                      "Totale somme a disposizione"};
    ProgettoFile p;
    p.nomeprogetto = QStringLiteral("Scuola");
    p.valuta = QStringLiteral("euro");
    for (int i = 0; i < numeroVoci; ++i) {
        p.voci[i].tipo = QString::fromUtf8(etichette[i]);
        p.voci[i].costorif = 0;
    }
    p.voci[0].costo = QStringLiteral("1000");
    p.voci[3].costo = QStringLiteral("1000");
    p.voci[17].costo = QStringLiteral("0");
    return p;
}

QByteArray scrivi(const ProgettoFile& p) {
    const EsitoScrittura e = scriviProgettoFile(p);
    EXPECT_TRUE(e.riuscito()) << e.errore.toStdString();
    return e.contenuto;
}

QList<QByteArray> righe(const QByteArray& file) {
    QList<QByteArray> r = file.split('\n');
    EXPECT_TRUE(r.last().isEmpty()) << "the last line must end with a line end";
    r.removeLast();
    return r;
}

ProgettoFile leggi(const QByteArray& file) {
    auto r = leggiProgettoFile(file);
    if (auto* e = std::get_if<ErroreLettura>(&r)) {
        ADD_FAILURE() << e->testo().toStdString();
        return {};
    }
    return std::get<ProgettoFile>(r);
}

QString erroreDi(const QByteArray& file) {
    auto r = leggiProgettoFile(file);
    if (auto* e = std::get_if<ErroreLettura>(&r)) return e->testo();
    ADD_FAILURE() << "the file was accepted";
    return {};
}

TEST(FormatoScrittura, DiciannoveRigheOgnunaTerminataDaCrLf) {
    const QByteArray f = scrivi(progettoBase());
    const QList<QByteArray> r = righe(f);
    ASSERT_EQ(r.size(), 19);
    for (const QByteArray& riga : r) EXPECT_TRUE(riga.endsWith('\r')) << riga.constData();
    EXPECT_EQ(r[0], QByteArray("\"Scuola\",\"euro\"\r"));
}

TEST(FormatoScrittura, LaRigaASenzaRiferimentoHa31Caratteri) {
    ProgettoFile p = progettoBase();
    p.voci[0].costorif = 0;
    p.voci[0].vocerif = QVariant();
    const QByteArray riga = righe(scrivi(p))[1].chopped(1);
    EXPECT_EQ(riga, QByteArray("\"Lavori a misura\",\"1000\",\"0\",0,"));
    EXPECT_EQ(riga.size(), 31);
}

TEST(FormatoScrittura, CampiDiRiferimentoPerTipo) {
    struct Caso {
        QVariant costorif, vocerif;
        QByteArray coda;
    };
    const Caso casi[] = {
        {0, QVariant(), ",0,"},                            // never chosen
        {0, 0, ",0,0"},                                    // list cleared
        {QStringLiteral("1234,5"), 18, ",\"1234,5\",18"},  // reference to T
        {QVariant(), QVariant(), ",,"},                    // unassigned after a read
        {QStringLiteral("0"), 1, ",\"0\",1"},              // captured text "0"
        {qlonglong(7), 3, ",7,3"},                         // any whole number is bare
    };
    for (const Caso& c : casi) {
        ProgettoFile p = progettoBase();
        p.voci[16].costorif = c.costorif;
        p.voci[16].vocerif = c.vocerif;
        p.voci[16].perc = 22;
        const QByteArray riga = righe(scrivi(p))[17].chopped(1);
        EXPECT_EQ(riga, QByteArray("\"IVA sui lavori\",\"\",\"22\"") + c.coda);
    }
}

TEST(FormatoScrittura, LeLettereAccentateSonoSingoliByteWindows1252) {
    const QByteArray f = scrivi(progettoBase());
    // "Spese per attività ..." on line 13: à is 0xE0.
    EXPECT_TRUE(righe(f)[12].startsWith("\"Spese per attivit\xE0 di consulenza"));
    ProgettoFile p = progettoBase();
    p.valuta = QStringLiteral("€");
    EXPECT_EQ(righe(scrivi(p))[0], QByteArray("\"Scuola\",\"\x80\"\r"));
}

TEST(FormatoScrittura, LApiceDirittoDiventaApiceTipograficoDiChiusura) {
    ProgettoFile p = progettoBase();
    p.nomeprogetto = QStringLiteral("Scuola \"Verdi\"");
    p.voci[1].tipo = QStringLiteral("Lavori \"a corpo\"");
    const QByteArray f = scrivi(p);
    EXPECT_EQ(righe(f)[0], QByteArray("\"Scuola \x94Verdi\x94\",\"euro\"\r"));
    const ProgettoFile letto = leggi(f);
    EXPECT_EQ(letto.nomeprogetto, QStringLiteral("Scuola ”Verdi”"));
    EXPECT_EQ(letto.voci[1].tipo, QStringLiteral("Lavori ”a corpo”"));
}

TEST(FormatoScrittura, UnCarattereNonScrivibileFaRifiutareTuttoIlFile) {
    struct Caso {
        std::function<void(ProgettoFile&)> modifica;
        QStringList attesi;
    };
    const Caso casi[] = {
        {[](ProgettoFile& p) { p.voci[2].tipo = QStringLiteral("Oneri Жx"); },
         {"«Ж» (U+0416)", "etichetta della voce C"}},
        {[](ProgettoFile& p) { p.voci[17].costo = QStringLiteral("12😀"); },
         {"U+1F600", "costo della voce T"}},
        {[](ProgettoFile& p) { p.nomeprogetto = QStringLiteral("Школа"); },
         {"«Ш»", "nome del progetto"}},
        {[](ProgettoFile& p) { p.valuta = QStringLiteral("₽"); }, {"«₽»", "valuta"}},
        {[](ProgettoFile& p) { p.voci[4].tipo = QStringLiteral("a\nb"); },
         {"etichetta della voce E", "ritorno a capo"}},
        {[](ProgettoFile& p) { p.voci[5].costorif = QStringLiteral("1\u20AC\u0416"); },
         {"«Ж»", "costo di riferimento della voce F"}},
        {[](ProgettoFile& p) { p.voci[6].tipo = QStringLiteral("Impre\u0000visti"); },
         {"etichetta della voce G", "carattere di controllo U+0000"}},
        {[](ProgettoFile& p) { p.valuta = QString(1001, u'e'); }, {"valuta", "1001 caratteri"}},
        // With only these accents the file's bytes are valid UTF-8 and would
        // read back as "Scuola è" (a text decoded the wrong way once).
        {[](ProgettoFile& p) {
             p.nomeprogetto = QStringLiteral("Scuola Ã¨");
             p.voci[11].tipo = QStringLiteral("Spese per attivita");
             p.voci[13].tipo = QStringLiteral("Spese per pubblicita");
         },
         {"nome del progetto", "«Ã¨»"}},
    };
    for (const Caso& c : casi) {
        ProgettoFile p = progettoBase();
        c.modifica(p);
        const EsitoScrittura e = scriviProgettoFile(p);
        EXPECT_FALSE(e.riuscito());
        EXPECT_TRUE(e.contenuto.isEmpty());
        for (const QString& a : c.attesi)
            EXPECT_TRUE(e.errore.contains(a)) << e.errore.toStdString();
    }
}

TEST(FormatoScrittura, AccentiCheNonSonoUtf8SiScrivonoESiRileggono) {
    // The same sequence beside any accent that UTF-8 cannot start with ("à"
    // before a quote) keeps the file Windows-1252 on reading.
    ProgettoFile p = progettoBase();
    p.nomeprogetto = QStringLiteral("Scuola Ã¨");
    const EsitoScrittura e = scriviProgettoFile(p);
    ASSERT_TRUE(e.riuscito()) << e.errore.toStdString();
    EXPECT_FALSE(sembraUtf8(e.contenuto));
    const auto letto = leggiProgettoFile(e.contenuto);
    ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto));
    EXPECT_EQ(std::get<ProgettoFile>(letto), p);
}

TEST(FormatoLettura, IlFileScrittoSiRileggeInvariato) {
    ProgettoFile p = progettoBase();
    p.voci[16].perc = 22;
    p.voci[16].costorif = QStringLiteral("1000");
    p.voci[16].vocerif = 1;
    p.voci[10].vocerif = 0;
    p.voci[12].vocerif = 18;
    p.voci[12].costorif = QStringLiteral("12,75");
    p.voci[12].perc = 100;
    p.voci[5].costorif = QVariant();
    p.voci[4].tipo = QStringLiteral("Perizia – fase «due»");
    EXPECT_EQ(leggi(scrivi(p)), p);
}

TEST(FormatoLettura, RigaSpezzataEFineRigaLfSiLegginoUguali) {
    const QByteArray f = scrivi(progettoBase());
    QByteArray diviso = f;
    // Row A's fields over two lines: the comma after the cost becomes a line end.
    diviso.replace("\"Lavori a misura\",\"1000\",", "\"Lavori a misura\",\"1000\"\r\n");
    ASSERT_NE(diviso, f);
    EXPECT_EQ(leggi(diviso), leggi(f));

    QByteArray lf = f;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(leggi(lf), leggi(f));

    QByteArray senzaUltimoCapo = f.chopped(2);
    EXPECT_EQ(leggi(senzaUltimoCapo), leggi(f));
    EXPECT_EQ(leggi(f + "\r\n\r\n  \r\n"), leggi(f));
}

TEST(FormatoLettura, TipiDiCampo) {
    QByteArray f = scrivi(progettoBase());
    // Hand-edited row B: bare number as cost, bare text as label, blanks
    // around fields, an empty percentage, a quoted reference number.
    f.replace("\"Lavori a corpo\",\"\",\"0\",0,", " Lavori a corpo , 250 ,, \"5\" , \"2\"");
    const ProgettoFile p = leggi(f);
    EXPECT_EQ(p.voci[1].tipo, QStringLiteral("Lavori a corpo"));
    EXPECT_EQ(p.voci[1].costo, QStringLiteral("250"));
    EXPECT_EQ(p.voci[1].perc, 0);
    EXPECT_EQ(p.voci[1].costorif, QVariant(QStringLiteral("5")));
    EXPECT_EQ(p.voci[1].vocerif, QVariant(2));
    EXPECT_FALSE(p.voci[0].vocerif.isValid());
    EXPECT_EQ(p.voci[0].costorif, QVariant(0));

    QByteArray decimale = scrivi(progettoBase());
    decimale.replace("\"Lavori a corpo\",\"\"", "\"Lavori a corpo\",12.5");
    EXPECT_EQ(leggi(decimale).voci[1].costo, QStringLiteral("12,5"));
}

TEST(FormatoLettura, FileUtf8ConMarcaDOrdineDeiByte) {
    QByteArray f = scrivi(progettoBase());
    f.replace("attivit\xE0", "attivit\xC3\xA0");
    f.replace("pubblicit\xE0", "pubblicit\xC3\xA0");
    EXPECT_EQ(leggi("\xEF\xBB\xBF" + f), progettoBase());
}

TEST(FormatoLettura, GliErroriNominanoLaRiga) {
    const QByteArray buono = scrivi(progettoBase());
    struct Caso {
        QByteArray da, a;
        QString atteso;
    };
    const Caso casi[] = {
        {"\"IVA sui lavori\",\"\",\"0\"", "\"IVA sui lavori\",\"\",\"150\"",
         "riga 18: la percentuale «150» non è un numero intero da 0 a 100"},
        {"\"Imprevisti\",\"\",\"0\"", "\"Imprevisti\",\"\",\"12,5\"",
         "riga 8: la percentuale «12,5»"},
        {"\"Imprevisti\",\"\",\"0\"", "\"Imprevisti\",\"\",-3", "riga 8: la percentuale «-3»"},
        {"\"Imprevisti\",\"\",\"0\"", "\"Imprevisti\",\"\",\"dieci\"",
         "riga 8: la percentuale «dieci»"},
        {"\"Imprevisti\",\"\",\"0\",0,", "\"Imprevisti\",\"\",\"0\",0,19",
         "riga 8: la voce di riferimento «19» non è un numero da 1 a 18"},
        {"\"Imprevisti\",\"\",\"0\",0,", "\"Imprevisti\",\"\",\"0\",0,\"\"",
         "riga 8: la voce di riferimento «»"},
        {"\"Imprevisti\",\"\",\"0\",0,", "\"Imprevisti\",\"\",\"0\",0,2.5",
         "riga 8: la voce di riferimento «2.5»"},
        {"\"Imprevisti\"", "\"Imprev\"isti\"", "riga 8: dopo le virgolette di chiusura"},
        {"\"Imprevisti\",\"\",\"0\",0,", "\"Imprevisti\",\"\",\"0\",0,\"1",
         "riga 8: virgolette aperte e non chiuse"},
        {"Imprevisti", "Impre\x81visti", "riga 8: il byte 0x81 non è un carattere"},
    };
    for (const Caso& c : casi) {
        QByteArray f = buono;
        f.replace(c.da, c.a);
        ASSERT_NE(f, buono) << c.da.constData();
        const QString e = erroreDi(f);
        EXPECT_TRUE(e.startsWith(c.atteso))
            << e.toStdString() << "\n expected " << c.atteso.toStdString();
    }
}

TEST(FormatoLettura, NumeroDiCampiSbagliato) {
    const QByteArray buono = scrivi(progettoBase());
    EXPECT_TRUE(erroreDi({}).contains("contiene 0 valori invece di 92"));
    // Truncated inside row L (line 11).
    const qsizetype taglio = buono.indexOf("\"Prezzo chiuso\"") + 18;
    EXPECT_TRUE(erroreDi(buono.left(taglio)).startsWith("riga 11: il file finisce troppo presto"));
    // One more value at the end, and a 20th line.
    EXPECT_TRUE(erroreDi(buono.chopped(2) + ",\r\n").startsWith("riga 19: dopo l'ultimo valore"));
    EXPECT_TRUE(erroreDi(buono + "\"altro\"\r\n").startsWith("riga 20: dopo l'ultimo valore"));
    // A blank line in the middle is an empty value: the fields no longer fit.
    QByteArray vuota = buono;
    vuota.replace("\r\n\"Imprevisti\"", "\r\n\r\n\"Imprevisti\"");
    EXPECT_FALSE(std::holds_alternative<ProgettoFile>(leggiProgettoFile(vuota)));
}

TEST(Codifica, DecodificaTuttiIByteDefinitiERifiutaICinqueNonDefiniti) {
    QByteArray tutti;
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        tutti += static_cast<char>(b);
    }
    const TestoDecodificato d = decodificaWindows1252(tutti);
    ASSERT_TRUE(d.riuscito());
    EXPECT_EQ(d.testo.size(), tutti.size());
    EXPECT_EQ(codificaWindows1252(d.testo).byte, tutti);
    for (char b : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
        EXPECT_EQ(decodificaWindows1252(QByteArray("ab") + b).posizioneByteNonValido, 2);
}

#if __has_include(<iconv.h>)
// The conversion table agrees with the C library's converter on every code
// point, on every byte, and on random texts with unpaired surrogates. Only
// the Unicode tag characters differ: that converter drops them without a
// word, the table names the first one as a character it cannot hold.
TEST(Codifica, LaTabellaConcordaConIlConvertitoreDellaLibreriaC) {
    const auto conIconv = [](const char* verso, const char* da,
                             const QByteArray& in) -> std::optional<QByteArray> {
        const iconv_t cd = iconv_open(verso, da);
        QByteArray out(in.size() * 4 + 4, '\0');
        char* pi = const_cast<char*>(in.constData());
        char* po = out.data();
        size_t ni = static_cast<size_t>(in.size());
        size_t no = static_cast<size_t>(out.size());
        const size_t esito = iconv(cd, &pi, &ni, &po, &no);
        iconv_close(cd);
        if (esito == static_cast<size_t>(-1)) return std::nullopt;
        out.truncate(po - out.data());
        return out;
    };
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xE0000 && c <= 0xE007F)) continue;
        const QString testo = QString::fromUcs4(&c, 1);
        const auto atteso = conIconv("WINDOWS-1252", "UTF-8", testo.toUtf8());
        const TestoCodificato t = codificaWindows1252(testo);
        ASSERT_EQ(t.riuscito(), atteso.has_value()) << static_cast<uint>(c);
        if (atteso) {
            ASSERT_EQ(t.byte, *atteso) << static_cast<uint>(c);
        }
    }
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const auto atteso = conIconv("UTF-8", "WINDOWS-1252", byte);
        const TestoDecodificato d = decodificaWindows1252(byte);
        ASSERT_EQ(d.riuscito(), atteso.has_value()) << b;
        if (atteso) {
            ASSERT_EQ(d.testo, QString::fromUtf8(*atteso)) << b;
        }
    }
    std::mt19937 caso(27);
    const char16_t alfabeto[] = {u'a', u'\u00E0', u'\u20AC', u'\u0416', 0xD83D, 0xDE00, u'"', 0};
    for (int giro = 0; giro < 2000; ++giro) {
        QString testo;
        for (int k = static_cast<int>(caso() % 12); k > 0; --k)
            testo.append(QChar(alfabeto[caso() % std::size(alfabeto)]));
        const auto atteso = conIconv("WINDOWS-1252", "UTF-8", testo.toUtf8());
        const TestoCodificato t = codificaWindows1252(testo);
        ASSERT_EQ(t.riuscito(), atteso.has_value()) << testo.toUcs4().size();
        if (atteso) {
            ASSERT_EQ(t.byte, *atteso);
        }
    }
}
#endif

}  // namespace
}  // namespace varimo
