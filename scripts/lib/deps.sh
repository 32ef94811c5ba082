# Shared by the scripts: idempotent installation of Debian packages.
# Only 64-bit Wine: scripts/lib/wine.sh calls its loader directly.
QF_TEST_PACKAGES="cmake make python3 openssl mingw-w64 wine wine64 googletest libz-mingw-w64-dev"
# What each of the other scripts adds; scripts/install-deps takes them all,
# for a machine (or a network namespace) that will have no network later.
QF_NATIVE_PACKAGES="cmake make clang libclang-rt-14-dev googletest zlib1g-dev" # libFuzzer and the sanitizer runtimes; zlib inflates bodies
QF_PARSER_BENCH_PACKAGES="cmake make g++ python3 libbenchmark-dev libpugixml-dev libtinyxml2-dev libxml2-dev libexpat1-dev"
QF_REFRESH_BENCH_PACKAGES="$QF_TEST_PACKAGES curl"
QF_SCREENSHOT_PACKAGES="xvfb xdotool imagemagick"
QF_PACKAGE_PACKAGES="$QF_TEST_PACKAGES unzip"
QF_HANG_REPORT_PACKAGES="gdb" # backtraces of a hung test program's threads
QF_ALL_PACKAGES="$QF_TEST_PACKAGES $QF_NATIVE_PACKAGES $QF_PARSER_BENCH_PACKAGES $QF_REFRESH_BENCH_PACKAGES \
$QF_SCREENSHOT_PACKAGES $QF_PACKAGE_PACKAGES $QF_HANG_REPORT_PACKAGES"

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
