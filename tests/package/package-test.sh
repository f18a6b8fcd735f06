#!/usr/bin/env bash
# Builds the Debian package from the build folder $1 with the cpack $2,
# unpacks it into a temporary folder and runs the unpacked quellstone-cli
# from there: the package holds what the program needs, in the places it looks.
set -euo pipefail
build=$1
cpack=$2
for tool in dpkg-deb dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: the package is not built or tested here"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(find "$work/cpack" -maxdepth 1 -name 'quellstone_*.deb' -print -quit)
[ -n "$deb" ] || fail "no quellstone_VERSION_ARCH.deb made"
echo "built $(basename "$deb"): $(stat -c %s "$deb") bytes"

dpkg-deb -e "$deb" "$work/control"
grep -qx /etc/quellstone/vendor.ini "$work/control/conffiles" || fail "vendor.ini is not a conffile"
grep -q '^Depends: .*libqt6widgets6' "$work/control/control" || fail "no dependencies from the shared libraries"
grep -q '^Depends: .*libqt6svg6' "$work/control/control" || fail "no dependency on the SVG plugin the pictures need"
for script in postinst prerm postrm; do
    [ -x "$work/control/$script" ] && sh -n "$work/control/$script" ||
        fail "no executable $script that sh can read: systemd and /var/lib/quellstone go unattended"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/quellstone usr/bin/quellstone-cli usr/share/quellstone/bdts.dll etc/quellstone/vendor.ini \
    usr/share/quellstone/languages/Deutsch/Deutsch.txt usr/share/man/man1/quellstone.1.gz \
    usr/share/man/man1/quellstone-cli.1.gz usr/share/doc/quellstone/copyright \
    usr/share/metainfo/io.quellstone.Quellstone.metainfo.xml usr/share/bash-completion/completions/quellstone-cli \
    usr/share/zsh/vendor-completions/_quellstone-cli usr/share/applications/quellstone.desktop \
    usr/share/icons/hicolor/scalable/apps/quellstone.svg usr/share/doc/quellstone/changelog.gz \
    usr/share/doc/quellstone/README.md usr/lib/systemd/user/quellstone-scan.timer \
    usr/lib/systemd/system/quellstone-update.timer usr/lib/systemd/system/quellstone-scan.timer; do
    [ -e "$root/$file" ] || fail "$file is missing"
done
# Each service runs the packaged program, as installed under /usr.
for service in user/quellstone-scan system/quellstone-scan system/quellstone-update; do
    grep -q '^ExecStart="/usr/bin/quellstone-cli" ' "$root/usr/lib/systemd/$service.service" ||
        fail "$service.service does not run /usr/bin/quellstone-cli"
done
file "$root/usr/bin/quellstone-cli" | grep -q 'stripped' && ! file "$root/usr/bin/quellstone-cli" | grep -q 'not stripped' ||
    fail "quellstone-cli is not stripped"

# The unpacked program, with a home of its own.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
    QUELLSTONE_STATE_DIRECTORY=$work/system
mkdir -p "$HOME" "$work/tree"
cli=$root/usr/bin/quellstone-cli
"$cli" --version | grep -q '^Quellstone ' || fail "--version"
"$cli" update-check --help >/dev/null || fail "update-check --help"
: >"$work/tree/QUELLSTONE-TEST.EXE"
status=0
"$cli" scan "$work/tree" >"$work/scan.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q 'QUELLSTONE-TEST.EXE: TEST.FILE.QUELLSTONE FOUND' "$work/scan.txt" ||
    { cat "$work/scan.txt"; fail "a scan with the shipped database did not find the test file (exit $status)"; }
echo "the unpacked quellstone-cli runs and finds the test file with the shipped database"
