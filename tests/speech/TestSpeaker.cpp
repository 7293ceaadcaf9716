// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechRig.h"
#include "speech/SinkAudioOutput.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

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
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Speaking));
        QVERIFY(!rig.speaker.hasSpoken(2));

        // Written for the ear before the engine sees it.
        QCOMPARE(rig.finishAll(), (QStringList { "alle 9 e 5", "seguito" }));
        QCOMPARE(log,
            (QStringList { "started 1", "progress 1", "started 2", "progress 2", "started 3", "progress 3", "started 4",
                "progress 4" }));
        QVERIFY(rig.speaker.hasSpoken(4));
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Idle));
        QCOMPARE(rig.output.clipsStarted(), 2); // empty texts make no sound
    }

    // Pause holds the clip and the queue (even while idle); Reset drops them, the pause and a
    // synthesis still under way.
    void pauseHoldsAndResetDrops()
    {
        SpeechRig rig;
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        rig.speaker.Speak(u"uno"_s);
        QTRY_VERIFY(rig.output.playing());
        rig.speaker.Pause();
        rig.speaker.Speak(u"due"_s);
        QVERIFY(rig.output.paused() && rig.speaker.SpeakingState() == Speaker::Paused);
        rig.speaker.Resume();
        QVERIFY(!rig.output.paused() && rig.speaker.SpeakingState() == Speaker::Speaking);
        QCOMPARE(rig.finishAll(), (QStringList { "uno", "due" }));
        rig.speaker.Pause();
        rig.speaker.Speak(u"tre"_s);
        QTest::qWait(50);
        QVERIFY(rig.spoken().size() == 2 && rig.speaker.SpeakingState() == Speaker::Paused);
        rig.speaker.Resume();
        QTRY_VERIFY(rig.output.playing());

        rig.speaker.Speak(u"quattro"_s);
        rig.speaker.Pause();
        rig.speaker.Reset();
        QVERIFY(rig.output.events.last() == u"stop"_s && rig.speaker.SpeakingState() == Speaker::Idle);
        rig.speaker.Speak(u"lungo"_s);
        rig.speaker.Reset(); // its synthesis is under way: the result is dropped when it comes back
        rig.speaker.Speak(u"cinque"_s);
        QVERIFY(rig.finishCurrent() && progress.size() == 3);
        QCOMPARE(rig.spoken(), (QStringList { "uno", "due", "tre", "lungo", "cinque" }));
        QTest::qWait(50);
        QVERIFY(rig.output.clipsStarted() == 4 && rig.output.clipBytes.last() == 6 * 441); // "cinque", not "lungo"
    }

    // Without a sound device a text still takes as long as its audio, pauses included.
    void silentOutputTakesAsLongAsTheAudio()
    {
        FakeSpeechEngine engine; // 10 ms per character
        SinkAudioOutput output;
        output.setSilent(true);
        Speaker speaker(engine, output);
        QSignalSpy progress(&speaker, &Speaker::SpeechProgress);
        speaker.Speak(QString(30, u'a'));
        QTest::qWait(280);
        QCOMPARE(progress.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(progress.size(), 1, 3000);
        speaker.Speak(QString(20, u'a')); // 200 ms and the tail
        QTest::qWait(50);
        speaker.Pause();
        QTest::qWait(700); // longer than the whole clip
        QCOMPARE(progress.size(), 1);
        speaker.Resume();
        QTRY_COMPARE_WITH_TIMEOUT(progress.size(), 2, 3000);
    }
};

QTEST_GUILESS_MAIN(TestSpeaker)
#include "TestSpeaker.moc"
