"""Minimises a process's shown top-level windows on an X display without a window manager, as
a window manager does it (ICCCM): WM_STATE set to Iconic, the window unmapped. Qt then reports
the window minimised. Only libX11 is needed, through ctypes.

Usage: python3 x_minimise.py PID   (DISPLAY names the display); prints how many it minimised.
"""

import ctypes
import sys
from ctypes import POINTER, byref, c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p

IS_VIEWABLE = 2
ICONIC_STATE = 3
XA_CARDINAL = 6


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int),
                ("border_width", c_int), ("depth", c_int), ("visual", c_void_p),
                ("root", c_ulong), ("class_", c_int), ("bit_gravity", c_int),
                ("win_gravity", c_int), ("backing_store", c_int), ("backing_planes", c_ulong),
                ("backing_pixel", c_ulong), ("save_under", c_int), ("colormap", c_ulong),
                ("map_installed", c_int), ("map_state", c_int), ("all_event_masks", c_long),
                ("your_event_mask", c_long), ("do_not_propagate_mask", c_long),
                ("override_redirect", c_int), ("screen", c_void_p)]


def main(pid):
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = c_void_p
    x.XOpenDisplay.argtypes = [c_char_p]
    x.XDefaultRootWindow.restype = c_ulong
    x.XDefaultRootWindow.argtypes = [c_void_p]
    x.XInternAtom.restype = c_ulong
    x.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
    x.XQueryTree.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong),
                             POINTER(POINTER(c_ulong)), POINTER(c_uint)]
    x.XGetWindowProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_long, c_long, c_int, c_ulong,
                                     POINTER(c_ulong), POINTER(c_int), POINTER(c_ulong),
                                     POINTER(c_ulong), POINTER(POINTER(ctypes.c_ubyte))]
    x.XGetWindowAttributes.argtypes = [c_void_p, c_ulong, POINTER(WindowAttributes)]
    x.XChangeProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int, c_void_p,
                                  c_int]
    x.XUnmapWindow.argtypes = [c_void_p, c_ulong]
    x.XFlush.argtypes = [c_void_p]
    x.XCloseDisplay.argtypes = [c_void_p]

    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("x_minimise: no X display")
    wm_pid = x.XInternAtom(display, b"_NET_WM_PID", 0)
    wm_state = x.XInternAtom(display, b"WM_STATE", 0)

    def pid_of(window):
        kind, size, count, after = c_ulong(), c_int(), c_ulong(), c_ulong()
        data = POINTER(ctypes.c_ubyte)()
        if x.XGetWindowProperty(display, window, wm_pid, 0, 1, 0, XA_CARDINAL, byref(kind),
                                byref(size), byref(count), byref(after), byref(data)) != 0:
            return None
        return ctypes.cast(data, POINTER(c_ulong))[0] if count.value == 1 else None

    root, parent = c_ulong(), c_ulong()
    children, count = POINTER(c_ulong)(), c_uint()
    x.XQueryTree(display, x.XDefaultRootWindow(display), byref(root), byref(parent),
                 byref(children), byref(count))
    minimised = 0
    for i in range(count.value):
        window = children[i]
        attributes = WindowAttributes()
        x.XGetWindowAttributes(display, window, byref(attributes))
        if attributes.map_state != IS_VIEWABLE or pid_of(window) != pid:
            continue
        state = (c_long * 2)(ICONIC_STATE, 0)
        x.XChangeProperty(display, window, wm_state, wm_state, 32, 0, state, 2)
        x.XUnmapWindow(display, window)
        minimised += 1
    x.XFlush(display)
    x.XCloseDisplay(display)
    print(minimised)


if __name__ == "__main__":
    main(int(sys.argv[1]))
