// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

QString DataFileFixture::schemaPath() { return QStringLiteral(VESPELINDA_SCHEMA_FILE); }

QStringList DataFileFixture::schemaStatements(QString* error)
{
    QFile file(schemaPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return {};
    }
    QString text;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines)
        if (!line.trimmed().startsWith(QLatin1String("--")))
            text += line + u'\n';
    QStringList statements;
    for (const QString& s : text.split(u';'))
        if (!s.trimmed().isEmpty())
            statements.append(s.trimmed());
    return statements;
}

QString DataFileFixture::create(const QString& folder, QString* error)
{
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("dati.mdb"));
    QFile::remove(path);
    const QStringList statements = schemaStatements(error);
    if (statements.isEmpty())
        return {};

    QString failure;
    const QString connection = QStringLiteral("data-file-fixture-") + path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery query(db);
            for (const QString& statement : statements) {
                if (!query.exec(statement)) {
                    failure = statement + QStringLiteral(": ") + query.lastError().text();
                    break;
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return {};
    }
    return path;
}
