#include "platform/launcher_window.h"

// Before X11's headers, whose None is a macro.
#include "platform/game_controller.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <cstdio>
#include <vector>

const char* const LauncherResolutionItems[LauncherResolutionCount] = {"640x480", "800x600", "1024x800",
                                                                      "ScreenRez"};

namespace {

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
// The splash's bands: a divisor of the window's height.
constexpr int SplashBandHeight = 60;
static_assert(WindowHeight % SplashBandHeight == 0, "the bands cover the window exactly");

struct LauncherControls {
    Fl_Window* window;
    Fl_Choice* resolution;
    Fl_Check_Button* windowed;
    Fl_Check_Button* lights;
    Fl_Check_Button* music;
    Fl_Check_Button* joystick;
    Fl_Check_Button* hiQualTex;
    Fl_Check_Button* captions;
    bool started;
};

// FLTK ends the process when it cannot reach the display; check first so that a missing
// display is an ordinary failure.
bool OpenDisplay() {
    if (fl_display != nullptr) return true;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "The launcher cannot open the X display.\n");
        return false;
    }
    fl_open_display(display);
    return true;
}

Fl_Check_Button* CheckBox(int x, int w, const char* label, int value, int y = 0) {
    Fl_Check_Button* b = new Fl_Check_Button(x, y, w, 24, label);
    // An opaque strip like the classic dialog controls: readable over any picture.
    b->box(FL_FLAT_BOX);
    b->value(value != 0 ? 1 : 0);
    return b;
}

void OnStart(Fl_Widget*, void* data) {
    LauncherControls* c = static_cast<LauncherControls*>(data);
    c->started = true;
    c->window->hide();
}

// The close box (and Escape, FLTK's keyboard equivalent) ends the launcher without Start.
void OnClose(Fl_Widget*, void* data) {
    LauncherControls* c = static_cast<LauncherControls*>(data);
    c->window->hide();
}

}  // namespace

bool PlatformRunLauncher(const char* title, LauncherChoices& choices, const uint8_t* splash, int width,
                         int height) {
    if (!OpenDisplay()) return false;

    LauncherControls c{};
    c.window = new Fl_Window(WindowWidth, WindowHeight, title);
    c.window->begin();

    // The splash, converted to RGB and stretched to the whole client area. It is shown as
    // horizontal bands: FLTK converts an image for the display through a buffer as large as
    // the image, which it keeps for the rest of the process, so a band's size (150 KB)
    // instead of the whole picture's (1.2 MB) stays in memory while the game plays.
    Fl_Box* background = new Fl_Box(0, 0, WindowWidth, WindowHeight);
    background->box(FL_FLAT_BOX);
    background->color(FL_BACKGROUND2_COLOR);
    Fl_Image* stretched = nullptr;
    std::vector<Fl_RGB_Image*> bands;
    std::vector<uint8_t> rgb;
    if (splash != nullptr && width > 0 && height > 0) {
        size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        rgb.resize(count * 3);
        for (size_t i = 0; i < count; ++i) {
            rgb[3 * i + 0] = splash[4 * i + 2];
            rgb[3 * i + 1] = splash[4 * i + 1];
            rgb[3 * i + 2] = splash[4 * i + 0];
        }
        Fl_RGB_Image source(rgb.data(), width, height, 3);
        stretched = source.copy(WindowWidth, WindowHeight);
        const uchar* pixels =
            stretched->data() != nullptr ? reinterpret_cast<const uchar*>(stretched->data()[0]) : nullptr;
        if (pixels != nullptr && stretched->w() == WindowWidth && stretched->h() == WindowHeight) {
            for (int top = 0; top < WindowHeight; top += SplashBandHeight) {
                const uchar* rows = pixels + static_cast<size_t>(top) * WindowWidth * 3;
                Fl_RGB_Image* band = new Fl_RGB_Image(rows, WindowWidth, SplashBandHeight, 3);
                bands.push_back(band);
                Fl_Box* strip = new Fl_Box(0, top, WindowWidth, SplashBandHeight);
                strip->box(FL_FLAT_BOX);
                strip->color(FL_BACKGROUND2_COLOR);
                strip->image(band);
                strip->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER);
            }
        } else {
            background->image(stretched);
            background->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER);
        }
    }

    Fl_Box* rez = new Fl_Box(0, 0, 32, 24, "Rez");
    rez->box(FL_FLAT_BOX);
    rez->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);

    c.resolution = new Fl_Choice(32, 0, 96, 24);
    for (int i = 0; i < LauncherResolutionCount; ++i) c.resolution->add(LauncherResolutionItems[i]);
    // An index the list does not hold shows no item.
    if (choices.resolution >= 0 && choices.resolution < LauncherResolutionCount)
        c.resolution->value(choices.resolution);
    else
        c.resolution->value(static_cast<const Fl_Menu_Item*>(nullptr));

    c.windowed = CheckBox(128, 96, "Windowed", choices.windowed);
    c.lights = CheckBox(224, 96, "Lights", choices.lights);
    c.music = CheckBox(320, 96, "Music", choices.music);
    c.joystick = CheckBox(416, 96, "Joystick", choices.joystick);
    c.hiQualTex = CheckBox(512, 128, "HiQTexture", choices.hiQualTex);
    // The top strip is full at 640 wide: the captions' tick opens a second row, under "Rez".
    c.captions = CheckBox(0, 96, "Captions", choices.captions, 24);

    Fl_Button* start = new Fl_Button(564, 416, 64, 32, "&Start");
    start->shortcut(FL_ALT + 's');
    start->callback(OnStart, &c);

    c.window->end();
    c.window->callback(OnClose, &c);
    c.window->show();
    while (c.window->shown()) {
        // FLTK sees no pad: look at it between the window's events, often enough that a
        // press of A or Back answers at once.
        Fl::wait(0.05);
        PadCommand pad = PlatformLauncherPadCommand();
        if (pad == PadCommand::Start && c.window->shown()) OnStart(nullptr, &c);
        if (pad == PadCommand::Quit && c.window->shown()) OnClose(nullptr, &c);
    }

    if (c.started) {
        choices.resolution = c.resolution->value();
        choices.windowed = c.windowed->value() != 0 ? 1 : 0;
        choices.lights = c.lights->value() != 0 ? 1 : 0;
        choices.music = c.music->value() != 0 ? 1 : 0;
        choices.joystick = c.joystick->value() != 0 ? 1 : 0;
        choices.hiQualTex = c.hiQualTex->value() != 0 ? 1 : 0;
        choices.captions = c.captions->value() != 0 ? 1 : 0;
    }
    delete c.window;  // deletes the controls with it
    for (Fl_RGB_Image* band : bands) delete band;
    delete stretched;
    // Let the server see the window go before the game window opens.
    Fl::check();
    if (fl_display != nullptr) XSync(fl_display, False);
    return c.started;
}
