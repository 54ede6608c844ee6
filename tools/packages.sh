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
# (qt6-base-dev brings the OpenGL and Vulkan headers its CMake files look for;
# fonts-liberation2 gives the metrics of "Arial", the default print font; xdg-utils
# opens the About box's links; qt6-translations-l10n puts Qt's own texts in French;
# libqt6sql6-sqlite is Qt's driver for the cheque register, libqt6sql6-psql for a
# register shared on a PostgreSQL server, whose password qtkeychain-qt6-dev keeps in
# the desktop's keyring.)
TOLVO_PACKAGES=(
    build-essential cmake
    qt6-base-dev
    libcups2-dev
    fonts-liberation2
    xdg-utils
    qt6-translations-l10n
    libqt6sql6-sqlite
    libqt6sql6-psql
    qtkeychain-qt6-dev
)

# What the tests need on top: a private spooler (cupsd, lpadmin and CUPS's PDF
# filters, all brought by cups), PDF read-back (pdftotext, pdfinfo, pdftoppm), the
# checkers of the desktop entry and the metadata, the Debian package build
# (dpkg-shlibdeps, dpkg-deb), the register read back with the sqlite3 tool and
# its CSV export with Python's csv module, and a PostgreSQL server of the tests' own
# (initdb, postgres, psql) for the shared register.
TOLVO_TEST_PACKAGES=(
    cups
    poppler-utils
    desktop-file-utils
    appstream
    dpkg-dev
    sqlite3
    python3
    postgresql
)
