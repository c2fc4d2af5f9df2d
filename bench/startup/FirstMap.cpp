// Starts a program and prints, in milliseconds, the time from its start to the moment the X
// server maps its first window; then ends the program. Used by the start-up benchmark on a
// private X server where nothing else maps windows.
//
//   first_map PROGRAM [ARG ...]
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fputs("usage: first_map PROGRAM [ARG ...]\n", stderr);
        return 2;
    }
    // A server started just before may not accept connections yet.
    Display *display = nullptr;
    for (int attempt = 0; attempt < 100 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display)
            usleep(50000);
    }
    if (!display) {
        std::fputs("first_map: cannot open the X display\n", stderr);
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0)
        return 1;

    const int fd = ConnectionNumber(display);
    int status = 0;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                std::printf("%.1f\n", nowMs() - start);
                kill(child, SIGTERM);
                waitpid(child, &status, 0);
                return 0;
            }
        }
        // The program ended without ever mapping a window.
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fputs("first_map: the program ended without a window\n", stderr);
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 20000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
}
