// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "core/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);

// Counts the pointer movements that reach a widget.
class MoveCounter : public QObject
{
public:
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove)
            ++moves;
        return false;
    }
};
} // namespace

class TestAgendaPage : public QObject
{
    Q_OBJECT

    static TimelineLetter* letter(frmArriv& window, const char* kind, int hour)
    {
        return window.findChild<TimelineLetter*>(QLatin1String(kind) + QString::number(hour));
    }
    static QSet<int> litHours(frmArriv& window, const char* kind)
    {
        QSet<int> lit;
        for (int hour = 0; hour < 24; ++hour)
            if (letter(window, kind, hour)->isLit())
                lit.insert(hour);
        return lit;
    }

    // Shows the window on the Agenda page, as a click on its tab does.
    static bool showAgenda(frmArriv& window)
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(2);
        return window.findChild<QFrame*>(QStringLiteral("frmAgenda"))->isVisible();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pageIsLaidOutInsideTheAgendaFrame()
    {
        MainWindowRig rig(QDateTime(Today, QTime(9, 0)));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        auto* frame = window.findChild<QFrame*>(QStringLiteral("frmAgenda"));
        QVERIFY(frame);

        auto* lblDataOra = frame->findChild<QLabel*>(QStringLiteral("lblDataOra"));
        QVERIFY(lblDataOra);
        QCOMPARE(lblDataOra->text(), QStringLiteral("Lettura in corso..."));
        QCOMPARE(lblDataOra->geometry(), QRect(8, 16, 197, 17));
        QCOMPARE(lblDataOra->palette().color(QPalette::Window), QColor(224, 224, 224));

        auto* label9 = frame->findChild<QLabel*>(QStringLiteral("Label9"));
        QCOMPARE(label9->text(), QStringLiteral("Appuntamenti di oggi"));
        QCOMPARE(label9->toolTip(),
            QStringLiteral("Clicca sulla lettera illuminata per vedere l'appuntamento o il promemoria"));
        QCOMPARE(label9->accessibleDescription(), label9->toolTip());
        QCOMPARE(label9->geometry(), QRect(8, 32, 197, 17));

        // Hour h: column h div 8, row h mod 8, row top 720 + 240 x row twips.
        for (int hour = 0; hour < 24; ++hour) {
            const QString twoDigits = QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
            const auto hourLabels = frame->findChildren<QLabel*>();
            const auto found = std::find_if(hourLabels.begin(), hourLabels.end(),
                [&](QLabel* l) { return l->text() == twoDigits && l->objectName() != QStringLiteral("Label9"); });
            QVERIFY2(found != hourLabels.end(), qPrintable(twoDigits));
            QCOMPARE((*found)->y(), twips(720 + 240 * (hour % 8)));
            TimelineLetter* a = letter(window, "appu", hour);
            TimelineLetter* p = letter(window, "prom", hour);
            QVERIFY(a && p);
            QCOMPARE(a->parentWidget(), frame);
            QCOMPARE(a->text(), QStringLiteral("A"));
            QCOMPARE(p->text(), QStringLiteral("P"));
            QCOMPARE(a->y(), (*found)->y());
            QCOMPARE(a->size(), QSize(17, 17));
            QVERIFY(!a->isLit());
            QVERIFY(a->toolTip().isEmpty());
            QCOMPARE(a->accessibleName(), QStringLiteral("Appuntamento alle %1").arg(hour));
            QCOMPARE(p->accessibleName(), QStringLiteral("Promemoria alle %1").arg(hour));
        }
        QCOMPARE(letter(window, "appu", 0)->geometry(), QRect(34, 48, 17, 17));
        QCOMPARE(letter(window, "prom", 8)->geometry(), QRect(119, 48, 17, 17));
        QCOMPARE(letter(window, "appu", 23)->geometry(), QRect(172, 160, 17, 17));
        QCOMPARE(letter(window, "prom", 23)->geometry(), QRect(188, 160, 17, 17));

        auto* cmdAppuntamento = frame->findChild<QPushButton*>(QStringLiteral("cmdAppuntamento"));
        auto* cmdPromemoria = frame->findChild<QPushButton*>(QStringLiteral("cmdPromemoria"));
        QCOMPARE(cmdAppuntamento->text(), QStringLiteral("&Appuntamento"));
        QCOMPARE(cmdAppuntamento->toolTip(), QStringLiteral("Gestione degli appuntamenti"));
        QCOMPARE(cmdAppuntamento->geometry(), QRect(8, 184, 197, 20));
        QCOMPARE(cmdPromemoria->text(), QStringLiteral("Promemoria giornaliero"));
        QCOMPARE(cmdPromemoria->toolTip(), QStringLiteral("Gestione dei promemoria giornalieri"));
        QCOMPARE(cmdPromemoria->geometry(), QRect(8, 208, 197, 20));

        QList<int> lineX;
        for (QFrame* line : frame->findChildren<QFrame*>())
            if (line->frameShape() == QFrame::VLine) {
                lineX.append(line->x());
                QCOMPARE(line->y(), twips(760));
                QCOMPARE(line->y() + line->height(), twips(2600));
            }
        std::sort(lineX.begin(), lineX.end());
        QCOMPARE(lineX, (QList<int> { 72, 141 }));
    }

    void accendiLightsAndClearsOneKindOfLetters_data()
    {
        QTest::addColumn<QString>("AoP");
        QTest::addColumn<QString>("Ora");
        QTest::addColumn<QSet<int>>("appuLit");
        QTest::addColumn<QSet<int>>("promLit");
        // Before each row "A" 3 and "P" 3 are lit.
        QTest::newRow("a 7") << "a"
                             << "7" << QSet<int> { 3, 7 } << QSet<int> { 3 };
        QTest::newRow("a 07") << "a"
                              << "07" << QSet<int> { 3, 7 } << QSet<int> { 3 };
        QTest::newRow("a 0") << "a"
                             << "0" << QSet<int> { 0, 3 } << QSet<int> { 3 };
        QTest::newRow("a 23") << "a"
                              << "23" << QSet<int> { 3, 23 } << QSet<int> { 3 };
        QTest::newRow("p 16") << "p"
                              << "16" << QSet<int> { 3 } << QSet<int> { 3, 16 };
        QTest::newRow("a 3 again") << "a"
                                   << "3" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a cc") << "a"
                              << "cc" << QSet<int> {} << QSet<int> { 3 };
        QTest::newRow("p cc") << "p"
                              << "cc" << QSet<int> { 3 } << QSet<int> {};
        QTest::newRow("a 24") << "a"
                              << "24" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("A 07") << "A"
                              << "07" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("P cc") << "P"
                              << "cc" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a CC") << "a"
                              << "CC" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a empty") << "a"
                                 << "" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a +7") << "a"
                              << "+7" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a space 7") << "a"
                                   << " 7" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a -1") << "a"
                              << "-1" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a 007") << "a"
                               << "007" << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("a arabic-indic 7") << "a" << QString(QChar(0x0667)) << QSet<int> { 3 } << QSet<int> { 3 };
        QTest::newRow("empty 07") << ""
                                  << "07" << QSet<int> { 3 } << QSet<int> { 3 };
    }
    void accendiLightsAndClearsOneKindOfLetters()
    {
        QFETCH(QString, AoP);
        QFETCH(QString, Ora);
        QFETCH(QSet<int>, appuLit);
        QFETCH(QSet<int>, promLit);
        MainWindowRig rig(QDateTime(Today, QTime(9, 0)));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.accendi(QStringLiteral("a"), QStringLiteral("cc"));
        window.accendi(QStringLiteral("p"), QStringLiteral("cc"));
        window.accendi(QStringLiteral("a"), QStringLiteral("3"));
        window.accendi(QStringLiteral("p"), QStringLiteral("3"));

        window.accendi(AoP, Ora);
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
        MainWindowRig rig(QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 15), QStringLiteral("prima")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(10, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 45), QStringLiteral("seconda")));
        QVERIFY(rig.file.addReminder(QTime(16, 0), QStringLiteral("medicina")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        QVERIFY(showAgenda(window));
        window.tick();
        QVERIFY(rig.boxes.shown.isEmpty());

        // Each box comes after its text was handed to the voice, and the next text only after it closed.
        QStringList spokenAtEachBox;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            spokenAtEachBox.append(rig.spoken.texts.last());
        };

        QTest::mouseClick(letter(window, "appu", 9), Qt::LeftButton);
        QCOMPARE(
            rig.spoken.texts, QStringList { QStringLiteral("Appuntamento di oggi alle 9 e 5 minuti. .  dentista") });
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text, QStringLiteral("Oggi, alle 9 e 05 minuti dentista"));
        QCOMPARE(rig.boxes.shown[0].title, QStringLiteral("Appuntamento"));
        QCOMPARE(rig.boxes.shown[0].style, 64);

        QTest::mouseClick(letter(window, "prom", 16), Qt::LeftButton);
        QCOMPARE(rig.spoken.texts.last(), QStringLiteral("Promemoria delle 16 e 0 minuti. . medicina"));
        QCOMPARE(rig.boxes.shown.last().text, QStringLiteral("Alle 16 e 00 minuti medicina"));
        QCOMPARE(rig.boxes.shown.last().title, QStringLiteral("Promemoria giornaliero"));
        QCOMPARE(rig.boxes.shown.last().style, 64);

        rig.spoken.texts.clear();
        rig.boxes.shown.clear();
        spokenAtEachBox.clear();
        QTest::mouseClick(letter(window, "appu", 10), Qt::LeftButton);
        const QStringList both { QStringLiteral("Appuntamento di oggi alle 10 e 15 minuti. .  prima"),
            QStringLiteral("Appuntamento di oggi alle 10 e 45 minuti. .  seconda") };
        QCOMPARE(rig.spoken.texts, both);
        QCOMPARE(spokenAtEachBox, both);
        QCOMPARE(rig.boxTexts(),
            (QStringList { QStringLiteral("Oggi, alle 10 e 15 minuti prima"),
                QStringLiteral("Oggi, alle 10 e 45 minuti seconda") }));

        // Unlit letters, among them the "P" of an hour that has only appointments, do nothing.
        rig.spoken.texts.clear();
        rig.boxes.shown.clear();
        for (const auto& [kind, hour] : { std::pair { "appu", 11 }, std::pair { "prom", 9 }, std::pair { "appu", 16 } })
            QTest::mouseClick(letter(window, kind, hour), Qt::LeftButton);
        QVERIFY(rig.spoken.texts.isEmpty());
        QVERIFY(rig.boxes.shown.isEmpty());

        // A press that ends off the letter is no click.
        QTest::mousePress(letter(window, "appu", 9), Qt::LeftButton);
        QTest::mouseRelease(letter(window, "appu", 9), Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void midnightLetterSkipsEntriesWithoutText()
    {
        MainWindowRig rig(QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(
            rig.file.addRawAppointment(AgendaTestData::dateText(Today), QStringLiteral("non è un'ora"), QVariant()));
        QVERIFY(rig.file.addAppointment(Today, QTime(0, 20), QStringLiteral("notte")));
        QVERIFY(rig.file.addAppointment(Today, QTime(5, 0), QString()));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        QVERIFY(showAgenda(window));
        window.tick();
        QCOMPARE(litHours(window, "appu"), (QSet<int> { 0, 5 }));

        QTest::mouseClick(letter(window, "appu", 0), Qt::LeftButton);
        QCOMPARE(rig.spoken.texts, QStringList { QStringLiteral("Appuntamento di oggi alle 0 e 20 minuti. .  notte") });
        QCOMPARE(rig.boxTexts(), QStringList { QStringLiteral("Oggi, alle 0 e 20 minuti notte") });

        QTest::mouseClick(letter(window, "appu", 5), Qt::LeftButton);
        QCOMPARE(rig.spoken.texts.last(), QStringLiteral("Appuntamento di oggi alle 5 e 0 minuti. .  "));
        QCOMPARE(rig.boxes.shown.last().text, QStringLiteral("Oggi, alle 5 e 00 minuti "));
    }

    void pointerOverThePageControlsStopsTheCountdownOnly()
    {
        MainWindowRig rig(QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        QVERIFY(showAgenda(window));
        auto* frame = window.findChild<QFrame*>(QStringLiteral("frmAgenda"));
        MoveCounter frameMoves;
        frame->installEventFilter(&frameMoves);
        window.tmrIcona.setInterval(60000);

        const QStringList stoppers { "appu7", "prom20", "Label9", "lblDataOra", "cmdAppuntamento", "cmdPromemoria" };
        for (const QString& name : stoppers) {
            auto* control = frame->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            window.tmrIcona.start();
            QTest::mouseMove(control, QPoint(3, 3));
            QTest::mouseMove(control, QPoint(5, 4));
            QVERIFY2(!window.tmrIcona.isActive(), qPrintable(name));
        }
        // The movement ends at the control: it does not also wake the face through the frame.
        QCOMPARE(frameMoves.moves, 0);

        // An hour label has no reaction of its own.
        const auto labels = frame->findChildren<QLabel*>();
        QLabel* hourLabel
            = *std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == QLatin1String("12"); });
        QTest::mouseMove(hourLabel, QPoint(3, 3));
        window.tmrIcona.start();
        QTest::mouseMove(hourLabel, QPoint(6, 4));
        QVERIFY(window.tmrIcona.isActive());
        window.tmrIcona.stop();
    }
};

QTEST_MAIN(TestAgendaPage)
#include "TestAgendaPage.moc"
