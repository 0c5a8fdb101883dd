#!/usr/bin/env python3
"""Resizes the screen of an Xvfb display, as a smaller monitor or a resolution change would.

    xscreen.py WIDTH HEIGHT

Xvfb offers one mode, the size it started with, so the xrandr tool alone cannot make its screen
smaller: this adds a mode of the size asked for and switches the screen to it. Xvfb drops a mode
that a client added, and goes back to its first size, when that client disconnects; so this
stays connected until something else (`xrandr --output screen --mode 1280x1024 --fb 1280x1024`)
has given the screen another size, or two minutes have passed. Exits 2 at once on any X server
but Xvfb's (its one output is called "screen"): a real desktop is left alone.
"""
import ctypes
import sys
import time
from ctypes import POINTER, Structure, byref, c_char_p, c_int, c_uint, c_ulong, c_void_p


class ModeInfo(Structure):
    _fields_ = [("id", c_ulong), ("width", c_uint), ("height", c_uint), ("dotClock", c_ulong),
                ("hSyncStart", c_uint), ("hSyncEnd", c_uint), ("hTotal", c_uint),
                ("hSkew", c_uint), ("vSyncStart", c_uint), ("vSyncEnd", c_uint),
                ("vTotal", c_uint), ("name", c_char_p), ("nameLength", c_uint),
                ("modeFlags", c_ulong)]


class Resources(Structure):
    _fields_ = [("timestamp", c_ulong), ("configTimestamp", c_ulong), ("ncrtc", c_int),
                ("crtcs", POINTER(c_ulong)), ("noutput", c_int), ("outputs", POINTER(c_ulong)),
                ("nmode", c_int), ("modes", POINTER(ModeInfo))]


class OutputInfo(Structure):
    _fields_ = [("timestamp", c_ulong), ("crtc", c_ulong), ("name", c_char_p)]


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    x = ctypes.CDLL("libX11.so.6")
    rr = ctypes.CDLL("libXrandr.so.2")
    x.XOpenDisplay.restype = c_void_p
    x.XOpenDisplay.argtypes = [c_char_p]
    x.XDefaultRootWindow.restype = c_ulong
    x.XDefaultRootWindow.argtypes = [c_void_p]
    x.XSync.argtypes = [c_void_p, c_int]
    x.XGetGeometry.argtypes = [c_void_p, c_ulong] + [POINTER(c_ulong)] + [POINTER(c_int)] * 2 \
        + [POINTER(c_uint)] * 4
    rr.XRRGetScreenResources.restype = POINTER(Resources)
    rr.XRRGetScreenResources.argtypes = [c_void_p, c_ulong]
    rr.XRRGetOutputInfo.restype = POINTER(OutputInfo)
    rr.XRRGetOutputInfo.argtypes = [c_void_p, POINTER(Resources), c_ulong]
    rr.XRRCreateMode.restype = c_ulong
    rr.XRRCreateMode.argtypes = [c_void_p, c_ulong, POINTER(ModeInfo)]
    rr.XRRAddOutputMode.argtypes = [c_void_p, c_ulong, c_ulong]
    rr.XRRSetCrtcConfig.argtypes = [c_void_p, POINTER(Resources), c_ulong, c_ulong, c_int, c_int,
                                    c_ulong, ctypes.c_ushort, POINTER(c_ulong), c_int]
    rr.XRRSetScreenSize.argtypes = [c_void_p, c_ulong, c_int, c_int, c_int, c_int]

    display = x.XOpenDisplay(None)
    if not display:
        return 1
    root = x.XDefaultRootWindow(display)
    res = rr.XRRGetScreenResources(display, root)
    if res.contents.noutput != 1 or res.contents.ncrtc < 1:
        return 2
    output = res.contents.outputs[0]
    if rr.XRRGetOutputInfo(display, res, output).contents.name != b"screen":
        return 2

    def root_size():
        values = [c_ulong(), c_int(), c_int()] + [c_uint() for _ in range(4)]
        x.XGetGeometry(display, root, *(byref(v) for v in values))
        return values[3].value, values[4].value

    modes = res.contents.modes
    mode = next((modes[i].id for i in range(res.contents.nmode)
                 if (modes[i].width, modes[i].height) == (width, height)), 0)
    if not mode:
        name = b"%dx%d" % (width, height)
        info = ModeInfo(0, width, height, 60 * width * height, width, width, width, 0, height,
                        height, height, name, len(name), 0)
        mode = rr.XRRCreateMode(display, root, byref(info))
        rr.XRRAddOutputMode(display, output, mode)
        x.XSync(display, 0)
        res = rr.XRRGetScreenResources(display, root)
    outputs = (c_ulong * 1)(output)

    def apply():
        res = rr.XRRGetScreenResources(display, root)
        # The screen may never be smaller than what the monitor shows: the monitor first when
        # the screen shrinks, the screen first when it grows.
        shrinks = (width, height) < root_size()
        if not shrinks:
            rr.XRRSetScreenSize(display, root, width, height, width * 254 // 960,
                                height * 254 // 960)
        if rr.XRRSetCrtcConfig(display, res, res.contents.crtcs[0], 0, 0, 0, mode, 1, outputs,
                               1):
            return False
        if shrinks:
            rr.XRRSetScreenSize(display, root, width, height, width * 254 // 960,
                                height * 254 // 960)
        x.XSync(display, 0)
        return True

    # A window manager that keeps monitor configurations of its own (Mutter) takes the new mode
    # for a monitor plugged in and puts back the configuration it prefers, at once or a moment
    # later. So the size is asked for again until it has held for two seconds.
    if not apply():
        return 1
    held_since = time.monotonic()
    give_up = held_since + 20
    while time.monotonic() < give_up:
        time.sleep(0.1)
        if root_size() != (width, height):
            if not apply():
                return 1
            held_since = time.monotonic()
        elif time.monotonic() - held_since >= 2:
            break
    deadline = time.monotonic() + 120
    while root_size() == (width, height) and time.monotonic() < deadline:
        time.sleep(0.1)
    return 0

if __name__ == "__main__":
    sys.exit(main())
