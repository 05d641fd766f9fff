#!/usr/bin/env bash
# ./build.sh       install what is missing, configure and build everything into build/
# ./build.sh test  the same, then run every test through ctest
set -euo pipefail
cd "$(dirname "$0")"

debian_packages=(
    g++ cmake ninja-build git pkg-config
    nlohmann-json3-dev libsimdjson-dev libexpected-dev libfmt-dev libicu-dev liburiparser-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core xvfb xdotool imagemagick neovim
    clang libclang-rt-14-dev
)

install_debian_packages() {
    local missing=()
    for package in "${debian_packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
        missing+=(nodejs npm)
    fi
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

install_npm_packages() {
    local lock folder
    while IFS= read -r lock; do
        folder=$(dirname "$lock")
        if [ ! -d "$folder/node_modules" ] || [ "$lock" -nt "$folder/node_modules" ]; then
            echo "npm ci in $folder"
            (cd "$folder" && npm ci --no-audit --no-fund --loglevel=error)
            touch "$folder/node_modules"
        fi
    done < <(find tests -name package-lock.json -not -path '*/node_modules/*' | sort)
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build --parallel "$(nproc)"
}

# Where the build put the three programs; a missing one fails the build.
print_programs() {
    local program
    echo "Programs:"
    for program in build/src/bin/вокра_lsp/вокра_lsp build/src/bin/вокра_пакеты/вокра_пакеты \
        build/panel/Vokra-Panel; do
        if [ ! -x "$program" ]; then
            echo "not built: $program" >&2
            exit 1
        fi
        echo "  $program"
    done
}

install_debian_packages
install_npm_packages
build
print_programs

case "${1:-}" in
    "") ;;
    test)
        ctest --test-dir build --output-on-failure --parallel "$(nproc)"
        ;;
    *)
        echo "usage: ./build.sh [test]" >&2
        exit 2
        ;;
esac
