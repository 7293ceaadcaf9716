// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechRig.h"
#include "speech/PulseAudioOutput.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// One second of loud audio for any text, with 100 ms of silence from `gapFromMs`; a voice text
// ("annuncio") is 80 ms long.
struct GapEngine final : SpeechEngine
{
    explicit GapEngine(int gapFromMs)
        : gapFrom(gapFromMs)
    {
    }
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool&) override
    {
        ++calls;
        const int ms = text == u"annuncio"_s ? 80 : 1000;
        QList<qint16> samples(ms * 22050 / 1000, 8000);
        for (int i = gapFrom * 22050 / 1000; i < (gapFrom + 100) * 22050 / 1000 && i < samples.size(); ++i)
            samples[i] = 0;
        return Pcm::audio(QByteArray(reinterpret_cast<const char*>(samples.constData()), samples.size() * 2));
    }
    QStringList voices() const override { return {}; }
    int gapFrom;
    std::atomic_int calls = 0;
};
// Makes no audio: each text comes back for the desktop's speech service to say itself.
struct ServiceEngine final : SpeechEngine
{
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool&) override
    {
        SpokenText spoken;
        spoken.text = text;
        return Pcm::text(spoken);
    }
    QStringList voices() const override { return {}; }
};
// Counts the times it is got ready; 10 ms of audio per character.
struct WarmingEngine final : SpeechEngine
{
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool&) override
    {
        said << text;
        return Pcm::audio(QByteArray(text.size() * 441, '\x10'));
    }
    QStringList voices() const override { return {}; }
    void warmUp() override { ++warmed; }
    std::atomic_int warmed = 0;
    QStringList said; // read once the synthesis thread is idle
};
} // namespace

class TestSpeaker : public QObject
{
    Q_OBJECT

private slots:
    void textsFollowOneAnotherWithTheirIdentities()
    {
        SpeechRig rig;
        QStringList log;
        connect(&rig.speaker, &Speaker::SpeechStarted, this, [&](quint64 id) { log << u"started %1"_s.arg(id); });
        connect(&rig.speaker, &Speaker::SpeechProgress, this, [&](quint64 id) {
            log << u"progress %1"_s.arg(id);
            if (id == 3)
                rig.speaker.Speak(u"seguito"_s); // queued from inside a notification
        });
        // An empty text is reported at once when nothing is ahead of it, and waits its turn otherwise.
        QVERIFY(rig.speaker.hasSpoken(rig.speaker.Speak(QString())));
        QCOMPARE(rig.speaker.Speak(u"alle 9:05"_s), 2u);
        QCOMPARE(rig.speaker.Speak(QString()), 3u);
        QCOMPARE(log, (QStringList { "started 1", "progress 1" }));
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Speaking);
        QVERIFY(!rig.speaker.hasSpoken(2));

        // Written for the ear before the engine sees it.
        QCOMPARE(rig.finishAll(), (QStringList { "alle 9 e 5", "seguito" }));
        QCOMPARE(log,
            (QStringList { "started 1", "progress 1", "started 2", "progress 2", "started 3", "progress 3", "started 4",
                "progress 4" }));
        QVERIFY(rig.speaker.hasSpoken(4));
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Idle);
        QCOMPARE(rig.output.clipsStarted(), 2); // empty texts make no sound
    }

    // The reading page's pause holds the reading (even before it starts) and only the reading;
    // Stop drops the reading, set aside or waiting, and only the reading; Reset drops everything,
    // a synthesis under way included.
    void readingLaneIsPausedAndStoppedAlone()
    {
        SpeechRig rig;
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        const quint64 reading = rig.speaker.Speak(u"uno"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(rig.output.playing());
        rig.speaker.PauseReading();
        QVERIFY(rig.output.paused());
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Paused);
        const quint64 voice = rig.speaker.Speak(u"due"_s);
        QTRY_COMPARE(rig.output.clipsStarted(), 2);
        QVERIFY(!rig.output.paused()); // the voice is not held by the reading's pause
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Speaking);
        rig.output.finishClip();
        QVERIFY(rig.speaker.hasSpoken(voice));
        QVERIFY(!rig.speaker.hasSpoken(reading));
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Paused);
        QCOMPARE(rig.output.clipsStarted(), 2); // the paused reading waits to be resumed
        rig.speaker.ResumeReading();
        QCOMPARE(rig.output.clipsStarted(), 3);
        QVERIFY(!rig.output.paused());
        QCOMPARE(rig.finishAll(), (QStringList { "uno", "due" })); // not made again
        QVERIFY(rig.speaker.hasSpoken(reading));

        rig.speaker.PauseReading(); // while idle: the next reading waits, a voice text does not
        rig.speaker.Speak(u"tre"_s, Speaker::Lane::Reading);
        rig.speaker.Speak(u"quattro"_s);
        QTRY_VERIFY(rig.output.playing());
        QCOMPARE(rig.finishAll(), (QStringList { "uno", "due", "quattro" }));
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Paused);
        rig.speaker.ResumeReading();
        QCOMPARE(rig.finishAll(), (QStringList { "uno", "due", "quattro", "tre" }));

        // Stop during a voice text, with a reading set aside and another waiting.
        rig.engine.clear();
        rig.speaker.Speak(u"lettura"_s, Speaker::Lane::Reading);
        rig.speaker.Speak(u"altra lettura"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(rig.output.playing());
        const quint64 announcement = rig.speaker.Speak(u"annuncio"_s);
        QTRY_COMPARE(rig.output.clipBytes.last(), 8 * 441);
        rig.speaker.StopReading();
        QVERIFY(rig.output.playing());
        QCOMPARE(rig.finishAll(), (QStringList { "lettura", "annuncio" }));
        QVERIFY(rig.speaker.hasSpoken(announcement));
        QCOMPARE(progress.last().first().toULongLong(), announcement);
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Idle);

        rig.speaker.Speak(u"cinque"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(rig.output.playing());
        rig.speaker.Speak(u"sei"_s);
        rig.speaker.PauseReading();
        rig.speaker.Reset();
        QCOMPARE(rig.output.events.last(), u"stop"_s);
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Idle);
        rig.speaker.Speak(u"lungo"_s);
        rig.speaker.Reset(); // its synthesis is under way: the result is dropped when it comes back
        rig.speaker.Speak(u"sette"_s, Speaker::Lane::Reading); // not held: Reset ended the pause
        QVERIFY(rig.finishCurrent());
        QCOMPARE(rig.output.clipBytes.last(), 5 * 441); // "sette", not "lungo"
    }

    // A voice text that arrives during a reading is heard at once. The reading is taken up from
    // the quietest moment of the 600 ms before where it was cut, or from the piece it was making.
    void voiceSetsTheReadingAside_data()
    {
        QTest::addColumn<int>("heardMs");
        QTest::addColumn<int>("gapFromMs");
        QTest::addColumn<int>("resumeFromMinMs"); // -1: nothing of the clip is left
        QTest::addColumn<int>("resumeFromMaxMs");
        QTest::newRow("back to the pause between words") << 700 << 400 << 400 << 480;
        QTest::newRow("no pause in reach: just before") << 900 << 100 << 870 << 890;
        QTest::newRow("cut at the very start") << 10 << 400 << 0 << 0;
        QTest::newRow("all of it heard") << 1000 << 400 << -1 << -1;
    }
    void voiceSetsTheReadingAside()
    {
        QFETCH(int, heardMs);
        QFETCH(int, gapFromMs);
        QFETCH(int, resumeFromMinMs);
        QFETCH(int, resumeFromMaxMs);
        GapEngine engine(gapFromMs);
        FakeAudioOutput output;
        Speaker speaker(engine, output);
        speaker.Speak(u"una lettura"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(output.playing());
        output.heard = heardMs;
        speaker.Speak(u"annuncio"_s);
        QTRY_COMPARE(output.events.size(), 3);
        QCOMPARE(output.events.mid(1), (QStringList { "stop", "play" }));
        QCOMPARE(output.clips.last().durationMs(), 80); // the voice text, at once
        output.finishClip();
        if (resumeFromMinMs < 0) {
            QCOMPARE(speaker.SpeakingState(), Speaker::Idle);
            return;
        }
        QCOMPARE(output.clips.size(), 3);
        const qint64 resumedFrom = 1000 - output.clips.last().durationMs();
        QCOMPARE_GE(resumedFrom, resumeFromMinMs);
        QCOMPARE_LE(resumedFrom, resumeFromMaxMs);
        output.finishClip();
        QCOMPARE(speaker.SpeakingState(), Speaker::Idle);
        QCOMPARE(engine.calls.load(), 2); // the reading was not made again
    }

    // An announcement's clips say so, for the speech service to put them ahead and never cut them.
    void anAnnouncementsClipsAreUrgent_data()
    {
        QTest::addColumn<int>("lane");
        QTest::addColumn<int>("urgency");
        QTest::addColumn<bool>("urgent");
        QTest::newRow("announcement") << int(Speaker::Lane::Voice) << int(Speaker::Urgency::Announcement) << true;
        QTest::newRow("greeting") << int(Speaker::Lane::Voice) << int(Speaker::Urgency::Normal) << false;
        QTest::newRow("reading") << int(Speaker::Lane::Reading) << int(Speaker::Urgency::Normal) << false;
    }
    void anAnnouncementsClipsAreUrgent()
    {
        QFETCH(int, lane);
        QFETCH(int, urgency);
        QFETCH(bool, urgent);
        SpeechRig rig;
        // Two pieces: the first is short, so that the first sound comes at once.
        const QString text = QString(u"Sono le nove e cinque. "_s).repeated(6) + u"Riunione."_s;
        rig.speaker.Speak(text, Speaker::Lane(lane), Speaker::Urgency(urgency));
        QVERIFY(rig.finishCurrent());
        QVERIFY(rig.finishCurrent());
        QCOMPARE(rig.output.clips.size(), 2);
        QCOMPARE(rig.output.clips.at(0).urgent, urgent);
        QCOMPARE(rig.output.clips.at(1).urgent, urgent);
    }

    // The speech service cannot start a text midway: a reading piece it was saying when the voice
    // came is said again from its beginning, whole.
    void aServicePieceSetAsideIsSaidAgainWhole()
    {
        ServiceEngine engine;
        FakeAudioOutput output;
        Speaker speaker(engine, output);
        speaker.Speak(u"una lettura"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(output.playing());
        output.heard = 700;
        speaker.Speak(u"annuncio"_s);
        QTRY_COMPARE(output.clips.size(), 2);
        output.finishClip();
        QTRY_COMPARE(output.clips.size(), 3);
        QVERIFY(output.clips.last().spoken.has_value());
        QCOMPARE(output.clips.last().spoken->text, u"una lettura"_s);
        output.finishClip();
        QCOMPARE(speaker.SpeakingState(), Speaker::Idle);
    }

    // Released after the start, the speaker gets the engine ready once, unless a text waiting (the
    // greeting) does it itself; nothing is said for it, and no text is lost or said twice.
    void theEngineIsReadyBeforeTheFirstText_data()
    {
        QTest::addColumn<bool>("greeting");
        QTest::addColumn<int>("warmed");
        QTest::newRow("nothing waiting") << false << 1;
        QTest::newRow("a greeting waiting") << true << 0;
    }
    void theEngineIsReadyBeforeTheFirstText()
    {
        QFETCH(bool, greeting);
        QFETCH(int, warmed);
        WarmingEngine engine;
        FakeAudioOutput output;
        Speaker speaker(engine, output);
        speaker.setHeld(true);
        if (greeting)
            speaker.Speak(u"buongiorno"_s);
        speaker.setHeld(false);
        speaker.setHeld(true);
        speaker.setHeld(false);
        const quint64 click = speaker.Speak(u"sono le nove"_s);
        while (speaker.SpeakingState() == Speaker::Speaking) {
            QTRY_VERIFY(output.playing());
            output.finishClip();
        }
        QVERIFY(speaker.hasSpoken(click));
        QCOMPARE(engine.warmed.load(), warmed);
        const QStringList expected
            = greeting ? QStringList { "buongiorno", "sono le nove" } : QStringList { "sono le nove" };
        QCOMPARE(engine.said, expected);
    }

    void aPieceInTheMakingIsMadeAgain()
    {
        SpeechRig rig;
        rig.speaker.Speak(u"lettura"_s, Speaker::Lane::Reading);
        rig.speaker.Speak(u"annuncio"_s); // before the reading's first piece is back
        QVERIFY(rig.finishCurrent());
        QCOMPARE(rig.output.clipBytes.first(), 8 * 441);
        QVERIFY(rig.finishCurrent());
        QCOMPARE(rig.output.clipBytes.last(), 7 * 441);
        QCOMPARE(rig.spoken(), (QStringList { "lettura", "annuncio", "lettura" }));
    }

    // Without a sound device a text still takes as long as its audio, pauses included.
    void silentOutputTakesAsLongAsTheAudio()
    {
        FakeSpeechEngine engine; // 10 ms per character
        PulseAudioOutput output;
        output.setSilent(true);
        Speaker speaker(engine, output);
        QSignalSpy started(&speaker, &Speaker::SpeechStarted);
        QSignalSpy progress(&speaker, &Speaker::SpeechProgress);
        QElapsedTimer clock;
        qint64 firstEndedAtMs = -1;
        connect(&speaker, &Speaker::SpeechProgress, this, [&] {
            if (firstEndedAtMs < 0)
                firstEndedAtMs = clock.elapsed();
        });
        clock.start();
        speaker.Speak(QString(30, u'a')); // 300 ms
        QTRY_COMPARE_WITH_TIMEOUT(progress.size(), 1, 3000);
        QCOMPARE_GE(firstEndedAtMs, 300);
        speaker.Speak(QString(20, u'a'), Speaker::Lane::Reading); // 200 ms and the tail
        QTRY_COMPARE(started.size(), 2); // it plays
        speaker.PauseReading();
        // Paused for longer than the whole clip: it does not end meanwhile.
        QVERIFY(!QTest::qWaitFor([&] { return progress.size() > 1; }, 700));
        QCOMPARE(progress.size(), 1);
        speaker.ResumeReading();
        QTRY_COMPARE_WITH_TIMEOUT(progress.size(), 2, 3000);
    }
};

QTEST_GUILESS_MAIN(TestSpeaker)
#include "TestSpeaker.moc"
