// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ScreenReader.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcScreenReader, "vespelinda.a11y")

const QString Service = QStringLiteral("org.a11y.Bus");
const QString Path = QStringLiteral("/org/a11y/bus");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Status = QStringLiteral("org.a11y.Status");
const QString Enabled = QStringLiteral("ScreenReaderEnabled");
} // namespace

ScreenReader::ScreenReader(QObject* parent)
    : QObject(parent)
{
}

void ScreenReader::setPresent(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    qCInfo(lcScreenReader) << (present ? "a screen reader is running" : "no screen reader is running");
    emit presenceChanged(present);
}

bool ScreenReader::followAtSpi()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    bus.connect(Service, Path, Properties, QStringLiteral("PropertiesChanged"), this,
        SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    QDBusMessage get = QDBusMessage::createMethodCall(Service, Path, Properties, QStringLiteral("Get"));
    get << Status << Enabled;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (!reply.isError())
            setPresent(reply.value().variant().toBool());
        call->deleteLater();
    });
    return true;
}

void ScreenReader::propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == Status && changed.contains(Enabled))
        setPresent(changed.value(Enabled).toBool());
}
