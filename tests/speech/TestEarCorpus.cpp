// SPDX-License-Identifier: GPL-3.0-or-later
// Real texts of the kind users type (appointments, reminders, contacts, pasted prose), each with
// what a listener must hear and must not hear, checked through each engine's own analysis: the
// words and syllables of Festival's utterance, espeak-ng's phonemes.
#include "speech/EspeakEngine.h"
#include "speech/FestivalProcess.h"
#include "speech/ItalianSpeechText.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// Lower case, accents dropped: "Ricòrdati" and "ricordati" are one word to compare.
QString folded(const QString& text)
{
    QString out;
    for (const QChar c : text.toLower().normalized(QString::NormalizationForm_D))
        if (c.unicode() < 0x300 || c.unicode() > 0x36f)
            out += c;
    return out;
}

// espeak-ng's phonemes without stress, length and pause marks, nor spaces.
QString bare(const QString& phonemes)
{
    static const QRegularExpression marks(QStringLiteral(R"([',:_|!;\s])"));
    return QString(phonemes).remove(marks);
}

// The consonants of espeak-ng's phonemes that do not change with their neighbours: how a word is
// recognised inside a sentence, where its vowels, glides and r's take other shapes.
QString skeleton(const QString& phonemes)
{
    QString out;
    for (QChar c : phonemes) {
        if (c == u'm' || c == u'N')
            c = u'n'; // a nasal takes the place of the consonant after it
        if (c == u'z')
            c = u's'; // voiced or not, by the word's neighbours
        if (QStringView(u"bdfgklnpstvz").contains(c) && !out.endsWith(c)) // a double consonant is one
            out += c;
    }
    return out;
}

// Signs an engine reads by their names when it is given them alone.
const QStringList SignNames = { u"punto"_s, u"meno"_s, u"barra"_s, u"chiusa"_s, u"aperta"_s, u"apice"_s,
    u"sottolineatura"_s, u"asterisco"_s, u"cancelletto"_s, u"tonda"_s, u"trattino"_s };

void row(const char* category, const char* text, const char* mustHear, const char* mustNotHear = "")
{
    static QHash<QString, int> counts;
    const QString name = QString::fromUtf8(category);
    QTest::addRow("%s %d", category, ++counts[name])
        << QString::fromUtf8(text) << QString::fromUtf8(mustHear).split(u'|', Qt::SkipEmptyParts)
        << QString::fromUtf8(mustNotHear).split(u' ', Qt::SkipEmptyParts);
}
} // namespace

class TestEarCorpus : public QObject
{
    Q_OBJECT

    FestivalProcess m_festival { QStringLiteral(VESPELINDA_FESTIVAL_HELPER) };
    EspeakEngine m_espeak;

private slots:
    void initTestCase() { QVERIFY2(m_festival.start(), qPrintable(m_festival.failure())); }

    // mustHear: phrases ("|" between them) that Festival's words must contain in this order of
    // words; a phrase with "{" is a word with its syllables, the stressed one after "'".
    // mustNotHear: words neither engine may say. A sign's name is never heard unless the text for
    // the ear says that word.
    void heardAsAnItalianWould_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("mustHear");
        QTest::addColumn<QStringList>("mustNotHear");

        // Appointments as typed.
        row("appointment", "Dentista ore 9:00", "ore nove", "zero");
        row("appointment", "Riunione 9:00-10:00 sala B", "dalle nove alle dieci");
        row("appointment", "riunione dalle 9.30 alle 11", "dalle nove e trenta alle undici");
        row("appointment", "Meeting con il team h 15", "ore quindici|mìtin", "acca");
        row("appointment", "Dott. Rossi alle 1:15", "dottor rossi all'una e quindici");
        row("appointment", "pranzo con Anna alle 13:30.", "alle tredici e trenta");
        row("appointment", "Colloquio entro le 18:00", "entro le diciotto", "zero");
        row("appointment", "Visita medica h. 8:45", "ore otto e quarantacinque");
        row("appointment", "Call con Milano 14:00-15:30", "dalle quattordici alle quindici e trenta");
        row("appointment", "Parrucchiere (ore 10)", "parrucchiere ore dieci");
        row("appointment", "Avv. Neri - studio legale", "avvocato neri studio legale");
        row("appointment", "Ing. Verdi: sopralluogo", "ingegner verdi sopralluogo", "punti");
        row("appointment", "Prof.ssa Gialli, colloquio", "professoressa gialli colloquio");
        row("appointment", "Dr. Bianchi c/o ospedale", "dottor bianchi presso ospedale");
        row("appointment", "Consegna lavori l'8 marzo", "l'otto marzo");
        row("appointment", "Scadenza del 08/12", "dell'otto dicembre");
        row("appointment", "Ferie dal 1 giugno", "dal primo giugno");
        row("appointment", "Pagamento IMU 16/12/2026", "sedici dicembre");
        row("appointment", "Assemblea 07.12.2026 ore 21", "sette dicembre|ore ventuno");
        row("appointment", "Cena il 15/3", "il quindici marzo");
        row("appointment", "Partenza 7 dic. 2026", "sette dicembre", "dic");
        row("appointment", "Corso di yoga 18:30 - 19:30", "dalle diciotto e trenta alle diciannove e trenta");
        row("appointment", "Ritirare referti entro le 12", "entro le dodici");
        row("appointment", "Esame 2° appello", "secondo appello", "gradi");
        row("appointment", "Riunione condominio 3° piano", "terzo piano", "gradi");
        row("appointment", "Cerimonia 50° anniversario", "cinquantesimo anniversario", "gradi");
        row("appointment", "Incontro dalle 1 alle 2", "dall'una alle due");
        row("appointment", "Visita alle 0:30", "a mezzanotte e trenta");
        row("appointment", "Treno delle 6:05", "delle sei e cinque");
        row("appointment", "Partita finita 3-1", "tre a uno");

        // Reminders.
        row("reminder", "pagare 20 €.", "pagare venti euro");
        row("reminder", "Pagare bolletta € 85,40", "ottantacinque euro e quaranta");
        row("reminder", "Affitto 1.500,50 €", "euro e cinquanta", "virgola");
        row("reminder", "Offerta 1 euro", "un euro", "uno");
        row("reminder", "Prendere 1 ora di permesso", "un'ora", "uno");
        row("reminder", "Prenotare per 1 persona", "una persona", "uno");
        row("reminder", "Comprare: 1) pane 2) latte", "pane|latte", "chiusa");
        row("reminder", "Spesa: pane, latte, uova.", "pane latte uova", "punti");
        row("reminder", "Ricordati di telefonarmi", "ricordati{ri.'kOr.da.ti.}|telefonarmi{te.le.fo.'nar.mi.}");
        row("reminder", "Telefonami appena puoi", "telefonami{te.'lE.fo.na.mi.}");
        row("reminder", "Dimmelo domani", "dimmelo{'dim.me.lo.}");
        row("reminder", "Mandaglielo via e-mail", "mandaglielo{'man.daL.Le.lo.}");
        row("reminder", "Ricordamelo stasera", "ricordamelo{ri.'kOr.da.me.lo.}");
        row("reminder", "Leggere il contratto", "leggere{'lEdZ.dZe.re.}");
        row("reminder", "Prendere le medicine * importante *", "importante", "asterisco");
        row("reminder", "Medicina #2 dopo cena", "medicina numero due dopo cena", "cancelletto");
        row("reminder", "Innaffiare le piante!!!", "innaffiare le piante");
        row("reminder", "Portare 5 kg di mele", "cinque chili di mele", "kappa");
        row("reminder", "Correre 3 km", "tre chilometri", "kappa");
        row("reminder", "Comprare 200 g di prosciutto", "duecento grammi");
        row("reminder", "Limite 90 km/h", "novanta chilometri orari", "barra");
        row("reminder", "Bere 2 l di acqua", "due litri");
        row("reminder", "Ritirare il pacco (n° 45)", "numero quarantacinque", "gradi");
        row("reminder", "Rinnovo abbonamento n. 12", "numero dodici");
        row("reminder", "Vedere pag. 34", "pagina trentaquattro");
        row("reminder", "Chiamare circa ca. 5 persone", "circa cinque persone");
        row("reminder", "Mettere in ordine scrivania, archivio ecc.", "eccetera");
        row("reminder", "Lavatrice a 40°C", "quaranta gradi");
        row("reminder", "Temperatura 30°", "trenta gradi");
        row("reminder", "Vaccino 2ª dose", "seconda dose");
        row("reminder", "Fare la spesa - urgente", "spesa urgente", "meno");
        row("reminder", "Ok, fatto", "okèi", "kappa");
        row("reminder", "Salvare il file sul computer", "fàil|compiùter");
        row("reminder", "Mettersi in file ordinate", "file ordinate");
        row("reminder", "Riunione nel weekend", "uìkend");
        row("reminder", "Cambiare la password", "pàssuord");

        // Postal addresses.
        row("address", "Via XX Settembre 12, Roma", "via venti settembre dodici roma");
        row("address", "P.zza Garibaldi 3", "piazza garibaldi tre");
        row("address", "C.so Italia 45/b", "corso italia quarantacinque barra");
        row("address", "V.le Europa 7, int. 23", "viale europa sette interno ventitre");
        row("address", "L.go Argentina 1", "largo argentina");
        row("address", "P.le Loreto", "piazzale loreto");
        row("address", "Via Roma 10 - 00100 Roma", "via roma dieci", "meno");
        row("address", "Spett.le Ditta Rossi", "spettabile ditta rossi");
        row("address", "Gent.mo Sig. Bianchi", "gentilissimo signor bianchi");
        row("address", "Gent.ma Sig.ra Neri", "gentilissima signora neri");
        row("address", "Egr. Dott. Verdi", "egregio dottor verdi");
        row("address", "Giovanni XXIII", "giovanni ventitreesimo");
        row("address", "Papa Pio IX", "pio nono");
        row("address", "nel XIX secolo", "diciannovesimo secolo");
        row("address", "Vicolo II", "vicolo due");

        // Telephone numbers, in every common shape.
        row("telephone", "chiama 333 123 4567", "tre tre tre uno due tre quattro cinque sei sette", "trecento");
        row("telephone", "tel. 06 1234567", "telefono zero sei uno due tre", "milione");
        row("telephone", "cell. 333-1234567", "cellulare tre tre tre uno due", "meno");
        row("telephone", "+39 333 1234567", "più trentanove tre tre tre");
        row("telephone", "+39 06 12345678", "più trentanove zero sei");
        row("telephone", "333.123.4567", "tre tre tre uno due tre", "punto");
        row("telephone", "06/1234567", "zero sei uno due", "barra");
        row("telephone", "3331234567", "tre tre tre uno due tre quattro cinque sei sette", "milioni");
        row("telephone", "0039 02 1234567", "zero zero tre nove zero due");
        row("telephone", "numero verde 800 123 456", "otto zero zero uno due tre");
        row("telephone", "fax 02-12345678", "zero due uno due", "meno");
        row("telephone", "chiamare lo 055 2345678", "zero cinque cinque due tre");
        row("telephone", "Mario 347 1234567 ore 9", "tre quattro sette|ore nove");

        // The address book's spoken entry.
        row("entry", "Mario Rossi . telefono. 0.6. .1.2.3.4.5.6.7.8.. . imèil. mario punto rossi èt esempio punto it",
            "mario rossi telefono zero sei uno due tre|imèil mario punto rossi èt esempio punto it");
        row("entry", "Anna . telefono. +.3.9. .3.4.7.-.1.2.3.4.5.6.7.. . imèil. Non inserita",
            "anna telefono più trentanove tre quattro sette|non inserita");
        row("entry", "Luca . telefono. 0.6.-.1.2.3. .i.n.t... .2.3.. . imèil. Non inserita",
            "zero sei uno due tre interno ventitre");
        row("entry", "Ugo . telefono. 3.3.3...1.2.3...4.5.6.7.. . imèil. Non inserita",
            "tre tre tre uno due tre quattro cinque sei sette");

        // E-mail and web addresses in free text.
        row("web", "scrivere a mario.rossi@example.com", "mario punto rossi èt", "chiocciola");
        row("web", "mail: anna_bianchi@libero.it", "anna trattino basso bianchi èt libero punto it");
        row("web", "info@comune.roma.it", "info èt comune punto roma punto it");
        row("web", "sito www.comune.roma.it", "vu vu vu punto comune punto roma punto it");
        row("web", "vedi https://www.inps.it/servizi", "vu vu vu punto inps punto it barra servizi");
        row("web", "mario-rossi@pec.it", "mario trattino rossi èt pec punto it");
        row("web", "email a segreteria@studio.it.", "segreteria èt studio punto it");

        // Sums.
        row("sum", "Totale € 1.250", "milleduecentocinquanta euro");
        row("sum", "costa 3,50 €", "tre euro e cinquanta");
        row("sum", "EUR 12,5", "dodici euro e cinquanta");
        row("sum", "sconto del 20%", "venti per cento");
        row("sum", "saldo -150 euro", "meno centocinquanta euro");
        row("sum", "Mancia 1 €", "un euro");

        // Dates and times in other shapes.
        row("date", "il 01/01/2027", "il primo gennaio duemilaventisette");
        row("date", "05/12/26", "cinque dicembre duemilaventisei");
        row("date", "dal 12-18 marzo", "dal dodici al diciotto marzo");
        row("date", "sabato 7/12", "sabato sette dicembre");
        row("date", "giorno 11/11", "giorno undici novembre");
        row("date", "Natale il 25/12", "il venticinque dicembre");
        row("date", "entro il 31.12.2026", "trentuno dicembre");
        row("date", "anni 2025-2026", "dal duemilaventicinque al duemilaventisei");
        row("time", "dalle 8:00 alle 12:00", "dalle otto alle dodici", "zero");
        row("time", "alle 21.30", "alle ventuno e trenta");
        row("time", "entro le 15,30", "entro le quindici e trenta", "virgola");
        row("time", "ore 12:00:30", "dodici e zero e trenta secondi|dodici");
        row("time", "sono le 1 e 5", "è l'una e cinque");
        row("time", "verso le 1", "verso l'una");

        // Numbers that are not times.
        row("number", "vale 3.14", "tre punto quattordici");
        row("number", "versione 6.04", "sei punto zero quattro");
        row("number", "pagine 12-18", "dal dodici al diciotto", "meno");
        row("number", "192.168.10.20", "centonovantadue punto centosessantotto");
        row("number", "3,5 chili", "tre virgola cinque chili");
        row("number", "1.500 persone", "millecinquecento persone");
        row("number", "1/2 litro", "uno barra due|litro");
        row("number", "10 000 dots ..........", "dots");

        // Prose pasted into the reading page.
        row("prose", "Nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura.",
            "nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura");
        row("prose", "«Andiamo», disse lei. «È tardi!»", "andiamo disse lei è tardi");
        row("prose", "Il 1° maggio è la festa dei lavoratori.", "il primo maggio");
        row("prose", "L'Italia è una Repubblica democratica, fondata sul lavoro.",
            "l'italia è una repubblica democratica fondata sul lavoro");
        row("prose", "Capitolo 3 (continua...)", "capitolo tre continua", "chiusa aperta");
        row("prose", "Sì — rispose — ma non oggi.", "sì rispose ma non oggi", "meno");
        row("prose", "La sera, tornato a casa, lesse il giornale; poi dormì.", "lesse il giornale poi dormì");
        row("prose", "Ecco l'elenco: uova, farina, zucchero.", "ecco l'elenco uova farina zucchero", "punti");
        row("prose", "(nota bene)", "nota bene", "aperta chiusa");
        row("prose", "Spero di esserti stata utile.", "esserti{'Es.ser.ti.}");
        row("prose", "Preparati, si parte!", "preparati{pre.'pa.ra.ti.}");
        row("prose", "Sono arrivati tutti.", "arrivati{ar.ri.'va.ti.}");
        row("prose", "Li hai ricordati?", "ricordati{ri.kor.'da.ti.}");
        row("prose", "Sulla barra delle applicazioni", "sulla{'sul.la.}");
        row("prose", "Dalla finestra si vede il mare", "dalla{'dal.la.}");
        row("prose", "Alzati, è tardi", "alzati");
        row("prose", "Scrivimi presto", "scrivimi{'skri.vi.mi.}");
        row("prose", "Fammi sapere", "fammi{'fam.mi.}");
        row("prose", "Dammi una mano", "dammi{'dam.mi.}");
        row("prose", "Vattene via", "vattene{'vat.te.ne.}");

        // Bad input: what can be said is said.
        row("bad", "Ελλάδα ciao 東京 Привет 😀 grazie", "ciao|grazie");
        row("bad", "((((((ciao))))))", "ciao", "aperta chiusa");
        row("bad", "......!!!!!????? fine", "fine");
        row("bad", "~~~ ^^^ ||| fine", "fine");
        row("bad", "_____ fine", "fine", "sottolineatura");
    }
    void heardAsAnItalianWould()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, mustHear);
        QFETCH(QStringList, mustNotHear);
        const QString ear = ItalianSpeechText::forEar(text);
        const QString festival = u' ' + folded(m_festival.words(ear).join(u' ')) + u' ';
        const QString syllables = u' ' + folded(m_festival.syllables(ear).join(u' ')) + u' ';
        const QString espeak = bare(m_espeak.phonemes(ear));
        QVERIFY2(!festival.trimmed().isEmpty(), qPrintable(u"Festival said nothing for: "_s + ear));
        // Festival writes a number's words apart ("due mila ventisei"): compared without spaces.
        const QString festivalRun = QString(festival).remove(u' ');
        for (const QString& phrase : mustHear) {
            const bool withSyllables = phrase.contains(u'{');
            const bool found = withSyllables ? syllables.contains(u' ' + folded(phrase) + u' ')
                                             : festivalRun.contains(folded(phrase).remove(u' '));
            QVERIFY2(found,
                qPrintable(u"Festival does not say \""_s + phrase + u"\" in: "_s
                    + (withSyllables ? syllables : festival) + u"\n   ear: "_s + ear));
            if (!withSyllables) // espeak-ng says the same words
                QVERIFY2(skeleton(espeak).contains(skeleton(bare(m_espeak.phonemes(phrase)))),
                    qPrintable(u"espeak-ng does not say \""_s + phrase + u"\" in: "_s + espeak));
        }
        const QStringList earWords = folded(ear).split(QRegularExpression(u"[^\\p{L}\\p{N}]+"_s), Qt::SkipEmptyParts);
        QStringList forbidden = mustNotHear;
        for (const QString& sign : SignNames)
            if (!earWords.contains(sign) && !mustHear.join(u' ').contains(sign))
                forbidden << sign;
        for (const QString& word : forbidden) {
            QVERIFY2(!festival.contains(u' ' + folded(word) + u' '),
                qPrintable(u"Festival says \""_s + word + u"\" in: "_s + festival + u"\n   ear: "_s + ear));
            if (word.size() > 3)
                QVERIFY2(!espeak.contains(bare(m_espeak.phonemes(word))),
                    qPrintable(u"espeak-ng says \""_s + word + u"\" in: "_s + espeak + u"\n   ear: "_s + ear));
        }
    }
};

QTEST_GUILESS_MAIN(TestEarCorpus)
#include "TestEarCorpus.moc"
