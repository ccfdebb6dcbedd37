#!/usr/bin/python3
"""Ruvelo's recording under Wine through a real PulseAudio daemon that this
script starts (no system service) with a 440 Hz sine source as the default
input: the WAV file the plug-in writes is read back with Python's wave module
(format, about ten seconds, the tone's frequency). Without a daemon the
answer names the failure."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import wave

build = os.environ["VX_BUILD_DIR"]
root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]
wine_run = os.path.join(root, "scripts", "wine-run.sh")
work = tempfile.mkdtemp(prefix="ruvelo-", dir=os.path.join(build, "wine"))
failures = []


def check(cond, what):
    print(("ok   " if cond else "FAIL ") + what, flush=True)
    if not cond:
        failures.append(what)


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def register_profile(profile, smtp_port):
    """A mail profile of the assistant's mail provider that sends through the SMTP server."""
    reg = os.path.join(work, "profile.reg")
    os.makedirs(os.path.join(work, "Maildir", "new"), exist_ok=True)
    os.makedirs(os.path.join(work, "Maildir", "cur"), exist_ok=True)
    os.makedirs(os.path.join(work, "Maildir", "tmp"), exist_ok=True)
    os.makedirs(os.path.join(work, "Outbox", "new"), exist_ok=True)
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % profile)
        f.write('"Password"=""\n')
        f.write('"Maildir"="%s"\n' % winpath(os.path.join(work, "Maildir")).replace("\\", "\\\\"))
        # The owner's own address: with no accepted senders listed, only the
        # owner may have a recording sent by mail.
        f.write('"From"="someone@example.com"\n"SmtpServer"="127.0.0.1:%d"\n' % smtp_port)
        f.write('"Outbox"="%s"\n' % winpath(os.path.join(work, "Outbox")).replace("\\", "\\\\"))
    subprocess.run([wine_run, "regedit", "/S", winpath(reg)], check=True, timeout=120, capture_output=True)


def run(case, pulse_server, profile="", requester=""):
    env = dict(os.environ, VX_RUVELO_CASE=case, VX_RUVELO_DIR=work, PULSE_SERVER=pulse_server,
               VX_RUVELO_PROFILE=profile, VX_RUVELO_REQUESTER=requester)
    r = subprocess.run([wine_run, os.path.join(tests, "ruvelo_sound_action_tests.exe")], env=env,
                       capture_output=True, text=True, timeout=300)
    sys.stdout.write(r.stdout[-4000:])
    sys.stderr.write(r.stderr[-2000:])
    check(r.returncode == 0, case + ": the plug-in's answer")


def start_pulse():
    run_dir = os.path.join(work, "pulse")
    os.makedirs(run_dir, exist_ok=True)
    socket = os.path.join(run_dir, "native")
    config = os.path.join(run_dir, "default.pa")
    with open(config, "w") as f:
        f.write("load-module module-native-protocol-unix socket=%s auth-anonymous=1\n" % socket)
        f.write("load-module module-null-sink sink_name=silence\n")
        f.write("set-default-source silence.monitor\n")
        f.write("set-default-sink silence\n")
    env = dict(os.environ, XDG_RUNTIME_DIR=run_dir, HOME=run_dir, PULSE_RUNTIME_PATH=run_dir)
    daemon = subprocess.Popen(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                               "--disallow-exit", "--system=no", "-F", config],
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    server = "unix:" + socket
    # The daemon answers once its socket is up, before the rest of the set-up
    # has run: wait until the null sink's monitor is the default source, or a
    # client may find no input at all.
    deadline = time.time() + 60
    while time.time() < deadline:
        if daemon.poll() is not None:
            raise RuntimeError("pulseaudio ended: " + daemon.stderr.read().decode(errors="replace"))
        try:
            info = subprocess.run(["pactl", "-s", server, "info"], capture_output=True, text=True, timeout=30)
            if info.returncode == 0 and "Default Source: silence.monitor" in info.stdout:
                return daemon, server
        except subprocess.TimeoutExpired:
            pass
        time.sleep(0.2)
    daemon.terminate()
    raise RuntimeError("pulseaudio did not answer with the silence monitor as its default source")


def play_tone(server):
    """A 440 Hz tone played into the daemon's sink, whose monitor is the input;
    it lasts until stop_tone (a run may take minutes on a loaded machine)."""
    return subprocess.Popen(["sh", "-c", "sox -n -r 44100 -c 1 -b 16 -e signed-integer -t raw - synth 1800 sine 440 "
                             "| pacat -s '%s' --rate=44100 --channels=1 --format=s16le" % server],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)


def stop_tone(player):
    """Ends the player's whole process group (the shell, sox and pacat)."""
    try:
        os.killpg(player.pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    try:
        player.wait(timeout=30)
    except subprocess.TimeoutExpired:
        os.killpg(player.pid, signal.SIGKILL)
        player.wait(timeout=30)


def stop_pulse(daemon):
    daemon.terminate()
    try:
        daemon.wait(timeout=30)
    except subprocess.TimeoutExpired:
        daemon.kill()
        daemon.wait(timeout=30)


def dominant_frequency(samples, rate):
    """The frequency of a pure tone from its mean crossings."""
    mean = sum(samples) / len(samples)
    crossings = sum(1 for a, b in zip(samples, samples[1:]) if (a - mean) < 0 <= (b - mean))
    return crossings * rate / len(samples)


def recordings():
    """The recordings in the plug-in's folder: name -> bytes."""
    folder = os.path.join(work, "Temporary Files")
    if not os.path.isdir(folder):
        return {}
    found = {}
    for name in os.listdir(folder):
        if name.upper().startswith("SS_") and name.lower().endswith(".wav"):
            with open(os.path.join(folder, name), "rb") as f:
                found[name] = f.read()
    return found


def check_wave_bytes(content):
    path = os.path.join(work, "check.wav")
    with open(path, "wb") as f:
        f.write(content)
    with wave.open(path) as w:
        check(w.getnchannels() == 1, "mono")
        check(w.getsampwidth() == 1, "8 bits")
        check(w.getframerate() == 11025, "11025 samples per second")
        frames = w.getnframes()
        seconds = frames / 11025.0
        # Ten seconds of recording, less the device's start-up (over a second
        # under Wine with PulseAudio).
        # Ten seconds of samples, however late the device starts delivering.
        check(abs(seconds - 10.0) < 0.01, "ten seconds of sound (%.3f s)" % seconds)
        data = w.readframes(frames)
    with open(path, "rb") as f:
        header = f.read(44)
    check(int.from_bytes(header[28:32], "little") == 11025, "11025 bytes per second")
    check(int.from_bytes(header[32:34], "little") == 1, "alignment 1")
    # Skip the first half second, while the source settles.
    samples = list(data[5512:])
    if samples:
        f = dominant_frequency(samples, 11025)
        check(abs(f - 440) < 440 * 0.05, "the tone is 440 Hz (%.1f Hz)" % f)


try:
    # No daemon: the input cannot be opened, and the answer says so.
    run("no-device", "unix:" + os.path.join(work, "no-such-socket"))
    daemon, server = start_pulse()
    try:
        shutil.rmtree(os.path.join(work, "Temporary Files"), ignore_errors=True)
        player = play_tone(server)
        try:
            run("tone", server)
        finally:
            stop_tone(player)
    finally:
        stop_pulse(daemon)
    kept = recordings()
    check(len(kept) == 1, "the recording is kept for the web page: %s" % sorted(kept))
    for content in kept.values():
        check_wave_bytes(content)

    # By mail, through a real SMTP server: the WAV arrives as an attachment.
    sys.path.insert(0, os.path.join(root, "testsupport", "python"))
    import email
    import email.policy
    import vxtest
    with vxtest.smtp_server() as (port, received):
        profile = "RuveloTest%d" % os.getpid()
        register_profile(profile, port)
        daemon, server = start_pulse()
        try:
            # The web answer's recording stays: the next one must not overwrite it.
            player = play_tone(server)
            try:
                run("mail", server, profile)
            finally:
                stop_tone(player)
        finally:
            stop_pulse(daemon)
        deadline = time.time() + 120
        while not received and time.time() < deadline:
            time.sleep(0.2)
    check(len(received) == 1, "one answer by mail (%d)" % len(received))
    if received:
        _, rcpts, content = received[0]
        msg = email.message_from_bytes(content, policy=email.policy.default)
        check(rcpts == ["someone@example.com"], "to the requester: %s" % rcpts)
        check(str(msg["Subject"]) == "Audio Response.", "subject " + str(msg["Subject"]))
        waves = [p for p in msg.iter_attachments() if (p.get_filename() or "").lower().endswith(".wav")]
        check(len(waves) == 1, "a WAV attachment")
        if not waves:
            body = msg.get_body(preferencelist=("plain",))
            print("the answer said: " + (body.get_content() if body else "(no text)"))
        if waves:
            check_wave_bytes(waves[0].get_payload(decode=True))
    check(recordings() == kept, "the recording sent by mail is removed, the web answer's left as it was")

    # A stranger's mail, with no accepted senders listed: the refusal goes to
    # the stranger, and nothing is recorded (no sound server is even there).
    stranger = "stranger@example.net"
    with vxtest.smtp_server() as (port, received):
        register_profile(profile, port)
        run("mail-stranger", "unix:" + os.path.join(work, "no-such-socket"), profile, stranger)
        deadline = time.time() + 120
        while not received and time.time() < deadline:
            time.sleep(0.2)
    check(len(received) == 1, "one answer to the stranger (%d)" % len(received))
    if received:
        _, rcpts, content = received[0]
        msg = email.message_from_bytes(content, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        check(rcpts == [stranger], "to the stranger: %s" % rcpts)
        check(str(msg["Subject"]) == "Request refused." and body is not None
              and "Your request was refused." in body.get_content(), "the refusal: %s" % msg["Subject"])
        check(not list(msg.iter_attachments()), "no recording for the stranger")
finally:
    if not failures:
        shutil.rmtree(work, ignore_errors=True)

sys.exit(1 if failures else 0)
