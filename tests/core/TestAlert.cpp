// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMessageBoxes.h"
#include "SpeechRig.h"
#include "core/Alert.h"
#include "core/QtMessageBoxService.h"
#include "core/SettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAlert : public QObject
{
    Q_OBJECT

private slots:
    // "Leggi errore" is read at every alert: here another store object changes it after the
    // alert was made. Only exactly "1" speaks, and the text is on its way before the box opens.
    void speaksOnlyForExactlyOneThenShowsTheBox_data()
    {
        QTest::addColumn<QString>("leggiErrore");
        QTest::addColumn<int>("answer");
        QTest::newRow("1, yes") << "1" << 6;
        QTest::newRow("1, no") << "1" << 7;
        QTest::newRow("0") << "0" << 6;
        QTest::newRow("true") << "true" << 7;
        QTest::newRow("empty") << "" << 6;
    }
    void speaksOnlyForExactlyOneThenShowsTheBox()
    {
        QFETCH(QString, leggiErrore);
        QFETCH(int, answer);
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
        const Alert alert(settings, rig.speaker, boxes);
        SettingsStore(settings.fileName()).save(u"Leggi errore"_s, leggiErrore);

        const bool speaks = leggiErrore == QLatin1String("1");
        QCOMPARE(alert(u"Elimino la voce?"_s, u"Elimino?"_s, 36, u"Rubrica"_s), answer);
        QCOMPARE(stateWhileOpen, speaks ? int(Speaker::Speaking) : int(Speaker::Idle));
        // Every text is played to its end, so one that should not have been said would show here.
        QCOMPARE(rig.finishAll(), speaks ? QStringList { "Elimino la voce?" } : QStringList());
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.shown[0].text == "Elimino?" && boxes.shown[0].style == 36 && boxes.shown[0].title == "Rubrica");
        alert(QString(), QString(), 0);
        QCOMPARE(boxes.shown[1].title, u"Vespelinda"_s);
    }

    // The real box, answered with a click (or the Escape key) as soon as it is open.
    void realBoxShowsTheButtonsAndIconOfItsStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("press"); // a button, or NoButton for the Escape key
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("answer");
        const int ok = QMessageBox::Ok, yes = QMessageBox::Yes, no = QMessageBox::No, yesNo = yes | no;
        QTest::newRow("0: OK") << 0 << ok << int(QMessageBox::NoIcon) << ok << 1;
        QTest::newRow("48: OK, warning") << 48 << ok << int(QMessageBox::Warning) << ok << 1;
        QTest::newRow("64: OK, information") << 64 << ok << int(QMessageBox::Information) << ok << 1;
        QTest::newRow("64, Escape") << 64 << 0 << int(QMessageBox::Information) << ok << 1;
        QTest::newRow("4: yes") << 4 << yes << int(QMessageBox::NoIcon) << yesNo << 6;
        QTest::newRow("52: no, warning") << 52 << no << int(QMessageBox::Warning) << yesNo << 7;
        QTest::newRow("68: yes, information") << 68 << yes << int(QMessageBox::Information) << yesNo << 6;
        QTest::newRow("36: Escape, no icon of its own") << 36 << 0 << int(QMessageBox::NoIcon) << yesNo << 7;
    }
    void realBoxShowsTheButtonsAndIconOfItsStyle()
    {
        QFETCH(int, style);
        QFETCH(int, press);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, answer);
        int shownIcon = -1;
        int shownButtons = 0;
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
            shownIcon = box->icon();
            shownButtons = int(box->standardButtons());
            shown = box->windowTitle() + u'|' + box->text() + u'|'
                + (box->windowFlags() & Qt::WindowStaysOnTopHint ? u"on top"_s : QString());
            if (QAbstractButton* button = box->button(QMessageBox::StandardButton(press)))
                button->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        answerer.start(10);
        QCOMPARE(QtMessageBoxService().show(nullptr, u"Testo"_s, style, u"Titolo"_s), answer);
        QCOMPARE(shown, u"Titolo|Testo|on top"_s);
        QVERIFY(shownIcon == icon && shownButtons == buttons && opened == 1);
    }
};

QTEST_MAIN(TestAlert)
#include "TestAlert.moc"
