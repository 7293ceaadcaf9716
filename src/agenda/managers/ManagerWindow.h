// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/managers/RecordSetModel.h"
#include "core/MainWindowLink.h"

#include <QDialog>
#include <QList>
#include <memory>

class Alert;
class Clock;
class GridDelegate;
class LimitedTextEdit;
class OutsideChanges;
class QFrame;
class QLabel;
class QPushButton;
class QTableView;
class QTimeEdit;
class RecordSet;

// What a manager window is given by whoever opens it.
struct ManagerServices
{
    Alert& alert;
    Clock& clock;
    MainWindowLink& link;
    QString dataFile; // named in the messages about a refused write
    OutsideChanges& outside; // another program changed the data file
};

// A window that lists every record of one agenda table and adds, deletes and changes them in
// place through a record set of its own (Data1). After each change it tells the main window,
// whose next heartbeat reloads today's agenda; another program's changes are read into the list
// as they arrive. frmAppun and frmProm are built on it.
// The two states: listing (panel hidden, grid and "Aggiungi nuovo", "Elimina" enabled) and adding
// (the new-entry panel Picture1 shown over the grid, those three disabled).
class ManagerWindow : public QDialog
{
    Q_OBJECT

public:
    // The words of one window.
    struct Words
    {
        QString title;
        MainWindowLink::Table table;
        QString panelCaption; // "Inserisci i dati del nuovo appuntamento:"
        QString deleteQuestion;
        QString nothingSelected;
        QString listName; // the grid's accessible name
        QString noun; // "appuntamento"
        QString theEntry; // "l'appuntamento"
    };

    ~ManagerWindow() override;

    bool adding() const;
    RecordSetModel& model() const { return *m_model; }

    QTableView* DBGrid1 = nullptr;
    QPushButton* Command1 = nullptr; // "&Aggiungi nuovo"
    QPushButton* Command2 = nullptr; // "&Elimina"
    QPushButton* Command3 = nullptr; // "E&sci"
    QFrame* Picture1 = nullptr;
    QTimeEdit* txtNuovOra = nullptr;
    LimitedTextEdit* txtNuovTesto = nullptr;
    QPushButton* Command4 = nullptr; // "&Conferma"
    QPushButton* Command5 = nullptr; // "&Annulla"

    static constexpr int TextLimit = 150;

protected:
    ManagerWindow(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, const Words& words,
        QList<GridColumn> columns, QWidget* parent);

    // The layout, in twips: the window's client area and the labels of the panel.
    void setClientSize(int width, int height);
    QLabel* addPanelLabel(const QString& text, const QRect& twips);
    // The order in which Tab visits the controls.
    void setTabChain(const QList<QWidget*>& chain);

    // "Aggiungi nuovo" has shown the panel: the window's own preparations.
    virtual void beginNewEntry() { }
    // "Conferma": the window's own fields of the new record (Ora and Testo are written already).
    virtual void writeNewRecord(RecordSet&) { }

    void reject() override; // Esc
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Clock& m_clock;

private:
    void openNewEntry();
    void confirmNewEntry();
    void cancelNewEntry();
    void deleteSelected();
    void setAdding(bool adding);
    void showCurrentRecord();
    // Reads Data1 afresh after another program's change, keeping the current record; waits while
    // a cell is being edited or a new entry typed.
    void followOutsideChanges();
    void gridWriteRefused(int row, int column, const QVariant& value, const QString& reason);
    void tellRefusal(const QString& what, const QString& reason, const QString& whatNow);

    std::unique_ptr<RecordSet> m_Data1;
    Alert& m_alert;
    MainWindowLink& m_link;
    QString m_dataFile;
    Words m_words;
    RecordSetModel* m_model = nullptr;
    GridDelegate* m_delegate = nullptr;
    bool m_syncing = false; // the grid is being set to the record set's position
    bool m_outsidePending = false; // another program's change waits for the user's edit to end
};
