// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "mainwindow/PageStrip.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDate Today(2026, 12, 5);

QSet<int> litHours(const std::array<TimelineLetter*, 24>& letters)
{
    QSet<int> lit;
    for (int hour = 0; hour < 24; ++hour) {
        if (letters[hour]->isLit())
            lit.insert(hour);
        // A lit letter says what a click does, its name that the hour has an entry, and only it
        // is reached with Tab.
        if (letters[hour]->toolTip().isEmpty() == letters[hour]->isLit()
            || letters[hour]->accessibleName().contains(u"nessun"_s) == letters[hour]->isLit()
            || (letters[hour]->focusPolicy() == Qt::StrongFocus) != letters[hour]->isLit())
            lit.insert(-1);
    }
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
        QVERIFY(litHours(page.appu) == QSet<int> { 10 } && litHours(page.prom) == QSet<int> { 16 });

        QStringList heardAtEachBox;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            QVERIFY(rig.speech.finishCurrent());
            QTest::qWait(20); // time for a text queued too early to reach the voice
            heardAtEachBox.append(rig.speech.spoken().last());
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

        // accendi: an hour with or without its leading zero lights that letter, "cc" clears every
        // letter of its kind, anything else changes nothing.
        QList<std::tuple<QString, QString, QSet<int>, QSet<int>>> rows { { "a", "7", { 3, 7 }, { 3 } },
            { "a", "07", { 3, 7 }, { 3 } }, { "a", "0", { 0, 3 }, { 3 } }, { "a", "23", { 3, 23 }, { 3 } },
            { "p", "16", { 3 }, { 3, 16 } }, { "a", "3", { 3 }, { 3 } }, { "a", "cc", {}, { 3 } },
            { "p", "cc", { 3 }, {} } };
        for (const auto& [aop, ora] : QList<std::pair<QString, QString>> { { "a", "24" }, { "A", "07" }, { "P", "cc" },
                 { "a", "CC" }, { "a", "" }, { "a", "+7" }, { "a", " 7" }, { "a", "-1" }, { "a", "007" },
                 { "a", QString(QChar(0x0667)) }, { "", "07" } })
            rows.append({ aop, ora, { 3 }, { 3 } });
        for (const auto& [aop, ora, appu, prom] : rows) {
            for (const DayAgenda::Kind kind : { DayAgenda::Kind::Appuntamento, DayAgenda::Kind::Promemoria }) {
                page.clear(kind);
                page.light(kind, 3);
            }
            page.accendi(aop, ora);
            QVERIFY2(litHours(page.appu) == appu && litHours(page.prom) == prom, qPrintable(aop + u' ' + ora));
        }
    }
};

QTEST_MAIN(TestAgendaPage)
#include "TestAgendaPage.moc"
