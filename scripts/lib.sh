# Shared shell functions of the scripts in this folder. Source it; do not run it.

QB_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The Wine side (prefix, display, locale) lives with the end-to-end tests that use it most.
source "$QB_ROOT/tests/e2e/harness.sh"

QB_PACKAGES=(cmake ninja-build g++ libgtest-dev googletest clang-format clang libclang-rt-14-dev
             mingw-w64 g++-mingw-w64-x86-64-posix
             wine wine64 xvfb xdotool imagemagick x11-utils x11-xserver-utils python3
             fonts-ipafont-gothic locales
             openbox xfwm4 dbus dbus-x11 xfconf)

# Installs whatever Debian packages of the list are missing, without asking.
qb_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep "install ok installed" >/dev/null ||
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

# Configures a preset once and builds it (again only what changed).
qb_build() {
    local preset="$1"
    [ -f "$QB_ROOT/build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
    cmake --build "$QB_ROOT/build/$preset" -j2
}

# The clang-format whose output the sources are kept in: Debian 12's, the one QB_PACKAGES
# installs. Another major version formats some lines otherwise, and the gate would then fail
# (or pass) on lines nobody changed.
QB_CLANG_FORMAT_MAJOR=14

# Fails, saying why, unless clang-format is of that major version.
qb_check_clang_format() {
    local version
    version="$(clang-format --version 2>/dev/null || true)"
    if [[ ! "$version" =~ clang-format\ version\ ${QB_CLANG_FORMAT_MAJOR}\. ]]; then
        echo "the format gate needs clang-format $QB_CLANG_FORMAT_MAJOR (Debian 12's);" \
            "found: ${version:-no clang-format}" >&2
        return 1
    fi
}

# Lists the project's C++ files that clang-format would change: the tracked ones and the new
# ones git does not ignore, so that a file not yet added is held to the same format.
qb_unformatted() {
    local f
    git -C "$QB_ROOT" ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' |
        while read -r f; do
            [ -f "$QB_ROOT/$f" ] || continue  # deleted, not yet committed
            clang-format --dry-run -Werror "$QB_ROOT/$f" >/dev/null 2>&1 || echo "$f"
        done
}

# Waits (bounded, about 10 s) until a window whose title holds the text is on the display.
qb_wait_for_window() {
    local i
    for ((i = 0; i < 100; i++)); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window titled '$1' appeared" >&2
    return 1
}

# Makes the sample drawing (and its folders) under a folder, if it is not there yet, and
# prints its path.
qb_sample_drawing() {
    local sample="$1/サンプル図面/平面図.jww"
    mkdir -p "$(dirname "$sample")"
    [ -f "$sample" ] || printf 'JwwData.\r\n' >"$sample"
    echo "$sample"
}

# In a Wine environment of qb_wine_begin: starts the CAD stand-in on a drawing (a Windows
# path) when QB_JWSIM_EXE is set (first, so that Quillbox finds the drawing when it starts), then the
# Quillbox executable given, each once its window is there. QB_MAIN_PID is the last started.
qb_start_beside_cad() {
    local quillbox="$1" drawing="$2"
    QB_MAIN_PID=""
    if [ -n "${QB_JWSIM_EXE:-}" ]; then
        wine "$QB_JWSIM_EXE" "$drawing" {QB_LOCK_FD}>&- &
        QB_MAIN_PID=$!
        qb_wait_for_window ' - jw_win' || true
    fi
    if [ -f "$quillbox" ]; then
        wine "$quillbox" {QB_LOCK_FD}>&- &
        QB_MAIN_PID=$!
        qb_wait_for_window 'Quillbox' || true
    else
        echo "$quillbox is not built yet; showing the CAD stand-in alone" >&2
    fi
}
