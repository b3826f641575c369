// Measurements of the running program, for scripts/bench (under Wine):
//   program_bench.exe idle [seconds]  CPU time and wake-ups of autoredial.exe over the given
//                                     time (60 s), watching (Start pressed) with its notices
//                                     and, beside it, with the timers alone
//                                     (AUTOREDIAL_TIMERS_ONLY), and of floor_bench.exe, which
//                                     makes only the bare calls of one prompt tick once a
//                                     second; the working sets after start; then the program
//                                     and the timers alone again for half that time beside
//                                     churn_bench.exe, a busy desk. The stand-in client runs
//                                     meanwhile, so the prompt search has a process to look
//                                     through.
//   program_bench.exe drop [trials]   in this process, on the main window loaded here with a
//                                     fake manager that fires: the time from a drop (and its
//                                     notice) to the click that reaches the stand-in client,
//                                     with the notices and with the timers alone
//   program_bench.exe prompt [trials] the time from a prompt of the stand-in client to its
//                                     answer by the running autoredial.exe, with the hook
//                                     and with the timers alone
//   program_bench.exe launch [count]  time from CreateProcess until the main window is
//                                     visible, for each of count (10) launches
//   program_bench.exe ticks [count]   this process's working set around count (10 000)
//                                     calls of each periodic handler of the main window,
//                                     loaded here from its table as the program loads it
// autoredial.exe and floor_bench.exe are the ones beside this program. Besides
// readable lines each mode prints lines "<key> <numbers>" that scripts/bench reads.
#include "app/shell.h"
#include "tests/support/fake_network_list.h"
#include "tests/support/probe.h"
#include "tests/support/program.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"
#include "ui/form.h"
#include "ui/props.h"
#include "watch/watch.h"
#include "winkit/text.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// A text for the UTF-8 terminal that reads this program's output.
std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    std::string utf8(wide.size() * 3, '\0');
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                               static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(utf8Length));
    return utf8;
}

// Starts the program and polls every 2 ms for its visible main window of the
// given class; null when it does not come within 15 s.
HWND Launch(const std::wstring& exe, const wchar_t* className, PROCESS_INFORMATION& process,
            bool timersOnly = false) {
    // The program reads the switch from the environment it inherits.
    SetEnvironmentVariableW(L"AUTOREDIAL_TIMERS_ONLY", timersOnly ? L"1" : nullptr);
    const bool started = support::StartProcess(exe, support::BuildDirectory(), process);
    SetEnvironmentVariableW(L"AUTOREDIAL_TIMERS_ONLY", nullptr);
    if (!started) return nullptr;
    HWND found = nullptr;
    const support::Stopwatch watch;
    while (watch.Elapsed() < 15000) {
        found = support::FindVisibleWindow(process.dwProcessId, className);
        if (found || WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    return found;
}

void Close(PROCESS_INFORMATION& process, HWND main) {
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (process.hProcess) WaitForSingleObject(process.hProcess, 5000);
    support::EndProcess(process);
}

// Wine 8 answers GetProcessTimes for another process with zeros, so CPU time
// is read where Wine itself would read it: the Linux process that runs the
// program, seen through the Z: drive.
std::string ReadLinuxFile(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::vector<std::string> NumberedEntries(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] >= '1' && found.cFileName[0] <= '9') names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The Linux process of this Wine prefix whose command line is the program's
// path (Wine shows a program's Windows path there); empty when there is none.
std::string LinuxProcessOf(const std::string& exe) {
    char prefix[MAX_PATH] = "";
    const std::string wanted =
        GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) ? std::string("WINEPREFIX=") + prefix : "";
    for (const std::string& pid : NumberedEntries("Z:\\proc")) {
        const std::string commandLine = ReadLinuxFile("Z:\\proc\\" + pid + "\\cmdline");
        if (lstrcmpiA(commandLine.c_str(), exe.c_str()) != 0) continue;
        const std::string environment = '\0' + ReadLinuxFile("Z:\\proc\\" + pid + "\\environ");
        if (wanted.empty() || environment.find('\0' + wanted + '\0') != std::string::npos) return pid;
    }
    return std::string();
}

// CPU time of all the process's threads in seconds: the scheduler's own
// account (nanoseconds), where /proc/<pid>/stat would give 10 ms steps.
double CpuSeconds(const std::string& pid) {
    if (pid.empty()) return 0;
    const std::string tasks = "Z:\\proc\\" + pid + "\\task";
    double total = 0;
    for (const std::string& task : NumberedEntries(tasks)) {
        total += std::strtod(ReadLinuxFile(tasks + "\\" + task + "\\schedstat").c_str(), nullptr) * 1e-9;
    }
    return total;
}

// Times that the process's threads went to sleep and were woken again (the
// voluntary context switches of all its Linux threads).
double WakeUps(const std::string& pid) {
    if (pid.empty()) return 0;
    const std::string tasks = "Z:\\proc\\" + pid + "\\task";
    double total = 0;
    for (const std::string& task : NumberedEntries(tasks)) {
        const std::string status = ReadLinuxFile(tasks + "\\" + task + "\\status");
        const std::size_t at = status.find("\nvoluntary_ctxt_switches:");
        if (at != std::string::npos) total += std::strtod(status.c_str() + at + 26, nullptr);
    }
    return total;
}

// Gives a running program's box the stand-in's dial button and presses 开始.
void PressStart(HWND main, HWND dialButton) {
    const std::wstring handle = winkit::FormatDecimal(winkit::HandleToInt(dialButton));
    SendMessageW(support::UnitWindow(main, ui::kTargetBox.name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
    PostMessageW(support::UnitWindow(main, ui::kStartButton.name), BM_CLICK, 0, 0);
}

// Pages written by the process itself (heaps, stacks, written data): the
// part of the working set that is not shared with other processes' files.
double PrivateDirtyBytes(const std::string& pid) {
    const std::string rollup = ReadLinuxFile("Z:\\proc\\" + pid + "\\smaps_rollup");
    const std::size_t at = rollup.find("Private_Dirty:");
    return at == std::string::npos ? 0 : std::strtod(rollup.c_str() + at + 14, nullptr) * 1024;
}

// Resident pages of font files. Wine renders text inside the process, so the
// fonts it draws with count in the working set; Windows renders them outside
// the program's working set.
double FontFileBytes(const std::string& pid) {
    const std::string maps = ReadLinuxFile("Z:\\proc\\" + pid + "\\smaps");
    double total = 0;
    bool font = false;
    for (std::size_t line = 0; line < maps.size();) {
        std::size_t end = maps.find('\n', line);
        if (end == std::string::npos) end = maps.size();
        const std::string text = maps.substr(line, end - line);
        if (text.compare(0, 4, "Rss:") == 0) {
            if (font) total += std::strtod(text.c_str() + 4, nullptr) * 1024;
        } else if (!text.empty() && std::isxdigit(static_cast<unsigned char>(text[0])) &&
                   text.find('-') < text.find(' ')) {
            font = text.find("/fonts/") != std::string::npos;  // a mapping's first line
        }
        line = end + 1;
    }
    return total;
}

// The working set as Windows programs see it (under Wine 8: the Linux
// process's resident set, Wine's own libraries included), in bytes.
double WorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? static_cast<double>(counters.WorkingSetSize)
                                                                      : 0;
}

const double kMiB = 1024.0 * 1024.0;

// A running program measured by Idle.
struct Subject {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    std::string pid;
    double cpu = 0, wakeUps = 0, firstCpu = 0, firstWakeUps = 0;
    std::vector<double> windows;  // CPU ms per second of each window
};

// CPU per second over windows of 5 s (five ticks each), for the given time:
// the median window leaves out the moments when the machine was busy
// elsewhere. Returns the seconds measured.
double Measure(Subject* const* subjects, int count, int seconds) {
    const int kWindow = 5;
    const support::Stopwatch clock;
    for (int i = 0; i < count; ++i) {
        Subject* subject = subjects[i];
        subject->cpu = subject->firstCpu = CpuSeconds(subject->pid);
        subject->wakeUps = subject->firstWakeUps = WakeUps(subject->pid);
        subject->windows.clear();
    }
    double at = 0;
    for (int left = seconds; left > 0; left -= kWindow) {
        Sleep(static_cast<DWORD>(left < kWindow ? left : kWindow) * 1000);
        const double now = clock.Elapsed() / 1000;
        for (int i = 0; i < count; ++i) {
            Subject* subject = subjects[i];
            const double cpu = CpuSeconds(subject->pid);
            subject->windows.push_back((cpu - subject->cpu) * 1000 / (now - at));
            subject->cpu = cpu;
            subject->wakeUps = WakeUps(subject->pid);
        }
        at = now;
    }
    return at;
}

// The same two programs, watching, while churn_bench makes a busy desk: the
// extra CPU that the busy desk costs the program with its notices, beside the
// extra it costs the program with the timers alone (subjects 0 and 1).
int BusyDesk(Subject* const* subjects, int seconds, double quietNotices, double quietTimers) {
    Subject churn;
    churn.main = Launch(support::BuildDirectory() + L"\\churn_bench.exe", L"BenchChurn", churn.process);
    if (!churn.main) {
        std::printf("churn_bench.exe did not start\n");
        return 1;
    }
    Sleep(2000);  // its first batches
    Measure(subjects, 2, seconds);
    Close(churn.process, churn.main);
    const double notices = Median(subjects[0]->windows);
    const double timers = Median(subjects[1]->windows);
    std::printf("on a busy desk (200 windows and 20 dialogs a second) over %d s: autoredial.exe %.3f ms CPU per "
                "second, with the timers alone %.3f ms; on the quiet desk %.3f and %.3f\n",
                seconds, notices, timers, quietNotices, quietTimers);
    std::printf("busy-desk %.4f %.4f %.4f %.4f\n", quietNotices, notices, quietTimers, timers);
    return 0;
}

int Idle(int seconds) {
    const std::wstring directory = support::BuildDirectory();
    const std::wstring programExe = directory + L"\\autoredial.exe";
    const std::wstring floorExe = directory + L"\\floor_bench.exe";
    // A copy under another name for the timers alone: its Linux process is
    // told apart by its command line (the Windows environment is not in the
    // Linux process's).
    const std::wstring todayExe = directory + L"\\autoredial_timers_only.exe";
    CopyFileW(programExe.c_str(), todayExe.c_str(), FALSE);
    support::Client client;
    if (!support::StartClient(client)) std::printf("the stand-in client did not start; measuring without it\n");
    // The program with its hook and, once started, the manager's sink; the
    // same with the timers alone, as before the notices; the floor.
    Subject program, today, floor;
    program.main = Launch(programExe, L"AutoredialForm", program.process);
    today.main = Launch(todayExe, L"AutoredialForm", today.process, true);
    floor.main = Launch(floorExe, L"BenchFloor", floor.process);
    program.pid = LinuxProcessOf(Utf8(programExe));
    today.pid = LinuxProcessOf(Utf8(todayExe));
    floor.pid = LinuxProcessOf(Utf8(floorExe));
    int status = 0;
    Subject* const subjects[] = {&program, &today, &floor};
    for (const Subject* subject : subjects) {
        if (!subject->main || subject->pid.empty()) status = 1;
    }
    if (status) {
        std::printf("autoredial.exe or floor_bench.exe did not start, or its Linux process was not found\n");
    } else {
        PressStart(program.main, client.dialButton);
        PressStart(today.main, client.dialButton);
        Sleep(3000);  // first paints and first ticks
        const double programStart = WorkingSet(program.process.hProcess);
        const double floorStart = WorkingSet(floor.process.hProcess);
        const double programDirty = PrivateDirtyBytes(program.pid);
        const double floorDirty = PrivateDirtyBytes(floor.pid);
        const double programFonts = FontFileBytes(program.pid);
        const double floorFonts = FontFileBytes(floor.pid);

        const double wall = Measure(subjects, 3, seconds);
        const std::wstring label = support::WindowText(support::UnitWindow(program.main, ui::kPromptLine.name));
        const std::wstring linkState = support::WindowText(support::UnitWindow(program.main, ui::kLinkState.name));
        if (WaitForSingleObject(program.process.hProcess, 0) != WAIT_TIMEOUT) status = 1;
        double ms[3], mean[3], wakes[3];
        for (int i = 0; i < 3; ++i) {
            ms[i] = Median(subjects[i]->windows);
            mean[i] = (subjects[i]->cpu - subjects[i]->firstCpu) * 1000 / wall;
            wakes[i] = (subjects[i]->wakeUps - subjects[i]->firstWakeUps) / wall;
        }
        std::printf("over %.1f s, watching: autoredial.exe %.3f ms CPU per second (mean %.3f), %.2f wake-ups/s; "
                    "with the timers alone %.3f ms (mean %.3f), %.2f wake-ups/s; floor %.3f ms (mean %.3f), "
                    "%.2f wake-ups/s; the program shows \"%s\" \"%s\"%s\n",
                    wall, ms[0], mean[0], wakes[0], ms[1], mean[1], wakes[1], ms[2], mean[2], wakes[2],
                    Utf8(label).c_str(), Utf8(linkState).c_str(), status ? " (and ended meanwhile!)" : "");
        std::printf("after start: working set autoredial.exe %.2f MiB, floor %.2f MiB; of which font files "
                    "%.2f MiB and %.2f MiB; private dirty pages %.2f MiB and %.2f MiB\n",
                    programStart / kMiB, floorStart / kMiB, programFonts / kMiB, floorFonts / kMiB,
                    programDirty / kMiB, floorDirty / kMiB);
        std::printf("idle-cpu %.4f %.4f\n", ms[0], ms[2]);
        std::printf("idle-notices %.4f %.4f %.4f %.4f\n", ms[0], ms[1], wakes[0], wakes[1]);
        std::printf("start-memory %.0f %.0f %.0f %.0f %.0f %.0f\n", programStart, floorStart, programFonts,
                    floorFonts, programDirty, floorDirty);
        status = BusyDesk(subjects, seconds / 2, ms[0], ms[1]);
    }
    for (Subject* subject : subjects) Close(subject->process, subject->main);
    DeleteFileW(todayExe.c_str());
    support::StopClient(client);
    return status;
}

void PrintLatencies(const char* key, const char* what, const std::vector<double>& ms) {
    if (ms.empty()) return;
    std::printf("%s over %zu trials: median %.0f ms, worst %.0f ms\n", what, ms.size(), Median(ms),
                *std::max_element(ms.begin(), ms.end()));
    std::printf("%s", key);
    for (double t : ms) std::printf(" %.1f", t);
    std::printf("\n");
}

// Wine's own manager never fires, so the drop is measured here, on the main
// window loaded in this process, with the fake manager of the tests: the link
// test (the stand-in wininet) goes down and the manager fires at once. Half
// the trials have a notice (the link's own) 0 to 1 s before the drop, so
// that the drop's notice may have to wait for its second. The clock of the
// watcher moves on by the spacing of the clicks and of the early ticks between
// trials instead of waiting them out. With the timers alone the drop comes at
// a random moment of the watch period.
DWORD gClockOffset = 0;
DWORD WINAPI OffsetTickCount() { return GetTickCount() + gClockOffset; }

int Drop(int trials) {
    support::Client client;
    if (!support::StartClient(client) || !support::LoadMainForm()) {
        std::printf("the stand-in client did not start or the main window did not load\n");
        return 1;
    }
    support::FakeNetworkList manager;
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
    support::TableFake<sysfn::kGetTickCount> clock(&OffsetTickCount);
    std::srand(22);
    std::vector<double> results[3];  // notice alone, notice after a notice, timers alone
    int status = 0;
    for (int mode = 0; mode < 3 && status == 0; mode += 1) {
        if (mode == 1) continue;  // measured with mode 0, trial by trial
        SetEnvironmentVariableW(L"AUTOREDIAL_TIMERS_ONLY", mode == 2 ? L"1" : nullptr);
        watch::Watch& state = support::FreshWatch();
        support::SetLinkState(true);
        ui::SetContent(ui::kTargetBox, support::HandleText(client.dialButton));
        watch::Start(state, ui::EventArgs());
        const int count = mode == 2 ? trials : 2 * trials;
        for (int trial = 0; trial < count; ++trial) {
            support::SetLinkState(true);
            gClockOffset += watch::kClickSpacing + watch::kEarlyTickSpacing;
            const bool after = mode == 0 && trial % 2 == 1;
            if (after) manager.Fire();
            support::PumpFor(mode == 2 ? std::rand() % watch::kWatchPeriod : after ? std::rand() % 1000 : 300);
            const int before = support::ClickCount(client);
            const support::Stopwatch stopwatch;
            support::SetLinkState(false);
            manager.Fire();
            if (!support::PumpUntil([&] { return support::ClickCount(client) > before; }, support::kFirstTickWaitMs)) {
                std::printf("no click within %d s\n", support::kFirstTickWaitMs / 1000);
                status = 1;
                break;
            }
            results[after ? 1 : mode].push_back(stopwatch.Elapsed());
        }
        watch::Stop(state, ui::EventArgs());
    }
    SetEnvironmentVariableW(L"AUTOREDIAL_TIMERS_ONLY", nullptr);
    support::SetLinkState(true);
    support::StopClient(client);
    PrintLatencies("drop-notice", "drop to click, the drop's notice alone", results[0]);
    PrintLatencies("drop-notice-after", "drop to click, a notice 0-1 s before the drop's", results[1]);
    PrintLatencies("drop-timers", "drop to click, timers alone", results[2]);
    return status;
}

// The stand-in client raises a prompt at a random moment of the prompt
// timer's second; the running program answers it with the N key.
int Prompt(int trials) {
    const std::wstring programExe = support::BuildDirectory() + L"\\autoredial.exe";
    support::Client client;
    if (!support::StartClient(client)) {
        std::printf("the stand-in client did not start\n");
        return 1;
    }
    std::srand(22);
    int status = 0;
    for (int timersOnly = 0; timersOnly < 2 && status == 0; ++timersOnly) {
        PROCESS_INFORMATION process;
        HWND main = Launch(programExe, L"AutoredialForm", process, timersOnly != 0);
        std::vector<double> ms;
        for (int trial = 0; main && trial < trials; ++trial) {
            Sleep(static_cast<DWORD>(300 + std::rand() % 1000));
            const int before = support::ButtonAnswerCount(client);
            const support::Stopwatch stopwatch;
            support::RaisePrompt(client);
            while (support::ButtonAnswerCount(client) == before && stopwatch.Elapsed() < 5000) Sleep(2);
            if (support::ButtonAnswerCount(client) == before) {
                std::printf("a prompt was not answered within 5 s\n");
                status = 1;
                break;
            }
            ms.push_back(stopwatch.Elapsed());
        }
        if (!main) status = 1;
        Close(process, main);
        PrintLatencies(timersOnly ? "prompt-timers" : "prompt-hook",
                       timersOnly ? "prompt to answer, timers alone" : "prompt to answer, with the hook", ms);
    }
    support::StopClient(client);
    return status;
}

// Launches the program and floor_bench by turns, so that both meet the same
// state of the machine: the floor shows what Wine's process start costs alone.
int LaunchTimes(int count) {
    const std::wstring directory = support::BuildDirectory();
    struct Subject {
        std::wstring exe;
        const wchar_t* className;
        const char* key;
        std::vector<double> times;
    } subjects[] = {
        {directory + L"\\autoredial.exe", L"AutoredialForm", "launch-seconds", {}},
        {directory + L"\\floor_bench.exe", L"BenchFloor", "floor-launch-seconds", {}},
    };
    for (int i = 0; i < count; ++i) {
        for (Subject& subject : subjects) {
            PROCESS_INFORMATION process;
            const support::Stopwatch watch;
            HWND main = Launch(subject.exe, subject.className, process);
            const double elapsed = watch.Elapsed() / 1000;
            Close(process, main);
            if (!main) {
                std::printf("%ls did not show its window\n", subject.exe.c_str());
                return 1;
            }
            subject.times.push_back(elapsed);
        }
    }
    for (const Subject& subject : subjects) {
        const std::vector<double>& times = subject.times;
        std::printf("%ls until visible over %d launches: median %.3f s, fastest %.3f s, slowest %.3f s\n",
                    subject.exe.c_str() + directory.size() + 1, count, Median(times),
                    *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
    }
    for (const Subject& subject : subjects) {
        std::printf("%s", subject.key);
        for (double t : subject.times) std::printf(" %.4f", t);
        std::printf("\n");
    }
    return 0;
}

int Ticks(int count) {
    support::Client client;
    if (!support::StartClient(client)) {
        std::printf("the stand-in client did not start\n");
        return 1;
    }
    // The link is down, so every watch tick clicks the client's dial button.
    support::SetLinkState(false);
    if (!support::LoadMainForm()) {
        std::printf("the main window did not load\n");
        support::SetLinkState(true);
        support::StopClient(client);
        return 1;
    }
    watch::Watch& state = support::FreshWatch();
    state.dialTarget = winkit::HandleToInt(client.dialButton);
    state.countdownStep = 1;
    support::PumpFor(1500);
    const int clicksBefore = support::ClickCount(client);
    const double before = WorkingSet(GetCurrentProcess());
    const double dirtyBefore = PrivateDirtyBytes("self");

    void (*const handlers[])(watch::Watch&, const ui::EventArgs&) = {watch::WatchTick, watch::CountdownTick, watch::PromptTick};
    double elapsed[3] = {};
    const ui::EventArgs none;
    for (int h = 0; h < 3; ++h) {
        const support::Stopwatch watch;
        for (int i = 0; i < count; ++i) {
            handlers[h](state, none);
            app::ProcessPendingEvents();
        }
        elapsed[h] = watch.Elapsed() / 1000;
    }
    // A few ticks that find a prompt and answer it.
    const int kAnswered = 20;
    support::RaisePrompt(client, L"提示", zorvic::kPromptStaysOpen);
    for (int i = 0; i < kAnswered; ++i) {
        watch::PromptTick(state, none);
        app::ProcessPendingEvents();
    }
    support::PumpFor(500);
    const double after = WorkingSet(GetCurrentProcess());
    const double dirtyAfter = PrivateDirtyBytes("self");
    support::PumpUntil([&] { return support::ClickCount(client) - clicksBefore >= count; }, 10000);
    const int clicks = support::ClickCount(client) - clicksBefore;
    const int answered = support::ButtonAnswerCount(client);
    support::SetLinkState(true);
    support::StopClient(client);

    std::printf("%d calls of each handler: watch tick %.2f ms, countdown tick %.2f ms, prompt tick %.2f ms each "
                "(%d clicks reached the client); then %d prompt ticks that answer a prompt (%d answers)\n",
                count, elapsed[0] * 1000 / count, elapsed[1] * 1000 / count, elapsed[2] * 1000 / count, clicks,
                kAnswered, answered);
    std::printf("working set %.2f MiB before, %.2f MiB after; private dirty pages %.2f MiB before, %.2f MiB after\n",
                before / kMiB, after / kMiB, dirtyBefore / kMiB, dirtyAfter / kMiB);
    std::printf("tick-memory %d %.0f %.0f %.0f %.0f\n", count, before, after, dirtyBefore, dirtyAfter);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int number = argc > 2 ? std::atoi(argv[2]) : 0;
    int status = 2;
    if (mode == "idle") {
        status = Idle(number > 0 ? number : 60);
    } else if (mode == "launch") {
        status = LaunchTimes(number > 0 ? number : 10);
    } else if (mode == "drop") {
        status = Drop(number > 0 ? number : 10);
    } else if (mode == "prompt") {
        status = Prompt(number > 0 ? number : 10);
    } else if (mode == "ticks") {
        status = Ticks(number > 0 ? number : 10000);
    } else {
        std::printf("usage: program_bench.exe idle [seconds] | launch [count] | ticks [count] | drop [trials] | prompt [trials]\n");
    }
    std::fflush(stdout);
    // The main window of the ticks mode goes with the process.
    ExitProcess(static_cast<UINT>(status));
}
