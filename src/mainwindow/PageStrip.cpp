// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PageStrip.h"

#include "core/Controls.h"

#include <QFrame>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QShortcut>
#include <QTabBar>

namespace {
// Tabs with less space around their captions, so that all four fit the narrow window.
class CompactTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

struct PageInfo
{
    const char* caption;
    const char* tooltip;
    const char* frameName;
};
const PageInfo Pages[4] = {
    { "Leggi", "Lettura di testi", "frmLeggi" },
    { "Calendario", "Data e ora odierni, calendario", "frmCalendario" },
    { "Agenda", "Programmazione appuntamenti", "frmAgenda" },
    { "Rubrica", "Rubrica telefonica", "frmRubrica" },
};
} // namespace

PageStrip::PageStrip(QWidget& window)
    : QObject(&window)
{
    setObjectName(QStringLiteral("pageStrip"));
    m_tabStrip = new QTabBar(&window);
    // Down to the pages' top edge.
    Controls::apply(m_tabStrip,
        { .name = u"TabStrip1", .accessibleName = QStringLiteral("Pagine"), .twips = { 120, 3960, 3200, 360 } });
    m_tabStrip->setExpanding(true);
    m_tabStrip->setDrawBase(false);
    // The four captions must fit the window's narrow width whole, without scroll arrows.
    m_tabStrip->setUsesScrollButtons(false);
    m_tabStrip->setElideMode(Qt::ElideNone);
    auto* compact = new CompactTabStyle;
    compact->setParent(m_tabStrip);
    m_tabStrip->setStyle(compact);
    QFont font = m_tabStrip->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    m_tabStrip->setFont(font);
    for (int i = 0; i < 4; ++i) {
        m_tabStrip->addTab(QString::fromUtf8(Pages[i].caption));
        m_tabStrip->setTabToolTip(i, QString::fromUtf8(Pages[i].tooltip));
        auto* frame = new QFrame(&window);
        Controls::apply(frame,
            { .name = Pages[i].frameName,
                .accessibleName = QStringLiteral("Pagina ") + QString::fromUtf8(Pages[i].caption),
                .twips = { 120, 4320, 3200, 3495 } });
        frame->setFrameShape(QFrame::StyledPanel);
        m_frames[i] = frame;
    }
    // The pointer over the tab strip or a page's surface wakes the face.
    for (QWidget* area :
        { static_cast<QWidget*>(m_tabStrip), static_cast<QWidget*>(m_frames[0]), static_cast<QWidget*>(m_frames[1]),
            static_cast<QWidget*>(m_frames[2]), static_cast<QWidget*>(m_frames[3]) }) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, &PageStrip::showPage);
    connect(m_tabStrip, &QTabBar::currentChanged, this, &PageStrip::showPage);
    // The keys every tabbed window knows: Ctrl+Tab and Ctrl+PgDn to the next page, Ctrl+Shift+Tab
    // and Ctrl+PgUp to the one before; the focus goes to the tabs, where a screen reader names
    // the page, and never stays on a control the change has hidden.
    const auto step = [this](int by) {
        if (!m_tabStrip->isVisible())
            return;
        m_tabStrip->setCurrentIndex((m_tabStrip->currentIndex() + by + 4) % 4);
        m_tabStrip->setFocus(Qt::TabFocusReason);
    };
    for (const QKeySequence& keys : { QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown) })
        connect(new QShortcut(keys, &window), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& keys : { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp) })
        connect(new QShortcut(keys, &window), &QShortcut::activated, this, [step] { step(-1); });
    showPage(Leggi);
}

void PageStrip::showPage(int index)
{
    if (index < 0 || index > 3)
        return;
    m_tabStrip->setCurrentIndex(index); // the tab follows a page shown from elsewhere
    for (int i = 0; i < 4; ++i)
        m_frames[i]->setVisible(i == index);
}

void PageStrip::setFolded(bool folded)
{
    m_tabStrip->setVisible(!folded);
    for (int i = 0; i < 4; ++i)
        m_frames[i]->setVisible(!folded && i == m_tabStrip->currentIndex());
}

bool PageStrip::eventFilter(QObject* watched, QEvent* event)
{
    // A move over a control on a page that the control does not take reaches its frame too;
    // only the frame's own surface wakes the face.
    if (event->type() == QEvent::MouseMove) {
        auto* area = static_cast<QWidget*>(watched);
        if (!area->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            emit pointerOverSurface();
    }
    return QObject::eventFilter(watched, event);
}
