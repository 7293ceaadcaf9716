// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
// Another program's connection to the data file.
class OtherProgram
{
public:
    explicit OtherProgram(const QString& path)
        : m_name(u"other-program-%1"_s.arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~OtherProgram()
    {
        QSqlDatabase::database(m_name).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        return query.exec(sql);
    }

private:
    QString m_name;
};

QStringList names(const RecordSet& set)
{
    QStringList names;
    for (int i = 0; i < set.recordCount(); ++i)
        names << set.valueAt(i, u"Nome"_s).toString();
    return names;
}
} // namespace

class TestOutsideChanges : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<AgendaData> m_data;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_path = DataFileFixture::create(m_dir.path());
        OtherProgram(m_path).exec(u"INSERT INTO Rubrica (Nome) VALUES ('Anna'), ('Bruno'), ('Carla')"_s);
        m_data = std::make_unique<AgendaData>(m_path);
        QVERIFY2(m_data->open(), qPrintable(m_data->errorText()));
    }
    void cleanup() { m_data.reset(); }

    // Requery reads the table afresh and keeps the current record where it went; a record deleted
    // elsewhere leaves no current record and the next move goes on from its place.
    void requeryFollowsTheCurrentRecord_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("currentAfter"); // empty: none
        QTest::addColumn<QString>("nextAfter");
        QTest::newRow("added after it") << 1 << u"INSERT INTO Rubrica (Nome) VALUES ('Dario')"_s
                                        << QStringList { "Anna", "Bruno", "Carla", "Dario" } << u"Bruno"_s
                                        << u"Carla"_s;
        QTest::newRow("one before it deleted") << 2 << u"DELETE FROM Rubrica WHERE Nome = 'Anna'"_s
                                               << QStringList { "Bruno", "Carla" } << u"Carla"_s << QString();
        QTest::newRow("itself deleted") << 1 << u"DELETE FROM Rubrica WHERE Nome = 'Bruno'"_s
                                        << QStringList { "Anna", "Carla" } << QString() << u"Carla"_s;
        QTest::newRow("itself changed") << 0 << u"UPDATE Rubrica SET Nome = 'Annalisa' WHERE Nome = 'Anna'"_s
                                        << QStringList { "Annalisa", "Bruno", "Carla" } << u"Annalisa"_s << u"Bruno"_s;
    }
    void requeryFollowsTheCurrentRecord()
    {
        QFETCH(int, current);
        QFETCH(QString, elsewhere);
        QFETCH(QStringList, after);
        QFETCH(QString, currentAfter);
        QFETCH(QString, nextAfter);
        RecordSet& set = m_data->dtaRubrica();
        QVERIFY(set.moveTo(current));
        QVERIFY(OtherProgram(m_path).exec(elsewhere));
        QVERIFY(set.Requery());
        QCOMPARE(names(set), after);
        bool ok = false;
        const QString shown = set.value(u"Nome"_s, &ok).toString();
        QCOMPARE(ok, !currentAfter.isEmpty());
        QCOMPARE(shown, currentAfter);
        QVERIFY(set.MoveNext());
        QCOMPARE(set.value(u"Nome"_s).toString(), nextAfter);
    }

    // What the user is typing survives a requery, and is stored on the record it belongs to.
    void requeryKeepsTheEditBuffer()
    {
        RecordSet& set = m_data->dtaRubrica();
        QVERIFY(set.moveTo(2));
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Telefono"_s, u"333"_s));
        QVERIFY(OtherProgram(m_path).exec(u"DELETE FROM Rubrica WHERE Nome = 'Anna'"_s));
        QVERIFY(set.Requery());
        QCOMPARE(set.editMode(), RecordSet::EditMode::Edit);
        QCOMPARE(set.value(u"Telefono"_s).toString(), u"333"_s);
        QVERIFY2(set.Update(), qPrintable(set.lastError()));
        QVERIFY(set.Refresh());
        QVERIFY(set.moveTo(1));
        QCOMPARE(set.value(u"Nome"_s).toString(), u"Carla"_s);
        QCOMPARE(set.value(u"Telefono"_s).toString(), u"333"_s);

        // The record deleted elsewhere while being changed: the change is refused, not put on another.
        QVERIFY(set.moveTo(0));
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Telefono"_s, u"444"_s));
        QVERIFY(OtherProgram(m_path).exec(u"DELETE FROM Rubrica WHERE Nome = 'Bruno'"_s));
        QVERIFY(set.Requery());
        QVERIFY(!set.Update());
        QVERIFY(set.Refresh());
        QCOMPARE(names(set), QStringList { "Carla" });
        QCOMPARE(set.valueAt(0, u"Telefono"_s).toString(), u"333"_s);
    }

    // Another program's commits are noticed and read into the three record sets; the program's own
    // writes and an unchanged file are not news. A locked file is never waited for: the change is
    // read at the first look after the lock has gone.
    void followsOtherProgramsCommits()
    {
        QSignalSpy arrived(&m_data->outsideChanges(), &OutsideChanges::arrived);
        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 0);

        auto own = m_data->openRecordSet(u"Rubrica"_s);
        QVERIFY(own);
        QVERIFY(own->AddNew());
        QVERIFY(own->setValue(u"Nome"_s, u"Dario"_s));
        QVERIFY2(own->Update(), qPrintable(own->lastError()));
        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 0);

        OtherProgram other(m_path);
        QVERIFY(other.exec(u"INSERT INTO Appuntamenti (Testo) VALUES ('fuori')"_s));
        QVERIFY(other.exec(u"INSERT INTO Rubrica (Nome) VALUES ('Elena')"_s));
        QVERIFY(other.exec(u"BEGIN EXCLUSIVE"_s));
        QElapsedTimer looked;
        looked.start();
        m_data->followOutsideChanges();
        QVERIFY2(looked.elapsed() < 900, "waited for the lock"); // a statement waits 1000 ms
        QCOMPARE(arrived.size(), 0);
        QCOMPARE(m_data->dtaAppun().recordCount(), 0);
        QVERIFY(other.exec(u"COMMIT"_s));

        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(m_data->dtaAppun().recordCount(), 1);
        QCOMPARE(names(m_data->dtaRubrica()), (QStringList { "Anna", "Bruno", "Carla", "Dario", "Elena" }));
        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 1);
    }

    // A copy renamed over the file (a restored backup) is opened in its place: its rows are read,
    // and writes go to it.
    void aReplacedFileIsOpenedAgain()
    {
        QSignalSpy arrived(&m_data->outsideChanges(), &OutsideChanges::arrived);
        QTemporaryDir other;
        const QString copy = DataFileFixture::create(other.path());
        QVERIFY(OtherProgram(copy).exec(u"INSERT INTO Rubrica (Nome) VALUES ('Zoe')"_s));
        QVERIFY(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(m_path).constData()) == 0);
        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 1);
        RecordSet& set = m_data->dtaRubrica();
        QCOMPARE(names(set), QStringList { "Zoe" });
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Nome"_s, u"Ugo"_s));
        QVERIFY2(set.Update(), qPrintable(set.lastError()));
        auto fresh = m_data->openRecordSet(u"Rubrica"_s);
        QVERIFY(fresh);
        QCOMPARE(names(*fresh), (QStringList { "Zoe", "Ugo" }));

        // Something that is no data file put in its place is not taken.
        QFile junk(m_dir.filePath(u"junk"_s));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        QCOMPARE(junk.write("not a database at all"), qint64(21));
        junk.close();
        QVERIFY(::rename(QFile::encodeName(junk.fileName()).constData(), QFile::encodeName(m_path).constData()) == 0);
        m_data->followOutsideChanges();
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(names(m_data->dtaRubrica()), (QStringList { "Zoe", "Ugo" }));
    }

    // A full table says so in words of its own, not as a full disk.
    void refusalsInTheirOwnWords_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("words");
        QTest::newRow("keys used up") << u"INSERT INTO Appuntamenti (IDAppuntamento, Testo) VALUES (%1, 'ultimo')"_s
                                             .arg(std::numeric_limits<qint64>::max())
                                      << int(RecordSet::Refusal::TableFull) << u"la tabella Appuntamenti è piena"_s;
        QTest::newRow("disk full") << u"PRAGMA max_page_count = 1"_s << int(RecordSet::Refusal::DiskFull)
                                   << u"il disco è pieno"_s;
        QTest::newRow("locked") << u"BEGIN EXCLUSIVE"_s << int(RecordSet::Refusal::Busy)
                                << u"il file dei dati è bloccato da un altro programma"_s;
    }
    void refusalsInTheirOwnWords()
    {
        QFETCH(QString, before);
        QFETCH(int, refusal);
        QFETCH(QString, words);
        OtherProgram other(m_path);
        RecordSet& set = m_data->dtaAppun();
        if (before.startsWith(u"PRAGMA"_s)) {
            // A page limit is the connection's own: set on the program's.
            for (const QString& name : QSqlDatabase::connectionNames())
                if (name.startsWith(u"vespelinda-data-"_s))
                    QVERIFY(QSqlQuery(QSqlDatabase::database(name)).exec(before));
        } else {
            QVERIFY(other.exec(before));
        }
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Testo"_s, QString(20000, u'x')));
        QVERIFY(!set.Update()); // refused when it is stored
        QCOMPARE(int(set.lastRefusal()), refusal);
        QVERIFY2(set.lastRefusalInWords().startsWith(words), qPrintable(set.lastRefusalInWords()));
        other.exec(u"COMMIT"_s);
    }
};

QTEST_GUILESS_MAIN(TestOutsideChanges)
#include "TestOutsideChanges.moc"
