// The verdict of a watch tick when the system's link test says connected but
// the Network List Manager may know better: the pure fold, then the watch tick
// on the real main window with a fake manager, the stand-in wininet and the
// stand-in client counting clicks.
#include "tests/support/fake_network_list.h"
#include "tests/support/pump.h"
#include "tests/support/standin.h"
#include "ui/props.h"
#include "watch/link_verdict.h"
#include "watch/watch.h"
#include "winkit/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ui::kMainForm;
using winkit::Connectivity;

// Ticks: 'x' link test down; with the link test connected, the manager's
// answer 'i' Internet, 'n' no Internet, '?' unknown.
// Verdicts: 'u' up, 'D' down and click, 'd' down without a click.
std::string Judge(const std::string& ticks) {
    watch::LinkMemory memory;
    std::string verdicts;
    for (char tick : ticks) {
        const Connectivity internet = tick == 'i'   ? Connectivity::kInternet
                                      : tick == 'n' ? Connectivity::kNoInternet
                                                    : Connectivity::kUnknown;
        const watch::LinkVerdict verdict = watch::JudgeLink(memory, tick != 'x', internet);
        EXPECT_TRUE(verdict.down || !verdict.click) << ticks << ": a click while up";
        verdicts += !verdict.down ? 'u' : verdict.click ? 'D' : 'd';
    }
    return verdicts;
}

TEST(LinkVerdict, TheManagerDecidesOnlyAfterConfirmingAndTwoLostTicks) {
    const struct {
        const char* ticks;
        const char* verdicts;
        const char* why;
    } cases[] = {
        {"xxx", "DDD", "the link test's down clicks every tick, confirmed or not"},
        {"nnnn?", "uuuuu", "never confirmed: the link test's verdict stands"},
        {"inin", "uuuu", "one lost tick at a time is never down"},
        {"inni", "uuDu", "two lost ticks click once; Internet again is up"},
        {"innnnnn", "uuDdDdD", "a long loss clicks every second tick"},
        {"in?n", "uuuu", "an unknown answer breaks the run"},
        {"inxn", "uuDu", "so does a tick the link test decided"},
        {"innxnn", "uuDDuD", "the confirmation outlives the redials"},
        {"nn?inn", "uuuuuD", "confirmed late, then lost"},
    };
    for (const auto& c : cases) EXPECT_EQ(Judge(c.ticks), c.verdicts) << c.ticks << ": " << c.why;
}

std::string Caption(const char* unit) { return ui::GetCaption(kMainForm, unit); }

class WatchWithManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(support::LoadMainFormWithClient(client)); }
    static void TearDownTestSuite() { support::UnloadMainFormWithClient(client); }
    void SetUp() override {
        ASSERT_TRUE(client.dialButton) << "the client did not start";
        watch::redialCount = 0;
        ui::SetContent(kMainForm, "编辑框1", winkit::FormatDecimal(winkit::HandleToInt(client.dialButton)));
        watch::Start(ui::EventArgs());
        // The ticks are driven by hand.
        watch::Stop(ui::EventArgs());
        standin::SetLinkState(true);
        clicksBefore = standin::ClickCount(client);
    }
    void TearDown() override {
        standin::SetLinkState(true);
        watch::linkMemory = watch::LinkMemory();
    }

    // One watch tick; the clicks the client has counted since SetUp.
    int Tick() {
        watch::WatchTick(ui::EventArgs());
        support::PumpFor(50);
        return standin::ClickCount(client) - clicksBefore;
    }

    static standin::Client client;
    support::FakeNetworkList manager;
    int clicksBefore = 0;
};
standin::Client WatchWithManager::client;

TEST_F(WatchWithManager, ConfirmedThenLostClicksOnTheSecondTickOnly) {
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV4_LOCALNETWORK);
    EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(Caption("标签2"), "联网呢");

    manager.Answer(NLM_CONNECTIVITY_IPV4_LOCALNETWORK);
    EXPECT_EQ(Tick(), 0) << "one lost tick";
    EXPECT_EQ(Caption("标签2"), "联网呢");
    EXPECT_EQ(Caption("标签3"), "");

    EXPECT_EQ(Tick(), 1) << "two lost ticks";
    EXPECT_EQ(Caption("标签2"), "断网了");
    EXPECT_EQ(Caption("标签3"), "已拔1次");

    manager.Answer(NLM_CONNECTIVITY_IPV6_INTERNET);
    EXPECT_EQ(Tick(), 1) << "regained";
    EXPECT_EQ(Caption("标签2"), "联网呢");
    EXPECT_EQ(Caption("标签3"), "已拔1次");

    EXPECT_EQ(manager.created(), 4);
    EXPECT_EQ(manager.asked(), 4);
    EXPECT_EQ(manager.alive(), 0) << "every manager is released";
    EXPECT_EQ(manager.wrongIds(), 0);
}

TEST_F(WatchWithManager, UnconfirmedOrAbsentManagerKeepsTheLinkTestsVerdict) {
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "a manager that never reports Internet" : "no manager");
        SetUp();
        if (present) manager.Answer(NLM_CONNECTIVITY_DISCONNECTED);
        else manager.NoManager();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Tick(), 0);
        EXPECT_EQ(Caption("标签2"), "联网呢");
        standin::SetLinkState(false);
        EXPECT_EQ(Tick(), 1);
        EXPECT_EQ(Caption("标签2"), "断网了");
        EXPECT_EQ(Caption("标签3"), "已拔1次");
    }
    EXPECT_EQ(manager.alive(), 0);
}

TEST_F(WatchWithManager, StartForgetsTheConfirmation) {
    manager.Answer(NLM_CONNECTIVITY_IPV4_INTERNET);
    Tick();
    manager.Answer(NLM_CONNECTIVITY_IPV4_LOCALNETWORK);
    Tick();
    watch::Start(ui::EventArgs());
    watch::Stop(ui::EventArgs());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(Caption("标签2"), "联网呢");
}

}  // namespace
