// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/FileDrops.h"

#include "transfer/TransferFiles.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

FileDrops::FileDrops(QWidget& target)
    : QObject(&target)
{
    target.setAcceptDrops(true);
    target.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
        m_taken = !TransferFiles::importable(static_cast<QDragEnterEvent*>(event)->mimeData()->urls()).isEmpty();
        [[fallthrough]];
    case QEvent::DragMove:
        if (m_taken)
            static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
        else
            event->ignore();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = TransferFiles::importable(drop->mimeData()->urls());
        if (files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        QTimer::singleShot(0, this, [this, files] { emit dropped(files); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
