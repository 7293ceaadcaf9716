// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SoundPluginMain.h"

SoundPluginMain::SoundPluginMain()
{
    connect(&m_output, &AudioOutput::bufferHandedOver, this, [this] {
        if (m_bufferHandedOver)
            m_bufferHandedOver();
    });
    connect(&m_output, &AudioOutput::finished, this, [this] {
        if (m_finished)
            m_finished();
    });
}

void SoundPluginMain::reportTo(std::function<void()> bufferHandedOver, std::function<void()> finished)
{
    m_bufferHandedOver = std::move(bufferHandedOver);
    m_finished = std::move(finished);
}
