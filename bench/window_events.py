#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints a line each time a top-level window on the X display is shown, hidden or destroyed:
   NANOSECONDS shown|hidden|gone WINDOW WIDTHxHEIGHT CLASS
with the wall clock of `date +%s%N`, as the X server reports it, so nothing is polled and the
programs being timed keep the processor to themselves. Runs until it is stopped."""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary('libX11.so.6')
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7


class ClassHint(ctypes.Structure):
    _fields_ = [('name', ctypes.c_char_p), ('cls', ctypes.c_char_p)]


x11.XGetClassHint.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ClassHint)]


# Map, unmap and destroy events share their first fields: the window is the sixth.
class StructureEvent(ctypes.Structure):
    _fields_ = [('type', ctypes.c_int), ('serial', ctypes.c_ulong), ('send_event', ctypes.c_int),
                ('display', ctypes.c_void_p), ('event', ctypes.c_ulong), ('window', ctypes.c_ulong)]


class Event(ctypes.Union):
    _fields_ = [('type', ctypes.c_int), ('structure', StructureEvent), ('pad', ctypes.c_long * 24)]


# A window may be gone before it is asked about: such an error is no reason to stop.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x11.XSetErrorHandler(ERROR_HANDLER)

DESTROY_NOTIFY, UNMAP_NOTIFY, MAP_NOTIFY = 17, 18, 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
KINDS = {MAP_NOTIFY: 'shown', UNMAP_NOTIFY: 'hidden', DESTROY_NOTIFY: 'gone'}

display = x11.XOpenDisplay(None)
if not display:
    sys.exit('cannot open the display')
x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)

known = {}
event = Event()
while True:
    x11.XNextEvent(display, ctypes.byref(event))
    if event.type not in KINDS:
        continue
    stamp = time.time_ns()
    window = event.structure.window
    if event.type == MAP_NOTIFY:
        width, height, other = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        root, position = ctypes.c_ulong(), ctypes.c_int()
        x11.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(position),
                         ctypes.byref(position), ctypes.byref(width), ctypes.byref(height),
                         ctypes.byref(other), ctypes.byref(other))
        hint = ClassHint()
        x11.XGetClassHint(display, window, ctypes.byref(hint))
        known[window] = '%dx%d %s' % (width.value, height.value,
                                      (hint.cls or b'-').decode(errors='replace'))
    print(stamp, KINDS[event.type], hex(window), known.get(window, '0x0 -'), flush=True)
    if event.type == DESTROY_NOTIFY:
        known.pop(window, None)
