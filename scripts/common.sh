# Shared by the scripts: install what is missing, configure and build a tree.
# shellcheck shell=bash

DAVIZ_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

daviz_stage() {
    printf '\n== %s\n' "$*"
}

# daviz_install_packages [LIST...]: installs the packages of the given lists under scripts/
# (default: all of them) that dpkg does not know as installed.
daviz_install_packages() {
    local lists=("$@") wanted=() missing=()
    if [ "${#lists[@]}" -eq 0 ]; then
        lists=(packages-play.txt packages.txt)
    fi
    for list in "${lists[@]}"; do
        mapfile -t -O "${#wanted[@]}" wanted < <(grep -v -E '^\s*(#|$)' "$DAVIZ_ROOT/scripts/$list")
    done
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# daviz_configure DIR [cmake options...]: configures DIR, again whenever options are given, so that
# they always take effect (CMake keeps cached values otherwise).
daviz_configure() {
    local dir="$1"
    shift
    if [ ! -f "$dir/CMakeCache.txt" ] || [ "$#" -gt 0 ]; then
        cmake -S "$DAVIZ_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
}

# daviz_build DIR [cmake options...]: configures DIR with the options, then builds it incrementally.
daviz_build() {
    daviz_configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}
