// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmArriv.h"

#include "agenda/AgendaPage.h"
#include "agenda/AgendaTexts.h"
#include "core/AgendaData.h"
#include "core/Clock.h"
#include "core/MessageBoxService.h"
#include "core/SettingsStore.h"
#include "core/Speaker.h"
#include "core/Twips.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/Face.h"
#include "mainwindow/Greeting.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QScopeGuard>
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

const QColor Background(255, 224, 207);

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

const char* const TipShown = "Vespelinda - Click per minimizzare";
const char* const TipHidden = "Vespelinda - Click per visualizzare";
const char* const GoneToTray = "Se hai bisogno di me, mi trovi sulla barra delle applicazioni.";
const char* const Farewell = "spero di esserti stata utile. . arrivederci";
const char* const EyeComplaint = "Ahia! mi hai messo il puntatore nell'occhio!";
} // namespace

frmArriv::frmArriv(const MainWindowServices& services, QWidget* parent)
    : QWidget(parent)
    , m_clock(services.clock)
    , m_settings(services.settings)
    , m_speaker(services.speaker)
    , m_boxes(services.boxes)
    , m_alert(services.alert)
    , m_data(services.data)
    , m_tray(services.tray)
{
    setObjectName(QStringLiteral("frmArriv"));
    setWindowTitle(QString::fromLatin1(Title));
    setAccessibleName(QString::fromLatin1(Title));
    // Stays above every window that is not itself topmost.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(228, 528);

    tmrIcona.setObjectName(QStringLiteral("tmrIcona"));
    buildPages();
    setUpFaceAndTray();
    setUpAgenda();
}

frmArriv::~frmArriv()
{
    // The face and the agenda page hold references to this window's members, which go before
    // the children that QWidget deletes: they go first.
    delete m_face;
    delete m_agendaPage;
}

void frmArriv::buildPages()
{
    m_tabStrip = new QTabBar(this);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip->setAccessibleName(QStringLiteral("Pagine"));
    m_tabStrip->setGeometry(twips(120), 264, twips(3200), twips(4320) - 264);
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
        auto* frame = new QFrame(this);
        frame->setObjectName(QString::fromLatin1(Pages[i].frameName));
        frame->setAccessibleName(QStringLiteral("Pagina ") + QString::fromUtf8(Pages[i].caption));
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(twipsRect(120, 4320, 3200, 3495));
        m_pages[i] = frame;
    }
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, &frmArriv::showPage);
    connect(m_tabStrip, &QTabBar::currentChanged, this, &frmArriv::showPage);
    showPage(0);
}

void frmArriv::showPage(int index)
{
    if (index < 0 || index > 3)
        return;
    for (int i = 0; i < 4; ++i)
        m_pages[i]->setVisible(i == index);
}

void frmArriv::load()
{
    // The data file's record sets are opened by main() before this window exists.
    intercettaChiusura = true;
    m_settings.initialiseOnFirstRun();

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    setPalette(palette);
    setAutoFillBackground(true);

    speakInitialMessage();

    contaChiusura = 0;
    contaBattito = 0;
    giornoAgenda.clear();
    congedoInCorso = false;
    m_face->startBlink();

    m_tray.setToolTip(QString::fromUtf8(TipShown));
    m_tray.show();

    const bool startHidden = m_settings.isOn(QString::fromLatin1(SettingsStore::RiduciIcona));

    tmrIcona.setInterval(SettingsStore::inactivityMs(m_settings.get(QString::fromLatin1(SettingsStore::SecondiInatt))));

    if (!startHidden)
        show();
    else if (!m_tray.isAvailable())
        showMinimized();
}

void frmArriv::speakInitialMessage()
{
    const QString key = QString::fromLatin1(SettingsStore::TipoIniziale);
    if (m_settings.get(key) == QLatin1String("DataOra"))
        m_speaker.Speak(Greeting::text(m_clock.now()));
    else if (m_settings.get(key) == QLatin1String("Personalizzato"))
        m_speaker.Speak(m_settings.get(QString::fromLatin1(SettingsStore::MessaggioIniziale)));
}

void frmArriv::wakeUp()
{
    tmrIcona.stop();
    m_face->startBlink();
    m_face->setEyesClosed(false);
}

// ---- Face, notification area, sleep and farewell ----

void frmArriv::setUpFaceAndTray()
{
    setWindowIcon(appIcon());
    m_face = new Face(*this, m_clock, contaBattito, congedoInCorso);
    connect(m_face, &Face::pointerMoved, this, &frmArriv::wakeUp);
    connect(m_face, &Face::pressed, this, [this](const QPoint& at) { m_mnuPrinc->popup(at); });
    connect(m_face, &Face::eyeClicked, this, [this](const QPoint& at) {
        m_speaker.Speak(QString::fromUtf8(EyeComplaint));
        m_mnuPrinc->popup(at);
    });

    // The pointer over the window's background, a page or the tab strip wakes the face.
    setMouseTracking(true);
    const QList<QWidget*> areas { m_tabStrip, m_pages[0], m_pages[1], m_pages[2], m_pages[3] };
    for (QWidget* area : areas) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }

    connect(&tmrIcona, &QTimer::timeout, this, &frmArriv::tmrIconaTimer);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(200);
    m_timer2->setTimerType(Qt::PreciseTimer); // the wink and the unload keep their moments
    connect(m_timer2, &QTimer::timeout, this, &frmArriv::Timer2Timer);
    connect(&m_speaker, &Speaker::SpeechProgress, this, &frmArriv::speechProgress);
    // She never falls asleep in the middle of a sentence.
    connect(&m_speaker, &Speaker::SpeechStarted, &tmrIcona, &QTimer::stop);

    buildMenus();
    m_tray.setIcon(appIcon());
    m_tray.setContextMenu(m_mnuIcona);
    connect(&m_tray, &TrayIcon::clicked, this, &frmArriv::trayClicked);
}

void frmArriv::buildMenus()
{
    const auto item = [](QMenu* menu, const char* name, const char* caption) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    m_mnuPrinc = new QMenu(this);
    m_mnuPrinc->setObjectName(QStringLiteral("mnuPrinc"));
    m_mnuPrinc->setAccessibleName(QStringLiteral("Menu di Vespelinda"));
    connect(item(m_mnuPrinc, "mnuEsci", "Esci"), &QAction::triggered, this, &frmArriv::esci);
    item(m_mnuPrinc, "mnuInfo", "Info"); // opens the About window, once the program has one
    item(m_mnuPrinc, "mnuOpzioni", "Opzioni"); // opens the options window, once the program has one
    connect(item(m_mnuPrinc, "mnuRiduci", "Riduci a icona"), &QAction::triggered, this, &frmArriv::hideWindow);
    m_mnuNascondi = item(m_mnuPrinc, "mnuNascondi", "Nascondi comandi");
    m_mnuNascondi->setCheckable(true);
    connect(m_mnuNascondi, &QAction::triggered, this, &frmArriv::fold);

    m_mnuIcona = new QMenu(this);
    m_mnuIcona->setObjectName(QStringLiteral("mnuIcona"));
    m_mnuIcona->setAccessibleName(QStringLiteral("Menu dell'icona di Vespelinda"));
    connect(item(m_mnuIcona, "mnuIcoEsci", "Esci"), &QAction::triggered, this, [this] {
        showWindow();
        esci();
    });
    connect(item(m_mnuIcona, "mnuIcoVisualizza", "Visualizza / Nascondi"), &QAction::triggered, this,
        &frmArriv::toggleWindow);
    item(m_mnuIcona, "mnuIcoInfo", "Info"); // opens the About window, once the program has one
}

bool frmArriv::windowShown() const { return isVisible() && !isMinimized(); }

void frmArriv::showWindow()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    // Comes back where it was, without taking the focus from the user's work.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void frmArriv::hideWindow()
{
    if (m_tray.isAvailable())
        hide();
    else
        showMinimized();
}

void frmArriv::toggleWindow()
{
    if (windowShown())
        hideWindow();
    else
        showWindow();
}

void frmArriv::trayClicked(TrayIcon::Click click)
{
    if (click != TrayIcon::Click::Left)
        return;
    toggleWindow();
    m_tray.setToolTip(QString::fromUtf8(windowShown() ? TipShown : TipHidden));
}

void frmArriv::fold(bool folded)
{
    // 100 steps of 39.5 twips, each from the height the window really has.
    const double step = folded ? -39.5 : 39.5;
    for (int i = 0; i < 100; ++i)
        setFixedHeight(qRound((height() * 15.0 + step) / 15.0));
}

void frmArriv::tmrIconaTimer()
{
    m_face->stopBlink();
    m_face->setEyesClosed(true);
    // The message says where the window went: only when it really goes.
    if (m_settings.isOn(QString::fromLatin1(SettingsStore::Automin)) && windowShown()) {
        hideWindow();
        if (m_settings.isOn(QString::fromLatin1(SettingsStore::MessMin)))
            m_speaker.Speak(QString::fromUtf8(GoneToTray));
    }
    tmrIcona.stop();
}

void frmArriv::esci()
{
    m_face->setEyesClosed(false);
    const QString tipoFinale = m_settings.get(QString::fromLatin1(SettingsStore::TipoFinale));
    m_face->stopBlink();
    if (tipoFinale == QLatin1String("Nessuno")) {
        if (!m_timer2->isActive())
            m_timer2->start();
        return;
    }
    // Any value other than the three known ones says goodbye as "Standard" does: a program that
    // cannot be closed is worse than a farewell the user did not choose.
    const QString text = tipoFinale == QLatin1String("Personalizzato")
        ? m_settings.get(QString::fromLatin1(SettingsStore::MessaggioFinale))
        : QString::fromUtf8(Farewell);
    // Set before speaking: an empty farewell is reported at once.
    congedoInCorso = true;
    m_speaker.Speak(text);
}

void frmArriv::speechProgress()
{
    if (congedoInCorso && !m_unloaded && !m_timer2->isActive())
        m_timer2->start();
}

void frmArriv::Timer2Timer()
{
    switch (contaChiusura) {
    case 5:
        m_face->setRightEyeClosed(true); // the wink
        break;
    case 6:
        m_face->setRightEyeClosed(false);
        break;
    case 8:
        intercettaChiusura = false;
        close();
        break;
    default:
        break;
    }
    ++contaChiusura;
}

void frmArriv::endSession()
{
    if (m_unloaded)
        return;
    intercettaChiusura = false;
    close();
}

void frmArriv::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // A session that is ending closes the windows itself and must not be held up.
    if (intercettaChiusura && !(qGuiApp && qGuiApp->isSavingSession())) {
        event->ignore();
        esci();
        return;
    }
    unload();
    event->accept();
}

void frmArriv::unload()
{
    m_unloaded = true;
    m_timer2->stop();
    m_face->stopBlink();
    tmrIcona.stop();
    tmrAgenda1.stop();
    m_tray.hide();
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

void frmArriv::mousePressEvent(QMouseEvent* event)
{
    if (!childAt(event->position().toPoint())) {
        m_mnuPrinc->popup(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

bool frmArriv::eventFilter(QObject* watched, QEvent* event)
{
    // Watched: the tab strip and the page frames. A move over a control on a page reaches its
    // frame too; only the frame's own surface wakes the face.
    if (event->type() == QEvent::MouseMove) {
        auto* area = static_cast<QWidget*>(watched);
        if (!area->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            wakeUp();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Agenda: the timeline page and the one-second heartbeat ----

void frmArriv::setUpAgenda()
{
    auto* frmAgenda = findChild<QFrame*>(QStringLiteral("frmAgenda"));
    m_agendaPage = new AgendaPage(*frmAgenda, m_agendaOggi, m_speaker, m_boxes);
    connect(m_agendaPage, &AgendaPage::pointerActivity, &tmrIcona, &QTimer::stop);

    tmrAgenda1.setObjectName(QStringLiteral("tmrAgenda1"));
    tmrAgenda1.setTimerType(Qt::PreciseTimer);
    tmrAgenda1.setInterval(1000);
    connect(&tmrAgenda1, &QTimer::timeout, this, &frmArriv::tick);
    tmrAgenda1.start();
}

void frmArriv::accendi(const QString& AoP, const QString& Ora) { m_agendaPage->accendi(AoP, Ora); }

void frmArriv::caricaOggi()
{
    const QDate today = m_clock.now().date();
    giornoAgenda = QString::number(today.day());
    accendi(QStringLiteral("a"), QStringLiteral("cc"));
    m_agendaOggi.loadAppuntamenti(
        m_data.dtaAppun(), today, [this](const QString& hour) { accendi(QStringLiteral("a"), hour); });
    accendi(QStringLiteral("p"), QStringLiteral("cc"));
    m_agendaOggi.loadPromemoria(m_data.dtaProm(), [this](const QString& hour) { accendi(QStringLiteral("p"), hour); });
}

void frmArriv::tick()
{
    QDateTime now = m_clock.now();
    m_agendaPage->lblDataOra->setText(AgendaTexts::generalDate(now));
    // A tick that arrives while an announcement's box is open only refreshes the readout: the
    // entry, still due, would otherwise get a second box on top of the first.
    if (m_announcing)
        return;

    if (giornoAgenda != QString::number(now.date().day()))
        caricaOggi();

    // A box keeps the tick waiting: the entries after it are tested against the clock of then.
    const DayAgenda::Table& appuntamenti = m_agendaOggi.appuntamentiOggi();
    for (int k = 1; k <= m_agendaOggi.appuntamentiCount(); ++k) {
        if (DayAgenda::isDue(appuntamenti[k], now)) {
            announce(appuntamenti[k]);
            now = m_clock.now();
        }
    }
    const DayAgenda::Table& promemoria = m_agendaOggi.promemoriaOggi();
    for (int k = 1; k <= m_agendaOggi.promemoriaCount(); ++k) {
        if (DayAgenda::isDue(promemoria[k], now)) {
            announce(promemoria[k]);
            now = m_clock.now();
        }
    }

    // Starting a countdown that is already running would restart it.
    if (windowShown() && !finestraAperta && m_speaker.SpeakingState() != Speaker::Speaking && !tmrIcona.isActive())
        tmrIcona.start();
}

void frmArriv::announce(const VoceAgenda& voce)
{
    const QString testo = voce.Testo;
    const bool wasHidden = !windowShown();
    showWindow();
    wakeUp();
    m_speaker.Speak(AgendaTexts::announcement(m_clock.now(), testo));
    m_announcing = true;
    const auto boxClosed = qScopeGuard([this] { m_announcing = false; });
    m_boxes.show(this, testo, MessageBoxService::Information, AgendaTexts::announcementTitle());
    if (wasHidden)
        hideWindow();
}
