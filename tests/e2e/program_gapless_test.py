#!/usr/bin/python3
"""The program itself, started as a user starts it, plays a continuous sine cut into three files
without a hole at the joins: the engine's look ahead at queued paths works in a fresh process too,
where nothing started GStreamer before it. Run in the end-to-end tests' session bus and sound
server."""
import array
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
import wave


def write_parts(work, seconds=1.0, rate=44100):
    paths, first = [], 0
    for part in range(3):
        path = os.path.join(work, "part%d.wav" % part)
        count = int(seconds * rate)
        samples = array.array("h", (round(16384 * math.sin(2 * math.pi * 441 * n / rate))
                                    for n in range(first, first + count) for _ in range(2)))
        with wave.open(path, "wb") as out:
            out.setnchannels(2), out.setsampwidth(2), out.setframerate(rate)
            out.writeframes(samples.tobytes())
        paths.append(path)
        first += count
    return paths


def ctl(*args):
    return subprocess.run(["playerctl", "-p", "sonavex", *args], capture_output=True, text=True)


def main(player, work):
    with open(os.path.join(work, "lastplaylist.txt"), "w") as playlist:
        playlist.write("".join(path + "\r\n" for path in write_parts(work)))
    shutil.copy(player, work)
    env = dict(os.environ, XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="offscreen")
    with subprocess.Popen([os.path.join(work, os.path.basename(player))], env=env,
                          stderr=subprocess.DEVNULL) as started:
        try:
            deadline = time.monotonic() + 20
            while ctl("status").returncode != 0:
                assert time.monotonic() < deadline, "the player is not on the bus"
                time.sleep(0.2)
            time.sleep(1)  # the restored list is looked at ahead meanwhile
            recording = os.path.join(work, "heard.raw")
            with open(recording, "wb") as out, subprocess.Popen(
                    ["parec", "--device=%s.monitor" % os.environ["SONAVEX_PULSE_SINK"], "--format=s16le",
                     "--rate=44100", "--channels=1", "--latency-msec=20"], stdout=out) as recorder:
                ctl("play")
                time.sleep(4)
                recorder.kill()
            heard = array.array("h", open(recording, "rb").read())
        finally:
            started.terminate()
    loud = [i for i, s in enumerate(heard) if abs(s) > 8000]
    assert len(loud) > 44100, "less than the first two parts heard"
    longest = run = 0
    for s in heard[loud[0]:loud[-1]]:
        run = run + 1 if abs(s) < 100 else 0
        longest = max(longest, run)
    assert longest < 2, "a hole of %.1f ms at a join" % (1000 * longest / 44100)


if __name__ == "__main__":
    if "SONAVEX_PULSE_SINK" not in os.environ:
        sys.exit(77)
    with tempfile.TemporaryDirectory() as folder:
        main(sys.argv[1], folder)
