// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/frmProm.h"

#include "agenda/managers/LimitedTextEdit.h"
#include "core/Controls.h"
#include "datafile/RecordSet.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>

namespace {
ManagerWindow::Words words()
{
    return { QStringLiteral("Programma promemoria giornalieri"), MainWindowLink::Table::Promemoria,
        QStringLiteral("Inserisci i dati del nuovo promemoria:"), QStringLiteral("Elimino il promemoria selezionato?"),
        QStringLiteral("Non hai selezionato nessun promemoria!"), QStringLiteral("Elenco dei promemoria giornalieri"),
        QStringLiteral("promemoria"), QStringLiteral("il promemoria") };
}

QList<GridColumn> columns()
{
    return { { QStringLiteral("IDPromemoria"), QStringLiteral("IDPromemoria"), GridColumn::Kind::Key },
        { QStringLiteral("Ora"), QStringLiteral("Orario"), GridColumn::Kind::Time, 1200 },
        { QStringLiteral("Testo"), QStringLiteral("Testo promemoria"), GridColumn::Kind::Text, 3585,
            ManagerWindow::TextLimit } };
}
} // namespace

frmProm::frmProm(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, QWidget* parent)
    : ManagerWindow(std::move(Data1), services, words(), columns(), parent)
{
    setObjectName(QStringLiteral("frmProm"));
    setClientSize(5325, 3825);
    using Controls::apply;
    apply(DBGrid1, { .twips = { 0, 0, 5330, 3255 } });
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    apply(Command1, { .twips = { 120, 3360, 1560, 375 } });
    apply(Command2, { .twips = { 1882, 3360, 1560, 375 } });
    apply(Command3, { .twips = { 3600, 3360, 1575, 375 } });
    apply(Picture1, { .twips = { 1035, 968, 3255, 1935 } });

    apply(txtNuovOra, { .twips = { 960, 480, 770, 285 } });
    txtNuovOra->resize(
        std::max(txtNuovOra->width(), txtNuovOra->sizeHint().width()), txtNuovOra->height()); // "23.59" whole
    apply(txtNuovTesto, { .twips = { 960, 840, 2175, 495 } });
    apply(Command4, { .twips = { 120, 1440, 1455, 375 } });
    apply(Command5, { .twips = { 1680, 1440, 1455, 375 } });
}

void frmProm::beginNewEntry() { txtNuovOra->setFocus(); }
