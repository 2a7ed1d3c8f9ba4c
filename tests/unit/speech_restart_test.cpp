// The speech engine started again in one process (a second asset load in a tool, a
// benchmark reopening the game) must start or fail at once, never wait forever inside the
// speech library: it used to hang when the previous run had spoken nothing.
#include <gtest/gtest.h>

#include <atomic>

#include "speech/speech.h"

namespace {
std::atomic<long> samplesHeard{0};
void Count(void*, uint32_t, const int16_t*, int count) { samplesHeard += count; }
}  // namespace

TEST(SpeechRestart, ASecondStartAfterAFailedOneFailsAtOnce) {
    // The unit tests run with SDL's dummy audio driver: the voice has no output device.
    EXPECT_FALSE(InitSpeech());
    EXPECT_FALSE(InitSpeech());
    EXPECT_EQ(SpeakText(L"Nobody hears this."), 1);  // not ready
    ShutdownSpeech();
}

TEST(SpeechRestart, StartsAgainAfterARunThatSpokeNothing) {
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(InitSpeechToSink(Count, nullptr)) << "run " << run;
        ShutdownSpeech();
    }
    ASSERT_TRUE(InitSpeechToSink(Count, nullptr));
    samplesHeard = 0;
    ASSERT_EQ(SpeakText(L"Return to base."), 0);
    WaitForSpeechQueue();
    ShutdownSpeech();
    EXPECT_GT(samplesHeard.load(), 2000) << "the restarted engine speaks";
}
