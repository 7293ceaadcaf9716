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
        for (const auto& [key, value] : defaults)
            QCOMPARE(raw.value(u"Opzioni/"_s + QLatin1String(key)).toString(), QLatin1String(value));
        QCOMPARE(raw.allKeys().size(), 8); // the two messages have no default
        QVERIFY(store.tipoIniziale() == QLatin1String("DataOra") && store.tipoFinale() == QLatin1String("Standard"));
        QVERIFY(!store.caricaAvvio() && !store.riduciIcona() && store.leggiErrore() && !store.automin());
        QVERIFY(store.messMin() && store.inactivityIntervalMs() == 15000);

        // Any marker leaves every option as it is, even a missing one; without it all are written again.
        QSettings(m_path, QSettings::IniFormat).remove(u"Opzioni/Tipo iniziale"_s);
        store.setTipoFinale(u"Nessuno"_s);
        for (const char* marker : { "0", "1", "sì" }) {
            store.save(u"Carica avvio"_s, QString::fromUtf8(marker));
            QVERIFY(!store.initialiseOnFirstRun());
            QVERIFY(store.tipoIniziale().isEmpty() && store.tipoFinale() == QLatin1String("Nessuno"));
        }
        QSettings(m_path, QSettings::IniFormat).remove(u"Opzioni/Carica avvio"_s);
        QVERIFY(store.initialiseOnFirstRun());
        QCOMPARE(store.tipoFinale(), u"Standard"_s);
        store.setAutomin(true);
        store.setMessMin(false);
        QVERIFY(store.get(u"Automin"_s) == "1" && store.get(u"Mess Min"_s) == "0");
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
        QVERIFY(store.save(u"Tipo iniziale"_s, word) && store.save(u"Tipo finale"_s, word));
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
    void valuesReadBackAsStored()
    {
        for (const char* text :
            { "1", "0", "true", " 1", "", "ciao, a domani", "è l'ora \"giusta\" = sì; #1", "riga uno\nriga due" }) {
            const QString path = m_dir.filePath(u"values%1.conf"_s.arg(++m_n));
            SettingsStore(path).save(u"Automin"_s, QString::fromUtf8(text));
            SettingsStore(path).setMessaggioFinale(QString::fromUtf8(text));
            const SettingsStore store(path);
            QVERIFY2(store.get(u"Automin"_s) == QString::fromUtf8(text)
                    && store.messaggioFinale() == QString::fromUtf8(text),
                text);
            QVERIFY2(store.automin() == (QByteArray(text) == "1"), text);
        }
        // A hand-edited text with a comma, which QSettings reads as a list, is still the user's text.
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Opzioni]\nTipo%20finale=Standard, Nessuno\n") > 0);
        file.close();
        QCOMPARE(SettingsStore(m_path).tipoFinale(), u"Standard, Nessuno"_s);
    }

    // On the decimal digits (a tie really goes to even); no usable number gives 15 seconds.
    void inactivityIntervalInMilliseconds()
    {
        const QList<std::pair<const char*, int>> cases { { "15", 15000 }, { "15.5", 15500 }, { "20,25", 20250 },
            { " 0030 ", 30000 }, { "15.0005", 15000 }, { "15.0015", 15002 }, { "15.00050001", 15001 },
            { "15.0004999", 15000 }, { "quindici", 15000 }, { "", 15000 }, { "-20", 15000 }, { "0", 15000 },
            { "0.0004", 15000 }, { "99999999999", 15000 }, { "1e3", 15000 }, { "-1e309", 15000 } };
        for (const auto& [text, ms] : cases) {
            const int actual = SettingsStore::inactivityMs(QString::fromLatin1(text));
            QVERIFY2(actual == ms, qPrintable(u"\"%1\" gave %2"_s.arg(QLatin1String(text)).arg(actual)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
