# Sourced by scripts/test and scripts/run: installs the Debian packages the
# build needs when they are missing, and configures and builds a tree.

QUELLSTONE_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core
    libcurl4-openssl-dev qt6-translations-l10n libsodium-dev libsystemd-dev minisign dpkg-dev file)

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
# Configures DIR when it has no build yet and builds it. The whole output goes
# to DIR/build.log; standard error shows ninja's progress, as one line updated
# in place on a terminal and as plain "[n/N] ..." lines otherwise (standard
# output stays free for the program that scripts/run starts). When the build
# fails, the log's last lines and its path are shown.
build_tree() {
    local dir=$1
    shift
    mkdir -p "$dir"
    local log="$dir/build.log" status=0
    [ -f "$dir/build.ninja" ] || echo "Configuring $dir (full log: $log)" >&2
    configure_and_build "$dir" "$@" 2>&1 | show_build_progress "$log" || status=$?
    if ((status != 0)); then
        echo "The build failed. The last lines of $log:" >&2
        tail -n 50 "$log" >&2
        echo "The whole build log: $log" >&2
        return "$status"
    fi
}

configure_and_build() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@" || return
    fi
    # Fixes ninja's progress prefix, which show_build_progress recognises.
    NINJA_STATUS='[%f/%t] ' cmake --build "$dir"
}

# Copies every line of standard input into the log file $1 and shows the
# progress lines among them on standard error, after one line naming the log
# (an up-to-date build shows nothing).
show_build_progress() {
    local log=$1 line in_place=false width=80 size
    if [ -t 2 ]; then
        in_place=true
        size=$(stty size 0<&2 2>/dev/null) && width=${size#* }
        [[ $width =~ ^[0-9]+$ ]] && ((width >= 20)) || width=80
    fi
    local announced=false
    while IFS= read -r line || [ -n "$line" ]; do
        printf '%s\n' "$line" >&3
        [[ $line =~ ^\[[0-9]+/[0-9]+\]\  ]] || continue
        if ! $announced; then
            echo "Building (full log: $log)" >&2
            announced=true
        fi
        if $in_place; then
            # Cut to the terminal's width: a wrapped line could not be overwritten.
            printf '\r\033[K%s' "${line:0:width-1}" >&2
        else
            printf '%s\n' "$line" >&2
        fi
    done 3>"$log"
    if $in_place && $announced; then printf '\n' >&2; fi
}
