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
