// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/managers/ManagerWindow.h"

// "Programma promemoria giornalieri": every daily reminder of the table Promemoria; a new one takes
// a time and a text, and falls due every day.
class frmProm : public ManagerWindow
{
    Q_OBJECT

public:
    frmProm(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, QWidget* parent = nullptr);

protected:
    void beginNewEntry() override;
};
