"""Defines monitors on the X display named by DISPLAY with libXrandr's
XRRSetMonitor, so that Wine (with UseXRandR off, through Xinerama) reports
them. Each argument is WIDTHxHEIGHT+X+Y; the first monitor is the primary
one and takes the screen's output, which ends the screen's own monitor.

    python3 tools/set_monitors.py 1280x800+0+0 1024x768+1280+0
"""
import ctypes
import re
import sys


class MonitorInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_ulong), ("primary", ctypes.c_int), ("automatic", ctypes.c_int),
                ("noutput", ctypes.c_int), ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int), ("mwidth", ctypes.c_int),
                ("mheight", ctypes.c_int), ("outputs", ctypes.c_void_p)]


class ScreenResources(ctypes.Structure):
    _fields_ = [("timestamp", ctypes.c_ulong), ("configTimestamp", ctypes.c_ulong),
                ("ncrtc", ctypes.c_int), ("crtcs", ctypes.c_void_p), ("noutput", ctypes.c_int),
                ("outputs", ctypes.POINTER(ctypes.c_ulong))]


def main(geometries):
    x11 = ctypes.CDLL("libX11.so.6")
    xrandr = ctypes.CDLL("libXrandr.so.2")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xrandr.XRRGetScreenResources.restype = ctypes.POINTER(ScreenResources)
    xrandr.XRRGetScreenResources.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xrandr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(MonitorInfo)]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("set_monitors: cannot open the display")
    root = x11.XDefaultRootWindow(display)
    resources = xrandr.XRRGetScreenResources(display, root).contents
    if resources.noutput < 1:
        sys.exit("set_monitors: the screen has no output")
    output = (ctypes.c_ulong * 1)(resources.outputs[0])
    for index, geometry in enumerate(geometries):
        match = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", geometry)
        if not match:
            sys.exit("set_monitors: %s is not WIDTHxHEIGHT+X+Y" % geometry)
        width, height, left, top = map(int, match.groups())
        primary = index == 0
        monitor = MonitorInfo(x11.XInternAtom(display, b"HALVITRUM-%d" % index, 0), primary, 0,
                              1 if primary else 0, left, top, width, height,
                              width * 254 // 960, height * 254 // 960,  # millimetres at 96 dpi
                              ctypes.cast(output, ctypes.c_void_p) if primary else None)
        xrandr.XRRSetMonitor(display, root, ctypes.byref(monitor))
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
