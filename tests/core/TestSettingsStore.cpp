// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    int m_n = 0;

private slots:
    void init() { m_path = m_dir.filePath(u"store%1.conf"_s.arg(++m_n)); }

    // The one place the first-run defaults are checked: in the file, and through the accessors.
    void firstRunWritesTheEightDefaults()
    {
        SettingsStore store(m_path);
        QVERIFY(store.initialiseOnFirstRun());
        QSettings raw(m_path, QSettings::IniFormat);
        const QList<std::pair<const char*, const char*>> defaults { { "Tipo iniziale", "DataOra" },
            { "Tipo finale", "Standard" }, { "Carica avvio", "0" }, { "Riduci icona", "0" }, { "Leggi errore", "1" },
            { "Automin", "0" }, { "Mess Min", "1" }, { "Secondi inatt", "15" } };
        QStringList written;
        QStringList expected;
        for (const auto& [key, value] : defaults) {
            written << QString::fromLatin1(key) + u'=' + raw.value(u"Opzioni/"_s + QLatin1String(key)).toString();
            expected << QString::fromLatin1(key) + u'=' + QLatin1String(value);
        }
        QCOMPARE(written, expected);
        QCOMPARE(raw.allKeys().size(), 8); // the two messages have no default
        QCOMPARE(store.tipoIniziale(), u"DataOra"_s);
        QCOMPARE(store.tipoFinale(), u"Standard"_s);
        QCOMPARE(store.caricaAvvio(), false);
        QCOMPARE(store.riduciIcona(), false);
        QCOMPARE(store.leggiErrore(), true);
        QCOMPARE(store.automin(), false);
        QCOMPARE(store.messMin(), true);
        QCOMPARE(store.inactivityIntervalMs(), 15000);

        // Without the marker every option is written again.
        QSettings(m_path, QSettings::IniFormat).remove(u"Opzioni/Tipo iniziale"_s);
        store.setTipoFinale(u"Nessuno"_s);
        QSettings(m_path, QSettings::IniFormat).remove(u"Opzioni/Carica avvio"_s);
        QVERIFY(store.initialiseOnFirstRun());
        QCOMPARE(store.tipoFinale(), u"Standard"_s);
        store.setAutomin(true);
        store.setMessMin(false);
        QCOMPARE(store.get(u"Automin"_s), u"1"_s);
        QCOMPARE(store.get(u"Mess Min"_s), u"0"_s);
    }

    // Any marker leaves every option as it is, even a missing one.
    void anyFirstRunMarkerLeavesTheOptionsAlone_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::newRow("0") << u"0"_s;
        QTest::newRow("1") << u"1"_s;
        QTest::newRow("a word") << u"sì"_s;
    }
    void anyFirstRunMarkerLeavesTheOptionsAlone()
    {
        QFETCH(QString, marker);
        SettingsStore store(m_path);
        QVERIFY(store.initialiseOnFirstRun());
        QSettings(m_path, QSettings::IniFormat).remove(u"Opzioni/Tipo iniziale"_s);
        store.setTipoFinale(u"Nessuno"_s);
        store.save(u"Carica avvio"_s, marker);
        QVERIFY(!store.initialiseOnFirstRun());
        QCOMPARE(store.tipoIniziale(), QString());
        QCOMPARE(store.tipoFinale(), u"Nessuno"_s);
    }

    // The message words are read in one place: a word outside the set greets with nothing and
    // says goodbye as "Standard" does, and is told apart from the choices themselves.
    void messageChoicesFromTheirWords_data()
    {
        using M = SettingsStore::Message;
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("greeting");
        QTest::addColumn<int>("farewell");
        QTest::addColumn<bool>("known"); // a choice of both messages
        QTest::newRow("DataOra") << u"DataOra"_s << int(M::DateAndTime) << int(M::Standard) << false;
        QTest::newRow("Standard") << u"Standard"_s << int(M::None) << int(M::Standard) << false;
        QTest::newRow("Personalizzato") << u"Personalizzato"_s << int(M::Custom) << int(M::Custom) << true;
        QTest::newRow("Nessuno") << u"Nessuno"_s << int(M::None) << int(M::None) << true;
        QTest::newRow("other case") << u"nessuno"_s << int(M::None) << int(M::Standard) << false;
        QTest::newRow("missing") << QString() << int(M::None) << int(M::Standard) << false;
    }
    void messageChoicesFromTheirWords()
    {
        QFETCH(QString, word);
        QFETCH(int, greeting);
        QFETCH(int, farewell);
        QFETCH(bool, known);
        SettingsStore store(m_path);
        QVERIFY(store.save(u"Tipo iniziale"_s, word));
        QVERIFY(store.save(u"Tipo finale"_s, word));
        QCOMPARE(int(store.greeting()), greeting);
        QCOMPARE(int(store.farewell()), farewell);
        QCOMPARE(store.storedGreeting().has_value() && store.storedFarewell().has_value(), known);
        store.setFarewell(store.farewell());
        QCOMPARE(store.tipoFinale(), SettingsStore::wordOf(SettingsStore::Message(farewell)));
    }

    // Something that is not a regular file in the store's place is never opened (a pipe would wait
    // for ever): the defaults hold in memory, and every write says that it was not saved, and why.
    void aStoreThatCannotBeWrittenSaysSo_data()
    {
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder in its place") << "folder"
                                               << "al posto del file c'è una cartella";
        QTest::newRow("a named pipe in its place") << "pipe"
                                                   << "non è un file normale";
        QTest::newRow("its folder cannot be made") << "under a file"
                                                   << "non si può creare";
    }
    void aStoreThatCannotBeWrittenSaysSo()
    {
        QFETCH(QString, make);
        QFETCH(QString, why);
        QString path = m_path;
        if (make == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (make == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else {
            QFile file(m_path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            path = m_path + u"/Vespelinda/Vespelinda.conf"_s;
        }
        SettingsStore store(path);
        QVERIFY(store.initialiseOnFirstRun());
        QCOMPARE(store.tipoIniziale(), u"DataOra"_s); // the defaults, for this session
        QVERIFY(!store.save(u"Messaggio finale"_s, u"a domani"_s));
        QCOMPARE(store.messaggioFinale(), u"a domani"_s);
        const QString problem = store.takeProblem();
        QVERIFY2(problem.contains(QDir::toNativeSeparators(path)), qPrintable(problem));
        QVERIFY2(problem.contains(why), qPrintable(problem));
        QCOMPARE(store.takeProblem(), QString());
    }

    // However large a value has grown in the file, what is read is bounded.
    void valuesAreBoundedWhenRead()
    {
        QSettings(m_path, QSettings::IniFormat).setValue(u"Opzioni/Messaggio finale"_s, QString(200000, u'x'));
        SettingsStore store(m_path);
        QCOMPARE(store.messaggioFinale().size(), SettingsStore::MaxValueChars);
        QVERIFY(store.save(u"Automin"_s, u"1"_s));
        QCOMPARE(store.takeProblem(), QString());
    }

    // Written by one store object, read by another as typed; a switch is on only for "1".
    void valuesReadBackAsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << u"1"_s << true;
        QTest::newRow("0") << u"0"_s << false;
        QTest::newRow("true") << u"true"_s << false;
        QTest::newRow("space and 1") << u" 1"_s << false;
        QTest::newRow("empty") << u""_s << false;
        QTest::newRow("comma") << u"ciao, a domani"_s << false;
        QTest::newRow("quotes, equals, semicolon, hash") << u"è l'ora \"giusta\" = sì; #1"_s << false;
        QTest::newRow("two lines") << u"riga uno\nriga due"_s << false;
    }
    void valuesReadBackAsStored()
    {
        QFETCH(QString, text);
        QFETCH(bool, on);
        SettingsStore(m_path).save(u"Automin"_s, text);
        SettingsStore(m_path).setMessaggioFinale(text);
        const SettingsStore store(m_path);
        QCOMPARE(store.get(u"Automin"_s), text);
        QCOMPARE(store.messaggioFinale(), text);
        QCOMPARE(store.automin(), on);
    }

    // A hand-edited text with a comma, which QSettings reads as a list, is still the user's text.
    void aHandEditedCommaIsText()
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("[Opzioni]\nTipo%20finale=Standard, Nessuno\n") > 0);
        file.close();
        QCOMPARE(SettingsStore(m_path).tipoFinale(), u"Standard, Nessuno"_s);
    }

    // On the decimal digits (a tie really goes to even); no usable number gives 15 seconds.
    void inactivityIntervalInMilliseconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        const QList<std::pair<const char*, int>> cases { { "15", 15000 }, { "15.5", 15500 }, { "20,25", 20250 },
            { " 0030 ", 30000 }, { "15.0005", 15000 }, { "15.0015", 15002 }, { "15.00050001", 15001 },
            { "15.0004999", 15000 }, { "quindici", 15000 }, { "", 15000 }, { "-20", 15000 }, { "0", 15000 },
            { "0.0004", 15000 }, { "99999999999", 15000 }, { "1e3", 15000 }, { "-1e309", 15000 } };
        for (const auto& [text, ms] : cases)
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << ms;
    }
    void inactivityIntervalInMilliseconds()
    {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(SettingsStore::inactivityMs(text), ms);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
