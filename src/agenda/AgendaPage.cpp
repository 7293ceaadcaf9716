// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaPage.h"

#include "agenda/AgendaTexts.h"
#include "agenda/TimelineLetter.h"
#include "core/MessageBoxService.h"
#include "core/Speaker.h"
#include "core/Twips.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
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

QLabel* makeLabel(QFrame& frame, const QString& caption, const QRect& geometry)
{
    auto* label = new QLabel(caption, &frame);
    label->setGeometry(geometry);
    label->setAutoFillBackground(true);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::Window, LabelBackground);
    label->setPalette(labelPalette);
    return label;
}
} // namespace

AgendaPage::AgendaPage(QFrame& frame, const DayAgenda& agenda, Speaker& speaker, MessageBoxService& boxes)
    : QObject(&frame)
    , m_agenda(agenda)
    , m_speaker(speaker)
    , m_boxes(boxes)
{
    setObjectName(QStringLiteral("AgendaPage"));
    build(frame);
}

void AgendaPage::build(QFrame& frame)
{
    lblDataOra = makeLabel(frame, QStringLiteral("Lettura in corso..."), twipsRect(120, 240, 2950, 255));
    lblDataOra->setObjectName(QStringLiteral("lblDataOra"));
    lblDataOra->setAccessibleName(QStringLiteral("Data e ora"));
    watchPointer(lblDataOra);

    Label9 = makeLabel(frame, QStringLiteral("Appuntamenti di oggi"), twipsRect(120, 480, 2955, 255));
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setAccessibleName(Label9->text());
    const QString label9Tip
        = QStringLiteral("Clicca sulla lettera illuminata per vedere l'appuntamento o il promemoria");
    Label9->setToolTip(label9Tip);
    Label9->setAccessibleDescription(label9Tip);
    watchPointer(Label9);

    for (int hour = 0; hour < 24; ++hour) {
        const int column = hour / 8;
        const int top = RowTop(hour % 8);
        const QString twoDigits = QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));

        QLabel* hourLabel = makeLabel(frame, twoDigits, twipsRect(HourLeft[column], top, HourWidth[column], 255));
        hourLabel->setObjectName(QStringLiteral("lblOra") + twoDigits);
        hourLabel->setAccessibleName(QStringLiteral("Ore ") + twoDigits);
        hourLabel->setAlignment(Qt::AlignCenter);

        auto* a = new TimelineLetter(QStringLiteral("A"), &frame);
        a->setObjectName(QStringLiteral("appu") + QString::number(hour));
        a->setAccessibleName(QStringLiteral("Appuntamento alle ") + QString::number(hour));
        a->setGeometry(twipsRect(ALeft[column], top, 255, 255));
        connect(a, &TimelineLetter::clicked, this, [this, hour] { readOut(DayAgenda::Kind::Appuntamento, hour); });
        watchPointer(a);
        appu[hour] = a;

        auto* p = new TimelineLetter(QStringLiteral("P"), &frame);
        p->setObjectName(QStringLiteral("prom") + QString::number(hour));
        p->setAccessibleName(QStringLiteral("Promemoria alle ") + QString::number(hour));
        p->setGeometry(twipsRect(PLeft[column], top, 255, 255));
        connect(p, &TimelineLetter::clicked, this, [this, hour] { readOut(DayAgenda::Kind::Promemoria, hour); });
        watchPointer(p);
        prom[hour] = p;
    }

    for (const int x : { 1080, 2110 }) {
        auto* line = new QFrame(&frame);
        line->setObjectName(QStringLiteral("lineaColonna") + QString::number(x == 1080 ? 1 : 2));
        line->setAccessibleName(QStringLiteral("Linea di separazione"));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Plain);
        line->setGeometry(twips(x), twips(760), 1, twips(2600) - twips(760));
    }

    // The manager windows they open are not part of the program yet.
    cmdAppuntamento = new QPushButton(QStringLiteral("&Appuntamento"), &frame);
    cmdAppuntamento->setObjectName(QStringLiteral("cmdAppuntamento"));
    cmdAppuntamento->setAccessibleName(QStringLiteral("Appuntamento"));
    cmdAppuntamento->setToolTip(QStringLiteral("Gestione degli appuntamenti"));
    cmdAppuntamento->setAccessibleDescription(cmdAppuntamento->toolTip());
    cmdAppuntamento->setGeometry(twipsRect(120, 2760, 2950, 300));
    watchPointer(cmdAppuntamento);

    cmdPromemoria = new QPushButton(QStringLiteral("Promemoria giornaliero"), &frame);
    cmdPromemoria->setObjectName(QStringLiteral("cmdPromemoria"));
    cmdPromemoria->setAccessibleName(QStringLiteral("Promemoria giornaliero"));
    cmdPromemoria->setToolTip(QStringLiteral("Gestione dei promemoria giornalieri"));
    cmdPromemoria->setAccessibleDescription(cmdPromemoria->toolTip());
    cmdPromemoria->setGeometry(twipsRect(120, 3120, 2950, 300));
    watchPointer(cmdPromemoria);
}

void AgendaPage::accendi(const QString& AoP, const QString& Ora)
{
    std::array<TimelineLetter*, 24>* letters = nullptr;
    DayAgenda::Kind kind = DayAgenda::Kind::Appuntamento;
    if (AoP == QLatin1String("a")) {
        letters = &appu;
        kind = DayAgenda::Kind::Appuntamento;
    } else if (AoP == QLatin1String("p")) {
        letters = &prom;
        kind = DayAgenda::Kind::Promemoria;
    } else {
        return;
    }

    const QString ora = Ora.size() == 1 ? QStringLiteral("0") + Ora : Ora;
    if (ora == QLatin1String("cc")) {
        for (TimelineLetter* letter : *letters)
            letter->setLit(false, QString());
        return;
    }
    // Exactly two digits, "00" to "23": "+7" or " 7" name no hour.
    if (ora.size() != 2 || !ora[0].isDigit() || !ora[1].isDigit())
        return;
    const int hour = (ora[0].unicode() - '0') * 10 + (ora[1].unicode() - '0');
    if (hour > 23)
        return;
    (*letters)[hour]->setLit(true, litTooltip(kind));
}

void AgendaPage::readOut(DayAgenda::Kind kind, int hour)
{
    const auto& letters = kind == DayAgenda::Kind::Appuntamento ? appu : prom;
    if (!letters[hour]->isLit())
        return;
    // A copy: a reload while one of the boxes is open must not change the entries being read.
    const QList<VoceAgenda> entries = m_agenda.readoutEntries(kind, hour);
    QWidget* window = letters[hour]->window();
    for (const VoceAgenda& entry : entries) {
        m_speaker.Speak(AgendaTexts::readoutSpoken(kind, entry));
        m_boxes.show(window, AgendaTexts::readoutBox(kind, entry), MessageBoxService::Information,
            AgendaTexts::readoutTitle(kind));
    }
}

void AgendaPage::watchPointer(QWidget* control)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

bool AgendaPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        emit pointerActivity();
    } else if (event->type() == QEvent::MouseMove) {
        emit pointerActivity();
        // A drag over a pressed button is the button's own business; any other movement ends
        // here, so that it does not also reach the page frame and wake the face.
        auto* move = static_cast<QMouseEvent*>(event);
        if (!(qobject_cast<QPushButton*>(watched) && move->buttons() != Qt::NoButton)) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
