// SPDX-License-Identifier: GPL-3.0-or-later
// Time from Speak() of a short sentence to the first audio buffer handed to the output.
// Plays through the desktop's sound server when there is one, silently otherwise.
#include "speech/EspeakEngine.h"
#include "speech/SinkAudioOutput.h"
#include "speech/Speaker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    EspeakEngine engine;
    SinkAudioOutput output;
    Speaker speaker(engine, output);

    const QStringList sentences = { QStringLiteral("Sono le 14 e 30. . riunione."),
        QStringLiteral("Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."),
        QStringLiteral("spero di esserti stata utile. . arrivederci") };
    QList<double> firstBuffer;
    QElapsedTimer timer;
    QEventLoop loop;
    QTimer giveUp; // a round that never hears back ends after 5 s
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&output, &AudioOutput::bufferHandedOver, &loop, [&] {
        firstBuffer << timer.nsecsElapsed() / 1e6;
        speaker.Reset(); // no need to listen to the whole sentence
        loop.quit();
    });
    const int rounds = 30;
    for (int i = 0; i < rounds + 1; ++i) {
        timer.start();
        speaker.Speak(sentences[i % sentences.size()]);
        giveUp.start(5000);
        loop.exec();
    }
    if (firstBuffer.size() < 2) {
        QTextStream(stderr) << "no audio was handed to the output\n";
        return 1;
    }
    firstBuffer.removeFirst(); // the first one includes loading the Italian voice
    std::sort(firstBuffer.begin(), firstBuffer.end());
    QTextStream(stdout) << "Speak -> first audio buffer over " << firstBuffer.size() << " short sentences: median "
                        << firstBuffer[firstBuffer.size() / 2] << " ms, max " << firstBuffer.last() << " ms\n";
    return 0;
}
