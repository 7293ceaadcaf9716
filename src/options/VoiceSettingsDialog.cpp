// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/VoiceSettingsDialog.h"

#include "core/Controls.h"
#include "speech/Speaker.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <memory>

VoiceSettingsDialog::VoiceSettingsDialog(Speaker& speaker, VoiceEngine& voice, QWidget* owner)
    : QDialog(owner)
    , m_speaker(speaker)
    , m_voice(voice)
    , m_stored(voice.settings().read())
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto* form = new QFormLayout;
    // A combo box is named by its label ("labelled by") and reports its choice as its value, which a
    // screen reader says on every change (Accessibility::install).
    m_engine = new QComboBox(this);
    Controls::apply(
        m_engine, { .name = u"cboMotore", .toolTip = QStringLiteral("Il programma che dà voce all'assistente") });
    m_voiceName = new QComboBox(this);
    Controls::apply(
        m_voiceName, { .name = u"cboVoce", .toolTip = QStringLiteral("Le voci installate di questo motore") });
    // Until the synthesis thread has listed the voices, the stored choice stands.
    m_engine->addItem(m_stored.engine.isEmpty() ? QStringLiteral("…") : m_stored.engine);
    m_voiceName->addItem(m_stored.name.isEmpty() ? QStringLiteral("…") : m_stored.name, m_stored.name);
    form->addRow(QStringLiteral("&Motore:"), m_engine);
    form->addRow(QStringLiteral("&Voce:"), m_voiceName);

    m_rate = addSlider(
        "sldVelocita", QStringLiteral("Velocità"), VoiceSettings::MinRate, VoiceSettings::MaxRate, m_stored.rate);
    m_pitch = addSlider(
        "sldTono", QStringLiteral("Tono"), VoiceSettings::MinPitch, VoiceSettings::MaxPitch, m_stored.pitch);
    m_volume = addSlider(
        "sldVolume", QStringLiteral("Volume"), VoiceSettings::MinVolume, VoiceSettings::MaxVolume, m_stored.volume);
    for (QSlider* slider : { m_rate, m_pitch, m_volume }) {
        auto* value = new QLabel(this);
        const auto show = [value](int percent) {
            value->setText(QString::number(percent) + u'%');
        };
        show(slider->value());
        connect(slider, &QSlider::valueChanged, value, show);
        auto* row = new QHBoxLayout;
        row->addWidget(slider, 1);
        row->addWidget(value);
        form->addRow(slider->accessibleName() + u':', row);
    }

    m_listen = Controls::make<QPushButton>(this,
        { .name = u"cmdAscolta",
            .caption = QStringLiteral("A&scolta"),
            .toolTip = QStringLiteral("Ascolta una frase con queste impostazioni") });
    connect(m_listen, &QPushButton::clicked, this, &VoiceSettingsDialog::listen);
    // The button stays enabled while the sample plays, so the focus stays on it (a disabled button
    // would push it on to OK, where a second Space saves); a press meanwhile waits for the end.
    connect(&m_speaker, &Speaker::SpeechProgress, this, [this](quint64 id) {
        if (id == m_sample)
            m_sample = 0;
    });

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = Controls::make<QPushButton>(buttons,
        { .name = u"cmdOK",
            .caption = QStringLiteral("OK"),
            .toolTip = QStringLiteral("Usa queste impostazioni da ora in poi") });
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    auto* cancel = Controls::make<QPushButton>(buttons,
        { .name = u"cmdAnnulla",
            .caption = QStringLiteral("&Annulla"),
            .toolTip = QStringLiteral("Lascia la voce com'era") });
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_listen, 0, Qt::AlignLeft);
    layout->addWidget(buttons);

    connect(m_engine, &QComboBox::currentIndexChanged, this, [this] { fillVoices(QString()); });
    auto installed = std::make_shared<QList<VoiceEngine::EngineVoices>>();
    auto current = std::make_shared<Voice>();
    const Voice stored = m_stored;
    QPointer<VoiceSettingsDialog> self(this);
    m_speaker.onSynthesisThread(
        [&voice, installed, current, stored] {
            *installed = voice.installed();
            *current = voice.resolve(stored);
        },
        [self, installed, current] {
            if (!self)
                return;
            self->showInstalled(*installed, *current);
            emit self->voicesListed();
        });
}

VoiceSettingsDialog::~VoiceSettingsDialog() { m_voice.setTrial(std::nullopt); }

QSlider* VoiceSettingsDialog::addSlider(const char* name, const QString& caption, int min, int max, int value)
{
    auto* slider = new QSlider(Qt::Horizontal, this);
    Controls::apply(slider,
        { .name = name,
            .accessibleName = caption,
            .toolTip = caption + QStringLiteral(", in percentuale del normale") });
    slider->setRange(min, max);
    slider->setSingleStep(5);
    slider->setPageStep(10);
    slider->setValue(value);
    return slider;
}

void VoiceSettingsDialog::showInstalled(const QList<VoiceEngine::EngineVoices>& installed, const Voice& current)
{
    m_installed = installed;
    const QSignalBlocker block(m_engine);
    m_engine->clear();
    for (const auto& engine : installed)
        m_engine->addItem(engine.engine);
    m_engine->setCurrentIndex(std::max(0, m_engine->findText(current.engine)));
    fillVoices(current.name);
}

void VoiceSettingsDialog::fillVoices(const QString& selected)
{
    m_voiceName->clear();
    for (const auto& engine : std::as_const(m_installed)) {
        if (engine.engine != m_engine->currentText())
            continue;
        for (const auto& voice : engine.voices)
            m_voiceName->addItem(voice.label, voice.name);
    }
    m_voiceName->setCurrentIndex(std::max(0, m_voiceName->findData(selected)));
}

Voice VoiceSettingsDialog::chosen() const
{
    Voice voice;
    voice.engine = m_installed.isEmpty() ? m_stored.engine : m_engine->currentText();
    voice.name = m_voiceName->currentData().toString();
    voice.rate = m_rate->value();
    voice.pitch = m_pitch->value();
    voice.volume = m_volume->value();
    return voice;
}

void VoiceSettingsDialog::listen()
{
    if (m_sample != 0)
        return; // the sample is still playing
    m_voice.setTrial(chosen());
    m_sample = m_speaker.Speak(QString::fromUtf8(Sample));
}

void VoiceSettingsDialog::accept()
{
    m_voice.settings().write(chosen());
    QDialog::accept();
}

void VoiceSettingsDialog::done(int result)
{
    m_voice.setTrial(std::nullopt);
    QDialog::done(result);
}

void VoiceSettingsDialog::open(Speaker& speaker, VoiceEngine& voice, QWidget* owner, const QString& title)
{
    auto* dialog = new VoiceSettingsDialog(speaker, voice, owner);
    dialog->setWindowTitle(title);
    // Shown once the voices are listed (a moment: the engines are asked on the synthesis thread),
    // so the first focus finds the boxes filled: an arrow pressed before would be undone by the list.
    connect(dialog, &VoiceSettingsDialog::voicesListed, dialog, [dialog] { dialog->QDialog::open(); });
}
