// SPDX-License-Identifier: GPL-3.0-or-later
// A book chapter read aloud from the Leggi page with the real espeak-ng engine: about 1 MB of
// Italian pasted into Text1, then "&Leggi". Measures the time to the first audio buffer, the
// longest stall of the user-interface thread while it reads (with a pause, a resume and typing),
// the time from "&Stop" to silence, and the peak memory.
//   bench_long_text [SECONDS_OF_READING]   (bench/long_text.sh runs it on a private sound server)
// On a PulseAudio server, silence is measured on what the sink really plays (its monitor);
// otherwise only the in-process stop is timed.
#include "core/ClipboardText.h"
#include "core/MainWindowLink.h"
#include "reading/LeggiPage.h"
#include "speech/EspeakEngine.h"
#include "speech/PulseAudioOutput.h"
#include "speech/Speaker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {
struct Book final : ClipboardText
{
    QString text() const override { return content; }
    QString content;
};

struct NoWindow final : MainWindowLink
{
    bool finestraAperta() const override { return false; }
    void setFinestraAperta(bool) override { }
    void tableChanged(Table) override { }
    void stopInactivityCountdown() override { }
    void setInactivityInterval(int) override { }
};

// The real output, with the time each call takes on the UI thread.
class TimedOutput final : public AudioOutput
{
public:
    TimedOutput()
    {
        connect(&m_sink, &AudioOutput::bufferHandedOver, this, &AudioOutput::bufferHandedOver);
        connect(&m_sink, &AudioOutput::finished, this, &AudioOutput::finished);
    }
    void play(const Pcm& pcm) override
    {
        timed("play", [&] { m_sink.play(pcm); });
    }
    void pause() override
    {
        timed("pause", [&] { m_sink.pause(); });
    }
    void resume() override
    {
        timed("resume", [&] { m_sink.resume(); });
    }
    void stop() override
    {
        timed("stop", [&] { m_sink.stop(); });
    }
    qint64 heardMs() const override { return m_sink.heardMs(); }
    QMap<QString, double> longest;

private:
    void timed(const char* call, const std::function<void()>& work)
    {
        QElapsedTimer timer;
        timer.start();
        work();
        double& slot = longest[QString::fromLatin1(call)];
        slot = std::max(slot, timer.nsecsElapsed() / 1e6);
    }
    PulseAudioOutput m_sink;
};

// About 1 MB (UTF-8) of varied Italian sentences in paragraphs, the same every run.
QString italianChapter()
{
    const QStringList who = { "La segretaria", "Il vecchio marinaio", "Nostra nonna", "Un ragazzo di città",
        "La professoressa di latino", "Il medico del paese", "Una bambina curiosa", "Il fornaio" };
    const QStringList did = { "ha raccontato", "ricordava con affetto", "non capiva perché", "scriveva ogni sera",
        "ha letto ad alta voce", "cercava da anni", "aveva dimenticato", "sognava spesso" };
    const QStringList what = { "la storia del faro sulla scogliera", "le lettere arrivate da Genova",
        "il giorno in cui nevicò a Palermo", "che cosa è successo il 12/03/1987 alle 9:15",
        "una ricetta di sua madre, con le dosi scritte a matita", "il viaggio in treno fino a Trieste",
        "perché le rondini tornano sempre allo stesso nido", "la canzone che suonavano in piazza" };
    const QStringList how = { "e tutti restarono in silenzio.", "mentre fuori pioveva!", "senza dire una parola.",
        "con gli occhi pieni di lacrime.", "e poi si mise a ridere.", "come se fosse ieri?",
        "davanti al camino acceso.", "prima che facesse buio; poi andò a dormire." };
    QString text;
    QRandomGenerator random(20261205);
    int sentence = 0;
    while (text.toUtf8().size() < 1024 * 1024) {
        for (int i = 0; i < 200; ++i, ++sentence) {
            text += who[random.bounded(who.size())] + u' ' + did[random.bounded(did.size())] + u' '
                + what[random.bounded(what.size())] + u' ' + how[random.bounded(how.size())];
            text += sentence % 6 == 5 ? QStringLiteral("\n\n") : QStringLiteral(" ");
        }
    }
    return text;
}

qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

void runFor(int ms)
{
    waitFor([] { return false; }, ms);
}

// The longest time the event loop went without serving a 1 ms timer.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.nsecsElapsed() / 1e6);
            m_clock.start();
        });
        m_clock.start();
        m_timer.start();
    }
    double takeLongest()
    {
        const double longest = m_longest;
        m_longest = 0;
        return longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0;
};

// What the default sink really plays, read from its monitor by parec (PulseAudio's recorder; Qt
// lists no monitor sources): when it last carried sound.
class SinkMonitor : public QObject
{
public:
    bool start()
    {
        connect(&m_parec, &QProcess::readyReadStandardOutput, this, [this] {
            const QByteArray data = m_parec.readAllStandardOutput();
            const auto* samples = reinterpret_cast<const qint16*>(data.constData());
            for (qsizetype i = 0; i < data.size() / 2; ++i)
                if (std::abs(samples[i]) > 200) {
                    m_lastSound.start();
                    break;
                }
        });
        m_parec.start(QStringLiteral("parec"),
            { "-d", "@DEFAULT_MONITOR@", "--latency-msec=10", "--format=s16le", "--rate=22050", "--channels=1",
                "--raw" });
        return m_parec.waitForStarted(3000) && m_parec.waitForReadyRead(3000);
    }
    ~SinkMonitor() override
    {
        m_parec.kill();
        m_parec.waitForFinished(1000);
    }
    bool active() const { return m_parec.state() == QProcess::Running; }
    // Milliseconds since the monitor last carried sound.
    qint64 sinceSound() const { return m_lastSound.isValid() ? m_lastSound.elapsed() : -1; }

private:
    QProcess m_parec;
    QElapsedTimer m_lastSound;
};
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int readingMs = (argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10) * 1000;
    QTextStream out(stdout);

    EspeakEngine engine;
    TimedOutput output;
    Speaker speaker(engine, output);
    Book clipboard;
    NoWindow link;
    QFrame frame;
    frame.resize(213, 233);
    LeggiPage page(frame, speaker, clipboard, link);
    frame.show();

    bool heard = false;
    QElapsedTimer sinceRead;
    double firstAudioMs = -1;
    QObject::connect(&output, &AudioOutput::bufferHandedOver, [&] {
        if (!heard && sinceRead.isValid() && firstAudioMs < 0)
            firstAudioMs = sinceRead.nsecsElapsed() / 1e6;
        heard = true;
    });

    // The voice and the sound device are loaded once, before anything is measured.
    speaker.Speak(QStringLiteral("Pronto."));
    if (!waitFor([&] { return heard; }, 10000)) {
        out << "no audio was handed to the output\n";
        return 1;
    }
    speaker.Reset();
    runFor(300);
    const qint64 baselineKb = statusKb("VmRSS:");

    clipboard.content = italianChapter();
    SinkMonitor monitor;
    monitor.start();
    StallMeter stalls;
    runFor(3000); // idle: what the machine's own load costs the event loop
    const double idleStallMs = stalls.takeLongest();
    QElapsedTimer timer;
    timer.start();
    page.Command2->click(); // "&Incolla testo"
    const double pasteMs = timer.nsecsElapsed() / 1e6;
    runFor(200);
    const double pasteStallMs = stalls.takeLongest();

    heard = false;
    sinceRead.start();
    page.Command1->click(); // "&Leggi"
    const double readClickMs = sinceRead.nsecsElapsed() / 1e6;
    waitFor([&] { return heard; }, 5000);
    const int steps = readingMs / 100;
    for (int step = 1; step <= steps; ++step) {
        runFor(100);
        if (step == steps * 3 / 10 || step == steps * 4 / 10)
            page.Command3->click(); // "&Pausa", then "&Riprendi"
        if (step == steps / 2) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(page.Text1, &key);
        }
    }
    const double readingStallMs = stalls.takeLongest();

    // "&Stop" at unforeseen moments of the reading, five times.
    QList<double> stopCalls;
    QList<double> stopToSilence;
    int midWord = 0;
    for (int round = 0; round < 5; ++round) {
        heard = false;
        page.Command1->click();
        waitFor([&] { return heard; }, 5000);
        runFor(500 + QRandomGenerator::global()->bounded(2000));
        // On a sound server: in the middle of a word, not in a pause between sentences.
        if (monitor.active())
            midWord += waitFor([&] { return monitor.sinceSound() >= 0 && monitor.sinceSound() < 15; }, 3000);
        timer.start();
        page.Command4->click();
        stopCalls << timer.nsecsElapsed() / 1e6;
        if (monitor.active()) {
            runFor(1000);
            stopToSilence << std::max<double>(0, 1000 - monitor.sinceSound());
        }
    }
    const double stopStallMs = stalls.takeLongest();
    std::sort(stopCalls.begin(), stopCalls.end());
    std::sort(stopToSilence.begin(), stopToSilence.end());

    out << "text: " << clipboard.content.toUtf8().size() / 1024 << " KiB of Italian, " << clipboard.content.size()
        << " characters\n";
    out << "longest UI stall idle, for comparison: " << idleStallMs << " ms\n";
    out << "paste into Text1: " << pasteMs << " ms (longest stall " << pasteStallMs << " ms)\n";
    out << "\"&Leggi\" -> first audio buffer: " << firstAudioMs << " ms (the click itself " << readClickMs << " ms)\n";
    out << "longest UI stall while reading " << readingMs / 1000 << " s (pause, resume, typing): " << readingStallMs
        << " ms\n";
    out << "\"&Stop\" handled in: max " << stopCalls.last() << " ms over " << stopCalls.size()
        << " stops (longest UI stall " << stopStallMs << " ms)\n";
    if (!stopToSilence.isEmpty())
        out << "\"&Stop\" -> silence on the sink's monitor: max " << stopToSilence.last() << " ms, median "
            << stopToSilence[stopToSilence.size() / 2] << " ms (" << midWord << " stops while sound was playing)\n";
    else
        out << "no monitor of the output: silence not measured on the sink\n";
    out << "longest output calls on the UI thread:";
    for (auto it = output.longest.cbegin(); it != output.longest.cend(); ++it)
        out << ' ' << it.key() << ' ' << it.value() << " ms";
    out << '\n';
    out << "memory: " << baselineKb / 1024 << " MiB before the text, peak " << statusKb("VmHWM:") / 1024 << " MiB\n";
    return 0;
}
