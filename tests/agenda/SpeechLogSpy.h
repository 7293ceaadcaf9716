// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

// Every text handed to the Speaker, in the order of the calls, as the speech log records it.
class SpeechLogSpy
{
public:
    SpeechLogSpy()
    {
        s_current = this;
        QLoggingCategory::setFilterRules(QStringLiteral("vespelinda.speech=true"));
        m_previous = qInstallMessageHandler(&SpeechLogSpy::handle);
    }
    ~SpeechLogSpy()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    SpeechLogSpy(const SpeechLogSpy&) = delete;
    SpeechLogSpy& operator=(const SpeechLogSpy&) = delete;

    QStringList texts;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (!s_current)
            return;
        if (context.category && qstrcmp(context.category, "vespelinda.speech") == 0)
            s_current->texts.append(message);
        if (s_current->m_previous)
            s_current->m_previous(type, context, message);
    }

    inline static SpeechLogSpy* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
};
