// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Alert.h"
#include "core/EspeakEngine.h"
#include "core/QtMessageBoxService.h"
#include "core/SettingsStore.h"
#include "core/SinkAudioOutput.h"
#include "core/Speaker.h"
#include "core/SystemClock.h"
#include "mainwindow/frmArriv.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vespelinda"));
    QApplication::setApplicationName(QStringLiteral("Vespelinda"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));

    // The assistant speaks Italian whatever the desktop's language.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    SystemClock clock;
    SettingsStore settings;
    EspeakEngine engine;
    SinkAudioOutput audio;
    Speaker speaker(engine, audio);
    QtMessageBoxService boxes;
    Alert alert(settings, speaker, boxes);

    frmArriv window({ clock, settings, speaker, boxes, alert });
    window.load();
    return app.exec();
}
