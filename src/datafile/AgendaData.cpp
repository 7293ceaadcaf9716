// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/AgendaData.h"

#include "datafile/DataFileLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>

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

Q_LOGGING_CATEGORY(lcData, "vespelinda.data", QtInfoMsg)

// Which file a path names now: another file renamed over it has another identity.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity { info.st_dev, info.st_ino };
}
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

    // Following other programs' changes.
    OutsideChanges outside;
    sqlite3_stmt* versionQuery = nullptr;
    std::optional<qint64> dataVersion;
    FileIdentity identity;
    std::optional<FileIdentity> refused; // a file put in its place that could not be used
    bool reopenWanted = false; // the file was replaced and the new one is not open yet
    bool pending = false; // a change seen, not read yet
    bool reportedPending = false;
    bool reportedMissing = false;
    QElapsedTimer lockedSince; // the file could not be looked at, since then
    bool reportedLocked = false;

    bool fail(const QString& reason)
    {
        error
            = QStringLiteral("Impossibile aprire il file dei dati %1: %2.").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    // Another program's lock is told as such; any other failure with its reason.
    bool fail(const QSqlError& sqlError, const QString& reason)
    {
        if (refusalOf(sqlError) != Refusal::Busy)
            return fail(reason);
        error = DataFileLock::inUseMessage(path);
        return false;
    }
    bool openFile();
    bool openConnection();
    bool checkFile();
    sqlite3* handle() const;
    std::optional<qint64> readDataVersion();
    void dropVersionQuery();
    void followReplacement();
    bool readChanges();
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
    dropVersionQuery();
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
    if (!openConnection())
        return false;

    makeRecordSets();
    for (RecordSet* set : { prom.get(), appun.get(), rubrica.get() }) {
        if (set->Refresh())
            continue;
        if (set->lastRefusal() == Refusal::Busy)
            error = set->lastError();
        else
            fail(QStringLiteral("la tabella %1 non si può leggere (%2)").arg(set->table(), set->lastError()));
        return false;
    }
    return true;
}

bool AgendaData::Private::openConnection()
{
    // The file's identity before opening it: a file put in its place afterwards is noticed.
    identity = identityOf(path).value_or(FileIdentity {});
    if (!db.open())
        return fail(db.lastError(), db.lastError().text());
    if (!checkTables())
        return false;
    // Default rollback journal, every commit synced to disk: a stored record survives a crash.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL"));
    dataVersion = readDataVersion();
    return true;
}

sqlite3* AgendaData::Private::handle() const
{
    if (!db.isOpen())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

std::optional<qint64> AgendaData::Private::readDataVersion()
{
    sqlite3* connection = handle();
    if (!connection)
        return std::nullopt;
    if (!versionQuery && sqlite3_prepare_v2(connection, "PRAGMA data_version", -1, &versionQuery, nullptr) != SQLITE_OK)
        return std::nullopt;
    // Changes when another connection commits; a file locked right now is looked at next time.
    sqlite3_busy_timeout(connection, 0);
    std::optional<qint64> version;
    if (sqlite3_step(versionQuery) == SQLITE_ROW)
        version = sqlite3_column_int64(versionQuery, 0);
    sqlite3_reset(versionQuery); // ends the read at once: a writer must never wait for it
    sqlite3_busy_timeout(connection, DataFileLock::WaitMs);
    return version;
}

void AgendaData::Private::dropVersionQuery()
{
    // The connection cannot close with a statement still prepared on it.
    if (versionQuery)
        sqlite3_finalize(versionQuery);
    versionQuery = nullptr;
}

void AgendaData::Private::followReplacement()
{
    const std::optional<FileIdentity> now = identityOf(path);
    if (!now) {
        // Deleted (or renamed away): the open file still holds what was there; a new one is
        // opened as soon as it appears.
        if (!reportedMissing)
            qCWarning(lcData).noquote() << "the data file" << path << "is gone: keeping what was read";
        reportedMissing = true;
        return;
    }
    reportedMissing = false;
    if ((*now == identity && !reopenWanted) || now == refused)
        return;
    // Another file in its place (a copy renamed over it, a backup restored): the open connection
    // still reads the old one, whose writes go nowhere. The new one is checked as at start first.
    if (!checkFile()) {
        qCWarning(lcData).noquote() << "another file was put in place of the data file, but it cannot be used:"
                                    << error;
        refused = now;
        return;
    }
    refused.reset();
    dropVersionQuery();
    db.close();
    if (!openConnection()) {
        qCWarning(lcData).noquote() << "the new data file cannot be opened yet:" << error;
        db.close();
        refused = now; // tried again when the file changes once more
        reopenWanted = true;
        return;
    }
    qCInfo(lcData).noquote() << "the data file was replaced on disk: reading the new one";
    reopenWanted = false;
    pending = true;
}

bool AgendaData::Private::readChanges()
{
    sqlite3* connection = handle();
    if (!connection)
        return false;
    sqlite3_busy_timeout(connection, 0);
    bool read = true;
    for (RecordSet* set : { prom.get(), appun.get(), rubrica.get() }) {
        if (set->Requery())
            continue;
        if (!reportedPending)
            qCWarning(lcData).noquote() << "another program's change cannot be read yet, trying again every second:"
                                        << set->lastError();
        reportedPending = true;
        read = false;
        break;
    }
    sqlite3_busy_timeout(connection, DataFileLock::WaitMs);
    return read;
}

void AgendaData::followOutsideChanges()
{
    if (!d->db.isValid())
        return;
    d->followReplacement();
    if (!d->db.isOpen())
        return;
    const std::optional<qint64> version = d->readDataVersion();
    if (!version) {
        // Locked by another program: looked at again next time, and said once if it lasts.
        if (!d->lockedSince.isValid())
            d->lockedSince.start();
        else if (!d->reportedLocked && d->lockedSince.elapsed() >= 5000) {
            qCWarning(lcData) << "the data file has been locked by another program for 5 s: its changes are read "
                                 "as soon as it is free";
            d->reportedLocked = true;
        }
        return;
    }
    if (d->reportedLocked)
        qCInfo(lcData) << "the data file is free again after" << d->lockedSince.elapsed() / 1000 << "s";
    d->lockedSince.invalidate();
    d->reportedLocked = false;
    if (version != d->dataVersion)
        d->pending = true;
    d->dataVersion = version;
    if (!d->pending || !d->readChanges())
        return;
    if (d->reportedPending)
        qCInfo(lcData) << "another program's change read at last";
    d->reportedPending = false;
    d->pending = false;
    emit d->outside.arrived();
}

OutsideChanges& AgendaData::outsideChanges() { return d->outside; }

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
        if (error && set->lastRefusal() == Refusal::Busy)
            *error = set->lastError();
        else if (error)
            *error = QStringLiteral("Impossibile aprire la tabella %1 del file dei dati %2: %3.")
                         .arg(table, QDir::toNativeSeparators(d->path), set->lastError());
        return nullptr;
    }
    return set;
}
