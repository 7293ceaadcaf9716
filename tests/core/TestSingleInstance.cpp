// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <future>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using Claim = SingleInstance::Claim;
using namespace Qt::StringLiterals;

namespace {
// Counts the times a file is opened. A start that finds the lock taken reads the lock file on every
// try, so the count shows that it is still trying.
class OpenCount
{
public:
    explicit OpenCount(const QString& path)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenCount() { ::close(m_fd); }
    OpenCount(const OpenCount&) = delete;
    OpenCount& operator=(const OpenCount&) = delete;

    int count()
    {
        alignas(inotify_event) char events[4096];
        for (ssize_t got; (got = ::read(m_fd, events, sizeof events)) > 0;)
            m_count += int(got / ssize_t(sizeof(inotify_event))); // no names: the file itself is watched
        return m_count;
    }

private:
    int m_fd;
    int m_count = 0;
};
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    // A later start in a thread of its own, as another process would be, while this thread runs
    // the running copy's event loop.
    static std::future<Claim> startAgain(const QString& folder, int patienceMs = 5000, const QStringList& files = {})
    {
        return std::async(std::launch::async,
            [folder, patienceMs, files] { return SingleInstance(folder, patienceMs).claim(files); });
    }
    static bool done(const std::future<Claim>& later)
    {
        return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

private slots:
    // A lock file that names no process, or something else where the lock goes, is a leftover:
    // the start takes over at once instead of waiting for a copy that is not there.
    void leftoversNeverLockTheUserOut_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("empty lock file") << "empty";
        QTest::newRow("damaged lock file") << "garbage";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a named pipe") << "pipe";
    }
    void leftoversNeverLockTheUserOut()
    {
        QFETCH(QString, leftover);
        QTemporaryDir folder;
        const QString lock = folder.filePath(QStringLiteral("vespelinda.lock"));
        if (leftover == "folder") {
            QVERIFY(QDir().mkdir(lock));
        } else if (leftover == "pipe") {
            QVERIFY(::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0);
        } else {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (leftover == "garbage")
                file.write("\x01\x02 non è un lock\n");
            file.close();
            // Left by a run long gone.
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
        // Patience longer than the test's own timeout: a start that waits fails the test.
        auto later = startAgain(folder.path(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(done(later), 5000);
        QCOMPARE(later.get(), Claim::First);
    }

    // A second start brings the running copy forward and ends; while the running copy is on its
    // way out, the second start waits and then becomes the running copy itself.
    void secondStartComesForwardOrWaitsForTheExit()
    {
        QTemporaryDir folder;
        auto running = std::make_unique<SingleInstance>(folder.path());
        QCOMPARE(running->claim(), Claim::First);
        int forwarded = 0;
        bool leaving = false;
        QVERIFY(running->listen([&] {
            ++forwarded;
            return !leaving;
        }));

        std::future<Claim> later = startAgain(folder.path());
        QTRY_VERIFY(done(later));
        QCOMPARE(later.get(), Claim::Forwarded);
        QCOMPARE(forwarded, 1);

        leaving = true;
        later = startAgain(folder.path());
        QTRY_VERIFY(forwarded >= 3); // told twice that the running copy is leaving, it keeps asking
        QVERIFY(!done(later));
        running.reset(); // the farewell is over: the lock and the socket go
        QTRY_VERIFY(done(later));
        QCOMPARE(later.get(), Claim::First);
    }

    // A later start given files hands them to the running copy, which comes forward and then opens
    // them, exactly as named; a start without files only brings it forward.
    void aLaterStartHandsOverItsFiles_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("no files") << QStringList();
        QTest::newRow("one calendar") << QStringList { u"/home/anna/agenda.ics"_s };
        QTest::newRow("several") << QStringList { u"/home/anna/agenda.ics"_s, u"/home/anna/rubrica.vcf"_s,
            u"/media/chiavetta/contatti.vcard"_s };
        QTest::newRow("spaces, accents, a line break, signs")
            << QStringList { u"/home/anna/Scrivania/Compleanni di famiglia.ics"_s, u"/home/anna/città è già.vcf"_s,
                   u"/home/anna/due\nrighe.ics"_s, u"/home/anna/100% #1 ?a=b&c.vcf"_s };
        QStringList many; // more than one read's worth
        for (int i = 0; i < 3000; ++i)
            many.append(u"/home/anna/Documenti/calendari esportati/calendario numero %1.ics"_s.arg(i));
        QTest::newRow("three thousand files") << many;
    }
    void aLaterStartHandsOverItsFiles()
    {
        QFETCH(QStringList, files);
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        QCOMPARE(running.claim(), Claim::First);
        int forwarded = 0;
        QList<QStringList> opened;
        QVERIFY(running.listen(
            [&] {
                ++forwarded;
                return true;
            },
            [&](const QStringList& handed) {
                QCOMPARE(forwarded, 1); // the window is forward before the files are opened
                opened.append(handed);
            }));
        std::future<Claim> later = startAgain(folder.path(), 5000, files);
        QTRY_VERIFY(done(later));
        QCOMPARE(later.get(), Claim::Forwarded);
        QCOMPARE(forwarded, 1);
        QCOMPARE(opened.size(), files.isEmpty() ? 0 : 1);
        QCOMPARE(opened.value(0), files);
    }

    // A copy on its way out opens nothing it is handed: the later start waits, then runs by itself
    // (and opens its files then).
    void aLeavingCopyOpensNoFiles()
    {
        QTemporaryDir folder;
        auto running = std::make_unique<SingleInstance>(folder.path());
        QCOMPARE(running->claim(), Claim::First);
        int asked = 0;
        int opened = 0;
        running->listen(
            [&] {
                ++asked;
                return false;
            },
            [&](const QStringList&) { ++opened; });
        std::future<Claim> later = startAgain(folder.path(), 5000, { u"/home/anna/agenda.ics"_s });
        QTRY_VERIFY(asked >= 2);
        QCOMPARE(opened, 0);
        running.reset();
        QTRY_VERIFY(done(later));
        QCOMPARE(later.get(), Claim::First);
    }

    // The command line's files: absolute paths, whatever the form they were given in.
    void filesFromTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files");
        const QString here = QDir::currentPath();
        QTest::newRow("none") << QStringList { u"vespelinda"_s } << QStringList();
        QTest::newRow("absolute") << QStringList { u"vespelinda"_s, u"/tmp/agenda.ics"_s }
                                  << QStringList { u"/tmp/agenda.ics"_s };
        QTest::newRow("relative") << QStringList { u"vespelinda"_s, u"agenda.ics"_s, u"../rubrica.vcf"_s }
                                  << QStringList { here + u"/agenda.ics"_s,
                                         QFileInfo(here + u"/../rubrica.vcf"_s).absoluteFilePath() };
        QTest::newRow("file address") << QStringList { u"vespelinda"_s, u"file:///tmp/citt%C3%A0%20mia.ics"_s }
                                      << QStringList { u"/tmp/città mia.ics"_s };
        QTest::newRow("options are no files") << QStringList { u"vespelinda"_s, u"--verbose"_s, u"-x"_s,
            u"/tmp/a.ics"_s } << QStringList { u"/tmp/a.ics"_s };
        QTest::newRow("after --, a name with a dash")
            << QStringList { u"vespelinda"_s, u"--"_s, u"-strano.ics"_s } << QStringList { here + u"/-strano.ics"_s };
    }
    void filesFromTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QCOMPARE(SingleInstance::filesToOpen(arguments), files);
    }

    // Two starts together: the one without the lock waits for the other's server; a running copy
    // that never answers is named, not waited for forever. (A copy killed outright: tests/e2e.)
    void aStartThatRacesWaitsForTheServer()
    {
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        QCOMPARE(running.claim(), Claim::First);
        OpenCount lockReads(folder.filePath(QStringLiteral("vespelinda.lock")));
        std::future<Claim> later = startAgain(folder.path());
        QTRY_VERIFY(lockReads.count() >= 3); // still setting up, no server yet: the later start tries again
        QVERIFY(!done(later));
        running.listen([] { return true; });
        QTRY_VERIFY(done(later));
        QCOMPARE(later.get(), Claim::Forwarded);

        QTemporaryDir other;
        SingleInstance mute(other.path());
        QCOMPARE(mute.claim(), Claim::First);
        SingleInstance stuck(other.path(), 300);
        QCOMPARE(stuck.claim(), Claim::NotResponding);
        QVERIFY(stuck.notRespondingMessage().contains(QString::number(QCoreApplication::applicationPid())));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
