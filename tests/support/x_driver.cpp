#include "support/x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

Window FindWindow(Display* display, Window root, const char* title) {
    Window rootReturn, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            XWindowAttributes attributes;
            if (std::strcmp(name, title) == 0 && XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
        if (found == 0) found = FindWindow(display, children[i], title);
    }
    if (children != nullptr) XFree(children);
    return found;
}

// Windows of other programs come and go while the tree is walked.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

[[noreturn]] void CloseWhenShown(const std::string& title, int timeoutMs, const std::string& afterFile) {
    XSetErrorHandler(IgnoreXErrors);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) _exit(2);
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        Window w = FindWindow(display, DefaultRootWindow(display), title.c_str());
        if (w != 0 && (afterFile.empty() || access(afterFile.c_str(), F_OK) == 0)) {
            usleep(300 * 1000);  // let the program settle into its event loop
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = w;
            e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
            e.xclient.format = 32;
            e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
            e.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, w, False, NoEventMask, &e);
            XSync(display, False);
            XCloseDisplay(display);
            _exit(0);
        }
        usleep(50 * 1000);
    }
    XCloseDisplay(display);
    _exit(1);
}

}  // namespace

pid_t StartDriver(const std::string& script) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid > 0) setpgid(pid, pid);
    return pid;
}

int StopDriver(pid_t pid, bool waitForIt) {
    if (pid <= 0) return -1;
    int status = 0;
    if (!waitForIt) {
        kill(-pid, SIGTERM);
        waitpid(pid, &status, 0);
        return -1;
    }
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t StartCloser(const std::string& title, int timeoutMs, const std::string& afterFile) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        CloseWhenShown(title, timeoutMs, afterFile);
    }
    if (pid > 0) setpgid(pid, pid);
    return pid;
}

std::string UniqueTitle(const char* base) { return std::string(base) + " " + std::to_string(getpid()); }
