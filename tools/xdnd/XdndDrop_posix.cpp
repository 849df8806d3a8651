// xdnd-drop: drops files on the X window under a screen point, as a file manager's drag would.
//
//   xdnd-drop [--display NAME] [--timeout MS] X Y PATH...
//
// The pointer is first warped to (X, Y), since the receiving program may read the cursor
// position while it handles the drop. The paths are unix paths; they travel as a
// text/uri-list of percent-encoded file URIs. Exit code 0 when the target accepted the
// drop and reported it finished, 1 on a refusal or a time-out, 2 on bad arguments.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr long kXdndVersion = 5;

struct Atoms {
    Atom aware, selection, enter, position, status, drop, finished, leave, actionCopy, uriList;
    explicit Atoms(Display* display)
        : aware(XInternAtom(display, "XdndAware", False)),
          selection(XInternAtom(display, "XdndSelection", False)),
          enter(XInternAtom(display, "XdndEnter", False)),
          position(XInternAtom(display, "XdndPosition", False)),
          status(XInternAtom(display, "XdndStatus", False)),
          drop(XInternAtom(display, "XdndDrop", False)),
          finished(XInternAtom(display, "XdndFinished", False)),
          leave(XInternAtom(display, "XdndLeave", False)),
          actionCopy(XInternAtom(display, "XdndActionCopy", False)),
          uriList(XInternAtom(display, "text/uri-list", False)) {}
};

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string FileUri(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '.' || c == '_' || c == '~' || c == '/';
        if (keep) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

std::string UriList(const std::vector<std::string>& paths) {
    std::string list;
    for (const auto& path : paths) list += FileUri(path) + "\r\n";
    return list;
}

bool IsXdndAware(Display* display, Window window, Atom aware) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    int status =
        XGetWindowProperty(display, window, aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data);
    if (data) XFree(data);
    return status == Success && type != None;
}

// Walks down from the root through the windows under the point and keeps the deepest one
// that declares itself a drop target.
Window FindTarget(Display* display, Window root, int x, int y, Atom aware) {
    Window target = None;
    Window current = root;
    for (int depth = 0; depth < 64; ++depth) {
        if (current != root && IsXdndAware(display, current, aware)) target = current;
        int cx = 0, cy = 0;
        Window child = None;
        if (!XTranslateCoordinates(display, root, current, x, y, &cx, &cy, &child) || child == None) break;
        current = child;
    }
    return target;
}

void SendClientMessage(Display* display, Window target, Atom type, const long (&data)[5]) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

class DragSource {
public:
    DragSource(Display* display, std::vector<std::string> paths, int timeoutMs)
        : display_(display), atoms_(display), uriList_(UriList(paths)), timeoutMs_(timeoutMs) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        window_ = XCreateWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, CWOverrideRedirect, &attributes);
        XSetSelectionOwner(display_, atoms_.selection, window_, CurrentTime);
        if (XGetSelectionOwner(display_, atoms_.selection) != window_)
            throw Failure("could not take ownership of XdndSelection");
    }
    ~DragSource() { XDestroyWindow(display_, window_); }
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    void Drop(int x, int y) {
        Window root = DefaultRootWindow(display_);
        XWarpPointer(display_, None, root, 0, 0, 0, 0, x, y);
        XSync(display_, False);

        Window target = FindTarget(display_, root, x, y, atoms_.aware);
        if (target == None) throw Failure("no XdndAware window under " + Point(x, y));
        std::fprintf(stderr, "xdnd-drop: target window 0x%lx\n", target);

        long src = static_cast<long>(window_);
        SendClientMessage(display_, target, atoms_.enter,
                          {src, kXdndVersion << 24, static_cast<long>(atoms_.uriList), 0, 0});
        SendClientMessage(
            display_, target, atoms_.position,
            {src, 0, (static_cast<long>(x) << 16) | (y & 0xFFFF), CurrentTime, static_cast<long>(atoms_.actionCopy)});
        XEvent status = WaitFor(atoms_.status, "XdndStatus");
        if (!(status.xclient.data.l[1] & 1)) {
            SendClientMessage(display_, target, atoms_.leave, {src, 0, 0, 0, 0});
            throw Failure("the target refused the drop at " + Point(x, y));
        }
        SendClientMessage(display_, target, atoms_.drop, {src, 0, CurrentTime, 0, 0});
        XEvent finished = WaitFor(atoms_.finished, "XdndFinished");
        // Version 5 reports in bit 0 whether the target took the data.
        if (!(finished.xclient.data.l[1] & 1)) throw Failure("the target reported the drop as not performed");
    }

private:
    static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

    // Serves the selection while waiting: a target may ask for the data at any time,
    // Wine's already when the drag enters.
    XEvent WaitFor(Atom messageType, const char* what) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
        for (;;) {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == SelectionRequest) {
                    AnswerSelection(event.xselectionrequest);
                } else if (event.type == ClientMessage && event.xclient.message_type == messageType) {
                    return event;
                }
            }
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                    .count();
            if (left <= 0) throw Failure(std::string("timed out waiting for ") + what);
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left));
        }
    }

    void AnswerSelection(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = request.display;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        Atom targets = XInternAtom(display_, "TARGETS", False);
        Atom property = request.property != None ? request.property : request.target;
        if (request.target == atoms_.uriList) {
            XChangeProperty(display_, request.requestor, property, atoms_.uriList, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(uriList_.data()), static_cast<int>(uriList_.size()));
            reply.xselection.property = property;
        } else if (request.target == targets) {
            Atom offered[] = {targets, atoms_.uriList};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 2);
            reply.xselection.property = property;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }

    Display* display_;
    Atoms atoms_;
    std::string uriList_;
    int timeoutMs_;
    Window window_;
};

int Usage() {
    std::fprintf(stderr, "usage: xdnd-drop [--display NAME] [--timeout MS] X Y PATH...\n");
    return 2;
}

constexpr long kMaxCoordinate = 100000;
// An hour: a drop of thousands of files may keep the target busy for a minute or more.
constexpr long kMaxTimeoutMs = 3600000;

bool ParseInt(const char* text, long limit, int& value) {
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < -limit || parsed > limit) return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* displayName = nullptr;
    int timeoutMs = 10000;
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (std::strcmp(argv[i], "--display") == 0) {
            displayName = argv[i + 1];
        } else if (std::strcmp(argv[i], "--timeout") == 0) {
            if (!ParseInt(argv[i + 1], kMaxTimeoutMs, timeoutMs) || timeoutMs <= 0) return Usage();
        } else {
            return Usage();
        }
    }
    int x = 0, y = 0;
    if (argc - i < 3 || !ParseInt(argv[i], kMaxCoordinate, x) || !ParseInt(argv[i + 1], kMaxCoordinate, y))
        return Usage();
    std::vector<std::string> paths(argv + i + 2, argv + argc);
    for (const auto& path : paths) {
        if (path.empty() || path[0] != '/') {
            std::fprintf(stderr, "xdnd-drop: not an absolute unix path: %s\n", path.c_str());
            return 2;
        }
    }

    Display* display = XOpenDisplay(displayName);
    if (!display) {
        std::fprintf(stderr, "xdnd-drop: cannot open display %s\n", displayName ? displayName : "(DISPLAY)");
        return 1;
    }
    int result = 0;
    try {
        DragSource source(display, std::move(paths), timeoutMs);
        source.Drop(x, y);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "xdnd-drop: %s\n", failure.what());
        result = 1;
    }
    XCloseDisplay(display);
    return result;
}
