# Shared by the README's commands: installs what is missing and builds into build/.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

# Debian 12 packages the build, the program and the tests need.
PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-gtk-platformtheme
    libsqlite3-dev libx11-dev libzip-dev libnuspell-dev
    breeze-icon-theme fonts-dejavu-core fonts-liberation2
    xvfb xauth xdg-utils
    hunspell-en-us hunspell-en-gb
)

# Only the tests need these.
TEST_PACKAGES=(poppler-utils cups printer-driver-cups-pdf clang-14 libclang-rt-14-dev pandoc
    dpkg-dev desktop-file-utils appstream)

# Only scripts/bench needs these: the builder's benchmark compares with the sqlite3 shell.
BENCH_PACKAGES=(sqlite3)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

install_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            "${missing[@]}"
    fi
}

build_project() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD" -j "$(nproc)"
}
