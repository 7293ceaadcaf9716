// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SystemVoiceEngine.h"

Pcm SystemVoiceEngine::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    if (cancel.load())
        return {};
    return Pcm::text({ .text = text, .voice = tunedVoice(), .rate = tunedRate(), .pitch = tunedPitch() });
}

QStringList SystemVoiceEngine::voices() const
{
    std::lock_guard lock(m_namesMutex);
    return m_names;
}

QList<TunableEngine::VoiceInfo> SystemVoiceEngine::installedVoices()
{
    QList<VoiceInfo> list { { QString(), QStringLiteral("Predefinita del sistema") } };
    for (const auto& voice : m_dispatcher.italianVoices()) {
        if (voice.name.isEmpty())
            list.append({ voice.module, voice.module });
        else
            list.append({ voice.module + u'/' + voice.name, voice.module + QStringLiteral(": ") + voice.name });
    }
    std::lock_guard lock(m_namesMutex);
    m_names.clear();
    for (const auto& info : std::as_const(list))
        m_names << info.name;
    return list;
}
