// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/managers/ManagerWindow.h"

class QDateEdit;

// "Programma appuntamenti": every appointment of the table Appuntamenti, past and future; a new
// one takes a time, a date from today on and a text.
class frmAppun : public ManagerWindow
{
    Q_OBJECT

public:
    frmAppun(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, QWidget* parent = nullptr);

    QDateEdit* dtpNuovData = nullptr;

protected:
    void beginNewEntry() override;
    void writeNewRecord(RecordSet& Data1) override;
};
