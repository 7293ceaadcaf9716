// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/RubricaPage.h"

#include "addressbook/RubricaTexts.h"
#include "core/Accessibility.h"
#include "core/ActivityWatcher.h"
#include "core/Alert.h"
#include "core/Controls.h"
#include "core/MainWindowLink.h"
#include "core/MessageBoxService.h"
#include "core/SvgPicture.h"
#include "datafile/RecordSet.h"
#include "speech/Speaker.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {
const QString Nome = QStringLiteral("Nome");
const QString Telefono = QStringLiteral("Telefono");
const QString Email = QStringLiteral("Email");

const QString AggiungiNuovo = QStringLiteral("&Aggiungi nuovo");
const QString Salva = QStringLiteral("&Salva");
const QString Elimina = QStringLiteral("&Elimina");
const QString Annulla = QStringLiteral("&Annulla");
const QString Attenzione = QStringLiteral("Attenzione");
const QString Informazione = QStringLiteral("Informazione");
} // namespace

RubricaPage::RubricaPage(QFrame& frame, RecordSet& dtaRubrica, Speaker& speaker, Alert& alert, MainWindowLink& link)
    : QObject(&frame)
    , m_dtaRubrica(dtaRubrica)
    , m_speaker(speaker)
    , m_alert(alert)
    , m_link(link)
    , m_activity(new ActivityWatcher(link, this))
{
    setObjectName(QStringLiteral("RubricaPage"));
    build(frame);
    setEntryState(false);
    showCurrent();
}

void RubricaPage::build(QFrame& frame)
{
    using Controls::make;
    Image6 = Controls::picture(&frame, QStringLiteral(":/rubrica.svg"),
        { .name = u"Image6",
            .accessibleName = QStringLiteral("Immagine della rubrica"),
            .twips = { 360, 360, 480, 480 } });

    txtNome = make<QLineEdit>(&frame,
        { .name = u"txtNome",
            // A screen reader names a field by the label that points at it: this one says what it is
            // for, not to be confused with the entry's "Nome".
            .label = make<QLabel>(&frame,
                { .caption = QStringLiteral("Nome "),
                    .accessibleName = QStringLiteral("Nome da cercare"),
                    .twips = { 1320, 120, 1575, 255 } }),
            .accessibleName = QStringLiteral("Nome da cercare"),
            .toolTip = QStringLiteral("Inserisci qui il nome da ricercare"),
            .twips = { 1320, 360, 1695, 285 } });
    cmdRicerca = make<QPushButton>(&frame,
        { .name = u"cmdRicerca",
            .caption = QStringLiteral("&Cerca"),
            .accessibleDescription = QStringLiteral("Cerca il nome nella rubrica. Clicca più volte se sono presenti "
                                                    "nomi uguali (da tastiera: Invio nella casella, più volte)"),
            .toolTip = QStringLiteral("Cerca il nome nella rubrica. Clicca più volte se sono presenti nomi uguali"),
            .twips = { 1320, 720, 1695, 255 } });

    Frame1 = make<QGroupBox>(&frame,
        { .name = u"Frame1",
            .caption = QStringLiteral("Rubrica"),
            .accessibleName = QStringLiteral("Voce della rubrica"),
            .twips = { 120, 1000, 2970, 2055 } });
    QLabel* nome = make<QLabel>(Frame1, { .caption = QStringLiteral("Nome "), .twips = { 120, 240, 1575, 255 } });
    cmdIndietro = make<QPushButton>(Frame1,
        { .name = u"cmdIndietro",
            .caption = QStringLiteral("<"),
            .accessibleName = QStringLiteral("Voce precedente"),
            .toolTip = QStringLiteral("Scorri indietro la rubrica"),
            .twips = { 1200, 150, 255, 255 } });
    cmdAvanti = make<QPushButton>(Frame1,
        { .name = u"cmdAvanti",
            .caption = QStringLiteral(">"),
            .accessibleName = QStringLiteral("Voce successiva"),
            .toolTip = QStringLiteral("Scorri avanti la rubrica"),
            .twips = { 1560, 150, 255, 255 } });
    cmdModifica = make<QPushButton>(Frame1,
        { .name = u"cmdModifica",
            .caption = QStringLiteral("&Modifica"),
            .toolTip = QStringLiteral("Modifica la voce selezionata"),
            .twips = { 1920, 150, 855, 255 } });
    // Each text box is named by the label above it.
    txtRnome = make<QLineEdit>(Frame1, { .name = u"txtRnome", .label = nome, .twips = { 120, 480, 2655, 285 } });
    txtRtel = make<QLineEdit>(Frame1,
        { .name = u"txtRtel",
            .label = make<QLabel>(Frame1, { .caption = QStringLiteral("Telefono"), .twips = { 120, 840, 1575, 255 } }),
            .twips = { 120, 1080, 2655, 285 } });
    txtRemail = make<QLineEdit>(Frame1,
        { .name = u"txtRemail",
            .label = make<QLabel>(Frame1, { .caption = QStringLiteral("Email"), .twips = { 120, 1440, 1575, 255 } }),
            .twips = { 120, 1680, 2655, 285 } });

    cmdElimina = make<QPushButton>(&frame,
        { .name = u"cmdElimina",
            .caption = Elimina,
            .toolTip = QStringLiteral("Elimina la voce selezionata"),
            .twips = { 120, 3150, 1410, 255 } });
    cmdAggiungi = make<QPushButton>(&frame,
        { .name = u"cmdAggiungi",
            .caption = AggiungiNuovo,
            .toolTip = QStringLiteral("Aggiungi un nuovo contatto"),
            .twips = { 1680, 3150, 1410, 255 } });

    bind(txtRnome, Nome);
    bind(txtRtel, Telefono);
    bind(txtRemail, Email);
    // "Modifica" has no pointer reaction: the frame it sits in is watched for its own surface only.
    m_activity->watchSurface(Frame1);
    for (QWidget* control :
        std::initializer_list<QWidget*> { cmdAvanti, cmdIndietro, cmdAggiungi, cmdElimina, cmdRicerca, Image6 })
        m_activity->watch(control);
    m_activity->watch(txtNome, ActivityWatcher::PointerAndKeys);

    // The keyboard goes the way the eye reads: search, browse, entry, editing buttons.
    QWidget* order[] = { txtNome, cmdRicerca, cmdIndietro, cmdAvanti, cmdModifica, txtRnome, txtRtel, txtRemail,
        cmdElimina, cmdAggiungi };
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(cmdAvanti, &QPushButton::clicked, this, [this] {
        m_dtaRubrica.MoveNext(); // past the end only empties the fields
        showCurrent();
    });
    connect(cmdIndietro, &QPushButton::clicked, this, [this] {
        m_dtaRubrica.MovePrevious();
        showCurrent();
    });
    connect(cmdAggiungi, &QPushButton::clicked, this, &RubricaPage::addOrSaveClicked);
    connect(cmdElimina, &QPushButton::clicked, this, &RubricaPage::deleteOrCancelClicked);
    connect(cmdModifica, &QPushButton::clicked, this, &RubricaPage::startChanging);
    connect(cmdRicerca, &QPushButton::clicked, this, &RubricaPage::search);
    // Enter searches only while the search button could be clicked.
    connect(txtNome, &QLineEdit::returnPressed, this, [this] {
        if (cmdRicerca->isEnabled())
            search();
    });
    // While an entry is typed, Enter in any of its fields saves it and Esc cancels it.
    for (QLineEdit* field : { txtRnome, txtRtel, txtRemail })
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (inEntryState())
                save();
        });
    // Esc, which the fields leave to the page.
    frame.installEventFilter(this);
}

bool RubricaPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape
        && inEntryState()) {
        cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RubricaPage::bind(QLineEdit* field, const QString& name)
{
    // Every change but the page's own counts: typed, pasted, or set through the accessibility
    // interface by a screen reader or a dictation tool.
    connect(field, &QLineEdit::textChanged, this, [this, name](const QString& text) {
        if (!m_showing && m_dtaRubrica.editMode() != RecordSet::EditMode::None)
            m_dtaRubrica.setValue(name, text);
    });
    // A new entry shown is activity as much as typing.
    connect(field, &QLineEdit::textChanged, this, [this] { m_link.stopInactivityCountdown(); });
    m_activity->watch(field);
}

bool RubricaPage::inEntryState() const { return cmdAggiungi->text() != AggiungiNuovo; }

void RubricaPage::showAfresh()
{
    if (!inEntryState())
        showCurrent();
}

void RubricaPage::showCurrent()
{
    const QScopedValueRollback showing(m_showing, true);
    for (const auto& [field, name] : { std::pair { txtRnome, Nome }, { txtRtel, Telefono }, { txtRemail, Email } }) {
        field->setText(m_dtaRubrica.value(name).toString()); // no current record: empty
        field->setCursorPosition(0);
    }
}

void RubricaPage::setEntryState(bool entry)
{
    cmdAggiungi->setText(entry ? Salva : AggiungiNuovo);
    cmdElimina->setText(entry ? Annulla : Elimina);
    // What a screen reader says of the two buttons follows their captions (the tooltips stay).
    cmdAggiungi->setAccessibleDescription(
        entry ? QStringLiteral("Salva la voce (Invio in un campo)") : cmdAggiungi->toolTip());
    cmdElimina->setAccessibleDescription(entry ? QStringLiteral("Annulla le modifiche (Esc)") : cmdElimina->toolTip());
    for (QPushButton* button : { cmdAvanti, cmdIndietro, cmdRicerca, cmdModifica })
        button->setEnabled(!entry);
    for (QLineEdit* field : { txtRnome, txtRtel, txtRemail })
        field->setReadOnly(!entry);
    m_link.setFinestraAperta(entry);
}

void RubricaPage::addOrSaveClicked()
{
    if (cmdAggiungi->text() == AggiungiNuovo)
        startAdding();
    else
        save();
}

void RubricaPage::deleteOrCancelClicked()
{
    if (cmdElimina->text() == Elimina)
        remove();
    else
        cancel();
}

void RubricaPage::startAdding()
{
    m_dtaRubrica.AddNew();
    showCurrent();
    setEntryState(true);
    txtRnome->setFocus();
}

void RubricaPage::startChanging()
{
    if (!m_dtaRubrica.Edit()) {
        const QString text = QStringLiteral("Non c'è nessuna voce selezionata!");
        m_alert(cmdModifica->window(), text, text, MessageBoxService::Exclamation, Attenzione);
        return;
    }
    setEntryState(true);
    txtRnome->setFocus();
    txtRnome->end(false); // ready to go on typing
}

void RubricaPage::save()
{
    QWidget* window = cmdAggiungi->window();
    if (txtRnome->text().isEmpty()) {
        m_alert(window, QStringLiteral("Devi inserire il nome"), QStringLiteral("Devi inserire il nome!"),
            MessageBoxService::Exclamation, Attenzione);
        txtRnome->setFocus();
        return;
    }
    const int yesNo = MessageBoxService::Information | MessageBoxService::YesNo;
    if (txtRtel->text().isEmpty()) {
        const QString question = QStringLiteral("Non hai inserito il numero di telefono. Salvo comunque?");
        if (m_alert(window, question, question, yesNo, Informazione) != MessageBoxService::Yes) {
            txtRtel->setFocus();
            return;
        }
    }
    if (txtRemail->text().isEmpty()) {
        if (m_alert(window, QStringLiteral("Non hai inserito l'indirizzo imèil. Salvo comunque?"),
                QStringLiteral("Non hai inserito l'indirizzo email. Salvo comunque?"), yesNo, Informazione)
            != MessageBoxService::Yes) {
            txtRemail->setFocus();
            return;
        }
    }
    // A value left empty is stored as an empty text, not as a missing one.
    for (const auto& [field, name] : { std::pair { txtRnome, Nome }, { txtRtel, Telefono }, { txtRemail, Email } })
        if (m_dtaRubrica.value(name).isNull())
            m_dtaRubrica.setValue(name, field->text());

    // Refused (a write-protected file, a full disk): the entry stays as typed, to try again or cancel.
    const bool added = m_dtaRubrica.editMode() == RecordSet::EditMode::New;
    if (!m_dtaRubrica.Update() && m_dtaRubrica.editMode() != RecordSet::EditMode::None) {
        const QString text = QStringLiteral("Non riesco a salvare la voce: %1. Quello che hai scritto resta qui.")
                                 .arg(m_dtaRubrica.lastRefusalInWords());
        m_alert(window, text, text, MessageBoxService::Exclamation, Attenzione);
        return;
    }
    if (added)
        m_dtaRubrica.MoveLast(); // the new entry, appended, stays shown
    setEntryState(false);
    showCurrent();
    m_speaker.Speak(QStringLiteral("Voce salvata."));
}

void RubricaPage::cancel()
{
    m_dtaRubrica.CancelUpdate();
    m_dtaRubrica.MoveFirst(); // an empty address book stays empty
    setEntryState(false);
    showCurrent();
}

void RubricaPage::remove()
{
    bool current = false;
    const QString nome = m_dtaRubrica.value(Nome, &current).toString();
    if (!current)
        return; // nothing shown: nothing to ask about, nothing to delete
    const QString question = QStringLiteral("Elimino i dati relativi a ") + nome + u'?';
    if (m_alert(cmdElimina->window(), question, question, MessageBoxService::Exclamation | MessageBoxService::YesNo,
            QStringLiteral("Conferma"))
        != MessageBoxService::Yes)
        return;
    if (!m_dtaRubrica.Delete() && m_dtaRubrica.lastRefusal() != RecordSet::Refusal::None) {
        const QString text
            = QStringLiteral("Non riesco a eliminare la voce: %1.").arg(m_dtaRubrica.lastRefusalInWords());
        m_alert(cmdElimina->window(), text, text, MessageBoxService::Exclamation, Attenzione);
        return;
    }
    m_dtaRubrica.MoveFirst();
    showCurrent();
}

void RubricaPage::search()
{
    const QString searched = txtNome->text();
    if (searched.isEmpty()) {
        const QString text = QStringLiteral("Non hai inserito nessun valore!");
        m_alert(txtNome->window(), text, text, MessageBoxService::Exclamation, Attenzione);
        return;
    }
    // The name is compared as data, whole and ignoring letter case: "D'Angelo" is a name like any other.
    const FieldEquals criterion { Nome, searched };
    m_dtaRubrica.FindNext(criterion);
    if (m_dtaRubrica.NoMatch())
        m_dtaRubrica.FindFirst(criterion);
    showCurrent();
    if (m_dtaRubrica.NoMatch())
        m_speaker.Speak(RubricaTexts::notFound(searched));
    else
        m_speaker.Speak(RubricaTexts::spokenEntry(txtRnome->text(), txtRtel->text(), txtRemail->text()));
}
