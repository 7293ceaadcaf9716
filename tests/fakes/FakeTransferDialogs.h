// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/TransferDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the file dialogs and the export question at once with what the test set, and records
// what each was asked.
class FakeTransferDialogs final : public TransferDialogs
{
public:
    struct Asked
    {
        QString caption;
        QString suggested; // the folder, or the file suggested
        QStringList filters;
    };

    QStringList openFiles(QWidget*, const QString& caption, const QString& folder, const QStringList& filters) override
    {
        opened.append({ caption, folder, filters });
        return filesToOpen;
    }
    QString saveFile(QWidget*, const QString& caption, const QString& suggested, const QString& filter) override
    {
        saved.append({ caption, suggested, { filter } });
        return fileToSave;
    }
    Export chooseExport(QWidget*) override
    {
        ++choices;
        return choice;
    }

    QStringList filesToOpen;
    QString fileToSave;
    Export choice = Export::Nothing;

    QList<Asked> opened;
    QList<Asked> saved;
    int choices = 0;
};
