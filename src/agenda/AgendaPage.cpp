// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaPage.h"

#include "agenda/AgendaTexts.h"
#include "agenda/TimelineLetter.h"
#include "agenda/managers/frmAppun.h"
#include "agenda/managers/frmProm.h"
#include "core/ActivityWatcher.h"
#include "core/Alert.h"
#include "core/Controls.h"
#include "core/MessageBoxService.h"
#include "core/Twips.h"
#include "core/WindowOpener.h"
#include "datafile/AgendaData.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
const QColor LabelBackground(224, 224, 224);

// The timeline's three columns of eight hours, in twips.
constexpr int HourLeft[3] = { 120, 1150, 2190 };
constexpr int HourWidth[3] = { 400, 405, 405 };
constexpr int ALeft[3] = { 510, 1540, 2580 };
constexpr int PLeft[3] = { 750, 1780, 2820 };
constexpr int RowTop(int row) { return 720 + 240 * row; }

QString litTooltip(DayAgenda::Kind kind)
{
    return kind == DayAgenda::Kind::Appuntamento ? QStringLiteral("Appuntamento. Click per visualizzare")
                                                 : QStringLiteral("Promemoria. Click per visualizzare");
}

// A label of the timeline, on the page's grey.
QLabel* shaded(QLabel* label)
{
    label->setAutoFillBackground(true);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::Window, LabelBackground);
    label->setPalette(labelPalette);
    return label;
}
} // namespace

AgendaPage::AgendaPage(QFrame& frame, const Services& services, MainWindowLink& link)
    : QObject(&frame)
    , m_alert(services.alert)
    , m_clock(services.clock)
    , m_data(services.data)
    , m_link(link)
    , m_frame(frame)
    , m_activity(new ActivityWatcher(link, this))
{
    setObjectName(QStringLiteral("AgendaPage"));
    build(frame);
    m_appun = new WindowOpener(
        link, [this] { return makeManager<frmAppun>(QStringLiteral("Appuntamenti")); }, this);
    m_prom = new WindowOpener(
        link, [this] { return makeManager<frmProm>(QStringLiteral("Promemoria")); }, this);
    connect(cmdAppuntamento, &QPushButton::clicked, m_appun, &WindowOpener::open);
    connect(cmdPromemoria, &QPushButton::clicked, m_prom, &WindowOpener::open);
}

template <typename Window> QWidget* AgendaPage::makeManager(const QString& table)
{
    QString error;
    std::unique_ptr<RecordSet> records = m_data.openRecordSet(table, &error);
    if (!records) {
        m_alert(m_frame.window(), QStringLiteral("Non riesco a leggere il file dei dati."), error,
            MessageBoxService::Exclamation);
        return nullptr;
    }
    // A window of the main window's own, kept above it.
    return new Window(std::move(records),
        ManagerServices { m_alert, m_clock, m_link, m_data.filePath(), m_data.outsideChanges() }, m_frame.window());
}

void AgendaPage::build(QFrame& frame)
{
    using Controls::make;
    lblDataOra = shaded(make<QLabel>(&frame,
        { .name = u"lblDataOra",
            .caption = QStringLiteral("Lettura in corso..."),
            .accessibleName = QStringLiteral("Data e ora"),
            .twips = { 120, 240, 2950, 255 } }));
    m_activity->watch(lblDataOra);

    Label9 = shaded(make<QLabel>(&frame,
        { .name = u"Label9",
            .caption = QStringLiteral("Appuntamenti di oggi"),
            .accessibleDescription = QStringLiteral("Clicca sulla lettera illuminata per vedere l'appuntamento o il "
                                                    "promemoria (da tastiera: Tab fino alla lettera, poi Spazio)"),
            .toolTip = QStringLiteral("Clicca sulla lettera illuminata per vedere l'appuntamento o il promemoria"),
            .twips = { 120, 480, 2955, 255 } }));
    m_activity->watch(Label9);

    for (int hour = 0; hour < 24; ++hour) {
        const int column = hour / 8;
        const int top = RowTop(hour % 8);
        const QString twoDigits = QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));

        QLabel* hourLabel = shaded(make<QLabel>(&frame,
            { .name = QStringLiteral("lblOra") + twoDigits,
                .caption = twoDigits,
                .accessibleName = QStringLiteral("Ore ") + twoDigits,
                .twips = { HourLeft[column], top, HourWidth[column], 255 } }));
        hourLabel->setAlignment(Qt::AlignCenter);

        auto* a = new TimelineLetter(QStringLiteral("A"), QStringLiteral("appuntamento"), hour, &frame);
        Controls::apply(
            a, { .name = QStringLiteral("appu") + QString::number(hour), .twips = { ALeft[column], top, 255, 255 } });
        connect(a, &TimelineLetter::clicked, this, [this, hour] { readOut(DayAgenda::Kind::Appuntamento, hour); });
        m_activity->watch(a);
        appu[hour] = a;

        auto* p = new TimelineLetter(QStringLiteral("P"), QStringLiteral("promemoria"), hour, &frame);
        Controls::apply(
            p, { .name = QStringLiteral("prom") + QString::number(hour), .twips = { PLeft[column], top, 255, 255 } });
        connect(p, &TimelineLetter::clicked, this, [this, hour] { readOut(DayAgenda::Kind::Promemoria, hour); });
        m_activity->watch(p);
        prom[hour] = p;
    }

    for (const int x : { 1080, 2110 }) {
        auto* line = new QFrame(&frame);
        Controls::apply(line,
            { .name = QStringLiteral("lineaColonna") + QString::number(x == 1080 ? 1 : 2),
                .accessibleName = QStringLiteral("Linea di separazione") });
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        line->setGeometry(twips(x), twips(760), 1, twips(2600) - twips(760)); // a pixel wide
    }

    cmdAppuntamento = make<QPushButton>(&frame,
        { .name = u"cmdAppuntamento",
            .caption = QStringLiteral("&Appuntamento"),
            .toolTip = QStringLiteral("Gestione degli appuntamenti"),
            .twips = { 120, 2760, 2950, 300 } });
    m_activity->watch(cmdAppuntamento);

    cmdPromemoria = make<QPushButton>(&frame,
        { .name = u"cmdPromemoria",
            .caption = QStringLiteral("Promemoria giornaliero"),
            .toolTip = QStringLiteral("Gestione dei promemoria giornalieri"),
            .twips = { 120, 3120, 2950, 300 } });
    m_activity->watch(cmdPromemoria);
}

void AgendaPage::accendi(const QString& AoP, const QString& Ora)
{
    DayAgenda::Kind kind = DayAgenda::Kind::Appuntamento;
    if (AoP == QLatin1String("a"))
        kind = DayAgenda::Kind::Appuntamento;
    else if (AoP == QLatin1String("p"))
        kind = DayAgenda::Kind::Promemoria;
    else
        return;

    const QString ora = Ora.size() == 1 ? QStringLiteral("0") + Ora : Ora;
    if (ora == QLatin1String("cc")) {
        clear(kind);
        return;
    }
    // Exactly two digits, "00" to "23": "+7" or " 7" name no hour.
    if (ora.size() != 2 || !ora[0].isDigit() || !ora[1].isDigit())
        return;
    light(kind, (ora[0].unicode() - '0') * 10 + (ora[1].unicode() - '0'));
}

std::array<TimelineLetter*, 24>& AgendaPage::letters(DayAgenda::Kind kind)
{
    return kind == DayAgenda::Kind::Appuntamento ? appu : prom;
}

void AgendaPage::light(DayAgenda::Kind kind, int hour)
{
    if (hour >= 0 && hour < 24)
        letters(kind)[hour]->setLit(true, litTooltip(kind));
}

void AgendaPage::clear(DayAgenda::Kind kind)
{
    for (TimelineLetter* letter : letters(kind))
        letter->setLit(false, QString());
}

void AgendaPage::setReadout(const QString& text) { lblDataOra->setText(text); }

void AgendaPage::readOut(DayAgenda::Kind kind, int hour)
{
    TimelineLetter* letter = letters(kind)[hour];
    if (!letter->isLit() || !m_agenda)
        return;
    // A copy: a reload while one of the boxes is open must not change the entries being read.
    const QList<VoceAgenda> entries = m_agenda->readoutEntries(kind, hour);
    QWidget* window = letter->window();
    for (const VoceAgenda& entry : entries) {
        m_alert.announce(window, AgendaTexts::readoutSpoken(kind, entry), AgendaTexts::readoutBox(kind, entry),
            MessageBoxService::Information, AgendaTexts::readoutTitle(kind));
    }
}
