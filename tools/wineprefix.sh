#!/bin/sh
# Usage: tools/wineprefix.sh PREFIX prepared|plain
#
# Makes PREFIX a Wine prefix for the program and its tests. Idempotent: a
# stamp file records what was set up, so running it again is cheap and a
# changed set-up is made again. Needs no display.
#
# "prepared": Wine's own fonts copied into the prefix (Debian's Wine takes
# its fonts from the host's fontconfig; a machine without fonts would give
# the dialogs none). "plain": booted, with nothing of ours in it, as a
# user's own new prefix is. Either way the program draws NFO text with the
# CP437 font it carries.
#
# QUORVEL_DESKTOP=WxH (default 1280x1024) makes every window of the prefix
# live in a Wine virtual desktop of that size, as the tests on Xvfb want;
# QUORVEL_DESKTOP=none leaves the windows to the user's window manager.
set -eu

die() { echo "wineprefix.sh: $*" >&2; exit 1; }

[ $# -eq 2 ] && { [ "$2" = prepared ] || [ "$2" = plain ]; } || die "usage: $0 PREFIX prepared|plain"
KIND=$2
mkdir -p "$1" || die "cannot create '$1'"
PREFIX=$(cd "$1" && pwd)

for tool in wine wineboot wineserver timeout; do
    command -v "$tool" >/dev/null 2>&1 || die "'$tool' not found (apt-get install wine64)"
done

# Same environment for every Wine call: no Mono/Gecko install prompts, and
# a pinned locale so the ANSI code page is 1252 and the OEM one 437.
export WINEPREFIX="$PREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"

STAMP="$PREFIX/.quorvel-prefix"
WANT="$KIND desktop ${QUORVEL_DESKTOP:-1280x1024}"
if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$WANT" ]; then
    exit 0
fi

wait_server() {
    timeout 120 wineserver -w || die "wineserver did not finish (prefix $PREFIX)"
}

# No stamp at all: the prefix was never booted to the end (or not at all).
if [ ! -f "$STAMP" ]; then
    echo "wineprefix.sh: creating Wine prefix $PREFIX" >&2
    timeout 300 wineboot -i >"$PREFIX/wineboot.log" 2>&1 ||
        die "wineboot -i failed or timed out; see $PREFIX/wineboot.log"
    wait_server
    [ -f "$PREFIX/system.reg" ] || die "wineboot left no registry in $PREFIX; see $PREFIX/wineboot.log"
    echo "booted" >"$STAMP"
fi

FONTS="$PREFIX/drive_c/windows/Fonts"
# An OEM "Terminal" raster font that earlier set-ups installed: the program
# no longer uses one under Wine (Wine reaches it through code page 1252).
if [ -e "$FONTS/terminal-oem.fon" ]; then
    rm -f "$FONTS/terminal-oem.fon"
    timeout 120 wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
        /v Terminal /f >/dev/null 2>&1 || true
fi
if [ "$KIND" = prepared ] && [ -d /usr/share/wine/fonts ]; then
    mkdir -p "$FONTS"
    cp -f /usr/share/wine/fonts/* "$FONTS/" || die "cannot copy Wine's fonts into $FONTS"
fi

if [ "${QUORVEL_DESKTOP:-}" = none ]; then
    timeout 120 wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
else
    # A Wine virtual desktop holds every window of the prefix: no X window
    # manager is needed, windows get their frames and captions, and showing,
    # moving and destroying windows does not wait on one.
    timeout 120 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 ||
        die "cannot set the virtual desktop"
    timeout 120 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
        /d "${QUORVEL_DESKTOP:-1280x1024}" /f >/dev/null 2>&1 || die "cannot size the virtual desktop"
fi
wait_server

echo "$WANT" >"$STAMP"
echo "wineprefix.sh: $PREFIX is a $KIND prefix" >&2
