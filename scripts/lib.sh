# Shared by scripts/run and scripts/test: installs what the build needs,
# builds, and provides a display for Wine. Sourced, not run.

QUORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORVEL_PACKAGES=(cmake ninja-build g++ python3 googletest libgtest-dev
  wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 xvfb x11-utils imagemagick
  xfonts-terminus-dos)

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

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && timeout 30 wineserver -k >/dev/null 2>&1
  return 0
}
