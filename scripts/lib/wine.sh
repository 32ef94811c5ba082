# Shared by the scripts: the 64-bit Wine loader and server, called directly.
# Debian's `wine` launcher prefers the 32-bit loader whenever wine32 is
# installed, and some kernels (this project's VMs among them) cannot run i386
# programs at all; every program we run is 64-bit, so we never need it.
if [ -x /usr/lib/wine/wine64 ]; then
    QF_WINE=/usr/lib/wine/wine64
else
    QF_WINE=$(command -v wine64 2>/dev/null || command -v wine)
fi
if [ -x /usr/lib/wine/wineserver64 ]; then
    QF_WINESERVER=/usr/lib/wine/wineserver64
else
    QF_WINESERVER=$(command -v wineserver)
fi
export WINELOADER="$QF_WINE"

# The prefix's Wine server lives exactly as long as someone uses it: every
# user holds a shared lock on PREFIX.users, the server is started with no
# timeout of its own, and the last user out ends it while holding the lock
# exclusively. So a server never ends on a timer while a program connects,
# and none is left for a later run, perhaps in another network namespace,
# to meet. A user's lock stays on fd 8; the programs it runs must not get it
# (Wine's services would inherit it and hold it for ever): run them with 8>&-.
wine_server_use() { # prefix
    exec 8>"$1.users"
    flock -s 8
    # When servers start and end, and what they say (a fatal error, "wineserver
    # crashed"), go to PREFIX.server.log, which hang reports print; a crashed
    # server leaves its core in its folder for gdb. Status 2: one runs already.
    if (ulimit -c unlimited 2>/dev/null; export WINEPREFIX="$1"; exec "$QF_WINESERVER" -p </dev/null >/dev/null 2>>"$1.server.log" 8>&-); then
        printf '%s server started for pid %s\n' "$(date +%T.%N)" "$$" >>"$1.server.log"
    fi
}

wine_server_leave() { # prefix
    exec 8>&-
    exec 8>"$1.users"
    # Another user still runs: it ends the server when it leaves.
    if flock -xn 8; then
        wine_server_end "$1"
    fi
    exec 8>&-
}

# Ends the prefix's server and every Wine program of it, whoever started it
# (also one of another network namespace), and waits until it is gone.
wine_server_end() { # prefix
    WINEPREFIX="$1" "$QF_WINESERVER" -k </dev/null >/dev/null 2>&1 &&
        printf '%s server ended by pid %s\n' "$(date +%T.%N)" "$$" >>"$1.server.log"
    WINEPREFIX="$1" "$QF_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
}
