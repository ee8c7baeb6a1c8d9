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
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# The packages every build needs.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libpcsclite-dev pcscd vsmartcard-vpcd
                libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev fonts-noto-cjk xvfb libsqlite3-dev
                libreoffice-calc-nogui libxml2-utils poppler-utils fonts-ipafont-gothic)

# configure_only DIR [cmake args...]
configure_only() {
    local dir="$1"
    shift
    cmake -S "$(repo_root)" -B "$(repo_root)/$dir" -G Ninja "$@" >/dev/null
}

# configure_and_build DIR [cmake args...]
configure_and_build() {
    configure_only "$@"
    cmake --build "$(repo_root)/$1" -j "$(nproc)"
}
