# Shared by ./run and ./check: installs what is missing, configures and builds.
# Sourced, not run.
set -euo pipefail

PEMU_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PEMU_BUILD="${PEMU_BUILD:-$PEMU_ROOT/build}"

pemu_packages=(
  g++ cmake make
  qt6-base-dev
  libsqlite3-dev
  googletest libgtest-dev
  fonts-dejavu-core fonts-urw-base35
)

pemu_install() {
  local missing=()
  for p in "${pemu_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# pemu_build [TARGET]: builds TARGET (everything when none is named).
# PEMU_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer.
pemu_build() {
  cmake -S "$PEMU_ROOT" -B "$PEMU_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPEMU_SANITIZE="$([ "${PEMU_SANITIZE:-0}" = 1 ] && echo ON || echo OFF)"
  cmake --build "$PEMU_BUILD" -j"$(nproc)" ${1:+--target "$1"}
}
