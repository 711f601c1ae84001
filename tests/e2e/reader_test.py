#!/usr/bin/python3
"""What a screen reader gets from the running player over AT-SPI. This reader listens from before
the player starts, as Orca does, but only for focus changes and notifications, so it keeps what it
read unless told of a change. After a track change and 3 s of play it must read the title, the
times and the seek bar as a reader started afresh does, have been told each title and have heard
no focus event off the loop box. Run under scripts/with-x11.sh and with-atspi.sh in the end-to-end
tests' session bus and sound server."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def until(condition, seconds):
    """Runs the reader's main loop (where, as in any reader, what is read is kept) until
    `condition` holds, for at most `seconds`; whether it held."""
    held = []

    def check():
        held.append(condition())
        over = held[-1] or len(held) > seconds * 4
        if over:
            Atspi.event_quit()
        return not over
    GLib.timeout_add(250, check)
    Atspi.event_main()
    return held[-1]


def controls(window_name, role):
    """The controls of a role in the player's window of that name."""
    kids = lambda node: [node.get_child_at_index(i) for i in range(node.get_child_count())] if node else []
    apps = [a for a in kids(Atspi.get_desktop(0)) if a and a.get_name() == "Sonavex"]
    window = next((w for a in apps for w in kids(a) if w.get_name() == window_name), None)
    return [c for c in kids(window) if c.get_role_name() == role]


def read():
    """The title, the elapsed and total times and the seek bar's times, as they are named."""
    labels = {c.get_description(): c.get_name() for c in controls("Sonavex", "label")}
    seek = [c.get_description() for c in controls("Sonavex", "slider")]
    return [labels.get("Title"), labels.get("Elapsed time"), labels.get("Total time")] + seek


def equalizer():
    """The equalizer's sliders: the name and value of each."""
    return [(c.get_name(), c.get_value_iface().get_current_value()) for c in controls("Equalizer", "slider")]


def fresh_reading():
    """What a reader started now reads: this script on its own, which keeps nothing."""
    return json.loads(subprocess.run([sys.executable, __file__], check=True, capture_output=True,
                                     text=True).stdout)


def main(player, work):
    focus, told = [], []  # (role, name) of every focus event; what notifications told
    Atspi.EventListener.new(lambda e: focus.append((e.source.get_role_name(), e.source.get_name()))) \
        .register("focus:")
    Atspi.EventListener.new(lambda e: e.detail1 and e.source.get_role_name() == "notification" and
                            told.append(e.source.get_name())).register("object:state-changed:showing")
    songs = [os.path.join(work, name) for name in ("one.mp3", "two.mp3")]
    for song, seconds in zip(songs, (1, 10)):  # silence
        subprocess.run(["lame", "--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-", song],
                       input=bytes(176400 * seconds), check=True)
    with open(os.path.join(work, "lastplaylist.txt"), "w") as playlist:
        playlist.write("".join(song + "\r\n" for song in songs))
    shutil.copy(player, work)
    env = dict(os.environ, XDG_RUNTIME_DIR=work, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    with subprocess.Popen([os.path.join(work, os.path.basename(player))], env=env) as started:
        try:
            assert until(lambda: read()[0] == "Title", 20), "no player window"
            subprocess.run(["xdotool", "key", "--delay", "300", "Tab", "Tab"], check=True)
            assert until(lambda: focus[-1:] == [("check box", "Loop")], 5), focus
            subprocess.run(["playerctl", "-p", "sonavex", "play"], check=True)
            assert until(lambda: read()[0] == "two.mp3", 15), "afresh: %s" % fresh_reading()
            until(lambda: False, 3)
            for _ in range(3):  # the clock may tick between the two readings
                mine, fresh = [], fresh_reading()
                until(lambda: mine.extend(read()) or True, 1)
                if mine == fresh:
                    break
            assert mine == fresh, "kept %s, read afresh %s" % (mine, fresh)
            float(mine[1])  # a time by now, not the label's designation
            assert (mine[0], mine[2], mine[3][-8:]) == ("two.mp3", "0.17", " of 0:10"), mine
            assert focus[-1] == ("check box", "Loop"), "focus events off the loop box: %s" % focus
            assert told[-2:] == ["one.mp3", "two.mp3"], told
            subprocess.run(["xdotool", "key", "ctrl+e"], check=True)
            assert until(lambda: len(equalizer()) == 11 and equalizer()[:2] == [("Preamp", 0), ("31 Hz", 0)], 5), equalizer()
        finally:
            started.terminate()


if __name__ == "__main__":
    if len(sys.argv) == 1:  # the fresh reader
        print(json.dumps(read()))
    elif "SONAVEX_PULSE_SINK" not in os.environ:
        sys.exit(77)
    else:
        with tempfile.TemporaryDirectory() as folder:
            main(sys.argv[1], folder)
