// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMessageBoxes.h"
#include "SpeechRig.h"
#include "core/Alert.h"
#include "core/QtMessageBoxService.h"
#include "core/ScreenReader.h"
#include "core/SettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAlert : public QObject
{
    Q_OBJECT

private slots:
    // "Leggi errore" is read at each alert (changed here by another store object): only "1" speaks,
    // before the box opens.
    void speaksOnlyForExactlyOneThenShowsTheBox_data()
    {
        QTest::addColumn<QString>("leggiErrore");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("screenReader"); // running: it reads the box, the voice keeps quiet
        QTest::newRow("1, yes") << "1" << 6 << false;
        QTest::newRow("1, no") << "1" << 7 << false;
        QTest::newRow("0") << "0" << 6 << false;
        QTest::newRow("true") << "true" << 7 << false;
        QTest::newRow("empty") << "" << 6 << false;
        QTest::newRow("1, a screen reader running") << "1" << 6 << true;
    }
    void speaksOnlyForExactlyOneThenShowsTheBox()
    {
        QFETCH(QString, leggiErrore);
        QFETCH(int, answer);
        QFETCH(bool, screenReader);
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(u"s.conf"_s));
        settings.setLeggiErrore(true);
        SpeechRig rig;
        FakeMessageBoxes boxes;
        boxes.answer = answer;
        int stateWhileOpen = -1;
        boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            stateWhileOpen = rig.speaker.SpeakingState();
        };
        ScreenReader reader;
        reader.setPresent(screenReader);
        const Alert alert(settings, rig.speaker, boxes, &reader);
        SettingsStore(settings.fileName()).save(u"Leggi errore"_s, leggiErrore);

        const bool speaks = leggiErrore == QLatin1String("1") && !screenReader;
        QCOMPARE(alert(nullptr, u"Elimino la voce?"_s, u"Elimino?"_s, 36, u"Rubrica"_s), answer);
        QCOMPARE(stateWhileOpen, speaks ? Speaker::Speaking : Speaker::Idle);
        // Every text is played to its end, so one that should not have been said would show here.
        QCOMPARE(rig.finishAll(), speaks ? QStringList { "Elimino la voce?" } : QStringList());
        alert(nullptr, QString(), QString(), 0);
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[0].text, u"Elimino?"_s);
        QCOMPARE(boxes.shown[0].style, 36);
        QCOMPARE(boxes.shown[0].title, u"Rubrica"_s);
        QCOMPARE(boxes.shown[1].title, u"Vespelinda"_s);
    }

    // The real box, answered with a click (or the Escape key) as soon as it is open.
    void realBoxShowsTheButtonsAndIconOfItsStyle()
    {
        const int ok = QMessageBox::Ok, yes = QMessageBox::Yes, no = QMessageBox::No, escape = 0;
        const int none = QMessageBox::NoIcon, warning = QMessageBox::Warning, information = QMessageBox::Information;
        // Style, what is pressed, the icon and buttons shown, the answer.
        const QList<std::tuple<int, int, int, int, int>> cases { { 0, ok, none, ok, 1 }, { 48, ok, warning, ok, 1 },
            { 64, ok, information, ok, 1 }, { 64, escape, information, ok, 1 }, { 4, yes, none, yes | no, 6 },
            { 52, no, warning, yes | no, 7 }, { 68, yes, information, yes | no, 6 },
            { 36, escape, none, yes | no, 7 } }; // 32 is no icon of its own
        for (const auto& [style, press, icon, buttons, answer] : cases) {
            QString shown;
            int opened = 0;
            QTimer answerer;
            connect(&answerer, &QTimer::timeout, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                if (opened++) { // the answer did not close it: let the test fail instead of hanging
                    box->done(0);
                    return;
                }
                shown = u"%1|%2|%3|%4|%5"_s.arg(box->windowTitle(), box->text())
                            .arg(int(box->icon()))
                            .arg(int(box->standardButtons()))
                            .arg(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                if (QAbstractButton* button = box->button(QMessageBox::StandardButton(press)))
                    button->click();
                else
                    QTest::keyClick(box, Qt::Key_Escape);
            });
            answerer.start(10);
            const QString row = u"style %1"_s.arg(style);
            QVERIFY2(QtMessageBoxService().show(nullptr, u"Testo"_s, style, u"Titolo"_s) == answer, qPrintable(row));
            QCOMPARE(shown, u"Titolo|Testo|%1|%2|1"_s.arg(icon).arg(buttons));
            QCOMPARE(opened, 1);
        }
    }

    // However long the text, the box fits on the screen with its button in sight; a long text
    // scrolls, and is kept whole.
    void aBoxNeverGrowsPastTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("a line") << u"Sono le 9 e 5."_s << false;
        QTest::newRow("10 000 characters") << u"Una frase del promemoria. "_s.repeated(400) << true;
        QTest::newRow("a thousand lines") << u"riga\n"_s.repeated(1000) << true;
    }
    void aBoxNeverGrowsPastTheScreen()
    {
        QFETCH(QString, text);
        QFETCH(bool, scrolls);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QRect box;
        QRect ok;
        bool scrolled = false;
        QString kept;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown || !shown->isVisible())
                return;
            box = shown->frameGeometry();
            QAbstractButton* button = shown->button(QMessageBox::Ok);
            ok = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
            scrolled = shown->findChild<QScrollArea*>() != nullptr;
            kept = shown->text();
            button->click();
        });
        answerer.start(10);
        QtMessageBoxService().show(nullptr, text, MessageBoxService::Information, u"Promemoria!!"_s);
        QVERIFY(box.isValid());
        QVERIFY2(box.height() <= screen.height(), qPrintable(u"%1 tall"_s.arg(box.height())));
        QVERIFY2(screen.contains(ok), qPrintable(u"OK at %1,%2"_s.arg(ok.x()).arg(ok.y())));
        QCOMPARE(scrolled, scrolls);
        QCOMPARE(kept, text);
    }
};

QTEST_MAIN(TestAlert)
#include "TestAlert.moc"
