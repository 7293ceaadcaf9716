// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Greeting.h"

#include <QtTest>

class TestGreeting : public QObject
{
    Q_OBJECT

private slots:
    void salutationByHour_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("salutation");
        QTest::newRow("03:59") << QTime(3, 59) << "Buonanotte";
        QTest::newRow("04:00") << QTime(4, 0) << "Buongiorno";
        QTest::newRow("11:59") << QTime(11, 59) << "Buongiorno";
        QTest::newRow("12:00") << QTime(12, 0) << "Buon pomeriggio";
        QTest::newRow("15:59") << QTime(15, 59) << "Buon pomeriggio";
        QTest::newRow("16:00") << QTime(16, 0) << "Buonasera";
        QTest::newRow("23:59") << QTime(23, 59) << "Buonasera";
        QTest::newRow("00:00") << QTime(0, 0) << "Buonanotte";
    }
    void salutationByHour()
    {
        QFETCH(QTime, time);
        QFETCH(QString, salutation);
        const QString text = Greeting::text(QDateTime(QDate(2026, 12, 5), time));
        QVERIFY2(text.startsWith(salutation + QStringLiteral(". oggi è il 05/12/2026. sono le ")), qPrintable(text));
    }

    void numbersWithoutLeadingZerosDateInItalianShortForm_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("text");
        QTest::newRow("9:05") << QDateTime(QDate(2026, 12, 5), QTime(9, 5))
                              << "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti.";
        QTest::newRow("14:07") << QDateTime(QDate(2026, 1, 1), QTime(14, 7, 59))
                               << "Buon pomeriggio. oggi è il 01/01/2026. sono le 14 e 7 minuti.";
        QTest::newRow("00:00") << QDateTime(QDate(2027, 2, 28), QTime(0, 0))
                               << "Buonanotte. oggi è il 28/02/2027. sono le 0 e 0 minuti.";
    }
    void numbersWithoutLeadingZerosDateInItalianShortForm()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, text);
        QCOMPARE(Greeting::text(now), text);
    }

    void dateFormIgnoresTheDesktopLocale()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(Greeting::shortDate(QDate(2026, 12, 5)), QStringLiteral("05/12/2026"));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_GUILESS_MAIN(TestGreeting)
#include "TestGreeting.moc"
