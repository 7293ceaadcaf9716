// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "speech/VoiceEngine.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMenu>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// An engine with one voice: enough for the voice dialog, which only lists the voices.
struct OneVoice final : TunableEngine
{
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString&, const std::atomic_bool&) override { return {}; }
    QStringList voices() const override { return { u"it"_s }; }
    bool start() override { return true; }
    QString failure() const override { return {}; }
    QString engineName() const override { return u"espeak-ng"_s; }
    QList<VoiceInfo> installedVoices() override { return { { u"it"_s, u"italiano"_s } }; }
    void tune(const QString&, int, int) override { }
};

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

// What is wrong below `node`, one line per control: no name, a mnemonic in the name, a tooltip
// that does not reach the description.
void inspect(QAccessibleInterface* node, const QString& path, QStringList& faults)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child)
            continue;
        auto* widget = qobject_cast<QWidget*>(child->object());
        const QString name = nameOf(child);
        const QString where = u"%1/%2 (%3): "_s.arg(path,
            widget && !widget->objectName().isEmpty() ? widget->objectName() : QString::number(i),
            QString::number(child->role(), 16));
        if (qEnvironmentVariableIsSet("A11Y_DUMP"))
            qInfo().noquote() << where << name << "|" << child->text(QAccessible::Description);
        if (worked(child->role()) && name.trimmed().isEmpty())
            faults.append(where + u"no name"_s);
        if (worked(child->role()) && name.contains(u'&'))
            faults.append(where + u"a mnemonic in the name: "_s + name);
        if (widget && !widget->toolTip().isEmpty() && child->text(QAccessible::Description) != widget->toolTip())
            faults.append(where + u"the tooltip is not the description"_s);
        inspect(child, where.chopped(2), faults);
    }
}
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // Offscreen there is no bridge to a screen reader, yet the interfaces can be asked for all the same.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyWindowIsNamedWithEveryControl_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("opening"); // what is clicked or chosen, in turn, to show it
        QTest::newRow("main window") << u"frmArriv"_s << QStringList {};
        QTest::newRow("main menu") << u"mnuPrinc"_s << QStringList {};
        QTest::newRow("icon menu") << u"mnuIcona"_s << QStringList {};
        QTest::newRow("appointments") << u"frmAppun"_s << QStringList { u"cmdAppuntamento"_s, u"Command1"_s };
        QTest::newRow("reminders") << u"frmProm"_s << QStringList { u"cmdPromemoria"_s };
        QTest::newRow("options") << u"frmOpzioni"_s << QStringList { u"mnuOpzioni"_s };
        QTest::newRow("about") << u"frmAbout"_s << QStringList { u"mnuInfo"_s };
        QTest::newRow("voice") << u"VoiceSettingsDialog"_s << QStringList { u"VoiceDialog"_s };
    }
    void everyWindowIsNamedWithEveryControl()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, opening);
        MainWindowRig rig;
        QVERIFY(rig.start());
        // The voice dialog is the speaker's, when it has a choice of voices (the rig's has not).
        VoiceSettings voiceSettings(rig.settingsDir.filePath(u"voce.conf"_s));
        OneVoice espeak, festival;
        VoiceEngine voices(voiceSettings, espeak, festival);
        FakeAudioOutput output;
        Speaker speaker(voices, output);
        for (const QString& name : opening) {
            if (name == u"VoiceDialog") {
                speaker.VoiceDialog(rig.window.get(), u"Opzioni voce"_s);
                continue;
            }
            QObject* control = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (!control && top->isVisible())
                    control = top->findChild<QObject*>(name);
            }
            if (auto* action = qobject_cast<QAction*>(control))
                action->trigger();
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                button->click();
            else
                QFAIL(qPrintable(u"nothing to open with: "_s + name));
        }
        QWidget* shown = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == window || top->inherits(qPrintable(window)))
                shown = top;
        }
        QVERIFY(shown);
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(shown);
        QVERIFY(root);
        QStringList faults;
        if (qobject_cast<QMenu*>(shown)) {
            if (root->role() != QAccessible::PopupMenu || root->text(QAccessible::Name).isEmpty())
                faults.append(u"not a named pop-up menu"_s);
        } else if ((root->role() != QAccessible::Window && root->role() != QAccessible::Dialog)
            || shown->windowTitle().isEmpty() || root->text(QAccessible::Name) != shown->windowTitle()) {
            faults.append(u"not a window with its title: role %1, name \"%2\""_s.arg(root->role())
                              .arg(root->text(QAccessible::Name)));
        }
        inspect(root, window, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"\n"_s)));
    }
};

QTEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
