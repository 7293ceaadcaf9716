// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "agenda/managers/LimitedTextEdit.h"
#include "agenda/managers/frmAppun.h"
#include "agenda/managers/frmProm.h"

#include <QAbstractItemModelTester>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTimeEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDate Today(2026, 12, 5);

// Opens a manager window the way the Agenda page's button does.
template <typename Window> Window* open(MainWindowRig& rig)
{
    const bool appun = std::is_same_v<Window, frmAppun>;
    rig.child<QPushButton>(appun ? "cmdAppuntamento" : "cmdPromemoria")->click();
    Window* window = rig.window->findChild<Window*>();
    return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

bool lit(const MainWindowRig& rig, const QString& name)
{
    return rig.window->findChild<TimelineLetter*>(name)->isLit();
}

// Every record of a table as the file holds it now: "Data Ora|Testo" (no Data for reminders).
QStringList stored(MainWindowRig& rig, const QString& table)
{
    QStringList rows;
    const auto set = rig.data.openRecordSet(table);
    for (int i = 0; set && i < set->recordCount(); ++i) {
        const QDateTime data = set->valueAt(i, QStringLiteral("Data")).toDateTime();
        rows << (data.isValid() ? data.toString(QStringLiteral("yyyy-MM-dd HH:mm ")) : QString())
                + set->valueAt(i, QStringLiteral("Ora")).toDateTime().toString(QStringLiteral("HH:mm|"))
                + set->valueAt(i, QStringLiteral("Testo")).toString();
    }
    return rows;
}

// Runs a statement on the program's own connection to the data file.
void onProgramConnection(const QString& sql)
{
    for (const QString& name : QSqlDatabase::connectionNames())
        if (name.startsWith(QLatin1String("vespelinda-data-")))
            QVERIFY(QSqlQuery(QSqlDatabase::database(name)).exec(sql));
}
// The data file refuses every change from now on, as a read-only file does.
void makeReadOnly(bool readOnly) { onProgramConnection(QStringLiteral("PRAGMA query_only = %1").arg(int(readOnly))); }

// The controls that tell the list from the panel for a new entry, in one line that a failure shows whole.
QString controls(const ManagerWindow* w)
{
    const auto on = [](const QWidget* control) {
        return control->isEnabled() ? u"on"_s : u"off"_s;
    };
    const QString panel = w->Picture1->isVisible() ? u"shown"_s
        : w->Picture1->isHidden()                  ? u"hidden"_s
                                                   : u"in a hidden window"_s;
    return u"Picture1 %1, DBGrid1 %2, Command1 %3, Command2 %4, Command3 %5"_s.arg(
        panel, on(w->DBGrid1), on(w->Command1), on(w->Command2), on(w->Command3));
}
const QString Listing = u"Picture1 hidden, DBGrid1 on, Command1 on, Command2 on, Command3 on"_s;
const QString Adding = u"Picture1 shown, DBGrid1 off, Command1 off, Command2 off, Command3 on"_s;
} // namespace

class TestManagerWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void anEntryAddedReachesTheFileTheGridAndTheTimeline_data()
    {
        QTest::addColumn<bool>("appointment");
        QTest::addColumn<QTime>("ora");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("letter"); // lit at the next heartbeat, if any
        const QString rich = QStringLiteral("L'avvocato \"Bianchi\"; perché? 😀\nseconda riga");
        QTest::newRow("appointment today") << true << QTime(15, 30) << Today << "dentista"
                                           << "appu15";
        QTest::newRow("text of spaces") << true << QTime(9, 0) << Today << "   "
                                        << "appu9";
        QTest::newRow("quotes, accents, emoji, newline") << true << QTime(23, 59) << Today << rich << "appu23";
        QTest::newRow("midnight") << true << QTime(0, 0) << Today << "mezzanotte"
                                  << "appu0";
        QTest::newRow("far future") << true << QTime(10, 0) << QDate(2199, 12, 31) << "lontano"
                                    << "";
        QTest::newRow("reminder") << false << QTime(8, 0) << QDate() << "medicina"
                                  << "prom8";
        QTest::newRow("reminder, rich text") << false << QTime(23, 59) << QDate() << rich << "prom23";
    }
    void anEntryAddedReachesTheFileTheGridAndTheTimeline()
    {
        QFETCH(bool, appointment);
        QFETCH(QTime, ora);
        QFETCH(QDate, data);
        QFETCH(QString, testo);
        QFETCH(QString, letter);
        MainWindowRig rig;
        QVERIFY(rig.file.addReminder(QTime(6, 0), QStringLiteral("prima")));
        QVERIFY(rig.file.addAppointment(Today.addDays(-1), QTime(6, 0), QStringLiteral("prima")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        ManagerWindow* w = appointment ? static_cast<ManagerWindow*>(open<frmAppun>(rig)) : open<frmProm>(rig);
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(controls(w), Listing);
        QVERIFY(rig.window->finestraAperta());
        QCOMPARE(w->model().rowCount(), 1);

        click(w->Command1);
        QCOMPARE(controls(w), Adding);
        w->txtNuovOra->setTime(ora);
        if (appointment)
            static_cast<frmAppun*>(w)->dtpNuovData->setDate(data);
        w->txtNuovTesto->setPlainText(testo);
        QTest::keyClick(w->txtNuovOra, Qt::Key_Return); // Enter confirms
        QCOMPARE(controls(w), Listing);
        QVERIFY(rig.boxes.shown.isEmpty());

        const QString table = appointment ? QStringLiteral("Appuntamenti") : QStringLiteral("Promemoria");
        const QString when = appointment ? data.toString(QStringLiteral("yyyy-MM-dd 00:00 ")) : QString();
        QCOMPARE(stored(rig, table).value(1), when + ora.toString(QStringLiteral("HH:mm|")) + testo);
        QCOMPARE(w->model().rowCount(), 2);
        QCOMPARE(w->model().index(1, appointment ? 3 : 2).data().toString(), testo);
        QCOMPARE(w->model().index(1, 1).data().toString(), ora.toString(QStringLiteral("HH:mm")));

        rig.window->heartbeat().tick();
        const QString kind = appointment ? QStringLiteral("appu") : QStringLiteral("prom");
        QStringList litLetters;
        for (int hour = 0; hour < 24; ++hour) {
            if (lit(rig, kind + QString::number(hour)))
                litLetters << kind + QString::number(hour);
        }
        QStringList expected { letter };
        if (!appointment)
            expected.prepend(u"prom6"_s); // the reminder there before
        expected.removeAll(QString());
        QCOMPARE(litLetters, expected);
    }

    // By keyboard alone: "Aggiungi nuovo" puts the caret in the time, Tab leaves the time and the
    // date for the next field at once, Enter in the text confirms and Shift+Enter breaks its line.
    void theNewEntryByKeyboard_data()
    {
        QTest::addColumn<bool>("appointment");
        QTest::newRow("appointment") << true;
        QTest::newRow("reminder") << false;
    }
    void theNewEntryByKeyboard()
    {
        QFETCH(bool, appointment);
        MainWindowRig rig;
        QVERIFY(rig.start());
        ManagerWindow* w = appointment ? static_cast<ManagerWindow*>(open<frmAppun>(rig)) : open<frmProm>(rig);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(controls(w), Adding); // a letter clicks its button after a short flash
        QCOMPARE(QApplication::focusWidget(), w->txtNuovOra);
        QTest::keyClicks(w->txtNuovOra, u"10.30"_s);
        QCOMPARE(w->txtNuovOra->time(), QTime(10, 30));
        QTest::keyClick(w->txtNuovOra, Qt::Key_Tab);
        if (appointment) {
            auto* date = static_cast<frmAppun*>(w)->dtpNuovData;
            QCOMPARE(QApplication::focusWidget(), date);
            QTest::keyClick(date, Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), w->txtNuovTesto);
        QTest::keyClicks(w->txtNuovTesto, u"prima riga"_s);
        QTest::keyClick(w->txtNuovTesto, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(w->txtNuovTesto, u"seconda"_s);
        QTest::keyClick(w->txtNuovTesto, Qt::Key_Return);
        QCOMPARE(controls(w), Listing);
        const QString table = appointment ? QStringLiteral("Appuntamenti") : QStringLiteral("Promemoria");
        const QString when = appointment ? Today.toString(QStringLiteral("yyyy-MM-dd 00:00 ")) : QString();
        QCOMPARE(stored(rig, table), QStringList { when + u"10:30|prima riga\nseconda"_s });
    }

    void panelRefusesAnEmptyTextAndKeepsItsInputs()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        rig.clock.set(QDateTime(Today.addDays(1), QTime(0, 1))); // the window opens on the 6th
        frmAppun* w = open<frmAppun>(rig);
        w->dtpNuovData->setDate(Today.addDays(-3));
        click(w->Command1);
        QCOMPARE(w->dtpNuovData->date(), Today.addDays(1)); // no day before today
        QCOMPARE(w->dtpNuovData->minimumDate(), Today.addDays(1));
        QCOMPARE(w->dtpNuovData->calendarWidget()->minimumDate(), Today.addDays(1));
        w->dtpNuovData->setDate(Today);
        QCOMPARE(w->dtpNuovData->date(), Today.addDays(1));

        w->txtNuovOra->setTime(QTime(10, 15));
        w->dtpNuovData->setDate(Today.addDays(9));
        click(w->Command4);
        QCOMPARE(rig.boxTexts(), QStringList { QStringLiteral("Il campo testo è vuoto!") });
        QCOMPARE(rig.boxes.shown.first().style, 48);
        QCOMPARE(controls(w), Adding);
        QCOMPARE(w->focusWidget(), w->txtNuovTesto);

        QTest::keyClicks(w->txtNuovTesto, QStringLiteral("uno"));
        click(w->Command4);
        QCOMPARE(
            stored(rig, QStringLiteral("Appuntamenti")), QStringList { QStringLiteral("2026-12-14 00:00 10:15|uno") });
        // The next addition starts from the previous one's values.
        click(w->Command1);
        QCOMPARE(w->txtNuovOra->time(), QTime(10, 15));
        QCOMPARE(w->dtpNuovData->date(), Today.addDays(9));
        QCOMPARE(w->txtNuovTesto->toPlainText(), QStringLiteral("uno"));

        // Esc leaves the panel, keeping the inputs; a second Esc closes the window.
        QTest::keyClick(w, Qt::Key_Escape);
        QCOMPARE(controls(w), Listing);
        QCOMPARE(w->txtNuovTesto->toPlainText(), QStringLiteral("uno"));
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!rig.window->findChild<frmAppun*>());
        QVERIFY(!rig.window->finestraAperta());
        QCOMPARE(stored(rig, QStringLiteral("Appuntamenti")).size(), 1);
    }

    void textTakesAtMost150CharactersHoweverTheyArrive()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        frmProm* w = open<frmProm>(rig);
        click(w->Command1);
        QCOMPARE(w->focusWidget(), w->txtNuovOra); // the caret goes to the time
        LimitedTextEdit* testo = w->txtNuovTesto;

        testo->setPlainText(QString(149, u'a'));
        testo->moveCursor(QTextCursor::End);
        QTest::keyClicks(testo, QStringLiteral("bc"));
        QCOMPARE(testo->toPlainText(), QString(149, u'a') + u'b');

        QGuiApplication::clipboard()->setText(QStringLiteral("x") + QString(200, u'y'));
        testo->setPlainText(QStringLiteral("inizio fine"));
        QTextCursor cursor = testo->textCursor();
        cursor.setPosition(7);
        testo->setTextCursor(cursor);
        testo->paste();
        QCOMPARE(testo->toPlainText(), QStringLiteral("inizio x") + QString(138, u'y') + QStringLiteral("fine"));

        // An emoji is one character, and is never cut in half.
        testo->setPlainText(QString(148, u'a'));
        testo->moveCursor(QTextCursor::End);
        testo->insertPlainText(QStringLiteral("😀😀😀"));
        QCOMPARE(testo->toPlainText(), QString(148, u'a') + QStringLiteral("😀😀"));
    }

    void eliminaAsksThenDeletesTheCurrentRecordOnce_data()
    {
        QTest::addColumn<bool>("appointment");
        QTest::newRow("appointments") << true;
        QTest::newRow("reminders") << false;
    }
    void eliminaAsksThenDeletesTheCurrentRecordOnce()
    {
        QFETCH(bool, appointment);
        const QString noun = appointment ? QStringLiteral("appuntamento") : QStringLiteral("promemoria");
        const QString question = appointment ? QStringLiteral("Elimino l'appuntamento selezionato?")
                                             : QStringLiteral("Elimino il promemoria selezionato?");
        const QString nothing = QStringLiteral("Non hai selezionato nessun ") + noun + u'!';
        const QString table = appointment ? QStringLiteral("Appuntamenti") : QStringLiteral("Promemoria");
        MainWindowRig rig;
        QVERIFY(rig.start());
        ManagerWindow* w = appointment ? static_cast<ManagerWindow*>(open<frmAppun>(rig)) : open<frmProm>(rig);
        click(w->Command2); // an empty list: the question first, then the report
        QCOMPARE(rig.boxTexts(), (QStringList { question, nothing }));
        QCOMPARE(rig.boxes.shown.first().style, 52);
        w->close();
        QTRY_VERIFY(!rig.window->findChild<ManagerWindow*>());

        for (const char* text : { "uno", "due", "tre" })
            QVERIFY2(appointment ? rig.file.addAppointment(Today, QTime(9, 30), QString::fromUtf8(text))
                                 : rig.file.addReminder(QTime(9, 30), QString::fromUtf8(text)),
                text);
        rig.dataChanged();
        rig.window->heartbeat().tick();
        w = appointment ? static_cast<ManagerWindow*>(open<frmAppun>(rig)) : open<frmProm>(rig);
        rig.boxes.shown.clear();
        rig.boxes.answer = MessageBoxService::No;
        click(w->Command2);
        QCOMPARE(stored(rig, table).size(), 3);

        // Right after opening the first record is current; after a deletion none is.
        rig.boxes.answer = MessageBoxService::Yes;
        click(w->Command2);
        click(w->Command2);
        QCOMPARE(rig.boxTexts(), (QStringList { question, question, question, nothing }));
        QCOMPARE(stored(rig, table).size(), 2);
        QVERIFY(stored(rig, table).first().endsWith(QLatin1String("|due")));
        QCOMPARE(w->model().rowCount(), 2);
        QCOMPARE(w->model().index(0, appointment ? 3 : 2).data().toString(), QStringLiteral("due"));

        // A row picked in the grid is the one deleted; the letter goes out with the last entry.
        QTest::mouseClick(w->DBGrid1->verticalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(5, w->DBGrid1->rowViewportPosition(1) + 8));
        click(w->Command2);
        QCOMPARE(stored(rig, table).size(), 1);
        QVERIFY(stored(rig, table).first().endsWith(QLatin1String("|due")));
        QVERIFY(w->DBGrid1->selectionModel()->selectedRows().isEmpty());
        rig.window->heartbeat().tick();
        const QString letter = (appointment ? QStringLiteral("appu") : QStringLiteral("prom")) + QStringLiteral("9");
        QVERIFY(lit(rig, letter));
        QTest::mouseClick(w->DBGrid1->verticalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(5, w->DBGrid1->rowViewportPosition(0) + 8));
        click(w->Command2);
        rig.window->heartbeat().tick();
        QVERIFY(!lit(rig, letter));
    }

    void closingWhileAddingStoresNothingAndOpeningAgainStartsAfresh()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        frmAppun* w = open<frmAppun>(rig);
        QCOMPARE(open<frmAppun>(rig), w); // an open window is brought forward
        QCOMPARE(rig.window->findChildren<frmAppun*>().size(), 1);
        click(w->Command1);
        w->txtNuovTesto->setPlainText(QStringLiteral("mai salvato"));
        w->close();
        QTRY_VERIFY(!rig.window->findChild<frmAppun*>());
        QVERIFY(!rig.window->finestraAperta());
        QVERIFY(stored(rig, QStringLiteral("Appuntamenti")).isEmpty());
        w = open<frmAppun>(rig);
        QCOMPARE(controls(w), Listing);
        QVERIFY(w->txtNuovTesto->toPlainText().isEmpty());
        QCOMPARE(w->txtNuovOra->time(), QTime(0, 0));

        // A table that cannot be read: told, and no window opens.
        onProgramConnection(QStringLiteral("DROP TABLE Promemoria"));
        QVERIFY(!open<frmProm>(rig));
        QVERIFY(rig.boxTexts().value(0).contains(QLatin1String("Promemoria")));
        QVERIFY(rig.window->finestraAperta()); // the appointment window is still open
        w->close();
        QTRY_VERIFY(!rig.window->finestraAperta());
    }

    void gridEditsAreWrittenAndMoveTheLetters()
    {
        MainWindowRig rig;
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu9"));
        frmAppun* w = open<frmAppun>(rig);
        QTableView* grid = w->DBGrid1;
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("09:05"));
        QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("05/12/2026"));
        QVERIFY(grid->isColumnHidden(0));

        // A click on the time opens a time input: hours and minutes only.
        const QModelIndex time = grid->model()->index(0, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(time).center());
        auto* timeEditor = grid->findChild<QTimeEdit*>();
        QVERIFY(timeEditor);
        QCOMPARE(timeEditor->time(), QTime(9, 5));
        timeEditor->setTime(QTime(14, 30));
        QTest::keyClick(timeEditor, Qt::Key_Return);
        QTRY_COMPARE(stored(rig, QStringLiteral("Appuntamenti")),
            QStringList { QStringLiteral("2026-12-05 00:00 14:30|dentista") });
        rig.window->heartbeat().tick();
        QVERIFY(!lit(rig, "appu9"));
        QVERIFY(lit(rig, "appu14"));

        // A text emptied in the grid is stored empty; a date moved to tomorrow leaves today's timeline.
        QVERIFY(grid->model()->setData(grid->model()->index(0, 3), QString()));
        QVERIFY(grid->model()->setData(grid->model()->index(0, 2), Today.addDays(1)));
        QCOMPARE(
            stored(rig, QStringLiteral("Appuntamenti")), QStringList { QStringLiteral("2026-12-06 00:00 14:30|") });
        rig.window->heartbeat().tick();
        QVERIFY(!lit(rig, "appu14"));
        // The main window goes with a cell still open for editing: the window's record set goes last.
        grid->edit(grid->model()->index(0, 1));
        grid->findChild<QTimeEdit*>()->setTime(QTime(3, 3));
    }

    // The file refuses: read-only, locked by another program (the write waits a moment first), or
    // out of keys for new entries. The user is told why in one sentence of the window's own, with
    // the file, and nothing else changes.
    void aRefusedWriteIsToldAndWhatWasTypedStays_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("cellToo"); // a change of a cell is refused too
        QTest::newRow("read-only") << "read-only"
                                   << "il file dei dati, o la sua cartella, è protetto dalla scrittura" << true;
        QTest::newRow("locked") << "locked"
                                << "il file dei dati è bloccato da un altro programma" << true;
        QTest::newRow("keys used up") << "keys used up"
                                      << "la tabella Promemoria è piena: ha usato tutti i numeri che può dare alle "
                                         "voci nuove"
                                      << false;
    }
    void aRefusedWriteIsToldAndWhatWasTypedStays()
    {
        QFETCH(QString, refusal);
        QFETCH(QString, words);
        QFETCH(bool, cellToo);
        MainWindowRig rig;
        QVERIFY(rig.file.addReminder(QTime(7, 0), QStringLiteral("sveglia")));
        QVERIFY(rig.start());
        frmProm* w = open<frmProm>(rig);
        const auto refuse = [&](bool on) {
            if (refusal == "read-only")
                makeReadOnly(on);
            else if (refusal == "locked")
                QVERIFY(rig.file.exec(on ? u"BEGIN IMMEDIATE"_s : u"ROLLBACK"_s)); // others may read, not write
            else if (on)
                QVERIFY(
                    rig.file.exec(u"UPDATE sqlite_sequence SET seq = 9223372036854775807 WHERE name = 'Promemoria'"_s));
            else
                QVERIFY(rig.file.exec(u"UPDATE sqlite_sequence SET seq = 1 WHERE name = 'Promemoria'"_s));
        };
        const QString told = u"Non riesco a salvare il nuovo promemoria: "_s + words + u'.';
        refuse(true);
        click(w->Command1);
        w->txtNuovOra->setTime(QTime(8, 0));
        w->txtNuovTesto->setPlainText(QStringLiteral("medicina"));
        click(w->Command4);
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxTexts().first().section(u'\n', 0, 0), told);
        QCOMPARE(rig.boxTexts().first().section(u'\n', 1, 1), u"File dei dati: "_s + rig.data.filePath());
        QCOMPARE(controls(w), Adding);
        QCOMPARE(w->txtNuovTesto->toPlainText(), QStringLiteral("medicina"));
        QCOMPARE(w->txtNuovOra->time(), QTime(8, 0));
        refuse(false);
        click(w->Command4); // the retry stores it
        QCOMPARE(stored(rig, QStringLiteral("Promemoria")),
            (QStringList { QStringLiteral("07:00|sveglia"), QStringLiteral("08:00|medicina") }));
        if (!cellToo)
            return;

        // In the grid: the cell opens again with the value typed, after the box.
        refuse(true);
        rig.boxes.shown.clear();
        const QModelIndex testo = w->model().index(0, 2);
        w->DBGrid1->edit(testo);
        auto* editor = qobject_cast<QLineEdit*>(w->DBGrid1->indexWidget(testo));
        QVERIFY(editor);
        editor->setText(QStringLiteral("sveglia presto"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxTexts().first().section(u'\n', 0, 0), u"Non riesco a salvare la modifica: "_s + words + u'.');
        QTRY_VERIFY(qobject_cast<QLineEdit*>(w->DBGrid1->indexWidget(testo)));
        QCOMPARE(qobject_cast<QLineEdit*>(w->DBGrid1->indexWidget(testo))->text(), QStringLiteral("sveglia presto"));
        QCOMPARE(w->model().index(0, 2).data().toString(), QStringLiteral("sveglia"));
        refuse(false);
    }

    // A cell's editor opened and left (by a click elsewhere) writes nothing, whatever the file holds
    // there; Enter on it, or a new value, writes the value shown.
    void anEditorLeftUntouchedWritesNothing_data()
    {
        QTest::addColumn<QVariant>("ora"); // as stored
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("marked"); // shown as unreadable before
        const QString nineFive = QStringLiteral("1899-12-30T09:05:00");
        QTest::newRow("hour out of range") << QVariant(u"25:99"_s) << "leave"
                                           << "25:99" << true;
        QTest::newRow("a word") << QVariant(u"abc"_s) << "leave"
                                << "abc" << true;
        QTest::newRow("a time as bare text") << QVariant(u"10:30"_s) << "leave"
                                             << "10:30" << true;
        QTest::newRow("nothing stored") << QVariant() << "leave"
                                        << "" << true;
        QTest::newRow("a valid time") << QVariant(nineFive) << "leave" << nineFive << false;
        QTest::newRow("Enter confirms what is shown") << QVariant(u"abc"_s) << "enter"
                                                      << "1899-12-30T00:00:00" << true;
        QTest::newRow("a new value typed") << QVariant(u"abc"_s) << "type 0715"
                                           << "1899-12-30T07:15:00" << true;
    }
    void anEditorLeftUntouchedWritesNothing()
    {
        QFETCH(QVariant, ora);
        QFETCH(QString, action);
        QFETCH(QString, after);
        QFETCH(bool, marked);
        MainWindowRig rig;
        QVERIFY(rig.file.addRawAppointment(AgendaTestData::dateText(Today), ora, u"dal medico"_s));
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), u"altro"_s));
        QVERIFY(rig.start());
        auto* w = open<frmAppun>(rig);
        QVERIFY(w);
        const QModelIndex cell = w->model().index(0, 1);
        QCOMPARE(w->model().data(cell, Qt::ForegroundRole).isValid(), marked);
        QCOMPARE(w->model().data(cell, Qt::ToolTipRole).isValid(), marked);
        w->DBGrid1->setCurrentIndex(cell);
        w->DBGrid1->edit(cell);
        auto* editor = w->DBGrid1->findChild<QTimeEdit*>();
        QVERIFY(editor);
        editor->setFocus();
        if (action == "enter")
            QTest::keyClick(editor, Qt::Key_Return);
        else if (action.startsWith(u"type "_s))
            QTest::keyClicks(editor, action.mid(5));
        w->DBGrid1->setCurrentIndex(w->model().index(1, 3)); // elsewhere: the editor closes
        QTRY_VERIFY(!w->DBGrid1->findChild<QTimeEdit*>());
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).first()));
        QVERIFY2(
            query.exec(u"SELECT Ora FROM Appuntamenti ORDER BY rowid LIMIT 1"_s), qPrintable(query.lastError().text()));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), after);
    }

    // A grid cell keeps the column's 150 characters, typed or pasted, as the panel does.
    void aGridCellKeepsTheColumnsLimit()
    {
        MainWindowRig rig;
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), u"breve"_s));
        QVERIFY(rig.start());
        auto* w = open<frmAppun>(rig);
        QVERIFY(w);
        const QModelIndex cell = w->model().index(0, 3);
        w->DBGrid1->setCurrentIndex(cell);
        w->DBGrid1->edit(cell);
        auto* editor = w->DBGrid1->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        editor->insert(u"😀"_s + QString(299, u'x')); // a paste: the emoji is one character
        QCOMPARE(editor->text().toUcs4().size(), ManagerWindow::TextLimit);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(stored(rig, u"Appuntamenti"_s).first().section(u'|', 1).toUcs4().size(), ManagerWindow::TextLimit);
        // However the value comes: straight into the model as well.
        QVERIFY(w->model().setData(cell, QString(300, u'y')));
        QCOMPARE(stored(rig, u"Appuntamenti"_s).first().section(u'|', 1), QString(150, u'y'));
    }

    // Another program's changes reach an open window at the next heartbeat; not under a cell being
    // edited, but as soon as the editor has gone.
    void anotherProgramsChangesReachTheGrid()
    {
        MainWindowRig rig;
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 0), u"uno"_s));
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), u"due"_s));
        QVERIFY(rig.start());
        auto* w = open<frmAppun>(rig);
        QVERIFY(w);
        w->DBGrid1->setCurrentIndex(w->model().index(1, 3));
        QVERIFY(rig.file.removeAppointments(u"uno"_s));
        rig.window->heartbeat().tick();
        QCOMPARE(w->model().rowCount(), 1);
        QCOMPARE(w->model().index(0, 3).data().toString(), u"due"_s);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0); // still on "due"

        w->DBGrid1->edit(w->model().index(0, 3));
        QVERIFY(rig.file.addAppointment(Today, QTime(12, 0), u"tre"_s));
        rig.window->heartbeat().tick();
        QCOMPARE(w->model().rowCount(), 1);
        w->DBGrid1->setFocus(); // the editor closes
        QTRY_COMPARE(w->model().rowCount(), 2);
        QCOMPARE(w->model().index(1, 3).data().toString(), u"tre"_s);
    }

    void gridModelIsASoundItemModel()
    {
        AgendaTestData file;
        QVERIFY(file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        QVERIFY(file.addRawAppointment(QStringLiteral("non è una data"), QVariant(), QStringLiteral("rotto")));
        QVERIFY(file.addRawAppointment(
            QStringLiteral("2026-12-05T08:30:00"), QStringLiteral("1899-12-30T18:00:00"), QStringLiteral("con l'ora")));
        AgendaData data(file.path);
        QVERIFY(data.open());
        auto records = data.openRecordSet(QStringLiteral("Appuntamenti"));
        RecordSetModel model(*records,
            { { QStringLiteral("IDAppuntamento"), QStringLiteral("Id"), GridColumn::Kind::Key },
                { QStringLiteral("Ora"), QStringLiteral("Ora"), GridColumn::Kind::Time, 900 },
                { QStringLiteral("Data"), QStringLiteral("Data"), GridColumn::Kind::Date, 1470 },
                { QStringLiteral("Testo"), QStringLiteral("Testo"), GridColumn::Kind::Text, 3345 } });
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy written(&model, &RecordSetModel::rowWritten);

        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("⚠ ")); // no time stored
        QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("⚠ non è una data"));
        QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("⚠ 05/12/2026 08:30"));
        QVERIFY(model.index(1, 2).data(Qt::ToolTipRole).toString().contains(QStringLiteral("non sarà annunciata")));
        QCOMPARE(model.index(0, 2).data(Qt::ToolTipRole), QVariant());
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("09:05"));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QVERIFY(model.setData(model.index(1, 1), QTime(7, 45, 30)));
        QCOMPARE(model.index(1, 1).data(Qt::EditRole).toTime(), QTime(7, 45));
        QVERIFY(model.setData(model.index(0, 1), QTime(9, 5))); // unchanged: nothing written
        QCOMPARE(written.size(), 1);
        QVERIFY(records->moveTo(0));
        QCOMPARE(model.deleteCurrent(), RecordSetModel::Deletion::Deleted);
        QCOMPARE(model.deleteCurrent(), RecordSetModel::Deletion::NoCurrentRecord);
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(records->AddNew());
        QVERIFY(records->setValue(QStringLiteral("Testo"), QStringLiteral("nuovo")));
        QVERIFY(model.storeNew());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(2, 3).data().toString(), QStringLiteral("nuovo"));
    }
};

QTEST_MAIN(TestManagerWindows)
#include "TestManagerWindows.moc"
