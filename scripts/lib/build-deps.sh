# Sourced by scripts/test and scripts/run: installs the Debian packages the
# build needs when they are missing, and configures and builds a tree.

QUELLSTONE_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core
    libcurl4-openssl-dev qt6-translations-l10n libsodium-dev minisign)

ensure_build_packages() {
    local missing=() package
    for package in "${QUELLSTONE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    ((${#missing[@]} == 0)) && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Quellstone needs these Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]} ..." >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# build_tree DIR [CMAKE OPTIONS...]
build_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@" >&2
    fi
    local log
    if ! log=$(cmake --build "$dir" 2>&1); then
        printf '%s\n' "$log" >&2
        return 1
    fi
}
