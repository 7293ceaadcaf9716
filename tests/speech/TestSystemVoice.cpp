// SPDX-License-Identifier: GPL-3.0-or-later
// The system's voice against the real speech-dispatcher with its espeak-ng module, playing into a
// null sink whose monitor is recorded (run by with-speech-service.sh). A second connection stands
// for a screen reader: its texts and ours must take turns.
#include "FakeAudioOutput.h"
#include "speech/ScreenReaderVoice.h"
#include "speech/Speaker.h"
#include "speech/SpeechDispatcher.h"
#include "speech/SpeechOutput.h"
#include "speech/SystemVoiceEngine.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString LongText
    = QStringLiteral("Questa è una frase piuttosto lunga, detta con calma dalla voce di sistema per qualche secondo.");

// How far apart two connections' reports of one moment may reach the test.
constexpr qint64 TurnSlackMs = 1000;

SpokenText said(const QString& text)
{
    SpokenText spoken;
    spoken.text = text;
    return spoken;
}

// The null sink's monitor, 20 ms a chunk: which chunks were loud, counted from the recording's start.
class Recording
{
public:
    Recording()
    {
        m_parec.start(QStringLiteral("parec"),
            { QStringLiteral("-d"), QStringLiteral("speech.monitor"), QStringLiteral("--format=s16le"),
                QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"), QStringLiteral("--raw"),
                QStringLiteral("--latency-msec=20") });
        m_parec.waitForStarted();
        QObject::connect(
            &m_parec, &QProcess::readyReadStandardOutput, [this] { m_data += m_parec.readAllStandardOutput(); });
    }
    ~Recording()
    {
        m_parec.kill();
        m_parec.waitForFinished();
    }
    // Loud 20 ms chunks so far.
    int loudChunks() const
    {
        int loud = 0;
        for (qsizetype chunk = 0; chunk + ChunkBytes <= m_data.size(); chunk += ChunkBytes)
            loud += isLoud(chunk);
        return loud;
    }
    // How long since the last loud chunk, in ms of recording (-1: none yet).
    qint64 quietForMs() const
    {
        const qsizetype chunks = m_data.size() / ChunkBytes;
        for (qsizetype chunk = chunks - 1; chunk >= 0; --chunk)
            if (isLoud(chunk * ChunkBytes))
                return (chunks - 1 - chunk) * 20;
        return -1;
    }

private:
    static constexpr qsizetype ChunkBytes = 22050 / 50 * 2;
    bool isLoud(qsizetype at) const
    {
        const auto* s = reinterpret_cast<const qint16*>(m_data.constData() + at);
        for (qsizetype i = 0; i < ChunkBytes / 2; ++i)
            if (std::abs(s[i]) > 1000)
                return true;
        return false;
    }
    QProcess m_parec;
    QByteArray m_data;
};

// When each report about a clip arrived, on the test's clock.
struct Timeline
{
    Timeline(SpeechDispatcher& service, const QElapsedTimer& clock)
    {
        QObject::connect(
            &service, &SpeechDispatcher::begun, [this, &clock](quint64 clip) { begun[clip] = clock.elapsed(); });
        QObject::connect(
            &service, &SpeechDispatcher::ended, [this, &clock](quint64 clip) { ended[clip] = clock.elapsed(); });
        QObject::connect(&service, &SpeechDispatcher::cancelled, [this](quint64 clip) { cancelled << clip; });
    }
    QHash<quint64, qint64> begun, ended;
    QList<quint64> cancelled;
};

} // namespace

class TestSystemVoice : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_clock.start();
        m_service = std::make_unique<SpeechDispatcher>();
        QVERIFY2(m_service->available(), "speech-dispatcher cannot be reached");
        m_engine = std::make_unique<SystemVoiceEngine>(*m_service);
        m_readerVoice = std::make_unique<ScreenReaderVoice>();
        m_output = std::make_unique<SpeechOutput>(m_audio, *m_service, *m_readerVoice);
        m_speaker = std::make_unique<Speaker>(*m_engine, *m_output);
    }
    void cleanup()
    {
        m_speaker.reset();
        m_output.reset();
        m_readerVoice.reset();
        m_engine.reset();
        m_service.reset();
    }

    void offersItsModulesAndItalianVoices()
    {
        const auto voices = m_engine->installedVoices();
        QVERIFY(voices.size() >= 3);
        QCOMPARE(voices.first().name, QString()); // the service's own choice
        const auto named = [&voices](const QString& name) {
            return std::any_of(voices.begin(), voices.end(), [&name](const auto& voice) { return voice.name == name; });
        };
        QVERIFY2(named(QStringLiteral("espeak-ng")), "the espeak-ng module is listed");
        QVERIFY2(named(QStringLiteral("espeak-ng/Italian")), "its Italian voice is listed");
    }

    void speaksThroughTheServiceIntoTheSoundServer()
    {
        Recording recording;
        QSignalSpy progress(m_speaker.get(), &Speaker::SpeechProgress);
        const quint64 id = m_speaker->Speak(QStringLiteral("Buongiorno, sono le nove e cinque."));
        QTRY_VERIFY_WITH_TIMEOUT(m_speaker->hasSpoken(id), 20000);
        QCOMPARE(progress.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(recording.loudChunks() >= 25, 2000); // half a second of voice at least
        QCOMPARE(m_audio.clipsStarted(), 0); // nothing went to the program's own audio
    }

    void waitsForTheScreenReadersTextInOneQueue()
    {
        SpeechDispatcher reader;
        Timeline readerTimes(reader, m_clock);
        Timeline ours(*m_service, m_clock);
        reader.say(1, said(LongText), SpeechDispatcher::Priority::Message);
        QTRY_VERIFY_WITH_TIMEOUT(readerTimes.begun.contains(1), 10000);
        const quint64 id = m_speaker->Speak(QStringLiteral("Sono le dieci."));
        QTRY_VERIFY_WITH_TIMEOUT(m_speaker->hasSpoken(id), 30000);
        QVERIFY(readerTimes.ended.contains(1));
        QCOMPARE(ours.begun.size(), 1);
        // Ours began only once the reader's had ended. (The two connections' reports reach the
        // test on threads of their own, so their order may differ by a moment; spoken over the
        // reader, ours would have begun seconds before its end.)
        QVERIFY2(ours.begun.begin().value() >= readerTimes.ended[1] - TurnSlackMs,
            qPrintable(QStringLiteral("ours began at %1 ms, the reader's ended at %2 ms")
                           .arg(ours.begun.begin().value())
                           .arg(readerTimes.ended[1])));
    }

    void announcementIsNotCutOffByTheReadersNextText()
    {
        Timeline ours(*m_service, m_clock);
        SpeechDispatcher reader;
        Timeline readerTimes(reader, m_clock);
        const quint64 id = m_speaker->Speak(LongText, Speaker::Lane::Voice, Speaker::Urgency::Announcement);
        QTRY_VERIFY_WITH_TIMEOUT(!ours.begun.isEmpty(), 10000);
        // A screen reader's focus change: what it was saying is dropped, the new text said.
        reader.cancel();
        reader.say(7, said(QStringLiteral("Pulsante OK")), SpeechDispatcher::Priority::Message);
        QTRY_VERIFY_WITH_TIMEOUT(m_speaker->hasSpoken(id), 30000);
        QCOMPARE(ours.cancelled.size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(readerTimes.begun.contains(7), 10000);
        QCOMPARE(ours.ended.size(), 1);
        QVERIFY(readerTimes.begun[7] >= ours.ended.begin().value() - TurnSlackMs);
    }

    void resetSilencesTheServiceAtOnce()
    {
        Recording recording;
        QSignalSpy started(m_speaker.get(), &Speaker::SpeechStarted);
        m_speaker->Speak(LongText + u' ' + LongText);
        QTRY_VERIFY_WITH_TIMEOUT(!started.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(recording.loudChunks() > 0, 5000);
        m_speaker->Reset();
        QCOMPARE(m_speaker->SpeakingState(), Speaker::Idle);
        // Quiet within half a second, and staying so for a second.
        QTRY_VERIFY_WITH_TIMEOUT(recording.quietForMs() >= 1000, 3000);
    }

    // Beside a screen reader, the program's own audio starts only once the reader is quiet, and
    // holds while it speaks.
    void audioTakesTurnsWithTheReadersVoice()
    {
        SpeechDispatcher reader;
        m_output->setScreenReaderPresent(true);
        QSignalSpy sounding(m_readerVoice.get(), &ScreenReaderVoice::soundingChanged);
        reader.say(1, said(LongText), SpeechDispatcher::Priority::Message);
        QTRY_VERIFY_WITH_TIMEOUT(m_readerVoice->sounding(), 10000);
        m_output->play(Pcm::audio(QByteArray(22050, '\x10')));
        QCOMPARE(m_audio.clipsStarted(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!m_readerVoice->sounding(), 30000);
        QCOMPARE(m_audio.clipsStarted(), 1);
        QVERIFY(!m_audio.paused());

        reader.say(2, said(QStringLiteral("Finestra Vespelinda")), SpeechDispatcher::Priority::Message);
        QTRY_VERIFY_WITH_TIMEOUT(m_audio.paused(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_audio.paused(), 10000);
        QCOMPARE(m_audio.clipsStarted(), 1);
    }

    // The reading's own pause outlasts the reader's turn.
    void readersQuietDoesNotUndoAPause()
    {
        SpeechDispatcher reader;
        m_output->setScreenReaderPresent(true);
        m_output->play(Pcm::audio(QByteArray(22050, '\x10')));
        m_output->pause();
        reader.say(1, said(QStringLiteral("Finestra Vespelinda")), SpeechDispatcher::Priority::Message);
        QTRY_VERIFY_WITH_TIMEOUT(m_readerVoice->sounding(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_readerVoice->sounding(), 10000);
        QVERIFY(m_audio.paused());
        m_output->resume();
        QVERIFY(!m_audio.paused());
    }

private:
    QElapsedTimer m_clock;
    FakeAudioOutput m_audio;
    std::unique_ptr<SpeechDispatcher> m_service;
    std::unique_ptr<SystemVoiceEngine> m_engine;
    std::unique_ptr<ScreenReaderVoice> m_readerVoice;
    std::unique_ptr<SpeechOutput> m_output;
    std::unique_ptr<Speaker> m_speaker;
};

QTEST_GUILESS_MAIN(TestSystemVoice)
#include "TestSystemVoice.moc"
