# Shared by run.sh and test.sh: install what this Debian machine lacks, then configure and build.
# Sourced, not run.

# Installs the named Debian packages that are not installed yet; a no-op when all are there.
ensurePackages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
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

# What the game needs to build and run.
GAME_PACKAGES=(cmake make g++ pkg-config liballegro4-dev)
# What the test build (tests, window harness, benchmarks) needs on top.
HARNESS_PACKAGES=(googletest libgtest-dev libbenchmark-dev xvfb libx11-dev libxtst-dev)

# Configures (once) and builds one build folder; extra arguments go to cmake's configure step.
buildInto() {
    local folder="$1"
    shift
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S . -B "$folder" "$@"
    else
        cmake -S . -B "$folder" "$@" >/dev/null
    fi
    cmake --build "$folder" -j "$(nproc)"
}
