# Shared by scripts/run and scripts/test: installs what the build needs,
# builds, and provides a display for Wine. Sourced, not run.

QUORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORVEL_PACKAGES=(cmake ninja-build g++ python3 googletest libgtest-dev
  wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 xvfb x11-utils imagemagick
  xfonts-terminus xfonts-terminus-dos python3-fonttools)

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing (needs root or sudo), with
# their recommended packages: Wine's fonts and libraries come that way.
ensure_packages() {
  local missing=()
  local p
  for p in "${QUORVEL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2 || return 1
}

# Configures and builds one preset when something is missing or stale.
build_preset() {
  local preset="$1"; shift
  (cd "$QUORVEL_ROOT" &&
    { [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >&2; } &&
    cmake --build --preset "$preset" "$@" >&2)
}

QUORVEL_STARTED_XVFB=""

# Uses the caller's display when there is one, else starts Xvfb on a free
# display number; stop_display stops only what was started here.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${QUORVEL_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    QUORVEL_STARTED_XVFB=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$QUORVEL_STARTED_XVFB" 2>/dev/null || break
      sleep 0.1
    done
    kill "$QUORVEL_STARTED_XVFB" 2>/dev/null
    QUORVEL_STARTED_XVFB=""
  done
  log "could not start Xvfb"
  return 1
}

stop_display() {
  if [ -n "$QUORVEL_STARTED_XVFB" ]; then
    kill "$QUORVEL_STARTED_XVFB" 2>/dev/null
    wait "$QUORVEL_STARTED_XVFB" 2>/dev/null
    QUORVEL_STARTED_XVFB=""
  fi
}

wine_env() {
  export WINEPREFIX="$QUORVEL_ROOT/build/mingw64/wineprefix"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export LC_ALL=C.UTF-8
}

# The per-user installation that scripts/run and the desktop entry use: the
# built Quorvel.exe (config.bin is kept beside it) and a Wine prefix of its
# own with the Terminal font. It lives outside the checkout, so settings and
# the window placement survive rebuilds and a deleted build/.
QUORVEL_HOME="${QUORVEL_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/quorvel}"

# Copies Quorvel.exe into the installation when it changed and prepares the
# installation's prefix (once). Needs the mingw64 target Quorvel built. A
# running copy of the program keeps running: the new
# file replaces the old one's name, not its contents.
install_user_copy() {
  local exe="$QUORVEL_ROOT/build/mingw64/bin/Quorvel.exe"
  mkdir -p "$QUORVEL_HOME" || return 1
  (
    flock 9 || exit 1
    if ! cmp -s "$exe" "$QUORVEL_HOME/Quorvel.exe"; then
      cp "$exe" "$QUORVEL_HOME/.Quorvel.exe.new" &&
        mv -f "$QUORVEL_HOME/.Quorvel.exe.new" "$QUORVEL_HOME/Quorvel.exe" || exit 1
      log "installed Quorvel.exe in $QUORVEL_HOME"
    fi
    QUORVEL_DESKTOP=none "$QUORVEL_ROOT/tools/wineprefix.sh" "$QUORVEL_HOME/wineprefix" prepared
  ) 9>"$QUORVEL_HOME/.install.lock"
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && timeout 30 wineserver -k >/dev/null 2>&1
  return 0
}
