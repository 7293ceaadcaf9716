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
        QTest::newRow("greeting") << "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."
                                  << u"Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti."_s;
        QTest::newRow("first of the month") << "il 01/01/2027" << u"il primo gennaio 2027"_s;
        QTest::newRow("readout") << "05/12/2026 09:05:07" << u"5 dicembre 2026 9 e 5 e 7 secondi"_s;
        QTest::newRow("clock time") << "alle 9:05" << u"alle 9 e 5"_s;
        QTest::newRow("dotted time") << "alle 21.30." << u"alle 21 e 30."_s;
        // Left as they are.
        for (const char* text :
            { "31/02/2026", "1/2", "3.5 e 1.500 e 2,50", "192.168.10.20", "le 25:70", "Sono le 14 e 30. . riunione." })
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(text);
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
        QVERIFY2(pcm.durationMs() > 2000 && pcm.durationMs() < 9000, qPrintable(QString::number(pcm.durationMs())));
        const auto* samples = reinterpret_cast<const qint16*>(pcm.samples.constData());
        const qsizetype count = pcm.samples.size() / 2;
        double sum = 0;
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i) {
            sum += double(samples[i]) * samples[i];
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        QVERIFY2(std::sqrt(sum / double(count)) > 500 && peak > 5000, "silence"); // not silence

        QVERIFY(engine.synthesize(QString()).samples.isEmpty());
        QVERIFY(engine.synthesize(u"   "_s).samples.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSpeechSynthesis)
#include "TestSpeechSynthesis.moc"
