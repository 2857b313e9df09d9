#!/usr/bin/env python3
"""Samples a running program as its user meets it: its resident memory, and how long its
window takes to answer (a _NET_WM_PING, which the toolkit answers on the GUI thread, so
the answer waits for whatever that thread is busy with).

    window_probe.py --pid PID --window WINDOW_ID [--every 0.25] [--patience 30]

Prints one line a sample until the program ends or the probe is stopped; SIGUSR1 ends it
once the sample under way has its answer (or its patience is out):
"CLOCK RSS_MB ANSWER_MS" (CLOCK the system's monotonic clock in seconds, as Python's
time.monotonic gives it to every process; ANSWER_MS -1 when the window did not answer
within the patience).
"""
import argparse
import ctypes
import ctypes.util
import select
import signal
import sys
import time

CLIENT_MESSAGE = 33
STRUCTURE_NOTIFY_MASK = 1 << 17


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage), ("pad", ctypes.c_long * 24)]


def resident_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        return None
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--window", type=lambda v: int(v, 0), required=True)
    parser.add_argument("--every", type=float, default=0.25)
    parser.add_argument("--patience", type=float, default=30)
    args = parser.parse_args()

    x = ctypes.CDLL(ctypes.util.find_library("X11"))
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(Event)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]

    display = x.XOpenDisplay(None)
    if not display:
        print("no display", file=sys.stderr)
        return 1
    root = x.XDefaultRootWindow(display)
    protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    ping = x.XInternAtom(display, b"_NET_WM_PING", 0)
    # The answer goes to the root window for its structure listeners.
    x.XSelectInput(display, root, STRUCTURE_NOTIFY_MASK)
    fd = x.XConnectionNumber(display)
    stamp = 0
    asked_to_end = []
    signal.signal(signal.SIGUSR1, lambda *_: asked_to_end.append(True))
    while resident_mb(args.pid) is not None and not asked_to_end:
        stamp += 1
        event = Event()
        event.client.type = CLIENT_MESSAGE
        event.client.window = args.window
        event.client.message_type = protocols
        event.client.format = 32
        event.client.data[0] = ping
        event.client.data[1] = stamp
        event.client.data[2] = args.window
        sent = time.monotonic()
        x.XSendEvent(display, args.window, 0, 0, ctypes.byref(event))
        x.XFlush(display)
        answer_ms = -1.0
        deadline = sent + args.patience
        while answer_ms < 0 and time.monotonic() < deadline:
            if not x.XPending(display):
                select.select([fd], [], [], max(0.0, min(0.05, deadline - time.monotonic())))
                continue
            got = Event()
            x.XNextEvent(display, ctypes.byref(got))
            if (got.type == CLIENT_MESSAGE and got.client.data[0] == ping and
                    got.client.data[1] == stamp):
                answer_ms = (time.monotonic() - sent) * 1000
        rss = resident_mb(args.pid)
        if rss is None:
            break
        print(f"{sent:.2f} {rss:.1f} {answer_ms:.1f}", flush=True)
        if not asked_to_end:
            time.sleep(max(0.0, args.every - (time.monotonic() - sent)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
