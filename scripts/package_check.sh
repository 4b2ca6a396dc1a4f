#!/usr/bin/env bash
# Builds and installs the Debian package (scripts/package.sh), checks the
# installed program and files as a user's machine would have them, and removes
# the package again, also when a check fails (a copy installed before goes
# too). Exits 1 on the first fault. Uses sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive

fail() {
    echo "package check: $*" >&2
    exit 1
}

log=$(mktemp)
scratch=$(mktemp -d)
name=tq-dsp-audio
remove_package() {
    local status
    status=$(dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null || true)
    if [ -n "$status" ] && [ "$status" != not-installed ] && [ "$status" != config-files ]; then
        $SUDO apt-get remove -y -q "$name" >/dev/null || $SUDO dpkg -r "$name" >/dev/null || true
    fi
    rm -rf "$scratch" "$log"
}
trap remove_package EXIT

if ! bash scripts/package.sh >"$log" 2>&1; then
    tail -40 "$log" >&2
    fail "building or installing the package failed"
fi
deb=$(tail -1 "$log")
[ -f "$deb" ] || fail "scripts/package.sh named no package: $deb"
version=$(dpkg-deb -f "$deb" Version)
echo "package: $deb ($(du -h "$deb" | cut -f1), version $version)"

# The libraries were found by dpkg-shlibdeps, not listed by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libhidapi-hidraw0 libzip4 libcjson1 libudev1 libc6; do
    [[ $depends == *"$library"* ]] || fail "the package does not depend on $library: $depends"
done

# Every file where the system looks for it.
installed=$(dpkg -L "$name")
expected=(
    /usr/bin/tq-dsp-audio
    /usr/share/applications/tq-dsp-audio.desktop
    /usr/share/metainfo/tq-dsp-audio.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/tq-dsp-audio.svg
    /usr/lib/udev/rules.d/70-tq-dsp-audio.rules
    /usr/share/man/man1/tq-dsp-audio.1.gz
    /usr/share/doc/tq-dsp-audio/copyright
)
if grep -qx /usr/bin/tq-dsp <<<"$installed"; then
    expected+=(/usr/share/man/man1/tq-dsp.1.gz /usr/share/bash-completion/completions/tq-dsp)
fi
for file in "${expected[@]}"; do
    grep -qx "$file" <<<"$installed" || fail "the package does not install $file"
    [ -f "$file" ] || fail "$file is missing after the installation"
done

# The programs start from the installed paths, away from the build and the
# work tree (a program that needs a file from either fails here), with a home
# of their own.
run_installed() {
    (cd "$scratch" && HOME=$scratch XDG_CONFIG_HOME=$scratch/config timeout "$@")
}
shown=$(run_installed 30 /usr/bin/tq-dsp-audio --version) || fail "tq-dsp-audio --version failed"
[ "$shown" = "TQ DSP Audio v$version" ] || fail "tq-dsp-audio --version says '$shown', the package is $version"
if [ -x /usr/bin/tq-dsp ]; then
    run_installed 60 /usr/bin/tq-dsp --virtual-device info || fail "tq-dsp --virtual-device info failed"
fi

# What desktops and software centres read.
desktop-file-validate /usr/share/applications/tq-dsp-audio.desktop || fail "the desktop entry does not validate"
appstreamcli validate --no-net /usr/share/metainfo/tq-dsp-audio.metainfo.xml >/dev/null ||
    fail "the AppStream metadata does not validate"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/tq-dsp-audio.desktop)
[ "$(command -v "$program")" = /usr/bin/tq-dsp-audio ] || fail "the desktop entry starts '$program'"
icon=$(sed -n 's/^Icon=//p' /usr/share/applications/tq-dsp-audio.desktop)
[ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the desktop entry's icon '$icon' is not installed"
grep -q 'TAG+="uaccess"' /usr/lib/udev/rules.d/70-tq-dsp-audio.rules || fail "the udev rule gives the user no access"
for page in /usr/share/man/man1/tq-dsp*.1.gz; do
    warnings=$(gzip -dc "$page" | groff -ww -z -man 2>&1) || fail "$page does not render"
    [ -z "$warnings" ] || fail "$page: $warnings"
done
man -w tq-dsp-audio >/dev/null || fail "man does not find tq-dsp-audio(1)"

# Removing it leaves nothing of it behind.
$SUDO apt-get remove -y -q "$name" >/dev/null || fail "apt-get remove failed"
for file in "${expected[@]}"; do
    [ ! -e "$file" ] || fail "$file is still there after the removal"
done
echo "package check: installed, started, validated and removed"
