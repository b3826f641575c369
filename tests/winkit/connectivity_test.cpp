#include "winkit/connectivity.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>

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

}  // namespace
