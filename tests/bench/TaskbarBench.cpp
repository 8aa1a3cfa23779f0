// CPU time of the stand-in taskbar over a minute: with 12 attached clocks
// showing seconds against the same program with no hook. Goal: at most 2x.
//   taskbar_bench [seconds]
#include <stdio.h>
#include <stdlib.h>

#include <windows.h>

#include "tests/bench/StandinRuns.h"

namespace {

const int kClocks = 12;

}  // namespace

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 60;
    if (seconds < 1)
        seconds = 60;

    BenchTaskbar plain;
    if (!StartBenchTaskbar(&plain)) {
        printf("taskbar_bench: the stand-in taskbar did not start\n");
        return 1;
    }
    int64_t idle = MeasureTaskbarCpu(plain, seconds);
    plain.Stop();

    // declared first: the hooked taskbar is ended before the library is freed
    CHookedClocks hook;
    BenchTaskbar hooked;
    if (!hook.Load() || !StartBenchTaskbar(&hooked)) {
        printf("taskbar_bench: no hook library or stand-in taskbar\n");
        return 1;
    }
    hook.Attach(hooked, kClocks);
    int64_t busy = MeasureTaskbarCpu(hooked, seconds);
    hook.Remove();
    hooked.Stop();

    double wall = seconds * 1e3;
    printf("taskbar CPU over %d s: no hook %d ms (%.2f%% of one core), %d clocks with seconds %d ms (%.2f%%)\n",
           seconds, (int)idle, 100.0 * idle / wall, kClocks, (int)busy, 100.0 * busy / wall);
    printf("ratio %.2f (goal <= 2.00)%s\n", idle ? (double)busy / idle : 0.0,
           hook.Handshakes() == 1 ? "" : "  [handshake missing]");
    return 0;
}
