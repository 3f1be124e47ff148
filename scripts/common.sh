# Shared by the scripts: install what is missing, configure and build a tree.
# shellcheck shell=bash

DAVIZ_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

daviz_stage() {
    printf '\n== %s\n' "$*"
}

# Installs the packages of scripts/packages.txt that dpkg does not know as installed.
daviz_install_packages() {
    local wanted missing=()
    mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$DAVIZ_ROOT/scripts/packages.txt")
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

# daviz_build DIR [cmake options...]: configure once, then build incrementally.
daviz_build() {
    local dir="$1"
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$DAVIZ_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
