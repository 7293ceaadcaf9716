// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// What clsEasyRegistry raises: a number, a source and an English description. For a failed
// registry call the number is ApiCall and resultCode() tells which call result it was.
class EasyRegistryError : public std::exception
{
public:
    static constexpr qint32 NoCurrentKey = -2147221503; // 0x80040001
    static constexpr qint32 InvalidRoot = -2147221502; // 0x80040002
    static constexpr qint32 TypeMismatch = -2147221501; // 0x80040003
    static constexpr qint32 NoSuchType = -2147221500; // 0x80040004
    static constexpr qint32 ApiCall = -2147221248; // 0x80040100

    EasyRegistryError(qint32 number, QString source, QString description, long resultCode = 0)
        : m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
        , m_resultCode(resultCode)
        , m_what(m_description.toUtf8())
    {
    }

    qint32 number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    long resultCode() const { return m_resultCode; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    long m_resultCode;
    QByteArray m_what;
};
