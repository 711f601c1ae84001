#!/usr/bin/env bash
# Installs the Debian 12 packages Sonavex needs to build, run and test. Installs only what is missing.
set -euo pipefail

packages=(
  # build (python3: the layer check; libxkbcommon-dev answers Qt's look for XKB, so configuring
  # prints no "Could NOT find XKB")
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev libtsan2 python3
  qt6-base-dev qt6-svg-dev libgl-dev libxcb1-dev libxkbcommon-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # playback: every format the engine is expected to decode
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-plugins-bad gstreamer1.0-libav gstreamer1.0-pulseaudio gstreamer1.0-tools
  timgm6mb-soundfont
  # internet radio: TLS for https addresses (GStreamer's HTTP source brings libsoup)
  glib-networking
  # fonts: free families metric-compatible with the ones the windows were designed in
  fonts-urw-base35 fonts-texgyre fonts-liberation2 fonts-dejavu-core
  # tests: a private sound server and a virtual display; test audio is made with gst-launch-1.0
  # (MP3 with a LAME header by lame), and stress-ng makes the load the sound must hold under
  pulseaudio pulseaudio-utils xvfb xauth lame stress-ng
  # the media controls: a private session bus and the media-key client that drives it
  dbus-daemon playerctl
  # the X11 window tests: a real pointer, a window manager, xprop to await it and xwininfo's shapes
  xdotool openbox x11-utils
  # what a screen reader gets: a private accessibility bus and a client of it (Python, GObject)
  at-spi2-core python3-gi gir1.2-atspi-2.0
  # packaging: the .deb (dpkg-shlibdeps) and the checks of its desktop entry, metainfo, MIME type
  # and icons (scripts/package.sh, scripts/check-package.sh)
  dpkg-dev desktop-file-utils appstream shared-mime-info libxml2-utils file
)

# One query for all of them: the check runs before every start of the player.
installed="$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  sed -n 's/ install ok installed$//p' || true)"
missing=()
for p in "${packages[@]}"; do
  grep -qx "$p" <<<"$installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
