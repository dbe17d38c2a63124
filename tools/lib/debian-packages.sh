# The Debian package step shared by tools/install-deps and
# tools/install-avisynth; sourced, not run.

# What Clipwright builds and tests with.
clipwright_packages=(
    cmake ninja-build g++ pkg-config qt6-base-dev libqscintilla2-qt6-dev
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
    libpugixml-dev libgtest-dev libbenchmark-dev libxcb1-dev libx11-dev
    libqt6svg6
    clang libclang-rt-14-dev
    xvfb xauth x11-utils xdg-utils imagemagick xdotool fonts-dejavu-core
    dpkg-dev desktop-file-utils appstream shared-mime-info man-db
)

# Prints those of the named packages that dpkg does not list as installed,
# on one line; fails where there is no dpkg-query.
missing_debian_packages() {
    command -v dpkg-query >/dev/null || return 1
    local installed p missing=()
    installed=$(dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>/dev/null || true)
    for p in "$@"; do
        grep -qxF "$p install ok installed" <<<"$installed" || missing+=("$p")
    done
    echo "${missing[*]}"
}

# install_debian_packages MODE PACKAGE...
# Installs the packages with apt-get, as root or through sudo, and prints the
# command first. MODE "yes" installs without asking, "ask" asks on the
# terminal first (and fails when there is none), "dry" only prints.
install_debian_packages() {
    local mode=$1
    shift
    [ $# -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
        if [ "$mode" != dry ] && ! command -v sudo >/dev/null; then
            echo "Missing Debian packages ($*) need root or sudo to install; install them and run again." >&2
            return 1
        fi
    fi
    echo "[packages] ${sudo[*]}${sudo:+ }apt-get install -y --no-install-recommends $*"
    [ "$mode" = dry ] && return 0
    if [ "$mode" = ask ]; then
        if [ ! -t 0 ]; then
            echo "Missing Debian packages: $*; run again with --yes to install them without asking." >&2
            return 1
        fi
        local answer
        read -r -p "Install these packages now? [y/N] " answer
        case $answer in
        [yY]*) ;;
        *)
            echo "Stopped: the packages are needed." >&2
            return 1
            ;;
        esac
    fi
    # sudo drops the caller's environment, so the variable goes through env.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}
