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
    void datesAndTimesAreRewrittenForTheEar()
    {
        const QList<std::pair<const char*, const char*>> rewritten {
            { "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti.",
                "Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti." },
            { "il 01/01/2027", "il primo gennaio 2027" },
            { "05/12/2026 09:05:07", "5 dicembre 2026 9 e 5 e 7 secondi" }, { "alle 9:05", "alle 9 e 5" },
            { "alle 21.30.", "alle 21 e 30." }
        };
        for (const auto& [text, heard] : rewritten)
            QCOMPARE(ItalianSpeechText::forEar(QString::fromUtf8(text)), QString::fromUtf8(heard));
        for (const char* unchanged :
            { "31/02/2026", "1/2", "3.5 e 1.500 e 2,50", "192.168.10.20", "le 25:70", "Sono le 14 e 30. . riunione." })
            QCOMPARE(ItalianSpeechText::forEar(QString::fromUtf8(unchanged)), QString::fromUtf8(unchanged));
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
