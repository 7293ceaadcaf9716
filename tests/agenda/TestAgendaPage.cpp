// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "mainwindow/PageStrip.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDate Today(2026, 12, 5);

// The lit hours in order; -1 first when a letter's tooltip, name or focus disagrees with its light.
QList<int> litHours(const std::array<TimelineLetter*, 24>& letters)
{
    QList<int> lit;
    bool inconsistent = false;
    for (int hour = 0; hour < 24; ++hour) {
        if (letters[hour]->isLit())
            lit.append(hour);
        // A lit letter says what a click does, its name that the hour has an entry, and only it
        // is reached with Tab.
        if (letters[hour]->toolTip().isEmpty() == letters[hour]->isLit()
            || letters[hour]->accessibleName().contains(u"nessun"_s) == letters[hour]->isLit()
            || (letters[hour]->focusPolicy() == Qt::StrongFocus) != letters[hour]->isLit())
            inconsistent = true;
    }
    if (inconsistent)
        lit.prepend(-1);
    return lit;
}
} // namespace

class TestAgendaPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each entry of the hour is said, then shown; the next only once its box has been closed.
    void lettersLightAndReadTheirHourOneBoxAtATime()
    {
        MainWindowRig rig({ .load = false }, QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 15), u"prima"_s));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 45), u"seconda"_s));
        QVERIFY(rig.file.addReminder(QTime(16, 0), u"medicina"_s));
        QVERIFY(rig.start());
        rig.window->show();
        rig.window->pages().showPage(PageStrip::Agenda);
        rig.window->heartbeat().tick();
        AgendaPage& page = rig.window->agendaPage();
        QCOMPARE(litHours(page.appu), QList<int> { 10 });
        QCOMPARE(litHours(page.prom), QList<int> { 16 });

        QStringList heardAtEachBox;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            heardAtEachBox.append(rig.speech.nextHeard());
            QCOMPARE(rig.speech.nextHeard(), QString()); // the next entry waits for this box
        };
        QTest::mouseClick(page.appu[10], Qt::LeftButton);
        QCOMPARE(
            rig.boxTexts(), (QStringList { "Oggi, alle 10 e 15 minuti prima", "Oggi, alle 10 e 45 minuti seconda" }));
        QCOMPARE(heardAtEachBox,
            (QStringList { "Appuntamento di oggi alle 10 e 15 minuti. .  prima",
                "Appuntamento di oggi alle 10 e 45 minuti. .  seconda" }));
        QTest::keyClick(page.prom[16], Qt::Key_Space); // as a click
        QCOMPARE(rig.boxes.shown.last().text, u"Alle 16 e 00 minuti medicina"_s);
        QVERIFY(rig.boxes.shown[0].title != rig.boxes.shown.last().title);

        // Unlit letters, among them the "P" of an hour with appointments only, do nothing; nor
        // does a press that ends off the letter.
        for (TimelineLetter* letter : { page.appu[11], page.prom[10], page.appu[16] }) {
            QTest::mouseClick(letter, Qt::LeftButton);
            QTest::keyClick(letter, Qt::Key_Return);
        }
        QTest::mousePress(page.appu[10], Qt::LeftButton);
        QTest::mouseRelease(page.appu[10], Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(rig.boxes.shown.size(), 3);
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle);
    }

    // accendi: an hour with or without its leading zero lights that letter, "cc" clears every
    // letter of its kind, anything else changes nothing. Hour 3 is lit in both rows beforehand.
    void accendiLightsAnHourOrClearsItsKind_data()
    {
        QTest::addColumn<QString>("aop");
        QTest::addColumn<QString>("ora");
        QTest::addColumn<QList<int>>("appu");
        QTest::addColumn<QList<int>>("prom");
        const QList<int> three { 3 };
        QTest::newRow("a 7") << u"a"_s << u"7"_s << QList<int> { 3, 7 } << three;
        QTest::newRow("a 07: leading zero") << u"a"_s << u"07"_s << QList<int> { 3, 7 } << three;
        QTest::newRow("a 0: midnight") << u"a"_s << u"0"_s << QList<int> { 0, 3 } << three;
        QTest::newRow("a 23: last hour") << u"a"_s << u"23"_s << QList<int> { 3, 23 } << three;
        QTest::newRow("p 16") << u"p"_s << u"16"_s << three << QList<int> { 3, 16 };
        QTest::newRow("a 3: already lit") << u"a"_s << u"3"_s << three << three;
        QTest::newRow("a cc: clears the appointments") << u"a"_s << u"cc"_s << QList<int> {} << three;
        QTest::newRow("p cc: clears the reminders") << u"p"_s << u"cc"_s << three << QList<int> {};
        const QList<std::tuple<const char*, QString, QString>> ignored { { "hour 24", "a", "24" },
            { "capital A", "A", "07" }, { "capital P", "P", "cc" }, { "capital CC", "a", "CC" }, { "no hour", "a", "" },
            { "plus sign", "a", "+7" }, { "leading space", "a", " 7" }, { "negative hour", "a", "-1" },
            { "two leading zeros", "a", "007" }, { "Arabic-Indic digit", "a", QString(QChar(0x0667)) },
            { "no kind", "", "07" } };
        for (const auto& [name, aop, ora] : ignored)
            QTest::newRow(name) << aop << ora << three << three;
    }
    void accendiLightsAnHourOrClearsItsKind()
    {
        QFETCH(QString, aop);
        QFETCH(QString, ora);
        QFETCH(QList<int>, appu);
        QFETCH(QList<int>, prom);
        MainWindowRig rig({ .load = false }, QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.start());
        AgendaPage& page = rig.window->agendaPage();
        for (const DayAgenda::Kind kind : { DayAgenda::Kind::Appuntamento, DayAgenda::Kind::Promemoria }) {
            page.clear(kind);
            page.light(kind, 3);
        }
        page.accendi(aop, ora);
        QCOMPARE(litHours(page.appu), appu);
        QCOMPARE(litHours(page.prom), prom);
    }
};

QTEST_MAIN(TestAgendaPage)
#include "TestAgendaPage.moc"
