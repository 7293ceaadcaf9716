// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/frmAbout.h"

#include "about/LinkLabel.h"
#include "about/ProgramInfo.h"
#include "about/ProjectLinks.h"
#include "about/SystemInfoTool.h"
#include "core/Accessibility.h"
#include "core/Alert.h"
#include "core/Controls.h"
#include "core/Twips.h"
#include "registry/RegistryStore.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>

namespace {
Q_LOGGING_CATEGORY(aboutLog, "vespelinda.about")

const char* const Caption = "Informazioni su ";
const char* const Description = "Vespelinda, l'assistente che parla per il desktop Linux, è stata sviluppata da";
const char* const Developer = "il gruppo di sviluppo del progetto Vespelinda";
const char* const Slogan = "la tua segretaria che parla italiano";
const char* const Disclaimer = "Per ogni informazione o per contattare l'autore:";
const char* const WebTip = "Clicca qui per visitare il sito web";
const char* const MailTip = "clicca qui per inviare un' email";
const char* const Rights = "© 2026 il gruppo di sviluppo di Vespelinda.\n"
                           "Software libero: GNU GPL, versione 3 o successiva.";
const char* const Unavailable = "Le informazioni sul sistema non sono attualmente disponibili.";

QString text(const char* utf8) { return QString::fromUtf8(utf8); }
} // namespace

AboutServices AboutServices::desktop(Alert& alert)
{
    return { alert, RegistryStore::defaultFolder(), ProgramLauncher(), [](const QUrl& url) {
                return QDesktopServices::openUrl(url);
            } };
}

frmAbout::frmAbout(AboutServices services, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , m_services(std::move(services))
{
    Accessibility::install(); // reported as a dialog with its title, not as a bare widget
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(text(Caption) + QString::fromLatin1(ProgramName));
    setFixedSize(twips(5730), twips(3750));

    using Controls::make;
    auto* picIcon = make<QLabel>(this,
        { .name = u"picIcon",
            .accessibleName = QStringLiteral("Icona di Vespelinda"),
            .twips = { 180, 180, 720, 720 } });
    picIcon->setPixmap(windowIcon().pixmap(48, 48));
    auto* title = make<QLabel>(
        this, { .name = u"lblTitle", .caption = QStringLiteral("Vespelinda,"), .twips = { 1080, 90, 4500, 540 } });
    title->setStyleSheet(QStringLiteral("color: blue; font: bold 22pt serif;"));
    auto* slogan
        = make<QLabel>(this, { .name = u"Label5", .caption = text(Slogan), .twips = { 1080, 600, 4500, 270 } });
    slogan->setStyleSheet(QStringLiteral("font-style: italic;"));
    auto* version = make<QLabel>(this,
        { .name = u"lblVersion",
            .caption = QStringLiteral("Versione ") + QString::fromLatin1(ProgramVersion),
            .twips = { 1080, 900, 4500, 270 } });
    auto* description = make<QLabel>(
        this, { .name = u"lblDescription", .caption = text(Description), .twips = { 180, 1260, 5370, 510 } });
    auto* developer
        = make<QLabel>(this, { .name = u"Label3", .caption = text(Developer), .twips = { 180, 1770, 5370, 270 } });
    developer->setStyleSheet(QStringLiteral("font-weight: bold;"));

    auto* disclaimer = make<QLabel>(
        this, { .name = u"lblDisclaimer", .caption = text(Disclaimer), .twips = { 180, 2160, 5370, 270 } });
    const QString homePage = QString::fromLatin1(ProjectLinks::HomePage);
    auto* web = make<LinkLabel>(this,
        { .name = u"Label1",
            .caption = homePage,
            .accessibleName = QStringLiteral("Sito web: ") + homePage,
            .accessibleDescription
            = text(WebTip) + QStringLiteral(" (da tastiera: Tab fino al collegamento, poi Invio)"),
            .toolTip = text(WebTip),
            .twips = Controls::Place::corner(180, 2460) });
    const QString contact = QString::fromLatin1(ProjectLinks::Contact);
    auto* mail = make<LinkLabel>(this,
        { .name = u"Label2",
            .caption = contact,
            .accessibleName = QStringLiteral("Email: ") + contact,
            .accessibleDescription
            = text(MailTip) + QStringLiteral(" (da tastiera: Tab fino al collegamento, poi Invio)"),
            .toolTip = text(MailTip),
            .twips = Controls::Place::corner(180, 2730) });
    connect(web, &LinkLabel::activated, this, [this] { openLink(ProjectLinks::homePageUrl()); });
    connect(mail, &LinkLabel::activated, this, [this] { openLink(ProjectLinks::contactUrl()); });
    auto* rights
        = make<QLabel>(this, { .name = u"Label6", .caption = text(Rights), .twips = { 180, 3120, 3930, 540 } });
    rights->setStyleSheet(QStringLiteral("font-size: 7.5pt;"));
    for (QLabel* label : { picIcon, title, slogan, version, description, developer, disclaimer, rights })
        label->setWordWrap(true);

    m_cmdOK = make<QPushButton>(
        this, { .name = u"cmdOK", .caption = QStringLiteral("OK"), .twips = { 4200, 2670, 1350, 420 } });
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QWidget::close);
    auto* cmdSysInfo = make<QPushButton>(this,
        { .name = u"cmdSysInfo",
            .caption = QStringLiteral("&System Info..."),
            .accessibleName = QStringLiteral("Informazioni sul sistema"),
            .twips = { 4200, 3180, 1350, 420 } });
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    // Tab goes from OK through the links and back.
    setTabOrder(m_cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, web);
    setTabOrder(web, mail);
    m_cmdOK->setFocus();
}

void frmAbout::StartSysInfo()
{
    if (SystemInfoTool(m_services.registryFolder, m_services.launcher).start())
        return;
    m_services.alert(this, text(Unavailable), text(Unavailable), 0, QString::fromLatin1(ProgramName));
}

void frmAbout::openLink(const QUrl& url)
{
    // A link that the desktop cannot open fails without a word to the user.
    if (!m_services.openUrl(url))
        qCWarning(aboutLog) << "the desktop could not open" << url.toString();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // As in a dialog: Enter presses the button that has the focus, otherwise OK.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            m_cmdOK->click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
