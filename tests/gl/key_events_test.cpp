// Keys as the window reports them, turned into the game's virtual-key codes: letters follow
// the keyboard layout, the digit row gives '0' to '9' on any layout, the keypad's digits
// work as digits, and keys the game has no code for are dropped.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "platform/input_event.h"

namespace {

struct KeyEvents : ::testing::Test {
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    // Queues one key event as a keyboard of some layout sends it, then reads what the game
    // sees of it.
    static InputEvent Press(SDL_Scancode scancode, SDL_Keycode sym, bool down = true) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = sym;
        EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        // SDL ends each round of polling with a marker of its own, and the display may queue
        // events of its own: read a few rounds, keep the first key.
        InputEvent event{};
        for (int i = 0; i < 16; ++i) {
            if (PlatformPollEvent(event) &&
                (event.type == InputEventType::KeyDown || event.type == InputEventType::KeyUp))
                return event;
        }
        return InputEvent{InputEventType::None, 0, 0, 0};
    }
};

}  // namespace

TEST_F(KeyEvents, TheDigitRowGivesDigitsOnEveryLayout) {
    // QWERTY: the row types digits.
    InputEvent e = Press(SDL_SCANCODE_9, SDLK_9);
    EXPECT_EQ(e.type, InputEventType::KeyDown);
    EXPECT_EQ(e.key, '9');
    // AZERTY: the same keys type & and à; the game still sees '1' and '0'.
    EXPECT_EQ(Press(SDL_SCANCODE_1, SDLK_AMPERSAND).key, '1');
    EXPECT_EQ(Press(SDL_SCANCODE_0, 0xE0).key, '0');
    EXPECT_EQ(Press(SDL_SCANCODE_8, SDLK_UNDERSCORE).key, '8');
    e = Press(SDL_SCANCODE_5, SDLK_LEFTPAREN, false);
    EXPECT_EQ(e.type, InputEventType::KeyUp);
    EXPECT_EQ(e.key, '5');
}

TEST_F(KeyEvents, LettersFollowTheLayoutAndTheKeypadGivesDigits) {
    // AZERTY's key where QWERTY has A types q: that is the game's Q (quit).
    EXPECT_EQ(Press(SDL_SCANCODE_A, SDLK_q).key, vk::Q);
    EXPECT_EQ(Press(SDL_SCANCODE_P, SDLK_p).key, vk::P);
    EXPECT_EQ(Press(SDL_SCANCODE_KP_5, SDLK_KP_5).key, '5');
    EXPECT_EQ(Press(SDL_SCANCODE_KP_0, SDLK_KP_0).key, '0');
    EXPECT_EQ(Press(SDL_SCANCODE_PAGEUP, SDLK_PAGEUP).key, vk::PageUp);
    EXPECT_EQ(Press(SDL_SCANCODE_SPACE, SDLK_SPACE).key, vk::Space);
    EXPECT_EQ(Press(SDL_SCANCODE_F1, SDLK_F1).key, vk::F1);  // the key card
}

TEST_F(KeyEvents, KeysWithoutACodeAreDropped) {
    InputEvent e = Press(SDL_SCANCODE_F2, SDLK_F2);
    EXPECT_EQ(e.type, InputEventType::None);
    e = Press(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
    EXPECT_EQ(e.type, InputEventType::None);
}
