// SPDX-License-Identifier: GPL-3.0-or-later
// Random store files for the REGEDIT4 reader and random paths and names for the registry class,
// built with AddressSanitizer and UndefinedBehaviorSanitizer: FuzzEasyRegistry [seconds] [seed].
// Any crash, sanitizer report, foreign exception or broken rule ends it with a failure.
#include "registry/RegFile.h"
#include "registry/clsEasyRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

const QString Root = u"HKEY_CURRENT_USER"_s;
const QByteArray Seed = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Città]\n\"Nome\"=\"a \\\"b\\\" \\\\ c\"\n"
                        "@=dword:0000002a\n\"Blob\"=hex:0a,00,\\\n  ff\n\"Multi\"=hex(7):41,00,00\n"
                        "\"Lungo\"=hex(4):1,2,3,4,5\n; nota\n[HKEY_CURRENT_USER\\Software\\Vuota]\r\n";
const QList<QByteArray> FileTokens { "[", "]", "\\", "\"", "=", "@",
    "hex:", "hex(1):", "hex(4):", "hex(ffffffff):", "dword:", "ffffffff", ",", ",00", "\n", "\r\n", "\\\n", ";",
    "REGEDIT4\n", "[HKEY_CURRENT_USER\\", "[HKEY_USERS]", "\xc3\xa8", "\xff", QByteArray(1, '\0'), "0x1", "..",
    QByteArray(300, 'k'), "\xed\xa0\x80" };
const QStringList PathTokens { u"\\"_s, u".."_s, u"."_s, Root, u"hkey_local_machine"_s, u"HKEY_FOO"_s, u"Software"_s,
    u"CITTÀ"_s, u"Vuota"_s, u"ß"_s, u" "_s, u"/"_s, u"a\nb"_s, QString(QChar(0)), QString(QChar(0xD800)),
    QString(300, u'x'), u"\"]["_s, QString() };
const QStringList Starts { Root, Root + u"\\Software"_s, Root + u"\\Software\\Città"_s };

QByteArray mutate(QByteArray text, QRandomGenerator& rng)
{
    for (int n = 1 + rng.bounded(4); n > 0; --n) {
        const qsizetype at = rng.bounded(int(text.size()) + 1);
        const int how = rng.bounded(4);
        if (how == 0 && at < text.size())
            text[at] = char(rng.bounded(256));
        else if (how == 1)
            text.insert(at, FileTokens[rng.bounded(int(FileTokens.size()))]);
        else if (how == 2)
            text.remove(at, rng.bounded(16));
        else
            text.insert(at, text.mid(rng.bounded(int(text.size()) + 1), rng.bounded(64)));
    }
    return text;
}

// One random call with a random path or name; the broken rule, if any.
const char* exercise(clsEasyRegistry& reg, QRandomGenerator& rng, const QString& path)
{
    try {
        if (rng.bounded(2))
            reg.Cd(Starts[rng.bounded(3)]);
    } catch (const EasyRegistryError&) {
    }
    qint32 type = 0;
    const RegistryValue values[] = { path, path.toUtf8(), rng.bounded(3) * 4294967295.0 / 2, {} };
    const std::function<void()> calls[] = { [&] { reg.Cd(path); }, [&] { reg.MakeKey(path); },
        [&] { reg.DeleteKey(path); }, [&] { reg.ValueOf(path, rng.bounded(-1, 4), values[rng.bounded(4)]); },
        [&] { reg.ValueOf(path, type); }, [&] { reg.DeleteValue(path); }, [&] { reg.DirKey(); },
        [&] {
            reg.DirValue();
        } };
    const int call = rng.bounded(8);
    try {
        calls[call]();
    } catch (const EasyRegistryError& e) {
        if (e.number() < EasyRegistryError::NoCurrentKey || e.number() > EasyRegistryError::ApiCall)
            return "an error number outside the class's";
        if (call == 0 && !reg.CurrentKey().isEmpty())
            return "a key stays current after a failed Cd";
    }
    const QString key = reg.CurrentKey();
    if (!key.isEmpty()
        && (key != RegistryKey::upper(key) || !clsEasyRegistry::RootNames().contains(key.section(u'\\', 1, 1))))
        return "a current key that is not an upper-case path from a root";
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20;
    const quint64 seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261205;
    QRandomGenerator rng(seed);
    // In memory where the system has it: every change is synced to disk, and disks are slow.
    QTemporaryDir store((QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath()) + u"/fuzz-XXXXXX"_s);
    clsEasyRegistry reg(store.path());
    QByteArray corpus = Seed;
    long inputs = 0;
    long readable = 0;
    const auto fail = [&](const char* what, const QByteArray& input) {
        std::fprintf(stderr, "FAIL after %ld inputs (seed %llu): %s\ninput: %s\n", inputs, seed, what,
            input.toPercentEncoding(" ").constData());
        std::abort();
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        const QByteArray text = mutate(corpus, rng);
        ++inputs;
        if (const auto tree = RegFile::parse(text, Root)) {
            ++readable;
            const QByteArray once = RegFile::serialize(*tree, Root);
            const auto again = RegFile::parse(once, Root);
            if (!again || RegFile::serialize(*again, Root) != once)
                fail("a written file does not read back the same", text);
            corpus = once.size() < 4096 ? once : Seed;
        }
        if (inputs % 8 == 0) { // the class reads whatever lies in its store
            QFile file(store.filePath(Root + u".reg"_s));
            if (!file.open(QIODevice::WriteOnly) || file.write(rng.bounded(2) ? corpus : text) < 0)
                fail("cannot write the store", text);
        }
        const QString path = PathTokens[rng.bounded(int(PathTokens.size()))] + u"\\"_s.repeated(rng.bounded(2))
            + PathTokens[rng.bounded(int(PathTokens.size()))];
        if (const char* broken = exercise(reg, rng, path))
            fail(broken, path.toUtf8());
    }
    std::printf("%ld store files (%ld readable) and %ld calls in %.1f s, seed %llu\n", inputs, readable, inputs,
        clock.elapsed() / 1000.0, seed);
    return 0;
}
