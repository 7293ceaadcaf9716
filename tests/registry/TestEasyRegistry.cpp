// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/clsEasyRegistry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Step = std::function<void(clsEasyRegistry&)>;
Q_DECLARE_METATYPE(Step)

namespace {
const QString Hkcu = u"HKEY_CURRENT_USER"_s;

// The error a step raises, as "number|source|description", or "" when it raises none.
QString raised(const Step& step, clsEasyRegistry& reg)
{
    try {
        step(reg);
    } catch (const EasyRegistryError& e) {
        return u"%1|%2|%3"_s.arg(e.number()).arg(e.source(), e.description());
    }
    return {};
}
} // namespace

class TestEasyRegistry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_store;

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_store = m_dir.filePath(QString::number(QRandomGenerator::global()->generate()));
    }

    void cdWalksDownAndUpToNoKey()
    {
        clsEasyRegistry reg(m_store);
        QCOMPARE(reg.DirKey()->join(u' '),
            u"HKEY_CLASSES_ROOT HKEY_CURRENT_USER HKEY_LOCAL_MACHINE HKEY_USERS "
            "HKEY_DYN_DATA HKEY_CURRENT_CONFIG"_s);
        reg.Cd(u"HKEY_LOCAL_MACHINE"_s);
        reg.MakeKey(u"Software\\Microsoft\\Windows"_s);
        reg.Cd(u"  \\hkey_local_machine\\Software\\Microsoft\\ "_s);
        QCOMPARE(reg.CurrentKey(), u"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT"_s);
        QCOMPARE(reg.DirKey(), QStringList { u"Windows"_s });
        reg.Cd(u"Windows"_s);
        QCOMPARE(reg.CurrentKey(), u"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS"_s);
        QCOMPARE(std::pair(reg.DirKey(), reg.DirValue()),
            std::pair(std::optional<QStringList>(), std::optional<RegistryValueTable>()));
        for (const char* expected : { "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT", "\\HKEY_LOCAL_MACHINE\\SOFTWARE",
                 "\\HKEY_LOCAL_MACHINE", "" }) {
            reg.Cd(u".."_s);
            QCOMPARE(reg.CurrentKey(), QString::fromUtf8(expected));
        }
    }

    void failuresRaiseTheirErrorAndLeaveNoKeyCurrent_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("keyAfter");
        const QString let = u"|EasyRegistry [Let ValueOf]|Type passed doesn't match Value passed."_s;
        const QString api = u"-2147221248|EasyRegistry[API Call]|"_s;
        const QString here = u"\\HKEY_CURRENT_USER\\A"_s;
        const auto cd = [](const char* path) {
            return Step([=](clsEasyRegistry& r) { r.Cd(path); });
        };
        const auto write = [](qint32 type, RegistryValue v, QString name = u"v"_s) {
            return Step([=](clsEasyRegistry& r) { r.ValueOf(name, type, v); });
        };
        QTest::newRow("bad root") << cd("\\HKEY_FOO") << u"-2147221502|EasyRegistry|Invalid Key root."_s << QString();
        QTest::newRow("missing key") << cd("B") << api + "Key/Value does not exist." << QString();
        QTest::newRow("empty name") << cd("A\\\\B") << api + "Key name is bad." << QString();
        QTest::newRow("up with no key") << Step([](clsEasyRegistry& r) { r.Cd("\\"), r.Cd(".."); })
                                        << u"-2147221503|EasyRegistry|No current Key."_s << QString();
        for (const double bad : { 1.5, -1.0, 4294967296.0 })
            QTest::addRow("dword %.1f", bad) << write(2, bad) << "-2147221501" + let << here;
        QTest::newRow("string as number") << write(0, 7.0) << "-2147221501" + let << here;
        QTest::newRow("binary as text") << write(1, u"x"_s) << "-2147221501" + let << here;
        QTest::newRow("type 7") << write(7, 1.0)
                                << u"-2147221500|EasyRegistry [Let ValueOf]|Type passed doesn't exist. Use STRING, "
                                   "DWORD or BINARY."_s
                                << here;
        QTest::newRow("nul in value name")
            << write(0, QString(), u"a"_s + QChar(0) + u"b"_s) << api + "Invalid Parameter." << here;
        QTest::newRow("no key current") << Step([](clsEasyRegistry& r) { r.Cd("\\"), r.MakeKey("x"); })
                                        << api + "Undefined key error code!" << QString();
        const QList<std::pair<const char*, QString>> badKeys { { "dots", u".."_s },
            { "256 letters", QString(256, u'k') }, { "line break", u"a\nb"_s }, { "empty", QString() } };
        for (const auto& [tag, name] : badKeys)
            QTest::newRow(tag) << Step([=](clsEasyRegistry& r) { r.MakeKey(name + "\\x"); }) << api + "Key name is bad."
                               << here;
        QTest::newRow("delete missing key")
            << Step([](clsEasyRegistry& r) { r.DeleteKey("B"); }) << api + "Key/Value does not exist." << here;
    }
    void failuresRaiseTheirErrorAndLeaveNoKeyCurrent()
    {
        QFETCH(Step, step);
        clsEasyRegistry reg(m_store);
        reg.Cd(Hkcu);
        reg.MakeKey(u"A"_s);
        reg.Cd(u"A"_s);
        QTEST(raised(step, reg), "error");
        QTEST(reg.CurrentKey(), "keyAfter");
        QCOMPARE(reg.DirKey(), reg.CurrentKey().isEmpty() ? std::optional(clsEasyRegistry::RootNames()) : std::nullopt);
    }

    void valuesRoundTripListAndSurviveANewObject()
    {
        const QString text = u"Perché \"sì\" \\ C:\\ %s\n"_s + QChar(0) + u"fine"_s;
        const QString longName(2000, u'n');
        {
            clsEasyRegistry reg(m_store);
            reg.Cd(Hkcu);
            reg.MakeKey(u"Città/Ünï"_s);
            reg.Cd(u"città/üNÏ"_s);
            reg.ValueOf(u"Testo"_s, clsEasyRegistry::STRING, text);
            reg.ValueOf(u"Byte"_s, clsEasyRegistry::BINARY, QByteArray("\x0a\x00\xff", 3));
            reg.ValueOf(u"Uno"_s, clsEasyRegistry::DWORD, 7.0);
            reg.ValueOf(u"UNO"_s, clsEasyRegistry::DWORD, 1.0); // same value, first spelling kept
            reg.ValueOf(QString(), clsEasyRegistry::DWORD, 4294967295.0);
            reg.DeleteValue(u"non c'è"_s);
            const RegistryValueTable expected { QStringList { "Testo", "Byte", "Uno", "" },
                QStringList { text, "A 0 FF", "00000001 (0,000,000,001)", "FFFFFFFF (4,294,967,295)" },
                QStringList { "0", "1", "2", "2" } };
            QCOMPARE(reg.DirValue(), expected);
            reg.ValueOf(longName, clsEasyRegistry::STRING, QString(1100, u'x'));
            QCOMPARE(raised([](clsEasyRegistry& r) { r.DirValue(); }, reg),
                u"-2147221248|EasyRegistry[API Call]|Undefined key error code!"_s);
        }
        clsEasyRegistry reg(m_store); // nothing is kept in memory: this reads what the first one wrote
        reg.Cd(u"HKEY_CURRENT_USER\\CITTÀ/ÜNÏ"_s);
        qint32 type = -1;
        QCOMPARE(reg.ValueOf(u"testo"_s, type)->text, text);
        QCOMPARE(type, clsEasyRegistry::STRING);
        QCOMPARE(reg.ValueOf(u"testo"_s, type)->bytes, text.toUtf8());
        const auto bytes = reg.ValueOf(u"byte"_s, type);
        QCOMPARE(
            std::tuple(bytes->text, bytes->bytes, bytes->number, type), std::tuple(u"A 0 FF"_s, "\n\0\xff"_ba, 0.0, 1));
        const auto number = reg.ValueOf(QString(), type);
        QCOMPARE(std::tuple(number->text, number->bytes, number->number, type),
            std::tuple(u"FFFFFFFF"_s, "\xff\xff\xff\xff"_ba, 4294967295.0, 2));
        QCOMPARE(reg.ValueOf(longName, type)->text, QString(1100, u'x'));
        QCOMPARE(reg.ValueOf(u"non c'è"_s, type), std::nullopt);
        reg.DeleteValue(longName);
        reg.Cd(u".."_s);
        reg.DeleteKey(u"città/ünï"_s);
        QCOMPARE(reg.DirKey(), std::nullopt);
    }

    void twoProgramsWritingTogetherLoseNothing()
    {
        QProcess first, second;
        first.start(QStringLiteral(REGISTRY_CLIENT), { m_store, u"p1 "_s, u"30"_s });
        second.start(QStringLiteral(REGISTRY_CLIENT), { m_store, u"p2 "_s, u"30"_s });
        clsEasyRegistry reg(m_store);
        reg.Cd(Hkcu);
        for (int i = 0; i < 30; ++i)
            reg.ValueOf(u"qui%1"_s.arg(i), clsEasyRegistry::DWORD, double(i));
        QVERIFY(first.waitForFinished(30000));
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(reg.DirValue()->at(0).size(), 90);
        qint32 type = 0;
        QCOMPARE(reg.ValueOf(u"P2 29"_s, type)->text, u"29"_s);
    }

    void damagedOrLockedStoreRefusesChangesAndKeepsItsFile_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QString>("error");
        const QString corrupt = u"Corrupt Registry Database!"_s;
        QTest::newRow("truncated") << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:0a,") << corrupt;
        QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\n", 12) << corrupt;
        QTest::newRow("other root") << QByteArray("REGEDIT4\n[HKEY_USERS\\A]\n") << corrupt;
        QTest::newRow("read-only") << QByteArray() << u"Access to Registry Denied."_s;
    }
    void damagedOrLockedStoreRefusesChangesAndKeepsItsFile()
    {
        QFETCH(QByteArray, damage);
        QFETCH(QString, error);
        clsEasyRegistry reg(m_store);
        reg.Cd(Hkcu);
        reg.ValueOf(u"v"_s, clsEasyRegistry::STRING, u"prima"_s);
        QFile file(m_store + u"/HKEY_CURRENT_USER.reg"_s);
        if (!damage.isEmpty()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(damage), qint64(damage.size()));
        } else if (geteuid() != 0) {
            QVERIFY(file.setPermissions(QFile::ReadOwner));
            QVERIFY(QFile::setPermissions(m_store, QFile::ReadOwner | QFile::ExeOwner));
        } else if (QProcess::execute(u"chattr"_s, { u"+i"_s, m_store }) != 0) { // permissions do not stop root
            QSKIP("no way to make the store read-only for root here");
        }
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        const QString refused = "-2147221248|EasyRegistry[API Call]|" + error;
        QCOMPARE(raised([](clsEasyRegistry& r) { r.ValueOf("v", 0, u"dopo"_s); }, reg), refused);
        QCOMPARE(raised([](clsEasyRegistry& r) { r.MakeKey("K"); }, reg), refused);
        QCOMPARE(raised([](clsEasyRegistry& r) { r.DeleteValue("v"); }, reg), QString());
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), before);
        qint32 type = 0;
        QCOMPARE(reg.ValueOf(u"v"_s, type).has_value(), damage.isEmpty());
        QCOMPARE(
            raised([](clsEasyRegistry& r) { r.Cd("\\HKEY_CURRENT_USER"); }, reg).endsWith(error), !damage.isEmpty());
    }
    void cleanup()
    {
        if (geteuid() == 0)
            QProcess::execute(u"chattr"_s, { u"-i"_s, m_store });
        QFile::setPermissions(m_store, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestEasyRegistry)
#include "TestEasyRegistry.moc"
