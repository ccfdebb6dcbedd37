#!/usr/bin/python3
"""A serial control board on a pseudo-terminal, speaking its line protocol:
commands and replies end with a carriage return (a line feed follows once
LF=1 is set). It answers the handshake, keeps ten digital outputs and five
analog inputs, and reports X10 traffic as event lines. The test program
drives it through the control socket and reads back the command lines."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import device_peer  # noqa: E402


class Board(device_peer.Device):
    def __init__(self):
        super().__init__()
        self.pending = bytearray()
        self.lines = []
        self.line_feed = False
        self.digital = [0] * 10
        self.analog = [30, 0, 30, 0, 0]
        self.refuse = set()

    def reply(self, text):
        self.write(text.encode("ascii") + (b"\r\n" if self.line_feed else b"\r"))

    def on_bytes(self, data):
        self.pending.extend(data)
        while b"\r" in self.pending:
            end = self.pending.index(b"\r")
            line = self.pending[:end].decode("ascii", "replace")
            del self.pending[:end + 1]
            self.lines.append(line)
            self.answer(line)

    def answer(self, line):
        if line.split("=")[0] in self.refuse:
            self.reply("ERR")
            return
        if line == "RESET":
            self.line_feed = False
            self.reply("READY")
        elif line == "ECHO=1":
            self.reply("ECHO=1")
        elif line in ("LF=1", "LF?"):
            self.line_feed = True
            self.reply("LF=1")
        elif line.startswith("X10="):
            self.reply(line)
        elif len(line) == 5 and line.startswith("DIG") and line.endswith("M"):
            self.reply(line + " OK")
        elif line.startswith("DIG") and line.endswith("?"):
            self.reply("DIG%s=%03d" % (line[3], self.digital[int(line[3])]))
        elif line.startswith("DIG") and "=" in line:
            channel, value = int(line[3]), int(line[5:])
            self.digital[channel] = value
            self.reply("DIG%d=%03d" % (channel, value))
        elif line.startswith("ANA") and line.endswith("?"):
            self.reply("ANA%s=%03d" % (line[3], self.analog[int(line[3])]))

    def ready(self, words):
        # "lines N" waits until N lines have come.
        return words[0] != "lines" or len(words) < 2 or len(self.lines) >= int(words[1])

    def control(self, words):
        command, args = words[0], words[1:]
        if command == "lines":
            answer = "|".join(self.lines)
            self.lines = []
            return answer or "-"
        if command == "send":
            # Each argument is one line; "_" stands for a blank inside it.
            for text in args:
                self.reply(text.replace("_", " "))
        elif command == "analog":
            self.analog[int(args[0])] = int(args[1])
        elif command == "refuse":
            self.refuse = set(args)
        else:
            return "unknown"
        return "ok"


device_peer.run(Board(), 9, "BoardPeer.*")
