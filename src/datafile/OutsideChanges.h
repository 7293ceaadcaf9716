// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Tells every view of the data file that another program's changes have just been read into the
// main record sets, so that each view reads its own afresh.
class OutsideChanges : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void arrived();
};
