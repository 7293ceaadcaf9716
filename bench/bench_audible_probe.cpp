// SPDX-License-Identifier: GPL-3.0-or-later
// How long from an action to its first audible sample at the sound server: records a source (a
// sink's monitor) in 2 ms chunks, runs COMMAND, and prints the milliseconds from the command's
// start to the first chunk louder than a whisper; then waits for the sound to end (a second
// without a loud chunk, or 30 s in all) so that the next measure starts in silence.
//
// usage: bench_audible_probe SOURCE [--first] -- COMMAND [ARGS...]
// With --first it ends at the first audible sample, without waiting for the end. Prints -1 when
// nothing was heard within 10 s.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
constexpr int Rate = 22050;
constexpr int ChunkSamples = 44; // 2 ms
constexpr int Loud = 1000; // of 32767
constexpr long QuietMs = 1000;

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

bool loud(const std::vector<int16_t>& chunk)
{
    for (const int16_t sample : chunk)
        if (std::abs(int(sample)) > Loud)
            return true;
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    const bool firstOnly = argc > 2 && std::strcmp(argv[2], "--first") == 0;
    char** command = argv + (firstOnly ? 4 : 3);
    if (argc < (firstOnly ? 5 : 4) || std::strcmp(command[-1], "--") != 0) {
        std::fprintf(stderr, "usage: %s SOURCE [--first] -- COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    const pa_sample_spec format { PA_SAMPLE_S16LE, Rate, 1 };
    pa_buffer_attr attr {};
    attr.maxlength = uint32_t(-1);
    attr.fragsize = ChunkSamples * 2;
    int error = 0;
    pa_simple* recorder
        = pa_simple_new(nullptr, "audible probe", PA_STREAM_RECORD, argv[1], "probe", &format, nullptr, &attr, &error);
    if (!recorder) {
        std::fprintf(stderr, "cannot record %s: %s\n", argv[1], pa_strerror(error));
        return 1;
    }
    std::vector<int16_t> chunk(ChunkSamples);
    const auto read = [&] {
        return pa_simple_read(recorder, chunk.data(), chunk.size() * 2, &error) == 0;
    };
    // What the server held before the start is read away: 100 ms of it.
    for (int i = 0; i < 50; ++i)
        if (!read())
            return 1;
    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    if (posix_spawnp(&child, command[0], nullptr, nullptr, command, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", command[0]);
        return 1;
    }
    long heardMs = -1;
    long lastLoudMs = -1;
    while (msSince(start) < 30000) {
        if (!read())
            break;
        const long now = msSince(start);
        if (loud(chunk)) {
            if (heardMs < 0)
                heardMs = now;
            lastLoudMs = now;
            if (firstOnly)
                break;
        }
        if (heardMs < 0 && now > 10000)
            break;
        if (heardMs >= 0 && now - lastLoudMs > QuietMs)
            break;
    }
    waitpid(child, nullptr, 0);
    pa_simple_free(recorder);
    std::printf("%ld\n", heardMs);
    return 0;
}
