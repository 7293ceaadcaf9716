// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

// Calendars and address books dropped on a window: a drag is taken, once as it comes in, only when
// every file it carries can be imported (TransferFiles::importable); a drop taken is reported at
// the event loop's next turn, after the drag has been answered, so the import may show its boxes.
class FileDrops final : public QObject
{
    Q_OBJECT

public:
    explicit FileDrops(QWidget& target);

signals:
    void dropped(const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_taken = false; // the drag over the window carries files to import
};
