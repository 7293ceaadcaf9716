// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/ProgramInfo.h"
#include "core/Alert.h"
#include "core/QtMessageBoxService.h"
#include "core/ScreenReader.h"
#include "core/SettingsStore.h"
#include "core/SingleInstance.h"
#include "core/SystemClipboardText.h"
#include "core/SystemClock.h"
#include "datafile/AgendaData.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/QtTrayIcon.h"
#include "mainwindow/SessionWatcher.h"
#include "mainwindow/frmArriv.h"
#include "options/AutostartEntry.h"
#include "options/VoiceSettingsDialog.h"
#include "speech/FestivalProcess.h"
#include "speech/SoundModule.h"
#include "speech/Speaker.h"
#include "speech/VoiceEngine.h"
#include "speech/VoiceSettings.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <thread>

namespace {
// Start-up cannot go on: the reason on stderr and in a box.
void fatalError(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    std::fflush(stderr);
    // Without a screen (offscreen, minimal) nobody could read or close the box.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QApplication::setWindowIcon(appIcon());
        QMessageBox::critical(nullptr, QStringLiteral("Vespelinda"), text);
    }
}
} // namespace

int main(int argc, char* argv[])
{
    // The desktop's font configuration, which the first text on screen needs, is read on a thread
    // of its own while the program connects to the display and opens its files (joined on every way
    // out).
    std::jthread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vespelinda"));
    QApplication::setApplicationName(QStringLiteral("Vespelinda"));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.vespelinda.Vespelinda"));

    // The assistant speaks Italian whatever the desktop's language.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    // One running copy per user: a second start brings the running one forward and ends here,
    // before any voice, icon or window of its own.
    SingleInstance instance(SingleInstance::defaultFolder());
    // Calendars and address books given on the command line (an "Open with" from a file manager):
    // imported by the running copy, or by this one once its window is up.
    const QStringList files = SingleInstance::filesToOpen(QCoreApplication::arguments());
    switch (instance.claim(files)) {
    case SingleInstance::Claim::First:
        break;
    case SingleInstance::Claim::Forwarded:
        return 0;
    case SingleInstance::Claim::NotResponding:
        fatalError(instance.notRespondingMessage());
        return 1;
    }

    SystemClock clock;
    SettingsStore settings;
    // The voice settings live in the options' file, in a section of their own.
    VoiceSettings voiceSettings(settings.fileName());
    // espeak-ng, the desktop's speech service (the one screen readers speak through) and the sound
    // server are reached through a plugin, loaded once the window is on screen.
    SoundModule sound;
    // Festival's interpreter runs in a helper beside the executable: a crash there costs a sentence.
    FestivalProcess festival(QCoreApplication::applicationDirPath() + QStringLiteral("/vespelinda-festival"));
    VoiceEngine voice(voiceSettings, sound.espeak(), festival, &sound.systemVoice());
    Speaker speaker(voice, sound.output());
    QtMessageBoxService boxes;
    // A screen reader reads the boxes, and the program's voice takes turns with it: followed from
    // AT-SPI's status on the session bus.
    ScreenReader screenReader;
    QObject::connect(&screenReader, &ScreenReader::presenceChanged, &app, [&voice, &sound](bool present) {
        voice.setSystemVoiceDefault(present);
        sound.setScreenReaderPresent(present);
    });
    screenReader.followAtSpi();
    Alert alert(settings, speaker, boxes, &screenReader);

    // The data file must be there and sound before any window shows; the program never makes it.
    AgendaData data(AgendaData::defaultPath());
    if (!data.open()) {
        fatalError(data.errorText());
        return 1;
    }

    // Hiding the window, or closing a box while it is hidden, never ends the program: only the
    // main window's unload does.
    QApplication::setQuitOnLastWindowClosed(false);
    QtTrayIcon tray;
    SystemClipboardText clipboard;
    AutostartEntry autostart(AutostartEntry::defaultFolder(), AutostartEntry::programFolder());
    const auto voiceDialog = [&speaker, &voice](QWidget* owner, const QString& title) {
        VoiceSettingsDialog::open(speaker, voice, owner, title);
    };
    fonts.join();
    frmArriv window({ clock, settings, speaker, alert, data, tray, clipboard, autostart, voiceDialog });
    // The icon is drawn once the window is on screen; every other window then takes it too.
    QObject::connect(
        &window, &frmArriv::started, &app, [&window] { QApplication::setWindowIcon(window.windowIcon()); });
    QObject::connect(&window, &frmArriv::unloaded, &app, [] { QCoreApplication::exit(0); });
    SessionWatcher session(window);
    instance.listen([&window] { return window.comeForward(); },
        [&window](const QStringList& handed) { window.importFiles(handed); });
    window.load();
    window.importFiles(files);
    // A file this user cannot change is said at once, not at the first refused change.
    if (const QString problem = data.writeProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        std::fflush(stderr);
        QTimer::singleShot(0, &window, [&alert, &window, problem] {
            alert(&window, QStringLiteral("Attenzione: non potrò salvare le modifiche ai tuoi dati."), problem,
                MessageBoxService::Exclamation);
        });
    }
    const int status = app.exec();
    // Whatever was left to delete later (an audio sink, a closed window) goes now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
