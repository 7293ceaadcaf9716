// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/CalendarFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <cstring>
#include <functional>
#include <libical/ical.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 SecsPerDay = 86400;
// The Julian day of 1970-01-01, where seconds since the epoch start.
constexpr qint64 EpochDay = 2440588;
constexpr int AllDaySecs = 9 * 3600;
// Recurrence steps looked at for one event before giving up on reaching the coming year.
constexpr int MaxRecurrenceSteps = 100000;

const auto Cancelled = u"annullati"_s;
const auto NoStart = u"senza data di inizio"_s;
const auto BadDate = u"con una data non valida"_s;
const auto NoTitle = u"senza titolo"_s;
const auto UnknownZone = u"con un fuso orario sconosciuto"_s;
const auto OnlyLater = u"che si ripetono solo fra più di un anno"_s;
const auto TooMany = u"ripetuti più di %1 volte in un anno (importate le prime %1)"_s.arg(CalendarFile::MaxOccurrences);

// Every use of a libical time zone (see the header).
std::mutex& zoneMutex()
{
    static std::mutex mutex;
    return mutex;
}

// libical fills its table of zones on first use: done once, under the mutex.
icaltimezone* utcZone()
{
    static icaltimezone* utc = [] {
        std::lock_guard lock(zoneMutex());
        return icaltimezone_get_utc_timezone();
    }();
    return utc;
}

struct ComponentFree
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

QString fileName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

QString megabytes(qint64 bytes, int decimals)
{
    return QLocale(QLocale::Italian, QLocale::Italy)
        .formattedDataSize(bytes, decimals, QLocale::DataSizeTraditionalFormat);
}

// A moment as this machine's clock shows it: Julian day * 86400 + seconds of the day.
qint64 wallOf(const QDate& day, int secsOfDay) { return day.toJulianDay() * SecsPerDay + secsOfDay; }
QDate dayOf(qint64 wall) { return QDate::fromJulianDay(wall / SecsPerDay); }
int secsOf(qint64 wall) { return int(wall % SecsPerDay); }

QDate dateOf(const icaltimetype& t) { return QDate(t.year, t.month, t.day); }
int secsOf(const icaltimetype& t) { return t.is_date ? 0 : t.hour * 3600 + t.minute * 60 + std::min(t.second, 59); }
bool validTime(const icaltimetype& t)
{
    return dateOf(t).isValid() && t.year >= 1000 && t.year <= 9999
        && (t.is_date || (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0));
}

icaltimetype fieldsOf(const QDate& day, const QTime& time)
{
    icaltimetype t = icaltime_null_time();
    t.year = day.year();
    t.month = day.month();
    t.day = day.day();
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    return t;
}

// Where a time written in a file is on the clock.
struct Zone
{
    enum class Kind
    {
        Local,
        Utc,
        Ical,
        Qt,
        Unknown
    };
    Kind kind = Kind::Local; // a floating time, or one in this machine's own zone
    icaltimezone* ical = nullptr;
    QTimeZone qt {};
};

// A name libical may look up as a file under the zone directory.
bool plainZoneName(const QByteArray& name)
{
    if (name.isEmpty() || name.size() > 64 || name.startsWith('/') || name.contains(".."))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '_'
            || c == '-' || c == '+';
    });
}

bool utcName(const QByteArray& name)
{
    static const QSet<QByteArray> names { "UTC", "GMT", "Z", "Etc/UTC", "Etc/GMT", "Etc/Zulu", "Zulu", "UCT" };
    return names.contains(name);
}

// The clock of one read or write: this machine's zone and the zones a file names.
class Clock
{
public:
    Clock()
        : m_system(QTimeZone::systemTimeZone())
        , m_systemId(QTimeZone::systemTimeZoneId())
    {
    }

    const QTimeZone& system() const { return m_system; }
    const QByteArray& systemId() const { return m_systemId; }

    // The zone of a DTSTART, DTEND, EXDATE... property holding t, in a file's calendar.
    Zone zoneOf(icalproperty* property, const icaltimetype& t, icalcomponent* calendar)
    {
        if (icaltime_is_utc(t))
            return { Zone::Kind::Utc };
        icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        const char* tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
        if (!tzid || !*tzid)
            return {};
        const auto key = std::make_pair(calendar, QByteArray(tzid));
        const auto known = m_zones.find(key);
        if (known != m_zones.end())
            return known->second;
        return m_zones[key] = lookUp(key.second, calendar);
    }

    // The wall clock here of t, written in zone.
    qint64 toWall(const icaltimetype& t, const Zone& zone) const
    {
        const QDate day = dateOf(t);
        if (t.is_date || zone.kind == Zone::Kind::Local)
            return wallOf(day, secsOf(t));
        qint64 utc = 0;
        if (zone.kind == Zone::Kind::Utc) {
            utc = (day.toJulianDay() - EpochDay) * SecsPerDay + secsOf(t);
        } else if (zone.kind == Zone::Kind::Qt) {
            utc = QDateTime(day, QTime::fromMSecsSinceStartOfDay(secsOf(t) * 1000), zone.qt).toSecsSinceEpoch();
        } else {
            icaltimetype bare = t;
            bare.zone = nullptr;
            std::lock_guard lock(zoneMutex());
            utc = icaltime_as_timet_with_zone(bare, zone.ical);
        }
        return wallFromUtc(utc);
    }

    qint64 wallFromUtc(qint64 utc) const
    {
        const QDateTime here = QDateTime::fromSecsSinceEpoch(utc, m_system);
        return wallOf(here.date(), here.time().msecsSinceStartOfDay() / 1000);
    }

    // A UTC moment written as zone's clock shows it.
    icaltimetype fromUtc(const icaltimetype& utc, const Zone& zone) const
    {
        icaltimetype t = utc;
        t.zone = nullptr;
        if (zone.kind == Zone::Kind::Utc)
            return t;
        if (zone.kind == Zone::Kind::Ical) {
            icaltimezone* utcTimes = utcZone();
            std::lock_guard lock(zoneMutex());
            icaltimezone_convert_time(&t, utcTimes, zone.ical);
            t.zone = nullptr;
            return t;
        }
        const qint64 secs = (dateOf(utc).toJulianDay() - EpochDay) * SecsPerDay + secsOf(utc);
        const QDateTime there = QDateTime::fromSecsSinceEpoch(secs, zone.kind == Zone::Kind::Qt ? zone.qt : m_system);
        return fieldsOf(there.date(), there.time());
    }

private:
    Zone lookUp(const QByteArray& tzid, icalcomponent* calendar)
    {
        const QByteArray name = ianaName(tzid);
        if (!m_systemId.isEmpty() && name == m_systemId)
            return {};
        if (utcName(name))
            return { Zone::Kind::Utc };
        {
            icaltimezone* utc = utcZone();
            std::lock_guard lock(zoneMutex());
            if (icaltimezone* own = icalcomponent_get_timezone(calendar, tzid.constData()))
                return { Zone::Kind::Ical, own };
            icaltimezone* builtin = icaltimezone_get_builtin_timezone_from_tzid(tzid.constData());
            if (!builtin && plainZoneName(name))
                builtin = icaltimezone_get_builtin_timezone(name.constData());
            if (builtin == utc)
                return { Zone::Kind::Utc };
            if (builtin)
                return { Zone::Kind::Ical, builtin };
        }
        QTimeZone qt(name);
        if (!qt.isValid()) {
            const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(tzid);
            if (!iana.isEmpty())
                qt = QTimeZone(iana);
        }
        if (qt.isValid())
            return { Zone::Kind::Qt, nullptr, qt };
        return { Zone::Kind::Unknown };
    }

    // "/freeassociation.sourceforge.net/Europe/Rome", "/citadel.org/20190914_1/Europe/Rome": the
    // zone's own name at the end of a TZID made by libical and its kin.
    static QByteArray ianaName(const QByteArray& tzid)
    {
        if (!tzid.startsWith('/'))
            return tzid;
        const QList<QByteArray> parts = tzid.split('/');
        for (qsizetype first = 1; first < parts.size(); ++first) {
            const QByteArray tail = parts.mid(first).join('/');
            if (QTimeZone::isTimeZoneIdAvailable(tail))
                return tail;
        }
        return tzid;
    }

    QTimeZone m_system;
    QByteArray m_systemId;
    std::map<std::pair<icalcomponent*, QByteArray>, Zone> m_zones;
};

// SUMMARY (or LOCATION) made one line of at most TransferRows::TextChars characters.
QString oneLine(const char* text)
{
    QString line = QString::fromUtf8(text ? text : "");
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return line.simplified();
}

QString fitted(QString text)
{
    constexpr int Max = TransferRows::TextChars;
    if (text.size() <= Max)
        return text;
    QString head = text.left(Max - 1);
    const qsizetype space = text.at(Max - 1).isSpace() ? Max - 1 : head.lastIndexOf(u' ');
    if (space >= Max * 2 / 3)
        head.truncate(space);
    else if (head.back().isHighSurrogate())
        head.chop(1);
    while (!head.isEmpty() && (head.back().isSpace() || QStringView(u",;:-").contains(head.back())))
        head.chop(1);
    return head + u'…';
}

QString eventText(icalcomponent* event)
{
    const QString summary = oneLine(icalcomponent_get_summary(event));
    const QString location = oneLine(icalcomponent_get_location(event));
    if (summary.isEmpty())
        return fitted(location);
    const QString both = summary + u", "_s + location;
    return fitted(!location.isEmpty() && both.size() <= TransferRows::TextChars ? both : summary);
}

bool simpleDaily(const icalrecurrencetype& rule)
{
    const short* parts[] = { rule.by_second, rule.by_minute, rule.by_hour, rule.by_day, rule.by_month_day,
        rule.by_year_day, rule.by_week_no, rule.by_month, rule.by_set_pos };
    return rule.freq == ICAL_DAILY_RECURRENCE && rule.interval <= 1 && rule.count == 0
        && icaltime_is_null_time(rule.until) && std::all_of(std::begin(parts), std::end(parts), [](const short* part) {
               return part[0] == ICAL_RECURRENCE_ARRAY_MAX;
           });
}

// What a file's bytes are checked for before libical sees them. Empty when fine.
QString loadFile(const QString& path, QByteArray* bytes)
{
    const QString name = fileName(path);
    const QFileInfo info(path);
    if (!info.exists())
        return u"Il file \"%1\" non esiste."_s.arg(name);
    if (info.isDir())
        return u"\"%1\" è una cartella, non un file di calendario."_s.arg(name);
    if (!info.isFile())
        return u"\"%1\" non è un file normale: non si può leggere come calendario."_s.arg(name);
    const auto tooBig = [&](qint64 size) {
        return u"Il file \"%1\" è troppo grande (%2): si leggono calendari fino a %3."_s.arg(
            name, megabytes(size, 1), megabytes(CalendarFile::MaxFileBytes, 0));
    };
    if (info.size() > CalendarFile::MaxFileBytes)
        return tooBig(info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            return u"Il file \"%1\" non si può aprire: non si hanno i permessi per leggerlo."_s.arg(name);
        return u"Il file \"%1\" non si può aprire (%2)."_s.arg(name, file.errorString());
    }
    *bytes = file.read(CalendarFile::MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return u"Il file \"%1\" non si è potuto leggere fino in fondo (%2)."_s.arg(name, file.errorString());
    if (bytes->size() > CalendarFile::MaxFileBytes)
        return tooBig(bytes->size());
    return {};
}

// Where the bytes stop being UTF-8, or -1.
qsizetype invalidUtf8At(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1, min = 0x80, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, min = 0x800, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, min = 0x10000, code = c & 0x07;
        } else {
            return i;
        }
        if (i + more >= size)
            return i;
        for (int k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += more + 1;
    }
    return -1;
}

// What libical is handed, a piece at a time, so that parsing can be stopped and followed.
struct Feed
{
    const char* begin = nullptr;
    const char* pos = nullptr;
    const char* end = nullptr;
    const ReadControl* control = nullptr;
    std::function<void(int)> report;
    int calls = 0;
    bool cancelled = false;
};

char* feedLine(char* out, size_t size, void* data)
{
    auto* feed = static_cast<Feed*>(data);
    if (feed->pos >= feed->end || size < 2)
        return nullptr;
    if (++feed->calls % 1024 == 0) {
        if (feed->control->cancelled()) {
            feed->cancelled = true;
            return nullptr;
        }
        feed->report(int(50 * (feed->pos - feed->begin) / (feed->end - feed->begin)));
    }
    const size_t room = std::min<size_t>(size - 1, size_t(feed->end - feed->pos));
    const auto* newline = static_cast<const char*>(std::memchr(feed->pos, '\n', room));
    const size_t length = newline ? size_t(newline - feed->pos) + 1 : room;
    std::memcpy(out, feed->pos, length);
    out[length] = '\0';
    feed->pos += length;
    return out;
}

// One read: the rows, the clock, the moved or cancelled occurrences of recurring events.
class Reader
{
public:
    Reader(const QDate& today, const ReadControl& control)
        : m_control(control)
        , m_todayStart(wallOf(today, 0))
        , m_yearEnd(wallOf(today.addYears(1), 0))
    {
    }

    void report(int percent)
    {
        if (percent > m_percent && m_control.progress) {
            m_percent = percent;
            m_control.progress(percent);
        }
    }

    bool cancelled() const { return m_control.cancelled(); }

    // The RECURRENCE-ID of each occurrence some VEVENT moves or cancels, by UID.
    void noteOverride(icalcomponent* event, icalcomponent* calendar)
    {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        const char* uid = icalcomponent_get_uid(event);
        if (!id || !uid)
            return;
        const icaltimetype t = icalproperty_get_recurrenceid(id);
        const Zone zone = m_clock.zoneOf(id, t, calendar);
        if (validTime(t) && zone.kind != Zone::Kind::Unknown)
            m_overrides[QByteArray(uid)].insert(m_clock.toWall(t, zone));
    }

    // False when cancelled.
    bool readEvent(icalcomponent* event, icalcomponent* calendar)
    {
        if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED)
            return skip(Cancelled);
        icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        const icaltimetype start = startProperty ? icalproperty_get_dtstart(startProperty) : icaltime_null_time();
        if (icaltime_is_null_time(start))
            return skip(NoStart);
        if (!validTime(start))
            return skip(BadDate);
        const QString text = eventText(event);
        if (text.isEmpty())
            return skip(NoTitle);
        const Zone zone = m_clock.zoneOf(startProperty, start, calendar);
        if (zone.kind == Zone::Kind::Unknown && !start.is_date)
            return skip(UnknownZone);

        Event e { event, calendar, start, zone, text, duration(event, calendar, start, zone) };
        icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        const bool moved = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (!moved && rule && simpleDaily(icalproperty_get_rrule(rule))) {
            addReminder(e);
            return true;
        }
        if (!moved && (rule || icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY)))
            return expand(e, rule);
        const std::optional<qint64> at = place(m_clock.toWall(start, zone), e);
        if (!at)
            ++m_rows.past;
        else
            addAppointment(*at, e);
        return true;
    }

    TransferRows take() { return std::move(m_rows); }

private:
    struct Event
    {
        icalcomponent* component;
        icalcomponent* calendar;
        icaltimetype start;
        Zone zone;
        QString text;
        qint64 duration; // seconds; whole days for an all-day event
    };

    bool skip(const QString& reason)
    {
        ++m_rows.skipped[reason];
        return true;
    }

    qint64 duration(icalcomponent* event, icalcomponent* calendar, const icaltimetype& start, const Zone& zone)
    {
        qint64 seconds = -1;
        if (icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
            const icaltimetype t = icalproperty_get_dtend(end);
            Zone endZone = m_clock.zoneOf(end, t, calendar);
            if (endZone.kind == Zone::Kind::Unknown)
                endZone = zone;
            if (validTime(t))
                seconds = m_clock.toWall(t, endZone) - m_clock.toWall(start, zone);
        } else if (icalproperty* length = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            seconds = icaldurationtype_as_int(icalproperty_get_duration(length));
        }
        if (start.is_date)
            return std::max<qint64>(SecsPerDay, seconds / SecsPerDay * SecsPerDay);
        return std::max<qint64>(0, seconds);
    }

    // Where an occurrence starting at wall goes: its start, or today when it began earlier and is
    // still going (see the header); nothing when it is over.
    std::optional<qint64> place(qint64 wall, const Event& e) const
    {
        const qint64 end = wall + e.duration;
        if (e.start.is_date) {
            if (wall >= m_todayStart)
                return wall - secsOf(wall) + AllDaySecs;
            return end > m_todayStart ? std::optional(m_todayStart + AllDaySecs) : std::nullopt;
        }
        if (wall >= m_todayStart)
            return wall;
        const qint64 todayAt = m_todayStart + secsOf(wall);
        return todayAt < end ? std::optional(todayAt) : std::nullopt;
    }

    void addAppointment(qint64 at, const Event& e)
    {
        const int secs = secsOf(at);
        m_rows.appointments.append({ dayOf(at), QTime(secs / 3600, secs / 60 % 60), e.text });
        if (e.start.is_date)
            ++m_rows.allDay;
    }

    void addReminder(const Event& e)
    {
        int secs = AllDaySecs;
        if (e.start.is_date) {
            ++m_rows.allDay;
        } else {
            icaltimetype today = e.start;
            const QDate day = dayOf(m_todayStart);
            today.year = day.year();
            today.month = day.month();
            today.day = day.day();
            secs = secsOf(m_clock.toWall(today, e.zone));
        }
        m_rows.reminders.append({ QTime(secs / 3600, secs / 60 % 60), e.text });
    }

    // The occurrences of a recurring event in the coming year, each an appointment.
    bool expand(const Event& e, icalproperty* ruleProperty)
    {
        QSet<qint64> excluded;
        QSet<qint64> excludedDays;
        if (const char* uid = icalcomponent_get_uid(e.component))
            excluded = m_overrides.value(QByteArray(uid));
        for (icalproperty* p = icalcomponent_get_first_property(e.component, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e.component, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype t = icalproperty_get_exdate(p);
            if (!validTime(t))
                continue;
            if (t.is_date)
                excludedDays.insert(dateOf(t).toJulianDay());
            else
                excluded.insert(m_clock.toWall(t, zoneOr(p, t, e)));
        }

        std::set<qint64> found;
        bool later = false;
        const auto consider = [&](qint64 wall) {
            if (excluded.contains(wall) || excludedDays.contains(wall / SecsPerDay))
                return;
            const std::optional<qint64> at = place(wall, e);
            if (at && *at >= m_yearEnd)
                later = true;
            else if (at)
                found.insert(*at);
        };

        if (ruleProperty) {
            icalrecurrencetype rule = icalproperty_get_rrule(ruleProperty);
            // The iterator works on the event's own clock: an UNTIL in UTC is put on it.
            if (!icaltime_is_null_time(rule.until) && icaltime_is_utc(rule.until) && !rule.until.is_date)
                rule.until = m_clock.fromUtc(rule.until, e.zone);
            rule.until.zone = nullptr;
            icaltimetype first = e.start;
            first.zone = nullptr;
            icalrecur_iterator* steps = icalrecur_iterator_new(rule, first);
            if (!steps) {
                consider(m_clock.toWall(e.start, e.zone));
            } else {
                const std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> owner(
                    steps, icalrecur_iterator_free);
                skipToToday(steps, rule, e);
                const qint64 earliest = dayOf(m_todayStart).toJulianDay() - e.duration / SecsPerDay - 2;
                for (int step = 1;; ++step) {
                    if (step % 64 == 0 && cancelled())
                        return false;
                    const icaltimetype t = icalrecur_iterator_next(steps);
                    if (icaltime_is_null_time(t) || !validTime(t) || step > MaxRecurrenceSteps)
                        break;
                    if (dateOf(t).toJulianDay() < earliest)
                        continue;
                    const qint64 wall = m_clock.toWall(t, e.zone);
                    if (wall >= m_yearEnd) {
                        later = true;
                        break;
                    }
                    consider(wall);
                    if (found.size() > size_t(CalendarFile::MaxOccurrences))
                        break;
                }
            }
        }
        for (icalproperty* p = icalcomponent_get_first_property(e.component, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e.component, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            const icaltimetype t = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
            if (validTime(t))
                consider(m_clock.toWall(t, zoneOr(p, t, e)));
        }

        if (found.empty()) {
            if (later)
                skip(OnlyLater);
            else
                ++m_rows.past;
            return true;
        }
        if (found.size() > size_t(CalendarFile::MaxOccurrences))
            skip(TooMany);
        int added = 0;
        for (const qint64 at : found) {
            if (++added > CalendarFile::MaxOccurrences)
                break;
            addAppointment(at, e);
        }
        return true;
    }

    // An EXDATE or RDATE without a zone of its own is on its event's clock.
    Zone zoneOr(icalproperty* property, const icaltimetype& t, const Event& e)
    {
        const Zone zone = m_clock.zoneOf(property, t, e.calendar);
        const bool own = icaltime_is_utc(t) || icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        return own && zone.kind != Zone::Kind::Unknown ? zone : e.zone;
    }

    // Without COUNT the iterator may start near today instead of at a DTSTART years ago.
    void skipToToday(icalrecur_iterator* steps, const icalrecurrencetype& rule, const Event& e) const
    {
        if (rule.count != 0)
            return;
        const qint64 spanDays = e.duration / SecsPerDay + 2;
        const QDate from = dayOf(m_todayStart).addDays(-spanDays);
        if (from <= dateOf(e.start))
            return;
        icaltimetype t = fieldsOf(from, QTime(0, 0));
        t.is_date = e.start.is_date;
        icalrecur_iterator_set_start(steps, t);
    }

    const ReadControl& m_control;
    const qint64 m_todayStart;
    const qint64 m_yearEnd;
    Clock m_clock;
    QHash<QByteArray, QSet<qint64>> m_overrides;
    TransferRows m_rows;
    int m_percent = -1;
};

// The first line with something on it.
QByteArray firstLine(const QByteArray& bytes)
{
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype to = bytes.indexOf('\n', from);
        if (to < 0)
            to = bytes.size();
        const QByteArray line = bytes.mid(from, to - from).trimmed();
        if (!line.isEmpty())
            return line;
        from = to + 1;
    }
    return {};
}

} // namespace

TransferRows CalendarFile::read(const QString& path, const QDate& today, const ReadControl& control)
{
    const QString name = fileName(path);
    if (control.cancelled())
        return TransferRows::cancelledRead();
    QByteArray bytes;
    if (const QString error = loadFile(path, &bytes); !error.isEmpty())
        return TransferRows::refused(error);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.trimmed().isEmpty())
        return TransferRows::refused(u"Il file \"%1\" è vuoto."_s.arg(name));
    if (bytes.contains('\0'))
        return TransferRows::refused(
            u"Il file \"%1\" non è un calendario: contiene dati binari, non testo."_s.arg(name));
    if (const qsizetype bad = invalidUtf8At(bytes); bad >= 0) {
        return TransferRows::refused(
            u"Il file \"%1\" non è un calendario valido: il testo non è in UTF-8 (alla riga %2)."_s.arg(name).arg(
                bytes.left(bad).count('\n') + 1));
    }
    const QByteArray head = firstLine(bytes).toUpper();
    if (head.startsWith("BEGIN:VCARD"))
        return TransferRows::refused(u"Il file \"%1\" non è un calendario: è una rubrica (vCard)."_s.arg(name));
    if (head != "BEGIN:VCALENDAR")
        return TransferRows::refused(
            u"Il file \"%1\" non è un calendario: non comincia con BEGIN:VCALENDAR."_s.arg(name));

    Reader reader(today, control);
    utcZone();
    Feed feed { bytes.constData(), bytes.constData(), bytes.constData() + bytes.size(), &control,
        [&reader](int percent) {
            reader.report(percent);
        } };
    Component root;
    {
        const std::unique_ptr<icalparser, void (*)(icalparser*)> parser(icalparser_new(), icalparser_free);
        icalparser_set_gen_data(parser.get(), &feed);
        root.reset(icalparser_parse(parser.get(), feedLine));
    }
    if (feed.cancelled || control.cancelled())
        return TransferRows::cancelledRead();
    bytes.clear();

    QList<icalcomponent*> calendars;
    if (root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.append(root.get());
    } else if (root && icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.append(c);
    }
    if (calendars.isEmpty()) {
        return TransferRows::refused(
            u"Il file \"%1\" non è un calendario valido: è incompleto o danneggiato, e non si riesce a leggerlo."_s.arg(
                name));
    }
    QList<std::pair<icalcomponent*, icalcomponent*>> events; // event, its calendar
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            events.append(std::pair(e, calendar));
    }
    if (events.isEmpty())
        return TransferRows::refused(
            u"Il file \"%1\" non contiene appuntamenti: nel calendario non c'è nessun evento."_s.arg(name));

    for (const auto& [event, calendar] : events)
        reader.noteOverride(event, calendar);
    for (qsizetype i = 0; i < events.size(); ++i) {
        if (control.cancelled() || !reader.readEvent(events[i].first, events[i].second))
            return TransferRows::cancelledRead();
        reader.report(int(50 + 50 * (i + 1) / events.size()));
    }
    reader.report(100);
    return reader.take();
}

namespace {

// How written times carry this machine's zone.
struct WrittenZone
{
    QByteArray tzid; // empty: floating or UTC
    bool utc = false;
    Component vtimezone;
};

WrittenZone writtenZone(const Clock& clock, const QDate& today)
{
    WrittenZone written;
    const QByteArray id = clock.systemId();
    if (utcName(id)) {
        written.utc = true;
        return written;
    }
    if (!plainZoneName(id))
        return written;
    std::lock_guard lock(zoneMutex());
    icaltimezone* zone = icaltimezone_get_builtin_timezone(id.constData());
    if (zone == icaltimezone_get_utc_timezone()) {
        written.utc = true;
        return written;
    }
    icalcomponent* definition = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!definition)
        return written;
    written.vtimezone.reset(icalcomponent_new_clone(definition));
    icaltimetype from = fieldsOf(today.addDays(-1), QTime(0, 0));
    from.zone = icaltimezone_get_utc_timezone();
    icaltimezone_truncate_vtimezone(written.vtimezone.get(), from, icaltime_null_time(), 1);
    icalproperty* tzid = icalcomponent_get_first_property(written.vtimezone.get(), ICAL_TZID_PROPERTY);
    if (!tzid) {
        written.vtimezone.reset();
        return written;
    }
    icalproperty_set_tzid(tzid, id.constData());
    written.tzid = id;
    return written;
}

class Writer
{
public:
    explicit Writer(const QDate& today)
        : m_zone(writtenZone(m_clock, today))
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        m_stamp = fieldsOf(now.date(), now.time());
        m_stamp.zone = utcZone();
        m_calendar.reset(
            icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_prodid("-//Vespelinda//Vespelinda 1.1//IT"),
                icalproperty_new_version("2.0"), icalproperty_new_calscale("GREGORIAN"), static_cast<void*>(nullptr)));
        if (m_zone.vtimezone)
            icalcomponent_add_component(m_calendar.get(), m_zone.vtimezone.release());
    }

    void add(const QDate& day, const QTime& time, const QString& text, bool daily)
    {
        const QByteArray utf8 = text.toUtf8();
        const QTime at(time.isValid() ? time.hour() : 0, time.isValid() ? time.minute() : 0);
        const QByteArray content = (daily ? QByteArray("R|") : "A|" + day.toString(Qt::ISODate).toLatin1() + '|')
            + at.toString(u"HH:mm").toLatin1() + '|' + utf8;
        const int copy = ++m_copies[content];
        const QByteArray uid = QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex().left(20) + '-'
            + QByteArray::number(copy) + "@vespelinda";

        icaltimetype start = fieldsOf(day, at);
        if (m_zone.utc) {
            const QDateTime utc = QDateTime(day, at, m_clock.system()).toUTC();
            start = fieldsOf(utc.date(), utc.time());
            start.zone = utcZone();
        }
        icalproperty* dtstart = icalproperty_new_dtstart(start);
        if (!m_zone.tzid.isEmpty())
            icalproperty_add_parameter(dtstart, icalparameter_new_tzid(m_zone.tzid.constData()));

        icalcomponent* event = icalcomponent_vanew(ICAL_VEVENT_COMPONENT, icalproperty_new_uid(uid.constData()),
            icalproperty_new_dtstamp(m_stamp), dtstart,
            icalproperty_new_duration(icaldurationtype_from_int(CalendarFile::DurationMinutes * 60)),
            icalproperty_new_summary(utf8.constData()), static_cast<void*>(nullptr));
        if (daily) {
            icalrecurrencetype rule;
            icalrecurrencetype_clear(&rule);
            rule.freq = ICAL_DAILY_RECURRENCE;
            icalcomponent_add_property(event, icalproperty_new_rrule(rule));
        }
        icalcomponent_add_component(event,
            icalcomponent_vanew(ICAL_VALARM_COMPONENT, icalproperty_new_action(ICAL_ACTION_DISPLAY),
                icalproperty_new_description(utf8.constData()), icalproperty_new_trigger(icaltriggertype_from_int(0)),
                static_cast<void*>(nullptr)));
        icalcomponent_add_component(m_calendar.get(), event);
    }

    // The file's text, once libical finds nothing wrong in it.
    std::optional<QByteArray> text()
    {
        icalrestriction_check(m_calendar.get());
        if (hasError(m_calendar.get()))
            return std::nullopt;
        char* text = icalcomponent_as_ical_string_r(m_calendar.get());
        QByteArray bytes(text);
        icalmemory_free_buffer(text);
        return bytes;
    }

private:
    static bool hasError(icalcomponent* component)
    {
        if (icalcomponent_count_errors(component) > 0)
            return true;
        for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
            if (hasError(c))
                return true;
        }
        return false;
    }

    Clock m_clock;
    WrittenZone m_zone;
    icaltimetype m_stamp {};
    Component m_calendar;
    QHash<QByteArray, int> m_copies;
};

QString saveFailure(const QString& path, const QFileDevice& file)
{
    const QFileInfo info(path);
    if (info.isDir())
        return u"è una cartella"_s;
    if (!info.absoluteDir().exists())
        return u"la cartella \"%1\" non esiste"_s.arg(info.absolutePath());
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return u"non si hanno i permessi per scrivere lì"_s;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return u"la scrittura non è riuscita (il disco è forse pieno)"_s;
    case QFileDevice::RenameError:
        return u"non si è potuto sostituire il file che c'era"_s;
    default:
        break;
    }
    if (!QFileInfo(info.absolutePath()).isWritable())
        return u"non si hanno i permessi per scrivere nella cartella"_s;
    return file.errorString();
}

} // namespace

bool CalendarFile::write(const QString& path, const QList<AppointmentRow>& appointments,
    const QList<ReminderRow>& reminders, const QDate& today, QString* error)
{
    const QString name = fileName(path);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QList<AppointmentRow> due;
    for (const AppointmentRow& row : appointments) {
        if (row.day.isValid() && row.day >= today)
            due.append(row);
    }
    std::stable_sort(due.begin(), due.end(), [](const AppointmentRow& a, const AppointmentRow& b) {
        return std::pair(a.day, a.time) < std::pair(b.day, b.time);
    });
    if (due.isEmpty() && reminders.isEmpty()) {
        return fail(u"Nel file \"%1\" non c'è nulla da scrivere: nessun appuntamento da oggi in poi e nessun "
                    "promemoria."_s.arg(name));
    }

    Writer writer(today);
    for (const AppointmentRow& row : due)
        writer.add(row.day, row.time, row.text, false);
    for (const ReminderRow& row : reminders)
        writer.add(today, row.time, row.text, true);
    const std::optional<QByteArray> text = writer.text();
    if (!text)
        return fail(u"Non si è potuto scrivere il file \"%1\": il calendario composto non è valido."_s.arg(name));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*text) != text->size() || !file.commit())
        return fail(u"Non si è potuto scrivere il file \"%1\": %2."_s.arg(name, saveFailure(path, file)));
    return true;
}
