#include <gtest/gtest.h>

#include "config/switches.h"
#include "config/trace.h"
#include "support/app_test_util.h"
#include "support/fake_host.h"

using namespace apptest;

namespace {

// The trace state is program-wide; each test starts from the state of a
// fresh run.
struct TraceTest : testing::Test {
    FakeHost host;
    std::filesystem::path dir;
    std::filesystem::path file;

    void SetUp() override {
        TheTrace() = TraceState{};
        dir = FreshFolder();
        file = dir / "trace.txt";
        SetTraceTarget(dir.string(), &host);
    }
    void TearDown() override { TheTrace() = TraceState{}; }
};

}  // namespace

TEST(TraceLine, IntervalInSixColumnsOrWider) {
    EXPECT_EQ(FormatTraceLine(0, "x"), "     0 x\n");
    EXPECT_EQ(FormatTraceLine(7, "MYBIT::Hosei(FALSE-1)"), "     7 MYBIT::Hosei(FALSE-1)\n");
    EXPECT_EQ(FormatTraceLine(999999, "x"), "999999 x\n");
    EXPECT_EQ(FormatTraceLine(1000000, "x"), "1000000 x\n");
    // Never negative, however long the pause.
    EXPECT_EQ(FormatTraceLine(0x80000000u, "x"), "2147483648 x\n");
    EXPECT_EQ(FormatTraceLine(0xFFFFFFFFu, ""), "4294967295 \n");
}

TEST_F(TraceTest, OffWritesNothingAndLeavesTheOldFile) {
    WriteBytes(file, {'o', 'l', 'd', '\n'});
    TraceWrite("ignored");
    EXPECT_EQ(ReadText(file), "old\n");

    std::filesystem::remove(file);
    TraceWrite("ignored");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(TraceTest, FirstLineReplacesLastRunsFileAndLaterLinesAppend) {
    WriteBytes(file, {'o', 'l', 'd', '\n'});
    ToggleTrace();
    TraceWrite("MYBIT::DIsplay(1) x=0 y=0 w=640 h=480");
    host.Advance(25);
    TraceWrite("second");
    EXPECT_EQ(ReadText(file), "     0 MYBIT::DIsplay(1) x=0 y=0 w=640 h=480\n    25 second\n");

    // Off and on again within the run: the same file, and the first line
    // after the pause shows the whole pause.
    ToggleTrace();
    host.Advance(500);
    TraceWrite("while off");
    ToggleTrace();
    host.Advance(1234067);
    TraceWrite("after the pause");
    EXPECT_EQ(ReadText(file),
              "     0 MYBIT::DIsplay(1) x=0 y=0 w=640 h=480\n    25 second\n1234567 after the pause\n");
}

TEST_F(TraceTest, TickCountWrapNeitherRestartsTheFileNorGoesNegative) {
    host.tick = 0xFFFFFFF0u;
    ToggleTrace();
    TraceWrite("before");
    host.Advance(0x10);  // the tick count is now exactly 0
    TraceWrite("at zero");
    host.Advance(5);
    TraceWrite("after");
    EXPECT_EQ(ReadText(file), "     0 before\n    16 at zero\n     5 after\n");
}

TEST_F(TraceTest, TextIsWrittenInCodePage932) {
    ToggleTrace();
    TraceWrite("ﾋﾟｰｽ数");
    EXPECT_EQ(ReadText(file), "     0 \xCB\xDF\xB0\xBD\x90\x94\n");
}

TEST_F(TraceTest, AFileThatCannotBeOpenedLosesTheLineQuietly) {
    SetTraceTarget((dir / "missing").string(), &host);
    ToggleTrace();
    TraceWrite("lost");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    // Without a clock nothing is written either.
    SetTraceTarget(dir.string(), nullptr);
    TraceWrite("lost too");
    EXPECT_FALSE(std::filesystem::exists(file));
}

// F9 confirms each switch in a box of its own: caption "pukko", OK, no owner.
TEST_F(TraceTest, F9SwitchesTracingAndSaysSo) {
    SwitchTrace(host);
    EXPECT_EQ(TheTrace().on, 1);
    SwitchTrace(host);
    EXPECT_EQ(TheTrace().on, 0);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "trace on");
    EXPECT_EQ(host.boxes[1].text, "trace off");
    for (const FakeHost::Box& b : host.boxes) {
        EXPECT_EQ(b.caption, "pukko");
        EXPECT_EQ(b.flags, kMbOk);
        EXPECT_EQ(b.owner, Owner::kNone);
    }
    // Switching alone writes no file.
    EXPECT_FALSE(std::filesystem::exists(file));
}
