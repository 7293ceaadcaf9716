// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    int m_n = 0;

private slots:
    void init() { m_path = m_dir.filePath(QStringLiteral("store%1.conf").arg(++m_n)); }

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
            QCOMPARE(raw.value(QStringLiteral("Opzioni/") + QLatin1String(key)).toString(), QLatin1String(value));
        QCOMPARE(raw.allKeys().size(), 8); // the two messages have no default
        QVERIFY(store.tipoIniziale() == QLatin1String("DataOra") && store.tipoFinale() == QLatin1String("Standard"));
        QVERIFY(!store.caricaAvvio() && !store.riduciIcona() && store.leggiErrore() && !store.automin());
        QVERIFY(store.messMin() && store.inactivityIntervalMs() == 15000);

        // Any marker leaves every option as it is, even a missing one; without it all are written again.
        raw.remove(QStringLiteral("Opzioni/Tipo iniziale"));
        store.setTipoFinale(QStringLiteral("Nessuno"));
        for (const char* marker : { "0", "1", "sì" }) {
            store.save(QStringLiteral("Carica avvio"), QString::fromUtf8(marker));
            QVERIFY(!store.initialiseOnFirstRun());
            QVERIFY(store.tipoIniziale().isEmpty() && store.tipoFinale() == QLatin1String("Nessuno"));
        }
        raw.remove(QStringLiteral("Opzioni/Carica avvio"));
        raw.sync();
        QVERIFY(store.initialiseOnFirstRun());
        QCOMPARE(store.tipoFinale(), QStringLiteral("Standard"));
        store.setAutomin(true);
        store.setMessMin(false);
        QVERIFY(store.get(QStringLiteral("Automin")) == "1" && store.get(QStringLiteral("Mess Min")) == "0");
    }

    // Written by one store object, read by another as typed; a switch is on only for "1".
    void valuesReadBackAsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        for (const char* off : { "0", "2", "true", " 1", "" })
            QTest::newRow(off) << QString::fromUtf8(off) << false;
        QTest::newRow("comma") << "ciao, a domani" << false;
        QTest::newRow("accents and quotes") << "è l'ora \"giusta\" = sì; #1" << false;
        QTest::newRow("newline") << "riga uno\nriga due" << false;
        QTest::newRow("spaces") << "  " << false;
    }
    void valuesReadBackAsStored()
    {
        QFETCH(QString, text);
        QFETCH(bool, on);
        SettingsStore(m_path).save(QStringLiteral("Automin"), text);
        SettingsStore(m_path).setMessaggioFinale(text);
        const SettingsStore store(m_path);
        QCOMPARE(store.get(QStringLiteral("Automin")), text);
        QCOMPARE(store.automin(), on);
        QCOMPARE(store.messaggioFinale(), text);
    }

    void garbageFilesNeverBreakReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("tipoFinale");
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
        QCOMPARE(SettingsStore(m_path).tipoFinale(), tipoFinale);
    }

    void inactivityIntervalInMilliseconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("15") << "15" << 15000;
        QTest::newRow("decimal point") << "15.5" << 15500;
        QTest::newRow("decimal comma") << "20,25" << 20250;
        QTest::newRow("leading zeros and blanks") << " 0030 " << 30000;
        QTest::newRow("tie to even, down") << "15.0005" << 15000;
        QTest::newRow("tie to even, up") << "15.0015" << 15002;
        QTest::newRow("above a tie") << "15.00050001" << 15001;
        QTest::newRow("below a tie") << "15.0004999" << 15000;
        for (const char* unusable : { "quindici", "", "-20", "0", "0.0004", "99999999999", "1e3" })
            QTest::newRow(unusable) << QString::fromUtf8(unusable) << 15000;
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
