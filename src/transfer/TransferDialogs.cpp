// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferDialogs.h"

#include "core/Controls.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

QStringList DesktopTransferDialogs::openFiles(
    QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters)
{
    return QFileDialog::getOpenFileNames(parent, caption, folder, filters.join(QStringLiteral(";;")));
}

QString DesktopTransferDialogs::saveFile(
    QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

TransferDialogs::Export DesktopTransferDialogs::chooseExport(QWidget* parent)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("frmEsporta"));
    box.setWindowTitle(QStringLiteral("Esporta"));
    box.setIcon(QMessageBox::Question);
    box.setText(QStringLiteral("Che cosa vuoi esportare?"));
    box.setInformativeText(QStringLiteral("L'agenda (gli appuntamenti da oggi in poi e i promemoria) in un file di "
                                          "calendario, oppure la rubrica in un file di contatti."));
    QPushButton* calendar = box.addButton(QStringLiteral("&Agenda (iCalendar)"), QMessageBox::AcceptRole);
    QPushButton* contacts = box.addButton(QStringLiteral("&Rubrica (vCard)"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("A&nnulla"), QMessageBox::RejectRole);
    Controls::apply(calendar, { .name = u"cmdAgenda" });
    Controls::apply(contacts, { .name = u"cmdRubrica" });
    Controls::apply(cancel, { .name = u"cmdAnnulla" });
    box.setDefaultButton(calendar);
    box.setEscapeButton(cancel);
    // The main window stays on top; a box under it would be lost.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    if (box.clickedButton() == calendar)
        return Export::Calendar;
    if (box.clickedButton() == contacts)
        return Export::Contacts;
    return Export::Nothing;
}
