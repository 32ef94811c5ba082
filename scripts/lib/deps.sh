# Shared by the scripts: idempotent installation of Debian packages.
# Only 64-bit Wine: scripts/lib/wine.sh calls its loader directly.
QF_TEST_PACKAGES="cmake make python3 openssl mingw-w64 wine wine64 googletest"

ensure_packages() {
    missing=""
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing="$missing $pkg"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    case "$missing" in
        *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
    esac
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
}
