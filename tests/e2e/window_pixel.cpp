// Prints the colour of one pixel of a window as "R G B" (0 to 255 each).
// The window is raised first: other tests' windows share the display and
// may cover it. Usage: window_pixel WINDOW_ID X Y
// With "all" for X and Y: a digest of every pixel of the window instead, for
// telling whether two pictures are the same; with X Y W H, a digest of that
// rectangle only (window_pixel WINDOW_ID X Y W H).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The share of a channel mask's range a pixel value covers, as 0 to 255.
unsigned channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long range = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / range);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: %s WINDOW_ID X Y [W H]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    XRaiseWindow(display, window);
    XSync(display, False);
    if (std::strcmp(argv[2], "all") == 0 || argc == 6) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        int left = 0, top = 0;
        if (argc == 6) {
            left = std::atoi(argv[2]);
            top = std::atoi(argv[3]);
            attributes.width = std::atoi(argv[4]);
            attributes.height = std::atoi(argv[5]);
        }
        XImage* whole = XGetImage(display, window, left, top, attributes.width, attributes.height, AllPlanes, ZPixmap);
        if (!whole) {
            std::fprintf(stderr, "cannot read the window\n");
            XCloseDisplay(display);
            return 1;
        }
        // FNV-1a over the pixels' colours.
        unsigned long long digest = 14695981039346656037ull;
        for (int y = 0; y < attributes.height; ++y) {
            for (int x = 0; x < attributes.width; ++x) {
                digest = (digest ^ (XGetPixel(whole, x, y) & 0xFFFFFFu)) * 1099511628211ull;
            }
        }
        std::printf("%dx%d %016llx\n", attributes.width, attributes.height, digest);
        XDestroyImage(whole);
        XCloseDisplay(display);
        return 0;
    }
    XImage* image = XGetImage(display, window, std::atoi(argv[2]), std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "cannot read the window\n");
        XCloseDisplay(display);
        return 1;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    std::printf("%u %u %u\n", channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                channel(pixel, image->blue_mask));
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
