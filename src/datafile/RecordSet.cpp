// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/RecordSet.h"

#include "datafile/DataFileLock.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <limits>
#include <optional>

namespace {
const QString IsoFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
// A time of day alone is stored on the conventional day zero; its date part is never read.
const QDate DayZero(1899, 12, 30);

QString quoted(const QString& identifier)
{
    QString inner = identifier;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The columns, quoted, for a SELECT.
QString columnList(const QStringList& columns)
{
    QStringList quotedColumns;
    for (const QString& column : columns)
        quotedColumns.append(quoted(column));
    return quotedColumns.join(u',');
}

bool isDateTimeField(const QString& name)
{
    return name.compare(QLatin1String("Data"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("Ora"), Qt::CaseInsensitive) == 0;
}

QVariant stored(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? QVariant(dt.toString(IsoFormat)) : QVariant(QMetaType(QMetaType::QString));
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return d.isValid() ? QVariant(QDateTime(d, QTime(0, 0)).toString(IsoFormat))
                           : QVariant(QMetaType(QMetaType::QString));
    }
    case QMetaType::QTime: {
        const QTime t = value.toTime();
        return t.isValid() ? QVariant(QDateTime(DayZero, t).toString(IsoFormat))
                           : QVariant(QMetaType(QMetaType::QString));
    }
    default:
        return value;
    }
}

bool hasNonAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0x7F)
            return true;
    return false;
}

// A hash that ignores letter case as QString::compare(Qt::CaseInsensitive) does: over the code
// points, each case-folded on its own (FNV-1a). Tells whether the text is plain ASCII as well.
quint32 foldedHash(QStringView text, bool* ascii = nullptr)
{
    quint32 hash = 2166136261u;
    bool onlyAscii = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
        } else {
            onlyAscii = false;
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
            c = QChar::toCaseFolded(c);
        }
        hash = (hash ^ c) * 16777619u;
    }
    if (ascii)
        *ascii = onlyAscii;
    return hash;
}

// The whole value, ignoring letter case in all of Unicode; a name typed with combining accents
// equals the same name typed with precomposed letters. The searched text comes in twice, as typed
// and in normal form C, so that it is normalised once per find rather than once per record.
bool equalIgnoringCase(const QString& value, const QString& text, const QString& textNfc)
{
    // Letter case is folded one UTF-16 unit at a time, so equal texts have equal lengths: most
    // records are told apart by their length alone.
    if (value.size() == text.size() && value.compare(text, Qt::CaseInsensitive) == 0)
        return true;
    if (!hasNonAscii(value)) // its own normal form
        return value.size() == textNfc.size() && value.compare(textNfc, Qt::CaseInsensitive) == 0;
    const QString valueNfc = value.normalized(QString::NormalizationForm_C); // no copy when already normal
    return valueNfc.size() == textNfc.size() && valueNfc.compare(textNfc, Qt::CaseInsensitive) == 0;
}
} // namespace

RecordSet::RecordSet(QSqlDatabase db, QString table)
    : m_db(std::move(db))
    , m_table(std::move(table))
{
}

bool RecordSet::fail(const QString& reason) const
{
    m_lastError = reason;
    m_lastRefusal = Refusal::None;
    return false;
}

bool RecordSet::fail(const QSqlError& error) const
{
    m_lastError = error.text();
    m_lastRefusal = refusalOf(error);
    if (m_lastRefusal == Refusal::Busy) {
        m_lastError = DataFileLock::inUseMessage(DataFileLock::filePath(m_db));
    } else if (m_lastRefusal == Refusal::DiskFull) {
        // Or the table's largest key already used (by a row, or, with AUTOINCREMENT, ever).
        const auto reached = [this](const QString& sql) {
            QSqlQuery query(m_db);
            query.prepare(sql);
            query.addBindValue(m_table);
            return query.exec() && query.next() && query.value(0).toLongLong() == std::numeric_limits<qint64>::max();
        };
        if (reached(QStringLiteral("SELECT max(rowid) FROM %1 WHERE ? IS NOT NULL").arg(quoted(m_table)))
            || reached(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?")))
            m_lastRefusal = Refusal::TableFull;
    }
    return false;
}

int RecordSet::fieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool RecordSet::readColumns(QStringList* columns) const
{
    if (!m_db.isOpen())
        return fail(QStringLiteral("il file dei dati non è aperto"));
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(m_table))))
        return fail(query.lastError());
    columns->clear();
    while (query.next())
        columns->append(query.value(1).toString());
    if (columns->isEmpty())
        return fail(QStringLiteral("la tabella %1 non esiste").arg(m_table));
    return true;
}

bool RecordSet::readTable(QStringList* columns, QVector<Row>* rows) const
{
    if (!readColumns(columns))
        return false;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(columnList(*columns), quoted(m_table))))
        return fail(query.lastError());
    const int n = columns->size();
    while (query.next()) {
        Row row { query.value(0).toLongLong(), QVector<QVariant>(n) };
        for (int i = 0; i < n; ++i)
            row.values[i] = query.value(i + 1);
        rows->append(std::move(row));
    }
    if (query.lastError().isValid())
        return fail(query.lastError());
    return true;
}

void RecordSet::takeTable(QStringList columns, QVector<Row> rows)
{
    const int n = columns.size();
    m_fields = std::move(columns);
    m_isDateTime.resize(n);
    for (int i = 0; i < n; ++i)
        m_isDateTime[i] = isDateTimeField(m_fields[i]);
    m_rows = std::move(rows);
    m_findColumn = -1;
    m_noMatch = false;
}

bool RecordSet::Refresh()
{
    dropEditBuffer();
    QStringList columns;
    QVector<Row> rows;
    if (!readTable(&columns, &rows))
        return false;
    takeTable(std::move(columns), std::move(rows));
    m_position = m_rows.isEmpty() ? Position::AtEof : Position::OnRecord;
    m_index = 0;
    return true;
}

bool RecordSet::Requery()
{
    QStringList columns;
    QVector<Row> rows;
    if (!readTable(&columns, &rows))
        return false;
    if (columns != m_fields && m_editMode != EditMode::None)
        dropEditBuffer(); // another program changed the table's shape: the buffer no longer fits
    // Rows come in key order: a key is found again by bisection.
    const auto indexOf = [&rows](qint64 rowid) {
        const auto it = std::lower_bound(
            rows.cbegin(), rows.cend(), rowid, [](const Row& row, qint64 key) { return row.rowid < key; });
        return std::pair { int(it - rows.cbegin()), it != rows.cend() && it->rowid == rowid };
    };
    const auto at = [this](int index) {
        return index >= 0 && index < m_rows.size() ? std::optional(m_rows[index].rowid) : std::nullopt;
    };
    // The same record current again, or, when it has gone, the place where it was.
    const auto follow = [&](Position& position, int& index) {
        if (position != Position::OnRecord && position != Position::Invalid)
            return;
        const std::optional<qint64> key = at(index);
        const auto [newIndex, found] = key ? indexOf(*key) : std::pair { int(rows.size()), false };
        index = newIndex;
        if (position == Position::OnRecord && !found)
            position = Position::Invalid;
    };
    follow(m_position, m_index);
    if (m_editMode == EditMode::New)
        follow(m_positionBeforeNew, m_indexBeforeNew);
    takeTable(std::move(columns), std::move(rows));
    if (m_position == Position::OnRecord && m_index >= m_rows.size())
        m_position = Position::AtEof;
    return true;
}

void RecordSet::restorePositionBeforeNew()
{
    m_position = m_positionBeforeNew;
    m_index = m_indexBeforeNew;
}

void RecordSet::dropEditBuffer()
{
    m_editMode = EditMode::None;
    m_buffer.clear();
    m_changed.clear();
}

bool RecordSet::MoveFirst()
{
    dropEditBuffer();
    if (m_rows.isEmpty())
        return fail(QStringLiteral("la tabella %1 è vuota").arg(m_table));
    m_position = Position::OnRecord;
    m_index = 0;
    return true;
}

bool RecordSet::MoveLast()
{
    dropEditBuffer();
    if (m_rows.isEmpty())
        return fail(QStringLiteral("la tabella %1 è vuota").arg(m_table));
    m_position = Position::OnRecord;
    m_index = m_rows.size() - 1;
    return true;
}

bool RecordSet::MoveNext()
{
    dropEditBuffer();
    int next = 0;
    switch (m_position) {
    case Position::AtEof:
        return fail(QStringLiteral("nessun record dopo l'ultimo"));
    case Position::BeforeFirst:
        next = 0;
        break;
    case Position::OnRecord:
        next = m_index + 1;
        break;
    case Position::Invalid:
        next = m_index;
        break;
    }
    if (next < m_rows.size()) {
        m_position = Position::OnRecord;
        m_index = next;
    } else {
        m_position = Position::AtEof;
        m_index = 0;
    }
    return true;
}

bool RecordSet::MovePrevious()
{
    dropEditBuffer();
    int previous = 0;
    switch (m_position) {
    case Position::BeforeFirst:
        return fail(QStringLiteral("nessun record prima del primo"));
    case Position::AtEof:
        if (m_rows.isEmpty())
            return fail(QStringLiteral("la tabella %1 è vuota").arg(m_table));
        previous = int(m_rows.size()) - 1;
        break;
    case Position::OnRecord:
    case Position::Invalid:
        previous = m_index - 1;
        break;
    }
    if (previous >= 0) {
        m_position = Position::OnRecord;
        m_index = previous;
    } else {
        m_position = Position::BeforeFirst;
        m_index = 0;
    }
    return true;
}

bool RecordSet::Eof() const { return m_position == Position::AtEof; }

RecordSet::Position RecordSet::position() const { return m_position; }

QVariant RecordSet::presented(int column, const QVariant& value) const
{
    if (!m_isDateTime.value(column) || value.typeId() != QMetaType::QString)
        return value;
    // Making a local date-time costs microseconds (a time-zone lookup) and a table holds few
    // distinct dates and times, so each text is converted once.
    const QString text = value.toString();
    auto cached = m_dateTimes.constFind(text);
    if (cached == m_dateTimes.cend()) {
        if (m_dateTimes.size() >= 20000)
            m_dateTimes.clear();
        cached = m_dateTimes.insert(text, QDateTime::fromString(text, Qt::ISODate));
    }
    if (cached->isValid())
        return *cached;
    return value;
}

QVariant RecordSet::value(const QString& field, bool* ok) const
{
    if (ok)
        *ok = false;
    const int column = fieldIndex(field);
    if (column < 0) {
        fail(QStringLiteral("la tabella %1 non ha il campo %2").arg(m_table, field));
        return {};
    }
    QVariant result;
    if (m_editMode != EditMode::None)
        result = m_buffer[column];
    else if (m_position == Position::OnRecord)
        result = m_rows[m_index].values[column];
    else {
        fail(QStringLiteral("nessun record corrente"));
        return {};
    }
    if (ok)
        *ok = true;
    return presented(column, result);
}

bool RecordSet::setValue(const QString& field, const QVariant& value)
{
    if (m_editMode == EditMode::None)
        return fail(QStringLiteral("nessun record in modifica: manca AddNew o Edit"));
    const int column = fieldIndex(field);
    if (column < 0)
        return fail(QStringLiteral("la tabella %1 non ha il campo %2").arg(m_table, field));
    m_buffer[column] = stored(value);
    m_changed[column] = true;
    return true;
}

bool RecordSet::AddNew()
{
    if (m_fields.isEmpty())
        return fail(QStringLiteral("la tabella %1 non è stata letta").arg(m_table));
    if (m_editMode != EditMode::New) {
        m_positionBeforeNew = m_position;
        m_indexBeforeNew = m_index;
    }
    m_editMode = EditMode::New;
    m_buffer = QVector<QVariant>(m_fields.size());
    m_changed = QVector<bool>(m_fields.size(), false);
    return true;
}

bool RecordSet::Edit()
{
    if (m_editMode == EditMode::New) {
        dropEditBuffer();
        restorePositionBeforeNew();
    }
    if (m_position != Position::OnRecord) {
        dropEditBuffer();
        return fail(QStringLiteral("nessun record corrente"));
    }
    m_editMode = EditMode::Edit;
    m_editRowid = m_rows[m_index].rowid;
    m_buffer = m_rows[m_index].values;
    m_changed = QVector<bool>(m_fields.size(), false);
    return true;
}

bool RecordSet::readRow(qint64 rowid, Row* row) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(columnList(m_fields), quoted(m_table)));
    query.addBindValue(rowid);
    if (!query.exec())
        return fail(query.lastError());
    if (!query.next())
        return fail(QStringLiteral("il record non è più nel file"));
    row->rowid = rowid;
    row->values.resize(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i)
        row->values[i] = query.value(i);
    return true;
}

bool RecordSet::Update()
{
    if (m_editMode == EditMode::None)
        return fail(QStringLiteral("nessun record in modifica: manca AddNew o Edit"));

    QStringList columns;
    QVariantList values;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_changed[i]) {
            columns.append(quoted(m_fields[i]));
            values.append(m_buffer[i]);
        }
    }

    QSqlQuery query(m_db);
    if (m_editMode == EditMode::New) {
        if (columns.isEmpty()) {
            query.prepare(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table)));
        } else {
            const QString marks = QStringLiteral("?,").repeated(columns.size()).chopped(1);
            query.prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(m_table), columns.join(u','), marks));
        }
        for (const QVariant& v : values)
            query.addBindValue(v);
        if (!query.exec())
            return fail(query.lastError());
        const qint64 rowid = query.lastInsertId().toLongLong();
        Row row;
        if (!readRow(rowid, &row)) {
            // Stored, but not readable back: the next Refresh shows it.
            dropEditBuffer();
            restorePositionBeforeNew();
            return false;
        }
        m_rows.append(std::move(row));
        if (m_findColumn >= 0)
            m_findKeys.append(findKey(m_rows.last()));
        dropEditBuffer();
        restorePositionBeforeNew();
        return true;
    }

    // The record may have moved in the view, or gone, since Edit(), when the view was read afresh.
    if (m_position != Position::OnRecord || m_rows[m_index].rowid != m_editRowid)
        return fail(QStringLiteral("il record non è più nel file"));
    Row& current = m_rows[m_index];
    if (!columns.isEmpty()) {
        QStringList assignments;
        for (const QString& c : columns)
            assignments.append(c + QStringLiteral(" = ?"));
        query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoted(m_table), assignments.join(u',')));
        for (const QVariant& v : values)
            query.addBindValue(v);
        query.addBindValue(current.rowid);
        if (!query.exec())
            return fail(query.lastError());
        if (query.numRowsAffected() != 1)
            return fail(QStringLiteral("il record non è più nel file"));
        Row row;
        if (!readRow(current.rowid, &row)) {
            dropEditBuffer();
            return false;
        }
        current = std::move(row);
        if (m_findColumn >= 0)
            m_findKeys[m_index] = findKey(current);
    }
    dropEditBuffer();
    return true;
}

bool RecordSet::CancelUpdate()
{
    if (m_editMode == EditMode::None)
        return fail(QStringLiteral("nessun record in modifica"));
    if (m_editMode == EditMode::New) {
        restorePositionBeforeNew();
    }
    dropEditBuffer();
    return true;
}

bool RecordSet::Delete()
{
    if (m_editMode == EditMode::New) {
        restorePositionBeforeNew();
    }
    dropEditBuffer();
    if (m_position != Position::OnRecord)
        return fail(QStringLiteral("nessun record corrente"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_table)));
    query.addBindValue(m_rows[m_index].rowid);
    if (!query.exec())
        return fail(query.lastError());
    const bool wasThere = query.numRowsAffected() == 1;
    // The position stays where the record was: there is no current record until the next move.
    m_rows.remove(m_index);
    if (m_findColumn >= 0)
        m_findKeys.remove(m_index);
    m_position = Position::Invalid;
    if (!wasThere)
        return fail(QStringLiteral("il record non era più nel file"));
    return true;
}

RecordSet::EditMode RecordSet::editMode() const { return m_editMode; }

RecordSet::FindKey RecordSet::findKey(const Row& row) const
{
    const QVariant& v = row.values[m_findColumn];
    if (v.isNull())
        return { 0, 0 }; // never found: matches() passes over NULL
    const bool isText = v.typeId() == QMetaType::QString;
    const QString converted = isText ? QString() : v.toString();
    const QString& value = isText ? *static_cast<const QString*>(v.constData()) : converted;
    bool ascii = true;
    const quint32 raw = foldedHash(value, &ascii);
    return { raw, ascii ? raw : foldedHash(value.normalized(QString::NormalizationForm_C)) };
}

bool RecordSet::matches(int index, int column, const QString& text, const QString& textNfc) const
{
    const QVariant& v = m_rows[index].values[column];
    if (v.isNull())
        return false;
    // Text, as the file gives it, is compared in place: a copy per record costs more than the compare.
    if (v.typeId() == QMetaType::QString)
        return equalIgnoringCase(*static_cast<const QString*>(v.constData()), text, textNfc);
    return equalIgnoringCase(v.toString(), text, textNfc);
}

bool RecordSet::find(const FieldEquals& criterion, int from)
{
    dropEditBuffer();
    const int column = fieldIndex(criterion.field);
    if (column < 0) {
        m_noMatch = true;
        return fail(QStringLiteral("criterio di ricerca non valido: la tabella %1 non ha il campo %2")
                        .arg(m_table, criterion.field));
    }
    if (m_findColumn != column || m_findKeys.size() != m_rows.size()) {
        m_findColumn = column;
        m_findKeys.resize(m_rows.size());
        for (int i = 0; i < m_rows.size(); ++i)
            m_findKeys[i] = findKey(m_rows[i]);
    }
    const QString textNfc = criterion.text.normalized(QString::NormalizationForm_C);
    const FindKey wanted { foldedHash(criterion.text), foldedHash(textNfc) };
    for (int i = from; i < m_rows.size(); ++i) {
        // Texts equal but for letter case have equal hashes: most records are passed over
        // without reaching their text.
        if (m_findKeys[i].raw != wanted.raw && m_findKeys[i].nfc != wanted.nfc)
            continue;
        if (matches(i, column, criterion.text, textNfc)) {
            m_position = Position::OnRecord;
            m_index = i;
            m_noMatch = false;
            return true;
        }
    }
    m_noMatch = true;
    return true;
}

bool RecordSet::FindFirst(const FieldEquals& criterion) { return find(criterion, 0); }

bool RecordSet::FindNext(const FieldEquals& criterion)
{
    int from = 0;
    switch (m_position) {
    case Position::BeforeFirst:
        from = 0;
        break;
    case Position::OnRecord:
        from = m_index + 1;
        break;
    case Position::Invalid:
        from = m_index;
        break;
    case Position::AtEof:
        from = int(m_rows.size());
        break;
    }
    return find(criterion, from);
}

bool RecordSet::NoMatch() const { return m_noMatch; }

int RecordSet::recordCount() const { return int(m_rows.size()); }

QString RecordSet::table() const { return m_table; }

QString RecordSet::lastError() const { return m_lastError; }

RecordSet::Refusal RecordSet::lastRefusal() const { return m_lastRefusal; }

QString RecordSet::lastRefusalInWords() const { return refusalInWords(m_lastRefusal, m_table, m_lastError); }

QStringList RecordSet::fields() const { return m_fields; }

int RecordSet::currentIndex() const { return m_position == Position::OnRecord ? m_index : -1; }

QVariant RecordSet::valueAt(int index, const QString& field) const
{
    const int column = fieldIndex(field);
    if (index < 0 || index >= m_rows.size() || column < 0)
        return {};
    return presented(column, m_rows[index].values[column]);
}

bool RecordSet::moveTo(int index)
{
    dropEditBuffer();
    if (index < 0 || index >= m_rows.size())
        return fail(QStringLiteral("nessun record numero %1").arg(index));
    m_position = Position::OnRecord;
    m_index = index;
    return true;
}
