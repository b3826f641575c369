// A stand-in for the system's Network List Manager in in-process tests. While
// a FakeNetworkList lives, the system-function table's CoCreateInstance entry
// creates fake managers whose GetConnectivity answers what the test set, or
// fails as on a system without the manager. Their connection point takes
// sinks of INetworkListManagerEvents, which the test fires. One at a time.
//
// The watch's suites write runs of ticks: 'x' the link test down; with the link
// test connected, the manager says 'i' IPv4 Internet, '6' IPv6 Internet, 'n' local
// network only, '0' nothing, 'f' fails to answer, '-' is missing; 'S' is Start,
// not a tick; a tick brought forward by a notice is 'e' with the link test
// connected (the manager is not asked), 'E' with it down. Verdicts: 'u' 联网呢,
// 'D' 断网了 and a click, 'd' 断网了 without one.
#pragma once

#include "tests/support/probe.h"
#include "winkit/connectivity.h"

#include <windows.h>
#include <netlistmgr.h>

namespace support {

class FakeNetworkList {
public:
    FakeNetworkList();  // no manager until Answer is called
    ~FakeNetworkList();
    FakeNetworkList(const FakeNetworkList&) = delete;
    FakeNetworkList& operator=(const FakeNetworkList&) = delete;

    // Creation fails with REGDB_E_CLASSNOTREG, as without the manager.
    void NoManager();
    // Creation succeeds; GetConnectivity returns result and, on S_OK, the flags.
    void Answer(int connectivity, HRESULT result = S_OK);
    // Answers as a tick of the notation above says.
    void AnswerAs(char tick);
    // Managers handed out and not yet released to their last reference.
    int alive() const;

    // Advise fails (CONNECT_E_CANNOTCONNECT), as a manager that takes no sink.
    void RefuseSinks();
    // Sinks advised and not yet unadvised.
    int advised() const;
    // Runs work (once at a time) inside each Advise and GetConnectivity, as a
    // manager in another process lets the thread's messages be dispatched
    // while it answers; null: nothing.
    void DuringCalls(void (*work)());
    // Calls ConnectivityChanged of every advised sink, on this thread, as COM
    // delivers it to a single-threaded apartment; also from the work inside a call.
    static void Fire(int connectivity = NLM_CONNECTIVITY_IPV4_LOCALNETWORK);

private:
    TableFake<sysfn::kCoCreateInstance> entry_;
};

inline winkit::Connectivity ManagerAnswer(char tick) {
    return tick == 'i' || tick == '6' ? winkit::Connectivity::kInternet
           : tick == 'n' || tick == '0' ? winkit::Connectivity::kNoInternet : winkit::Connectivity::kUnknown;
}

inline char VerdictLetter(bool down, bool click) { return !down ? 'u' : click ? 'D' : 'd'; }

}  // namespace support
