// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "core/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);
const MainWindowRig::Options NoLoad { .load = false };

// Counts the pointer movements that reach a widget.
class MoveCounter : public QObject
{
public:
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        moves += event->type() == QEvent::MouseMove;
        return false;
    }
};

TimelineLetter* letter(frmArriv& window, const char* kind, int hour)
{
    return window.findChild<TimelineLetter*>(QLatin1String(kind) + QString::number(hour));
}
QSet<int> litHours(frmArriv& window, const char* kind)
{
    QSet<int> lit;
    for (int hour = 0; hour < 24; ++hour)
        if (letter(window, kind, hour)->isLit())
            lit.insert(hour);
    return lit;
}
QLabel* hourLabel(QWidget* frame, int hour)
{
    for (QLabel* label : frame->findChildren<QLabel*>())
        if (label->text() == QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')))
            return label;
    return nullptr;
}

// Shows the window on the Agenda page, as a click on its tab does.
bool showAgenda(frmArriv& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(2);
    return window.findChild<QWidget*>(QStringLiteral("frmAgenda"))->isVisible();
}
} // namespace

class TestAgendaPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pageIsLaidOutInsideTheAgendaFrame()
    {
        MainWindowRig rig(NoLoad);
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        QWidget* frame = rig.widget("frmAgenda");
        QCOMPARE(rig.child<QLabel>("lblDataOra")->text(), QStringLiteral("Lettura in corso..."));
        auto* label9 = rig.child<QLabel>("Label9");
        QCOMPARE(label9->text(), QStringLiteral("Appuntamenti di oggi"));
        QCOMPARE(label9->toolTip(),
            QStringLiteral("Clicca sulla lettera illuminata per vedere l'appuntamento o il promemoria"));
        QCOMPARE(label9->accessibleDescription(), label9->toolTip());

        // Hour h: column h div 8, row h mod 8, row top 720 + 240 x row twips.
        for (int hour = 0; hour < 24; ++hour) {
            QLabel* label = hourLabel(frame, hour);
            QVERIFY2(label, qPrintable(QString::number(hour)));
            QCOMPARE(label->y(), twips(720 + 240 * (hour % 8)));
            TimelineLetter* a = letter(window, "appu", hour);
            TimelineLetter* p = letter(window, "prom", hour);
            QCOMPARE(a->parentWidget(), frame);
            QCOMPARE(a->text(), QStringLiteral("A"));
            QCOMPARE(p->text(), QStringLiteral("P"));
            QCOMPARE(a->y(), label->y());
            QVERIFY(!a->isLit());
            QVERIFY(a->toolTip().isEmpty());
            QCOMPARE(a->accessibleName(), QStringLiteral("Appuntamento alle %1").arg(hour));
            QCOMPARE(p->accessibleName(), QStringLiteral("Promemoria alle %1").arg(hour));
        }
        QCOMPARE(letter(window, "appu", 0)->geometry(), QRect(34, 48, 17, 17));
        QCOMPARE(letter(window, "prom", 8)->geometry(), QRect(119, 48, 17, 17));
        QCOMPARE(letter(window, "prom", 23)->geometry(), QRect(188, 160, 17, 17));

        auto* cmdAppuntamento = rig.child<QPushButton>("cmdAppuntamento");
        auto* cmdPromemoria = rig.child<QPushButton>("cmdPromemoria");
        QCOMPARE(cmdAppuntamento->text(), QStringLiteral("&Appuntamento"));
        QCOMPARE(cmdAppuntamento->toolTip(), QStringLiteral("Gestione degli appuntamenti"));
        QCOMPARE(cmdPromemoria->text(), QStringLiteral("Promemoria giornaliero"));
        QCOMPARE(cmdPromemoria->toolTip(), QStringLiteral("Gestione dei promemoria giornalieri"));
        QCOMPARE(cmdPromemoria->geometry(), QRect(8, 208, 197, 20));
    }

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
        MainWindowRig rig(NoLoad);
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        window.agendaPage().accendi(QStringLiteral("a"), QStringLiteral("3"));
        window.agendaPage().accendi(QStringLiteral("p"), QStringLiteral("3"));

        window.agendaPage().accendi(AoP, Ora);
        QCOMPARE(litHours(window, "appu"), appuLit);
        QCOMPARE(litHours(window, "prom"), promLit);
        for (int hour = 0; hour < 24; ++hour) {
            TimelineLetter* a = letter(window, "appu", hour);
            TimelineLetter* p = letter(window, "prom", hour);
            QCOMPARE(
                a->palette().color(QPalette::Window), appuLit.contains(hour) ? QColor(0, 255, 0) : QColor(Qt::white));
            QCOMPARE(a->toolTip(),
                appuLit.contains(hour) ? QStringLiteral("Appuntamento. Click per visualizzare") : QString());
            QCOMPARE(p->toolTip(),
                promLit.contains(hour) ? QStringLiteral("Promemoria. Click per visualizzare") : QString());
            QCOMPARE(a->accessibleDescription(), a->toolTip());
        }
    }

    void clickOnALitLetterReadsItsHourOneBoxAtATime()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 15), QStringLiteral("prima")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(10, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 45), QStringLiteral("seconda")));
        QVERIFY(rig.file.addReminder(QTime(16, 0), QStringLiteral("medicina")));
        // At midnight: one entry without text (and an unreadable time), one with it.
        QVERIFY(
            rig.file.addRawAppointment(AgendaTestData::dateText(Today), QStringLiteral("non è un'ora"), QVariant()));
        QVERIFY(rig.file.addAppointment(Today, QTime(0, 20), QStringLiteral("notte")));
        QVERIFY(rig.file.addAppointment(Today, QTime(5, 0), QString()));
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        QVERIFY(showAgenda(window));
        window.heartbeat().tick();
        QVERIFY(rig.boxes.shown.isEmpty());
        QCOMPARE(litHours(window, "appu"), (QSet<int> { 0, 5, 9, 10 }));

        // Each text is handed to the voice before its box opens, and the next only after it closed.
        QStringList spokenAtEachBox;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            QVERIFY(rig.speech.finishCurrent());
            QTest::qWait(20); // time for a text queued too early to reach the voice
            spokenAtEachBox.append(rig.speech.spoken().last());
        };
        const auto click = [&](const char* kind, int hour) {
            rig.boxes.shown.clear();
            spokenAtEachBox.clear();
            QTest::mouseClick(letter(window, kind, hour), Qt::LeftButton);
            return spokenAtEachBox;
        };

        QCOMPARE(click("appu", 9), QStringList { "Appuntamento di oggi alle 9 e 5 minuti. .  dentista" });
        QCOMPARE(rig.boxTexts(), QStringList { "Oggi, alle 9 e 05 minuti dentista" });
        QCOMPARE(rig.boxes.shown[0].title, QStringLiteral("Appuntamento"));
        QCOMPARE(rig.boxes.shown[0].style, 64);

        QCOMPARE(click("prom", 16), QStringList { "Promemoria delle 16 in punto. . medicina" });
        QCOMPARE(rig.boxTexts(), QStringList { "Alle 16 e 00 minuti medicina" });
        QCOMPARE(rig.boxes.shown[0].title, QStringLiteral("Promemoria giornaliero"));
        QCOMPARE(rig.boxes.shown[0].style, 64);

        QCOMPARE(click("appu", 10),
            (QStringList { "Appuntamento di oggi alle 10 e 15 minuti. .  prima",
                "Appuntamento di oggi alle 10 e 45 minuti. .  seconda" }));
        QCOMPARE(
            rig.boxTexts(), (QStringList { "Oggi, alle 10 e 15 minuti prima", "Oggi, alle 10 e 45 minuti seconda" }));

        QCOMPARE(click("appu", 0), QStringList { "Appuntamento di oggi a mezzanotte e 20 minuti. .  notte" });
        QCOMPARE(rig.boxTexts(), QStringList { "Oggi, alle 0 e 20 minuti notte" });
        QCOMPARE(click("appu", 5), QStringList { "Appuntamento di oggi alle 5 in punto. .  " });
        QCOMPARE(rig.boxTexts(), QStringList { "Oggi, alle 5 e 00 minuti " });

        // Unlit letters, among them the "P" of an hour that has only appointments, do nothing.
        for (const auto& [kind, hour] : { std::pair { "appu", 11 }, std::pair { "prom", 9 }, std::pair { "appu", 16 } })
            QVERIFY(click(kind, hour).isEmpty() && rig.boxes.shown.isEmpty());
        // A press that ends off the letter is no click.
        QTest::mousePress(letter(window, "appu", 9), Qt::LeftButton);
        QTest::mouseRelease(letter(window, "appu", 9), Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(rig.boxes.shown.isEmpty());
        QCOMPARE(rig.speech.speaker.SpeakingState(), int(Speaker::Idle));
    }

    void pointerOverThePageControlsStopsTheCountdownOnly()
    {
        MainWindowRig rig(NoLoad);
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        QVERIFY(showAgenda(window));
        QWidget* frame = rig.widget("frmAgenda");
        MoveCounter frameMoves;
        frame->installEventFilter(&frameMoves);
        window.countdown().tmrIcona.setInterval(60000);

        for (const char* name : { "appu7", "prom20", "Label9", "lblDataOra", "cmdAppuntamento", "cmdPromemoria" }) {
            window.countdown().tmrIcona.start();
            QTest::mouseMove(rig.widget(name), QPoint(3, 3));
            QTest::mouseMove(rig.widget(name), QPoint(5, 4));
            QVERIFY2(!window.countdown().tmrIcona.isActive(), name);
        }
        // The movement ends at the control: it does not also wake the face through the frame.
        QCOMPARE(frameMoves.moves, 0);

        // An hour label has no reaction of its own.
        QTest::mouseMove(hourLabel(frame, 12), QPoint(3, 3));
        window.countdown().tmrIcona.start();
        QTest::mouseMove(hourLabel(frame, 12), QPoint(6, 4));
        QVERIFY(window.countdown().tmrIcona.isActive());
        window.countdown().tmrIcona.stop();
    }
};

QTEST_MAIN(TestAgendaPage)
#include "TestAgendaPage.moc"
