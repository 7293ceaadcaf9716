// SPDX-License-Identifier: GPL-3.0-or-later
// For each engine: its initialisation time (on the synthesis thread), how long Speak() keeps the
// user-interface thread, and the time from Speak() of a short sentence to the first audio buffer
// handed to the output. Plays through the desktop's sound server when there is one, silently
// otherwise. Then the cost of writing a text for the ear on its own: per sentence, and on texts
// of 64 KB to 1 MB, which must grow in proportion to their length.
#include "speech/EspeakEngine.h"
#include "speech/FestivalProcess.h"
#include "speech/ItalianSpeechText.h"
#include "speech/PulseAudioOutput.h"
#include "speech/Speaker.h"
#include "speech/VoiceEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    VoiceSettings settings(dir.filePath(QStringLiteral("Vespelinda.conf")));
    EspeakEngine espeak;
    FestivalProcess festival(QStringLiteral(VESPELINDA_FESTIVAL_HELPER));
    VoiceEngine voice(settings, espeak, festival);
    PulseAudioOutput output;
    Speaker speaker(voice, output);

    const QStringList sentences = { QStringLiteral("Sono le 14 e 30. . riunione."),
        QStringLiteral("Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."),
        QStringLiteral("spero di esserti stata utile. . arrivederci") };
    const QStringList pieces = { QStringLiteral("Sono le 14 e 30."), QStringLiteral("oggi è il 05/12/2026."),
        QStringLiteral("spero di esserti stata utile.") };
    QElapsedTimer timer;
    QEventLoop loop;
    QTimer giveUp; // a round that never hears back ends after 5 s
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    QList<double> firstBuffer;
    QObject::connect(&output, &AudioOutput::bufferHandedOver, &loop, [&] {
        firstBuffer << timer.nsecsElapsed() / 1e6;
        speaker.Reset(); // no need to listen to the whole sentence
        loop.quit();
    });
    QTextStream out(stdout);
    double longestSpeak = 0;
    for (TunableEngine* engine : { static_cast<TunableEngine*>(&festival), static_cast<TunableEngine*>(&espeak) }) {
        settings.write({ engine->engineName(), QString(), 100, 100, 100 });
        // The engine starts on the synthesis thread while the first text is handed over: Speak()
        // must not wait for it.
        double initMs = 0;
        speaker.onSynthesisThread(
            [&] {
                QElapsedTimer init;
                init.start();
                engine->start();
                initMs = init.nsecsElapsed() / 1e6;
            },
            [] {});
        timer.start();
        speaker.Speak(sentences.first());
        longestSpeak = std::max(longestSpeak, timer.nsecsElapsed() / 1e6);
        giveUp.start(5000);
        loop.exec();
        const double firstText = firstBuffer.value(0);
        firstBuffer.clear();
        // Whole texts of a few sentences, as the speaker hands them over today, and single
        // sentences, the pieces a queue that splits long texts would hand over.
        for (const bool whole : { true, false }) {
            const int rounds = 30;
            for (int i = 0; i < rounds; ++i) {
                const QString text = whole ? sentences[i % sentences.size()] : pieces[i % pieces.size()];
                timer.start();
                speaker.Speak(text);
                longestSpeak = std::max(longestSpeak, timer.nsecsElapsed() / 1e6);
                giveUp.start(5000);
                loop.exec();
            }
            if (firstBuffer.size() < rounds) {
                QTextStream(stderr) << engine->engineName() << ": no audio was handed to the output\n";
                return 1;
            }
            std::sort(firstBuffer.begin(), firstBuffer.end());
            if (whole)
                out << engine->engineName() << ": initialisation " << initMs << " ms; first text, initialisation "
                    << "included, " << firstText << " ms\n";
            out << "  Speak -> first audio buffer over " << rounds
                << (whole ? " texts of 1-3 sentences" : " single sentences") << ": median " << firstBuffer[rounds / 2]
                << " ms, max " << firstBuffer.last() << " ms\n";
            firstBuffer.clear();
        }
    }
    out << "Speak() returned to the user-interface thread within " << longestSpeak << " ms every time\n";

    // Writing for the ear, alone: a sentence (the Speaker writes a text a stretch at a time, so
    // this is what it adds before the first piece is synthesised), then whole texts.
    for (const QString& sentence : sentences) {
        QList<double> us;
        for (int i = 0; i < 200; ++i) {
            timer.start();
            const QString ear = ItalianSpeechText::forEar(sentence);
            us << timer.nsecsElapsed() / 1e3;
            Q_UNUSED(ear);
        }
        std::sort(us.begin(), us.end());
        out << "forEar(\"" << sentence << "\"): median " << us[us.size() / 2] << " us\n";
    }
    const QString paragraph = QStringLiteral(
        "Riunione con il dott. Bianchi il 07.12.2026 dalle 9:00-10:30 in P.zza Garibaldi 3, int. 5. "
        "Chiamare il 333 123 4567 o scrivere a mario.rossi@example.com; pagare 1.500,50 € entro le 18:00. "
        "Ricordati di telefonarmi: 1) pane 2) latte, 5 kg di mele. Via XX Settembre, l'8 marzo ecc.\n");
    for (const int kb : { 64, 256, 1024 }) {
        QString text;
        while (text.size() < kb * 1024)
            text += paragraph;
        timer.start();
        const QString ear = ItalianSpeechText::forEar(text);
        const double ms = timer.nsecsElapsed() / 1e6;
        out << "forEar on " << kb << " KB: " << ms << " ms (" << ms / kb * 1000 << " us per KB)\n";
        Q_UNUSED(ear);
    }
    // Bad input must cost no more than text of its length.
    const QList<std::pair<const char*, QString>> bad = { { "100 000 digits", QString(100000, u'7') },
        { "10 000 dots", QString(10000, u'.') }, { "nested brackets", QString(5000, u'(') + QString(5000, u')') },
        { "mixed scripts", QStringLiteral("Ελλάδα 東京 مرحبا Привет 😀 ").repeated(500) } };
    for (const auto& [what, text] : bad) {
        timer.start();
        const QString ear = ItalianSpeechText::forEar(text);
        out << "forEar on " << what << ": " << timer.nsecsElapsed() / 1e6 << " ms\n";
        Q_UNUSED(ear);
    }
    return 0;
}
