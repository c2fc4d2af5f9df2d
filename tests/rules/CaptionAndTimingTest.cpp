#include "rules/CaptionLines.h"
#include "rules/RunTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace jhk {
namespace {

// Every character (a code point) is `pixels` wide: the fitting's rules without a font.
class Monospace : public TextMeasure {
public:
    double width(std::string_view text, int pixels) const override
    {
        int characters = 0;
        for (const char c : text)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return characters * pixels;
    }
};

TEST(CaptionLines, OneLineTwoLinesOrTheSmallestFont)
{
    const Monospace measure;
    struct Case {
        std::string caption;
        double width, height;
        CaptionLines fitted;
    } cases[] = {
        {"購買可", 40, 20, {12, {"購買可"}}},                        // fits at the largest size
        {"購買可ランプ", 68, 20, {11, {"購買可ランプ"}}},            // a little smaller still one line
        {"購買可ランプ点灯", 60, 30, {12, {"購買可", "ランプ点灯"}}}, // where kanji turn to katakana
        {"ランプー", 30, 30, {12, {"ラン", "プー"}}},                 // never before the long-vowel mark
        {"（値段）の", 48, 30, {12, {"（値段）", "の"}}},             // nor after an opening bracket
        {"購買可ランプ点灯", 40, 10, {7, {"購買可ランプ点灯"}}},      // too low for two lines
    };
    for (const Case &c : cases)
        EXPECT_EQ(fitCaptionLines(c.caption, c.width, c.height, 12, measure), c.fitted) << c.caption;
}

class ManualClock : public RunClock {
public:
    std::vector<int> requests;
    bool active = false;
    void wakeAfter(int ms) override
    {
        requests.push_back(ms);
        active = true;
    }
    void cancel() override { active = false; }
    bool waiting() const override { return active; }
};

TEST(RunTiming, ResumesAreRequestsToTheClockAndWaitWhileAQuestionIsOpen)
{
    ManualClock clock;
    bool question = false;
    int resumed = 0;
    RunTiming timing(clock, [&] { return question; }, [&] { ++resumed; });
    timing.resumeAfter(300);
    EXPECT_TRUE(timing.pending());
    question = true;
    clock.active = false;
    timing.clockFired();
    EXPECT_EQ(resumed, 0);
    question = false;
    clock.active = false;
    timing.clockFired();
    EXPECT_EQ(resumed, 1);
    EXPECT_EQ(clock.requests, (std::vector<int>{300, RunTiming::HeldRetryMs}));
    timing.resumeAfter(10);
    timing.cancelResume();
    EXPECT_FALSE(timing.pending());
}

} // namespace
} // namespace jhk
