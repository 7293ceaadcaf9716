// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Whether a screen reader is running on the desktop, as AT-SPI says on the session bus
// (org.a11y.Status ScreenReaderEnabled), followed while the program runs. A screen reader reads
// every message box itself: the program then does not also speak a text a box shows.
class ScreenReader : public QObject
{
    Q_OBJECT

public:
    explicit ScreenReader(QObject* parent = nullptr);

    bool present() const { return m_present; }
    // What AT-SPI said last; tests say it themselves.
    void setPresent(bool present);
    // Reads the property without waiting for the answer and follows its changes. False, and
    // nothing followed, without a session bus.
    bool followAtSpi();

signals:
    void presenceChanged(bool present);

private slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    bool m_present = false;
};
