// Cost per call of the prompt search, beside the bare system calls that the
// search must make: one full Toolhelp snapshot walked with Process32First/Next,
// and one walk down the Z-order reading every visible window. Run under Wine:
//   scripts/wine-do wine build/x64/search_bench.exe [rounds]
// Besides the readable lines it prints one line per window count that
// scripts/bench reads: "search-ratio <visible windows> <ratio>".
#include "bench/bare_calls.h"
#include "sysfn/sysfn.h"
#include "tests/support/probe.h"
#include "tests/support/standin.h"
#include "winkit/window_search.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The bare calls; returns the time of the process walk alone, in microseconds.
double BareCalls() {
    const support::Stopwatch watch;
    bench::WalkProcesses();
    const double processes = watch.Elapsed() * 1000;
    bench::WalkWindows();
    return processes;
}

int VisibleWindows() {
    std::vector<winkit::WindowInfo> list;
    return winkit::ListTopLevelWindows(list);
}

void Measure(int rounds) {
    std::vector<double> search, bare, processes;
    int32_t found = 0;
    for (int i = 0; i < rounds; ++i) {
        support::PumpFor(0);
        const support::Stopwatch searchWatch;
        found = winkit::FindProcessWindow(L"ZorvicClient.exe", L"#32770", L"提示");
        search.push_back(searchWatch.Elapsed() * 1000);
        support::PumpFor(0);
        const support::Stopwatch bareWatch;
        processes.push_back(BareCalls());
        bare.push_back(bareWatch.Elapsed() * 1000);
    }
    double searchMedian = Median(search);
    double bareMedian = Median(bare);
    const int windows = VisibleWindows();
    std::printf("%4d visible windows: search %8.1f us, bare calls %8.1f us (process walk %8.1f us), "
                "ratio %.3f (result %d)\n",
                windows, searchMedian, bareMedian, Median(processes), searchMedian / bareMedian,
                static_cast<int>(found));
    std::printf("search-ratio %d %.4f\n", windows, searchMedian / bareMedian);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 201;
    if (rounds < 1) rounds = 1;
    support::EnsureShell();

    support::Client client;
    if (!support::StartClient(client)) std::printf("the stand-in client did not start; measuring without it\n");

    std::vector<HWND> made;
    for (int target : {50, 500}) {
        while (VisibleWindows() < target) {
            const std::wstring title = L"bench window " + std::to_wstring(made.size());
            HWND hwnd = support::MakeWindow(L"SearchBenchWindow", title);
            if (!hwnd) break;
            made.push_back(hwnd);
        }
        support::PumpFor(0);
        Measure(rounds);
    }

    for (HWND hwnd : made) DestroyWindow(hwnd);
    support::StopClient(client);
    return 0;
}
