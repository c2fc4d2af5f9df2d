// Loaded into a program by the start-up benchmark (LD_PRELOAD, see first_map --frame): the first
// time the program sends pixels to a window it has mapped, its first drawn frame, it writes the
// time on the monotonic clock in milliseconds to the file FIRST_FRAME_FILE names. (Pixels sent
// to pictures that are no window, such as a cursor's, do not count.) The calls themselves are
// passed on unchanged.
#include <xcb/xcb.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<bool> reported{false};
// The windows the program has mapped so far.
constexpr int MaxWindows = 32;
std::atomic<xcb_window_t> mapped[MaxWindows];
std::atomic<int> mappedCount{0};

bool isMapped(xcb_drawable_t drawable)
{
    const int count = mappedCount.load();
    for (int i = 0; i < count && i < MaxWindows; ++i)
        if (mapped[i].load() == drawable)
            return true;
    return false;
}

void report(xcb_connection_t *connection, xcb_drawable_t drawable)
{
    if (!isMapped(drawable) || reported.exchange(true))
        return;
    xcb_flush(connection);
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    const char *file = std::getenv("FIRST_FRAME_FILE");
    if (!file)
        return;
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.1f\n", t.tv_sec * 1000.0 + t.tv_nsec / 1e6);
    const int fd = open(file, O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd >= 0) {
        (void)!write(fd, text, static_cast<size_t>(length));
        close(fd);
    }
}

// The real function: Qt's X11 plugin loads libxcb-shm privately, so it is looked up in the
// library itself.
template <typename F>
F real(const char *library, const char *name)
{
    void *handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    return reinterpret_cast<F>(handle ? dlsym(handle, name) : dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

using ShmSeg = uint32_t;

xcb_void_cookie_t xcb_map_window(xcb_connection_t *c, xcb_window_t window)
{
    using Fn = xcb_void_cookie_t (*)(xcb_connection_t *, xcb_window_t);
    static const Fn next = real<Fn>("libxcb.so.1", "xcb_map_window");
    const int slot = mappedCount.fetch_add(1);
    if (slot < MaxWindows)
        mapped[slot].store(window);
    return next(c, window);
}

xcb_void_cookie_t xcb_put_image(xcb_connection_t *c, uint8_t format, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                uint16_t width, uint16_t height, int16_t x, int16_t y, uint8_t leftPad, uint8_t depth,
                                uint32_t length, const uint8_t *data)
{
    using Fn = xcb_void_cookie_t (*)(xcb_connection_t *, uint8_t, xcb_drawable_t, xcb_gcontext_t, uint16_t, uint16_t,
                                     int16_t, int16_t, uint8_t, uint8_t, uint32_t, const uint8_t *);
    static const Fn next = real<Fn>("libxcb.so.1", "xcb_put_image");
    const xcb_void_cookie_t cookie = next(c, format, drawable, gc, width, height, x, y, leftPad, depth, length, data);
    report(c, drawable);
    return cookie;
}

xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t *c, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                    uint16_t totalWidth, uint16_t totalHeight, uint16_t srcX, uint16_t srcY,
                                    uint16_t srcWidth, uint16_t srcHeight, int16_t dstX, int16_t dstY, uint8_t depth,
                                    uint8_t format, uint8_t sendEvent, ShmSeg segment, uint32_t offset)
{
    using Fn = xcb_void_cookie_t (*)(xcb_connection_t *, xcb_drawable_t, xcb_gcontext_t, uint16_t, uint16_t, uint16_t,
                                     uint16_t, uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t, uint8_t, ShmSeg,
                                     uint32_t);
    static const Fn next = real<Fn>("libxcb-shm.so.0", "xcb_shm_put_image");
    const xcb_void_cookie_t cookie = next(c, drawable, gc, totalWidth, totalHeight, srcX, srcY, srcWidth, srcHeight,
                                          dstX, dstY, depth, format, sendEvent, segment, offset);
    report(c, drawable);
    return cookie;
}

} // extern "C"
