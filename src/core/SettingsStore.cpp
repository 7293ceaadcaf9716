// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <limits>

namespace {
const QString Section = QStringLiteral("Opzioni/");

QString key(const QString& name) { return Section + name; }
} // namespace

SettingsStore::SettingsStore()
    : m_settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Vespelinda/Vespelinda.conf"),
        QSettings::IniFormat)
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(iniPath, QSettings::IniFormat)
{
}

QString SettingsStore::get(const QString& name) const
{
    m_settings.sync(); // pick up a change another process or object made to the file
    const QVariant value = m_settings.value(key(name));
    // A hand-edited line such as "Messaggio finale=ciao, a domani" reads back as a list:
    // it is still the user's text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SettingsStore::save(const QString& name, const QString& value)
{
    m_settings.setValue(key(name), value);
    m_settings.sync();
}

bool SettingsStore::initialiseOnFirstRun()
{
    if (!get(QString::fromLatin1(CaricaAvvio)).isEmpty())
        return false;
    const std::pair<const char*, const char*> defaults[] = {
        { TipoIniziale, "DataOra" },
        { TipoFinale, "Standard" },
        { CaricaAvvio, "0" },
        { RiduciIcona, "0" },
        { LeggiErrore, "1" },
        { Automin, "0" },
        { MessMin, "1" },
        { SecondiInatt, "15" },
    };
    for (const auto& [name, value] : defaults)
        m_settings.setValue(key(QString::fromLatin1(name)), QString::fromLatin1(value));
    m_settings.sync();
    return true;
}

int SettingsStore::inactivityMs(const QString& seconds)
{
    // Done on the decimal digits, so that a tie such as "15.0005" is really a tie.
    constexpr int fallback = 15000;
    static const QRegularExpression decimal(QStringLiteral(R"(^\s*([0-9]*)(?:[.,]([0-9]*))?\s*$)"));
    const auto match = decimal.match(seconds);
    const QString whole = match.captured(1);
    const QString fraction = match.captured(2);
    if (!match.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return fallback;
    QString trimmedWhole = whole;
    while (trimmedWhole.startsWith(u'0'))
        trimmedWhole.remove(0, 1);
    if (trimmedWhole.size() > 7) // far beyond any sensible interval
        return fallback;
    const QString millis = (fraction + QStringLiteral("000")).left(3);
    const QString rest = fraction.mid(3);
    qint64 ms = trimmedWhole.toLongLong() * 1000 + millis.toLongLong();
    if (!rest.isEmpty() && rest.at(0) >= u'5') {
        const bool tie = rest.at(0) == u'5' && rest.mid(1).count(u'0') == rest.size() - 1;
        if (!tie || ms % 2 == 1)
            ++ms;
    }
    // A zero interval would put the assistant to sleep at once.
    if (ms < 1 || ms > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(ms);
}
