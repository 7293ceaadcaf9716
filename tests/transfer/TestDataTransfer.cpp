// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeTransferDialogs.h"
#include "SpeechRig.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "datafile/AgendaData.h"
#include "transfer/DataTransfer.h"
#include "transfer/TransferDialogs.h"

#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TransferDialogs::Export)

namespace {
const QDateTime Now(QDate(2026, 12, 5), QTime(9, 5));

// Stand-ins for the two formats: each file's rows are set by the test, keyed by the file's name;
// a reader can be held until the test lets it go, or until the import is cancelled.
struct Formats
{
    std::mutex lock;
    QHash<QString, TransferRows> rows;
    std::atomic<bool> hold { false };
    std::atomic<int> reads { 0 };
    QDate today;
    // What the export was given.
    QString writtenPath;
    QList<AppointmentRow> appointments;
    QList<ReminderRow> reminders;
    QList<ContactRow> contacts;
    QString writeError; // a write fails with it

    TransferRows read(const QString& path, const ReadControl& control)
    {
        ++reads;
        while (hold && !control.cancelled())
            QThread::yieldCurrentThread();
        if (control.cancelled()) {
            TransferRows cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        std::lock_guard guard(lock);
        return rows.value(QFileInfo(path).fileName());
    }
    bool write(const QString& path, QString* error)
    {
        writtenPath = path;
        if (!writeError.isEmpty())
            *error = writeError;
        return writeError.isEmpty();
    }
    TransferFormats formats()
    {
        return { { [this](const QString& path, const QDate& day, const ReadControl& control) {
                      today = day;
                      return read(path, control);
                  },
                     [this](const QString& path, const ReadControl& control) {
                         return read(path, control);
                     } },
            [this](const QString& path, const QList<AppointmentRow>& a, const QList<ReminderRow>& r, const QDate&,
                QString* error) {
                appointments = a;
                reminders = r;
                return write(path, error);
            },
            [this](const QString& path, const QList<ContactRow>& c, QString* error) {
                contacts = c;
                return write(path, error);
            } };
    }
};

int count(const AgendaTestData& file, const char* table)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"count"_s);
        db.setDatabaseName(file.path);
        db.open();
        QSqlQuery query(db);
        if (query.exec(u"SELECT count(*) FROM "_s + QLatin1String(table)) && query.next())
            n = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(u"count"_s);
    return n;
}

// The transfer behind a window, over a fresh data file, with the stand-in formats and dialogs.
struct Rig
{
    Rig()
    {
        settings.save(u"Leggi errore"_s, u"1"_s);
        data.open();
        transfer = std::make_unique<DataTransfer>(
            window, DataTransfer::Services { alert, clock, data, dialogs, formats.formats() }, [this] { ++written; });
    }
    ~Rig() { transfer.reset(); }

    QProgressDialog* progress() const { return window.findChild<QProgressDialog*>(); }
    bool idle() const { return !transfer->busy(); }

    QTemporaryDir dir;
    AgendaTestData file;
    SettingsStore settings { dir.filePath(u"Vespelinda.conf"_s) };
    FakeClock clock { Now };
    SpeechRig speech;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    AgendaData data { file.path };
    FakeTransferDialogs dialogs;
    Formats formats;
    QWidget window;
    std::unique_ptr<DataTransfer> transfer;
    int written = 0;
};

TransferRows appointments(int n)
{
    TransferRows rows;
    for (int i = 0; i < n; ++i)
        rows.appointments.append({ Now.date(), QTime(10, i), u"appuntamento %1"_s.arg(i) });
    return rows;
}
} // namespace

class TestDataTransfer : public QObject
{
    Q_OBJECT

private slots:
    // "Importa...": the files picked are read by their kind, stored together, the window told,
    // and the outcome said and shown.
    void importChosenFiles()
    {
        Rig rig;
        TransferRows calendar = appointments(2);
        calendar.allDay = 1;
        TransferRows contacts;
        contacts.contacts = { { u"Mario Rossi"_s, u"06 1234"_s, QString() } };
        rig.formats.rows = { { u"agenda.ics"_s, calendar }, { u"rubrica.vcf"_s, contacts } };
        rig.dialogs.filesToOpen = { rig.dir.filePath(u"agenda.ics"_s), rig.dir.filePath(u"rubrica.vcf"_s) };
        rig.transfer->importChosen();

        QCOMPARE(rig.dialogs.opened.size(), 1);
        QCOMPARE(rig.dialogs.opened[0].filters,
            QStringList({ u"Calendari e rubriche (*.ics *.vcf *.vcard)"_s, u"Calendario (*.ics)"_s,
                u"Rubrica (*.vcf *.vcard)"_s }));
        QTRY_COMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text,
            u"Ho importato 2 appuntamenti e 1 contatto. 1 appuntamento di tutto il giorno è alle 9."_s);
        QCOMPARE(rig.boxes.shown[0].style, int(MessageBoxService::Information));
        QVERIFY(!rig.progress()); // quick: no progress shown
        QCOMPARE(rig.formats.today, Now.date());
        QCOMPARE(rig.written, 1);
        QCOMPARE(count(rig.file, "Appuntamenti"), 2);
        QCOMPARE(count(rig.file, "Rubrica"), 1);
        QVERIFY(rig.speech.synthesisCaughtUp());
        QCOMPARE(rig.speech.spoken().size(), 1); // "Leggi errore" is on: the outcome is said too
        QVERIFY(rig.idle());

        // The same again: nothing new, and the window is not asked to read anything.
        rig.transfer->importFiles(rig.dialogs.filesToOpen);
        QTRY_COMPARE(rig.boxes.shown.size(), 2);
        QCOMPARE(rig.boxes.shown[1].text,
            u"Nessun dato nuovo: 3 erano già presenti. 1 appuntamento di tutto il giorno è alle 9."_s);
        QCOMPARE(rig.written, 1);
    }

    // A file of no known kind, or one its reader refuses, is named in the box; the others are
    // imported.
    void aRefusedFileIsNamed()
    {
        Rig rig;
        TransferRows broken;
        broken.error = u"Il file rotto.ics è danneggiato."_s;
        rig.formats.rows = { { u"rotto.ics"_s, broken }, { u"buono.ics"_s, appointments(1) } };
        const QString other = rig.dir.filePath(u"lettera.txt"_s);
        QFile text(other);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Cara Anna,\n");
        text.close();
        rig.transfer->importFiles({ rig.dir.filePath(u"rotto.ics"_s), other, rig.dir.filePath(u"buono.ics"_s) });
        QTRY_COMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text,
            u"Ho importato 1 appuntamento.\n\nIl file rotto.ics è danneggiato.\n\nIl file "_s + other
                + u" non è un calendario (.ics) né una rubrica (.vcf, .vcard)."_s);
        QCOMPARE(rig.boxes.shown[0].style, int(MessageBoxService::Exclamation));
        QCOMPARE(count(rig.file, "Appuntamenti"), 1);
    }

    // An import that lasts shows its progress after a second, and can be cancelled there: nothing
    // is stored, and the window is not asked to read anything.
    void progressShownAndCancelled()
    {
        Rig rig;
        rig.formats.rows = { { u"lungo.ics"_s, appointments(5) } };
        rig.formats.hold = true;
        QElapsedTimer since;
        since.start();
        rig.transfer->importFiles({ rig.dir.filePath(u"lungo.ics"_s) });
        QVERIFY(!rig.idle());
        QTRY_VERIFY(rig.progress() && rig.progress()->isVisible());
        QVERIFY(since.elapsed() >= DataTransfer::ProgressAfterMs);
        QCOMPARE(rig.progress()->labelText(), u"Importo i dati..."_s);
        QCOMPARE(rig.progress()->windowModality(), Qt::WindowModal);
        QPushButton* cancel = rig.progress()->findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), u"Annulla"_s);
        cancel->click();
        QTRY_COMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text, u"Ho annullato l'importazione: non ho salvato nulla."_s);
        QTRY_VERIFY(!rig.progress());
        QCOMPARE(count(rig.file, "Appuntamenti"), 0);
        QCOMPARE(rig.written, 0);
        QVERIFY(rig.idle());
    }

    // Files that come while an import is under way (a drop, a later start) follow it.
    void filesWaitForTheImportUnderWay()
    {
        Rig rig;
        TransferRows contacts;
        contacts.contacts = { { u"Anna"_s, u"1"_s, QString() } };
        rig.formats.rows = { { u"primo.ics"_s, appointments(2) }, { u"secondo.vcf"_s, contacts } };
        rig.formats.hold = true;
        QSignalSpy busy(rig.transfer.get(), &DataTransfer::busyChanged);
        rig.transfer->importFiles({ rig.dir.filePath(u"primo.ics"_s) });
        QTRY_COMPARE(rig.formats.reads.load(), 1);
        rig.transfer->importFiles({ rig.dir.filePath(u"secondo.vcf"_s) });
        rig.formats.hold = false;
        QTRY_COMPARE(rig.boxes.shown.size(), 2);
        QCOMPARE(rig.boxes.shown[0].text, u"Ho importato 2 appuntamenti."_s);
        QCOMPARE(rig.boxes.shown[1].text, u"Ho importato 1 contatto."_s);
        QCOMPARE(busy.size(), 2); // busy from the first start to the second's end
        QCOMPARE(busy[0][0].toBool(), true);
        QCOMPARE(busy[1][0].toBool(), false);
    }

    // "Esporta...": what, then where; the agenda from today on, or the address book, written off
    // the user-interface thread, and the outcome told with the file's name.
    void exportChosen_data()
    {
        QTest::addColumn<TransferDialogs::Export>("choice");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("writeError");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("box");
        QTest::newRow("agenda") << TransferDialogs::Export::Calendar << u"agenda"_s << QString() << u"agenda.ics"_s
                                << u"Ho esportato 2 appuntamenti e 1 promemoria in agenda.ics."_s;
        QTest::newRow("address book") << TransferDialogs::Export::Contacts << u"amici.vcf"_s << QString()
                                      << u"amici.vcf"_s << u"Ho esportato 2 contatti in amici.vcf."_s;
        QTest::newRow("refused") << TransferDialogs::Export::Contacts << u"amici"_s
                                 << u"Il file amici.vcf non si può scrivere."_s << u"amici.vcf"_s
                                 << u"Non ho esportato nulla. Il file amici.vcf non si può scrivere."_s;
        QTest::newRow("nothing chosen") << TransferDialogs::Export::Nothing << u"agenda"_s << QString() << QString()
                                        << QString();
        QTest::newRow("no file chosen") << TransferDialogs::Export::Calendar << QString() << QString() << QString()
                                        << QString();
    }
    void exportChosen()
    {
        QFETCH(TransferDialogs::Export, choice);
        QFETCH(QString, typed);
        QFETCH(QString, writeError);
        QFETCH(QString, saved);
        QFETCH(QString, box);
        Rig rig;
        QVERIFY(rig.file.addAppointment(Now.date().addDays(-1), QTime(9, 0), u"ieri"_s));
        QVERIFY(rig.file.addAppointment(Now.date(), QTime(8, 0), u"oggi, già passato"_s));
        QVERIFY(rig.file.addAppointment(Now.date().addDays(30), QTime(17, 45), u"fra un mese"_s));
        QVERIFY(rig.file.addRawAppointment(u"domani"_s, u"1899-12-30T10:00:00"_s, u"data illeggibile"_s));
        QVERIFY(rig.file.addReminder(QTime(20, 0), u"medicina"_s));
        QVERIFY(rig.file.addEntry(u"Mario Rossi"_s, u"06 1234"_s, u"mario@example.it"_s));
        QVERIFY(rig.file.addEntry(u"Anna"_s, QString(), QString()));
        QVERIFY(rig.data.dtaAppun().Refresh() && rig.data.dtaProm().Refresh() && rig.data.dtaRubrica().Refresh());
        rig.dialogs.choice = choice;
        rig.dialogs.fileToSave = typed.isEmpty() ? QString() : rig.dir.filePath(typed);
        rig.formats.writeError = writeError;

        rig.transfer->exportChosen();
        QCOMPARE(rig.dialogs.choices, 1);
        QCOMPARE(rig.dialogs.saved.size(), choice == TransferDialogs::Export::Nothing ? 0 : 1);
        if (box.isEmpty()) {
            QVERIFY(rig.idle());
            QCOMPARE(rig.formats.writtenPath, QString());
            QCOMPARE(rig.boxes.shown.size(), 0);
            return;
        }
        const bool calendar = choice == TransferDialogs::Export::Calendar;
        QCOMPARE(
            rig.dialogs.saved[0].filters, QStringList({ calendar ? u"Calendario (*.ics)"_s : u"Rubrica (*.vcf)"_s }));
        QTRY_COMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text, box);
        QCOMPARE(rig.boxes.shown[0].style,
            int(writeError.isEmpty() ? MessageBoxService::Information : MessageBoxService::Exclamation));
        QCOMPARE(rig.formats.writtenPath, rig.dir.filePath(saved));
        if (calendar) {
            QCOMPARE(rig.formats.appointments,
                QList<AppointmentRow>({ { Now.date(), QTime(8, 0), u"oggi, già passato"_s },
                    { Now.date().addDays(30), QTime(17, 45), u"fra un mese"_s } }));
            QCOMPARE(rig.formats.reminders, QList<ReminderRow>({ { QTime(20, 0), u"medicina"_s } }));
        } else {
            QCOMPARE(rig.formats.contacts,
                QList<ContactRow>({ { u"Mario Rossi"_s, u"06 1234"_s, u"mario@example.it"_s },
                    { u"Anna"_s, QString(), QString() } }));
        }
        QVERIFY(rig.idle());
    }

    // Nothing to export: said at once, no file asked for.
    void nothingToExport()
    {
        Rig rig;
        rig.dialogs.choice = TransferDialogs::Export::Contacts;
        rig.dialogs.fileToSave = rig.dir.filePath(u"rubrica.vcf"_s);
        rig.transfer->exportChosen();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text, u"Non c'è nulla da esportare: la rubrica è vuota."_s);
        QCOMPARE(rig.dialogs.saved.size(), 0);
        QCOMPARE(rig.formats.writtenPath, QString());
    }
};

QTEST_MAIN(TestDataTransfer)
#include "TestDataTransfer.moc"
