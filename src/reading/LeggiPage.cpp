// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/LeggiPage.h"

#include "core/ActivityWatcher.h"
#include "core/ClipboardText.h"
#include "core/Controls.h"
#include "speech/Speaker.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const char* const Prompt = "Digita il testo nello spazio bianco. e te lo leggerò!";
const char* const Pausa = "&Pausa";
const char* const Riprendi = "&Riprendi";
} // namespace

LeggiPage::LeggiPage(QFrame& frame, Speaker& speaker, ClipboardText& clipboard, MainWindowLink& link)
    : QObject(&frame)
    , m_speaker(speaker)
    , m_clipboard(clipboard)
    , m_activity(new ActivityWatcher(link, this))
{
    setObjectName(QStringLiteral("LeggiPage"));
    build(frame);
    connect(Command1, &QPushButton::clicked, this, &LeggiPage::readBox);
    connect(Command2, &QPushButton::clicked, this, &LeggiPage::pasteClipboard);
    connect(Command3, &QPushButton::clicked, this, &LeggiPage::togglePause);
    connect(Command4, &QPushButton::clicked, this, &LeggiPage::stop);
}

void LeggiPage::build(QFrame& frame)
{
    using Controls::make;
    Text1 = make<QPlainTextEdit>(&frame,
        { .name = u"Text1",
            .accessibleName = QStringLiteral("Testo da leggere"),
            .accessibleDescription = QStringLiteral("Doppio click per cancellare (da tastiera: Ctrl+A, poi Canc)"),
            .toolTip = QStringLiteral("Doppio click per cancellare"),
            .twips = { 120, 120, 2950, 2220 } });
    Text1->setTabChangesFocus(true); // a keyboard user must be able to leave the box
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    m_activity->watch(Text1, ActivityWatcher::PointerAndKeys);

    Command1 = make<QPushButton>(&frame,
        { .name = u"Command1",
            .caption = QStringLiteral("&Leggi"),
            .toolTip = QStringLiteral("Legge il testo inserito"),
            .twips = { 120, 2460, 1440, 390 } });
    Command2 = make<QPushButton>(&frame,
        { .name = u"Command2",
            .caption = QStringLiteral("&Incolla testo"),
            .toolTip = QStringLiteral("Incolla il testo dagli appunti"),
            .twips = { 1630, 2460, 1440, 390 } });
    Command3 = make<QPushButton>(&frame,
        { .name = u"Command3",
            .caption = QString::fromLatin1(Pausa),
            .toolTip = QStringLiteral("Ferma/riprende la lettura"),
            .twips = { 120, 2940, 1440, 390 } });
    Command4 = make<QPushButton>(&frame,
        { .name = u"Command4",
            .caption = QStringLiteral("&Stop"),
            .toolTip = QStringLiteral("Annulla la lettura in corso"),
            .twips = { 1630, 2940, 1440, 390 } });
    for (QPushButton* button : { Command1, Command2, Command3, Command4 })
        m_activity->watch(button);
}

void LeggiPage::readBox()
{
    const QString text = Text1->toPlainText();
    if (text.isEmpty())
        m_speaker.Speak(QString::fromUtf8(Prompt));
    else
        m_speaker.Speak(text, Speaker::Lane::Reading);
}

void LeggiPage::pasteClipboard()
{
    // A clipboard without text leaves the box as it was: nothing typed is lost to an empty paste.
    const QString text = m_clipboard.text();
    if (!text.isEmpty())
        Text1->setPlainText(text);
}

void LeggiPage::togglePause()
{
    if (Command3->text() == QLatin1String(Pausa)) {
        m_speaker.PauseReading();
        setCommand3(Riprendi);
    } else {
        m_speaker.ResumeReading();
        setCommand3(Pausa);
    }
}

void LeggiPage::stop()
{
    m_speaker.StopReading();
    setCommand3(Pausa);
}

void LeggiPage::setCommand3(const char* caption) { Command3->setText(QString::fromLatin1(caption)); }

bool LeggiPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        // Enter reads the whole box; the line break still goes into it afterwards.
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat())
            readBox();
    } else if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Text1->clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
