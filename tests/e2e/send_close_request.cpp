// Asks a window to close the way a window manager does: a WM_DELETE_WINDOW
// client message.
// Usage: send_close_request WINDOW_ID        (decimal or 0x hex)
//        send_close_request --name TITLE     (the first top-level window with
//        that UTF-8 title; status 3 when there is none yet)
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string utf8Title(Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 256, False, utf8, &type, &format, &count, &remaining, &data) ==
            Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    return title;
}

// Top-level windows are children of the root without a window manager.
Window findByTitle(Display* display, const char* title) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && found == 0; ++i)
            if (utf8Title(display, children[i]) == title) found = children[i];
        if (children != nullptr) XFree(children);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const bool byName = argc == 3 && std::strcmp(argv[1], "--name") == 0;
    if (argc != 2 && !byName) {
        std::fprintf(stderr, "usage: %s WINDOW_ID | --name TITLE\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const Window window = byName ? findByTitle(display, argv[2]) : std::strtoul(argv[1], nullptr, 0);
    if (window == 0) {
        XCloseDisplay(display);
        return 3;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
