// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <limits>

namespace {
const QString Section = QStringLiteral("Opzioni/");

QString key(const QString& name) { return Section + name; }
} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Vespelinda/Vespelinda.conf"))
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_path(iniPath)
{
}

QString SettingsStore::wordOf(Message message)
{
    switch (message) {
    case Message::DateAndTime:
        return QStringLiteral("DataOra");
    case Message::Standard:
        return QStringLiteral("Standard");
    case Message::Custom:
        return QStringLiteral("Personalizzato");
    case Message::None:
        break;
    }
    return QStringLiteral("Nessuno");
}

namespace {
std::optional<SettingsStore::Message> choiceOf(const QString& word, SettingsStore::Message own)
{
    for (const auto message : { own, SettingsStore::Message::Custom, SettingsStore::Message::None })
        if (word == SettingsStore::wordOf(message))
            return message;
    return std::nullopt;
}
} // namespace

std::optional<SettingsStore::Message> SettingsStore::storedGreeting() const
{
    return choiceOf(tipoIniziale(), Message::DateAndTime);
}

std::optional<SettingsStore::Message> SettingsStore::storedFarewell() const
{
    return choiceOf(tipoFinale(), Message::Standard);
}

bool SettingsStore::usableFile(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

QSettings* SettingsStore::file() const
{
    if (!usableFile(m_path)) {
        if (!m_reportedUnusable)
            qWarning().noquote() << "the settings file" << m_path
                                 << "is not a regular file: the options are kept in memory for this session";
        m_reportedUnusable = true;
        m_settings.reset(); // never opened again while something else is there
        return nullptr;
    }
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    return m_settings.get();
}

QString SettingsStore::get(const QString& name) const
{
    if (const auto kept = m_memory.constFind(name); kept != m_memory.cend())
        return *kept;
    QSettings* settings = file();
    if (!settings)
        return {};
    settings->sync(); // pick up a change another process or object made to the file
    const QVariant value = settings->value(key(name));
    // A hand-edited line such as "Messaggio finale=ciao, a domani" reads back as a list:
    // it is still the user's text.
    const QString text
        = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", ")) : value.toString();
    return text.size() > MaxValueChars ? text.left(MaxValueChars) : text;
}

bool SettingsStore::save(const QString& name, const QString& value)
{
    QSettings* settings = file();
    if (settings) {
        settings->setValue(key(name), value);
        settings->sync();
        if (settings->status() == QSettings::NoError) {
            m_memory.remove(name);
            m_reportedFailure = false;
            return true;
        }
    }
    m_memory.insert(name, value);
    noteFailure();
    return false;
}

void SettingsStore::noteFailure()
{
    const QFileInfo info(m_path);
    const QFileInfo folder(info.absolutePath());
    QString why;
    if (info.exists() && info.isDir())
        why = QStringLiteral("al posto del file c'è una cartella");
    else if (info.exists() && !info.isFile())
        why = QStringLiteral("al posto del file c'è qualcosa che non è un file normale");
    else if (!folder.exists())
        why = QStringLiteral("la cartella %1 non si può creare").arg(QDir::toNativeSeparators(folder.filePath()));
    else if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        why = QStringLiteral("non hai il permesso di scriverci");
    else
        why = QStringLiteral("il disco non l'ha accettato (forse è pieno)");
    m_problem = QStringLiteral("Non riesco a salvare le opzioni nel file %1: %2. Valgono fino alla chiusura di "
                               "Vespelinda, ma alla prossima partenza non ci saranno.")
                    .arg(QDir::toNativeSeparators(m_path), why);
    if (!std::exchange(m_reportedFailure, true))
        qWarning().noquote() << "options not saved:" << m_problem;
    // A store that failed keeps its error: the next write starts afresh.
    m_settings.reset();
}

QString SettingsStore::takeProblem() { return std::exchange(m_problem, QString()); }

bool SettingsStore::initialiseOnFirstRun()
{
    if (!get(QString::fromLatin1(CaricaAvvio)).isEmpty())
        return false;
    const std::pair<const char*, QString> defaults[] = {
        { TipoIniziale, wordOf(Message::DateAndTime) },
        { TipoFinale, wordOf(Message::Standard) },
        { CaricaAvvio, QStringLiteral("0") },
        { RiduciIcona, QStringLiteral("0") },
        { LeggiErrore, QStringLiteral("1") },
        { Automin, QStringLiteral("0") },
        { MessMin, QStringLiteral("1") },
        { SecondiInatt, QStringLiteral("15") },
    };
    // With no usable file the defaults are this session's, said once already by file().
    const bool inMemory = !file();
    for (const auto& [name, value] : defaults) {
        if (inMemory)
            m_memory.insert(QString::fromLatin1(name), value);
        else
            save(QString::fromLatin1(name), value);
    }
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
