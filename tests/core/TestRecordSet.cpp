// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "core/AgendaData.h"

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

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyTableOpensAtEof();
    void walksInInsertionOrder();
    void otherRecordSetSeesChangesAfterItsRefresh();
    void storingNewRecordKeepsPreviousRecordCurrent();
    void cancelUpdateStoresNothing();
    void deleteLeavesNoValidPosition();
    void sameNameEntriesAreStoredAndFoundInTurn();
    void findMatchesWholeNameIgnoringCase_data();
    void findMatchesWholeNameIgnoringCase();
    void dateTimesKeepTheirTimeOfDay();
    void awkwardTextIsStoredExactly_data();
    void awkwardTextIsStoredExactly();
    void refreshFailsOnMissingTable();
    void changeRefusedByTheDatabaseIsReported();

private:
    void addName(RecordSet& set, const QString& nome);
    QString storedHex(const QString& sql);
    QSqlDatabase raw();

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<AgendaData> m_data;
};

void TestRecordSet::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestRecordSet::init()
{
    QString error;
    m_path = DataFileFixture::create(m_dir.path(), &error);
    QVERIFY2(!m_path.isEmpty(), qPrintable(error));
    m_data = std::make_unique<AgendaData>(m_path);
    QVERIFY2(m_data->open(), qPrintable(m_data->errorText()));
}

void TestRecordSet::cleanup()
{
    m_data.reset();
    if (QSqlDatabase::contains(u"raw"_s)) {
        QSqlDatabase::database(u"raw"_s).close();
        QSqlDatabase::removeDatabase(u"raw"_s);
    }
}

// A second connection to the file, as another program would have.
QSqlDatabase TestRecordSet::raw()
{
    if (!QSqlDatabase::contains(u"raw"_s)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(m_path);
        db.open();
    }
    return QSqlDatabase::database(u"raw"_s);
}

void TestRecordSet::addName(RecordSet& set, const QString& nome)
{
    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Nome"_s, nome));
    QVERIFY2(set.Update(), qPrintable(set.lastError()));
}

// What sqlite3 would show for a query: the stored bytes, in hex.
QString TestRecordSet::storedHex(const QString& sql)
{
    QSqlQuery query(raw());
    if (!query.exec(sql) || !query.next())
        return u"<no row>"_s;
    return query.value(0).toString();
}

void TestRecordSet::emptyTableOpensAtEof()
{
    RecordSet& set = m_data->dtaAppun();
    QVERIFY(set.Eof());
    QCOMPARE(set.position(), RecordSet::Position::AtEof);
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

void TestRecordSet::walksInInsertionOrder()
{
    RecordSet& set = m_data->dtaRubrica();
    for (const QString& nome : { u"Zeno"_s, u"Anna"_s, u"Mario"_s })
        addName(set, nome);
    QVERIFY(set.Refresh());
    QCOMPARE(set.position(), RecordSet::Position::OnRecord);

    QStringList seen;
    QVERIFY(set.MoveFirst());
    while (!set.Eof()) {
        seen.append(set.value(u"Nome"_s).toString());
        QVERIFY(set.MoveNext());
    }
    QCOMPARE(seen, QStringList({ u"Zeno"_s, u"Anna"_s, u"Mario"_s }));
    QVERIFY(!set.MoveNext());

    QVERIFY(set.MovePrevious());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Mario"_s);
    QVERIFY(set.MovePrevious());
    QVERIFY(set.MovePrevious());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Zeno"_s);
    QVERIFY(set.MovePrevious());
    QCOMPARE(set.position(), RecordSet::Position::BeforeFirst);
    bool ok = true;
    set.value(u"Nome"_s, &ok);
    QVERIFY(!ok);
    QVERIFY(!set.MovePrevious());
    QVERIFY(set.MoveNext());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Zeno"_s);
}

void TestRecordSet::otherRecordSetSeesChangesAfterItsRefresh()
{
    QString error;
    std::unique_ptr<RecordSet> data1 = m_data->openRecordSet(u"Appuntamenti"_s, &error);
    QVERIFY2(data1, qPrintable(error));
    RecordSet& dtaAppun = m_data->dtaAppun();

    QVERIFY(data1->AddNew());
    QVERIFY(data1->setValue(u"Testo"_s, u"dentista"_s));
    QVERIFY(data1->Update());
    QCOMPARE(data1->recordCount(), 1);
    QCOMPARE(dtaAppun.recordCount(), 0);
    QVERIFY(dtaAppun.Eof());

    QVERIFY(dtaAppun.Refresh());
    QCOMPARE(dtaAppun.recordCount(), 1);
    QCOMPARE(dtaAppun.value(u"Testo"_s).toString(), u"dentista"_s);

    QVERIFY(data1->MoveFirst());
    QVERIFY(data1->Edit());
    QVERIFY(data1->setValue(u"Testo"_s, u"medico"_s));
    QVERIFY(data1->Update());
    QCOMPARE(dtaAppun.value(u"Testo"_s).toString(), u"dentista"_s);
    QVERIFY(dtaAppun.Refresh());
    QCOMPARE(dtaAppun.value(u"Testo"_s).toString(), u"medico"_s);

    // A record deleted through one view can no longer be changed through the other.
    QVERIFY(data1->Delete());
    QVERIFY(dtaAppun.Edit());
    QVERIFY(dtaAppun.setValue(u"Testo"_s, u"palestra"_s));
    QVERIFY(!dtaAppun.Update());
    QVERIFY(!dtaAppun.lastError().isEmpty());
    QVERIFY(dtaAppun.Refresh());
    QVERIFY(dtaAppun.Eof());
}

void TestRecordSet::storingNewRecordKeepsPreviousRecordCurrent()
{
    RecordSet& set = m_data->dtaRubrica();
    addName(set, u"Anna"_s);
    addName(set, u"Bruno"_s);
    QVERIFY(set.Refresh());
    QVERIFY(set.MoveNext());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Bruno"_s);

    QVERIFY(set.AddNew());
    QCOMPARE(set.editMode(), RecordSet::EditMode::New);
    bool ok = false;
    QVERIFY(set.value(u"Nome"_s, &ok).isNull()); // the bound fields show an empty record
    QVERIFY(ok);
    QVERIFY(set.setValue(u"Nome"_s, u"Carla"_s));
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Carla"_s);
    QVERIFY(set.Update());
    QCOMPARE(set.editMode(), RecordSet::EditMode::None);
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Bruno"_s);
    QCOMPARE(set.recordCount(), 3);
    QCOMPARE(set.valueAt(2, u"Nome"_s).toString(), u"Carla"_s);
    QVERIFY(set.MoveNext());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Carla"_s);

    // The database gives the new appointment its key.
    RecordSet& appun = m_data->dtaAppun();
    QVERIFY(appun.AddNew());
    QVERIFY(appun.setValue(u"Testo"_s, u"riunione"_s));
    QVERIFY(appun.Update());
    QVERIFY(appun.Eof());
    QVERIFY(appun.MoveFirst());
    const qint64 key = appun.value(u"IDAppuntamento"_s).toLongLong();
    QVERIFY(key > 0);
    QVERIFY(appun.AddNew());
    QVERIFY(appun.Update());
    QVERIFY(appun.valueAt(1, u"IDAppuntamento"_s).toLongLong() > key);
}

void TestRecordSet::cancelUpdateStoresNothing()
{
    RecordSet& set = m_data->dtaRubrica();
    addName(set, u"Anna"_s);
    QVERIFY(set.Refresh());

    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Nome"_s, u"Fantasma"_s));
    QVERIFY(set.CancelUpdate());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);

    QVERIFY(set.Edit());
    QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Annamaria"_s);
    QVERIFY(set.CancelUpdate());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);
    QVERIFY(!set.CancelUpdate());
    QVERIFY(!set.Update());

    // A move drops a pending edit too.
    QVERIFY(set.Edit());
    QVERIFY(set.setValue(u"Nome"_s, u"Annamaria"_s));
    QVERIFY(set.MoveFirst());
    QVERIFY(!set.Update());

    QVERIFY(set.Refresh());
    QCOMPARE(set.recordCount(), 1);
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);
}

void TestRecordSet::deleteLeavesNoValidPosition()
{
    RecordSet& set = m_data->dtaRubrica();
    for (const QString& nome : { u"Anna"_s, u"Bruno"_s, u"Carla"_s })
        addName(set, nome);
    QVERIFY(set.Refresh());
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
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Carla"_s);
    QVERIFY(set.Delete());
    QVERIFY(set.MovePrevious());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);
    QVERIFY(set.Delete());
    QVERIFY(set.MoveNext());
    QVERIFY(set.Eof());

    QVERIFY(set.Refresh());
    QCOMPARE(set.recordCount(), 0);
}

void TestRecordSet::sameNameEntriesAreStoredAndFoundInTurn()
{
    RecordSet& set = m_data->dtaRubrica();
    const struct
    {
        QString nome, telefono;
    } entries[] = { { u"Rossi"_s, u"111"_s }, { u"Bianchi"_s, u"222"_s }, { u"Rossi"_s, u"333"_s } };
    for (const auto& e : entries) {
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Nome"_s, e.nome));
        QVERIFY(set.setValue(u"Telefono"_s, e.telefono));
        QVERIFY(set.Update());
    }
    QVERIFY(set.Refresh());
    QCOMPARE(set.recordCount(), 3);

    const FieldEquals rossi { u"Nome"_s, u"ROSSI"_s };
    QVERIFY(set.FindFirst(rossi));
    QVERIFY(!set.NoMatch());
    QCOMPARE(set.value(u"Telefono"_s).toString(), u"111"_s);
    QVERIFY(set.FindNext(rossi));
    QVERIFY(!set.NoMatch());
    QCOMPARE(set.value(u"Telefono"_s).toString(), u"333"_s);
    QVERIFY(set.FindNext(rossi)); // no wrapping to the start
    QVERIFY(set.NoMatch());
    QCOMPARE(set.value(u"Telefono"_s).toString(), u"333"_s);
    QVERIFY(set.FindFirst(rossi));
    QCOMPARE(set.value(u"Telefono"_s).toString(), u"111"_s);

    QVERIFY(!set.FindFirst({ u"Cognome"_s, u"Rossi"_s }));
    QVERIFY(set.NoMatch());
    QVERIFY(!set.lastError().isEmpty());
}

void TestRecordSet::findMatchesWholeNameIgnoringCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<bool>("found");

    QTest::newRow("same case") << u"Mario Rossi"_s << u"Mario Rossi"_s << true;
    QTest::newRow("other case") << u"Mario Rossi"_s << u"mARIO rOSSI"_s << true;
    QTest::newRow("part of the name") << u"Mario Rossi"_s << u"Mario"_s << false;
    QTest::newRow("trailing space") << u"Mario"_s << u"Mario "_s << false;
    QTest::newRow("apostrophe") << u"D'Angelo"_s << u"d'angelo"_s << true;
    QTest::newRow("apostrophe, capitals") << u"D'Amico"_s << u"D'AMICO"_s << true;
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

void TestRecordSet::findMatchesWholeNameIgnoringCase()
{
    QFETCH(QString, stored);
    QFETCH(QString, searched);
    QFETCH(bool, found);

    RecordSet& set = m_data->dtaRubrica();
    addName(set, u"Primo"_s);
    addName(set, stored);
    addName(set, u"Ultimo"_s);
    QVERIFY(set.Refresh());

    QVERIFY(set.FindFirst({ u"Nome"_s, searched }));
    QCOMPARE(!set.NoMatch(), found);
    if (found)
        QCOMPARE(set.value(u"Nome"_s).toString(), stored);
    else
        QCOMPARE(set.value(u"Nome"_s).toString(), u"Primo"_s); // no match: the position stays
}

void TestRecordSet::dateTimesKeepTheirTimeOfDay()
{
    const QDate today(2026, 12, 5);
    RecordSet& set = m_data->dtaAppun();
    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Data"_s, QDateTime(today, QTime(0, 0))));
    QVERIFY(set.setValue(u"Ora"_s, QDateTime(QDate(1899, 12, 30), QTime(15, 30))));
    QVERIFY(set.Update());
    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Data"_s, QDateTime(today, QTime(10, 30))));
    QVERIFY(set.setValue(u"Ora"_s, QTime(9, 5)));
    QVERIFY(set.Update());
    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Data"_s, u"non è una data"_s));
    QVERIFY(set.Update());
    QVERIFY(set.Refresh());

    QCOMPARE(set.value(u"Data"_s), QVariant(QDateTime(today, QTime(0, 0))));
    QCOMPARE(set.value(u"Ora"_s).toDateTime().time(), QTime(15, 30));

    QVERIFY(set.MoveNext());
    const QVariant data = set.value(u"Data"_s);
    QCOMPARE(data.typeId(), int(QMetaType::QDateTime));
    QCOMPARE(data.toDateTime().time(), QTime(10, 30));
    QVERIFY(data != QVariant(QDateTime(today, QTime(0, 0))));
    QCOMPARE(set.value(u"Ora"_s).toDateTime().time(), QTime(9, 5));

    QVERIFY(set.MoveNext());
    QCOMPARE(set.value(u"Data"_s), QVariant(u"non è una data"_s));
    QVERIFY(!set.value(u"Ora"_s).toDateTime().isValid());

    // Other tools read plain ISO 8601 text.
    QSqlQuery query(raw());
    QVERIFY(query.exec(u"SELECT Data, Ora FROM Appuntamenti ORDER BY IDAppuntamento"_s));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"2026-12-05T00:00:00"_s);
    QCOMPARE(query.value(1).toString(), u"1899-12-30T15:30:00"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"2026-12-05T10:30:00"_s);
    QCOMPARE(query.value(1).toString(), u"1899-12-30T09:05:00"_s);
}

void TestRecordSet::awkwardTextIsStoredExactly_data()
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

void TestRecordSet::awkwardTextIsStoredExactly()
{
    QFETCH(QString, text);

    RecordSet& set = m_data->dtaRubrica();
    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Nome"_s, text));
    QVERIFY(set.setValue(u"Telefono"_s, text));
    QVERIFY(set.setValue(u"Email"_s, text));
    QVERIFY2(set.Update(), qPrintable(set.lastError()));

    // Read back through another record set, from the file.
    std::unique_ptr<RecordSet> other = m_data->openRecordSet(u"Rubrica"_s);
    QVERIFY(other);
    QCOMPARE(other->recordCount(), 1);
    for (const QString& field : { u"Nome"_s, u"Telefono"_s, u"Email"_s })
        QCOMPARE(other->value(field).toString(), text);
    QVERIFY(other->FindFirst({ u"Nome"_s, text }));
    QVERIFY(!other->NoMatch());

    QCOMPARE(storedHex(u"SELECT hex(Nome) FROM Rubrica"_s), QString::fromLatin1(text.toUtf8().toHex().toUpper()));
    QCOMPARE(storedHex(u"SELECT typeof(Email) FROM Rubrica"_s), u"text"_s);
}

void TestRecordSet::refreshFailsOnMissingTable()
{
    RecordSet& set = m_data->dtaRubrica();
    addName(set, u"Anna"_s);
    QVERIFY(set.Refresh());

    QString error;
    QVERIFY(!m_data->openRecordSet(u"Nessuna"_s, &error));
    QVERIFY(error.contains(u"Nessuna"_s));

    std::unique_ptr<RecordSet> other = m_data->openRecordSet(u"Rubrica"_s);
    QVERIFY(other);
    QSqlQuery query(raw());
    QVERIFY(query.exec(u"DROP TABLE Rubrica"_s));
    QVERIFY(!set.Refresh());
    QVERIFY(!set.lastError().isEmpty());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s); // what was read stays readable
    QVERIFY(other->FindFirst({ u"Nome"_s, u"Anna"_s })); // a snapshot already read still answers
    QVERIFY(!other->NoMatch());
}

void TestRecordSet::changeRefusedByTheDatabaseIsReported()
{
    RecordSet& set = m_data->dtaRubrica();
    addName(set, u"Anna"_s);
    QVERIFY(set.Refresh());
    {
        QSqlQuery query(raw());
        QVERIFY(query.exec(
            u"CREATE TRIGGER no_add BEFORE INSERT ON Rubrica BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s));
        QVERIFY(query.exec(
            u"CREATE TRIGGER no_change BEFORE UPDATE ON Rubrica BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s));
        QVERIFY(query.exec(
            u"CREATE TRIGGER no_delete BEFORE DELETE ON Rubrica BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"_s));
    }

    QVERIFY(set.AddNew());
    QVERIFY(set.setValue(u"Nome"_s, u"Bruno"_s));
    QVERIFY(!set.Update());
    QVERIFY2(set.lastError().contains(u"rifiutato"_s), qPrintable(set.lastError()));
    QCOMPARE(set.editMode(), RecordSet::EditMode::New); // still there to be cancelled
    QVERIFY(set.CancelUpdate());
    QCOMPARE(set.recordCount(), 1);

    QVERIFY(set.Edit());
    QVERIFY(set.setValue(u"Nome"_s, u"Bruno"_s));
    QVERIFY(!set.Update());
    QVERIFY(set.CancelUpdate());
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);

    QVERIFY(!set.Delete());
    QCOMPARE(set.position(), RecordSet::Position::OnRecord);
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);

    QVERIFY(set.Refresh());
    QCOMPARE(set.recordCount(), 1);
    QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);
}

QTEST_GUILESS_MAIN(TestRecordSet)
#include "TestRecordSet.moc"
