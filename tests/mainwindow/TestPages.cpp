// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/PageStrip.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Movement over a page's controls stops the countdown and leaves a sleeping face asleep (the
    // page frames, the tab strip and the face, which wake her, are TestTrayAndSleep's).
    void pointerOverThePagesControls_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("control");
        for (const char* name : { "Text1", "Command1", "Command2", "Command3", "Command4" })
            QTest::newRow(name) << int(PageStrip::Leggi) << QString::fromLatin1(name);
        QTest::newRow("MonthView1") << int(PageStrip::Calendario) << u"MonthView1"_s;
        QTest::newRow("cmdOre") << int(PageStrip::Calendario) << u"cmdOre"_s;
        for (const char* name : { "appu7", "prom20", "Label9", "lblDataOra", "cmdAppuntamento", "cmdPromemoria" })
            QTest::newRow(name) << int(PageStrip::Agenda) << QString::fromLatin1(name);
    }
    void pointerOverThePagesControls()
    {
        QFETCH(int, page);
        QFETCH(QString, control);
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(page);
        QWidget* widget = rig.widget(qPrintable(control));
        QTest::mouseMove(widget, widget->rect().center());
        rig.window->countdown().tmrIconaTimer(); // asleep
        // Movement within the control, not only entering it, counts.
        rig.window->countdown().tmrIcona.start(60000);
        QTest::mouseMove(widget, widget->rect().center() + QPoint(0, 1));
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QVERIFY(rig.eyesClosed());
    }
};

QTEST_MAIN(TestPages)
#include "TestPages.moc"
