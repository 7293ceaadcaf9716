// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakEngine.h"
#include "speech/ItalianNumbers.h"
#include "speech/ItalianSpeechText.h"

#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;

class TestSpeechSynthesis : public QObject
{
    Q_OBJECT

private slots:
    // The exact text for the ear, for the program's phrases and where the words heard alone would
    // not show it (TestEarCorpus checks what each engine says of users' texts).
    void rewrittenForTheEar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard");
        const auto row = [](const char* name, const char* text, const char* heard) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(heard);
        };
        row("the greeting", "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti.",
            "Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti.");
        row("the first of the month", "il 01/01/2027", "il primo gennaio 2027");
        row("date and time with seconds", "05/12/2026 09:05:07", "5 dicembre 2026 9 e 5 e 7 secondi");
        row("time with a colon", "alle 9:05", "alle 9 e 5");
        row("time with a point", "alle 21.30.", "alle 21 e 30.");
        row("one o'clock", "Sono le 1 e 5. . dentista.", "È l'una e 5. . dentista.");
        row("midnight sharp", "sono le 0 e 0 minuti.", "è mezzanotte in punto.");
        row("on the hour", "Promemoria delle 16 e 0 minuti. . medicina", "Promemoria delle 16 in punto. . medicina");
        row("one minute", "sono le 13 e 1 minuti.", "sono le 13 e un minuto.");
        row("first, eighth, eleventh", "il 1 gennaio, il 08/12/2026, Il 11 marzo",
            "il primo gennaio, l'otto dicembre 2026, L'undici marzo");
        row("spelled telephone", "telefono. 0.6. .1.2.-.3.. . imèil.", "telefono. 0 6, 1 2, 3.. . imèil.");
        row("prefix", "+.3.9.0.6.", "più 39, 0 6.");
        row("initials stay", "S.p.A. e 1.2.", "S.p.A. e 1 punto 2.");
        row("abbreviations", "Dott.ssa Neri, sig. Bianchi, tel. 06, n. 5, frutta ecc. Poi",
            "dottoressa Neri, signor Bianchi, telefono 06, numero 5, frutta eccetera. Poi");
        row("not abbreviations", "parking. mario@tel.it il n. è", "parking. mario èt tel punto it il n. è");
        row("a lone full stop", "Mario Rossi . telefono", "Mario Rossi. telefono");
        row("the pause stays", "utile. . arrivederci", "utile. . arrivederci");
        row("list", "1) pane 2) latte", "1: pane 2: latte");
        row("one that is a number", "sala 1 piano terra, Roma 1 marzo, 1 Milano",
            "sala 1 piano terra, Roma 1 marzo, 1 Milano");
        row("a lone dash is a pause", "Roma - Milano", "Roma, Milano");
        row("lone signs dropped", "nota * ) importante", "nota importante");
        row("a run of marks", "davvero!!!!! ......", "davvero! ...");
        row("numbers joined by points", "192.168.10.20", "192 punto 168 punto 10 punto 20");
        for (const char* unchanged :
            { "31/02/2026", "1/2", "3,5 e 1.500 e 2,50", "le 25:70", "Sono le 14 e 30. . riunione.", "taglia XL" })
            row(unchanged, unchanged, unchanged);
    }
    void rewrittenForTheEar()
    {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        QCOMPARE(ItalianSpeechText::forEar(text), heard);
    }

    void numberWords_data()
    {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<QString>("cardinal");
        QTest::addColumn<QString>("ordinal");
        QTest::newRow("1") << qint64(1) << u"uno"_s << u"primo"_s;
        QTest::newRow("8") << qint64(8) << u"otto"_s << u"ottavo"_s;
        QTest::newRow("11") << qint64(11) << u"undici"_s << u"undicesimo"_s;
        QTest::newRow("21") << qint64(21) << u"ventuno"_s << u"ventunesimo"_s;
        QTest::newRow("23") << qint64(23) << u"ventitré"_s << u"ventitreesimo"_s;
        QTest::newRow("26") << qint64(26) << u"ventisei"_s << u"ventiseiesimo"_s;
        QTest::newRow("88") << qint64(88) << u"ottantotto"_s << u"ottantottesimo"_s;
        QTest::newRow("100") << qint64(100) << u"cento"_s << u"centesimo"_s;
        QTest::newRow("1000") << qint64(1000) << u"mille"_s << u"millesimo"_s;
        QTest::newRow("2026") << qint64(2026) << u"duemilaventisei"_s << u"duemilaventiseiesimo"_s;
        QTest::newRow("too large") << qint64(1000000) << QString() << QString();
    }
    void numberWords()
    {
        QFETCH(qint64, n);
        QFETCH(QString, cardinal);
        QFETCH(QString, ordinal);
        QCOMPARE(ItalianNumbers::cardinal(n), cardinal);
        QCOMPARE(ItalianNumbers::ordinal(n), ordinal);
    }

    void romanNumerals_data()
    {
        QTest::addColumn<QString>("numeral");
        QTest::addColumn<int>("value");
        QTest::newRow("XX") << u"XX"_s << 20;
        QTest::newRow("XXIII") << u"XXIII"_s << 23;
        QTest::newRow("XIX") << u"XIX"_s << 19;
        QTest::newRow("MCMLXXXIV") << u"MCMLXXXIV"_s << 1984;
        QTest::newRow("not the usual spelling") << u"IIII"_s << 0;
        QTest::newRow("not a numeral") << u"XA"_s << 0;
    }
    void romanNumerals()
    {
        QFETCH(QString, numeral);
        QFETCH(int, value);
        QCOMPARE(ItalianNumbers::roman(numeral), value);
    }

    // The real engine, whose audio varies by a few samples between runs: length and loudness only.
    void espeakSpeaksItalian()
    {
        EspeakEngine engine;
        QVERIFY(engine.voices().contains(u"italian"_s, Qt::CaseInsensitive));
        const Pcm pcm = engine.synthesize(u"Buonasera. oggi è il 05/12/2026: perché è già lunedì?"_s);
        QCOMPARE(pcm.sampleRate, 22050);
        QCOMPARE_GT(pcm.durationMs(), 2000);
        QCOMPARE_LT(pcm.durationMs(), 9000);
        const auto* samples = reinterpret_cast<const qint16*>(pcm.samples.constData());
        const qsizetype count = pcm.samples.size() / 2;
        double sum = 0;
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i) {
            sum += double(samples[i]) * samples[i];
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        QCOMPARE_GT(std::sqrt(sum / double(count)), 500.0); // not silence
        QCOMPARE_GT(peak, 5000);

        QVERIFY(engine.synthesize(QString()).samples.isEmpty());
        QVERIFY(engine.synthesize(u"   "_s).samples.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSpeechSynthesis)
#include "TestSpeechSynthesis.moc"
