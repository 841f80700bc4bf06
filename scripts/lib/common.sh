# Shared by scripts/run and scripts/test: the Debian packages the project needs, installed when
# missing (as root), or named in the exact apt-get line to run otherwise.

VANTORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

VANTORA_PACKAGES=(
  g++ cmake ninja-build pkg-config dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libpng-dev libjpeg-dev libstb-dev libsdl2-dev xvfb xauth
)
# Wanted for the fuzz targets; the tests run without it.
VANTORA_OPTIONAL_PACKAGES=(clang)

missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      printf '%s\n' "$p"
    fi
  done
}

ensure_packages() {
  local missing
  mapfile -t missing < <(missing_packages "${VANTORA_PACKAGES[@]}" "${VANTORA_OPTIONAL_PACKAGES[@]}")
  [ "${#missing[@]}" -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${missing[@]}" ||
    { apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"; }
}

have_clang() { command -v clang++ >/dev/null 2>&1; }
