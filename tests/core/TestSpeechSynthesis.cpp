// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/EspeakEngine.h"
#include "core/ItalianSpeechText.h"

#include <QtTest>
#include <cmath>

class TestSpeechSynthesis : public QObject
{
    Q_OBJECT

private slots:
    void datesAndTimesAreRewrittenForTheEar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard");
        QTest::newRow("greeting") << "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."
                                  << "Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti.";
        QTest::newRow("first of the month") << "il 01/01/2027"
                                            << "il primo gennaio 2027";
        QTest::newRow("readout") << "05/12/2026 09:05:07"
                                 << "5 dicembre 2026 9 e 5 e 7 secondi";
        QTest::newRow("clock time") << "alle 9:05"
                                    << "alle 9 e 5";
        QTest::newRow("dotted time") << "alle 21.30."
                                     << "alle 21 e 30.";
        QTest::newRow("not a date") << "31/02/2026"
                                    << "31/02/2026";
        QTest::newRow("fraction") << "1/2"
                                  << "1/2";
        QTest::newRow("decimal number") << "3.5 e 1.500 e 2,50"
                                        << "3.5 e 1.500 e 2,50";
        QTest::newRow("address") << "192.168.10.20"
                                 << "192.168.10.20";
        QTest::newRow("not a time") << "le 25:70"
                                    << "le 25:70";
        QTest::newRow("plain text") << "Sono le 14 e 30. . riunione."
                                    << "Sono le 14 e 30. . riunione.";
    }
    void datesAndTimesAreRewrittenForTheEar()
    {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        QCOMPARE(ItalianSpeechText::forEar(text), heard);
    }

    void espeakSpeaksItalianWithAccents()
    {
        EspeakEngine engine;
        const Pcm pcm = engine.synthesize(QStringLiteral("Buonasera. oggi è il 05/12/2026: perché è già lunedì?"));
        QCOMPARE(pcm.sampleRate, 22050);
        // About 4 s of speech; espeak-ng varies by a few samples from run to run.
        QVERIFY2(pcm.durationMs() > 2000 && pcm.durationMs() < 9000, qPrintable(QString::number(pcm.durationMs())));
        const auto* samples = reinterpret_cast<const qint16*>(pcm.samples.constData());
        const qsizetype count = pcm.samples.size() / 2;
        double sum = 0;
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i) {
            sum += double(samples[i]) * samples[i];
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        const double rms = std::sqrt(sum / double(count));
        QVERIFY2(rms > 500, qPrintable(QString::number(rms))); // not silence
        QVERIFY(peak > 5000);
        QVERIFY(engine.voices().contains(QStringLiteral("italian"), Qt::CaseInsensitive));
    }

    void espeakSaysTheDateInWordsNotDigits()
    {
        EspeakEngine engine;
        // Digit by digit with "barra" would take far longer than the words.
        const qint64 words = engine.synthesize(QStringLiteral("05/12/2026")).durationMs();
        const qint64 digits
            = engine.synthesize(QStringLiteral("zero cinque barra dodici barra duemila ventisei")).durationMs();
        QVERIFY2(words < digits * 0.8, qPrintable(QStringLiteral("%1 vs %2").arg(words).arg(digits)));
    }

    void emptyTextGivesNoAudio()
    {
        EspeakEngine engine;
        QVERIFY(engine.synthesize(QString()).samples.isEmpty());
        QVERIFY(engine.synthesize(QStringLiteral("   ")).samples.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSpeechSynthesis)
#include "TestSpeechSynthesis.moc"
