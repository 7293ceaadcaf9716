// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferTexts.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ImportOutcome)

class TestTransferTexts : public QObject
{
    Q_OBJECT

private slots:
    // What is said and shown after an import, for every kind of outcome.
    void importReport_data()
    {
        QTest::addColumn<ImportOutcome>("outcome");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("problem");

        QTest::newRow("three kinds, some already there")
            << ImportOutcome { .appointments = 12, .reminders = 1, .contacts = 30, .duplicates = 2 }
            << u"Ho importato 12 appuntamenti, 1 promemoria e 30 contatti; 2 erano già presenti."_s << false;
        QTest::newRow("one of each") << ImportOutcome { .appointments = 1, .reminders = 1, .contacts = 1 }
                                     << u"Ho importato 1 appuntamento, 1 promemoria e 1 contatto."_s << false;
        QTest::newRow("two kinds, reminders plural")
            << ImportOutcome { .reminders = 2, .contacts = 5 } << u"Ho importato 2 promemoria e 5 contatti."_s << false;
        QTest::newRow("one kind, one already there") << ImportOutcome { .contacts = 3, .duplicates = 1 }
                                                     << u"Ho importato 3 contatti; 1 era già presente."_s << false;
        QTest::newRow("nothing new") << ImportOutcome { .duplicates = 4 }
                                     << u"Nessun dato nuovo: 4 erano già presenti."_s << false;
        QTest::newRow("nothing new, one")
            << ImportOutcome { .duplicates = 1 } << u"Nessun dato nuovo: 1 era già presente."_s << false;
        QTest::newRow("nothing in the file") << ImportOutcome {} << u"Nessun dato nuovo da importare."_s << false;
        QTest::newRow("all-day, past, skipped")
            << ImportOutcome { .appointments = 12,
                   .allDay = 3,
                   .past = 5,
                   .skipped = { { u"senza data di inizio"_s, 2 }, { u"annullati"_s, 4 } } }
            << u"Ho importato 12 appuntamenti. 3 appuntamenti di tutto il giorno sono alle 9. 5 erano già passati e "
               "non li ho importati. 4 saltati perché annullati. 2 saltati perché senza data di inizio."_s
            << false;
        QTest::newRow("one of each note")
            << ImportOutcome { .appointments = 1,
                   .allDay = 1,
                   .past = 1,
                   .skipped = { { u"senza titolo"_s, 1 }, { u"annullati"_s, 1 } } }
            << u"Ho importato 1 appuntamento. 1 appuntamento di tutto il giorno è alle 9. 1 era già passato e non "
               "l'ho importato. 1 saltato perché annullato. 1 saltato perché senza titolo."_s
            << false;
        QTest::newRow("a reason that is a clause")
            << ImportOutcome { .skipped = { { u"che si ripetono solo fra più di un anno"_s, 1 },
                                   { u"ripetuti più di 1000 volte in un anno (importate le prime 1000)"_s, 2 } } }
            << u"Nessun dato nuovo da importare. 1 saltato perché si ripete solo fra più di un anno. 2 saltati "
               "perché ripetuti più di 1000 volte in un anno (importate le prime 1000)."_s
            << false;
        QTest::newRow("nothing but past events") << ImportOutcome { .past = 7 }
                                                 << u"Nessun dato nuovo da importare. 7 erano già passati e non li ho "
                                                    "importati."_s
                                                 << false;
        QTest::newRow("a file refused, another imported")
            << ImportOutcome { .contacts = 2, .fileErrors = { u"Il file /tmp/a.ics non è un calendario."_s } }
            << u"Ho importato 2 contatti.\n\nIl file /tmp/a.ics non è un calendario."_s << true;
        QTest::newRow("every file refused")
            << ImportOutcome { .fileErrors = { u"Il file /tmp/a.ics è vuoto."_s, u"Il file /tmp/b.vcf è vuoto."_s } }
            << u"Il file /tmp/a.ics è vuoto.\n\nIl file /tmp/b.vcf è vuoto."_s << true;
        QTest::newRow("the data file refused")
            << ImportOutcome { .contacts = 0, .failure = u"Il file dei dati /x/dati.mdb è in uso."_s }
            << u"Non ho importato nulla. Il file dei dati /x/dati.mdb è in uso."_s << true;
        QTest::newRow("cancelled") << ImportOutcome { .contacts = 5, .cancelled = true }
                                   << u"Ho annullato l'importazione: non ho salvato nulla."_s << false;
    }
    void importReport()
    {
        QFETCH(ImportOutcome, outcome);
        QFETCH(QString, text);
        QFETCH(bool, problem);
        const TransferTexts::Report report = TransferTexts::importReport(outcome);
        QCOMPARE(report.text, text);
        QCOMPARE(report.problem, problem);
    }

    void exportReport_data()
    {
        QTest::addColumn<int>("appointments");
        QTest::addColumn<int>("reminders");
        QTest::addColumn<int>("contacts");
        QTest::addColumn<QString>("text");
        QTest::newRow("agenda") << 12 << 3 << 0 << u"Ho esportato 12 appuntamenti e 3 promemoria in agenda.ics."_s;
        QTest::newRow("one appointment") << 1 << 0 << 0 << u"Ho esportato 1 appuntamento in agenda.ics."_s;
        QTest::newRow("one reminder") << 0 << 1 << 0 << u"Ho esportato 1 promemoria in agenda.ics."_s;
        QTest::newRow("address book") << 0 << 0 << 30 << u"Ho esportato 30 contatti in agenda.ics."_s;
        QTest::newRow("one contact") << 0 << 0 << 1 << u"Ho esportato 1 contatto in agenda.ics."_s;
    }
    void exportReport()
    {
        QFETCH(int, appointments);
        QFETCH(int, reminders);
        QFETCH(int, contacts);
        QFETCH(QString, text);
        QCOMPARE(TransferTexts::exportReport(appointments, reminders, contacts, u"agenda.ics"_s), text);
    }
};

QTEST_GUILESS_MAIN(TestTransferTexts)
#include "TestTransferTexts.moc"
