// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>

// The user's options: text values under the section "Opzioni". Nothing is cached here;
// every reader asks at the moment it needs a value.
class SettingsStore
{
public:
    static constexpr auto TipoIniziale = "Tipo iniziale";
    static constexpr auto TipoFinale = "Tipo finale";
    static constexpr auto CaricaAvvio = "Carica avvio";
    static constexpr auto RiduciIcona = "Riduci icona";
    static constexpr auto LeggiErrore = "Leggi errore";
    static constexpr auto Automin = "Automin";
    static constexpr auto MessMin = "Mess Min";
    static constexpr auto SecondiInatt = "Secondi inatt";
    static constexpr auto MessaggioIniziale = "Messaggio iniziale";
    static constexpr auto MessaggioFinale = "Messaggio finale";

    // The per-user store: $XDG_CONFIG_HOME/Vespelinda/Vespelinda.conf.
    SettingsStore();
    // An explicit INI file, for tests and tools.
    explicit SettingsStore(const QString& iniPath);

    QString get(const QString& key) const;
    void save(const QString& key, const QString& value);
    // A switch is on only when its stored text is exactly "1".
    bool isOn(const QString& key) const { return get(key) == QLatin1String("1"); }

    // Writes the eight defaults when "Carica avvio" is empty; returns whether it did.
    bool initialiseOnFirstRun();

    // The inactivity interval in milliseconds for a "Secondi inatt" text: seconds x 1000,
    // rounded half to even; text that is not a usable number gives 15 seconds.
    static int inactivityMs(const QString& seconds);

    QString fileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};
