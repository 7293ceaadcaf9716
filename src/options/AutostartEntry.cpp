// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr qint64 MaxEntrySize = 64 * 1024;

// The lines of an existing entry by which it was switched off.
QStringList switchedOff(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    bool mainGroup = false;
    for (const QByteArray& raw : file.read(MaxEntrySize).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            mainGroup = line == u"[Desktop Entry]";
        const qsizetype equals = line.indexOf(u'=');
        if (!mainGroup || equals < 0)
            continue;
        const QString key = line.first(equals).trimmed();
        const QString value = line.sliced(equals + 1).trimmed();
        if ((key == u"Hidden" && value == u"true") || (key == u"X-GNOME-Autostart-enabled" && value == u"false"))
            lines << key + u'=' + value;
    }
    lines.removeDuplicates();
    return lines;
}

} // namespace

QString AutostartEntry::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString AutostartEntry::programFolder() { return QCoreApplication::applicationDirPath(); }

QString AutostartEntry::execValue(const QString& executable)
{
    // Inside double quotes, " ` $ and \ take a backslash; a literal % is written %%. The whole
    // value is then a string value, whose own escaping doubles every backslash again.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%';
    }
    quoted += u'"';
    // GLib's launchers look for the program under the first word before they turn "%%" into "%",
    // so they would never find such a path: env, found everywhere, takes the first place instead.
    if (executable.contains(u'%'))
        quoted.prepend(QStringLiteral("/usr/bin/env "));
    return quoted.replace(u'\\', QStringLiteral("\\\\"));
}

AutostartEntry::AutostartEntry(QString autostartFolder, QString programFolder)
    : m_folder(std::move(autostartFolder))
    , m_programFolder(std::move(programFolder))
{
}

QString AutostartEntry::filePath() const { return m_folder + QStringLiteral("/Vespelinda.desktop"); }

QString AutostartEntry::executable() const
{
    // An installed program sits in <prefix>/lib/vespelinda, its launcher in <prefix>/bin.
    const QString folder = QDir::cleanPath(QDir(m_programFolder).absolutePath());
    const QString installDir = QStringLiteral("/" VESPELINDA_INSTALL_DIR);
    if (folder.endsWith(installDir)) {
        const QFileInfo launcher(folder.chopped(installDir.size()) + QStringLiteral("/bin/vespelinda"));
        if (launcher.isFile() && launcher.isExecutable())
            return launcher.filePath();
    }
    return QDir::cleanPath(folder + QStringLiteral("/Vespelinda"));
}

bool AutostartEntry::isSwitchedOff() const { return !switchedOff(filePath()).isEmpty(); }

std::optional<QString> AutostartEntry::update(bool chkAvvio)
{
    if (chkAvvio)
        return registerEntry();
    remove();
    return std::nullopt;
}

std::optional<QString> AutostartEntry::registerEntry()
{
    const QString path = filePath();
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Impossibile scrivere la voce di avvio automatico \"%1\": %2").arg(path, reason);
    };
    const QString program = executable();
    for (const QChar c : program) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return failure(QStringLiteral("il nome della cartella del programma contiene caratteri di controllo"));
    }
    if (!QDir().mkpath(m_folder))
        return failure(QStringLiteral("impossibile creare la cartella %1").arg(m_folder));

    // A link would make the save write wherever it points: replace the link, not its target.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        return failure(QStringLiteral("impossibile sostituire il collegamento"));

    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n"
                                  "Name=Vespelinda\n"
                                  "Comment=Avvia Vespelinda all'accesso\n"
                                  "Icon=" VESPELINDA_APP_ID "\n"
                                  "Exec=%1\n"
                                  "Terminal=false\n")
                       .arg(execValue(program));

    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failure(file.errorString());
    return std::nullopt;
}

void AutostartEntry::remove()
{
    QFile::remove(filePath()); // nothing to say when there is no entry or it cannot go
}
