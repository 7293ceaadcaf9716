// SPDX-License-Identifier: GPL-3.0-or-later
#include "Phrases.h"
#include "speech/EspeakEngine.h"
#include "speech/FestivalProcess.h"
#include "speech/ItalianSpeechText.h"
#include "speech/VoiceEngine.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;

// The real espeak-ng, counting the sentences it is given in Festival's place.
class CountingEspeak final : public TunableEngine
{
public:
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override
    {
        ++calls;
        return m_espeak.synthesize(text, cancel);
    }
    QStringList voices() const override { return m_espeak.voices(); }
    bool start() override { return m_espeak.start(); }
    QString failure() const override { return m_espeak.failure(); }
    QString engineName() const override { return m_espeak.engineName(); }
    QList<VoiceInfo> installedVoices() override { return m_espeak.installedVoices(); }
    void tune(const QString& voice, int rate, int pitch) override { m_espeak.tune(voice, rate, pitch); }
    int calls = 0;

private:
    EspeakEngine m_espeak;
};

double rms(const Pcm& pcm)
{
    const auto* s = reinterpret_cast<const qint16*>(pcm.samples.constData());
    double sum = 0;
    for (qsizetype i = 0; i < pcm.samples.size() / 2; ++i)
        sum += double(s[i]) * s[i];
    return pcm.samples.isEmpty() ? 0 : std::sqrt(sum / double(pcm.samples.size() / 2));
}

class TestFestivalVoice : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<VoiceSettings> m_settings;
    CountingEspeak m_espeak;
    FestivalProcess m_festival { QStringLiteral(VESPELINDA_FESTIVAL_HELPER) };
    std::unique_ptr<VoiceEngine> m_voice;

    Pcm say(const QString& text) { return m_voice->synthesize(ItalianSpeechText::forEar(text)); }

private slots:
    void initTestCase()
    {
        m_settings = std::make_unique<VoiceSettings>(m_dir.filePath(u"Vespelinda.conf"_s));
        m_voice = std::make_unique<VoiceEngine>(*m_settings, m_espeak, m_festival);
        QVERIFY2(m_festival.start(), qPrintable(m_festival.failure()));
    }

    void init() { m_espeak.calls = 0; }

    // A helper that fails as it starts is tried again later, each time after a longer wait, and
    // Festival speaks again as soon as a start succeeds: never given up for the session.
    void aHelperThatFailsToStartIsTriedAgainLater()
    {
        QTemporaryDir dir;
        const QString counter = dir.filePath(u"starts"_s);
        const QString script = dir.filePath(u"helper.sh"_s);
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Crashes on its first two starts, then is the real helper.
        file.write(QStringLiteral("#!/bin/sh\necho >> '%1'\n[ $(wc -l < '%1') -le 2 ] && kill -SEGV $$\nexec '%2'\n")
                       .arg(counter, QStringLiteral(VESPELINDA_FESTIVAL_HELPER))
                       .toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const auto starts = [&] {
            QFile f(counter);
            return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
        };
        FestivalProcess festival(script, 200);
        QVERIFY(!festival.start());
        QCOMPARE(starts(), 1);
        QVERIFY(!festival.start()); // within the wait: not even tried
        QCOMPARE(starts(), 1);
        QVERIFY(festival.synthesize(u"ciao"_s).samples.isEmpty());
        // Either way a second start is made after 200 ms: asked for, or by the synthesis meanwhile.
        QTRY_VERIFY2_WITH_TIMEOUT(
            starts() == 2 || festival.start(), qPrintable(u"started %1 times"_s.arg(starts())), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(festival.start(), 3000); // after 400 ms more
        QCOMPARE(starts(), 3);
        QVERIFY(festival.failure().isEmpty());
        QVERIFY(!festival.synthesize(u"ciao"_s).samples.isEmpty());
    }

    void festivalIsGivenLatin1ItCanRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("latin1");
        QTest::newRow("accents") << u"perché è già così"_s << QByteArray("perch\xe9 \xe8 gi\xe0 cos\xec");
        QTest::newRow("signs as words") << u"5€ e 3% a&b +39 x=1"_s
                                        << QByteArray("5 euro e 3 per cento a e b pi\xf9 39 x uguale 1");
        QTest::newRow("thousands and slashes") << u"1.500 e 12/a e 3,50"_s << QByteArray("1500 e 12 barra a e 3,50");
        QTest::newRow("digits apart") << u"(3) 5* l'8 hv9k;|_ 3,5 -2"_s << QByteArray("3 5 l' 8 hv 9 k; 3,5 -2");
        QTest::newRow("other alphabets") << u"Straße Ελλάδα 😀 Ünal Muñoz"_s << QByteArray("Strasse Unal Munoz");
    }
    void festivalIsGivenLatin1ItCanRead()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, latin1);
        QCOMPARE(ItalianSpeechText::forFestival(text), latin1);
    }

    void everyPhraseIsSaidWholeByFestival_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heard");
        for (const Phrase& phrase : programPhrases())
            QTest::newRow(qPrintable(phrase.what)) << phrase.text << phrase.heard;
    }
    void everyPhraseIsSaidWholeByFestival()
    {
        QFETCH(QString, text);
        QFETCH(QString, heard);
        const Pcm pcm = say(text);
        const double msPerLetter = double(pcm.durationMs()) / double(heard.count(QRegularExpression(u"\\w"_s)));
        QCOMPARE(m_espeak.calls, 0); // no sentence fell back
        QCOMPARE(pcm.sampleRate, 16000);
        QCOMPARE_GT(msPerLetter, 40.0);
        QCOMPARE_LT(msPerLetter, 160.0);
        QCOMPARE_GT(rms(pcm), 800.0);
    }

    void badInputStillGivesAudio_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fallsBack");
        QTest::newRow("emoji") << u"😀👍 va bene 🎉"_s << false;
        QTest::newRow("signs") << u"§ 3%! ~5 @casa #1 {x} <y> 100$ °C"_s << false;
        QTest::newRow("mixed scripts") << u"Привет, ciao, 你好."_s << false;
        QTest::newRow("another alphabet only") << u"Καλημέρα σας."_s << true;
        QTest::newRow("very long number") << QString(300, u'7') << false;
        QTest::newRow("unknown words") << u"xqzwv brrrkt jjjj ytz"_s << false;
        QTest::newRow("control characters") << u"a\tb\x01 c\r\nd"_s << false;
        QTest::newRow("what crashes Festival") << u"È vero? È."_s << true; // "È." alone, at normal speed
    }
    void badInputStillGivesAudio()
    {
        QFETCH(QString, text);
        QFETCH(bool, fallsBack);
        QVERIFY(rms(say(text)) > 500);
        QCOMPARE(m_espeak.calls > 0, fallsBack);
        m_espeak.calls = 0;
        QVERIFY(!say(u"e adesso?"_s).samples.isEmpty()); // the next text is spoken as ever, by Festival
        QCOMPARE(m_espeak.calls, 0);
    }

    void espeakVariantsAreListedAndSpoken()
    {
        EspeakEngine espeak;
        const auto voices = espeak.installedVoices();
        QVERIFY(voices.size() > 10);
        QCOMPARE(voices.first().name, u"it"_s); // the default first
        QVERIFY(std::any_of(voices.begin(), voices.end(), [](const auto& v) { return v.name == u"it+f3"; }));
        const Pcm italian = espeak.synthesize(u"buongiorno a tutti"_s);
        espeak.tune(u"it+f3"_s, 100, 100);
        const Pcm variant = espeak.synthesize(u"buongiorno a tutti"_s);
        QVERIFY(!variant.samples.isEmpty());
        QVERIFY(variant.samples != italian.samples);
    }

    void aMissingHelperLeavesTheVoiceToEspeak()
    {
        FestivalProcess missing(m_dir.filePath(u"vespelinda-festival"_s));
        QVERIFY(!missing.start());
        QVERIFY(missing.failure().contains(u"vespelinda-festival"_s));
        VoiceEngine voice(*m_settings, m_espeak, missing);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"helper .* is missing: speaking with espeak-ng"_s));
        QVERIFY(rms(voice.synthesize(u"ciao"_s)) > 500);
        QCOMPARE(m_espeak.calls, 1);
    }

    void speedPitchAndVoiceChangeTheAudio()
    {
        const QString text = u"Buongiorno. oggi è il 05/12/2026."_s;
        const qint64 normal = say(text).durationMs();
        m_settings->write({ u"Festival"_s, u"lp"_s, 200, 100, 100 });
        const qint64 fast = say(text).durationMs();
        m_settings->write({ u"Festival"_s, u"pc"_s, 100, 130, 50 });
        const Pcm man = say(text);
        m_settings->write({});
        QCOMPARE_GT(fast, normal * 0.4);
        QCOMPARE_LT(fast, normal * 0.7);
        QCOMPARE_GT(man.durationMs(), normal * 0.7);
        QCOMPARE_LT(man.durationMs(), normal * 1.4);
        QCOMPARE_GT(rms(man), 300.0);
        QCOMPARE_LT(rms(man), rms(say(text)) * 0.7); // half the volume
    }
};

QTEST_GUILESS_MAIN(TestFestivalVoice)
#include "TestFestivalVoice.moc"
