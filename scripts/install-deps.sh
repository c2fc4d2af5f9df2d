#!/bin/sh
# Installs every Debian package needed to build, run and test the program.
# Run as root on Debian 12.
set -eu
export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps.sh: run as root (or through sudo)" >&2
    exit 1
fi
apt-get update -q
apt-get install -y -q --no-install-recommends \
    build-essential cmake ninja-build pkg-config git ca-certificates \
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-qpa-plugins \
    qt6-translations-l10n libqt6svg6 \
    libcups2-dev cups printer-driver-cups-pdf \
    libgtest-dev libgmock-dev libbenchmark-dev libx11-dev \
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core \
    xvfb xauth xdotool x11-apps x11-utils openbox imagemagick poppler-utils dbus-daemon \
    python3 \
    clang \
    dpkg-dev file lintian appstream desktop-file-utils \
    emscripten
# node and npm run the WebAssembly world and build the page: the machine's own when it has
# them, else Debian's.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    apt-get install -y -q --no-install-recommends nodejs npm
fi
# The web page: fontTools cuts its Japanese font, chromium runs its browser tests.
apt-get install -y -q --no-install-recommends \
    chromium python3-fonttools python3-brotli
