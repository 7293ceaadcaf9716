// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Greeting.h"

#include <QLocale>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestGreeting : public QObject
{
    Q_OBJECT

private slots:
    // The date keeps its Italian form whatever the desktop's language.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void salutationByTimeOfDay_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("salutation");
        const QList<std::pair<QTime, const char*>> hours { { QTime(3, 59), "Buonanotte" },
            { QTime(4, 0), "Buongiorno" }, { QTime(11, 59), "Buongiorno" }, { QTime(12, 0), "Buon pomeriggio" },
            { QTime(15, 59), "Buon pomeriggio" }, { QTime(16, 0), "Buonasera" }, { QTime(23, 59), "Buonasera" },
            { QTime(0, 0), "Buonanotte" } };
        for (const auto& [time, salutation] : hours)
            QTest::addRow("%s", qPrintable(time.toString(u"HH:mm"_s))) << time << QString::fromUtf8(salutation);
    }
    void salutationByTimeOfDay()
    {
        QFETCH(QTime, time);
        QFETCH(QString, salutation);
        const QString rest = u". oggi è il 05/12/2026. sono le %1 e %2 minuti."_s;
        QCOMPARE(
            Greeting::text(QDateTime(QDate(2026, 12, 5), time)), salutation + rest.arg(time.hour()).arg(time.minute()));
    }

    void greetingWithTheDateAndTime()
    {
        QCOMPARE(Greeting::text(QDateTime(QDate(2026, 12, 5), QTime(9, 5))),
            u"Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."_s);
        QCOMPARE(Greeting::text(QDateTime(QDate(2027, 1, 1), QTime(14, 7, 59))),
            u"Buon pomeriggio. oggi è il 01/01/2027. sono le 14 e 7 minuti."_s);
    }
};

QTEST_GUILESS_MAIN(TestGreeting)
#include "TestGreeting.moc"
