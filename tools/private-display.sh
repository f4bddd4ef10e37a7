# Sourced by the scripts that run the module's dialogs under Wine: starts a
# private Xvfb display, and stops it and the project's wineservers (the 32-bit
# prefix's and the 64-bit one's) when the sourcing script exits.
private_display=95
while [ -e "/tmp/.X${private_display}-lock" ]; do private_display=$((private_display + 1)); done
Xvfb ":$private_display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
private_xvfb=$!
export DISPLAY=":$private_display"
stop_private_display() {
    WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}" wineserver -k 2>/dev/null
    WINEPREFIX="${WINEPREFIX64:-$PWD/build/wineprefix64}" wineserver -k 2>/dev/null
    kill "$private_xvfb" 2>/dev/null
}
trap stop_private_display EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$private_display" ] && break; sleep 0.1; done
