// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechRig.h"
#include "speech/SinkAudioOutput.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

class TestSpeaker : public QObject
{
    Q_OBJECT

private slots:
    void speakReturnsAtOnceAndTextsFollowInOrder()
    {
        SpeechRig rig;
        QStringList log;
        connect(&rig.speaker, &Speaker::SpeechStarted, this, [&] { log << QStringLiteral("started"); });
        connect(&rig.speaker, &Speaker::SpeechProgress, this, [&] { log << QStringLiteral("progress"); });

        rig.speaker.Speak(QStringLiteral("uno"));
        rig.speaker.Speak(QStringLiteral("due"));
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Speaking));
        QVERIFY(log.isEmpty()); // nothing happens inside Speak itself

        QVERIFY(rig.finishCurrent());
        QTRY_COMPARE(rig.spoken(), (QStringList { "uno", "due" }));
        QVERIFY(rig.finishCurrent());
        QCOMPARE(log, (QStringList { "started", "progress", "started", "progress" }));
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Idle));
        QCOMPARE(rig.output.clipsStarted(), 2);
    }

    void emptyTextIsReportedAtOnceInItsTurn()
    {
        SpeechRig rig;
        QSignalSpy started(&rig.speaker, &Speaker::SpeechStarted);
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        rig.speaker.Speak(QString());
        QCOMPARE(started.size(), 1);
        QCOMPARE(progress.size(), 1);
        QCOMPARE(rig.output.clipsStarted(), 0); // no sound

        rig.speaker.Speak(QStringLiteral("prima"));
        rig.speaker.Speak(QString());
        QTRY_VERIFY(rig.output.playing());
        QCOMPARE(progress.size(), 1); // waits behind "prima"
        rig.output.finishClip();
        QCOMPARE(progress.size(), 3);
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Idle));
    }

    void pauseHoldsTheQueueAndResumeGoesOn()
    {
        SpeechRig rig;
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        rig.speaker.Speak(QStringLiteral("uno"));
        QTRY_VERIFY(rig.output.playing());
        rig.speaker.Pause();
        QVERIFY(rig.output.paused());
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Paused));
        rig.speaker.Speak(QStringLiteral("due")); // queued while paused

        rig.speaker.Resume();
        QVERIFY(!rig.output.paused());
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Speaking));
        rig.output.finishClip();
        QTRY_COMPARE(rig.spoken(), (QStringList { "uno", "due" }));
        QVERIFY(rig.finishCurrent());
        QCOMPARE(progress.size(), 2);

        // Paused while idle: the next text waits for Resume.
        rig.speaker.Pause();
        rig.speaker.Speak(QStringLiteral("dopo"));
        QTest::qWait(50);
        QCOMPARE(rig.spoken().size(), 2);
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Paused));
        rig.speaker.Resume();
        QTRY_COMPARE(rig.spoken(), (QStringList { "uno", "due", "dopo" }));
    }

    void resetSilencesAndDiscardsEverything()
    {
        SpeechRig rig;
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        rig.speaker.Speak(QStringLiteral("uno"));
        rig.speaker.Speak(QStringLiteral("due"));
        QTRY_VERIFY(rig.output.playing());
        rig.speaker.Pause();
        rig.speaker.Reset();
        QVERIFY(!rig.output.playing());
        QCOMPARE(rig.output.events.last(), QStringLiteral("stop"));
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Idle)); // a reset also ends the pause
        QTest::qWait(50);
        QCOMPARE(rig.spoken(), QStringList { "uno" });
        QCOMPARE(progress.size(), 0);

        rig.speaker.Speak(QStringLiteral("tre")); // speaks again normally
        QVERIFY(rig.finishCurrent());
        QCOMPARE(progress.size(), 1);
    }

    void resetDuringSynthesisDropsTheLateResult()
    {
        SpeechRig rig;
        rig.speaker.Speak(QStringLiteral("lungo"));
        rig.speaker.Reset(); // the worker may still be synthesising
        QTRY_COMPARE(rig.spoken(), QStringList { "lungo" });
        QTest::qWait(50);
        QCOMPARE(rig.output.clipsStarted(), 0);
        QCOMPARE(rig.speaker.SpeakingState(), int(Speaker::Idle));
    }

    void textsQueuedFromANotificationAreSpoken()
    {
        SpeechRig rig;
        int progress = 0;
        connect(&rig.speaker, &Speaker::SpeechProgress, this, [&] {
            if (++progress == 1)
                rig.speaker.Speak(QStringLiteral("seguito"));
        });
        rig.speaker.Speak(QString());
        QTRY_COMPARE(rig.spoken(), QStringList { "seguito" });
    }

    // Without a sound device the text still takes as long as its audio, pauses included.
    void silentOutputTakesAsLongAsTheAudio()
    {
        FakeSpeechEngine engine; // 10 ms per character
        SinkAudioOutput output;
        output.setSilent(true);
        Speaker speaker(engine, output);
        QSignalSpy progress(&speaker, &Speaker::SpeechProgress);
        QElapsedTimer timer;
        timer.start();
        speaker.Speak(QString(30, u'a')); // 300 ms of audio
        QTRY_COMPARE_WITH_TIMEOUT(progress.size(), 1, 3000);
        QVERIFY2(timer.elapsed() >= 300, qPrintable(QString::number(timer.elapsed())));

        speaker.Speak(QString(20, u'a')); // 200 ms + tail
        QTRY_COMPARE(speaker.SpeakingState(), int(Speaker::Speaking));
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
