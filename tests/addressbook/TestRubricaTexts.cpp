// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/RubricaTexts.h"

#include <QtTest>

class TestRubricaTexts : public QObject
{
    Q_OBJECT

private slots:
    void entryIsReadForTheEar_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("telefono");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("digits") << "Anna"
                                << "0612"
                                << "anna@casa.it"
                                << "Anna . telefono. 0.6.1.2.. . imèil. anna èt casa punto it";
        QTest::newRow("neither") << "Bruno"
                                 << ""
                                 << ""
                                 << "Bruno . telefono. Non inserito. . imèil. Non inserita";
        QTest::newRow("prefix, space, dash") << "C"
                                             << "+39 06-1"
                                             << "x"
                                             << "C . telefono. +.3.9. .0.6.-.1.. . imèil. x";
        QTest::newRow("dots and at signs")
            << "D"
            << ""
            << "a.b@c@d..it"
            << "D . telefono. Non inserito. . imèil. a punto b èt c èt d punto  punto it";
        QTest::newRow("quotes, percent") << "D'Angelo \"Gigi\" 100%"
                                         << "%'"
                                         << "'%'@x"
                                         << "D'Angelo \"Gigi\" 100% . telefono. %.'.. . imèil. '%' èt x";
        // A character is what the user sees as one: an emoji, a letter with a combining accent.
        QTest::newRow("emoji, accents") << "Nicolò 😀"
                                        << "1😀e\u0301"
                                        << "è@😀.it"
                                        << "Nicolò 😀 . telefono. 1.😀.e\u0301.. . imèil. è èt 😀 punto it";
    }
    void entryIsReadForTheEar()
    {
        QFETCH(QString, nome);
        QFETCH(QString, telefono);
        QFETCH(QString, email);
        QFETCH(QString, spoken);
        QCOMPARE(RubricaTexts::spokenEntry(nome, telefono, email), spoken);
    }
};

QTEST_GUILESS_MAIN(TestRubricaTexts)
#include "TestRubricaTexts.moc"
