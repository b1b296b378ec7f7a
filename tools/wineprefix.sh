#!/bin/sh
# Usage: tools/wineprefix.sh PREFIX FONFILE|none
#
# Makes PREFIX a Wine prefix in which a program asking for "Terminal" with
# OEM_CHARSET gets the CP437 raster font FONFILE (built by tools/mkfon.py)
# instead of Wine's ANSI TrueType fallback. Idempotent: a stamp file records
# the hash of the installed font, so running it again is cheap and a changed
# font is installed again. Needs no display.
#
# FONFILE "none" makes a plain prefix, as a user's own new one is: booted,
# with nothing of ours in it (no font, not even Wine's fonts copied in), so
# the program must bring what it needs itself. A prefix that once had the
# font cannot become plain.
#
# QUORVEL_DESKTOP=WxH (default 1280x1024) makes every window of the prefix
# live in a Wine virtual desktop of that size, as the tests on Xvfb want;
# QUORVEL_DESKTOP=none leaves the windows to the user's window manager.
set -eu

die() { echo "wineprefix.sh: $*" >&2; exit 1; }

[ $# -eq 2 ] || die "usage: $0 PREFIX FONFILE|none"
FON=$2
[ "$FON" = none ] || [ -f "$FON" ] || die "font file '$FON' not found (build it with tools/mkfon.py)"
mkdir -p "$1" || die "cannot create '$1'"
PREFIX=$(cd "$1" && pwd)

for tool in wine wineboot wineserver sha256sum timeout; do
    command -v "$tool" >/dev/null 2>&1 || die "'$tool' not found (apt-get install wine64)"
done

# Same environment for every Wine call: no Mono/Gecko install prompts, and
# a pinned locale so the ANSI code page is 1252 and the OEM one 437.
export WINEPREFIX="$PREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"

FONT_NAME=terminal-oem.fon
FONTS_KEY='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
STAMP="$PREFIX/.quorvel-prefix"
# The stamp also names the prefix layout, so a changed layout re-runs the setup.
if [ "$FON" = none ]; then
    WANT="font none desktop ${QUORVEL_DESKTOP:-1280x1024}"
else
    WANT="font $(sha256sum "$FON" | cut -d' ' -f1) desktop ${QUORVEL_DESKTOP:-1280x1024}"
fi

if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$WANT" ] &&
   { [ "$FON" = none ] || cmp -s "$FON" "$PREFIX/drive_c/windows/Fonts/$FONT_NAME"; }; then
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
if [ "$FON" = none ]; then
    [ ! -e "$FONTS/$FONT_NAME" ] || die "$PREFIX has the Terminal font; a plain prefix needs a new folder"
else
    mkdir -p "$FONTS"
    # Debian's Wine takes its fonts from fontconfig; on a host without fonts the
    # dialogs would have none, so always give the prefix Wine's own set.
    if [ -d /usr/share/wine/fonts ]; then
        cp -f /usr/share/wine/fonts/* "$FONTS/" || die "cannot copy Wine's fonts into $FONTS"
    fi
    cp -f "$FON" "$FONTS/$FONT_NAME" || die "cannot copy $FON into $FONTS"

    timeout 120 wine reg add "$FONTS_KEY" /v "Terminal" /t REG_SZ /d "$FONT_NAME" /f \
        >/dev/null 2>&1 || die "cannot register $FONT_NAME under $FONTS_KEY"
    # Registry writes reach system.reg only when the server has finished.
    wait_server
    timeout 120 wine reg query "$FONTS_KEY" /v "Terminal" 2>/dev/null | grep -q "$FONT_NAME" ||
        die "$FONT_NAME is not registered under $FONTS_KEY"
    wait_server
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
if [ "$FON" = none ]; then
    echo "wineprefix.sh: $PREFIX is a plain prefix (no font of ours)" >&2
else
    echo "wineprefix.sh: $PREFIX has the OEM Terminal font ($FONT_NAME)" >&2
fi
