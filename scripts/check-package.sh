#!/usr/bin/env bash
# Checks a built Debian package of Sonavex without installing it: its control fields (the
# dependencies computed by dpkg-shlibdeps and the run-time ones named in packaging/), its contents,
# the desktop entry (desktop-file-validate), the AppStream metainfo (appstreamcli), the playlist MIME
# type (xmllint, and update-mime-database into a scratch folder), the icon's sizes, and the packaged
# program itself (--version, and --file-info on a small MP3 made with gst-launch-1.0).
# Usage: scripts/check-package.sh PACKAGE.deb      (the last line counts the checks that passed)
set -euo pipefail
deb="$(realpath "$1")"
app_id="io.github.sonavex.Sonavex"
icon_sizes=(16 22 24 32 48 64 128 256)

work="$(mktemp -d /tmp/sonavex-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT
checks=0
ok() {
  checks=$((checks + 1))
  echo "ok: $*"
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# --- control fields
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = sonavex ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = sound ] || fail "Section is '$(field Section)'"
depends="$(field Depends)"
[ -n "$depends" ] || fail "the Depends field is empty"
# Libraries found by dpkg-shlibdeps, and the run-time packages it cannot see.
for needed in libc6 libqt6core6 libqt6widgets6 libqt6svg6 libqt6network6 libgstreamer1.0-0 \
  libgstreamer-plugins-base1.0-0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
  gstreamer1.0-pulseaudio glib-networking fonts-urw-base35 fonts-liberation2 fonts-dejavu-core; do
  grep -Eq "(^|[ ,|])$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
ok "Depends: $depends"
for recommended in gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad gstreamer1.0-libav \
  timgm6mb-soundfont; do
  grep -q "$recommended" <<<"$(field Recommends)" || fail "Recommends lacks $recommended"
done
ok "Recommends: $(field Recommends)"
# dpkg triggers refresh the desktop, MIME and icon caches: no maintainer script is needed or shipped.
if dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -Eq '(postinst|postrm|preinst|prerm)$'; then
  fail "the package carries maintainer scripts"
fi
ok "no maintainer scripts"

# --- contents
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
expected=(/usr/bin/sonavex "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml" /usr/share/mime/packages/sonavex.xml
  /usr/share/icons/hicolor/scalable/apps/sonavex.svg)
for size in "${icon_sizes[@]}"; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/sonavex.png")
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
unexpected="$(grep -v '/$' "$work/contents" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)"
[ -z "$unexpected" ] || fail "the package holds files nobody asked for: $unexpected"
ok "contents: ${#expected[@]} files, the expected ones only"

dpkg-deb -x "$deb" "$work/root"
share="$work/root/usr/share"

# --- the desktop entry
desktop="$share/applications/$app_id.desktop"
out="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "sonavex %U" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = sonavex ] || fail "Icon is '$(entry Icon)'"
ok "desktop entry valid"

# --- the metainfo
out="$(appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" 2>&1)" ||
  fail "appstreamcli validate: $out"
ok "metainfo valid ($(tail -n 1 <<<"$out" | sed 's/^[^A-Za-z]*//'))"

# --- the MIME type: well-formed, accepted by update-mime-database beside the system's types, and
# every type the desktop entry and the metainfo name is a known one (or an alias of one).
xmllint --noout "$share/mime/packages/sonavex.xml" || fail "sonavex.xml is not well-formed XML"
mkdir -p "$work/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$share/mime/packages/sonavex.xml" \
  "$work/mime/packages/"
# (Told that the folder is in the data search path, it makes no remark about that.)
out="$(XDG_DATA_HOME="$work" XDG_DATA_DIRS="$work" update-mime-database "$work/mime" 2>&1)" ||
  fail "update-mime-database: $out"
[ -z "$out" ] || fail "update-mime-database has remarks: $out"
grep -qxF "50:application/x-sonavex-playlist:*.plt" "$work/mime/globs2" ||
  fail "*.plt is not application/x-sonavex-playlist"
tr ';' '\n' <<<"$(entry MimeType)" | sed '/^$/d' | sort >"$work/desktop-types"
sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$share/metainfo/$app_id.metainfo.xml" |
  sort >"$work/metainfo-types"
for playlist in application/x-sonavex-playlist audio/x-mpegurl audio/x-scpls application/xspf+xml; do
  grep -qxF "$playlist" "$work/desktop-types" || fail "the desktop entry does not open $playlist"
done
while read -r type; do
  grep -qxF "$type" "$work/mime/types" || grep -q "^$type " "$work/mime/aliases" ||
    fail "the desktop entry names the unknown MIME type $type"
  grep -qxF "$type" "$work/metainfo-types" || grep -q "^$type " "$work/mime/aliases" ||
    fail "the metainfo does not provide $type"
done <"$work/desktop-types"
ok "MIME type valid, *.plt registered, $(wc -l <"$work/desktop-types") types opened"

# --- the icon
for size in "${icon_sizes[@]}"; do
  png="$share/icons/hicolor/${size}x${size}/apps/sonavex.png"
  file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "$png is $(file -b "$png")"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/sonavex.svg" || fail "the SVG icon is not XML"
ok "icon: SVG and PNGs of ${icon_sizes[*]} px"

# --- the packaged program
program="$work/root/usr/bin/sonavex"
version="$("$program" --version)" || fail "sonavex --version failed"
[[ "$version" == "sonavex $(field Version)"* ]] ||
  fail "the program says '$version', the package $(field Version)"
ok "$version"
mp3="$work/tone.mp3"
gst-launch-1.0 -q audiotestsrc num-buffers=50 ! audioconvert ! \
  lamemp3enc target=bitrate bitrate=128 cbr=true ! filesink location="$mp3"
status=0
"$program" --file-info "$mp3" >"$work/info" 2>"$work/info.err" || status=$?
[ "$status" -eq 0 ] || fail "--file-info exited $status: $(cat "$work/info.err")"
for line in "file	$mp3" "labLayer	MPEG 1.0 layer 3" "labBitRate	128Kbit" \
  "labFreqChan	44100 Hz  Mono"; do
  grep -qxF "$line" "$work/info" || fail "--file-info lacks '$line': $(cat "$work/info")"
done
ok "--file-info reads an MP3 ($(grep -c . "$work/info") lines)"

echo "package checks: $checks passed"
