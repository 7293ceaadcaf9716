// SPDX-License-Identifier: GPL-3.0-or-later
// Run inside a private session bus (dbus-run-session): a stand-in for AT-SPI's bus launcher owns
// org.a11y.Bus and says, as the desktop does, whether a screen reader is running.
#include "core/ScreenReader.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
class StatusAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)

public:
    explicit StatusAdaptor(QObject* parent)
        : QDBusAbstractAdaptor(parent)
    {
    }
    bool screenReaderEnabled() const { return enabled; }
    bool enabled = false;
};

// The launcher's object on its own connection, as another process would be.
struct StandIn
{
    QObject object;
    StatusAdaptor* status = new StatusAdaptor(&object);
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"stand-in"_s);

    bool start(bool enabled)
    {
        status->enabled = enabled;
        return bus.registerObject(u"/org/a11y/bus"_s, &object, QDBusConnection::ExportAdaptors)
            && bus.registerService(u"org.a11y.Bus"_s);
    }
    // What the launcher does when Orca starts or stops.
    void set(bool enabled)
    {
        status->enabled = enabled;
        QDBusMessage changed = QDBusMessage::createSignal(
            u"/org/a11y/bus"_s, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
        changed << u"org.a11y.Status"_s << QVariantMap { { u"ScreenReaderEnabled"_s, enabled } } << QStringList();
        bus.send(changed);
    }
};
} // namespace

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside dbus-run-session"); }

    void followsWhatAtSpiSays_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("none at start") << false;
        QTest::newRow("one at start") << true;
    }
    void followsWhatAtSpiSays()
    {
        QFETCH(bool, atStart);
        StandIn launcher;
        QVERIFY(launcher.start(atStart));
        ScreenReader reader;
        QSignalSpy changes(&reader, &ScreenReader::presenceChanged);
        QVERIFY(reader.followAtSpi());
        QTRY_COMPARE(reader.present(), atStart);
        launcher.set(!atStart); // Orca started, or quit
        QTRY_COMPARE(reader.present(), !atStart);
        launcher.set(!atStart); // said twice: one change
        launcher.set(atStart);
        QTRY_COMPARE(reader.present(), atStart);
        QCOMPARE(changes.size(), atStart ? 3 : 2);
        launcher.bus.unregisterService(u"org.a11y.Bus"_s);
        launcher.bus.unregisterObject(u"/org/a11y/bus"_s);
    }

    // No launcher on the bus (no accessibility stack installed): nothing is running, nothing fails.
    void withoutAtSpiNoScreenReader()
    {
        ScreenReader reader;
        QVERIFY(reader.followAtSpi());
        QSignalSpy changes(&reader, &ScreenReader::presenceChanged);
        // A call answered after the one that failed: by then the failure has come back too.
        const QDBusMessage id = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, u"GetId"_s));
        QCOMPARE(id.type(), QDBusMessage::ReplyMessage);
        QCoreApplication::processEvents();
        QCOMPARE(changes.size(), 0);
        QVERIFY(!reader.present());
    }
};

QTEST_GUILESS_MAIN(TestScreenReader)
#include "TestScreenReader.moc"
