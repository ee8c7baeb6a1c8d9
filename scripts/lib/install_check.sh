# The installed program as a user meets it. Sourced by scripts/test, not run.

# check_install BUILD_DIR: cmake --install into a temporary prefix under /opt (where a system
# install lies), check what was installed, validate the menu entry, and start the installed
# program headless for a moment with its own HOME and XDG_DATA_HOME, which must receive its
# data. The program gets no PC/SC service, so it never touches a reader of another test.
check_install() {
    local build="$1" prefix home status=0 file
    prefix="$(mktemp -d /opt/lapdex-install-check-XXXXXX)"
    home="$(mktemp -d /tmp/lapdex-install-home-XXXXXX)"
    install_fail() { echo "check_install: $*" >&2; status=1; }
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/Lapdex bin/k7x-tool lib/libRDCOM32.so.1 include/rdcom32.h \
                share/applications/lapdex.desktop share/icons/hicolor/scalable/apps/lapdex.svg \
                share/doc/lapdex/Manual_Lapdex.pdf share/doc/lapdex/Manual_Lapdex_en.pdf; do
        [ -e "$prefix/$file" ] || install_fail "$file was not installed"
    done
    objdump -p "$prefix/lib/libRDCOM32.so.1" | grep -q 'SONAME *libRDCOM32\.so\.1$' ||
        install_fail "libRDCOM32 has no SONAME libRDCOM32.so.1"
    desktop-file-validate "$prefix/share/applications/lapdex.desktop" ||
        install_fail "lapdex.desktop is not valid"
    grep -qx 'Icon=lapdex' "$prefix/share/applications/lapdex.desktop" ||
        install_fail "lapdex.desktop does not name the installed icon"
    "$prefix/bin/k7x-tool" --help >/dev/null || install_fail "the installed k7x-tool does not start"

    check_headless_start "$prefix/bin/Lapdex" "$home" || status=1
    [ ! -e "$prefix/bin/Lapdex.dat" ] || install_fail "Lapdex wrote its data beside the installed program"

    rm -rf "$prefix" "$home"
    [ "$status" = 0 ] && echo "Install check passed: $build installs and keeps its data in \$XDG_DATA_HOME."
    return "$status"
}

# check_headless_start LAPDEX HOME: starts LAPDEX offscreen with HOME and XDG_DATA_HOME in the
# folder HOME and no PC/SC service (so it never touches a reader of another test); it must name
# and create its data folder in $XDG_DATA_HOME/Lapdex/. It is ended by its pid once it has.
check_headless_start() {
    local lapdex="$1" home="$2" pid status=0
    start_fail() { echo "check_install: $*" >&2; status=1; }
    mkdir -p -m 700 "$home/runtime"
    HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
        PCSCLITE_CSOCK_NAME="$home/no-pcscd.comm" QT_QPA_PLATFORM=offscreen \
        "$lapdex" >"$home/lapdex.log" 2>&1 &
    pid=$!
    for _ in $(seq 150); do
        [ -f "$home/data/Lapdex/Lapdex.dat" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 0.5
    kill "$pid" 2>/dev/null || start_fail "the installed Lapdex ended by itself: $(cat "$home/lapdex.log")"
    wait "$pid" 2>/dev/null || true
    [ -f "$home/data/Lapdex/Lapdex.dat" ] || start_fail "no Lapdex.dat in \$XDG_DATA_HOME/Lapdex/"
    grep -qx "Lapdex: data folder $home/data/Lapdex/" "$home/lapdex.log" ||
        start_fail "Lapdex did not name its data folder: $(cat "$home/lapdex.log")"
    return "$status"
}

# check_package BUILD_DIR: builds the Debian package, runs lintian on it (errors fail), installs it
# with apt-get as a user would, checks what it installed, starts the installed Lapdex headless
# once, then purges it and every package it brought along, leaving the machine as it was.
check_package() {
    local build="$1" deb home status=0 version before added
    package_fail() { echo "check_package: $*" >&2; status=1; }
    if dpkg-query -W -f='${Status}' lapdex 2>/dev/null | grep -q "install ok installed"; then
        echo "check_package: lapdex is installed on this machine; the check would replace it" >&2
        return 1
    fi
    cmake --build "$build" --target package >/dev/null
    deb="$(realpath "$(ls "$build"/lapdex_*_amd64.deb)")"  # apt-get takes a file by its path
    version="$(dpkg-deb -f "$deb" Version)"
    echo "lintian $deb:"
    lintian --fail-on error "$deb" || package_fail "lintian reports errors"
    before="$(mktemp)"
    home="$(mktemp -d /tmp/lapdex-package-home-XXXXXX)"
    dpkg-query -W -f='${Package}\n' | sort >"$before"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null ||
        { rm -rf "$before" "$home"; echo "check_package: apt-get install $deb failed" >&2; return 1; }

    [ "$(Lapdex --version)" = "Lapdex $version" ] || package_fail "Lapdex --version says: $(Lapdex --version)"
    [ "$(k7x-tool --version)" = "k7x-tool $version" ] ||
        package_fail "k7x-tool --version says: $(k7x-tool --version)"
    for page in Lapdex k7x-tool; do
        man -w "$page" >/dev/null || package_fail "no man page $page(1)"
    done
    bash -c 'source /usr/share/bash-completion/completions/k7x-tool && complete -p k7x-tool' >/dev/null ||
        package_fail "the bash completion of k7x-tool does not load"
    desktop-file-validate /usr/share/applications/lapdex.desktop || package_fail "lapdex.desktop is not valid"
    appstreamcli validate --no-net /usr/share/metainfo/*.metainfo.xml >/dev/null ||
        package_fail "the AppStream metainfo is not valid: $(appstreamcli validate --no-net /usr/share/metainfo/*.metainfo.xml)"
    check_headless_start /usr/bin/Lapdex "$home" || status=1

    added="$(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$before" -)"
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $added >/dev/null || package_fail "purging $added failed"
    [ ! -e /usr/bin/Lapdex ] || package_fail "/usr/bin/Lapdex is left after the purge"
    dpkg-query -W -f='${Package}\n' | sort | cmp -s "$before" - || package_fail "the purge left packages changed"
    rm -rf "$before" "$home"
    [ "$status" = 0 ] && echo "Package check passed: $deb installs, runs and purges cleanly."
    return "$status"
}
