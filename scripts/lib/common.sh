# Shared helpers of the set-up scripts: package installation and the CMake build.
# Sourced, not run.

repo_root() { cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd; }

# Installs the Debian packages of the list that are missing; apt-get update first.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        # dpkg's sync after every file is most of an install's time; a crash during it is mended
        # by running the same command again.
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            -o Dpkg::Options::=--force-unsafe-io "${missing[@]}"
    fi
}

# The packages every build needs.
BUILD_PACKAGES=(g++ cmake ninja-build ccache pkg-config libpcsclite-dev pcscd vsmartcard-vpcd
                libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev fonts-noto-cjk xvfb
                xdotool openbox poppler-utils  # the window driven on Xvfb; the manual's text layer
                x11-utils  # xprop: how the window manager sees the windows
                libsqlite3-dev
                libutf8proc-dev  # memo search folds case and width
                libxlsxwriter-dev  # runs.xlsx
                zlib1g-dev  # xlsxwriter.pc links -lz, but libxlsxwriter-dev does not pull it in
                qt6-translations-l10n  # Qt's own dialogs and buttons in Japanese
                libreoffice-calc-nogui libxml2-utils fonts-ipafont-gothic  # the exports' checks
                libreoffice-draw-nogui  # Calc's PNG export: the demo's picture of runs.xlsx
                libcli11-dev  # the command lines of stopwatch-sim and k7x-tool
                nlohmann-json3-dev  # k7x-tool's --json answers
                help2man dpkg-dev)  # the man pages from --help; dpkg-shlibdeps for the package

# What scripts/test needs beyond the build: the install and package checks (desktop-file-validate,
# lintian, appstreamcli, man), the accessibility bus a screen reader reads (a session bus,
# at-spi-bus-launcher, pyatspi), and two real Syncthing instances carrying a club folder.
TEST_PACKAGES=(desktop-file-utils lintian appstream man-db
               dbus-daemon at-spi2-core python3-pyatspi
               syncthing)

# The Windows cross build and its test runs: MinGW-w64, Wine, GoogleTest's sources.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 wine64 googletest)

# What the demos run: the program, its library, the simulator, the command-line tool and the
# programs that take pictures of the newer windows and sheets.
DEMO_TARGETS=(Lapdex RDCOM32 stopwatch-sim k7x-tool index_screens sheet_screens team_day_screens
              lapdex_screens page_screens progress_screens club_screens)

# The one optimised build that the tests, the package, the demos and the benchmarks share: -O2,
# as Debian builds its packages, and no debug information, which would cost a third of the compile
# time (the ASan build carries it, for the reports that need it).
PLAIN_BUILD_ARGS=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
                  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")

# The compiler cache, when installed: paths are taken relative to the checkout, so a clean clone
# elsewhere reuses what an earlier build compiled.
compiler_cache_args() {
    command -v ccache >/dev/null || return 0
    local launcher="env;CCACHE_BASEDIR=$(repo_root);CCACHE_NOHASHDIR=1;ccache"
    echo "-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher -DCMAKE_C_COMPILER_LAUNCHER=$launcher"
}

# configure_only DIR [cmake args...]
configure_only() {
    local dir="$1"
    shift
    # shellcheck disable=SC2046
    cmake -S "$(repo_root)" -B "$(repo_root)/$dir" -G Ninja $(compiler_cache_args) "$@" >/dev/null
}

# configure_and_build DIR [cmake args...]
configure_and_build() {
    configure_only "$@"
    cmake --build "$(repo_root)/$1" -j "$(nproc)"
}

# build_targets DIR TARGET...: builds only the targets named (and what they need).
build_targets() {
    local dir="$1"
    shift
    cmake --build "$(repo_root)/$dir" -j "$(nproc)" --target "$@"
}

# stage NAME: closes the stage before (noting its wall time) and opens the next; stage_summary
# prints every stage's time, so a slow suite says where its minutes went.
STAGE_TIMES=()
STAGE_NAME=""
STAGE_START=0
stage() {
    if [ -n "$STAGE_NAME" ]; then
        STAGE_TIMES+=("$(printf '%5d s  %s' $((SECONDS - STAGE_START)) "$STAGE_NAME")")
    fi
    STAGE_NAME="$1"
    STAGE_START=$SECONDS
    [ -n "$1" ] && echo "== $1"
    return 0
}
stage_summary() {
    stage ""
    echo "Time per stage:"
    printf '  %s\n' "${STAGE_TIMES[@]}"
    printf '  %5d s  in all\n' "$SECONDS"
}
