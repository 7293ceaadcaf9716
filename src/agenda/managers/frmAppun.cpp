// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/frmAppun.h"

#include "agenda/managers/LimitedTextEdit.h"
#include "core/Clock.h"
#include "core/Controls.h"
#include "datafile/RecordSet.h"

#include <QDateEdit>
#include <QFrame>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>

namespace {
ManagerWindow::Words words()
{
    return { QStringLiteral("Programma appuntamenti"), MainWindowLink::Table::Appuntamenti,
        QStringLiteral("Inserisci i dati del nuovo appuntamento:"),
        QStringLiteral("Elimino l'appuntamento selezionato?"),
        QStringLiteral("Non hai selezionato nessun appuntamento!"), QStringLiteral("Elenco degli appuntamenti"),
        QStringLiteral("appuntamento"), QStringLiteral("l'appuntamento") };
}

QList<GridColumn> columns()
{
    return { { QStringLiteral("IDAppuntamento"), QStringLiteral("IDAppuntamento"), GridColumn::Kind::Key },
        { QStringLiteral("Ora"), QStringLiteral("Ora"), GridColumn::Kind::Time, 900 },
        { QStringLiteral("Data"), QStringLiteral("Data"), GridColumn::Kind::Date, 1470 },
        { QStringLiteral("Testo"), QStringLiteral("Testo"), GridColumn::Kind::Text, 3345, ManagerWindow::TextLimit } };
}
} // namespace

frmAppun::frmAppun(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, QWidget* parent)
    : ManagerWindow(std::move(Data1), services, words(), columns(), parent)
{
    setObjectName(QStringLiteral("frmAppun"));
    setClientSize(6255, 3825);
    using Controls::apply;
    apply(DBGrid1, { .twips = { 0, 0, 6255, 3255 } });
    apply(Command1, { .twips = { 120, 3360, 1920, 375 } });
    apply(Command2, { .twips = { 2160, 3360, 1935, 375 } });
    apply(Command3, { .twips = { 4200, 3360, 1935, 375 } });
    apply(Picture1, { .twips = { 960, 840, 4120, 1935 } });

    addPanelLabel(QStringLiteral("Data............"), QRect(1800, 600, 1215, 255));
    dtpNuovData = new QDateEdit(m_clock.now().date(), Picture1);
    apply(dtpNuovData,
        { .name = u"dtpNuovData",
            .accessibleName = QStringLiteral("Data del nuovo appuntamento"),
            .twips = { 2640, 480, 1335, 285 } });
    dtpNuovData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpNuovData->setCalendarPopup(true);

    apply(txtNuovOra, { .twips = { 720, 480, 855, 285 } });
    apply(txtNuovTesto, { .twips = { 720, 840, 3255, 495 } });
    apply(Command4, { .twips = { 120, 1440, 1815, 375 } });
    apply(Command5, { .twips = { 2160, 1440, 1815, 375 } });
    setTabChain({ DBGrid1, Command1, txtNuovOra, dtpNuovData, txtNuovTesto, Command4, Command5, Command2, Command3 });
}

void frmAppun::beginNewEntry()
{
    // No day before today; a date shown from an earlier day moves up to today.
    dtpNuovData->setMinimumDate(m_clock.now().date());
}

void frmAppun::writeNewRecord(RecordSet& Data1) { Data1.setValue(QStringLiteral("Data"), dtpNuovData->date()); }
