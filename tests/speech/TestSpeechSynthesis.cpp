// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakEngine.h"
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
            { "31/02/2026", "1/2", "3.5 e 1.500 e 2,50", "192.168.10.20", "le 25:70", "Sono le 14 e 30. . riunione." })
            QTest::addRow("unchanged: %s", unchanged) << QString::fromUtf8(unchanged) << QString::fromUtf8(unchanged);
    }
    void datesAndTimesAreRewrittenForTheEar()
    {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        QCOMPARE(ItalianSpeechText::forEar(text), heard);
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
