#!/usr/bin/env python3
"""A loopback APRS-IS server for timing the running program as a user runs it.

It makes a feed that looks like a full APRS-IS stream (see make_feed), waits for the
program to log in on 127.0.0.1, writes the whole feed as fast as the socket takes it and
ends it with a message to the program's own call. The program answers that message with
an acknowledgement only after its GUI thread has handled every line before it, so the
time from login to that acknowledgement is the program's time for the whole feed.

    aprs_is_feed.py --port 14580 --lines 60000 --call N0CALL [--save feed.txt]

Prints one line: lines, seconds, lines/s, and the feed's make-up.

With --messages the feed is distinct messages only (--lines of them), and every
--checkpoint messages one to the program's own call: the time of each acknowledgement
is printed as "handled N at S s", the moment the program had handled N messages. With
--repeat as well, the messages are one message heard again via ever new digipeaters.

With --flood SECONDS every line is a station not heard before (--width bytes a line),
for that long or --lines lines, whichever ends first: "stations N, the last CALL";
--rate paces them (lines a second), as a busy server would send them; --stamps prints the
clock (time.monotonic) after each write: "sent N at clock C".
"""
import argparse
import itertools
import random
import socket
import sys
import threading
import time

PREFIXES = ["DL", "DO", "DB", "OE", "HB9", "PA", "ON", "F", "G", "M0", "EA", "I", "SP",
            "OK", "OH", "SM", "LA", "K", "W", "N", "KD", "KB", "VE", "VK", "ZL", "JA",
            "PY", "LU", "ZS", "YO"]
IGATES = ["T2BRAZIL", "T2FINLAND", "T2SYDNEY", "T2CZECH", "T2PANAMA", "T2NL", "T2ROMANIA"]
TOCALLS = ["APRS", "APDW16", "APX219", "APMI06", "APU25N", "APN382", "APLRT1", "APRX29"]
OBJECT_NAMES = ["REPEATER", "HAMFEST", "NET", "EOC", "SHELTER", "DIGI", "WX", "NODE"]
STATUS_TEXTS = ["On the air", "QRV 145.500", "Monitoring 144.800", "Winlink gateway",
                "Digipeater up", "Battery 12.9V", "iGate running"]
MSG_TEXTS = ["Hello from the road", "QSL?", "Are you on 2m tonight?", "73 de",
             "Meet at the hamfest", "Net starts at 19:00", "Test message", "ok thanks"]


def make_calls(count, rnd):
    calls = set()
    while len(calls) < count:
        prefix = rnd.choice(PREFIXES)
        suffix = "".join(rnd.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
                         for _ in range(rnd.choice((2, 3, 3))))
        call = f"{prefix}{rnd.randint(0, 9)}{suffix}"
        ssid = rnd.choice(("", "", "-9", "-7", "-10", "-1", "-13", "-15"))
        calls.add(call + ssid)
    return sorted(calls)


def dm(value, digits):
    hundredths = round(abs(value) * 6000)
    return f"{hundredths // 6000:0{digits}d}{hundredths % 6000 // 100:02d}.{hundredths % 100:02d}"


def position(lat, lon, table="/", code=">"):
    return (dm(lat, 2) + ("N" if lat >= 0 else "S") + table + dm(lon, 3) +
            ("E" if lon >= 0 else "W") + code)


def compressed(lat, lon, rnd):
    def base91(value, width):
        chars = []
        for _ in range(width):
            chars.append(chr(33 + value % 91))
            value //= 91
        return "".join(reversed(chars))
    y = int(380926 * (90 - lat))
    x = int(190463 * (180 + lon))
    cs = chr(33 + rnd.randint(0, 89)) + chr(33 + rnd.randint(0, 30))
    return "/" + base91(y, 4) + base91(x, 4) + ">" + cs + "C"


def mic_e(lat, lon, rnd):
    """Destination call and information field of a Mic-E position ("En Route")."""
    hundredths = round(abs(lat) * 6000)
    digits = f"{hundredths // 6000:02d}{hundredths % 6000 // 100:02d}{hundredths % 100:02d}"
    lon_deg = int(abs(lon))
    offset = lon_deg < 10 or lon_deg >= 100
    flags = [True, True, False, lat >= 0, offset, lon < 0]
    dest = "".join(chr(ord("P") + int(d)) if flag else d for d, flag in zip(digits, flags))
    if lon_deg < 10:
        d = lon_deg + 90
    elif lon_deg < 100:
        d = lon_deg
    elif lon_deg < 110:
        d = lon_deg - 20
    else:
        d = lon_deg - 100
    minutes_total = round((abs(lon) - lon_deg) * 6000)
    minutes, hund = divmod(minutes_total, 100)
    minutes = min(minutes, 59)
    m = minutes + 60 if minutes < 10 else minutes
    speed = rnd.randint(0, 120)
    course = rnd.randint(0, 359)
    info = ("`" + chr(d + 28) + chr(m + 28) + chr(hund + 28) + chr(speed // 10 + 28) +
            chr((speed % 10) * 10 + course // 100 + 28) + chr(course % 100 + 28) +
            rnd.choice(">[kuv") + "/" + rnd.choice(("", "]=", "`_%")))
    return dest, info


def make_feed(lines, stations, own_call, seed=42):
    """Returns (lines, make-up): positions (plain, time-stamped, compressed, Mic-E),
    weather, objects and items, messages with numbers and acks, bulletins, status and
    telemetry from `stations` distinct calls, busier stations heard more often."""
    rnd = random.Random(seed)
    calls = make_calls(stations, rnd)
    homes = {call: (rnd.uniform(-60, 70), rnd.uniform(-170, 175)) for call in calls}
    weights = [1.0 / (1 + i % 500) ** 0.6 for i in range(len(calls))]
    # Summed once: choices would sum them again for every line, minutes for 48,000 calls.
    cum_weights = list(itertools.accumulate(weights))
    kinds = ["mic_e", "plain", "stamped", "compressed", "weather", "object", "item",
             "message", "ack", "bulletin", "status", "telemetry"]
    shares = [28, 17, 8, 9, 12, 6, 2, 7, 2, 1, 6, 2]
    counts = {k: 0 for k in kinds}
    out = []
    # Every station once at the start (as after a login with a wide filter), then the mix.
    order = list(calls)
    rnd.shuffle(order)
    msg_number = 0
    while len(out) < lines - 1:
        src = order.pop() if order else rnd.choices(calls, cum_weights=cum_weights)[0]
        lat, lon = homes[src]
        lat += rnd.uniform(-0.05, 0.05)
        lon += rnd.uniform(-0.05, 0.05)
        kind = rnd.choices(kinds, shares)[0]
        if order and kind in ("message", "ack", "bulletin", "telemetry", "status"):
            kind = "plain"
        counts[kind] += 1
        igate = rnd.choice(IGATES)
        path = rnd.choice((f"TCPIP*,qAC,{igate}", f"WIDE1-1,WIDE2-1,qAR,{igate}",
                           f"WIDE2-1,qAO,{igate}"))
        tocall = rnd.choice(TOCALLS)
        stamp = f"{rnd.randint(1, 28):02d}{rnd.randint(0, 23):02d}{rnd.randint(0, 59):02d}z"
        if kind == "mic_e":
            dest, info = mic_e(lat, lon, rnd)
            out.append(f"{src}>{dest},{path}:{info}")
            continue
        if kind == "plain":
            info = "=" + position(lat, lon, "/", rnd.choice("->k[_#")) + (
                f"{rnd.randint(0, 359):03d}/{rnd.randint(0, 99):03d}" if rnd.random() < 0.4 else
                "") + rnd.choice((" 145.500MHz", " QRV", "/A=000312", " PHG2360/Home"))
        elif kind == "stamped":
            info = "@" + stamp + position(lat, lon, "/", rnd.choice("->")) + " mobile"
        elif kind == "compressed":
            info = "!" + compressed(lat, lon, rnd) + "Tracker"
        elif kind == "weather":
            direction, speed = rnd.randint(0, 359), rnd.randint(0, 40)
            rest = (f"g{rnd.randint(0, 60):03d}t{rnd.randint(-10, 100):03d}"
                    f"r{rnd.randint(0, 20):03d}p{rnd.randint(0, 50):03d}"
                    f"P{rnd.randint(0, 50):03d}h{rnd.randint(10, 99):02d}"
                    f"b{rnd.randint(9800, 10300):05d}")
            if rnd.random() < 0.2:
                info = (f"_{rnd.randint(1, 12):02d}{rnd.randint(1, 28):02d}"
                        f"{rnd.randint(0, 23):02d}{rnd.randint(0, 59):02d}"
                        f"c{direction:03d}s{speed:03d}{rest}")
            else:
                info = ("@" + stamp + position(lat, lon, "/", "_") +
                        f"{direction:03d}/{speed:03d}{rest}WX station")
        elif kind == "object":
            name = (rnd.choice(OBJECT_NAMES) + str(rnd.randint(1, 99)))[:9].ljust(9)
            info = ";" + name + rnd.choice("*_") + stamp + position(lat, lon, "/", "r") + \
                " 146.940MHz T100 -060"
        elif kind == "item":
            name = (rnd.choice(OBJECT_NAMES) + str(rnd.randint(1, 99)))[:9]
            info = ")" + name + "!" + position(lat, lon, "/", "E") + "Item"
        elif kind == "message":
            msg_number += 1
            to = rnd.choice(calls)
            info = f":{to:<9}:{rnd.choice(MSG_TEXTS)}{{{msg_number % 100000}"
        elif kind == "ack":
            to = rnd.choice(calls)
            info = f":{to:<9}:ack{rnd.randint(1, max(1, msg_number))}"
        elif kind == "bulletin":
            info = f":BLN{rnd.randint(1, 9)}     :{rnd.choice(MSG_TEXTS)}"
        elif kind == "status":
            info = ">" + rnd.choice(STATUS_TEXTS)
        else:
            info = (f"T#{rnd.randint(0, 999):03d},{rnd.randint(0, 255):03d},"
                    f"{rnd.randint(0, 255):03d},{rnd.randint(0, 255):03d},"
                    f"{rnd.randint(0, 255):03d},{rnd.randint(0, 255):03d},00000000")
        out.append(f"{src}>{tocall},{path}:{info}")
    # The last line: a numbered message to the program, answered once everything before
    # it went through the program's windows.
    out.append(f"DL9END>APRS,TCPIP*,qAC,T2END::{own_call:<9}:feed end{{99999")
    counts["end message"] = 1
    return out, counts


def make_message_feed(count, stations, own_call, checkpoint, repeat=False, seed=42):
    """Returns (lines, make-up): `count` distinct messages from `stations` calls, one in
    ten to ALL, and after every `checkpoint` of them a numbered message to own_call.
    With repeat, `count` times one message instead, each time via a digipeater not heard
    before."""
    rnd = random.Random(seed)
    calls = make_calls(stations, rnd)
    out = []
    for n in range(1, count + 1):
        igate = rnd.choice(IGATES)
        if repeat:
            out.append(f"DL1ABC>APRS,D{n}X*,qAR,{igate}::OE1XY    :Meet at the hamfest{{42")
        else:
            src = rnd.choice(calls)
            to = "ALL" if n % 10 == 0 else rnd.choice(calls)
            out.append(f"{src}>APRS,TCPIP*,qAC,{igate}::{to:<9}:{rnd.choice(MSG_TEXTS)} #{n}"
                       f"{{{n % 99999 + 1}")
        if n % checkpoint == 0:
            out.append(f"DL9END>APRS,TCPIP*,qAC,T2END::{own_call:<9}:checkpoint"
                       f"{{C{n // checkpoint}")
    out.append(f"DL9END>APRS,TCPIP*,qAC,T2END::{own_call:<9}:feed end{{99999")
    return out, {"repeat" if repeat else "message": count, "checkpoints": count // checkpoint,
                 "end message": 1}


class Flood:
    """A station not heard before in every line, each line `width` bytes: written as fast
    as the socket takes them for `seconds` or until `count` lines, whichever comes first,
    then the message to the program. Made as they go, so a million lines cost the server
    no memory."""

    def __init__(self, seconds, count, width, own_call, rate=0, stamps=False):
        self.seconds, self.count, self.width, self.own_call = seconds, count, width, own_call
        self.rate = rate
        self.stamps = stamps
        self.sent = 0
        self.last_call = ""

    @staticmethod
    def call(n):
        digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
        suffix = ""
        while True:
            suffix = digits[n % 36] + suffix
            n //= 36
            if n == 0:
                break
        # Five base-36 digits with leading zeros: a different call for each n.
        return "F" + suffix.rjust(5, "0")

    def line(self, n, rnd):
        call = self.call(n)
        head = (f"{call}>APRS,TCPIP*,qAC,T2FLOOD:!" +
                position(rnd.uniform(-79, 79), rnd.uniform(-178, 178), "/", "-") + " flood ")
        return head + "x" * max(0, self.width - 2 - len(head))

    def __call__(self, client):
        rnd = random.Random(7)
        deadline = time.monotonic() + self.seconds
        # Below 200 lines a second a second's lines at most go at once: a station or two a
        # minute is heard one by one.
        most = min(200, max(1, int(self.rate))) if self.rate else 200
        while self.sent < self.count and time.monotonic() < deadline:
            chunk = [self.line(self.sent + i, rnd)
                     for i in range(min(most, self.count - self.sent))]
            client.sendall("".join(line + "\r\n" for line in chunk).encode("latin-1"))
            self.sent += len(chunk)
            if self.stamps:
                print(f"sent {self.sent} at clock {time.monotonic():.3f}", flush=True)
            if self.rate:
                time.sleep(len(chunk) / self.rate)
            self.last_call = self.call(self.sent - 1)
        end = f"DL9END>APRS,TCPIP*,qAC,T2END::{self.own_call:<9}:feed end{{99999\r\n"
        client.sendall(end.encode("latin-1"))
        self.sent += 1

    def __len__(self):
        return self.sent


def passcode(call):
    base = call.split("-")[0].upper()
    value = 0x73E2
    for i in range(0, len(base), 2):
        value ^= ord(base[i]) << 8
        if i + 1 < len(base):
            value ^= ord(base[i + 1])
    return value & 0x7FFF


def serve(port, feed, timeout, checkpoint=0):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(1)
    listener.settimeout(timeout)
    client, _ = listener.accept()
    client.settimeout(timeout)
    client.sendall(b"# aprsc 2.1.10 loopback\r\n")
    received = b""
    while b"\n" not in received:
        received += client.recv(4096)
    login = received.split(b"\n")[0].decode("latin-1").strip()
    received = received[received.index(b"\n") + 1:]
    start = time.monotonic()
    if callable(feed):
        send = feed
    else:
        data = "".join(line + "\r\n" for line in feed).encode("latin-1")
        send = lambda client: client.sendall(data)
    sent_at = []
    # Written on a thread of its own, so that the acknowledgements are timed as they come.
    writer = threading.Thread(target=lambda: (send(client),
                                              sent_at.append(time.monotonic() - start)))
    writer.start()
    deadline = start + timeout
    seen = 0
    while b"ack99999" not in received and time.monotonic() < deadline:
        try:
            chunk = client.recv(4096)
        except socket.timeout:
            break
        if not chunk:
            break
        received += chunk
        while checkpoint and b"ackC%d" % (seen + 1) in received:
            seen += 1
            now = time.monotonic()
            print(f"handled {seen * checkpoint} at {now - start:.2f} s (clock {now:.2f})",
                  flush=True)
    writer.join()
    sent = sent_at[0] if sent_at else time.monotonic() - start
    seconds = time.monotonic() - start
    done = b"ack99999" in received
    client.close()
    listener.close()
    return login, sent, seconds, done


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=14580)
    parser.add_argument("--lines", type=int, default=60000)
    parser.add_argument("--stations", type=int, default=12000)
    parser.add_argument("--call", default="N0CALL")
    parser.add_argument("--save")
    parser.add_argument("--timeout", type=float, default=600)
    parser.add_argument("--passcode", action="store_true", help="print the call's passcode")
    parser.add_argument("--messages", action="store_true", help="distinct messages only")
    parser.add_argument("--checkpoint", type=int, default=10000)
    parser.add_argument("--flood", type=float, metavar="SECONDS",
                        help="a new station in every line for SECONDS (or --lines lines)")
    parser.add_argument("--width", type=int, default=510, help="bytes of a --flood line")
    parser.add_argument("--rate", type=float, default=0,
                        help="--flood lines a second at most (0: as fast as taken)")
    parser.add_argument("--stamps", action="store_true",
                        help="with --flood: print the clock after each write")
    parser.add_argument("--repeat", action="store_true",
                        help="with --messages: one message again and again via new digipeaters")
    args = parser.parse_args()
    if args.passcode:
        print(passcode(args.call))
        return 0
    if args.flood:
        feed, counts = Flood(args.flood, args.lines, args.width, args.call, args.rate,
                               args.stamps), {"flood": "new"}
    elif args.messages:
        feed, counts = make_message_feed(args.lines, args.stations, args.call, args.checkpoint,
                                         args.repeat)
    else:
        feed, counts = make_feed(args.lines, args.stations, args.call)
    if args.save and not args.flood:
        with open(args.save, "w", encoding="latin-1", newline="") as f:
            f.writelines(line + "\r\n" for line in feed)
    print("feed: " + ", ".join(f"{k} {v}" for k, v in counts.items()), flush=True)
    login, sent, seconds, done = serve(args.port, feed, args.timeout,
                                       args.checkpoint if args.messages else 0)
    print(f"login: {login}")
    if args.flood:
        print(f"stations {len(feed) - 1}, the last {feed.last_call}")
    print(f"lines {len(feed)} sent in {sent:.2f} s, handled in {seconds:.2f} s: "
          f"{len(feed) / seconds:.0f} lines/s" + ("" if done else " (NO ACK: not finished)"))
    return 0 if done else 1


if __name__ == "__main__":
    sys.exit(main())
