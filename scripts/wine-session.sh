# Sourced by the scripts that run Windows programs: one persistent wineserver for the
# build's prefix, started detached with its output closed (a server holding a caller's
# output open can stall it), and stopped on every way out.
: "${BUILD_DIR:=build}"
export WINEPREFIX="$PWD/$BUILD_DIR/wineprefix" WINEDEBUG=-all
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
setsid wineserver -p </dev/null >/dev/null 2>&1 || true
setsid wine cmd /c exit </dev/null >/dev/null 2>&1 || true
