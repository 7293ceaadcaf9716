// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The dialogs of importing and exporting: the desktop's file dialogs and the question of what to
// export. Replaceable, as the message boxes are, so that no test waits on a real one.
class TransferDialogs
{
public:
    enum class Export
    {
        Nothing, // "Annulla", or the box closed
        Calendar, // "Agenda (iCalendar)"
        Contacts, // "Rubrica (vCard)"
    };

    virtual ~TransferDialogs() = default;
    // Files to open, none when the user cancels; the first filter is chosen at the start.
    virtual QStringList openFiles(
        QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters)
        = 0;
    // A file to save to, empty when the user cancels.
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
        = 0;
    virtual Export chooseExport(QWidget* parent) = 0;
};

// The desktop's file dialogs (QFileDialog) and a question box with a button for each choice.
class DesktopTransferDialogs final : public TransferDialogs
{
public:
    QStringList openFiles(
        QWidget* parent, const QString& caption, const QString& folder, const QStringList& filters) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) override;
    Export chooseExport(QWidget* parent) override;
};
