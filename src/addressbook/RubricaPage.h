// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ActivityWatcher;
class Alert;
class MainWindowLink;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RecordSet;
class Speaker;
class SvgPicture;

// The Rubrica page: one address-book entry at a time, the current record of dtaRubrica, with
// browsing, the entry state for adding and changing, deletion and the search by name.
// The state is carried by the captions of cmdAggiungi and cmdElimina, as the user sees it.
class RubricaPage : public QObject
{
    Q_OBJECT

public:
    RubricaPage(QFrame& frame, RecordSet& dtaRubrica, Speaker& speaker, Alert& alert, MainWindowLink& link);
    // The address book was read afresh (another program changed it): the entry shown follows,
    // unless the user is typing one.
    void showAfresh();

    // An entry is being added or changed.
    bool inEntryState() const;

protected:
    // Esc cancels an entry being typed.
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    SvgPicture* Image6 = nullptr;
    QLineEdit* txtNome = nullptr;
    QPushButton* cmdRicerca = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdIndietro = nullptr;
    QPushButton* cmdAvanti = nullptr;
    QPushButton* cmdModifica = nullptr;
    QLineEdit* txtRnome = nullptr;
    QLineEdit* txtRtel = nullptr;
    QLineEdit* txtRemail = nullptr;
    QPushButton* cmdElimina = nullptr;
    QPushButton* cmdAggiungi = nullptr;

private:
    void build(QFrame& frame);
    void bind(QLineEdit* field, const QString& name);
    // The fields show the current record (or the edit buffer), empty when there is none.
    void showCurrent();
    void setEntryState(bool entry);

    void addOrSaveClicked();
    void deleteOrCancelClicked();
    void startAdding();
    void startChanging();
    void save();
    void cancel();
    void remove();
    void search();

    RecordSet& m_dtaRubrica;
    bool m_showing = false; // the fields are being filled from the record, not by the user
    Speaker& m_speaker;
    Alert& m_alert;
    MainWindowLink& m_link;
    ActivityWatcher* m_activity = nullptr;
};
