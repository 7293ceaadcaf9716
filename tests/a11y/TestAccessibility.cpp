// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/PageStrip.h"
#include "options/VoiceSettingsDialog.h"
#include "speech/EspeakEngine.h"
#include "speech/VoiceEngine.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// The roles of what a user works, each of which a screen reader must be able to name.
bool worked(QAccessible::Role role)
{
    static const QList<QAccessible::Role> roles { QAccessible::PushButton, QAccessible::CheckBox,
        QAccessible::RadioButton, QAccessible::EditableText, QAccessible::ComboBox, QAccessible::SpinBox,
        QAccessible::Table, QAccessible::PageTabList, QAccessible::PageTab, QAccessible::MenuItem, QAccessible::Slider,
        QAccessible::Link, QAccessible::ButtonMenu, QAccessible::ButtonDropDown };
    return roles.contains(role);
}

// What a screen reader says a control is. Qt names a combo box by its content on Linux and leaves
// the name to the label that points at it (AT-SPI's "labelled by"), which Orca reads instead.
QString nameOf(QAccessibleInterface* control)
{
    if (control->role() != QAccessible::ComboBox)
        return control->text(QAccessible::Name);
    const auto labels = control->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// What is wrong below `node`, one line per control: a control the user works without a name or
// with a mnemonic in it, a tooltip that does not reach the description.
void inspect(QAccessibleInterface* node, const QString& path, QStringList& faults)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        auto* widget = qobject_cast<QWidget*>(child->object());
        const QString name = nameOf(child);
        const QString where
            = u"%1/%2 (role %3)"_s
                  .arg(path, widget && !widget->objectName().isEmpty() ? widget->objectName() : QString::number(i))
                  .arg(child->role(), 0, 16);
        if (worked(child->role()) && (name.trimmed().isEmpty() || name.contains(u'&')))
            faults.append(where + u": named \""_s + name + u'"');
        // The description is the tooltip, and may go on with the keyboard's way ("da tastiera: ...").
        if (widget && !widget->toolTip().isEmpty()
            && !child->text(QAccessible::Description).startsWith(widget->toolTip()))
            faults.append(where + u": the description does not begin with the tooltip"_s);
        static const QStringList mouseOnly = { u"Clicca"_s, u"Doppio click"_s };
        const QString description = child->text(QAccessible::Description);
        if (std::any_of(mouseOnly.begin(), mouseOnly.end(), [&](const QString& w) { return description.contains(w); })
            && !description.contains(u"tastiera"_s))
            faults.append(where + u": the hint names the mouse only"_s);
        inspect(child, where, faults);
    }
}

// The main window with a speaker that has a choice of voices (the rig's has not), which opens any
// of the program's windows. The voice outlives the windows, as in the program.
struct WindowsRig
{
    QTemporaryDir voiceDir;
    VoiceSettings voiceSettings { voiceDir.filePath(u"voce.conf"_s) };
    EspeakEngine espeak;
    VoiceEngine voices { voiceSettings, espeak, espeak };
    FakeAudioOutput output;
    Speaker speaker { voices, output };
    MainWindowRig rig;

    // Shows `window` (an object or class name) by clicking or choosing `opener`.
    QWidget* open(const QString& window, const QString& opener)
    {
        rig.voiceDialog = [this](QWidget* owner, const QString& title) {
            VoiceSettingsDialog::open(speaker, voices, owner, title);
        };
        if (!rig.start())
            return nullptr;
        if (opener == u"VoiceDialog")
            VoiceSettingsDialog::open(speaker, voices, rig.window.get(), u"Opzioni voce"_s);
        else if (QObject* control = opener.isEmpty() ? nullptr : rig.window->findChild<QObject*>(opener))
            QMetaObject::invokeMethod(control, control->inherits("QAction") ? "trigger" : "click");
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == window || top->inherits(qPrintable(window)))
                return top;
        return nullptr;
    }
};

// The underlined letter of a caption, lower case; none for a caption without one.
QChar mnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

// Each underlined letter in use in `window` as it is now (shown and enabled controls only), and
// the controls that carry it, for those carried by more than one.
QStringList sharedLetters(QWidget* window)
{
    QMultiHash<QChar, QString> users;
    const auto note = [&](const QString& caption, const QString& who) {
        if (const QChar letter = mnemonicOf(caption); !letter.isNull())
            users.insert(letter, who + u" \""_s + caption + u'"');
    };
    if (auto* menu = qobject_cast<QMenu*>(window)) {
        for (QAction* action : menu->actions())
            if (action->isVisible() && action->isEnabled())
                note(action->text(), action->objectName());
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            note(button->text(), w->objectName());
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            note(label->text(), w->objectName());
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            note(group->title(), w->objectName());
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabEnabled(i))
                    note(tabs->tabText(i), w->objectName() + u'[' + QString::number(i) + u']');
    }
    QStringList shared;
    for (const QChar letter : users.uniqueKeys())
        if (users.count(letter) > 1)
            shared << u"Alt+"_s + letter.toUpper() + u": "_s + QStringList(users.values(letter)).join(u", "_s);
    return shared;
}
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // Offscreen there is no bridge to a screen reader, yet the interfaces answer all the same.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Every window and page (the hidden parts too), the menus and the voice dialog.
    void everyWindowIsNamedWithEveryControl_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("opener"); // what is clicked or chosen to show it
        QTest::newRow("main window") << u"frmArriv"_s << QString();
        QTest::newRow("main menu") << u"mnuPrinc"_s << QString();
        QTest::newRow("icon menu") << u"mnuIcona"_s << QString();
        QTest::newRow("appointments") << u"frmAppun"_s << u"cmdAppuntamento"_s;
        QTest::newRow("reminders") << u"frmProm"_s << u"cmdPromemoria"_s;
        QTest::newRow("options") << u"frmOpzioni"_s << u"mnuOpzioni"_s;
        QTest::newRow("about") << u"frmAbout"_s << u"mnuInfo"_s;
        QTest::newRow("voice") << u"VoiceSettingsDialog"_s << u"VoiceDialog"_s;
    }
    void everyWindowIsNamedWithEveryControl()
    {
        QFETCH(QString, window);
        QFETCH(QString, opener);
        WindowsRig windows;
        QWidget* shown = windows.open(window, opener);
        QVERIFY(shown);
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(shown);
        const bool menu = shown->inherits("QMenu");
        const QString title = menu ? root->text(QAccessible::Name) : shown->windowTitle();
        QStringList faults;
        if (title.isEmpty() || root->text(QAccessible::Name) != title
            || (menu ? root->role() != QAccessible::PopupMenu
                     : root->role() != QAccessible::Window && root->role() != QAccessible::Dialog))
            faults.append(u"not a window named by its title: role %1"_s.arg(root->role(), 0, 16));
        inspect(root, window, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A letter pressed with Alt works one control, never moves between two; a button whose caption
    // a state changes is described anew (never as what it did before): in every window and in
    // every state of it (each page, the new-entry panels, the address book editing).
    void everyStateHasItsOwnLettersAndWords_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("state"); // clicked once the window is shown
        QTest::newRow("Leggi") << u"frmArriv"_s << QString() << u"page 0"_s;
        QTest::newRow("Calendario") << u"frmArriv"_s << QString() << u"page 1"_s;
        QTest::newRow("Agenda") << u"frmArriv"_s << QString() << u"page 2"_s;
        QTest::newRow("Rubrica") << u"frmArriv"_s << QString() << u"page 3"_s;
        QTest::newRow("Rubrica editing") << u"frmArriv"_s << QString() << u"page 3 cmdAggiungi"_s;
        QTest::newRow("main menu") << u"mnuPrinc"_s << QString() << QString();
        QTest::newRow("icon menu") << u"mnuIcona"_s << QString() << QString();
        QTest::newRow("appointments") << u"frmAppun"_s << u"cmdAppuntamento"_s << QString();
        QTest::newRow("new appointment") << u"frmAppun"_s << u"cmdAppuntamento"_s << u"Command1"_s;
        QTest::newRow("reminders") << u"frmProm"_s << u"cmdPromemoria"_s << QString();
        QTest::newRow("new reminder") << u"frmProm"_s << u"cmdPromemoria"_s << u"Command1"_s;
        QTest::newRow("options") << u"frmOpzioni"_s << u"mnuOpzioni"_s << QString();
        QTest::newRow("about") << u"frmAbout"_s << u"mnuInfo"_s << QString();
        QTest::newRow("voice") << u"VoiceSettingsDialog"_s << u"VoiceDialog"_s << QString();
    }
    void everyStateHasItsOwnLettersAndWords()
    {
        QFETCH(QString, window);
        QFETCH(QString, opener);
        QFETCH(QString, state);
        WindowsRig windows;
        QWidget* shown = windows.open(window, opener);
        QVERIFY(shown);
        QHash<QAbstractButton*, std::pair<QString, QString>> before; // caption and description
        const auto description = [](QAbstractButton* button) {
            return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description);
        };
        for (QAbstractButton* button : shown->findChildren<QAbstractButton*>())
            before.insert(button, { button->text(), description(button) });
        for (const QString& step : state.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"page")
                continue;
            if (step.at(0).isDigit()) {
                windows.rig.window->pages().showPage(step.toInt());
                continue;
            }
            auto* button = shown->findChild<QAbstractButton*>(step);
            QVERIFY2(button, qPrintable(step));
            button->click();
        }
        const QStringList shared = sharedLetters(shown);
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(u'\n')));
        for (auto it = before.begin(); it != before.end(); ++it) {
            const auto& [caption, described] = it.value();
            if (it.key()->text() != caption)
                QVERIFY2(description(it.key()) != described,
                    qPrintable(it.key()->text() + u" is still described as "_s + described));
        }
    }

    // A list to choose from is heard with its choice, as its text and its value (Orca reads a combo
    // box's choice from its text). That each change is spoken, the end-to-end test with Orca shows.
    void aChoiceIsHeardAsItsTextAndValue()
    {
        WindowsRig windows;
        QWidget* dialog = windows.open(u"VoiceSettingsDialog"_s, u"VoiceDialog"_s);
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        auto* engine = dialog->findChild<QComboBox*>(u"cboMotore"_s);
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(engine);
        QCOMPARE(box->text(QAccessible::Name), u"Motore"_s); // named by its label
        QCOMPARE(box->text(QAccessible::Value), engine->currentText());
        QCOMPARE(box->textInterface()->text(0, box->textInterface()->characterCount()), engine->currentText());
        QCOMPARE(box->valueInterface()->currentValue().toInt(), engine->currentIndex());
        engine->setCurrentIndex(1);
        QCOMPARE(box->text(QAccessible::Value), engine->itemText(1));
        QCOMPARE(box->valueInterface()->currentValue().toInt(), 1);
    }
};

QTEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
