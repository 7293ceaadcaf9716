// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QDateTime>
#include <QSqlDatabase>
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
    QString m_path;
    std::unique_ptr<AgendaData> m_data;

    static QString nome(const RecordSet& set) { return set.value(u"Nome"_s).toString(); }
    static void addNames(RecordSet& set, const QStringList& names)
    {
        for (const QString& name : names) {
            QVERIFY(set.AddNew());
            QVERIFY(set.setValue(u"Nome"_s, name));
            QVERIFY2(set.Update(), qPrintable(set.lastError()));
        }
        QVERIFY(set.Refresh());
    }
    // A second connection to the file, as another program would have.
    QSqlQuery raw()
    {
        if (!QSqlDatabase::contains(u"raw"_s)) {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
            db.setDatabaseName(m_path);
            db.open();
        }
        return QSqlQuery(QSqlDatabase::database(u"raw"_s));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QString error;
        m_path = DataFileFixture::create(m_dir.path(), &error);
        QVERIFY2(!m_path.isEmpty(), qPrintable(error));
        m_data = std::make_unique<AgendaData>(m_path);
        QVERIFY2(m_data->open(), qPrintable(m_data->errorText()));
    }
    void cleanup()
    {
        m_data.reset();
        QSqlDatabase::database(u"raw"_s, false).close();
        QSqlDatabase::removeDatabase(u"raw"_s);
    }

    void emptyTableOpensAtEof()
    {
        RecordSet& set = m_data->dtaAppun();
        QVERIFY(set.Eof());
        QCOMPARE(set.recordCount(), 0);
        QVERIFY(!set.MoveFirst());
        QVERIFY(!set.lastError().isEmpty());
        QVERIFY(!set.MoveNext());
        QVERIFY(!set.MovePrevious());
        bool ok = true;
        QVERIFY(!set.value(u"Testo"_s, &ok).isValid());
        QVERIFY(!ok);
        QVERIFY(!set.Edit());
        QVERIFY(!set.Delete());
        QVERIFY(!set.setValue(u"Testo"_s, u"x"_s));
        QVERIFY(set.Eof());
    }

    void walksInInsertionOrder()
    {
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Zeno"_s, u"Anna"_s, u"Mario"_s });
        QStringList seen;
        QVERIFY(set.MoveFirst());
        while (!set.Eof() && seen.size() < 4) {
            seen.append(nome(set));
            set.MoveNext();
        }
        QCOMPARE(seen, QStringList({ u"Zeno"_s, u"Anna"_s, u"Mario"_s }));
        QVERIFY(!set.MoveNext());
        for (int i = 0; i < 4; ++i)
            QVERIFY(set.MovePrevious());
        QCOMPARE(set.position(), RecordSet::Position::BeforeFirst);
        QVERIFY(!set.MovePrevious());
        QVERIFY(set.MoveNext());
        QCOMPARE(nome(set), u"Zeno"_s);
    }

    void otherRecordSetSeesChangesAfterItsRefresh()
    {
        std::unique_ptr<RecordSet> data1 = m_data->openRecordSet(u"Appuntamenti"_s);
        QVERIFY(data1);
        RecordSet& dtaAppun = m_data->dtaAppun();
        QVERIFY(data1->AddNew());
        QVERIFY(data1->setValue(u"Testo"_s, u"dentista"_s));
        QVERIFY(data1->Update());
        QCOMPARE(data1->recordCount(), 1);
        QCOMPARE(dtaAppun.recordCount(), 0);
        QVERIFY(dtaAppun.Refresh());
        QCOMPARE(dtaAppun.value(u"Testo"_s).toString(), u"dentista"_s);

        // A record deleted through one view can no longer be changed through the other.
        QVERIFY(data1->MoveFirst());
        QVERIFY(data1->Delete());
        QVERIFY(dtaAppun.Edit());
        QVERIFY(dtaAppun.setValue(u"Testo"_s, u"palestra"_s));
        QVERIFY(!dtaAppun.Update());
        QVERIFY(!dtaAppun.lastError().isEmpty());
        QVERIFY(dtaAppun.Refresh());
        QVERIFY(dtaAppun.Eof());
    }

    void storingNewRecordKeepsPreviousRecordCurrent()
    {
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Anna"_s, u"Bruno"_s });
        QVERIFY(set.MoveNext());
        QVERIFY(set.AddNew());
        bool ok = false;
        QVERIFY(set.value(u"Nome"_s, &ok).isNull()); // the bound fields show an empty record
        QVERIFY(ok);
        QVERIFY(set.setValue(u"Nome"_s, u"Carla"_s));
        QVERIFY(set.Update());
        QCOMPARE(set.editMode(), RecordSet::EditMode::None);
        QCOMPARE(nome(set), u"Bruno"_s);
        QCOMPARE(set.recordCount(), 3);
        QVERIFY(set.MoveNext());
        QCOMPARE(nome(set), u"Carla"_s);

        // Added to an empty table: the position stays at its end.
        RecordSet& appun = m_data->dtaAppun();
        QVERIFY(appun.AddNew());
        QVERIFY(appun.Update());
        QVERIFY(appun.Eof());
        QVERIFY(appun.MoveFirst());
        QVERIFY(appun.value(u"IDAppuntamento"_s).toLongLong() > 0);
    }

    void cancelUpdateStoresNothing()
    {
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Anna"_s });
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Nome"_s, u"Fantasma"_s));
        QVERIFY(set.CancelUpdate());
        QCOMPARE(nome(set), u"Anna"_s);
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
        QVERIFY(set.CancelUpdate());
        QCOMPARE(nome(set), u"Anna"_s);
        QVERIFY(!set.Update());
        // A move drops a pending edit too.
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
        QVERIFY(set.MoveFirst());
        QVERIFY(!set.Update());
        QVERIFY(set.Refresh());
        QCOMPARE(set.recordCount(), 1);
        QCOMPARE(nome(set), u"Anna"_s);
    }

    void deleteLeavesNoValidPosition()
    {
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Anna"_s, u"Bruno"_s, u"Carla"_s });
        QVERIFY(set.MoveNext());
        QVERIFY(set.Delete());
        QCOMPARE(set.position(), RecordSet::Position::Invalid);
        QVERIFY(!set.Eof());
        bool ok = true;
        set.value(u"Nome"_s, &ok);
        QVERIFY(!ok);
        QVERIFY(!set.Delete());
        QVERIFY(!set.Edit());
        QCOMPARE(set.recordCount(), 2);
        QVERIFY(set.MoveNext());
        QCOMPARE(nome(set), u"Carla"_s);
        QVERIFY(set.Delete());
        QVERIFY(set.MovePrevious());
        QCOMPARE(nome(set), u"Anna"_s);
        QVERIFY(set.Refresh());
        QCOMPARE(set.recordCount(), 1);
    }

    void sameNameEntriesAreStoredAndFoundInTurn()
    {
        RecordSet& set = m_data->dtaRubrica();
        for (const auto& [name, telefono] : { std::pair { u"Rossi"_s, u"111"_s }, std::pair { u"Bianchi"_s, u"222"_s },
                 std::pair { u"Rossi"_s, u"333"_s } }) {
            QVERIFY(set.AddNew());
            QVERIFY(set.setValue(u"Nome"_s, name));
            QVERIFY(set.setValue(u"Telefono"_s, telefono));
            QVERIFY(set.Update());
        }
        QVERIFY(set.Refresh());
        QCOMPARE(set.recordCount(), 3);
        const auto telefono = [&] {
            return set.value(u"Telefono"_s).toString();
        };
        const FieldEquals rossi { u"Nome"_s, u"ROSSI"_s };
        QVERIFY(set.FindFirst(rossi) && !set.NoMatch());
        QCOMPARE(telefono(), u"111"_s);
        QVERIFY(set.FindNext(rossi) && !set.NoMatch());
        QCOMPARE(telefono(), u"333"_s);
        QVERIFY(set.FindNext(rossi) && set.NoMatch()); // no wrapping to the start
        QCOMPARE(telefono(), u"333"_s);

        QVERIFY(!set.FindFirst({ u"Cognome"_s, u"Rossi"_s }));
        QVERIFY(set.NoMatch());
        QVERIFY(!set.lastError().isEmpty());
    }

    void findMatchesWholeNameIgnoringCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<bool>("found");
        QTest::newRow("other case") << u"Mario Rossi"_s << u"mARIO rOSSI"_s << true;
        QTest::newRow("part of the name") << u"Mario Rossi"_s << u"Mario"_s << false;
        QTest::newRow("trailing space") << u"Mario"_s << u"Mario "_s << false;
        QTest::newRow("apostrophe") << u"D'Angelo"_s << u"d'angelo"_s << true;
        QTest::newRow("accented capital") << u"Èlia"_s << u"èlia"_s << true;
        QTest::newRow("accented, all capitals") << u"NICOLÒ"_s << u"nicolò"_s << true;
        QTest::newRow("accent is not a plain letter") << u"Èlia"_s << u"Elia"_s << false;
        QTest::newRow("combining accent") << u"E\u0300lia"_s << u"èlia"_s << true;
        QTest::newRow("greek") << u"ΣΩΚΡΆΤΗΣ"_s << u"σωκράτησ"_s << true;
        QTest::newRow("percent is no wildcard") << u"Rossi"_s << u"R%"_s << false;
        QTest::newRow("underscore is no wildcard") << u"Rossi"_s << u"R_ssi"_s << false;
        QTest::newRow("quote is text") << u"x' OR '1'='1"_s << u"X' or '1'='1"_s << true;
        QTest::newRow("empty name") << u""_s << u""_s << true;
    }
    void findMatchesWholeNameIgnoringCase()
    {
        QFETCH(QString, stored);
        QFETCH(QString, searched);
        QFETCH(bool, found);
        RecordSet& set = m_data->dtaRubrica();
        addNames(set, { u"Primo"_s, stored, u"Ultimo"_s });
        QVERIFY(set.FindFirst({ u"Nome"_s, searched }));
        QCOMPARE(!set.NoMatch(), found);
        QCOMPARE(nome(set), found ? stored : u"Primo"_s); // no match: the position stays
    }

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
            QVERIFY(set.Update());
        }
        QVERIFY(set.Refresh());
        QCOMPARE(set.value(u"Data"_s), QVariant(QDateTime(today, QTime(0, 0))));
        QCOMPARE(set.value(u"Ora"_s).toDateTime().time(), QTime(15, 30));
        QVERIFY(set.MoveNext());
        // Today's date with a time of day is not today.
        QCOMPARE(set.value(u"Data"_s).typeId(), int(QMetaType::QDateTime));
        QVERIFY(set.value(u"Data"_s) != QVariant(QDateTime(today, QTime(0, 0))));
        QCOMPARE(set.value(u"Data"_s).toDateTime().time(), QTime(10, 30));
        QCOMPARE(set.value(u"Ora"_s).toDateTime().time(), QTime(9, 5));
        QVERIFY(set.MoveNext());
        QCOMPARE(set.value(u"Data"_s), QVariant(u"non è una data"_s));
        QVERIFY(!set.value(u"Ora"_s).toDateTime().isValid());

        // Other tools read plain ISO 8601 text.
        QSqlQuery query = raw();
        QVERIFY(query.exec(u"SELECT Data || ' ' || Ora FROM Appuntamenti ORDER BY IDAppuntamento LIMIT 2"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), u"2026-12-05T00:00:00 1899-12-30T15:30:00"_s);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), u"2026-12-05T10:30:00 1899-12-30T09:05:00"_s);
    }

    void awkwardTextIsStoredExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << u"l'ora \"giusta\" ''"_s;
        QTest::newRow("percent and underscore") << u"100% _sconto_"_s;
        QTest::newRow("backslashes") << u"C:\\dati\\n\\\\"_s;
        QTest::newRow("newlines and tab") << u"riga 1\nriga 2\r\n\tfine"_s;
        QTest::newRow("emoji") << u"compleanno 🎂👨‍👩‍👧"_s;
        QTest::newRow("sql") << u"'); DROP TABLE Rubrica; --"_s;
        QTest::newRow("10000 characters") << u"àbc'%\\"_s.repeated(2000);
        QTest::newRow("leading and trailing spaces") << u"  spazi  "_s;
    }
    void awkwardTextIsStoredExactly()
    {
        QFETCH(QString, text);
        RecordSet& set = m_data->dtaRubrica();
        QVERIFY(set.AddNew());
        for (const QString& field : { u"Nome"_s, u"Telefono"_s, u"Email"_s })
            QVERIFY(set.setValue(field, text));
        QVERIFY2(set.Update(), qPrintable(set.lastError()));

        // Read back through another record set, from the file.
        std::unique_ptr<RecordSet> other = m_data->openRecordSet(u"Rubrica"_s);
        QCOMPARE(other->recordCount(), 1);
        for (const QString& field : { u"Nome"_s, u"Telefono"_s, u"Email"_s })
            QCOMPARE(other->value(field).toString(), text);
        QVERIFY(other->FindFirst({ u"Nome"_s, text }) && !other->NoMatch());
        // The stored bytes, as sqlite3 would show them.
        QSqlQuery query = raw();
        QVERIFY(query.exec(u"SELECT hex(Nome), typeof(Email) FROM Rubrica"_s) && query.next());
        QCOMPARE(query.value(0).toString(), QString::fromLatin1(text.toUtf8().toHex().toUpper()));
        QCOMPARE(query.value(1).toString(), u"text"_s);
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
        QCOMPARE(set.recordCount(), 1);
        QCOMPARE(nome(set), u"Anna"_s);

        QVERIFY(query.exec(u"DROP TABLE Rubrica"_s));
        QVERIFY(!set.Refresh());
        QVERIFY(!set.lastError().isEmpty());
        QCOMPARE(nome(set), u"Anna"_s);
    }
};

QTEST_GUILESS_MAIN(TestRecordSet)
#include "TestRecordSet.moc"
