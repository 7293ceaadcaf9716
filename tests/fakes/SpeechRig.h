// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeAudioOutput.h"
#include "FakeSpeechEngine.h"
#include "speech/Speaker.h"

#include <QtTest>
#include <future>
#include <memory>

// A real Speaker over the fake engine and output: tests see what is said and decide when it ends.
struct SpeechRig
{
    FakeSpeechEngine engine;
    FakeAudioOutput output;
    Speaker speaker { engine, output };

    // The texts the engine was given so far (already written for the ear), in order.
    QStringList spoken() const { return engine.spoken(); }
    // Waits for the clip in hand to be playing and plays it to its end.
    bool finishCurrent()
    {
        if (!QTest::qWaitFor([this] { return output.playing(); }, 2000))
            return false;
        output.finishClip();
        return true;
    }
    // What is said next, played to its end; empty when nothing is queued.
    QString nextHeard()
    {
        if (speaker.SpeakingState() == Speaker::Idle)
            return {};
        if (!QTest::qWaitFor([this] { return output.playing(); }, 2000))
            return QStringLiteral("<nothing played>");
        const QString text = spoken().last();
        output.finishClip();
        return text;
    }
    // Waits, without running this thread's events, until the synthesis thread has done all it was
    // handed so far: whatever Speak() sent there has reached the engine.
    bool synthesisCaughtUp()
    {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> caughtUp = done->get_future();
        speaker.onSynthesisThread([done] { done->set_value(); }, [] {});
        return caughtUp.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    }
    // Plays every text to its end, those queued meanwhile too, and returns all the engine was given.
    QStringList finishAll()
    {
        while (speaker.SpeakingState() == Speaker::Speaking && finishCurrent()) { }
        return spoken();
    }
};
