# Shared by scripts/run and scripts/test: the Debian packages the project needs, installed when
# missing (as root), or named in the exact apt-get line to run otherwise.

VANTORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

VANTORA_PACKAGES=(
  g++ cmake ninja-build pkg-config dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libpng-dev libjpeg-dev libstb-dev libsdl2-dev xvfb xauth
  xdotool x11-apps imagemagick python3 python3-xlib
)
# Wanted for the fuzz targets (clang) and the comparison benchmarks (cairo, libimagequant); everything
# else runs without them, so failing to install them stops nothing.
VANTORA_OPTIONAL_PACKAGES=(clang libcairo2-dev libimagequant-dev)
# How long apt-get waits for another package manager (an unattended upgrade, say) to let go of its lock.
VANTORA_APT_LOCK_TIMEOUT=${VANTORA_APT_LOCK_TIMEOUT:-600}

missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      printf '%s\n' "$p"
    fi
  done
}

apt_get() { apt-get -o DPkg::Lock::Timeout="$VANTORA_APT_LOCK_TIMEOUT" "$@"; }

# Installs the packages, reading the package lists anew when an old list names versions gone by.
install_packages() {
  echo "Installing: $* (waiting up to ${VANTORA_APT_LOCK_TIMEOUT}s if another package manager holds its lock)"
  export DEBIAN_FRONTEND=noninteractive
  apt_get install -y --no-install-recommends "$@" ||
    { apt_get update && apt_get install -y --no-install-recommends "$@"; }
}

ensure_packages() {
  local missing optional
  mapfile -t missing < <(missing_packages "${VANTORA_PACKAGES[@]}")
  mapfile -t optional < <(missing_packages "${VANTORA_OPTIONAL_PACKAGES[@]}")
  if [ "$(id -u)" -ne 0 ]; then
    if [ "${#missing[@]}" -gt 0 ]; then
      echo "Missing Debian packages. Install them with:" >&2
      echo "  sudo apt-get install -y ${missing[*]} ${optional[*]}" >&2
      exit 1
    fi
    if [ "${#optional[@]}" -gt 0 ]; then
      echo "Optional packages not installed (sudo apt-get install -y ${optional[*]}); going on without them" >&2
    fi
    return 0
  fi
  if [ "${#missing[@]}" -gt 0 ]; then
    install_packages "${missing[@]}" || { echo "Cannot install the packages the build needs: ${missing[*]}" >&2; exit 1; }
  fi
  if [ "${#optional[@]}" -gt 0 ]; then
    install_packages "${optional[@]}" || echo "Could not install the optional ${optional[*]}; going on without" >&2
  fi
  return 0
}

have_clang() { command -v clang++ >/dev/null 2>&1; }
