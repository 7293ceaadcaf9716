// SPDX-License-Identifier: GPL-3.0-or-later
// vespelinda-festival: Festival's interpreter in a process of its own. Festival crashes on some
// inputs (the sentence "È." alone with the Italian voices, at normal speed) and strands part of
// its heap on every text it fails on; out here a crash costs one sentence, not the assistant.
// It reads requests on stdin and answers on stdout, each a length-prefixed QDataStream frame
// (see FestivalProcess).
#include "speech/FestivalEngine.h"

#include <QDataStream>
#include <QIODevice>
#include <cstdio>
#include <unistd.h>

namespace {
bool readExactly(char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::read(STDIN_FILENO, data, size_t(size));
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool writeFrame(const QByteArray& payload)
{
    const quint32 size = quint32(payload.size());
    QByteArray frame(reinterpret_cast<const char*>(&size), sizeof size);
    frame += payload;
    const char* data = frame.constData();
    qint64 left = frame.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size_t(left));
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}
} // namespace

int main()
{
    FestivalEngine festival;
    for (;;) {
        quint32 size = 0;
        if (!readExactly(reinterpret_cast<char*>(&size), sizeof size))
            return 0; // the program has gone
        QByteArray request(qsizetype(size), Qt::Uninitialized);
        if (!readExactly(request.data(), size))
            return 0;
        QDataStream in(request);
        quint8 op = 0;
        QString voice, text;
        qint32 rate = 100, pitch = 100;
        in >> op >> voice >> rate >> pitch >> text;
        QByteArray answer;
        QDataStream out(&answer, QIODevice::WriteOnly);
        if (op == 's') {
            const bool ok = festival.start();
            out << ok << festival.failure() << festival.voices();
        } else {
            festival.tune(voice, rate, pitch);
            if (op == 'w')
                out << festival.words(text);
            else if (op == 'y')
                out << festival.syllables(text);
            else {
                const Pcm pcm = festival.synthesize(text);
                out << qint32(pcm.sampleRate) << pcm.samples << festival.start();
            }
        }
        if (!writeFrame(answer))
            return 0;
    }
}
