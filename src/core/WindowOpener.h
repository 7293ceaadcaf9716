// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class MainWindowLink;

// One secondary window (a manager, the options, the About window): made when first opened,
// brought forward when opened again, discarded when closed. Opening sets the main window's
// finestraAperta flag and the window's going clears it.
class WindowOpener : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<QWidget*()>;

    WindowOpener(MainWindowLink& link, Factory make, QObject* parent = nullptr);
    ~WindowOpener() override;

    // Shows the window modeless (making it first if needed) and returns it; null when the factory
    // made none.
    QWidget* open();
    // The open window, or null.
    QWidget* window() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindowLink& m_link;
    Factory m_make;
    QPointer<QWidget> m_window;
};
