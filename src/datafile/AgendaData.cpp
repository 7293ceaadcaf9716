// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/AgendaData.h"

#include "datafile/DataFileLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {
struct TableFields
{
    const char* name;
    QStringList fields;
};

const TableFields Tables[] = {
    { "Appuntamenti",
        { QStringLiteral("IDAppuntamento"), QStringLiteral("Data"), QStringLiteral("Ora"), QStringLiteral("Testo") } },
    { "Promemoria", { QStringLiteral("IDPromemoria"), QStringLiteral("Ora"), QStringLiteral("Testo") } },
    { "Rubrica", { QStringLiteral("Nome"), QStringLiteral("Telefono"), QStringLiteral("Email") } },
};

const QByteArray SqliteMagic("SQLite format 3\0", 16);
} // namespace

struct AgendaData::Private
{
    QString path;
    QString connectionName;
    QSqlDatabase db;
    QString error;
    std::unique_ptr<RecordSet> prom;
    std::unique_ptr<RecordSet> appun;
    std::unique_ptr<RecordSet> rubrica;

    bool fail(const QString& reason)
    {
        error
            = QStringLiteral("Impossibile aprire il file dei dati %1: %2.").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    // Another program's lock is told as such; any other failure with its reason.
    bool fail(const QSqlError& sqlError, const QString& reason)
    {
        if (!DataFileLock::isLock(sqlError))
            return fail(reason);
        error = DataFileLock::inUseMessage(path);
        return false;
    }
    bool openFile();
    bool checkFile();
    void makeRecordSets();
    bool checkTables();
    void close();
};

AgendaData::AgendaData(QString filePath)
    : d(std::make_unique<Private>())
{
    d->path = QFileInfo(filePath).absoluteFilePath();
    d->connectionName = QStringLiteral("vespelinda-data-%1").arg(quintptr(this), 0, 16);
    d->makeRecordSets();
}

AgendaData::~AgendaData() { d->close(); }

void AgendaData::Private::close()
{
    // Every copy of the connection must be gone before it is removed.
    prom.reset();
    appun.reset();
    rubrica.reset();
    if (db.isValid()) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }
}

QString AgendaData::defaultPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/dati.mdb"); }

bool AgendaData::Private::checkFile()
{
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("il file non esiste"));
    if (!info.isFile())
        return fail(QStringLiteral("non è un file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("il file non si può leggere (%1)").arg(file.errorString()));
    // An empty file is an empty database to SQLite; anything else must start with its header.
    const QByteArray head = file.read(SqliteMagic.size());
    if (!head.isEmpty() && head != SqliteMagic)
        return fail(QStringLiteral("il file non è un database SQLite"));
    return true;
}

bool AgendaData::Private::checkTables()
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return fail(
            query.lastError(), QStringLiteral("il file non è un database valido (%1)").arg(query.lastError().text()));
    for (const TableFields& table : Tables) {
        const QString name = QString::fromLatin1(table.name);
        if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name)))
            return fail(query.lastError(),
                QStringLiteral("la tabella %1 non si può leggere (%2)").arg(name, query.lastError().text()));
        QStringList present;
        while (query.next())
            present.append(query.value(1).toString());
        if (present.isEmpty())
            return fail(QStringLiteral("manca la tabella %1").arg(name));
        for (const QString& field : table.fields)
            if (!present.contains(field, Qt::CaseInsensitive))
                return fail(QStringLiteral("nella tabella %1 manca il campo %2").arg(name, field));
    }
    return true;
}

void AgendaData::Private::makeRecordSets()
{
    prom = std::make_unique<RecordSet>(db, QStringLiteral("Promemoria"));
    appun = std::make_unique<RecordSet>(db, QStringLiteral("Appuntamenti"));
    rubrica = std::make_unique<RecordSet>(db, QStringLiteral("Rubrica"));
}

bool AgendaData::open()
{
    d->close();
    d->error.clear();
    if (d->openFile())
        return true;
    // A file that failed any check is not used at all.
    d->close();
    d->makeRecordSets();
    return false;
}

bool AgendaData::Private::openFile()
{
    if (!checkFile())
        return false;

    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!db.isValid())
        return fail(QStringLiteral("manca il driver SQLite di Qt"));
    // mode=rw: SQLite opens the file for reading and writing (or reading only when the file or its
    // folder is write-protected), and never creates it.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    // A lock held by another program is waited for a moment, not the driver's five seconds.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(DataFileLock::WaitMs));
    if (!db.open())
        return fail(db.lastError(), db.lastError().text());

    if (!checkTables())
        return false;

    // Default rollback journal, every commit synced to disk: a stored record survives a crash.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL"));

    makeRecordSets();
    for (RecordSet* set : { prom.get(), appun.get(), rubrica.get() }) {
        if (set->Refresh())
            continue;
        if (set->lastErrorIsLock())
            error = set->lastError();
        else
            fail(QStringLiteral("la tabella %1 non si può leggere (%2)").arg(set->table(), set->lastError()));
        return false;
    }
    return true;
}

QString AgendaData::errorText() const { return d->error; }

QString AgendaData::filePath() const { return d->path; }

QString AgendaData::writeProblem() const
{
    const QFileInfo file(d->path);
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    QString why;
    if (!file.isWritable())
        why = QStringLiteral("il file è protetto dalla scrittura");
    else if (!QFileInfo(file.absolutePath()).isWritable())
        why = QStringLiteral(
            "non hai il permesso di scrivere nella sua cartella, dove ogni salvataggio crea un file di appoggio");
    else
        return {};
    return QStringLiteral("Il file dei dati %1 si può leggere ma non modificare: %2. Vedrai appuntamenti, "
                          "promemoria e rubrica, ma non potrai aggiungerne, cambiarli o eliminarli.\n\n"
                          "Cosa fare: installa Vespelinda nella tua cartella personale (cmake --install build "
                          "--prefix ~/.local), oppure chiedi all'amministratore del computer il permesso di "
                          "scrittura sulla cartella %3 e sul file.")
        .arg(QDir::toNativeSeparators(d->path), why, folder);
}

RecordSet& AgendaData::dtaProm() { return *d->prom; }

RecordSet& AgendaData::dtaAppun() { return *d->appun; }

RecordSet& AgendaData::dtaRubrica() { return *d->rubrica; }

std::unique_ptr<RecordSet> AgendaData::openRecordSet(const QString& table, QString* error)
{
    auto set = std::make_unique<RecordSet>(d->db, table);
    if (!set->Refresh()) {
        if (error && set->lastErrorIsLock())
            *error = set->lastError();
        else if (error)
            *error = QStringLiteral("Impossibile aprire la tabella %1 del file dei dati %2: %3.")
                         .arg(table, QDir::toNativeSeparators(d->path), set->lastError());
        return nullptr;
    }
    return set;
}
