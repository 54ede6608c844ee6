# Installs the Debian packages given as arguments that are not installed yet.
# Sourced by run.sh and test.sh.

tolvo_install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installation des paquets : ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running Tolvo needs.
TOLVO_PACKAGES=(
    build-essential cmake
    qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev
    libcups2-dev
    fonts-liberation2
    xdg-utils
)

# What the tests need on top: a real spooler with a PDF queue, PDF read-back,
# a virtual screen for screenshots.
TOLVO_TEST_PACKAGES=(
    cups cups-client cups-daemon printer-driver-cups-pdf
    poppler-utils
    xvfb xauth
)
