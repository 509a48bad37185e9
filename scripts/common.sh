# Shared by scripts/run and scripts/test: installs what is missing, then configures and builds.
set -euo pipefail

RACINE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PAQUETS=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
         qt6-base-dev qt6-translations-l10n libjpeg-dev zlib1g-dev clang libclang-rt-14-dev
         dpkg-dev file desktop-file-utils appstream lintian man-db)

installe_manquants() {
    local manquants=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            manquants+=("$p")
    done
    if [ ${#manquants[@]} -gt 0 ]; then
        echo "Installation de : ${manquants[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${manquants[@]}" >/dev/null
    fi
}

# construit DOSSIER [options cmake...]
construit() {
    local dossier="$1"
    shift
    if [ ! -f "$dossier/build.ninja" ]; then
        cmake -S "$RACINE" -B "$dossier" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$dossier" -j"$(nproc)"
}
