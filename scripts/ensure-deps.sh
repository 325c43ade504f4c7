# Installs the Debian packages Torqwell needs that are not installed yet.
# Sourced by ./run and ./test.

TORQWELL_PACKAGES=(
    cmake ninja-build g++                   # build
    clang-format                            # ./test checks that every C++ file is formatted
    libgtest-dev libgmock-dev               # unit tests
    libbenchmark-dev                        # bench/
    libhwy-dev                              # SIMD batch kernel of the cycle model
    qt6-base-dev qt6-charts-dev             # desktop program, printing, 2-D graphs
    qt6-svg-dev                             # SVG dyno sheets and graph images
    qt6-datavisualization-dev qt6-declarative-dev libgl1-mesa-dev  # 3-D surface
    xvfb xauth                              # GUI tests that need a real X server
    poppler-utils                           # pdftoppm: printed pages compared as pictures
    locales                                 # a decimal-comma locale for the locale tests
    dpkg-dev desktop-file-utils shared-mime-info  # the Debian package and its desktop integration
    poppler-utils                           # the user manual's test reads the PDF
    xdotool imagemagick                     # driving the program under Xvfb and taking its pictures
)

torqwell_ensure_packages() {
    local missing=()
    local package
    for package in "${TORQWELL_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The tests check that files and numbers keep their '.' under a locale whose
# decimal separator is a comma; generate one when the system has none.
torqwell_ensure_test_locale() {
    if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not generate de_DE.UTF-8; locale tests will be skipped"
}
