// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("store%1.conf").arg(++m_n));
    }

    void firstRunWritesTheEightDefaults()
    {
        SettingsStore store(m_path);
        QCOMPARE(store.get(QStringLiteral("Carica avvio")), QString());
        QVERIFY(store.initialiseOnFirstRun());
        const QList<std::pair<QString, QString>> expected = { { "Tipo iniziale", "DataOra" },
            { "Tipo finale", "Standard" }, { "Carica avvio", "0" }, { "Riduci icona", "0" }, { "Leggi errore", "1" },
            { "Automin", "0" }, { "Mess Min", "1" }, { "Secondi inatt", "15" } };
        for (const auto& [key, value] : expected)
            QCOMPARE(store.get(key), value);
        QCOMPARE(store.get(QStringLiteral("Messaggio iniziale")), QString());
        QCOMPARE(store.get(QStringLiteral("Messaggio finale")), QString());
        // Another store on the same file (the next run) sees them, in the section "Opzioni".
        QSettings raw(m_path, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Opzioni/Leggi errore")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.childGroups(), QStringList { QStringLiteral("Opzioni") });
    }

    void existingMarkerLeavesEveryKeyUntouched_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::newRow("0") << QStringLiteral("0");
        QTest::newRow("1") << QStringLiteral("1");
        QTest::newRow("garbage") << QStringLiteral("sì");
    }
    void existingMarkerLeavesEveryKeyUntouched()
    {
        QFETCH(QString, marker);
        {
            SettingsStore store(m_path);
            store.save(QStringLiteral("Carica avvio"), marker);
            store.save(QStringLiteral("Tipo iniziale"), QStringLiteral("Nessuno"));
        }
        SettingsStore store(m_path);
        QVERIFY(!store.initialiseOnFirstRun());
        QCOMPARE(store.get(QStringLiteral("Tipo iniziale")), QStringLiteral("Nessuno"));
        QCOMPARE(store.get(QStringLiteral("Tipo finale")), QString()); // still missing: not filled in
        QCOMPARE(store.get(QStringLiteral("Leggi errore")), QString());
    }

    void deletedMarkerReinitialisesEverything()
    {
        SettingsStore store(m_path);
        store.initialiseOnFirstRun();
        store.save(QStringLiteral("Tipo finale"), QStringLiteral("Nessuno"));
        QSettings(m_path, QSettings::IniFormat).remove(QStringLiteral("Opzioni/Carica avvio"));
        QVERIFY(store.initialiseOnFirstRun());
        QCOMPARE(store.get(QStringLiteral("Tipo finale")), QStringLiteral("Standard"));
    }

    void switchesAreOnOnlyForExactlyOne_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("true") << "true" << false;
        QTest::newRow(" 1") << " 1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void switchesAreOnOnlyForExactlyOne()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        SettingsStore store(m_path);
        store.save(QStringLiteral("Automin"), stored);
        QCOMPARE(store.isOn(QStringLiteral("Automin")), on);
        QCOMPARE(store.get(QStringLiteral("Automin")), stored);
    }

    void textsSurviveAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << QStringLiteral("ciao, a domani");
        QTest::newRow("accents and quotes") << QStringLiteral("è l'ora \"giusta\" = sì; #1");
        QTest::newRow("newline") << QStringLiteral("riga uno\nriga due");
        QTest::newRow("spaces") << QStringLiteral("  ");
    }
    void textsSurviveAsTyped()
    {
        QFETCH(QString, text);
        SettingsStore(m_path).save(QStringLiteral("Messaggio finale"), text);
        QCOMPARE(SettingsStore(m_path).get(QStringLiteral("Messaggio finale")), text);
    }

    void garbageFilesNeverBreakReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("tipoFinale");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[[[=\n\x01", 10) << QString();
        QTest::newRow("no section") << QByteArray("Tipo%20finale=Nessuno\n") << QString();
        QTest::newRow("hand edited list")
            << QByteArray("[Opzioni]\nTipo%20finale=Standard, Nessuno\n") << QStringLiteral("Standard, Nessuno");
    }
    void garbageFilesNeverBreakReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, tipoFinale);
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        SettingsStore store(m_path);
        QCOMPARE(store.get(QStringLiteral("Tipo finale")), tipoFinale);
    }

    void inactivityIntervalInMilliseconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("15") << "15" << 15000;
        QTest::newRow("60") << "60" << 60000;
        QTest::newRow("decimal point") << "15.5" << 15500;
        QTest::newRow("decimal comma") << "20,25" << 20250;
        QTest::newRow("leading zeros and blanks") << " 0030 " << 30000;
        QTest::newRow("tie to even, down") << "15.0005" << 15000;
        QTest::newRow("tie to even, up") << "15.0015" << 15002;
        QTest::newRow("above a tie") << "15.00050001" << 15001;
        QTest::newRow("below a tie") << "15.0004999" << 15000;
        QTest::newRow("not a number") << "quindici" << 15000;
        QTest::newRow("empty") << "" << 15000;
        QTest::newRow("negative") << "-20" << 15000;
        QTest::newRow("zero") << "0" << 15000;
        QTest::newRow("too small") << "0.0004" << 15000;
        QTest::newRow("too large") << "99999999999" << 15000;
        QTest::newRow("exponent") << "1e3" << 15000;
    }
    void inactivityIntervalInMilliseconds()
    {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(SettingsStore::inactivityMs(text), ms);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
