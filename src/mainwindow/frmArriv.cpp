// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmArriv.h"

#include "core/Clock.h"
#include "core/SettingsStore.h"
#include "core/Speaker.h"
#include "core/Twips.h"
#include "mainwindow/Greeting.h"

#include <QFrame>
#include <QTabBar>

namespace {
const QColor Background(255, 224, 207);

struct PageSpec
{
    const char* caption;
    const char* tooltip;
    const char* frameName;
};
const PageSpec Pages[4] = {
    { "Leggi", "Lettura di testi", "frmLeggi" },
    { "Calendario", "Data e ora odierni, calendario", "frmCalendario" },
    { "Agenda", "Programmazione appuntamenti", "frmAgenda" },
    { "Rubrica", "Rubrica telefonica", "frmRubrica" },
};
} // namespace

frmArriv::frmArriv(const MainWindowServices& services, QWidget* parent)
    : QWidget(parent)
    , m_clock(services.clock)
    , m_settings(services.settings)
    , m_speaker(services.speaker)
    , m_boxes(services.boxes)
    , m_alert(services.alert)
    , m_data(services.data)
{
    setObjectName(QStringLiteral("frmArriv"));
    setWindowTitle(QString::fromLatin1(Title));
    setAccessibleName(QString::fromLatin1(Title));
    // Stays above every window that is not itself topmost.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(228, 528);

    tmrIcona.setObjectName(QStringLiteral("tmrIcona"));
    buildPages();
}

frmArriv::~frmArriv() = default;

void frmArriv::buildPages()
{
    m_tabStrip = new QTabBar(this);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip->setAccessibleName(QStringLiteral("Pagine"));
    m_tabStrip->setGeometry(twips(120), 264, twips(3200), twips(4320) - 264);
    m_tabStrip->setExpanding(true);
    m_tabStrip->setDrawBase(false);
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

    const bool startHidden = m_settings.isOn(QString::fromLatin1(SettingsStore::RiduciIcona));

    tmrIcona.setInterval(SettingsStore::inactivityMs(m_settings.get(QString::fromLatin1(SettingsStore::SecondiInatt))));

    if (!startHidden)
        show();
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
}
