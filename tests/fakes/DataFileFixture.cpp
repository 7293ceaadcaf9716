// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

QString DataFileFixture::schemaPath() { return QStringLiteral(VESPELINDA_SCHEMA_FILE); }

QStringList DataFileFixture::schemaStatements(QString* error)
{
    QFile file(schemaPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.fileName() + u": "_s + file.errorString();
        return {};
    }
    QString text;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            text += line + u'\n';
    QStringList statements;
    for (const QString& statement : text.split(u';'))
        if (!statement.trimmed().isEmpty())
            statements.append(statement.trimmed());
    return statements;
}

QString DataFileFixture::create(const QString& folder, QString* error)
{
    const QString path = QDir(folder).absoluteFilePath(u"dati.mdb"_s);
    QFile::remove(path);
    const QStringList statements = schemaStatements(error);
    if (statements.isEmpty())
        return {};
    QString failure;
    const QString connection = u"data-file-fixture-"_s + path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(path);
        if (!db.open())
            failure = db.lastError().text();
        QSqlQuery query(db);
        for (int i = 0; failure.isEmpty() && i < statements.size(); ++i)
            if (!query.exec(statements[i]))
                failure = statements[i] + u": "_s + query.lastError().text();
    }
    QSqlDatabase::removeDatabase(connection);
    if (failure.isEmpty())
        return path;
    if (error)
        *error = failure;
    return {};
}
