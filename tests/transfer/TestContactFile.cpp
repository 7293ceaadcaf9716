// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/ContactFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ContactRow)

namespace {

QString dataFile(const QString& name) { return QStringLiteral(TRANSFER_DATA "/") + name; }

QString put(const QTemporaryDir& dir, const QByteArray& bytes, const QString& name = u"rubrica.vcf"_s)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

QByteArray card(const QByteArray& lines) { return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + lines + "END:VCARD\r\n"; }

// 100 000 contacts as a telephone exports them, about 13 MB.
QByteArray manyContacts()
{
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += card("N:Rossi" + QByteArray::number(i) + ";Mario;;;\r\nFN:Mario Rossi" + QByteArray::number(i)
            + "\r\nTEL;TYPE=HOME:06 1234567\r\nTEL;TYPE=CELL:333 " + QByteArray::number(i)
            + "\r\nEMAIL;TYPE=INTERNET:mario" + QByteArray::number(i) + "@example.it\r\n");
    return bytes;
}

const QString Long150 = u"Città è bella, perché ogni via; ogni piazza \\ e ogni vicolo racconta qualcosa: "
                        "Niccolò, Zoë e Agnès lo sanno bene e lo dicono a tutti, sempre, ovunque"_s;

} // namespace

class TestContactFile : public QObject
{
    Q_OBJECT

private slots:
    void readsEachVersion_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("email");
        const auto row = [](const char* tag, const char* file, int index, const QString& name, const QString& phone,
                             const QString& email) {
            QTest::newRow(tag) << file << index << name << phone << email;
        };
        row("2.1 Latin-1 QP, PREF", "vcard21.vcf", 0, u"Niccolò Corrà"_s, u"+39 333 1234567"_s,
            u"n.corra@example.com"_s);
        row("2.1 UTF-8 QP soft break, CELL", "vcard21.vcf", 1, u"Noè Cantù dell'Orto"_s, u"347 1112222"_s,
            u"noe@example.it"_s);
        row("2.1 N only, AGENT ignored", "vcard21.vcf", 2, u"Giuseppe Fortunino Francesco Verdi"_s, u"02 8888888"_s,
            u""_s);
        row("2.1 windows-1252, bare PREF", "vcard21.vcf", 3, u"Bar dell’Angolo"_s, u"0544 123456"_s, u""_s);
        row("3.0 groups, TYPE=pref", "vcard30.vcf", 0, u"Dott. Mario Giovanni Rossi"_s, u"+39 02 3333333"_s,
            u"mario.rossi@studio.example.it"_s);
        row("3.0 folded, escapes", "vcard30.vcf", 1,
            u"Bianchi, Verdi ; Associati - Studio legale di Via dei Mille, Napoli"_s, u"081 1234567"_s,
            u"studio@example.it"_s);
        row("3.0 empty FN, N lists, cell", "vcard30.vcf", 2, u"Anna Maria De Luca"_s, u"339 5556666"_s, u""_s);
        row("3.0 ORG only", "vcard30.vcf", 3, u"Farmacia Centrale"_s, u"0541 22222"_s, u""_s);
        row("3.0 lower case", "vcard30.vcf", 4, u"Zoë D’Amico"_s, u"333 0000001"_s, u"zoe@example.it"_s);
        row("4.0 PREF=1, tel: URI", "vcard40.vcf", 0, u"Chiara Esposito"_s, u"+39-081-5555555"_s,
            u"chiara@casa.example.it"_s);
        row("4.0 quoted TYPE cell, quoted colon", "vcard40.vcf", 1, u"Giovanni Russo"_s, u"+39-340-8888888"_s,
            u"giovanni@example.it"_s);
        row("4.0 ORG, extension", "vcard40.vcf", 2, u"Comune di Forlì, Ufficio anagrafe"_s,
            u"+39-0543-712111 int. 12"_s, u"anagrafe@comune.example.it"_s);
        row("no CHARSET, windows-1252", "latin1.vcf", 0, u"Niccolò Dell’Orto"_s, u"0331 123456"_s, u""_s);
        row("no CHARSET, Latin-1 N", "latin1.vcf", 1, u"Agnès Perché"_s, u"0331 654321"_s, u"agnes@example.it"_s);
    }
    void readsEachVersion()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        const TransferRows rows = ContactFile::read(dataFile(file));
        QCOMPARE(rows.error, QString());
        QVERIFY(index < rows.contacts.size());
        QTEST(rows.contacts[index].name, "name");
        QTEST(rows.contacts[index].phone, "phone");
        QTEST(rows.contacts[index].email, "email");
    }

    void countsWhatIsLeftOut_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("noName");
        QTest::newRow("2.1") << u"vcard21.vcf"_s << 4 << 0;
        QTest::newRow("3.0") << u"vcard30.vcf"_s << 5 << 1;
        QTest::newRow("4.0") << u"vcard40.vcf"_s << 3 << 0;
    }
    void countsWhatIsLeftOut()
    {
        QFETCH(QString, file);
        const TransferRows rows = ContactFile::read(dataFile(file));
        QTEST(int(rows.contacts.size()), "contacts");
        QTEST(rows.skipped.value(u"senza nome"_s), "noName");
        QCOMPARE(rows.skipped.size(), rows.skipped.contains(u"senza nome"_s) ? 1 : 0);
    }

    // The same cards in UTF-16, with a UTF-8 byte-order mark, with LF or CR line ends.
    void readsOtherEncodingsAndLineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QFile file(dataFile(u"vcard30.vcf"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray crlf = file.readAll();
        const QString text = QString::fromUtf8(crlf);
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16LE") << QByteArray(utf16.encode(text));
        QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF" + crlf;
        QTest::newRow("LF") << QByteArray(crlf).replace("\r\n", "\n");
        QTest::newRow("CR") << QByteArray(crlf).replace("\r\n", "\r");
    }
    void readsOtherEncodingsAndLineEnds()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const TransferRows expected = ContactFile::read(dataFile(u"vcard30.vcf"_s));
        const TransferRows rows = ContactFile::read(put(dir, bytes));
        QCOMPARE(rows.error, QString());
        QCOMPARE(rows.contacts.size(), expected.contacts.size());
        for (qsizetype i = 0; i < rows.contacts.size(); ++i) {
            QCOMPARE(rows.contacts[i].name, expected.contacts[i].name);
            QCOMPARE(rows.contacts[i].phone, expected.contacts[i].phone);
            QCOMPARE(rows.contacts[i].email, expected.contacts[i].email);
        }
    }

    void keepsGoodCardsBesideBrokenOnes()
    {
        QTemporaryDir dir;
        const QByteArray bytes = card("FN:Anna\r\n") + "BEGIN:VCARD\r\nFN:Senza fine\r\n" + card("FN:Bruno\r\n")
            + "END:VCARD\r\n" + "BEGIN:VCARD\r\nFN:Tronco\r\n";
        const TransferRows rows = ContactFile::read(put(dir, bytes));
        QCOMPARE(rows.error, QString());
        QCOMPARE(rows.contacts.size(), 2);
        QCOMPARE(rows.contacts[0].name, u"Anna"_s);
        QCOMPARE(rows.contacts[1].name, u"Bruno"_s);
        QCOMPARE(rows.skipped.value(u"contatto incompleto"_s), 3);
    }

    void cutsLongTextsAtAWord()
    {
        QTemporaryDir dir;
        const QString name = u"Associazione "_s.repeated(20).trimmed();
        const TransferRows rows = ContactFile::read(
            put(dir, card("FN:" + name.toUtf8() + "\r\nEMAIL:" + QByteArray(200, 'a') + "@example.it\r\n")));
        QCOMPARE(rows.contacts.size(), 1);
        const QString cut = rows.contacts[0].name;
        QVERIFY(cut.size() <= TransferRows::TextChars);
        QVERIFY(cut.endsWith(u'…'));
        QVERIFY(name.startsWith(cut.chopped(1)));
        QCOMPARE(name.at(cut.size() - 1), u' ');
        QVERIFY(rows.contacts[0].email.size() <= TransferRows::TextChars);
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << u"non esiste"_s;
        QTest::newRow("folder") << QByteArray() << u"è una cartella"_s;
        QTest::newRow("named pipe") << QByteArray() << u"non è un file normale"_s;
        QTest::newRow("100 MB") << QByteArray() << u"è troppo grande (100 MB)"_s;
        QTest::newRow("empty") << QByteArray("") << u"è vuoto"_s;
        QTest::newRow("blank lines") << QByteArray(" \r\n\r\n\t\n") << u"è vuoto"_s;
        QTest::newRow("binary") << QByteArray("BEGIN:VCARD\r\nFN:A") + '\0' + "B\r\nEND:VCARD\r\n"
                                << u"non è un file di testo"_s;
        QTest::newRow("letter") << QByteArray("Caro Mario,\nci vediamo domani.\n") << u"non è una rubrica"_s;
        QTest::newRow("calendar") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n")
                                  << u"non è una rubrica"_s;
        QTest::newRow("no complete card") << QByteArray("BEGIN:VCARD\r\nFN:Mario\r\n") << u"nessun contatto completo"_s;
    }
    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"rubrica.vcf"_s);
        const QByteArray tag = QTest::currentDataTag();
        if (tag == "folder")
            QVERIFY(QDir(dir.path()).mkdir(u"rubrica.vcf"_s));
        else if (tag == "named pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (tag == "100 MB") {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(100 * 1024 * 1024)); // sparse: no room taken
        } else if (tag != "missing")
            put(dir, bytes);
        const TransferRows rows = ContactFile::read(path);
        QVERIFY(rows.contacts.isEmpty());
        QVERIFY2(rows.error.contains(u"\"rubrica.vcf\""_s), qPrintable(rows.error));
        QFETCH(QString, reason);
        QVERIFY2(rows.error.contains(reason), qPrintable(rows.error));
    }

    void readsManyContactsQuickly()
    {
        QTemporaryDir dir;
        const QString path = put(dir, manyContacts());
        QList<int> progress;
        QElapsedTimer timer;
        timer.start();
        const TransferRows rows = ContactFile::read(path, { nullptr, [&](int percent) {
                                                               progress.append(percent);
                                                           } });
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(rows.contacts.size(), 100000);
        QCOMPARE(rows.contacts.last().name, u"Mario Rossi99999"_s);
        QCOMPARE(rows.contacts.last().phone, u"333 99999"_s);
        QCOMPARE(rows.contacts.last().email, u"mario99999@example.it"_s);
        QVERIFY(progress.size() > 10);
        QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
        QCOMPARE(progress.last(), 100);
#if defined(__SANITIZE_ADDRESS__)
        constexpr qint64 limitMs = 20000; // sanitized code runs several times slower
#else
        constexpr qint64 limitMs = 2000;
#endif
        QVERIFY2(elapsed < limitMs, qPrintable(u"%1 ms"_s.arg(elapsed)));
    }

    void cancels_data()
    {
        QTest::addColumn<bool>("before");
        QTest::newRow("before reading") << true;
        QTest::newRow("while reading") << false;
    }
    void cancels()
    {
        QFETCH(bool, before);
        QTemporaryDir dir;
        const QString path = put(dir, manyContacts());
        std::atomic<bool> cancel = before;
        int calls = 0;
        const TransferRows rows = ContactFile::read(path, { &cancel, [&](int) {
                                                               ++calls;
                                                               cancel = true;
                                                           } });
        QVERIFY(rows.cancelled);
        QVERIFY(rows.contacts.isEmpty());
        QCOMPARE(rows.error, QString());
        QCOMPARE(calls, before ? 0 : 1);
    }

    void writesWhatReadsBack_data()
    {
        QTest::addColumn<ContactRow>("contact");
        QTest::newRow("plain") << ContactRow { u"Mario Rossi"_s, u"+39 06 1234567"_s, u"mario@example.it"_s };
        QTest::newRow("accents") << ContactRow { u"Niccolò Dell’Orto Zoë"_s, u"0331 123456"_s, u"zoë@example.it"_s };
        QTest::newRow("escapes") << ContactRow { u"Bianchi, Verdi; Associati \\ C."_s, u"06 1,2;3"_s,
            u"a,b;c@example.it"_s };
        QTest::newRow("one word, no phone") << ContactRow { u"Farmacia"_s, u""_s, u""_s };
        QTest::newRow("long, folded") << ContactRow { Long150, Long150, Long150 };
        QTest::newRow("emoji") << ContactRow { u"Anna 😀 Bianchi "_s.repeated(9).trimmed(), u""_s,
            u"anna@example.it"_s };
    }
    void writesWhatReadsBack()
    {
        QFETCH(ContactRow, contact);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"rubrica.vcf"_s);
        QString error;
        QVERIFY2(ContactFile::write(path, { contact, { u"Zeno"_s, {}, {} } }, &error), qPrintable(error));
        const TransferRows rows = ContactFile::read(path);
        QCOMPARE(rows.error, QString());
        QCOMPARE(rows.contacts.size(), 2);
        QCOMPARE(rows.contacts[0].name, contact.name);
        QCOMPARE(rows.contacts[0].phone, contact.phone);
        QCOMPARE(rows.contacts[0].email, contact.email);
        QCOMPARE(rows.contacts[1].name, u"Zeno"_s);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.last().isEmpty());
        for (const QByteArray& line : lines.first(lines.size() - 1)) {
            QVERIFY2(line.endsWith('\r'), line.constData());
            QVERIFY2(line.size() <= 76, line.constData());
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString text = utf8.decode(line);
            QVERIFY2(!utf8.hasError(), qPrintable(text));
        }
    }

    // python3-vobject reads the written file as another program would.
    void anotherReaderSeesTheContacts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"rubrica.vcf"_s);
        const QList<ContactRow> contacts { { u"Niccolò Dell’Orto"_s, u"+39 333 1234567"_s, u"niccolo@example.it"_s },
            { u"Bianchi, Verdi; Associati"_s, u"06 7654321"_s, u""_s }, { Long150, u""_s, u"zoe@example.it"_s } };
        QString error;
        QVERIFY2(ContactFile::write(path, contacts, &error), qPrintable(error));

        // Debian's interpreter, for which python3-vobject is installed, before any other on the path.
        const QString interpreter = QFile::exists(u"/usr/bin/python3"_s) ? u"/usr/bin/python3"_s : u"python3"_s;
        QProcess python;
        python.start(interpreter,
            { u"-c"_s,
                u"import json, sys, vobject\n"
                "cards = vobject.readComponents(open(sys.argv[1], encoding='utf-8', newline='').read())\n"
                "print(json.dumps([{'name': c.fn.value, 'n': c.n.value.given + ' ' + c.n.value.family,\n"
                "  'phone': c.tel.value if hasattr(c, 'tel') else '',\n"
                "  'email': c.email.value if hasattr(c, 'email') else ''} for c in cards]))\n"_s,
                path });
        if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit)
            QSKIP("python3 is not there");
        if (python.exitCode() != 0 && python.readAllStandardError().contains("No module named 'vobject'"))
            QSKIP("python3-vobject is not installed");
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray cards = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(cards.size(), contacts.size());
        for (qsizetype i = 0; i < contacts.size(); ++i) {
            const QJsonObject seen = cards[i].toObject();
            QCOMPARE(seen[u"name"_s].toString(), contacts[i].name);
            QCOMPARE(seen[u"n"_s].toString(), contacts[i].name);
            QCOMPARE(seen[u"phone"_s].toString(), contacts[i].phone);
            QCOMPARE(seen[u"email"_s].toString(), contacts[i].email);
        }
    }

    void saysWhyItCannotWrite_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no folder") << u"nessuna/rubrica.vcf"_s << u"non esiste"_s;
        QTest::newRow("a folder") << u"rubrica.vcf"_s << u"è una cartella"_s;
    }
    void saysWhyItCannotWrite()
    {
        QFETCH(QString, where);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"rubrica.vcf"_s));
        QString error;
        QVERIFY(!ContactFile::write(dir.filePath(where), { { u"Mario Rossi"_s, {}, {} } }, &error));
        QVERIFY2(error.contains(u"\"rubrica.vcf\""_s), qPrintable(error));
        QFETCH(QString, reason);
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestContactFile)
#include "TestContactFile.moc"
