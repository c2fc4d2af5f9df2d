// Starts a program and prints, in milliseconds, the time from its start to the moment the X
// server maps its first window; then ends the program. Used by the start-up benchmark on a
// private X server where nothing else maps windows.
//
//   first_map [--frame PROBE.so] PROGRAM [ARG ...]
//
// With --frame the program runs with the probe library loaded (libfirst_frame.so), and the
// time to its first drawn frame, the first pixels it sends to the X server, follows on the
// same line.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
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

// The time the probe wrote into `file`, once it is there; a negative value after five seconds.
double frameTime(const std::string &file)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (FILE *f = std::fopen(file.c_str(), "r")) {
            double ms = -1;
            const bool read = std::fscanf(f, "%lf", &ms) == 1;
            std::fclose(f);
            if (read)
                return ms;
        }
        usleep(10000);
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *probe = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--frame") == 0) {
        probe = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) {
        std::fputs("usage: first_map [--frame PROBE.so] PROGRAM [ARG ...]\n", stderr);
        return 2;
    }
    // The probe writes the time of the first frame into a file of its own.
    std::string frameFile;
    if (probe) {
        char name[] = "/tmp/first_frame_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) {
            std::perror("first_map");
            return 1;
        }
        close(fd);
        frameFile = name;
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
        if (probe) {
            setenv("LD_PRELOAD", probe, 1);
            setenv("FIRST_FRAME_FILE", frameFile.c_str(), 1);
        }
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
                const double mapped = nowMs() - start;
                if (probe) {
                    const double frame = frameTime(frameFile);
                    std::remove(frameFile.c_str());
                    if (frame < 0) {
                        std::fputs("first_map: the program drew no frame\n", stderr);
                        kill(child, SIGTERM);
                        waitpid(child, &status, 0);
                        return 1;
                    }
                    std::printf("%.1f %.1f\n", mapped, frame - start);
                } else {
                    std::printf("%.1f\n", mapped);
                }
                kill(child, SIGTERM);
                waitpid(child, &status, 0);
                return 0;
            }
        }
        // The program ended without ever mapping a window.
        if (waitpid(child, &status, WNOHANG) == child) {
            if (probe)
                std::remove(frameFile.c_str());
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
