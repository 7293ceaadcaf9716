// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "options/VoiceSettingsDialog.h"
#include "speech/EspeakEngine.h"
#include "speech/VoiceEngine.h"

#include <QAccessible>
#include <QMenu>
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
        if (widget && !widget->toolTip().isEmpty() && child->text(QAccessible::Description) != widget->toolTip())
            faults.append(where + u": the tooltip is not the description"_s);
        inspect(child, where, faults);
    }
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
        // The voice dialog is the speaker's, when it has a choice of voices (the rig's has not). The
        // voice outlives the windows, as in the program: the dialog goes with the main window.
        QTemporaryDir voiceDir;
        VoiceSettings voiceSettings(voiceDir.filePath(u"voce.conf"_s));
        EspeakEngine espeak;
        VoiceEngine voices(voiceSettings, espeak, espeak);
        FakeAudioOutput output;
        Speaker speaker(voices, output);
        MainWindowRig rig;
        QVERIFY(rig.start());
        if (opener == u"VoiceDialog")
            VoiceSettingsDialog::open(speaker, voices, rig.window.get(), u"Opzioni voce"_s);
        else if (QObject* control = opener.isEmpty() ? nullptr : rig.window->findChild<QObject*>(opener))
            QVERIFY(QMetaObject::invokeMethod(control, control->inherits("QAction") ? "trigger" : "click"));
        QWidget* shown = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == window || top->inherits(qPrintable(window)))
                shown = top;
        }
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
};

QTEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
