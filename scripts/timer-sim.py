#!/usr/bin/env python3
"""A timing device or a scoreboard on a pseudo-terminal, for trying Rittmeter without hardware.

Device (default): prints the port's path, then writes a Timy's lines as commands on stdin ask:
  start [HH:MM:SS.zhtq] [number]   finish [...]   key start|finish   number N
  garbage   long   badsum   unknown   badtime   flood N [start|finish|c2|garbage]
  raw TEXT   checksum on|off   quit
A time left out is the device's time of day now. The program's settings take the path as DevPort.

Board (--board): prints the port's path, then every line the program sends to it.

--link PATH points a symbolic link at the port, so a restarted simulator keeps one path.
"""
import argparse
import datetime
import os
import select
import sys
import tty


def time_of_day():
    now = datetime.datetime.now()
    return "%02d:%02d:%02d.%04d" % (now.hour, now.minute, now.second, now.microsecond // 100)


def checksum(characters):
    total = sum(characters.encode("latin-1")) & 0xFF
    return chr(0x30 + (total >> 4)) + chr(0x30 + (total & 0x0F))


def timy_line(channel, stamp=None, number=1, status=" "):
    # yNNNNxCCCxHH:MM:SS.zhtqxGG, 26 characters
    return "%s%04d %-3s %s 00" % (status, number, channel, stamp or time_of_day())


class Device:
    def __init__(self, master):
        self.master = master
        self.number = 1
        self.with_checksum = False

    def send(self, lines):
        data = b"".join(line.encode("latin-1") + b"\r" for line in lines)
        while data:
            data = data[os.write(self.master, data):]

    def line(self, channel, args):
        stamp = next((a for a in args if ":" in a), None)
        numbers = [a for a in args if a.isdigit()]
        if numbers:
            self.number = int(numbers[0])
        text = timy_line(channel, stamp, self.number)
        return text + checksum(text) if self.with_checksum else text

    def command(self, words):
        name, args = words[0], words[1:]
        channels = {"start": "c0", "finish": "c1", "c2": "c2"}
        if name in channels:
            self.send([self.line(channels[name], args)])
        elif name == "key" and args:
            self.send([self.line(channels.get(args[0], "c0") + "M", args[1:])])
        elif name == "number" and args:
            self.number = int(args[0])
            self.send(["n%04d" % self.number])
        elif name == "garbage":
            self.send(["\x00\x1b#%&*~ kein Zeitmessgeraet \xff\xfe"])
        elif name == "long":
            self.send(["A" * 10000])
        elif name == "badsum":
            text = timy_line("c0", None, self.number)
            wrong = checksum(text)
            self.send([text + wrong[0] + chr(0x30 + (ord(wrong[1]) - 0x30 + 1) % 16)])
        elif name == "unknown":
            self.send([timy_line("X7", None, self.number)])
        elif name == "badtime":
            self.send([timy_line("c0", "25:61:00.0000", self.number)])
        elif name == "flood" and args:
            kind = args[1] if len(args) > 1 else "garbage"
            if kind == "garbage":
                lines = ["#%d garbage" % i for i in range(int(args[0]))]
            else:
                lines = [self.line(channels.get(kind, kind), []) for _ in range(int(args[0]))]
            self.send(lines)  # in one write
        elif name == "raw":
            self.send([" ".join(args)])
        elif name == "checksum" and args:
            self.with_checksum = args[0] == "on"
        else:
            print("? " + " ".join(words), file=sys.stderr)


def run_board(master):
    pending = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # no one has the port open: wait
            select.select([], [], [], 0.2)
            continue
        pending += chunk
        *lines, pending = pending.split(b"\r")
        for line in lines:
            stamp = datetime.datetime.now().strftime("%H:%M:%S.%f")[:-3]
            print("%s [%s]" % (stamp, line.decode("latin-1")), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--board", action="store_true", help="read what a board receives")
    parser.add_argument("--link", help="a symbolic link pointed at the port")
    options = parser.parse_args()

    master, slave = os.openpty()
    tty.setraw(slave)  # no echo, no line editing until the program sets its own mode
    path = os.ttyname(slave)
    if options.link:
        temporary = options.link + ".new"
        if os.path.lexists(temporary):
            os.remove(temporary)
        os.symlink(path, temporary)
        os.replace(temporary, options.link)
    print(path, flush=True)

    if options.board:
        run_board(master)
        return
    device = Device(master)
    for text in sys.stdin:
        words = text.split()
        if not words:
            continue
        if words[0] == "quit":
            break
        device.command(words)
    os.close(master)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        pass
