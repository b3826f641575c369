#include "sysfn/sysfn.h"
#include "tests/support/fake_network_list.h"
#include "tests/support/probe.h"
#include "tests/support/pump.h"
#include "winkit/connectivity.h"
#include "winkit/integrity.h"
#include "winkit/link_notices.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>
#include <thread>

namespace {

// Wine 8's own manager (netprofm) reports IPv4 Internet when any adapter has a
// gateway, from the adapter table, sending nothing; either answer will do.
// kUnknown would mean a wrong class, interface or call.
TEST(InternetConnectivity, WinesOwnManagerAnswers) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const winkit::Connectivity answer = winkit::InternetConnectivity();
    OleUninitialize();
    EXPECT_NE(answer, winkit::Connectivity::kUnknown);
    std::printf("Wine's Network List Manager: %s\n",
                answer == winkit::Connectivity::kInternet ? "Internet" : "no Internet");
}

// The shell asks its callers for a single-threaded apartment; a thread that
// has none is given one for the restart as administrator.
APTTYPE gApartment = APTTYPE_CURRENT;
HRESULT gApartmentRead = E_FAIL;
BOOL WINAPI SeeApartment(SHELLEXECUTEINFOW*) {
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    gApartmentRead = CoGetApartmentType(&gApartment, &qualifier);
    return TRUE;
}

TEST(ComApartment, IsUpWhenTheShellIsCalled) {
    support::TableFake<sysfn::kShellExecuteExW> shell(&SeeApartment);
    std::thread([] {
        winkit::RestartAsAdministrator(L"", nullptr);
        sysfn::EndComApartment();
    }).join();
    EXPECT_EQ(gApartmentRead, S_OK);
    EXPECT_EQ(gApartment, APTTYPE_STA);
}

// A manager may let messages be dispatched inside Advise, and a Start there
// advise in its turn: one advice stays, its notices arrive, and it ends whole.
HWND gNoticeWindow = nullptr;

TEST(LinkNotices, AnAdviceMadeInsideAdviseIsTheOneKept) {
    support::FakeNetworkList manager;
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
    gNoticeWindow = support::MakeWindow(L"NoticeProbe", L"", false);
    manager.DuringCalls([] { winkit::AdviseLinkNotices(gNoticeWindow, support::kProbeMessage); });
    EXPECT_TRUE(winkit::AdviseLinkNotices(gNoticeWindow, support::kProbeMessage));
    EXPECT_EQ(manager.advised(), 1);
    manager.Fire();
    support::PumpFor(50);
    EXPECT_EQ(support::CountsOf(gNoticeWindow).posted, 1);
    winkit::UnadviseLinkNotices();
    EXPECT_EQ(manager.advised(), 0);
    EXPECT_EQ(manager.alive(), 0) << "no manager is left behind";
    DestroyWindow(gNoticeWindow);
}

}  // namespace
