// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QLocale>
#include <QStandardPaths>
#include <QStringList>

#include <cmath>
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
    constexpr int fallback = 15000;
    const QString text = seconds.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok) // Italian users write a decimal comma
        value = QLocale(QLocale::Italian, QLocale::Italy).toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return fallback;
    const double ms = std::nearbyint(value * 1000.0); // default rounding mode: ties to even
    // A zero, negative or huge interval would make the assistant fall asleep at once or never.
    if (ms < 1.0 || ms > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(ms);
}
