// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "mainwindow/PageStrip.h"

#include <QPushButton>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);

QSet<int> litHours(const std::array<TimelineLetter*, 24>& letters)
{
    QSet<int> lit;
    for (int hour = 0; hour < 24; ++hour) {
        if (letters[hour]->isLit())
            lit.insert(hour);
        // A lit letter says what a click does; the tooltip is its accessible description too.
        if (letters[hour]->toolTip().isEmpty() == letters[hour]->isLit()
            || letters[hour]->accessibleDescription() != letters[hour]->toolTip())
            lit.insert(-1);
    }
    return lit;
}
} // namespace

class TestAgendaPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowRig> m_rig;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_rig = std::make_unique<MainWindowRig>(MainWindowRig::Options { .load = false });
        QVERIFY(m_rig->start());
    }
    void cleanupTestCase() { m_rig.reset(); }

    void accendiLightsAndClearsOneKindOfLetters_data()
    {
        QTest::addColumn<QString>("AoP");
        QTest::addColumn<QString>("Ora");
        QTest::addColumn<QSet<int>>("appuLit");
        QTest::addColumn<QSet<int>>("promLit");
        // Before each row "A" 3 and "P" 3 are lit.
        const auto row = [](const QString& aop, const QString& ora, QSet<int> appu, QSet<int> prom) {
            QTest::newRow(qPrintable(QLatin1Char('[') + aop + QLatin1String("] [") + ora + QLatin1Char(']')))
                << aop << ora << appu << prom;
        };
        row("a", "7", { 3, 7 }, { 3 });
        row("a", "07", { 3, 7 }, { 3 });
        row("a", "0", { 0, 3 }, { 3 });
        row("a", "23", { 3, 23 }, { 3 });
        row("p", "16", { 3 }, { 3, 16 });
        row("a", "3", { 3 }, { 3 });
        row("a", "cc", {}, { 3 });
        row("p", "cc", { 3 }, {});
        // Ignored: no other kind, hour or spelling.
        for (const auto& [aop, ora] : QList<std::pair<QString, QString>> { { "a", "24" }, { "A", "07" }, { "P", "cc" },
                 { "a", "CC" }, { "a", "" }, { "a", "+7" }, { "a", " 7" }, { "a", "-1" }, { "a", "007" },
                 { "a", QString(QChar(0x0667)) }, { "", "07" } })
            row(aop, ora, { 3 }, { 3 });
    }
    void accendiLightsAndClearsOneKindOfLetters()
    {
        QFETCH(QString, AoP);
        QFETCH(QString, Ora);
        QFETCH(QSet<int>, appuLit);
        QFETCH(QSet<int>, promLit);
        AgendaPage& page = m_rig->window->agendaPage();
        for (const char* kind : { "a", "p" }) {
            page.accendi(QLatin1String(kind), QStringLiteral("cc"));
            page.accendi(QLatin1String(kind), QStringLiteral("3"));
        }
        page.accendi(AoP, Ora);
        QCOMPARE(litHours(page.appu), appuLit);
        QCOMPARE(litHours(page.prom), promLit);
    }

    // Each entry of the hour is said, then shown; the next only once its box has been closed.
    void clickOnALitLetterReadsItsHourOneBoxAtATime()
    {
        MainWindowRig rig({ .load = false }, QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 15), QStringLiteral("prima")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(10, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 45), QStringLiteral("seconda")));
        QVERIFY(rig.file.addReminder(QTime(16, 0), QStringLiteral("medicina")));
        QVERIFY(rig.start());
        rig.window->show();
        rig.window->pages().showPage(PageStrip::Agenda);
        rig.window->heartbeat().tick();
        AgendaPage& page = rig.window->agendaPage();
        for (QWidget* control : rig.widget("frmAgenda")->findChildren<QWidget*>())
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));

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
        QTest::mouseClick(page.prom[16], Qt::LeftButton);
        QCOMPARE(rig.boxes.shown.last().text, QStringLiteral("Alle 16 e 00 minuti medicina"));
        QVERIFY(rig.boxes.shown[0].title != rig.boxes.shown.last().title);

        // Unlit letters, among them the "P" of an hour with appointments only, do nothing; nor
        // does a press that ends off the letter.
        for (TimelineLetter* letter : { page.appu[11], page.prom[10], page.appu[16] })
            QTest::mouseClick(letter, Qt::LeftButton);
        QTest::mousePress(page.appu[10], Qt::LeftButton);
        QTest::mouseRelease(page.appu[10], Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(rig.boxes.shown.size(), 3);
        QCOMPARE(rig.speech.speaker.SpeakingState(), int(Speaker::Idle));
    }
};

QTEST_MAIN(TestAgendaPage)
#include "TestAgendaPage.moc"
