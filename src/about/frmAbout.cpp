// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/frmAbout.h"

#include "about/LinkLabel.h"
#include "about/ProgramInfo.h"
#include "about/ProjectLinks.h"
#include "about/SystemInfoTool.h"
#include "core/Accessibility.h"
#include "core/Alert.h"
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

QLabel* label(QWidget* window, const char* name, const QString& content, const QRect& geometry)
{
    auto* label = new QLabel(content, window);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setWordWrap(true);
    return label;
}

LinkLabel* link(
    QWidget* window, const char* name, const QString& address, const QString& what, const char* tip, const QPoint& at)
{
    auto* link = new LinkLabel(address, window);
    link->setObjectName(QLatin1String(name));
    link->setToolTip(text(tip));
    link->setAccessibleName(what + address);
    link->adjustSize();
    link->move(at);
    return link;
}

QPushButton* button(
    QWidget* window, const char* name, const QString& caption, const QString& accessible, const QRect& geometry)
{
    auto* button = new QPushButton(caption, window);
    button->setObjectName(QLatin1String(name));
    if (!accessible.isEmpty()) // otherwise its caption names it
        button->setAccessibleName(accessible);
    button->setGeometry(geometry);
    return button;
}
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
    setFixedSize(382, 250);

    auto* picIcon = label(this, "picIcon", {}, QRect(12, 12, 48, 48));
    picIcon->setPixmap(windowIcon().pixmap(48, 48));
    picIcon->setAccessibleName(QStringLiteral("Icona di Vespelinda"));
    label(this, "lblTitle", QStringLiteral("Vespelinda,"), QRect(72, 6, 300, 36))
        ->setStyleSheet(QStringLiteral("color: blue; font: bold 22pt serif;"));
    label(this, "Label5", text(Slogan), QRect(72, 40, 300, 18))->setStyleSheet(QStringLiteral("font-style: italic;"));
    label(
        this, "lblVersion", QStringLiteral("Versione ") + QString::fromLatin1(ProgramVersion), QRect(72, 60, 300, 18));
    label(this, "lblDescription", text(Description), QRect(12, 84, 358, 34));
    label(this, "Label3", text(Developer), QRect(12, 118, 358, 18))
        ->setStyleSheet(QStringLiteral("font-weight: bold;"));

    label(this, "lblDisclaimer", text(Disclaimer), QRect(12, 144, 358, 18));
    auto* web = link(this, "Label1", QString::fromLatin1(ProjectLinks::HomePage), QStringLiteral("Sito web: "), WebTip,
        QPoint(12, 164));
    auto* mail = link(this, "Label2", QString::fromLatin1(ProjectLinks::Contact), QStringLiteral("Email: "), MailTip,
        QPoint(12, 182));
    connect(web, &LinkLabel::activated, this, [this] { openLink(ProjectLinks::homePageUrl()); });
    connect(mail, &LinkLabel::activated, this, [this] { openLink(ProjectLinks::contactUrl()); });
    label(this, "Label6", text(Rights), QRect(12, 208, 262, 36))->setStyleSheet(QStringLiteral("font-size: 7.5pt;"));

    m_cmdOK = button(this, "cmdOK", QStringLiteral("OK"), {}, QRect(280, 178, 90, 28));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QWidget::close);
    auto* cmdSysInfo = button(this, "cmdSysInfo", QStringLiteral("&System Info..."),
        QStringLiteral("Informazioni sul sistema"), QRect(280, 212, 90, 28));
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
