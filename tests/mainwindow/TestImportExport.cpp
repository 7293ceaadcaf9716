// SPDX-License-Identifier: GPL-3.0-or-later
// Importing as the main window offers it: the menu's items, a drop, files handed over before the
// window is up, and the window following what was imported.
#include "FakeTransferDialogs.h"
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "transfer/DataTransfer.h"
#include "transfer/TransferFormats.h"

#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// The window over a fresh data file, with the real file formats and dialogs the test answers.
struct Rig
{
    explicit Rig(bool load = true)
    {
        if (!base.data.open())
            return;
        base.window = std::make_unique<frmArriv>(MainWindowServices { base.clock, base.settings, base.speech.speaker,
            base.alert, base.data, base.tray, base.clipboard, base.autostart, {}, &dialogs, &formats });
        base.window->heartbeat().tmrAgenda1.stop();
        if (load)
            start();
    }
    void start()
    {
        base.window->load();
        base.window->finishStart();
    }

    // A file in the test's folder.
    QString file(const QString& name, const QByteArray& content) const
    {
        const QString path = dir.filePath(name);
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(content);
        return path;
    }
    // An appointment today (the rig's clock: 5 December 2026) at 15:30.
    QString calendar() const
    {
        return file(u"agenda.ics"_s,
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//prova//IT\r\nBEGIN:VEVENT\r\nUID:1@prova\r\n"
            "DTSTAMP:20261201T100000Z\r\nDTSTART:20261205T153000\r\nDTEND:20261205T160000\r\n"
            "SUMMARY:Dentista\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    QString addressBook() const
    {
        return file(u"rubrica.vcf"_s, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Mario Rossi\r\nTEL:06 1234\r\nEND:VCARD\r\n");
    }

    TimelineLetter* letter(const char* name) const { return base.child<TimelineLetter>(name); }

    QTemporaryDir dir;
    MainWindowRig base;
    FakeTransferDialogs dialogs;
    TransferFormats formats = TransferFormats::files();
};

QMimeData* dragged(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}
} // namespace

class TestImportExport : public QObject
{
    Q_OBJECT

private slots:
    // The two items join the face's menu after "Opzioni", each with a letter of its own; the rest
    // of the menu stays as it was.
    void theMenuOffersThem()
    {
        Rig rig;
        QStringList captions;
        for (QAction* action : rig.base.child<QMenu>("mnuPrinc")->actions())
            captions.append(action->text());
        QCOMPARE(captions,
            QStringList({ u"Esci"_s, u"Info"_s, u"Opzioni"_s, u"I&mporta..."_s, u"Es&porta..."_s, u"Riduci a icona"_s,
                u"Nascondi comandi"_s }));
    }

    // "Importa...": the files picked are stored, and the timeline lights the hour at the next beat.
    void anImportReachesTheTimeline()
    {
        Rig rig;
        rig.dialogs.filesToOpen = { rig.calendar(), rig.addressBook() };
        QVERIFY(!rig.letter("appu15")->isLit());
        rig.base.action("mnuImporta")->trigger();
        QTRY_COMPARE(rig.base.boxes.shown.size(), 1);
        QCOMPARE(rig.base.boxes.shown[0].text, u"Ho importato 1 appuntamento e 1 contatto."_s);
        // Read by the window's own record sets as soon as it is stored, before any beat.
        QCOMPARE(rig.base.data.dtaRubrica().recordCount(), 1);
        QCOMPARE(rig.base.data.dtaAppun().recordCount(), 1);
        rig.base.window->heartbeat().tick();
        QVERIFY(rig.letter("appu15")->isLit());
    }

    // A drop is taken only when it carries calendars and address books (which files those are:
    // TestTransferFiles), and is then imported.
    void dropsOfTheRightFiles_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a calendar and an address book") << QStringList { u"agenda.ics"_s, u"rubrica.vcf"_s } << true;
        QTest::newRow("a calendar and a text file") << QStringList { u"agenda.ics"_s, u"lettera.txt"_s } << false;
    }
    void dropsOfTheRightFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, taken);
        Rig rig;
        rig.calendar();
        rig.addressBook();
        rig.file(u"lettera.txt"_s, "Cara Anna,\n");
        QList<QUrl> urls;
        for (const QString& name : names)
            urls.append(QUrl::fromLocalFile(rig.dir.filePath(name)));
        std::unique_ptr<QMimeData> data(dragged(urls));
        const QPoint over(100, 100); // the face
        QDragEnterEvent enter(over, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(rig.base.window.get(), &enter);
        QCOMPARE(enter.isAccepted(), taken);
        QDropEvent drop(QPointF(over), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(rig.base.window.get(), &drop);
        QCOMPARE(drop.isAccepted(), taken);
        if (taken) {
            QTRY_COMPARE(rig.base.boxes.shown.size(), 1);
            QVERIFY2(rig.base.boxes.shown[0].text.startsWith(u"Ho importato 1 appuntamento"_s),
                qPrintable(rig.base.boxes.shown[0].text));
        } else {
            QCoreApplication::processEvents(); // a drop taken would be imported at the next turn
            QVERIFY(!rig.base.window->transfer().busy());
            QCOMPARE(rig.base.boxes.shown.size(), 0);
        }
    }

    // Files handed over before the window is up (the command line) wait for it.
    void filesWaitForTheWindow()
    {
        Rig rig(false);
        rig.base.window->importFiles({ rig.calendar() });
        QCoreApplication::processEvents();
        QVERIFY(!rig.base.window->transfer().busy());
        rig.start();
        QTRY_COMPARE(rig.base.boxes.shown.size(), 1);
        QCOMPARE(rig.base.boxes.shown[0].text, u"Ho importato 1 appuntamento."_s);
    }

    // While an import or export is under way, the menu does not start another.
    void busyMenu()
    {
        Rig rig;
        QAction* importa = rig.base.action("mnuImporta");
        QAction* esporta = rig.base.action("mnuEsporta");
        rig.base.window->importFiles({ rig.calendar() });
        QVERIFY(!importa->isEnabled());
        QVERIFY(!esporta->isEnabled());
        QTRY_COMPARE(rig.base.boxes.shown.size(), 1);
        QVERIFY(importa->isEnabled());
        QVERIFY(esporta->isEnabled());
    }
};

QTEST_MAIN(TestImportExport)
#include "TestImportExport.moc"
