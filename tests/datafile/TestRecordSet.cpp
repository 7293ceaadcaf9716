// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestRecordSet : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<AgendaData> m_data;

    static QString nome(const RecordSet& set) { return set.value(u"Nome"_s).toString(); }
    static void addNames(RecordSet& set, const QStringList& names)
    {
        for (const QString& name : names) {
            QVERIFY2(set.AddNew(), qPrintable(name));
            QVERIFY2(set.setValue(u"Nome"_s, name), qPrintable(name));
            QVERIFY2(set.Update(), qPrintable(set.lastError()));
        }
        QVERIFY(set.Refresh());
    }
    static QStringList names(const RecordSet& set)
    {
        QStringList names;
        for (int i = 0; i < set.recordCount(); ++i)
            names.append(set.valueAt(i, u"Nome"_s).toString());
        return names;
    }
    // Plain SQL on the file, as another tool would run it.
    static QSqlQuery raw()
    {
        return QSqlQuery(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).value(0)));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_data = std::make_unique<AgendaData>(DataFileFixture::create(m_dir.path()));
        QVERIFY2(m_data->open(), qPrintable(m_data->errorText()));
    }
    void cleanup() { m_data.reset(); }

    void movesAndEditsOneRecordAtATime()
    {
        RecordSet& set = m_data->dtaRubrica();
        bool ok = true;
        // Empty: at its end, and every move or change fails with a reason.
        QVERIFY(set.Eof());
        QCOMPARE(set.recordCount(), 0);
        QVERIFY(!set.MoveFirst());
        QVERIFY(!set.lastError().isEmpty());
        QVERIFY(!set.MoveNext());
        QVERIFY(!set.MovePrevious());
        QVERIFY(!set.Edit());
        QVERIFY(!set.Delete());
        QVERIFY(!set.setValue(u"Nome"_s, u"x"_s));
        QVERIFY(!set.value(u"Nome"_s, &ok).isValid());
        QVERIFY(!ok);
        QVERIFY(set.Eof());

        addNames(set, { u"Zeno"_s, u"Anna"_s, u"Mario"_s });
        QStringList walked;
        for (bool more = set.MoveFirst(); more && !set.Eof(); more = set.MoveNext())
            walked.append(nome(set));
        QCOMPARE(walked, names(set));
        QCOMPARE(names(set), QStringList({ u"Zeno"_s, u"Anna"_s, u"Mario"_s }));
        QVERIFY(set.Eof());
        QVERIFY(!set.MoveNext());
        for (int i = 0; i < 4; ++i)
            QVERIFY(set.MovePrevious());
        QCOMPARE(set.position(), RecordSet::Position::BeforeFirst);
        QVERIFY(!set.MovePrevious());
        QVERIFY(set.MoveNext());
        QVERIFY(set.MoveNext());
        QCOMPARE(nome(set), u"Anna"_s);

        // A new record starts empty and joins the end; the record current before is current again.
        QVERIFY(set.AddNew());
        QVERIFY(set.value(u"Nome"_s, &ok).isNull());
        QVERIFY(ok);
        QVERIFY(set.setValue(u"Nome"_s, u"Carla"_s));
        QVERIFY(set.Update());
        QCOMPARE(set.editMode(), RecordSet::EditMode::None);
        QCOMPARE(nome(set), u"Anna"_s);
        QCOMPARE(set.recordCount(), 4);
        // Cancelled, or left by a move, an edit stores nothing.
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
        QVERIFY(set.CancelUpdate());
        QVERIFY(!set.Update());
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
        QVERIFY(set.MoveNext());
        QVERIFY(!set.Update());
        // After a delete there is no current record until the next move, which goes on from there.
        QVERIFY(set.Delete());
        QCOMPARE(set.position(), RecordSet::Position::Invalid);
        QVERIFY(!set.Eof());
        QVERIFY(!set.value(u"Nome"_s, &ok).isValid());
        QVERIFY(!ok);
        QVERIFY(!set.Delete());
        QVERIFY(!set.Edit());
        QVERIFY(set.MoveNext());
        QCOMPARE(nome(set), u"Carla"_s);
        QVERIFY(set.Delete());
        QVERIFY(set.MovePrevious());
        QCOMPARE(nome(set), u"Anna"_s);
        QVERIFY(set.Refresh());
        QCOMPARE(names(set), QStringList({ u"Zeno"_s, u"Anna"_s }));

        // Added to an empty table, a record gets its key and the position stays at the end. Another
        // record set (a manager window's) sees it after its Refresh; deleted there, it can no longer
        // be changed here.
        RecordSet& appun = m_data->dtaAppun();
        std::unique_ptr<RecordSet> data1 = m_data->openRecordSet(u"Appuntamenti"_s);
        QVERIFY(data1);
        QVERIFY(data1->AddNew());
        QVERIFY(data1->setValue(u"Testo"_s, u"dentista"_s));
        QVERIFY2(data1->Update(), qPrintable(data1->lastError()));
        QVERIFY(data1->Eof());
        QCOMPARE(appun.recordCount(), 0);
        QVERIFY(appun.Refresh());
        QCOMPARE(appun.value(u"Testo"_s).toString(), u"dentista"_s);
        QCOMPARE_GT(appun.value(u"IDAppuntamento"_s).toLongLong(), 0);
        QVERIFY(data1->MoveFirst());
        QVERIFY(data1->Delete());
        QVERIFY(appun.Edit());
        QVERIFY(appun.setValue(u"Testo"_s, u"palestra"_s));
        QVERIFY(!appun.Update());
        QVERIFY(!appun.lastError().isEmpty());
        QVERIFY(appun.Refresh());
        QVERIFY(appun.Eof());
    }

    // Stored exactly, as UTF-8 text. A search matches the whole value, case ignored across Unicode,
    // never as SQL or a pattern; same names are found in turn, not wrapping; no match, no move.
    void storesAndFindsAnyText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<bool>("found");
        QTest::newRow("other case") << u"Mario Rossi"_s << u"mARIO rOSSI"_s << true;
        QTest::newRow("part of the name") << u"Mario Rossi"_s << u"Mario"_s << false;
        QTest::newRow("trailing space") << u"Mario"_s << u"Mario "_s << false;
        QTest::newRow("apostrophe") << u"D'Angelo"_s << u"d'angelo"_s << true;
        QTest::newRow("accented capital") << u"Èlia"_s << u"èlia"_s << true;
        QTest::newRow("accent is not a plain letter") << u"Èlia"_s << u"Elia"_s << false;
        QTest::newRow("combining accent") << u"E\u0300lia"_s << u"èlia"_s << true;
        QTest::newRow("greek") << u"ΣΩΚΡΆΤΗΣ"_s << u"σωκράτησ"_s << true;
        QTest::newRow("no wildcards") << u"Rossi"_s << u"R%_i"_s << false;
        QTest::newRow("empty name") << u""_s << u""_s << true;
        for (const QString& text : { u"'); DROP TABLE Rubrica; --"_s, u"riga 1\nriga 2\r\n\tfine"_s,
                 u"compleanno 🎂👨‍👩‍👧"_s, u"  spazi  "_s, u"àbc'%\\"_s.repeated(2000) })
            QTest::newRow(qPrintable(text.left(12))) << text << text << true;
    }
    void storesAndFindsAnyText()
    {
        QFETCH(QString, stored);
        QFETCH(QString, searched);
        QFETCH(bool, found);
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Primo"_s, stored, u"Mezzo"_s, stored });
        QCOMPARE(names(set), QStringList({ u"Primo"_s, stored, u"Mezzo"_s, stored }));
        QSqlQuery query = raw();
        QVERIFY(query.exec(u"SELECT hex(Nome), typeof(Nome) FROM Rubrica WHERE IDRubrica = 2"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QString::fromLatin1(stored.toUtf8().toHex().toUpper()));
        QCOMPARE(query.value(1).toString(), u"text"_s);
        query.finish();

        const FieldEquals criterion { u"Nome"_s, searched };
        QVERIFY(set.FindFirst(criterion));
        QCOMPARE(set.NoMatch(), !found);
        QCOMPARE(set.currentIndex(), found ? 1 : 0);
        if (found) {
            QVERIFY(set.FindNext(criterion));
            QVERIFY(!set.NoMatch());
            QCOMPARE(set.currentIndex(), 3);
            QVERIFY(set.FindNext(criterion));
            QVERIFY(set.NoMatch());
            QCOMPARE(set.currentIndex(), 3);
        }
        QVERIFY(!set.FindFirst({ u"Cognome"_s, searched }));
        QVERIFY(set.NoMatch());
        QVERIFY(!set.lastError().isEmpty());
    }

    // Stored as ISO 8601 text that other tools read; a value that is no date is handed out as it is.
    void dateTimesKeepTheirTimeOfDay()
    {
        const QDate today(2026, 12, 5);
        RecordSet& set = m_data->dtaAppun();
        const QList<std::pair<QVariant, QVariant>> rows { { QDateTime(today, QTime(0, 0)), QTime(15, 30) },
            { QDateTime(today, QTime(10, 30)), QDateTime(QDate(1899, 12, 30), QTime(9, 5)) },
            { u"non è una data"_s, QVariant() } };
        for (const auto& [data, ora] : rows) {
            QVERIFY(set.AddNew());
            QVERIFY(set.setValue(u"Data"_s, data));
            QVERIFY(set.setValue(u"Ora"_s, ora));
            QVERIFY2(set.Update(), qPrintable(set.lastError()));
        }
        QVERIFY(set.Refresh());
        QCOMPARE(set.value(u"Data"_s), QVariant(QDateTime(today, QTime(0, 0))));
        QCOMPARE(set.value(u"Ora"_s).toDateTime().time(), QTime(15, 30));
        QCOMPARE(set.valueAt(1, u"Data"_s), QVariant(QDateTime(today, QTime(10, 30))));
        QCOMPARE(set.valueAt(2, u"Data"_s), QVariant(u"non è una data"_s));
        QVERIFY(!set.valueAt(2, u"Ora"_s).toDateTime().isValid());
        QSqlQuery query = raw();
        QVERIFY(query.exec(u"SELECT group_concat(Data || ' ' || Ora, ', ') FROM Appuntamenti"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(),
            u"2026-12-05T00:00:00 1899-12-30T15:30:00, 2026-12-05T10:30:00 1899-12-30T09:05:00"_s);
    }

    // Failures are reported, and what was read stays readable.
    void failuresAreReportedNotHidden()
    {
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Anna"_s });
        QString error;
        QVERIFY(!m_data->openRecordSet(u"Nessuna"_s, &error));
        QVERIFY(error.contains(u"Nessuna"_s));
        QSqlQuery query = raw();
        for (const char* when : { "INSERT", "UPDATE", "DELETE" })
            QVERIFY(query.exec(
                u"CREATE TRIGGER no_%1 BEFORE %1 ON Rubrica BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s.arg(
                    QLatin1String(when))));
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Nome"_s, u"Bruno"_s));
        QVERIFY(!set.Update());
        QVERIFY2(set.lastError().contains(u"rifiutato"_s), qPrintable(set.lastError()));
        QCOMPARE(set.editMode(), RecordSet::EditMode::New); // still there to be cancelled
        QVERIFY(set.CancelUpdate());
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Bruno"_s));
        QVERIFY(!set.Update());
        QVERIFY(set.CancelUpdate());
        QVERIFY(!set.Delete());
        QCOMPARE(set.position(), RecordSet::Position::OnRecord);
        QVERIFY(set.Refresh());
        QCOMPARE(names(set), QStringList { u"Anna"_s });
        QVERIFY(query.exec(u"DROP TABLE Rubrica"_s));
        QVERIFY(!set.Refresh());
        QVERIFY(!set.lastError().isEmpty());
        QCOMPARE(nome(set), u"Anna"_s);
    }
};

QTEST_GUILESS_MAIN(TestRecordSet)
#include "TestRecordSet.moc"
