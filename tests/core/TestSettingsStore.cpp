// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

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

    // Written by one store object, read by another as typed; a switch is on only for "1".
    void valuesReadBackAsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        for (const char* off : { "0", "true", " 1", "" })
            QTest::newRow(off) << QString::fromUtf8(off) << false;
        QTest::newRow("comma") << "ciao, a domani" << false;
        QTest::newRow("accents and quotes") << "è l'ora \"giusta\" = sì; #1" << false;
        QTest::newRow("newline") << "riga uno\nriga due" << false;
    }
    void valuesReadBackAsStored()
    {
        QFETCH(QString, text);
        QFETCH(bool, on);
        SettingsStore(m_path).save(u"Automin"_s, text);
        SettingsStore(m_path).setMessaggioFinale(text);
        const SettingsStore store(m_path);
        QCOMPARE(store.get(u"Automin"_s), text);
        QCOMPARE(store.automin(), on);
        QCOMPARE(store.messaggioFinale(), text);
    }

    // A hand-edited text with a comma, which QSettings reads as a list, is still the user's text.
    void handEditedListReadsAsTyped()
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Opzioni]\nTipo%20finale=Standard, Nessuno\n") > 0);
        file.close();
        QCOMPARE(SettingsStore(m_path).tipoFinale(), u"Standard, Nessuno"_s);
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
