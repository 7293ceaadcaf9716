// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMessageBoxes.h"
#include "SpeechRig.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAlert : public QObject
{
    Q_OBJECT

private slots:
    void speaksOnlyForExactlyOneReadAfreshEachTime()
    {
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("s.conf")));
        SpeechRig rig;
        FakeMessageBoxes boxes;
        Alert alert(settings, rig.speaker, boxes);

        settings.save(QStringLiteral("Leggi errore"), QStringLiteral("1"));
        QCOMPARE(alert(QStringLiteral("Devi inserire il nome"), QStringLiteral("Devi inserire il nome!"), 48), 1);
        // The options window (another store object) switches it off: the very next alert is silent.
        SettingsStore(dir.filePath(QStringLiteral("s.conf"))).save(QStringLiteral("Leggi errore"), QStringLiteral("0"));
        alert(QStringLiteral("secondo"), QStringLiteral("secondo!"), 48);
        SettingsStore(dir.filePath(QStringLiteral("s.conf")))
            .save(QStringLiteral("Leggi errore"), QStringLiteral("true"));
        alert(QStringLiteral("terzo"), QStringLiteral("terzo!"), 0);

        QTRY_COMPARE(rig.spoken(), QStringList { "Devi inserire il nome" });
        QTest::qWait(50);
        QCOMPARE(rig.spoken().size(), 1);
        QCOMPARE(boxes.shown.size(), 3);
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Devi inserire il nome!"));
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Vespelinda"));
        QCOMPARE(boxes.shown[0].style, 48);
    }

    void returnsTheAnswerOfTheBox_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("expected");
        QTest::newRow("ok") << 48 << 6 << 1;
        QTest::newRow("yes") << 52 << 6 << 6;
        QTest::newRow("no") << 68 << 7 << 7;
    }
    void returnsTheAnswerOfTheBox()
    {
        QFETCH(int, style);
        QFETCH(int, answer);
        QFETCH(int, expected);
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("s.conf")));
        SpeechRig rig;
        FakeMessageBoxes boxes;
        boxes.answer = answer;
        // The text is already being said while the box is open.
        boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            QCOMPARE(rig.speaker.SpeakingState(), 1);
        };
        settings.save(QStringLiteral("Leggi errore"), QStringLiteral("1"));
        Alert alert(settings, rig.speaker, boxes);
        QCOMPARE(
            alert(QStringLiteral("Elimino?"), QStringLiteral("Elimino?"), style, QStringLiteral("Titolo")), expected);
        QCOMPARE(boxes.shown.first().title, QStringLiteral("Titolo"));
    }
};

QTEST_GUILESS_MAIN(TestAlert)
#include "TestAlert.moc"
