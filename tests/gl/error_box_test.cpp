// The ERROR box as a player meets it: drawn by the launcher's toolkit on the test display
// (whose X server has only its own core fonts), over the game window that holds the
// pointer; a click on its button closes it and the game goes on. The screen with the box
// is kept in artifacts/error-box/.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/game_app.h"
#include "app/game_window.h"
#include "core/services.h"
#include "platform/input_event.h"
#include "platform/window.h"
#include "support/temp_dir.h"
#include "support/x_driver.h"

namespace {

struct ErrorBox : ::testing::Test {
    TempDir media;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        SetMediaFolderOverride(media.path.c_str());
        App = GameApp{};
    }
    // A failed test must not leave a window holding the pointer for the tests after it.
    void TearDown() override {
        DestroyGLWindow();
        App = GameApp{};
        SetMediaFolderOverride(nullptr);
    }
};

}  // namespace

TEST_F(ErrorBox, ShowsOverTheGameWindowAndAClickOnItsButtonLetsTheGameGoOn) {
    ASSERT_TRUE(CreateGLWindow());  // windowed: the pointer is confined to the game window
    // The game window gets the keyboard, as a window manager gives it, and with it takes the
    // pointer: sent to the far corner of the screen, the pointer stays inside the window.
    const pid_t focus = StartDriver(
        "W=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kelvane$' | head -1); "
        "[ -n \"$W\" ] || exit 1; timeout 5 xdotool windowfocus --sync $W; sleep 0.5; "
        "eval $(xdotool getwindowgeometry --shell $W); R=$((X + WIDTH)); B=$((Y + HEIGHT)); "
        "xdotool mousemove 1279 1023; sleep 0.2; eval $(xdotool getmouselocation --shell); "
        "[ $X -lt $R ] && [ $Y -lt $B ] || exit 4");
    int focusStatus = -1;
    for (int waited = 0; waited < 30000 && waitpid(focus, &focusStatus, WNOHANG) == 0; waited += 10) {
        InputEvent event;
        while (PlatformPollEvent(event)) {
        }
        usleep(10 * 1000);
    }
    ASSERT_TRUE(WIFEXITED(focusStatus) && WEXITSTATUS(focusStatus) == 0)
        << "the game window did not take the pointer (status " << focusStatus << ")";

    const std::string artefacts = std::filesystem::absolute("artifacts/error-box").string();
    std::filesystem::create_directories(artefacts);
    const std::string shot = artefacts + "/error-box.png";
    std::filesystem::remove(shot);
    // Waits for the box, keeps the screen, clicks the button (FLTK puts it in the box's
    // bottom-right corner) and waits for the box to go. A click that does not reach the
    // button fails the test; Return then closes the box so that the test ends.
    const pid_t driver = StartDriver(
        "W=$(timeout 20 xdotool search --sync --onlyvisible --name '^ERROR$' | head -1); "
        "[ -n \"$W\" ] || exit 1; sleep 0.5; "
        "import -window root '" + shot + "' || exit 2; "
        "eval $(xdotool getwindowgeometry --shell $W); "
        "xdotool mousemove --window $W $((WIDTH - 50)) $((HEIGHT - 20)) click 1; "
        "gone() { [ -z \"$(xdotool search --onlyvisible --name '^ERROR$')\" ]; }; "
        "for i in $(seq 30); do gone && exit 0; sleep 0.1; done; "
        "timeout 5 xdotool windowfocus --sync $W; xdotool key Return; exit 3");
    const std::string path = media.File("hangar.a3f");
    ShowError("Could not open file:", path.c_str());
    EXPECT_EQ(StopDriver(driver, true), 0) << "exit 1: no box titled ERROR; 2: no screenshot; 3: the click did not close it";
    EXPECT_TRUE(std::filesystem::exists(shot));

    // The game goes on: its window draws the next frame.
    glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 128);
    PlatformSwapWindow(App.window);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
