# Shared by tools/run and tools/test: install what is missing, configure and build.
set -euo pipefail
QDX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build, the tests and the demonstration need.
QDX_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libsimpleini-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick socat fonts-dejavu-core desktop-file-utils
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Where the steps keep the full output of the package manager, CMake, the compiler and the
# tests; the steps themselves print one line each.
QDX_LOG="${QDX_LOG:-$QDX_ROOT/build/setup.log}"

# step TEXT COMMAND...: prints TEXT, runs COMMAND with its output appended to the log, and on
# failure shows the log's tail and where the whole log is.
step() {
  local text=$1
  shift
  mkdir -p "$(dirname "$QDX_LOG")"
  printf '%s ... ' "$text"
  printf '\n=== %s (%s)\n' "$text" "$(date '+%F %T')" >>"$QDX_LOG"
  if "$@" >>"$QDX_LOG" 2>&1; then
    echo "done"
  else
    local code=$?
    echo "FAILED"
    echo "--- last lines of $QDX_LOG ---" >&2
    tail -n 40 "$QDX_LOG" >&2
    echo "--- the whole output is in $QDX_LOG ---" >&2
    return "$code"
  fi
}

install_missing_packages() {
  local missing=()
  for p in "${QDX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "Full output of the steps below: $QDX_LOG"
  if [ ${#missing[@]} -gt 0 ]; then
    step "Installing ${#missing[@]} Debian packages" install_packages "${missing[@]}"
  fi
}

install_packages() {
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}

# build_preset NAME: configure (once) and build with a CMake preset.
build_preset() {
  cd "$QDX_ROOT"
  step "Configuring ($1)" cmake --preset "$1"
  step "Building ($1)" cmake --build --preset "$1"
}

# --- The emulated controller, for tools/run and tools/demo ---

# The programs publish and find emulator ports under $XDG_RUNTIME_DIR; without it Qt falls
# back to this folder (and warns each start). Setting it once keeps both sides agreeing.
ensure_runtime_dir() {
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/runtime-$(id -un)"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
  fi
}

# emulator_link N: the link a running qdx-emulator publishes for COM<N>.
emulator_link() {
  echo "$XDG_RUNTIME_DIR/qdx-emulator/COM$1"
}

# port_mapped INI N: true when the Ports section of the ustawienia.ini INI maps COM<N>.
port_mapped() {
  [ -f "$1" ] || return 1
  awk -v key="com$2" '
    /^[ \t]*\[/ { inPorts = (tolower($0) ~ /^[ \t]*\[ports\]/); next }
    inPorts { line = tolower($0); sub(/^[ \t]+/, "", line)
              if (index(line, key) == 1 && substr(line, length(key) + 1) ~ /^[ \t]*=/) found = 1 }
    END { exit !found }' "$1"
}

# start_emulator BIN N LOG [OPTION...]: starts BIN/qdx-emulator for COM<N> in the background
# (its process id in EMULATOR_PID, its messages in LOG) and waits until it serves the port.
start_emulator() {
  local bin=$1 number=$2 log=$3
  shift 3
  "$bin/qdx-emulator" "$((number - 1))" 8 "$@" >"$log" 2>&1 &
  EMULATOR_PID=$!
  local link
  link=$(emulator_link "$number")
  for _ in $(seq 100); do
    if [ -e "$link" ]; then return 0; fi
    if ! kill -0 "$EMULATOR_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "The emulator did not start serving COM$number:" >&2
  cat "$log" >&2
  stop_emulator
  return 1
}

stop_emulator() {
  if [ -n "${EMULATOR_PID:-}" ]; then
    kill "$EMULATOR_PID" 2>/dev/null || true
    wait "$EMULATOR_PID" 2>/dev/null || true
    EMULATOR_PID=
  fi
}
