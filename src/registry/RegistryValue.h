// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <variant>

// A value handed to clsEasyRegistry::ValueOf: nothing, a text, a byte array or a number.
// The type code given with it decides whether it fits.
class RegistryValue
{
public:
    RegistryValue() = default;
    RegistryValue(QString text)
        : m_value(std::move(text))
    {
    }
    RegistryValue(QByteArray bytes)
        : m_value(std::move(bytes))
    {
    }
    RegistryValue(double number)
        : m_value(number)
    {
    }

    const QString* text() const { return std::get_if<QString>(&m_value); }
    const QByteArray* bytes() const { return std::get_if<QByteArray>(&m_value); }
    const double* number() const { return std::get_if<double>(&m_value); }

private:
    std::variant<std::monostate, QString, QByteArray, double> m_value;
};

// A value read back: its text, its bytes and its number.
struct RegistryValueRead
{
    QString text;
    QByteArray bytes;
    double number = 0;
};

// The values of a key as DirValue lists them: [0] the names, [1] the data texts, [2] the type
// codes, each list in the key's order.
using RegistryValueTable = std::array<QStringList, 3>;
