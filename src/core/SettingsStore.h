// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

// The user's options: text values under the section "Opzioni". Nothing is cached here;
// every reader asks at the moment it needs a value.
//
// The file is used only while it is a regular file (or not there yet): a folder, a named pipe or a
// device in its place is never opened (opening a pipe would wait for ever). The options then live
// in memory for the session, from their defaults, and one log line says why. Every write is
// checked; a value that could not be stored is kept in memory for the session all the same.
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

    // At most MaxValueChars characters of the stored text: a file grown huge by accident never
    // reaches a window whole.
    QString get(const QString& key) const;
    static constexpr qsizetype MaxValueChars = 65536;
    // False when the value could not be written to the file: then takeProblem() says why.
    bool save(const QString& key, const QString& value);
    // Why the writes since the last call failed, in the user's words with the file's path; empty
    // when every one was stored.
    QString takeProblem();
    // A switch is on only when its stored text is exactly "1".
    bool isOn(const QString& key) const { return get(key) == QLatin1String("1"); }

    // The start-up and the farewell messages the user can choose. The file keeps them as the words
    // "DataOra", "Standard", "Personalizzato" and "Nessuno"; this store alone reads and writes them.
    enum class Message
    {
        None, // "Nessuno"
        DateAndTime, // "DataOra", the greeting only
        Standard, // "Standard", the farewell only
        Custom // "Personalizzato": the user's own text
    };
    static QString wordOf(Message message);
    // The choice as stored; none when the stored word is none of the choice's own (the options
    // window then shows its default).
    std::optional<Message> storedGreeting() const;
    std::optional<Message> storedFarewell() const;
    // The choice as acted on: any other word greets with nothing, and says goodbye as "Standard"
    // does (a program that cannot be closed is worse than a farewell the user did not choose).
    Message greeting() const { return storedGreeting().value_or(Message::None); }
    Message farewell() const { return storedFarewell().value_or(Message::Standard); }
    void setGreeting(Message message) { save(QString::fromLatin1(TipoIniziale), wordOf(message)); }
    void setFarewell(Message message) { save(QString::fromLatin1(TipoFinale), wordOf(message)); }

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

    QString fileName() const { return m_path; }

    // Whether a settings file at that path may be opened: absent, or a regular file.
    static bool usableFile(const QString& path);

private:
    QSettings* file() const;
    void noteFailure();
    void saveSwitch(const char* key, bool on)
    {
        save(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
    }

    QString m_path;
    mutable std::unique_ptr<QSettings> m_settings; // made on first use, while the file is usable
    mutable QHash<QString, QString> m_memory; // what could not be kept in the file, this session
    mutable bool m_reportedUnusable = false;
    bool m_reportedFailure = false;
    QString m_problem;
};
