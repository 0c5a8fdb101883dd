#!/usr/bin/env python3
"""A file manager's drag of files, as the X drag-and-drop protocol (XDND) carries it.

    xdrag.py X Y READY_FILE PATH...

Shows a small window at (X, Y) and writes READY_FILE once it is on the screen. A press of the
left button on it starts a drag of the files (text/uri-list); moving the pointer offers them to
the window under it that takes XDND, and the release drops them there. Real pointer input
drives it (xdotool: mousedown on the window, mousemove onto the target, mouseup). Exits 0 when
the target said it finished with the drop, 1 when it refused them or nothing answered in time.
"""
import ctypes
import sys
import time
import urllib.parse
from ctypes import (POINTER, Structure, byref, c_char_p, c_int, c_long, c_ubyte, c_uint,
                    c_ulong, c_void_p)

BUTTON_PRESS, BUTTON_RELEASE, MOTION_NOTIFY = 4, 5, 6
SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
BUTTON_PRESS_MASK, BUTTON_RELEASE_MASK, POINTER_MOTION_MASK = 1 << 2, 1 << 3, 1 << 6
CW_OVERRIDE_REDIRECT, CW_EVENT_MASK, CW_BACK_PIXEL = 1 << 9, 1 << 11, 1 << 1


class Event(ctypes.Union):
    _fields_ = [("type", c_int), ("pad", c_long * 24)]


class Any(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("window", c_ulong)]


class Pointer(Structure):  # XButtonEvent and XMotionEvent share these fields
    _fields_ = Any._fields_ + [("root", c_ulong), ("subwindow", c_ulong), ("time", c_ulong),
                               ("x", c_int), ("y", c_int), ("x_root", c_int), ("y_root", c_int)]


class ClientMessage(Structure):
    _fields_ = Any._fields_ + [("message_type", c_ulong), ("format", c_int),
                               ("l", c_long * 5)]


class SelectionRequest(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("owner", c_ulong), ("requestor", c_ulong),
                ("selection", c_ulong), ("target", c_ulong), ("property", c_ulong),
                ("time", c_ulong)]


class Selection(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("requestor", c_ulong), ("selection", c_ulong),
                ("target", c_ulong), ("property", c_ulong), ("time", c_ulong)]


class Attributes(Structure):
    _fields_ = [("background_pixmap", c_ulong), ("background_pixel", c_ulong),
                ("border_pixmap", c_ulong), ("border_pixel", c_ulong), ("bit_gravity", c_int),
                ("win_gravity", c_int), ("backing_store", c_int), ("backing_planes", c_ulong),
                ("backing_pixel", c_ulong), ("save_under", c_int), ("event_mask", c_long),
                ("do_not_propagate_mask", c_long), ("override_redirect", c_int),
                ("colormap", c_ulong), ("cursor", c_ulong)]


def as_(event, kind):
    return ctypes.cast(byref(event), POINTER(kind)).contents


class Drag:
    def __init__(self, x, y, uris):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = c_void_p
        self.x.XInternAtom.restype = c_ulong
        self.x.XDefaultRootWindow.restype = c_ulong
        self.x.XCreateWindow.restype = c_ulong
        self.x.XCreateWindow.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_uint,
                                         c_int, c_uint, c_void_p, c_ulong, c_void_p]
        self.d = self.x.XOpenDisplay(None)
        if not self.d:
            sys.exit("no display")
        self.root = self.x.XDefaultRootWindow(c_void_p(self.d))
        self.data = "".join(uri + "\r\n" for uri in uris).encode()
        attributes = Attributes(background_pixel=0x4080C0, override_redirect=1,
                                event_mask=BUTTON_PRESS_MASK | BUTTON_RELEASE_MASK |
                                POINTER_MOTION_MASK)
        self.win = self.x.XCreateWindow(c_void_p(self.d), self.root, x, y, 40, 40, 0, 0, 1, None,
                                        CW_BACK_PIXEL | CW_OVERRIDE_REDIRECT | CW_EVENT_MASK,
                                        byref(attributes))
        self.x.XMapRaised(c_void_p(self.d), c_ulong(self.win))
        self.x.XSync(c_void_p(self.d), 0)
        self.target = 0
        self.version = 5
        self.accepted = False
        self.finished = False

    def atom(self, name):
        return self.x.XInternAtom(c_void_p(self.d), name.encode(), 0)

    def send(self, to, kind, l):
        e = Event()
        m = as_(e, ClientMessage)
        m.type, m.display, m.window = CLIENT_MESSAGE, self.d, to
        m.message_type, m.format = self.atom(kind), 32
        for i, v in enumerate(l):
            m.l[i] = v
        self.x.XSendEvent(c_void_p(self.d), c_ulong(to), 0, c_long(0), byref(e))
        self.x.XFlush(c_void_p(self.d))

    def xdnd_version(self, w):
        kind, fmt, n, after = c_ulong(), c_int(), c_ulong(), c_ulong()
        value = POINTER(c_ulong)()
        self.x.XGetWindowProperty(c_void_p(self.d), c_ulong(w), c_ulong(self.atom("XdndAware")),
                                  c_long(0), c_long(1), 0, c_ulong(0), byref(kind), byref(fmt),
                                  byref(n), byref(after), byref(value))
        version = value[0] if n.value > 0 else None
        if value:
            self.x.XFree(value)
        return version

    def window_at(self, x, y):
        """The window at the root point that takes XDND: the first such on the way down."""
        w, child = self.root, c_ulong()
        cx, cy = c_int(), c_int()
        while True:
            self.x.XTranslateCoordinates(c_void_p(self.d), c_ulong(self.root), c_ulong(w), x, y,
                                         byref(cx), byref(cy), byref(child))
            if not child.value or child.value == self.win:
                return 0
            w = child.value
            version = self.xdnd_version(w)
            if version is not None:
                self.version = min(5, version)
                return w

    def move(self, x, y, t):
        target = self.window_at(x, y)
        if target != self.target:
            if self.target:
                self.send(self.target, "XdndLeave", [self.win, 0, 0, 0, 0])
            self.target, self.accepted = target, False
            if target:
                self.send(target, "XdndEnter", [self.win, self.version << 24,
                                                self.atom("text/uri-list"), 0, 0])
        if self.target:
            self.send(self.target, "XdndPosition",
                      [self.win, 0, (x << 16) | y, t, self.atom("XdndActionCopy")])

    def answer(self, r):
        s = Event()
        n = as_(s, Selection)
        n.type, n.send_event, n.display = SELECTION_NOTIFY, 1, self.d
        n.requestor, n.selection, n.target, n.time = r.requestor, r.selection, r.target, r.time
        n.property = 0
        if r.target == self.atom("text/uri-list"):
            buf = (c_ubyte * len(self.data)).from_buffer_copy(self.data)
            self.x.XChangeProperty(c_void_p(self.d), c_ulong(r.requestor), c_ulong(r.property),
                                   c_ulong(r.target), 8, 0, buf, len(self.data))
            n.property = r.property
        self.x.XSendEvent(c_void_p(self.d), c_ulong(r.requestor), 0, c_long(0), byref(s))
        self.x.XFlush(c_void_p(self.d))

    def run(self, ready, timeout=60):
        open(ready, "w").close()
        e = Event()
        dragging, dropped_at = False, None
        end = time.time() + timeout
        while time.time() < end:
            if dropped_at is not None and (self.finished or time.time() > dropped_at + 10):
                break
            if not self.x.XPending(c_void_p(self.d)):
                time.sleep(0.005)
                continue
            self.x.XNextEvent(c_void_p(self.d), byref(e))
            if e.type == BUTTON_PRESS and not dragging:
                dragging = True
                self.x.XSetSelectionOwner(c_void_p(self.d), c_ulong(self.atom("XdndSelection")),
                                          c_ulong(self.win), c_ulong(as_(e, Pointer).time))
            elif e.type == MOTION_NOTIFY and dragging and dropped_at is None:
                p = as_(e, Pointer)
                self.move(p.x_root, p.y_root, p.time)
            elif e.type == BUTTON_RELEASE and dragging and dropped_at is None:
                p = as_(e, Pointer)
                self.move(p.x_root, p.y_root, p.time)
                self.wait_status()
                if not (self.target and self.accepted):
                    return 1
                self.send(self.target, "XdndDrop", [self.win, 0, p.time, 0, 0])
                dropped_at = time.time()
            elif e.type == SELECTION_REQUEST:
                self.answer(as_(e, SelectionRequest))
            elif e.type == CLIENT_MESSAGE:
                self.take(as_(e, ClientMessage))
        return 0 if self.finished else 1

    def take(self, m):
        if m.message_type == self.atom("XdndStatus"):
            self.accepted = bool(m.l[1] & 1)
        elif m.message_type == self.atom("XdndFinished"):
            self.finished = True

    def wait_status(self):
        """The answer to the last position, serving the target's requests for the data."""
        e = Event()
        end = time.time() + 3
        self.accepted = False
        while time.time() < end and not self.accepted:
            if not self.x.XPending(c_void_p(self.d)):
                time.sleep(0.005)
                continue
            self.x.XNextEvent(c_void_p(self.d), byref(e))
            if e.type == SELECTION_REQUEST:
                self.answer(as_(e, SelectionRequest))
            elif e.type == CLIENT_MESSAGE:
                self.take(as_(e, ClientMessage))


def main():
    x, y, ready = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    uris = ["file://" + urllib.parse.quote(p) for p in sys.argv[4:]]
    sys.exit(Drag(x, y, uris).run(ready))


if __name__ == "__main__":
    main()
