# Shared shell functions of the scripts in this folder. Source it; do not run it.

QB_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

QB_PACKAGES=(cmake ninja-build g++ libgtest-dev clang-format
             mingw-w64 g++-mingw-w64-x86-64-posix
             wine wine64 xvfb xdotool imagemagick x11-utils fonts-ipafont-gothic locales)

# Installs whatever Debian packages of the list are missing, without asking.
qb_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
}
