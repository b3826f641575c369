#include "winkit/connectivity.h"

#include "tests/support/fake_network_list.h"
#include "tests/winkit/probe.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>

namespace {

using winkit::Connectivity;

TEST(InternetConnectivity, ReadsTheInternetFlagsAndReleasesTheManager) {
    support::FakeNetworkList manager;
    const struct {
        int flags;
        HRESULT result;
        Connectivity expected;
    } cases[] = {
        {NLM_CONNECTIVITY_IPV4_INTERNET, S_OK, Connectivity::kInternet},
        {NLM_CONNECTIVITY_IPV6_INTERNET | NLM_CONNECTIVITY_IPV4_LOCALNETWORK, S_OK, Connectivity::kInternet},
        {NLM_CONNECTIVITY_IPV4_LOCALNETWORK | NLM_CONNECTIVITY_IPV6_SUBNET | NLM_CONNECTIVITY_IPV4_NOTRAFFIC, S_OK,
         Connectivity::kNoInternet},
        {NLM_CONNECTIVITY_DISCONNECTED, S_OK, Connectivity::kNoInternet},
        // An answer that is not a plain S_OK is no answer.
        {NLM_CONNECTIVITY_DISCONNECTED, E_FAIL, Connectivity::kUnknown},
        {NLM_CONNECTIVITY_DISCONNECTED, S_FALSE, Connectivity::kUnknown},
    };
    for (const auto& c : cases) {
        manager.Answer(c.flags, c.result);
        EXPECT_EQ(winkit::InternetConnectivity(), c.expected) << std::hex << c.flags << " " << c.result;
    }
    manager.NoManager();
    EXPECT_EQ(winkit::InternetConnectivity(), Connectivity::kUnknown);
    EXPECT_EQ(manager.created(), 6);
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
    EXPECT_EQ(manager.wrongIds(), 0);
}

// Wine's own manager (netprofm) reports Internet when any adapter has a
// gateway, without sending anything; either answer will do here. kUnknown
// would mean the class, the interface or the call is wrong.
TEST(InternetConnectivity, WinesOwnManagerAnswers) {
    const HRESULT ole = OleInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(ole));
    const Connectivity answer = winkit::InternetConnectivity();
    OleUninitialize();
    EXPECT_NE(answer, Connectivity::kUnknown);
    std::printf("Wine's Network List Manager: %s\n", answer == Connectivity::kInternet ? "Internet" : "no Internet");
}

}  // namespace
