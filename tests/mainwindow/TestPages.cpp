// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/PageStrip.h"

#include <QFrame>
#include <QTabBar>
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

    // The keys of every tabbed window change the page from anywhere in it, the reading box too.
    void keysChangeThePage_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("to");
        const int ctrl = Qt::ControlModifier;
        const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("Ctrl+Tab") << 0 << int(Qt::Key_Tab) << ctrl << 1;
        QTest::newRow("Ctrl+Tab from the last") << 3 << int(Qt::Key_Tab) << ctrl << 0;
        QTest::newRow("Ctrl+Shift+Tab") << 2 << int(Qt::Key_Backtab) << ctrlShift << 1;
        QTest::newRow("Ctrl+Shift+Tab from the first") << 0 << int(Qt::Key_Backtab) << ctrlShift << 3;
        QTest::newRow("Ctrl+PgDn") << 1 << int(Qt::Key_PageDown) << ctrl << 2;
        QTest::newRow("Ctrl+PgUp") << 1 << int(Qt::Key_PageUp) << ctrl << 0;
    }
    void keysChangeThePage()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, to);
        MainWindowRig rig;
        QVERIFY(rig.start());
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        PageStrip& pages = rig.window->pages();
        pages.showPage(from);
        QWidget* text1 = rig.widget("Text1");
        if (from == PageStrip::Leggi)
            text1->setFocus();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : rig.window.get();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(pages.tabStrip().currentIndex(), to);
        QVERIFY(pages.frame(PageStrip::Page(to)).isVisible());
        QCOMPARE(QApplication::focusWidget(), &pages.tabStrip());
    }
};

QTEST_MAIN(TestPages)
#include "TestPages.moc"
