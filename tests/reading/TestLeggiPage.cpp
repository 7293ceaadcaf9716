// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

#include <QPlainTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestLeggiPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void leggiReadsPausesAndStops()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        auto* text1 = rig.child<QPlainTextEdit>("Text1");
        QWidget* command3 = rig.widget("Command3");
        QTimer& tmrIcona = rig.window->countdown().tmrIcona;
        const auto click = [&](const char* name) {
            QTest::mouseClick(rig.widget(name), Qt::LeftButton);
        };

        click("Command1"); // an empty box: the prompt, and no box
        QCOMPARE(rig.speech.nextHeard(), u"Digita il testo nello spazio bianco. e te lo leggerò!"_s);
        QVERIFY(rig.boxes.shown.isEmpty());
        text1->setPlainText(u"   "_s); // only spaces is a text like any other
        click("Command1");
        QCOMPARE(rig.speech.nextHeard(), u"   "_s);

        text1->setPlainText(u"Una frase."_s);
        click("Command1");
        QTRY_VERIFY(rig.speech.output.playing());
        click("Command3");
        QVERIFY(rig.speech.output.paused());
        QCOMPARE(command3->property("text").toString(), u"&Riprendi"_s);
        click("Command3");
        QVERIFY(!rig.speech.output.paused());
        QCOMPARE(command3->property("text").toString(), u"&Pausa"_s);
        click("Command1"); // queued behind the first
        click("Command3");
        click("Command4"); // stop after pause: the caption back to "&Pausa", nothing left
        QCOMPARE(command3->property("text").toString(), u"&Pausa"_s);
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle);

        // Enter reads the whole box, and the line break still goes in; any key stops the countdown.
        text1->moveCursor(QTextCursor::End);
        tmrIcona.start(60000);
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(!tmrIcona.isActive());
        QCOMPARE(rig.speech.nextHeard(), u"Una frase."_s);
        QCOMPARE(text1->toPlainText(), u"Una frase.\n"_s);
        tmrIcona.start(60000);
        QTest::keyClick(text1, Qt::Key_A);
        QVERIFY(!tmrIcona.isActive());

        // The clipboard's plain text replaces the box; a clipboard without text leaves it as it was;
        // a double click empties it.
        rig.clipboard.content = u"dagli appunti"_s;
        click("Command2");
        QCOMPARE(text1->toPlainText(), u"dagli appunti"_s);
        rig.clipboard.content.clear();
        click("Command2");
        QCOMPARE(text1->toPlainText(), u"dagli appunti"_s);
        text1->setPlainText(u"via"_s);
        QTest::mouseDClick(text1->viewport(), Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QString());
        QCOMPARE(rig.speech.nextHeard(), QString());

        // Closed in the middle of a long reading: it stops, and the farewell follows at once.
        text1->setPlainText(u"Una frase del libro. "_s.repeated(500));
        click("Command1");
        QTRY_VERIFY(rig.speech.output.playing());
        rig.window->close();
        QCOMPARE(rig.speech.nextHeard(), u"spero di esserti stata utile. . arrivederci"_s);
        QTRY_VERIFY(rig.timer("Timer2")->isActive());
    }
};

QTEST_MAIN(TestLeggiPage)
#include "TestLeggiPage.moc"
