# The installed program as a user meets it. Sourced by scripts/test, not run.

# check_install BUILD_DIR: cmake --install into a temporary prefix under /opt (where a system
# install lies), check what was installed, validate the menu entry, and start the installed
# program headless for a moment with its own HOME and XDG_DATA_HOME, which must receive its
# data. The program gets no PC/SC service, so it never touches a reader of another test.
check_install() {
    local build="$1" prefix home pid status=0 file
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

    mkdir -p -m 700 "$home/runtime"
    HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
        PCSCLITE_CSOCK_NAME="$home/no-pcscd.comm" QT_QPA_PLATFORM=offscreen \
        "$prefix/bin/Lapdex" >"$home/lapdex.log" 2>&1 &
    pid=$!
    for _ in $(seq 150); do
        [ -f "$home/data/Lapdex/Lapdex.dat" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 0.5
    kill "$pid" 2>/dev/null || install_fail "the installed Lapdex ended by itself: $(cat "$home/lapdex.log")"
    wait "$pid" 2>/dev/null || true
    [ -f "$home/data/Lapdex/Lapdex.dat" ] || install_fail "no Lapdex.dat in \$XDG_DATA_HOME/Lapdex/"
    grep -qx "Lapdex: data folder $home/data/Lapdex/" "$home/lapdex.log" ||
        install_fail "Lapdex did not name its data folder: $(cat "$home/lapdex.log")"
    [ ! -e "$prefix/bin/Lapdex.dat" ] || install_fail "Lapdex wrote its data beside the installed program"

    rm -rf "$prefix" "$home"
    [ "$status" = 0 ] && echo "Install check passed: $build installs and keeps its data in \$XDG_DATA_HOME."
    return "$status"
}
