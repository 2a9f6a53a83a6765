#!/usr/bin/env bash
# Builds the Debian package from this build tree, runs lintian on it (no error and no warning; the /opt
# layout is overridden in the package with its reason), unpacks it into a temporary root with dpkg -x,
# checks its dependencies and files, and starts the unpacked tool: --version, then a real start under
# Xvfb until its main window is mapped, ended by SIGTERM, which must close it cleanly.
# Usage: check_package.sh BUILD_DIR WORK_DIR VERSION
set -euo pipefail
build=$1 work=$2 version=$3
rm -rf "$work"
mkdir -p "$work/out" "$work/root" "$work/home"
fail() { echo "FAIL: $*" >&2; exit 1; }
# Without GL: the tool draws nothing with it, and the machine's GL driver is no part of the check.
export QT_XCB_GL_INTEGRATION=none

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/divevod_*.deb)

lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 \
    || { cat "$work/lintian.log"; fail "lintian reports errors or warnings"; }

# Qt's libraries come from the binaries; the run-time plugin and the font are named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5x11extras5 \
    qt5-style-plugin-plastique fonts-noto-cjk; do
    [[ ", $depends" == *", $dep"* ]] || fail "Depends lacks $dep: $depends"
done

dpkg -x "$deb" "$work/root"
opt="$work/root/opt/divevod"
for f in bin/DiveVod bin/divevod-cli bin/divevod-sim lang/divevod_zh.qm lang/qt_zh_CN.qm share/applications/divevod.desktop \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/divevod.png; do
    [ -s "$opt/$f" ] || fail "missing /opt/divevod/$f"
done
[ "$(readlink "$work/root/usr/share/applications/divevod.desktop")" = /opt/divevod/share/applications/divevod.desktop ] \
    || fail "no /usr/share/applications link to the desktop entry"
[ "$(readlink "$work/root/usr/share/icons/hicolor/48x48/apps/divevod.png")" = \
    /opt/divevod/share/icons/hicolor/48x48/apps/divevod.png ] || fail "no /usr/share/icons link"
for program in DiveVod divevod-cli; do
    [ "$(readlink "$work/root/usr/bin/$program")" = "/opt/divevod/bin/$program" ] || fail "no /usr/bin/$program link"
    [ -s "$work/root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
for f in copyright changelog.gz; do
    [ -s "$work/root/usr/share/doc/divevod/$f" ] || fail "no /usr/share/doc/divevod/$f"
done
desktop-file-validate "$opt/share/applications/divevod.desktop" || fail "desktop entry"
grep -qx "Exec=/opt/divevod/bin/DiveVod" "$opt/share/applications/divevod.desktop" || fail "Exec line"

out=$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$opt/bin/DiveVod" --version)
[ "$out" = "DiveVod $version" ] || fail "--version printed '$out'"
"$opt/bin/divevod-sim" --help >/dev/null || fail "divevod-sim --help"
out=$("$opt/bin/divevod-cli" --version)
[ "$out" = "divevod-cli $version" ] || fail "divevod-cli --version printed '$out'"

# A real start with its own settings and home; the window title names the device family.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
unset QT_QPA_PLATFORM
# Displays from :171 up, apart from the other tests under Xvfb (which start at :99), so that two
# starts at the same moment do not pick the same free display.
xvfb-run -a -n 171 -s "-screen 0 1280x1024x24" bash -c '
    "$1" & pid=$!
    if ! timeout 20 xdotool search --sync --onlyvisible --name "ACO-GPIO" >/dev/null; then
        kill -KILL $pid; echo "FAIL: no window within 20 s" >&2; exit 1
    fi
    kill -TERM $pid
    rc=0; wait $pid || rc=$?
    [ $rc -eq 0 ] || { echo "FAIL: exit code $rc after SIGTERM" >&2; exit 1; }
' start "$opt/bin/DiveVod"
echo "package ok: $(basename "$deb")"
