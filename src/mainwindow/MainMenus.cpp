// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainMenus.h"

#include "core/Controls.h"

#include <QMenu>

namespace {
QAction* item(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}
} // namespace

MainMenus::MainMenus(QWidget& window)
{
    mnuPrinc = new QMenu(&window);
    Controls::apply(mnuPrinc, { .name = u"mnuPrinc", .accessibleName = QStringLiteral("Menu di Vespelinda") });
    mnuEsci = item(mnuPrinc, "mnuEsci", "Esci");
    mnuInfo = item(mnuPrinc, "mnuInfo", "Info");
    mnuOpzioni = item(mnuPrinc, "mnuOpzioni", "Opzioni");
    // Letters no other item begins with.
    mnuImporta = item(mnuPrinc, "mnuImporta", "I&mporta...");
    mnuEsporta = item(mnuPrinc, "mnuEsporta", "Es&porta...");
    mnuRiduci = item(mnuPrinc, "mnuRiduci", "Riduci a icona");
    mnuNascondi = item(mnuPrinc, "mnuNascondi", "Nascondi comandi");
    mnuNascondi->setCheckable(true);

    mnuIcona = new QMenu(&window);
    Controls::apply(
        mnuIcona, { .name = u"mnuIcona", .accessibleName = QStringLiteral("Menu dell'icona di Vespelinda") });
    mnuIcoEsci = item(mnuIcona, "mnuIcoEsci", "Esci");
    mnuIcoVisualizza = item(mnuIcona, "mnuIcoVisualizza", "Visualizza / Nascondi");
    mnuIcoInfo = item(mnuIcona, "mnuIcoInfo", "Info");
}

void MainMenus::openMainFromKeyboard(const QPoint& at) const
{
    QAction* first = mnuPrinc->actions().value(0);
    mnuPrinc->popup(at, first);
    mnuPrinc->setActiveAction(first);
}
