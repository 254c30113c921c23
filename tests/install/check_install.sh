#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands where: the programs, the
# menu entry and its icon, the manual pages and the completion; the desktop entry is checked
# by desktop-file-validate where that tool is present. Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check_install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
expect() {
  if [ ! -e "$prefix/$1" ]; then
    echo "missing after install: $1"
    failures=$((failures + 1))
  fi
}
for program in setupqdx qdx qdx-emulator; do
  expect "bin/$program"
  [ -x "$prefix/bin/$program" ] || { echo "not executable: bin/$program"; failures=$((failures + 1)); }
done
expect share/applications/setupqdx.desktop
expect share/icons/hicolor/scalable/apps/setupqdx.svg
expect share/mime/packages/setupqdx.xml
expect share/bash-completion/completions/qdx
expect share/man/man1/qdx.1
expect share/man/man1/qdx-emulator.1

# The manual pages carry the programs' own help.
grep -q 'test-connection' "$prefix/share/man/man1/qdx.1" || { echo "qdx.1 lacks the commands"; failures=$((failures + 1)); }
grep -q '^\.TH QDX-EMULATOR 1' "$prefix/share/man/man1/qdx-emulator.1" || { echo "qdx-emulator.1 has no title line"; failures=$((failures + 1)); }
if command -v man >/dev/null 2>&1 && ! MANWIDTH=80 man -l "$prefix/share/man/man1/qdx.1" >/dev/null 2>&1; then
  echo "qdx.1 does not format"; failures=$((failures + 1))
fi

# The desktop entry starts the installed program and names an installed icon.
desktop="$prefix/share/applications/setupqdx.desktop"
grep -q '^Exec=setupqdx' "$desktop" || { echo "the menu entry does not start setupqdx"; failures=$((failures + 1)); }
grep -q '^Icon=setupqdx$' "$desktop" || { echo "the menu entry names another icon"; failures=$((failures + 1)); }
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || failures=$((failures + 1))
fi

# The completion script is valid bash.
bash -n "$prefix/share/bash-completion/completions/qdx" || failures=$((failures + 1))
# The installed qdx runs and says its version.
ASAN_OPTIONS=detect_leaks=0 "$prefix/bin/qdx" --version | grep -q '^qdx [0-9]' || { echo "qdx --version failed"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
  echo "$failures problems in the installed layout"
  exit 1
fi
echo "installed layout complete"
