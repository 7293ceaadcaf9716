// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/frmOpzioni.h"

#include "core/Accessibility.h"
#include "core/Alert.h"
#include "core/Controls.h"
#include "core/MainWindowLink.h"
#include "core/MessageBoxService.h"
#include "core/SettingsStore.h"
#include "core/Twips.h"
#include "options/AutostartEntry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <limits>

namespace {
const char* const SecondsWarning = "I secondi di inattività devono essere compresi tra 15 e 60!";

constexpr auto Word = "message"; // the message an option stands for (SettingsStore::Message)

struct Option
{
    QRadioButton*& control;
    const char* name;
    const char* caption;
    SettingsStore::Message message;
};

// One of the two message frames: three options, and the text box beside "Personalizzato:",
// shown only while that option is selected.
QLineEdit* buildMessageFrame(
    QGroupBox* frame, const QString& what, const std::array<Option, 3>& options, const char* customName)
{
    for (int i = 0; i < 3; ++i) {
        const QString caption = QString::fromUtf8(options[i].caption);
        QRadioButton*& option = options[i].control;
        // Named by its own choice: the frame around it already says the group, once.
        option = Controls::make<QRadioButton>(frame,
            { .name = options[i].name,
                .caption = caption,
                .accessibleName = Accessibility::spoken(caption).remove(u':'),
                .twips = { 150, 300 + 330 * i, 1680, 300 } });
        option->setProperty(Word, int(options[i].message));
        // Tab reaches the group on its chosen option (the arrows move the choice), as in every
        // desktop's option groups; the others are still clicked.
        QObject::connect(option, &QRadioButton::toggled, option,
            [option](bool checked) { option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus); });
        option->setFocusPolicy(Qt::ClickFocus);
    }
    auto* custom = Controls::make<QLineEdit>(frame,
        { .name = customName,
            .accessibleName = what + QStringLiteral(" personalizzato"),
            .twips = { 1860, 945, 2085, 330 } });
    custom->setMaxLength(std::numeric_limits<int>::max()); // a message of any length is kept whole
    custom->hide();
    QObject::connect(options[2].control, &QRadioButton::toggled, custom, &QWidget::setVisible);
    return custom;
}

SettingsStore::Message selected(const QGroupBox* frame)
{
    for (const QRadioButton* option : frame->findChildren<QRadioButton*>()) {
        if (option->isChecked())
            return SettingsStore::Message(option->property(Word).toInt());
    }
    return SettingsStore::Message::None;
}

// A word outside the set leaves the selection as the window was made.
void select(const QGroupBox* frame, std::optional<SettingsStore::Message> stored)
{
    for (QRadioButton* option : frame->findChildren<QRadioButton*>()) {
        if (stored && option->property(Word).toInt() == int(*stored))
            option->setChecked(true);
    }
}
} // namespace

frmOpzioni::frmOpzioni(Services services, QWidget* parent)
    : QDialog(parent)
    , m_settings(services.settings)
    , m_alert(services.alert)
    , m_link(services.link)
    , m_autostart(services.autostart)
    , m_voiceDialog(std::move(services.voiceDialog))
{
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setFixedSize(twips(4335), twips(6075));
    build();
    load();
}

bool frmOpzioni::secondsAccepted(const QString& text)
{
    if (text.isEmpty() || text.size() > 2)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    const int seconds = text.toInt();
    return seconds >= 15 && seconds <= 60;
}

void frmOpzioni::build()
{
    using Controls::make;
    Frame2 = make<QGroupBox>(
        this, { .name = u"Frame2", .caption = QStringLiteral("Messaggio iniziale"), .twips = { 120, 60, 4095, 1320 } });
    txtIniPers = buildMessageFrame(Frame2, Frame2->title(),
        { { { optIniNessuno, "optIniNessuno", "Nessuno", SettingsStore::Message::None },
            { optIniData, "optIniData", "Data e ora", SettingsStore::Message::DateAndTime },
            { optIniPers, "optIniPers", "Personalizzato:", SettingsStore::Message::Custom } } },
        "txtIniPers");
    optIniData->setChecked(true);

    Frame3 = make<QGroupBox>(this,
        { .name = u"Frame3",
            .caption = QStringLiteral("Messagio finale"),
            .accessibleName = QStringLiteral("Messaggio finale"),
            .twips = { 120, 1440, 4095, 1320 } });
    txtFinePers = buildMessageFrame(Frame3, QStringLiteral("Messaggio finale"),
        { { { optFineNessuno, "optFineNessuno", "Nessuno", SettingsStore::Message::None },
            { optFineStd, "optFineStd", "Standard", SettingsStore::Message::Standard },
            { optFinePers, "optFinePers", "Personalizzato:", SettingsStore::Message::Custom } } },
        "txtFinePers");
    optFineStd->setChecked(true);

    chkAvvio = make<QCheckBox>(this,
        { .name = u"chkAvvio",
            .caption = QStringLiteral("Carica all'avvio del sistema"),
            .twips = { 180, 2850, 4035, 300 } });
    chkIcona = make<QCheckBox>(this,
        { .name = u"chkIcona",
            .caption = QStringLiteral("Riduci automaticamente a icona all'avvio"),
            .twips = { 180, 3180, 4035, 300 } });
    chkLeggiErr = make<QCheckBox>(this,
        { .name = u"chkLeggiErr",
            .caption = QStringLiteral("Leggi avvisi e messaggi di errore"),
            .twips = { 180, 3510, 4035, 300 } });

    Frame1 = make<QGroupBox>(this,
        { .name = u"Frame1",
            .caption = QStringLiteral("Auto-minimizzazione"),
            .toolTip
            = QStringLiteral("Riduce automaticamente a icona Vespelinda, dopo i secondi di inattività impostati!"),
            .twips = { 120, 3870, 4095, 1110 } });
    chkAutomin = make<QCheckBox>(Frame1,
        { .name = u"chkAutomin",
            .caption = QStringLiteral("Attiva"),
            .accessibleName = QStringLiteral("Attiva auto-minimizzazione"),
            .twips = { 150, 300, 1500, 300 } });
    chkMessMin = make<QCheckBox>(Frame1,
        { .name = u"chkMessMin",
            .caption = QStringLiteral("Messaggio vocale"),
            .accessibleName = QStringLiteral("Messaggio vocale all'auto-minimizzazione"),
            .twips = { 1770, 300, 2250, 300 } });
    Label1 = make<QLabel>(Frame1,
        { .name = u"Label1",
            .caption = QStringLiteral("Secondi di inattività (Min 15 - Max 60)..................."),
            .accessibleName = QStringLiteral("Secondi di inattività, da 15 a 60"),
            .twips = { 150, 675, 3465, 300 } });
    txtSecIn = make<QLineEdit>(Frame1, { .name = u"txtSecIn", .label = Label1, .twips = { 3630, 660, 360, 330 } });
    txtSecIn->setMaxLength(2);
    txtSecIn->setText(QStringLiteral("15"));
    const auto enableAutomin = [this](bool on) {
        chkMessMin->setEnabled(on);
        Label1->setEnabled(on);
        txtSecIn->setEnabled(on);
    };
    enableAutomin(false);
    connect(chkAutomin, &QCheckBox::toggled, this, enableAutomin);
    txtSecIn->installEventFilter(this);

    cmdVoce = make<QPushButton>(
        this, { .name = u"cmdVoce", .caption = QStringLiteral("Opzioni &voce"), .twips = { 120, 5070, 4095, 420 } });
    Command1 = make<QPushButton>(
        this, { .name = u"Command1", .caption = QStringLiteral("&OK"), .twips = { 120, 5580, 1980, 420 } });
    Command2 = make<QPushButton>(
        this, { .name = u"Command2", .caption = QStringLiteral("&Annulla"), .twips = { 2235, 5580, 1980, 420 } });
    Command1->setDefault(true); // Enter; Esc closes the dialog as "&Annulla" does
    cmdVoce->setEnabled(bool(m_voiceDialog)); // only where the engine offers a dialog
    connect(cmdVoce, &QPushButton::clicked, this, [this] {
        if (m_voiceDialog)
            m_voiceDialog(this, QStringLiteral("Opzioni voce"));
    });
    connect(Command1, &QPushButton::clicked, this, &frmOpzioni::save);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
}

void frmOpzioni::load()
{
    select(Frame2, m_settings.storedGreeting());
    select(Frame3, m_settings.storedFarewell());
    // Whatever the option, so that a hidden box still holds the last custom message.
    txtFinePers->setText(m_settings.messaggioFinale());
    txtIniPers->setText(m_settings.messaggioIniziale());
    // An entry switched off elsewhere does not start the program: the box says so.
    chkAvvio->setChecked(m_settings.caricaAvvio() && !m_autostart.isSwitchedOff());
    chkIcona->setChecked(m_settings.riduciIcona());
    chkLeggiErr->setChecked(m_settings.leggiErrore());
    chkAutomin->setChecked(m_settings.automin());
    chkMessMin->setChecked(m_settings.messMin());
    const QString seconds = m_settings.secondiInatt();
    // Typing stops at two characters; a longer text edited into the file is still shown whole.
    txtSecIn->setMaxLength(std::max<int>(2, seconds.size()));
    txtSecIn->setText(seconds);
}

bool frmOpzioni::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSecIn && event->type() == QEvent::FocusOut) {
        // Checked when the focus moves on inside this window: not when the window itself loses it
        // (the warning's own box takes it), nor for "&OK", which checks for itself, or "&Annulla".
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* next = QApplication::focusWidget();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next != Command1
            && next != Command2) {
            // After the event that moved the focus, so a click is not left half done under the box.
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    checkSecIn();
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOpzioni::keyPressEvent(QKeyEvent* event)
{
    // Esc is "&Annulla": a close, which the window's opener sees (a dialog's own Esc only hides it).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmOpzioni::checkSecIn()
{
    if (secondsAccepted(txtSecIn->text()))
        return true;
    const QString warning = QString::fromUtf8(SecondsWarning);
    m_alert(this, warning, warning, MessageBoxService::Exclamation, QStringLiteral("Attenzione"));
    txtSecIn->setFocus(Qt::OtherFocusReason);
    return false;
}

void frmOpzioni::save()
{
    // A seconds box the user can work must hold an accepted number. A disabled one shows the stored
    // text, which is written back only when it is one.
    if (txtSecIn->isEnabled() && !checkSecIn())
        return;

    m_settings.takeProblem();
    m_settings.setGreeting(selected(Frame2));
    if (optIniPers->isChecked())
        m_settings.setMessaggioIniziale(txtIniPers->text());
    m_settings.setFarewell(selected(Frame3));
    if (optFinePers->isChecked())
        m_settings.setMessaggioFinale(txtFinePers->text());

    const std::optional<QString> failure = m_autostart.update(chkAvvio->isChecked());

    m_settings.setCaricaAvvio(chkAvvio->isChecked());
    m_settings.setRiduciIcona(chkIcona->isChecked());
    m_settings.setLeggiErrore(chkLeggiErr->isChecked());
    m_settings.setAutomin(chkAutomin->isChecked());
    m_settings.setMessMin(chkMessMin->isChecked());
    if (secondsAccepted(txtSecIn->text()))
        m_settings.setSecondiInatt(txtSecIn->text());
    m_link.setInactivityInterval(m_settings.inactivityIntervalMs());

    // Whatever could not be stored is said, and nothing is claimed that did not happen.
    const QString notSaved = m_settings.takeProblem();
    if (failure && notSaved.isEmpty()) {
        m_alert(this,
            QStringLiteral("Non riesco a registrare l'avvio automatico. Le altre opzioni sono state salvate."),
            *failure + QStringLiteral("\n\nLe altre opzioni sono state salvate."), MessageBoxService::Exclamation);
    } else if (failure) {
        m_alert(this,
            QStringLiteral("Non riesco a registrare l'avvio automatico, e nemmeno a salvare le altre opzioni."),
            *failure + QStringLiteral("\n\n") + notSaved, MessageBoxService::Exclamation);
    } else if (!notSaved.isEmpty()) {
        m_alert(this, notSaved, notSaved, MessageBoxService::Exclamation);
    }
    close();
}
