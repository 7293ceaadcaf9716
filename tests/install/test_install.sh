#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install into a temporary prefix (with a space in it), twice: the program folder, the
# launcher, the menu entry and the metainfo (validated), the icons at their sizes; the second
# installation keeps the data file with what the user stored. The launcher still finds the program
# once moved, and picks XWayland on a Wayland session that has it. A user who cannot write the
# program folder is told at start-up, with the path.
#   test_install.sh BUILD_DIR
set -u
build=${1:?usage: $0 build-dir}
work=$(mktemp -d "${TMPDIR:-/tmp}/vespelinda-install.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
id=org.vespelinda.Vespelinda
prefix="$work/pre fix"
program="$prefix/lib/vespelinda"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "installation failed: $(cat "$work/install.log")"
for f in bin/vespelinda lib/vespelinda/Vespelinda lib/vespelinda/vespelinda-sound.so lib/vespelinda/dati.mdb \
    "share/applications/$id.desktop" \
    "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/scalable/apps/$id.svg"; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/vespelinda" ] && [ -x "$program/Vespelinda" ] || fail "the launcher or the program cannot be run"
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ "$(identify -format '%m %wx%h' "$png" 2>/dev/null)" = "PNG ${size}x${size}" ] || fail "no ${size}-pixel PNG icon"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the menu entry does not validate"
grep -qxF "Exec=\"$prefix/bin/vespelinda\" %F" "$prefix/share/applications/$id.desktop" ||
    fail "the menu entry does not start the installed launcher: $(grep Exec= "$prefix/share/applications/$id.desktop")"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo does not validate"

sqlite3 "$program/dati.mdb" "INSERT INTO Rubrica (Nome, Telefono, Email) VALUES ('Anna', '0612', 'anna@example.org')" ||
    fail "the installed data file cannot be written"
cmake --install "$build" --prefix "$prefix" >"$work/install2.log" || fail "the second installation failed"
grep -q "Kept.*dati.mdb" "$work/install2.log" || fail "the second installation did not say it kept dati.mdb"
[ "$(sqlite3 "$program/dati.mdb" "SELECT Nome FROM Rubrica")" = Anna ] || fail "the second installation lost the user's data"

# The launcher, moved with the program folder and called through a link, with a stand-in program
# that tells which platform it was given.
mkdir -p "$work/moved/elsewhere"
cp -a "$prefix/bin" "$prefix/lib" "$work/moved/"
ln -s "$work/moved/bin/vespelinda" "$work/moved/elsewhere/link"
printf '#!/bin/sh\necho "platform=${QT_QPA_PLATFORM:-}"\n' >"$work/moved/lib/vespelinda/Vespelinda"
platform() { env -u WAYLAND_DISPLAY -u DISPLAY -u QT_QPA_PLATFORM "$@" "$work/moved/elsewhere/link"; }
[ "$(platform WAYLAND_DISPLAY=wayland-0 DISPLAY=:0)" = platform=xcb ] || fail "Wayland with XWayland: not run through xcb"
[ "$(platform WAYLAND_DISPLAY=wayland-0)" = platform= ] || fail "Wayland without XWayland: the platform was forced"
[ "$(platform DISPLAY=:0)" = platform= ] || fail "X11: the platform was forced"

# A program folder this user cannot write (a system-wide installation): the file can be written,
# the folder, where SQLite keeps its journal, cannot. Root writes anywhere, so the check runs as nobody.
home="$work/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
chmod 755 "$work" "$prefix"
chmod 666 "$program/dati.mdb"
if [ "$(id -u)" = 0 ]; then
    chown -R nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
    chmod a-w "$program"
    as_user=()
fi
HOME=$home XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
    DBUS_SESSION_BUS_ADDRESS=disabled: "${as_user[@]}" "$program/Vespelinda" >"$work/readonly.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    grep -q "non modificare" "$work/readonly.log" && break
    sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
grep -qF "Il file dei dati $program/dati.mdb si può leggere ma non modificare: non hai il permesso di scrivere nella sua cartella" \
    "$work/readonly.log" || fail "no clear message for an unwritable program folder: $(cat "$work/readonly.log")"
grep -qF "cartella $program e sul file" "$work/readonly.log" || fail "the message does not say what to do"
echo PASS
