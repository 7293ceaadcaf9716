// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class frmArriv;

// The desktop session and the program. A request to save the session's state comes also without
// a log-out (a session manager saving its state now and then): there is nothing to save, since
// options and data are written as they change, so it is left alone. Only the session's real end,
// which reaches the application as a request to quit, unloads the main window at once, without
// a farewell that would hold up the log-out.
class SessionWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SessionWatcher(frmArriv& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmArriv& m_window;
};
