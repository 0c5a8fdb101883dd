# The Wine side of the end-to-end tests and of scripts/run. Source it; do not run it.
#
#   qb_wine_begin PREFIX [WM]   lock and prepare PREFIX (created once, then reused), export the
#                               Wine environment, and give it a display:
#                                 no WM        the caller's DISPLAY, or a private Xvfb when
#                                              there is none; Wine's windows unmanaged
#                                 openbox,     always a private Xvfb with that window manager
#                                 xfwm4,       on it, and Wine's default managed windows, as on
#                                 kwin, mutter a Linux desktop
#   qb_wine_end                 end what qb_wine_begin started, and nothing else
#
# QB_JWSIM_EXE (a Linux path), when set, is associated with .jww in the prefix.

QB_HARNESS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# "/a/b" as a Windows program under Wine sees it.
qb_winpath() {
    local p="$1"
    printf 'Z:%s' "${p//\//\\}"
}

# Wine needs the Japanese glibc locale for code page 932 from LANG alone.
qb_has_ja_locale() {
    # grep without -q reads to the end, so locale never dies of SIGPIPE under pipefail.
    locale -a 2>/dev/null | grep -ix 'ja_JP.utf8' >/dev/null
}

qb_ensure_locale() {
    qb_has_ja_locale && return 0
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
    fi
    qb_has_ja_locale ||
        echo "harness: the ja_JP.UTF-8 locale is missing (localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)" >&2
}

# A private X display when the caller has none, or always with "private". Sets QB_XVFB_PID.
qb_start_display() {
    QB_XVFB_PID=""
    [ -n "${DISPLAY:-}" ] && [ "${1:-}" != private ] && return 0
    local out
    out="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 {QB_LOCK_FD}>&- &
    QB_XVFB_PID=$!
    local i
    for ((i = 0; i < 200; i++)); do
        [ -s "$out" ] && grep -q . "$out" && break
        sleep 0.05
    done
    if ! grep -q . "$out"; then
        rm -f "$out"
        echo "harness: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$out")"
    rm -f "$out"
}

# The window managers the tests know, as a user's desktop starts them.
qb_wm_command() {
    case "$1" in
    openbox) echo "openbox --sm-disable" ;;
    # Without a session bus xfwm4 gives up at once ("Xfconf could not be initialized").
    xfwm4) echo "dbus-run-session -- xfwm4 --compositor=off --sm-client-disable" ;;
    # KDE's: on X11 through Qt's xcb platform, without compositing (as on a desktop whose
    # effects are off), on a session bus of its own.
    kwin) echo "env KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb dbus-run-session -- kwin_x11 --replace" ;;
    # GNOME's, as an X11 window manager; it composites with Mesa's software GL on Xvfb.
    mutter) echo "dbus-run-session -- mutter --x11 --replace --sm-disable" ;;
    *) return 1 ;;
    esac
}

# The Debian packages of a window manager. The big desktops' (about 150 packages for KWin) are
# installed only when a run asks for them, not with the project's own packages.
qb_wm_packages() {
    case "$1" in
    openbox) echo "openbox" ;;
    xfwm4) echo "xfwm4 dbus dbus-x11 xfconf" ;;
    kwin) echo "kwin-x11 dbus dbus-x11" ;;
    mutter) echo "mutter dbus dbus-x11" ;;
    *) return 1 ;;
    esac
}

# Starts a window manager on DISPLAY in a process group of its own (xfwm4's session bus
# leaves daemons behind that only the group reaches) and waits until it has taken the screen.
# Sets QB_WM_PID.
qb_start_wm() {
    local command
    QB_WM_PID=""
    command="$(qb_wm_command "$1")" || {
        echo "harness: unknown window manager '$1' (openbox, xfwm4, kwin or mutter)" >&2
        return 1
    }
    local program
    program="$(echo "$command" | grep -oE '(openbox|xfwm4|kwin_x11|mutter) ' | head -n1)"
    if ! command -v $program >/dev/null; then
        echo "harness: $program is not installed (apt-get install $(qb_wm_packages "$1"); scripts/test installs it when QB_E2E_WM=$1)" >&2
        return 1
    fi
    # KWin now and then dies at once, its Qt unable to load the xcb platform (about one start
    # in six here): a window manager that exits before it claims the screen is started again,
    # up to three times, and its own words are shown when it never does.
    local log attempt i
    log="$(mktemp)"
    for ((attempt = 1; attempt <= 3; attempt++)); do
        # shellcheck disable=SC2086
        setsid $command >"$log" 2>&1 {QB_LOCK_FD}>&- &
        QB_WM_PID=$!
        # Up to 30 s: KWin's very first start writes its configuration and takes several seconds.
        for ((i = 0; i < 600; i++)); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            kill -0 "$QB_WM_PID" 2>/dev/null || break
            sleep 0.05
        done
        kill -0 "$QB_WM_PID" 2>/dev/null && break
        # Its session bus may outlive it: end the whole group before the next try.
        kill -KILL -- "-$QB_WM_PID" 2>/dev/null || true
        wait "$QB_WM_PID" 2>/dev/null || true
    done
    if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        echo "harness: the window manager '$1' did not start:" >&2
        tail -n 5 "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
    # It claims the screen a moment before it handles the first map request well; KWin and
    # Mutter set up their workspaces for about a second more.
    case "$1" in
    kwin | mutter) sleep 1 ;;
    *) sleep 0.5 ;;
    esac
}

# The wineserver of a prefix listens on a socket named after the prefix's device and inode;
# it is running when that socket is bound.
qb_server_running() {
    local dev ino sock
    [ -d "$WINEPREFIX" ] || return 1
    read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX")
    sock="/tmp/.wine-$(id -u)/server-$(printf '%x' "$dev")-$(printf '%x' "$ino")/socket"
    grep -qF " $sock" /proc/net/unix
}

qb_import_reg() {  # UTF-8 .reg text on stdin
    local tmp
    tmp="$(mktemp --suffix=.reg)"
    { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$tmp"
    wine regedit /S "$(qb_winpath "$tmp")" {QB_LOCK_FD}>&-
    rm -f "$tmp"
}

# managed: Y for Wine's default (a window manager decorates, stacks and focuses the windows),
# N for unmanaged windows on a bare X server.
qb_ensure_prefix() {
    local managed="$1"
    local stamp="$WINEPREFIX/.qb-settings"
    local want
    want="$(sha1sum <"$QB_HARNESS_DIR/wine-settings.reg" | cut -d' ' -f1) managed=$managed"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "harness: creating the Wine prefix $WINEPREFIX" >&2
        mkdir -p "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1 {QB_LOCK_FD}>&-
    fi
    if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
        {
            cat "$QB_HARNESS_DIR/wine-settings.reg"
            # Without a window manager, every hide or destroy of a captioned window otherwise
            # waits 2 s for one.
            printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="%s"\n' "$managed"
        } | qb_import_reg
        echo "$want" >"$stamp"
    fi
    if [ -n "${QB_JWSIM_EXE:-}" ] &&
        [ "$(cat "$WINEPREFIX/.qb-jww" 2>/dev/null)" != "$QB_JWSIM_EXE" ]; then
        # Wine's FindExecutable reads only HKLM\Software\Classes.
        local exe
        exe="$(qb_winpath "$QB_JWSIM_EXE")"
        exe="${exe//\\/\\\\}"
        qb_import_reg <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.jww]
@="JwwFile"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\JwwFile\\shell\\open\\command]
@="\\"$exe\\" \\"%1\\""
REG
        echo "$QB_JWSIM_EXE" >"$WINEPREFIX/.qb-jww"
    fi
}

qb_wine_begin() {
    export WINEPREFIX="$1"
    local wm="${2:-}"
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    qb_ensure_locale
    export LANG=ja_JP.UTF-8
    unset LC_ALL LC_CTYPE LC_MESSAGES
    mkdir -p "$(dirname "$WINEPREFIX")"
    # One user of a prefix at a time: focus, clipboard and windows are shared within it.
    exec {QB_LOCK_FD}>"$WINEPREFIX.lock"
    flock "$QB_LOCK_FD"
    local managed=N
    if [ -n "$wm" ]; then
        qb_start_display private || return 1
        qb_start_wm "$wm" || return 1
        managed=Y
    else
        # A caller's own display has a window manager; only a bare private one has none.
        [ -n "${DISPLAY:-}" ] && managed=Y
        qb_start_display || return 1
    fi
    QB_OWN_SERVER=1
    qb_server_running && QB_OWN_SERVER=0
    qb_ensure_prefix "$managed"
}

qb_wine_end() {
    if [ "${QB_OWN_SERVER:-0}" = 1 ]; then
        wineserver -k {QB_LOCK_FD}>&- 2>/dev/null || true
        wineserver -w {QB_LOCK_FD}>&- 2>/dev/null || true
    fi
    if [ -n "${QB_WM_PID:-}" ]; then
        kill -TERM -- "-$QB_WM_PID" 2>/dev/null || true
        wait "$QB_WM_PID" 2>/dev/null || true
        kill -KILL -- "-$QB_WM_PID" 2>/dev/null || true
    fi
    if [ -n "${QB_XVFB_PID:-}" ]; then
        kill "$QB_XVFB_PID" 2>/dev/null || true
        wait "$QB_XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "${QB_LOCK_FD:-}" ]; then
        exec {QB_LOCK_FD}>&-
    fi
}
