// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/ManagerWindow.h"

#include "agenda/managers/GridDelegate.h"
#include "agenda/managers/LimitedTextEdit.h"
#include "core/Accessibility.h"
#include "core/Alert.h"
#include "core/Controls.h"
#include "core/MessageBoxService.h"
#include "core/Twips.h"
#include "datafile/OutsideChanges.h"
#include "datafile/RecordSet.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>

namespace {
const QColor PanelBackground(224, 224, 224);
const char* const GridTip = "Clicca sul campo per modificarlo. Per selezionarlo clicca sui pulsanti a lato.";
const char* const TestoVuoto = "Il campo testo è vuoto!";
} // namespace

ManagerWindow::ManagerWindow(std::unique_ptr<RecordSet> Data1, const ManagerServices& services, const Words& words,
    QList<GridColumn> columns, QWidget* parent)
    : QDialog(parent)
    , m_clock(services.clock)
    , m_Data1(std::move(Data1))
    , m_alert(services.alert)
    , m_link(services.link)
    , m_dataFile(services.dataFile)
    , m_words(words)
{
    setWindowTitle(words.title);
    // The layout was drawn for a font a little smaller than the desktop's usual one.
    QFont smaller = font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    setFont(smaller);

    m_model = new RecordSetModel(*m_Data1, columns, this);
    m_delegate = new GridDelegate(m_clock, this);

    using Controls::make;
    DBGrid1 = new QTableView(this);
    Controls::apply(DBGrid1,
        { .name = u"DBGrid1",
            .accessibleName = words.listName,
            // A table does not describe itself with its tooltip; the keyboard way is said too.
            .accessibleDescription
            = QString::fromUtf8(GridTip) + QStringLiteral(" (da tastiera: le frecce per scegliere, F2 per modificare)"),
            .toolTip = QString::fromUtf8(GridTip) });
    DBGrid1->setModel(m_model);
    DBGrid1->setItemDelegate(m_delegate);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    DBGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DBGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->verticalHeader()->setFixedWidth(twips(255)); // the record selectors
    DBGrid1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].kind == GridColumn::Kind::Key)
            DBGrid1->setColumnHidden(c, true);
        else
            DBGrid1->setColumnWidth(c, twips(columns[c].widthTwips));
    }
    // A click on a cell opens it for editing.
    connect(DBGrid1, &QAbstractItemView::clicked, DBGrid1, [this](const QModelIndex& index) { DBGrid1->edit(index); });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& row) {
        if (row.isValid() && !m_syncing && !adding())
            m_Data1->moveTo(row.row());
    });
    connect(m_model, &RecordSetModel::rowWritten, this, [this] { m_link.tableChanged(m_words.table); });
    connect(&services.outside, &OutsideChanges::arrived, this, &ManagerWindow::followOutsideChanges);
    // A change that waited for the cell's editor is read once the editor has gone.
    connect(
        m_delegate, &QAbstractItemDelegate::closeEditor, this,
        [this] {
            if (m_outsidePending)
                followOutsideChanges();
        },
        Qt::QueuedConnection);
    // After the editor has gone: a box must not open while the grid is still committing.
    connect(m_model, &RecordSetModel::writeRefused, this, &ManagerWindow::gridWriteRefused, Qt::QueuedConnection);

    // The buttons and the panel are placed by each window.
    Command1 = make<QPushButton>(this, { .name = u"Command1", .caption = QStringLiteral("&Aggiungi nuovo") });
    Command2 = make<QPushButton>(this, { .name = u"Command2", .caption = QStringLiteral("&Elimina") });
    Command3 = make<QPushButton>(this, { .name = u"Command3", .caption = QStringLiteral("E&sci") });
    connect(Command1, &QPushButton::clicked, this, &ManagerWindow::openNewEntry);
    connect(Command2, &QPushButton::clicked, this, &ManagerWindow::deleteSelected);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);

    Picture1 = new QFrame(this);
    Controls::apply(Picture1, { .name = u"Picture1", .accessibleName = Accessibility::spoken(words.panelCaption) });
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Picture1->setAutoFillBackground(true);
    QPalette panelPalette = Picture1->palette();
    panelPalette.setColor(QPalette::Window, PanelBackground);
    Picture1->setPalette(panelPalette);
    Picture1->hide();
    addPanelLabel(words.panelCaption, QRect(120, 120, 3135, 255));
    addPanelLabel(QStringLiteral("Ora.............."), QRect(120, 600, 1215, 255));
    addPanelLabel(QStringLiteral("Testo............"), QRect(120, 1150, 975, 255));

    txtNuovOra = new QTimeEdit(QTime(0, 0), Picture1);
    Controls::apply(
        txtNuovOra, { .name = u"txtNuovOra", .accessibleName = QStringLiteral("Ora del nuovo ") + words.noun });
    txtNuovOra->setDisplayFormat(QStringLiteral("HH.mm"));
    txtNuovTesto = new LimitedTextEdit(TextLimit, Picture1);
    Controls::apply(
        txtNuovTesto, { .name = u"txtNuovTesto", .accessibleName = QStringLiteral("Testo del nuovo ") + words.noun });
    Command4 = make<QPushButton>(Picture1, { .name = u"Command4", .caption = QStringLiteral("&Conferma") });
    Command5 = make<QPushButton>(Picture1, { .name = u"Command5", .caption = QStringLiteral("&Annulla") });
    Command4->setDefault(true); // Enter in the time or date input confirms
    connect(Command4, &QPushButton::clicked, this, &ManagerWindow::confirmNewEntry);
    connect(Command5, &QPushButton::clicked, this, &ManagerWindow::cancelNewEntry);

    setTabChain({ DBGrid1, Command1, txtNuovOra, txtNuovTesto, Command4, Command5, Command2, Command3 });
    showCurrentRecord();
}

ManagerWindow::~ManagerWindow()
{
    // The grid and its model go while Data1 is still there. A cell still open for editing when
    // the window goes without being closed first (with the main window) is dropped, not written.
    m_delegate->disconnect();
    delete DBGrid1;
    delete m_model;
}

void ManagerWindow::setClientSize(int width, int height) { setFixedSize(twips(width), twips(height)); }

QLabel* ManagerWindow::addPanelLabel(const QString& text, const QRect& twips)
{
    auto* label = Controls::make<QLabel>(
        Picture1, { .caption = text, .twips = { twips.x(), twips.y(), twips.width(), twips.height() } });
    // A caption longer than its place in this font is not cut short (the label is transparent).
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    return label;
}

void ManagerWindow::setTabChain(const QList<QWidget*>& chain)
{
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    // Tab leaves a time or a date for the next field at once (its parts are reached with the
    // arrows), and Enter in the new entry's text confirms it as in the other fields.
    for (QWidget* control : chain) {
        if (!qobject_cast<QDateTimeEdit*>(control) && control != txtNuovTesto)
            continue;
        control->installEventFilter(this);
        for (QWidget* part : control->findChildren<QWidget*>()) // the text inside, where keys may go
            part->installEventFilter(this);
    }
}

bool ManagerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    const bool inDateOrTime = qobject_cast<QDateTimeEdit*>(watched) || qobject_cast<QDateTimeEdit*>(watched->parent());
    if (inDateOrTime && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        focusNextPrevChild(key->key() == Qt::Key_Tab);
        return true;
    }
    const bool inText = watched == txtNuovTesto || watched->parent() == txtNuovTesto;
    if (inText && plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        confirmNewEntry(); // Shift+Enter still breaks the line
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool ManagerWindow::adding() const { return !Picture1->isHidden(); }

void ManagerWindow::setAdding(bool adding)
{
    const bool focusInPanel = Picture1->isAncestorOf(focusWidget());
    if (adding) {
        Picture1->show();
        Picture1->raise();
    }
    for (QWidget* control :
        { static_cast<QWidget*>(DBGrid1), static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2) })
        control->setEnabled(!adding);
    if (!adding) {
        Picture1->hide();
        if (focusInPanel)
            DBGrid1->setFocus();
    }
}

void ManagerWindow::showCurrentRecord()
{
    int firstShown = 0;
    while (firstShown < m_model->columnCount() && DBGrid1->isColumnHidden(firstShown))
        ++firstShown;
    m_syncing = true;
    const int row = m_Data1->currentIndex();
    if (row >= 0)
        DBGrid1->setCurrentIndex(m_model->index(row, firstShown));
    else
        DBGrid1->selectionModel()->clear();
    m_syncing = false;
}

void ManagerWindow::followOutsideChanges()
{
    if (m_delegate->editing() || adding()) {
        m_outsidePending = true;
        return;
    }
    m_outsidePending = false;
    const int scrolled = DBGrid1->verticalScrollBar()->value();
    if (!m_model->requery()) {
        // Locked again meanwhile: read a moment later, the list unchanged till then.
        QTimer::singleShot(1000, this, &ManagerWindow::followOutsideChanges);
        return;
    }
    showCurrentRecord();
    DBGrid1->verticalScrollBar()->setValue(scrolled);
}

void ManagerWindow::openNewEntry()
{
    m_Data1->AddNew();
    setAdding(true);
    beginNewEntry();
    // The caret in the time, where the entry begins, rather than on a button the panel disabled.
    txtNuovOra->setFocus(Qt::TabFocusReason);
    txtNuovOra->setSelectedSection(QDateTimeEdit::HourSection); // typing replaces the hour
}

void ManagerWindow::confirmNewEntry()
{
    const QString testo = txtNuovTesto->toPlainText();
    if (testo.isEmpty()) {
        const QString text = QString::fromUtf8(TestoVuoto);
        m_alert(this, text, text, MessageBoxService::Exclamation);
        txtNuovTesto->setFocus();
        return;
    }
    RecordSet& Data1 = *m_Data1;
    if (Data1.editMode() != RecordSet::EditMode::New)
        Data1.AddNew();
    const QTime ora = txtNuovOra->time();
    Data1.setValue(QStringLiteral("Ora"), QTime(ora.hour(), ora.minute()));
    Data1.setValue(QStringLiteral("Testo"), testo);
    writeNewRecord(Data1);
    if (!m_model->storeNew()) {
        tellRefusal(QStringLiteral("salvare il nuovo ") + m_words.noun, Data1.lastRefusalInWords(),
            QStringLiteral("Quello che hai scritto è rimasto nel pannello: puoi riprovare con \"Conferma\" "
                           "o lasciar perdere con \"Annulla\"."));
        return;
    }
    setAdding(false);
    showCurrentRecord();
    m_link.tableChanged(m_words.table);
    if (m_outsidePending)
        followOutsideChanges();
}

void ManagerWindow::cancelNewEntry()
{
    if (m_Data1->editMode() != RecordSet::EditMode::None)
        m_Data1->CancelUpdate();
    setAdding(false);
    showCurrentRecord();
    if (m_outsidePending)
        followOutsideChanges();
}

void ManagerWindow::deleteSelected()
{
    if (m_alert(this, m_words.deleteQuestion, m_words.deleteQuestion,
            MessageBoxService::YesNo | MessageBoxService::Exclamation)
        != MessageBoxService::Yes)
        return;
    const int scrolled = DBGrid1->verticalScrollBar()->value();
    switch (m_model->deleteCurrent()) {
    case RecordSetModel::Deletion::NoCurrentRecord:
        m_alert(this, m_words.nothingSelected, m_words.nothingSelected, MessageBoxService::Exclamation);
        return;
    case RecordSetModel::Deletion::Refused:
        tellRefusal(QStringLiteral("eliminare ") + m_words.theEntry, m_Data1->lastRefusalInWords(), QString());
        return;
    case RecordSetModel::Deletion::Deleted:
        // The list stays where it was, without the deleted row and with no record current.
        DBGrid1->verticalScrollBar()->setValue(scrolled);
        m_link.tableChanged(m_words.table);
        return;
    }
}

void ManagerWindow::gridWriteRefused(int row, int column, const QVariant& value, const QString& reason)
{
    tellRefusal(QStringLiteral("salvare la modifica"), reason,
        QStringLiteral("Il valore che hai scritto è rimasto nella cella: puoi riprovare con Invio "
                       "o lasciar perdere con Esc."));
    if (adding() || row >= m_model->rowCount())
        return;
    const QModelIndex cell = m_model->index(row, column);
    DBGrid1->setCurrentIndex(cell);
    m_delegate->reopenWith(value);
    DBGrid1->edit(cell);
}

void ManagerWindow::tellRefusal(const QString& what, const QString& reason, const QString& whatNow)
{
    const QString spoken = QStringLiteral("Non riesco a %1: %2.").arg(what, reason);
    QString shown = spoken + QStringLiteral("\nFile dei dati: ") + QDir::toNativeSeparators(m_dataFile);
    if (!whatNow.isEmpty())
        shown += QStringLiteral("\n\n") + whatNow;
    m_alert(this, spoken, shown, MessageBoxService::Exclamation);
}

void ManagerWindow::reject()
{
    // Esc leaves the new entry first (what was typed stays in the inputs), then the window.
    if (adding())
        cancelNewEntry();
    else
        close();
}

void ManagerWindow::closeEvent(QCloseEvent* event)
{
    // A new record still pending is dropped, not stored.
    if (m_Data1->editMode() != RecordSet::EditMode::None)
        m_Data1->CancelUpdate();
    event->accept();
}
