// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SoundModule.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// Half a second of loud audio at 22 050 Hz.
Pcm halfSecond() { return Pcm::audio(QByteArray(22050, '\x40')); }
} // namespace

// The program reaches espeak-ng, the speech service and the sound server only through the sound
// plugin: its engines and output must be the plugin's once loaded, and without the plugin every
// clip must still end, so that the speaker's queue never stalls.
class TestSoundModule : public QObject
{
    Q_OBJECT

private slots:
    void theEnginesAreThePluginsOnceLoaded()
    {
        SoundModule sound(QStringLiteral(VESPELINDA_SOUND_PLUGIN));
        QCOMPARE(sound.espeak().start(), false); // nothing before the load
        QVERIFY(sound.load());
        QCOMPARE(sound.espeak().engineName(), u"espeak-ng"_s);
        QCOMPARE(sound.systemVoice().engineName(), u"Voce di sistema"_s);
        QVERIFY(sound.espeak().start());
        QVERIFY(!sound.espeak().synthesize(u"ciao"_s).samples.isEmpty());
    }

    void eachClipEnds_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<bool>("loads");
        QTest::newRow("through the plugin") << QStringLiteral(VESPELINDA_SOUND_PLUGIN) << true;
        QTest::newRow("no plugin") << u"/nonexistent/vespelinda-sound.so"_s << false;
    }
    void eachClipEnds()
    {
        QFETCH(QString, plugin);
        QFETCH(bool, loads);
        SoundModule sound(plugin);
        AudioOutput& output = sound.output();
        output.prepare(); // loads the plugin, as the speaker's release does
        QCOMPARE(sound.espeak().start(), loads);
        QSignalSpy handedOver(&output, &AudioOutput::bufferHandedOver);
        QSignalSpy finished(&output, &AudioOutput::finished);
        output.play(halfSecond());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCOMPARE(handedOver.count(), 1);
    }

    void aStoppedClipReportsNoEnd_data() { eachClipEnds_data(); }
    void aStoppedClipReportsNoEnd()
    {
        QFETCH(QString, plugin);
        SoundModule sound(plugin);
        AudioOutput& output = sound.output();
        output.prepare();
        QSignalSpy finished(&output, &AudioOutput::finished);
        output.play(halfSecond());
        output.stop();
        // The next clip's end is the first end reported.
        output.play(halfSecond());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    }

    void aPausedClipWaitsForItsResume()
    {
        SoundModule sound(u"/nonexistent/vespelinda-sound.so"_s);
        AudioOutput& output = sound.output();
        output.prepare();
        QSignalSpy finished(&output, &AudioOutput::finished);
        output.play(halfSecond());
        output.pause();
        const qint64 heard = output.heardMs();
        QCoreApplication::processEvents();
        QCOMPARE(output.heardMs(), heard);
        output.resume();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    }
};

QTEST_GUILESS_MAIN(TestSoundModule)
#include "TestSoundModule.moc"
