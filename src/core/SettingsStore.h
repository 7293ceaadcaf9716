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

    // One accessor per key. Choices and free texts are text; a switch reads as on only for "1"
    // and is written as "1" or "0". Every read asks the store afresh.
    QString tipoIniziale() const { return get(QString::fromLatin1(TipoIniziale)); }
    void setTipoIniziale(const QString& word) { save(QString::fromLatin1(TipoIniziale), word); }
    QString tipoFinale() const { return get(QString::fromLatin1(TipoFinale)); }
    void setTipoFinale(const QString& word) { save(QString::fromLatin1(TipoFinale), word); }
    QString messaggioIniziale() const { return get(QString::fromLatin1(MessaggioIniziale)); }
    void setMessaggioIniziale(const QString& text) { save(QString::fromLatin1(MessaggioIniziale), text); }
    QString messaggioFinale() const { return get(QString::fromLatin1(MessaggioFinale)); }
    void setMessaggioFinale(const QString& text) { save(QString::fromLatin1(MessaggioFinale), text); }
    bool caricaAvvio() const { return isOn(QString::fromLatin1(CaricaAvvio)); }
    void setCaricaAvvio(bool on) { saveSwitch(CaricaAvvio, on); }
    bool riduciIcona() const { return isOn(QString::fromLatin1(RiduciIcona)); }
    void setRiduciIcona(bool on) { saveSwitch(RiduciIcona, on); }
    bool leggiErrore() const { return isOn(QString::fromLatin1(LeggiErrore)); }
    void setLeggiErrore(bool on) { saveSwitch(LeggiErrore, on); }
    bool automin() const { return isOn(QString::fromLatin1(Automin)); }
    void setAutomin(bool on) { saveSwitch(Automin, on); }
    bool messMin() const { return isOn(QString::fromLatin1(MessMin)); }
    void setMessMin(bool on) { saveSwitch(MessMin, on); }
    QString secondiInatt() const { return get(QString::fromLatin1(SecondiInatt)); }
    void setSecondiInatt(const QString& text) { save(QString::fromLatin1(SecondiInatt), text); }
    // "Secondi inatt" as the countdown's interval.
    int inactivityIntervalMs() const { return inactivityMs(secondiInatt()); }

    // Writes the eight defaults when "Carica avvio" is empty; returns whether it did.
    bool initialiseOnFirstRun();

    // The inactivity interval in milliseconds for a "Secondi inatt" text: seconds x 1000,
    // rounded half to even; text that is not a usable number gives 15 seconds.
    static int inactivityMs(const QString& seconds);

    QString fileName() const { return m_settings.fileName(); }

private:
    void saveSwitch(const char* key, bool on)
    {
        save(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
    }

    mutable QSettings m_settings;
};
