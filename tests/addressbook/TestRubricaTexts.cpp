// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/RubricaTexts.h"

#include <QtTest>

class TestRubricaTexts : public QObject
{
    Q_OBJECT

private slots:
    void textIsReadAsTelephoneAndAsEmail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("telephone");
        QTest::addColumn<QString>("email");
        const auto row = [](const char* name, const QString& text, const QString& telephone, const QString& email) {
            QTest::newRow(name) << text << telephone << email;
        };
        row("prefix, space, dash", "+39 06-1", "+.3.9. .0.6.-.1.", "+39 06-1");
        row("dots and at signs", "a.b@c@d..it", "a...b.@.c.@.d.....i.t.", "a punto b èt c èt d punto  punto it");
        row("quotes, percent", "'%\"", "'.%.\".", "'%\"");
        // A character is what the user sees as one: an emoji, a letter with a combining accent.
        row("emoji, accents", "ò😀e\u0301@", "ò.😀.e\u0301.@.", "ò😀e\u0301 èt ");
        row("empty", "", "", "");
    }
    void textIsReadAsTelephoneAndAsEmail()
    {
        QFETCH(QString, text);
        QFETCH(QString, telephone);
        QFETCH(QString, email);
        QCOMPARE(RubricaTexts::telephoneForEar(text), telephone);
        QCOMPARE(RubricaTexts::emailForEar(text), email);
    }
};

QTEST_GUILESS_MAIN(TestRubricaTexts)
#include "TestRubricaTexts.moc"
