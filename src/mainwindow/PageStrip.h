// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <array>

class QFrame;
class QTabBar;
class QWidget;

// The lower half of the main window: the tab strip TabStrip1 over the four page frames frmLeggi,
// frmCalendario, frmAgenda and frmRubrica, which share one rectangle; a tab shows its frame.
class PageStrip : public QObject
{
    Q_OBJECT

public:
    enum Page
    {
        Leggi = 0,
        Calendario = 1,
        Agenda = 2,
        Rubrica = 3
    };

    explicit PageStrip(QWidget& window);

    QFrame& frame(Page page) const { return *m_frames[page]; }
    QTabBar& tabStrip() const { return *m_tabStrip; }
    // Index 0 to 3 shows that page and hides the others; any other index changes nothing.
    void showPage(int index);
    // Folded away under the face: neither the tabs nor the page can take the focus.
    void setFolded(bool folded);

signals:
    // The pointer moved over the tab strip or a page's own surface (not over a control on it).
    void pointerOverSurface();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabBar* m_tabStrip = nullptr;
    std::array<QFrame*, 4> m_frames {};
};
