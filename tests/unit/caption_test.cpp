#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/game_app.h"
#include "sim/captions.h"
#include "speech/speech.h"

namespace {

// Hands the samples on at four times the speed they would play at, so the captions can
// be watched following a voice without a sound device.
void PacedSink(void*, uint32_t, const int16_t*, int count) {
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(count) * 1000000 / (4 * 22050)));
}

// Steps the captions every 10 ms of wall time until none is left (or 20 s), listing each
// caption as it came up.
std::vector<std::string> Watch() {
    std::vector<std::string> seen;
    for (int step = 0; step < 2000; ++step) {
        UpdateCaptions(0.01f);
        if (!Captions.shown.empty() && (seen.empty() || seen.back() != Captions.shown)) seen.push_back(Captions.shown);
        if (Captions.queued.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return seen;
}

struct CaptionTest : testing::Test {
    void SetUp() override {
        App = GameApp{};
        ClearCaptions();
    }
    void TearDown() override {
        ShutdownSpeech();
        ClearCaptions();
        App = GameApp{};
    }
};

}  // namespace

TEST_F(CaptionTest, EachStretchIsShownWhileItIsSpokenThenTheLastFades) {
    ASSERT_TRUE(InitSpeechToSink(PacedSink, nullptr));
    // The first text is spoken while the second waits its turn in the queue.
    SpeakWithCaptions(L"Welcome to the war. \t\tShoot down the zeppelin.", 16.0f, "F1: controls");
    SpeakWithCaptions(L"Sorry Osbert. \t\t\t\t\t Feel free to try again.", 25.0f);
    EXPECT_EQ(Watch(), (std::vector<std::string>{"Welcome to the war.\nF1: controls", "Shoot down the zeppelin.",
                                                  "Sorry Osbert.", "Feel free to try again."}));
    EXPECT_TRUE(Captions.shown.empty());
}
