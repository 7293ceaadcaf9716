// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QObject>

// Where synthesised speech is played. One clip at a time.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Gets ready for the first clip without waiting (a connection to the device, say).
    virtual void prepare() { }
    // Starts playing; bufferHandedOver() follows as soon as the first audio is with the device,
    // finished() once the clip has been played to its end.
    virtual void play(const Pcm& pcm) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // Drops the clip without finished().
    virtual void stop() = 0;
    // How much of the clip in hand has been heard so far, pauses left out (an estimate: the
    // device may still hold a few milliseconds of what it was given).
    virtual qint64 heardMs() const = 0;

signals:
    void bufferHandedOver();
    void finished();
};
