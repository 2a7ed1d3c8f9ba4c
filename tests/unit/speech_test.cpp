#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "speech/speech.h"

namespace {

// Collects what the engine delivers, in the order it delivers it.
struct Capture {
    std::mutex mutex;
    std::vector<uint32_t> chunkTexts;  // the text of each chunk of samples
    std::vector<uint32_t> finished;    // texts in the order they ended
    std::vector<long> samplesPerText = std::vector<long>(16, 0);
    int peak = 0;

    static void Sink(void* user, uint32_t textId, const int16_t* samples, int count) {
        auto* self = static_cast<Capture*>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        if (count == 0) {
            self->finished.push_back(textId);
            return;
        }
        self->chunkTexts.push_back(textId);
        if (textId < self->samplesPerText.size()) self->samplesPerText[textId] += count;
        for (int i = 0; i < count; ++i) self->peak = std::max(self->peak, std::abs(static_cast<int>(samples[i])));
    }
    long Total() {
        std::lock_guard<std::mutex> lock(mutex);
        long total = 0;
        for (long n : samplesPerText) total += n;
        return total;
    }
};

// Speaks the texts through a fresh engine and waits for all of them.
void SpeakAll(Capture& capture, const std::vector<const wchar_t*>& texts) {
    ASSERT_TRUE(InitSpeechToSink(Capture::Sink, &capture));
    for (const wchar_t* text : texts) ASSERT_EQ(SpeakText(text), 0);
    WaitForSpeechQueue();
    ShutdownSpeech();
}

const wchar_t* const Briefing =
    L"Welcome to World War One. Tarnwick hopes you enjoy your stay. \t\tYou must shoot down the German "
    L"zeppelin before it can spy on your secret air base. \t\tThen return to the hangar for further "
    L"instructions.";

}  // namespace

TEST(SpeechMarkup, TabsBecomePausesAndMarkupCharactersStayText) {
    EXPECT_EQ(SpeechMarkup(L"One.\t\tTwo.\tThree."), L"One.<break time=\"500ms\"/>Two.<break time=\"250ms\"/>Three.");
    EXPECT_EQ(SpeechMarkup(std::wstring(100, L'\t').c_str()), L"<break time=\"10000ms\"/>");
    EXPECT_EQ(SpeechMarkup(L"a < b & c > d"), L"a &lt; b &amp; c &gt; d");
    EXPECT_EQ(SpeechMarkup(L"family's \"name\""), L"family's \"name\"");
    EXPECT_EQ(SpeechMarkup(nullptr), L"");
}

TEST(Speech, NotReadyIgnoresTexts) {
    ASSERT_FALSE(Speech.ready);
    EXPECT_EQ(SpeakText(L"Hello."), 1);
    ShutdownSpeech();  // harmless when never started
    EXPECT_EQ(SpeakText(L"Hello."), 1);
}

TEST(Speech, StartingOnTheAudioOutputIsQuietAndFailureLeavesItOff) {
    // Headless (SDL's dummy driver under CTest) there is no output to speak on: speech stays
    // off without a word on stderr. With a sound card it starts, just as quietly.
    testing::internal::CaptureStderr();
    bool started = InitSpeech();
    EXPECT_EQ(Speech.ready, started);
    EXPECT_EQ(SpeakText(L"Hello."), started ? 0 : 1);
    ShutdownSpeech();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(Speech.ready);
}

TEST(Speech, ATextProducesAudio) {
    Capture capture;
    SpeakAll(capture, {L"Sorry Osbert. You have died a horrible death."});
    // A few seconds of voice at the engine's rate, clearly above silence.
    EXPECT_GT(capture.Total(), 22050);
    EXPECT_GT(capture.peak, 1000);
    EXPECT_EQ(capture.finished, std::vector<uint32_t>{1});
    EXPECT_FALSE(Speech.ready);
    EXPECT_EQ(SpeakText(L"After shutdown."), 1);
}

TEST(Speech, TwoTextsComeOutInOrderWholeAndUnmixed) {
    const wchar_t* second = L"Then return to base for your next mission. If you dare.";
    Capture alone;
    SpeakAll(alone, {Briefing});
    long briefingAlone = alone.samplesPerText[1];
    ASSERT_GT(briefingAlone, 0);

    Capture both;
    SpeakAll(both, {Briefing, second});
    EXPECT_EQ(both.finished, (std::vector<uint32_t>{1, 2}));
    // Every chunk of the first text comes before any chunk of the second.
    ASSERT_FALSE(both.chunkTexts.empty());
    bool secondStarted = false;
    for (uint32_t id : both.chunkTexts) {
        if (id == 2) secondStarted = true;
        EXPECT_FALSE(secondStarted && id == 1) << "the texts were mixed";
    }
    EXPECT_TRUE(secondStarted);
    // Queuing the second text did not cut the first one short (the engine's output varies
    // by a few hundred samples from run to run).
    EXPECT_NEAR(both.samplesPerText[1], briefingAlone, briefingAlone / 100);
    EXPECT_GT(both.samplesPerText[2], 0);
}

TEST(Speech, TabsArePauses) {
    Capture plain;
    SpeakAll(plain, {L"Here are a few hints. Listen for the enemy."});
    Capture tabbed;
    SpeakAll(tabbed, {L"Here are a few hints. \t\t\t\t\t Listen for the enemy."});
    // Five tabs make a pause of 1.25 s where the sentence's own pause was: about 0.9 s more
    // at 22050 samples per second.
    EXPECT_GT(tabbed.Total() - plain.Total(), 15000);
}

TEST(Speech, SpeakTextReturnsAtOnceAndShutdownSilencesTheQueue) {
    Capture capture;
    ASSERT_TRUE(InitSpeechToSink(Capture::Sink, &capture));
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(SpeakText(Briefing), 0);
    auto queued = std::chrono::steady_clock::now() - start;
    // Synthesising five briefings takes far longer than queuing them: the calls did not wait.
    EXPECT_LT(capture.Total(), 5 * 100000);
    ShutdownSpeech();
    long atShutdown = capture.Total();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(capture.Total(), atShutdown);
    EXPECT_LT(capture.finished.size(), 5u);
    EXPECT_LT(std::chrono::duration<double>(queued).count(), 0.5);
}
