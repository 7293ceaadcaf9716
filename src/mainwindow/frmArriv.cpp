// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmArriv.h"

#include "addressbook/RubricaPage.h"
#include "agenda/AgendaHeartbeat.h"
#include "agenda/AgendaPage.h"
#include "calendar/CalendarioPage.h"
#include "core/Accessibility.h"
#include "core/Clock.h"
#include "core/SettingsStore.h"
#include "datafile/AgendaData.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/ExitRoutine.h"
#include "mainwindow/Face.h"
#include "mainwindow/FirstFrame.h"
#include "mainwindow/Greeting.h"
#include "mainwindow/InactivityCountdown.h"
#include "mainwindow/MenuWindows.h"
#include "mainwindow/PageStrip.h"
#include "reading/LeggiPage.h"
#include "speech/Speaker.h"
#include "transfer/DataTransfer.h"
#include "transfer/FileDrops.h"
#include "transfer/TransferDialogs.h"
#include "transfer/TransferFormats.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFrame>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>

namespace {
const QColor Background(255, 224, 207);
const char* const EyeComplaint = "Ahia! mi hai messo il puntatore nell'occhio!";
} // namespace

frmArriv::frmArriv(const MainWindowServices& services, QWidget* parent)
    : QWidget(parent)
    , m_clock(services.clock)
    , m_settings(services.settings)
    , m_speaker(services.speaker)
    , m_data(services.data)
{
    Accessibility::install(); // before the first widget: a screen reader asks about widgets as they are made
    setObjectName(QStringLiteral("frmArriv"));
    setWindowTitle(QString::fromLatin1(Title));
    // Stays above every window that is not itself topmost.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(228, 528);
    setMouseTracking(true); // the pointer over the background wakes the face

    m_pages = new PageStrip(*this);
    connect(m_pages, &PageStrip::pointerOverSurface, this, &frmArriv::wakeUp);

    m_presence = std::make_unique<TrayPresence>(*this, services.tray, m_menus.mnuIcona);
    m_face = std::make_unique<Face>(*this, m_clock);
    connect(m_face.get(), &Face::pointerMoved, this, &frmArriv::wakeUp);
    connect(m_face.get(), &Face::pressed, this, [this](const QPoint& at) { m_menus.mnuPrinc->popup(at); });
    connect(m_face.get(), &Face::pressedByKey, this, [this](const QPoint& at) { m_menus.openMainFromKeyboard(at); });
    connect(m_face.get(), &Face::eyeClicked, this, [this](const QPoint& at) {
        m_speaker.Speak(QString::fromUtf8(EyeComplaint));
        m_menus.mnuPrinc->popup(at);
    });
    m_countdown = std::make_unique<InactivityCountdown>(m_settings, m_speaker, *m_face, *m_presence);
    m_exit = std::make_unique<ExitRoutine>(m_settings, m_speaker, *m_face);
    // The countdown's end unloads the window, which then closes: one way, no flag to clear first.
    connect(m_exit.get(), &ExitRoutine::unloadRequested, this, [this] {
        unload();
        close();
    });

    m_leggiPage = std::make_unique<LeggiPage>(m_pages->frame(PageStrip::Leggi), m_speaker, services.clipboard, *this);
    m_calendarioPage
        = std::make_unique<CalendarioPage>(m_pages->frame(PageStrip::Calendario), m_speaker, m_clock, *this);
    m_agendaPage = std::make_unique<AgendaPage>(
        m_pages->frame(PageStrip::Agenda), AgendaPage::Services { services.alert, m_clock, m_data }, *this);
    m_heartbeat = std::make_unique<AgendaHeartbeat>(
        AgendaHeartbeat::Services { m_clock, services.alert, m_data.dtaAppun(), m_data.dtaProm() }, *m_agendaPage,
        *this);
    m_rubricaPage = std::make_unique<RubricaPage>(
        m_pages->frame(PageStrip::Rubrica), m_data.dtaRubrica(), m_speaker, services.alert, *this);
    // Every tick looks for other programs' changes to the data file first, so that an entry added
    // elsewhere is announced in that very tick, and a change that could not be read (the file
    // locked) is read at a later one.
    connect(m_heartbeat.get(), &AgendaHeartbeat::ticking, this, [this] { m_data.followOutsideChanges(); });
    connect(&m_data.outsideChanges(), &OutsideChanges::arrived, this, [this] {
        m_heartbeat->reloadAtNextTick();
        m_rubricaPage->showAfresh();
    });
    // The keyboard goes the way the eye reads: the face, the tabs, then the page shown.
    setTabOrder(m_face->surface(), &m_pages->tabStrip());

    connect(m_menus.mnuEsci, &QAction::triggered, this, &frmArriv::exitProgram);
    connect(m_menus.mnuRiduci, &QAction::triggered, this, &frmArriv::hideWindow);
    connect(m_menus.mnuNascondi, &QAction::triggered, this, &frmArriv::fold);
    connect(m_menus.mnuIcoEsci, &QAction::triggered, this, [this] {
        showWindow();
        exitProgram();
    });
    connect(m_menus.mnuIcoVisualizza, &QAction::triggered, m_presence.get(), &TrayPresence::toggleWindow);
    new MenuWindows(*this, *this, m_menus, { m_settings, services.alert, services.autostart, services.voiceDialog });

    // Importing and exporting. The import stores its rows on a connection of its own: to the
    // window's connection that is another program's change, read once, with every record set,
    // the timeline, the address book and any open manager window following it.
    if (!services.transferDialogs)
        m_desktopDialogs = std::make_unique<DesktopTransferDialogs>();
    m_transfer = std::make_unique<DataTransfer>(*this,
        DataTransfer::Services { services.alert, m_clock, m_data,
            services.transferDialogs ? *services.transferDialogs : *m_desktopDialogs,
            services.transferFormats ? *services.transferFormats : TransferFormats::files() },
        [this] { m_data.followOutsideChanges(); });
    connect(m_menus.mnuImporta, &QAction::triggered, m_transfer.get(), &DataTransfer::importChosen);
    connect(m_menus.mnuEsporta, &QAction::triggered, m_transfer.get(), &DataTransfer::exportChosen);
    connect(m_transfer.get(), &DataTransfer::busyChanged, this, [this](bool busy) {
        m_menus.mnuImporta->setEnabled(!busy);
        m_menus.mnuEsporta->setEnabled(!busy);
    });
    connect(new FileDrops(*this), &FileDrops::dropped, this, [this](const QStringList& files) {
        wakeUp();
        importFiles(files);
    });
}

frmArriv::~frmArriv() = default;

void frmArriv::load()
{
    // The data file's record sets are opened by main() before this window exists.
    m_settings.initialiseOnFirstRun();
    // The greeting is queued now and synthesised once the window is on screen.
    m_speaker.setHeld(true);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    setPalette(palette);
    setAutoFillBackground(true);

    if (const std::optional<QString> greeting = Greeting::startMessage(m_settings, m_clock.now()))
        m_speaker.Speak(*greeting);

    m_calendarioPage->selectToday();
    m_face->startBlink();
    m_presence->updateTip(true);
    const bool startHidden = m_settings.riduciIcona();
    m_countdown->setInterval(m_settings.inactivityIntervalMs());
    if (!startHidden)
        show();
    else if (!m_presence->tray().isAvailable())
        showMinimized();
    new FirstFrame(*this, [this] { finishStart(); });
}

void frmArriv::finishStart()
{
    if (m_started)
        return;
    m_started = true;
    if (!m_unloaded) {
        m_calendarioPage->buildCalendar();
        // The keyboard starts on the face, whose menu reaches everything; the calendar, built only
        // now, would otherwise take the focus of a window that has none yet.
        m_face->surface()->setFocus(Qt::OtherFocusReason);
        setWindowIcon(appIcon());
        m_presence->tray().setIcon(windowIcon());
        m_presence->tray().show();
    }
    m_speaker.setHeld(false);
    emit started();
}

void frmArriv::wakeUp()
{
    m_countdown->stop();
    m_face->wakeUp();
}

void frmArriv::armInactivityCountdown()
{
    if (windowShown() && !m_finestraAperta && m_speaker.SpeakingState() != Speaker::Speaking)
        m_countdown->arm();
}

void frmArriv::stopInactivityCountdown() { m_countdown->stop(); }

void frmArriv::setInactivityInterval(int ms) { m_countdown->setInterval(ms); }

void frmArriv::tableChanged(Table table)
{
    switch (table) {
    case Table::Appuntamenti:
        m_data.dtaAppun().Refresh();
        m_heartbeat->reloadAtNextTick();
        break;
    case Table::Promemoria:
        m_data.dtaProm().Refresh();
        m_heartbeat->reloadAtNextTick();
        break;
    case Table::Rubrica:
        m_data.dtaRubrica().Refresh();
        break;
    }
}

bool frmArriv::comeForward()
{
    if (m_unloaded || m_exit->farewellUnderWay())
        return false;
    showWindow();
    raise();
    activateWindow();
    wakeUp();
    m_presence->updateTip();
    return true;
}

void frmArriv::importFiles(const QStringList& files)
{
    if (m_unloaded || files.isEmpty())
        return;
    if (!m_started) {
        connect(
            this, &frmArriv::started, m_transfer.get(), [this, files] { m_transfer->importFiles(files); },
            Qt::SingleShotConnection);
        return;
    }
    m_transfer->importFiles(files);
}

void frmArriv::fold(bool folded)
{
    // 100 steps of 39.5 twips, each from the height the window really has.
    m_pages->setFolded(folded);
    const double step = folded ? -39.5 : 39.5;
    for (int i = 0; i < 100; ++i)
        setFixedHeight(qRound((height() * 15.0 + step) / 15.0));
}

void frmArriv::exitProgram() { m_exit->sayGoodbye(); }

void frmArriv::endSession()
{
    if (m_unloaded)
        return;
    m_exit->allowClose();
    close();
}

void frmArriv::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // A session that is ending closes the windows itself and must not be held up.
    if (m_exit->interceptsClose() && !(qGuiApp && qGuiApp->isSavingSession())) {
        event->ignore();
        exitProgram();
        return;
    }
    unload();
    event->accept();
}

void frmArriv::unload()
{
    m_unloaded = true;
    m_exit->finish();
    m_face->stopBlink();
    m_countdown->stop();
    m_heartbeat->stop();
    m_presence->tray().hide();
    // The program ends with its main window: the other windows go with it.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
    emit unloaded();
}

void frmArriv::mouseMoveEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint()))
        wakeUp();
    QWidget::mouseMoveEvent(event);
}

void frmArriv::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu key or Shift+F10 on the face, or on a control without a menu of its own.
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_menus.openMainFromKeyboard(event->globalPos());
}

void frmArriv::mousePressEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint())) {
        m_menus.mnuPrinc->popup(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}
