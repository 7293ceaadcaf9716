// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using Kind = TransferFiles::Kind;
Q_DECLARE_METATYPE(TransferFiles::Kind)

class TestTransferFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A file of the given name and content in the test's folder (absent when content is null).
    QString file(const QString& name, const QByteArray& content) const
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        if (!content.isNull()) {
            QFile out(path);
            if (out.open(QIODevice::WriteOnly))
                out.write(content);
        }
        return path;
    }

private slots:
    void kindOf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Kind>("kind");
        const QByteArray calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        QTest::newRow(".ics") << u"agenda.ics"_s << calendar << Kind::Calendar;
        QTest::newRow(".VCF") << u"RUBRICA.VCF"_s << card << Kind::Contacts;
        QTest::newRow(".vcard") << u"rubrica.vcard"_s << card << Kind::Contacts;
        QTest::newRow("the name decides over the content") << u"rubrica.vcf"_s << calendar << Kind::Contacts;
        QTest::newRow("missing, by its name") << u"manca.ics"_s << QByteArray() << Kind::Calendar;
        QTest::newRow("no extension, a calendar") << u"esportato"_s << calendar << Kind::Calendar;
        QTest::newRow(".txt, a card in lower case")
            << u"contatti.txt"_s << QByteArray("begin:vcard\n") << Kind::Contacts;
        QTest::newRow("byte-order mark and blank lines")
            << u"calendario.dat"_s << QByteArray("\xEF\xBB\xBF\r\n\r\n  ") + calendar << Kind::Calendar;
        QTest::newRow("UTF-16 with its mark")
            << u"telefono.dat"_s
            << QByteArray("\xFF\xFE") + QByteArray::fromRawData(reinterpret_cast<const char*>(u"BEGIN:VCARD\r\n"), 26)
            << Kind::Contacts;
        QTest::newRow("other text") << u"note.txt"_s << QByteArray("Caro Mario,\nBEGIN:VCARD\n") << Kind::Unknown;
        QTest::newRow("empty") << u"vuoto.txt"_s << QByteArray("") << Kind::Unknown;
    }
    void kindOf()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(Kind, kind);
        QCOMPARE(TransferFiles::kindOf(file(name, content)), kind);
    }

    // A drop is taken only when every one of its files can be imported.
    void importable_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a calendar") << QStringList { u"agenda.ics"_s } << true;
        QTest::newRow("a calendar and an address book") << QStringList { u"agenda.ics"_s, u"rubrica.vcf"_s } << true;
        QTest::newRow("a card without its extension") << QStringList { u"contatti"_s } << true;
        QTest::newRow("a picture") << QStringList { u"foto.png"_s } << false;
        QTest::newRow("a calendar and a picture") << QStringList { u"agenda.ics"_s, u"foto.png"_s } << false;
        QTest::newRow("a folder") << QStringList { u"cartella.ics"_s } << false;
        QTest::newRow("a file that is not there") << QStringList { u"sparito.ics"_s } << false;
        QTest::newRow("a web address") << QStringList { u"https://example.org/agenda.ics"_s } << false;
    }
    void importable()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, taken);
        file(u"agenda.ics"_s, "BEGIN:VCALENDAR\r\n");
        file(u"rubrica.vcf"_s, "BEGIN:VCARD\r\n");
        file(u"contatti"_s, "BEGIN:VCARD\r\n");
        file(u"foto.png"_s, "\x89PNG\r\n");
        QDir(m_dir.path()).mkpath(u"cartella.ics"_s);
        QList<QUrl> urls;
        QStringList paths;
        for (const QString& name : names) {
            urls.append(name.contains(u':') ? QUrl(name) : QUrl::fromLocalFile(m_dir.filePath(name)));
            paths.append(m_dir.filePath(name));
        }
        QCOMPARE(TransferFiles::importable(urls), taken ? paths : QStringList());
    }

    void withExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("saved");
        QTest::newRow("calendar, none") << u"/tmp/agenda"_s << Kind::Calendar << u"/tmp/agenda.ics"_s;
        QTest::newRow("calendar, its own") << u"/tmp/agenda.ICS"_s << Kind::Calendar << u"/tmp/agenda.ICS"_s;
        QTest::newRow("contacts, .vcard") << u"/tmp/rubrica.vcard"_s << Kind::Contacts << u"/tmp/rubrica.vcard"_s;
        QTest::newRow("contacts, .ics") << u"/tmp/rubrica.ics"_s << Kind::Contacts << u"/tmp/rubrica.ics.vcf"_s;
    }
    void withExtension()
    {
        QFETCH(QString, typed);
        QFETCH(Kind, kind);
        QFETCH(QString, saved);
        QCOMPARE(TransferFiles::withExtension(typed, kind), saved);
    }
};

QTEST_GUILESS_MAIN(TestTransferFiles)
#include "TestTransferFiles.moc"
