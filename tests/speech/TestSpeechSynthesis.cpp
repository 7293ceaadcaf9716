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
    void datesAndTimesAreRewrittenForTheEar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard");
        QTest::newRow("the greeting") << u"Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."_s
                                      << u"Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti."_s;
        QTest::newRow("the first of the month") << u"il 01/01/2027"_s << u"il primo gennaio 2027"_s;
        QTest::newRow("date and time with seconds")
            << u"05/12/2026 09:05:07"_s << u"5 dicembre 2026 9 e 5 e 7 secondi"_s;
        QTest::newRow("time with a colon") << u"alle 9:05"_s << u"alle 9 e 5"_s;
        QTest::newRow("time with a point") << u"alle 21.30."_s << u"alle 21 e 30."_s;
        for (const char* unchanged :
            { "31/02/2026", "1/2", "3,5 e 1.500 e 2,50", "le 25:70", "Sono le 14 e 30. . riunione." })
            QTest::addRow("unchanged: %s", unchanged) << QString::fromUtf8(unchanged) << QString::fromUtf8(unchanged);
    }
    void datesAndTimesAreRewrittenForTheEar()
    {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        QCOMPARE(ItalianSpeechText::forEar(text), heard);
    }

    // What users type, as an Italian says it: the exact text for the ear where the words heard
    // alone would not show it (TestEarCorpus checks what each engine says of the rest).
    void usersTextsForTheEar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard");
        const auto row = [](const char* name, const char* text, const char* heard) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(heard);
        };
        row("a lone full stop", "Mario Rossi . telefono", "Mario Rossi. telefono");
        row("the pause stays", "utile. . arrivederci", "utile. . arrivederci");
        row("list", "1) pane 2) latte", "1: pane 2: latte");
        row("one that is a number", "sala 1 piano terra, Roma 1 marzo, 1 Milano",
            "sala 1 piano terra, Roma 1 marzo, 1 Milano");
        row("a lone dash is a pause", "Roma - Milano", "Roma, Milano");
        row("lone signs dropped", "nota * ) importante", "nota importante");
        row("a run of marks", "davvero!!!!! ......", "davvero! ...");
        row("left as written", "taglia XL e 1/2", "taglia XL e 1/2");
        row("numbers joined by points", "192.168.10.20", "192 punto 168 punto 10 punto 20");
    }
    void usersTextsForTheEar()
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
