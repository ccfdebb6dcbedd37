#!/usr/bin/python3
"""An X10 CM11A power-line interface on a pseudo-terminal: it checksums every
frame it is sent and waits for the 0x00 that accepts the checksum before
answering ready (0x55); it answers the status request with a 14-byte reply,
announces received traffic with 0x5A and hands its buffer over on 0xC3, and
can ask for the clock (0xA5). The test program drives it through the control
socket: queueing traffic, spoiling checksums, reading back the frames."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import device_peer  # noqa: E402

# Frame header -> total length of the frame.
LENGTHS = {0x9B: 7, 0xFB: 43, 0x07: 5}


class CM11A(device_peer.Device):
    def __init__(self):
        super().__init__()
        self.pending = bytearray()
        self.frames = []
        self.awaiting_ack = False
        self.bad_sums = 0
        self.poll_buffer = b""
        self.status = bytes(14)

    def frame_length(self, header):
        if header in LENGTHS:
            return LENGTHS[header]
        if header & 0x07 in (0x04, 0x06):
            return 2
        return 0

    def on_bytes(self, data):
        self.pending.extend(data)
        while self.pending:
            header = self.pending[0]
            if self.awaiting_ack and header == 0x00:
                del self.pending[0]
                self.awaiting_ack = False
                self.write(b"\x55")
                continue
            if header == 0x00:
                del self.pending[0]
                continue
            if header == 0xC3:
                del self.pending[0]
                self.frames.append("C3")
                self.write(self.poll_buffer)
                self.poll_buffer = b""
                continue
            if header == 0x8B:
                del self.pending[0]
                self.frames.append("8B")
                self.write(self.status)
                continue
            length = self.frame_length(header)
            if length == 0:
                self.frames.append("?%02X" % header)
                del self.pending[0]
                continue
            if len(self.pending) < length:
                return
            frame = bytes(self.pending[:length])
            del self.pending[:length]
            self.frames.append(frame.hex().upper())
            checksum = sum(frame) & 0xFF
            # A spoiled checksum stands for a frame garbled on the line: the
            # program sends the frame again, so no acceptance is awaited.
            if self.bad_sums > 0:
                self.bad_sums -= 1
                checksum ^= 0xFF
            else:
                self.awaiting_ack = True
            self.write(bytes([checksum]))

    def control(self, words):
        command, args = words[0], words[1:]
        if command == "frames":
            answer = " ".join(self.frames)
            self.frames = []
            return answer or "-"
        if command == "badsum":
            self.bad_sums = int(args[0])
        elif command == "status":
            self.status = bytes.fromhex("".join(args))
        elif command == "poll":
            self.poll_buffer = bytes.fromhex("".join(args))
            self.write(b"\x5a")
        elif command == "send":
            self.write(bytes.fromhex("".join(args)))
        else:
            return "unknown"
        return "ok"


device_peer.run(CM11A(), 8, "CM11APeer*")
