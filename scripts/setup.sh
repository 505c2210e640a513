# Shared by run.sh and test.sh: install what this Debian machine lacks, then configure and build.
# Sourced, not run.

# Runs a command as root: directly when root, else through sudo. Variables go after sudo, as in
# "asRoot DEBIAN_FRONTEND=noninteractive apt-get ...": set in front of it, its env_reset drops them.
asRoot() {
    if [ "$(id -u)" -eq 0 ]; then
        env "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "This needs root or sudo: $*" >&2
        return 1
    fi
}

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
    if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
        echo "Please install these Debian packages as root, then run this again: ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    asRoot apt-get update -qq
    asRoot DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# What the game needs to build and run.
GAME_PACKAGES=(cmake make g++ pkg-config liballegro4-dev libpng-dev)
# What the scripts that play the built game in a private X server need (scripts/gameScripts.sh).
# xvfb-run needs xauth, which xvfb only recommends.
X_PACKAGES=(xvfb xauth xdotool imagemagick python3-xlib)
# What the test build (tests, benchmarks, the played game, its install) needs on top.
HARNESS_PACKAGES=(googletest libgtest-dev libbenchmark-dev "${X_PACKAGES[@]}" desktop-file-utils
    appstream)

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
