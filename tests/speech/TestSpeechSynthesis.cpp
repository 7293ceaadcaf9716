// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakEngine.h"
#include "speech/ItalianSpeechText.h"

#include <QtTest>

using namespace Qt::StringLiterals;
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
                                  << u"Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti."_s;
        QTest::newRow("first of the month") << "il 01/01/2027" << u"il primo gennaio 2027"_s;
        QTest::newRow("readout") << "05/12/2026 09:05:07" << u"5 dicembre 2026 9 e 5 e 7 secondi"_s;
        QTest::newRow("clock time") << "alle 9:05" << u"alle 9 e 5"_s;
        QTest::newRow("dotted time") << "alle 21.30." << u"alle 21 e 30."_s;
        QTest::newRow("not a date") << "31/02/2026" << u"31/02/2026"_s;
        QTest::newRow("fraction") << "1/2" << u"1/2"_s;
        QTest::newRow("decimal number") << "3.5 e 1.500 e 2,50" << u"3.5 e 1.500 e 2,50"_s;
        QTest::newRow("address") << "192.168.10.20" << u"192.168.10.20"_s;
        QTest::newRow("not a time") << "le 25:70" << u"le 25:70"_s;
        QTest::newRow("plain text") << "Sono le 14 e 30. . riunione." << u"Sono le 14 e 30. . riunione."_s;
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
        // Digit by digit with "barra" would take far longer than the words the speaker hands it.
        const qint64 words = engine.synthesize(ItalianSpeechText::forEar(QStringLiteral("05/12/2026"))).durationMs();
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
