# Shared by scripts/run and scripts/test: installs what is missing, then configures and builds.
set -euo pipefail

RACINE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PAQUETS=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
         qt6-base-dev qt6-translations-l10n libjpeg-dev zlib1g-dev clang libclang-rt-14-dev
         dpkg-dev file desktop-file-utils appstream lintian man-db systemd
         clang-format uap-core libpcre2-dev libyaml-cpp-dev libloc-dev libloc-database iso-codes
         sqlite3 chromium)

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

# prepare_construction DOSSIER [options cmake...]: configures DOSSIER the first time (options
# given later apply to it as well).
prepare_construction() {
    local dossier="$1"
    shift
    if [ ! -f "$dossier/build.ninja" ]; then
        cmake -S "$RACINE" -B "$dossier" -G Ninja "$@" >/dev/null
    elif [ $# -gt 0 ]; then
        cmake -S "$RACINE" -B "$dossier" "$@" >/dev/null
    fi
}

# construit DOSSIER [options cmake...]: prepare_construction, then builds.
construit() {
    prepare_construction "$@"
    cmake --build "$1" -j"$(nproc)"
}

# What scripts/run builds build/ with: optimised (-O2, with debugging notes: the build scripts/test
# makes in the same folder), whatever the folder was configured with before.
OPTIONS_RUN=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)

# Builds the libFuzzer targets with clang in build-fuzz/ and sets CIBLES_FUZZ to their names, as
# fuzz/CMakeLists.txt lists them.
construit_fuzz() {
    construit "$RACINE/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DSILLAGE_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    mapfile -t CIBLES_FUZZ <"$RACINE/build-fuzz/fuzz/cibles.txt"
}

# lance_fuzz SECONDES NOUVEAUX: runs each fuzz target in turn for SECONDES seconds, from its
# corpus in fuzz/corpus/<target>/; new interesting inputs go to NOUVEAUX/<target>/, an input that
# fails to build-fuzz/. A crash, a leak or undefined behaviour stops the script with an error.
lance_fuzz() {
    local secondes="$1" nouveaux="$2" c
    for c in "${CIBLES_FUZZ[@]}"; do
        mkdir -p "$nouveaux/$c" "$RACINE/fuzz/corpus/$c"
        echo "== fuzz_$c ($secondes s)"
        "$RACINE/build-fuzz/fuzz/fuzz_$c" -max_total_time="$secondes" -max_len=4096 \
            -print_final_stats=0 -artifact_prefix="$RACINE/build-fuzz/" \
            "$nouveaux/$c" "$RACINE/fuzz/corpus/$c" 2>&1 | grep -E 'Done|ERROR|SUMMARY|runtime error'
    done
}

# For the benchmark scripts. prepare_banc NOM CIBLE...: sets TMP to a fresh temporary folder
# (kept and named when GARDER is 1, removed at the exit otherwise), then builds the CIBLEs in
# Release in build-bench (CONSTRUCTION), and nothing else.
prepare_banc() {
    local nom="$1"
    shift
    TMP="$(mktemp -d -t "sillage-$nom-XXXXXX")"
    if [ "${GARDER:-0}" = 1 ]; then
        echo "Répertoire temporaire gardé : $TMP"
    else
        trap 'rm -rf "$TMP"' EXIT
    fi
    CONSTRUCTION="$RACINE/build-bench"
    if ! grep -qs '^CMAKE_BUILD_TYPE:STRING=Release$' "$CONSTRUCTION/CMakeCache.txt"; then
        cmake -S "$RACINE" -B "$CONSTRUCTION" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$CONSTRUCTION" --target "$@" >"$TMP/construction" 2>&1 || {
        cat "$TMP/construction" >&2
        exit 1
    }
}

# mediane NOMBRE...: the median of the numbers (the lower middle one of an even count).
mediane() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
