// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ActivityWatcher;
class ClipboardText;
class MainWindowLink;
class QFrame;
class QPlainTextEdit;
class QPushButton;
class Speaker;

// The Leggi page: reads aloud what the user types or pastes into Text1, with pause, resume and
// stop. Whether it is paused is what the caption of Command3 says.
class LeggiPage : public QObject
{
    Q_OBJECT

public:
    LeggiPage(QFrame& frame, Speaker& speaker, ClipboardText& clipboard, MainWindowLink& link);

    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr; // "&Leggi"
    QPushButton* Command2 = nullptr; // "&Incolla testo"
    QPushButton* Command3 = nullptr; // "&Pausa" / "&Riprendi"
    QPushButton* Command4 = nullptr; // "&Stop"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(QFrame& frame);
    void readBox();
    void pasteClipboard();
    void togglePause();
    void stop();
    void setCommand3(const char* caption);

    Speaker& m_speaker;
    ClipboardText& m_clipboard;
    ActivityWatcher* m_activity = nullptr;
};
