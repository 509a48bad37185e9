#!/usr/bin/env bash
# Measures sillage-import and the window on a growing store, in one run on this machine:
#
#   1. growth: three 1,000,000-line logs of the realistic mix (300,000 hosts, 50,000 pages each)
#      imported one after another into one store; time per line of each import, the third
#      against the first, and peak memory against the bytes of the tables;
#   2. the store grown on to about 200 MB with more such logs, and what its periods (the tables
#      of each year and month) add to it on the disk;
#   3. the nightly import: 1,000 lines into a copy of that store, beside a copy of its files
#      with fsync (cp, then sync of the files and the folder), the two taken in turn; then the
#      same night into the store as the import of the night before left it;
#   4. the window on that store: start-up until every list is filled, "&Ouvrir" of the
#      1,000-line log, the switch of every tab to its largest month and to its largest year,
#      and the view refresh with 1,000,000 client hosts (Google Benchmark).
#
#   bench/vitesse.sh [--essais N] [--mo M] [--garder]
#
#   --essais N   runs of each measure; medians are shown (5)
#   --mo M       size the store grows to, in MB (200)
#   --garder     keeps the temporary directory (logs, stores, reports)
#
# Builds Release into build-bench when needed. Wall times are medians; CPU times (user +
# system) are shown beside them, steadier when other work shares the machine.
set -euo pipefail

source "$(dirname "$0")/../scripts/common.sh"
ESSAIS=5
MO=200
GARDER=0
while [ $# -gt 0 ]; do
    case "$1" in
    --essais) ESSAIS="$2"; shift 2 ;;
    --mo) MO="$2"; shift 2 ;;
    --garder) GARDER=1; shift ;;
    -h | --aide)
        sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "Option inconnue : $1" >&2
        exit 2
        ;;
    esac
done

installe_manquants "${PAQUETS[@]}" time

prepare_banc vitesse genere-log sillage-import fenetre_base_bench \
    fenetre_periodes_bench fenetre_rafraichit_bench
GENERE="$CONSTRUCTION/bench/genere-log"
IMPORT="$CONSTRUCTION/app/sillage-import"

# temps COMMANDE... : runs it under GNU time; sets S (wall seconds), C (user + system seconds)
# and K (peak resident memory, KiB).
temps() {
    /usr/bin/time -v -o "$TMP/temps" "$@" </dev/null >"$TMP/sortie" 2>&1 || {
        echo "Échec de : $*" >&2
        tail -5 "$TMP/sortie" >&2
        exit 1
    }
    read -r S C K < <(LC_ALL=C awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0
                                   for (j = 1; j <= n; j++) s = s * 60 + p[j] }
        /User time|System time/ { c += $2 }
        /Maximum resident set size/ { k = $2 }
        END { print s, c, k }' "$TMP/temps")
}

octets() { LC_ALL=C du -cb "$1"/*.lst | tail -1 | cut -f1; }
journal() { "$GENERE" --realiste --hotes 300000 --pages 50000 --graine "$1" --lignes "$2" --sortie "$3"; }

echo "Machine : $(nproc) cœurs, charge $(cut -d' ' -f1-3 /proc/loadavg)"

# 1. Growth, ESSAIS times from an empty store.
echo "Génération des journaux..."
for g in 1 2 3; do journal "$g" 1000000 "$TMP/croit$g.log"; done
declare -A MUR CPU CRETE
for ((e = 0; e < ESSAIS; e++)); do
    rm -rf "$TMP/croissance" && mkdir "$TMP/croissance"
    for g in 1 2 3; do
        temps "$IMPORT" --dir "$TMP/croissance" "$TMP/croit$g.log"
        MUR[$g]+="$S " CPU[$g]+="$C " CRETE[$g]+="$K "
    done
done
TABLES3=$(octets "$TMP/croissance")
echo
echo "1. Croissance : trois journaux de 1 000 000 lignes dans une même base (médianes de $ESSAIS)"
echo "   import   µs/ligne mur  µs/ligne CPU  × le 1er (mur)  × le 1er (CPU)  Mio crête"
for g in 1 2 3; do
    m=$(mediane ${MUR[$g]}) c=$(mediane ${CPU[$g]}) k=$(mediane ${CRETE[$g]})
    [ "$g" = 1 ] && m1=$m c1=$c
    LC_ALL=C awk -v g="$g" -v m="$m" -v c="$c" -v k="$k" -v m1="$m1" -v c1="$c1" 'BEGIN {
        printf "   %6d %14.2f %13.2f %15.2f %15.2f %10.1f\n", g, m, c, m / m1, c / c1, k / 1024 }'
    [ "$g" = 3 ] && k3=$k
done
LC_ALL=C awk -v k="$k3" -v t="$TABLES3" 'BEGIN {
    printf "   tables après le 3e : %.1f Mo ; crête du 3e : %.2f × les octets des tables\n", t / 1e6, k * 1024 / t }'

# 2. The store grown on to about MO megabytes.
BASE="$TMP/base"
cp -a "$TMP/croissance" "$BASE"
g=4
while [ "$(octets "$BASE")" -lt $((MO * 1000000)) ]; do
    journal "$g" 1000000 "$TMP/suite.log"
    "$IMPORT" --dir "$BASE" "$TMP/suite.log" >/dev/null
    g=$((g + 1))
done
rm -f "$TMP/suite.log"
echo
echo "2. Base de $(LC_ALL=C awk -v o="$(octets "$BASE")" 'BEGIN { printf "%.1f", o / 1e6 }') Mo ($((g - 1)) journaux de 1 000 000 lignes)"
PERIODES=$(LC_ALL=C du -sb "$BASE/periodes" | cut -f1)
LC_ALL=C awk -v p="$PERIODES" -v o="$(octets "$BASE")" -v n="$(ls "$BASE/periodes" | wc -l)" 'BEGIN {
    printf "   périodes : %.1f Mo de plus en %d dossiers (%.2f × les tables de la racine)\n", p / 1e6, n, p / o }'

# 3. The nightly import: the last 1,000 lines of a log of the same mix (one day: the store's last),
# beside a copy with fsync of the files that its save writes (found by their inodes after the
# first run), taken in turn; then its peak memory against the bytes of the tables it loads (the
# root's and those of the periods it changes).
journal 999 200000 "$TMP/jours.log"
tail -n 1000 "$TMP/jours.log" >"$TMP/nuit.log"
tail -n 2000 "$TMP/jours.log" | sed -n 1,1000p >"$TMP/veille.log" # the night before
rm -f "$TMP/jours.log"
inodes() { (cd "$1" && find . -name '*.lst' -printf '%i %p\n' | LC_ALL=C sort); }
NUIT_MUR="" NUIT_CPU="" COPIE_MUR="" COPIE_CPU="" NUIT_CRETE=""
for ((e = 0; e < ESSAIS; e++)); do
    rm -rf "$TMP/nuit" && cp -a "$BASE" "$TMP/nuit" && sync
    [ "$e" = 0 ] && inodes "$TMP/nuit" >"$TMP/inodes.avant"
    temps "$IMPORT" --dir "$TMP/nuit" "$TMP/nuit.log"
    NUIT_MUR+="$S " NUIT_CPU+="$C " NUIT_CRETE+="$K "
    if [ "$e" = 0 ]; then
        inodes "$TMP/nuit" | LC_ALL=C comm -23 - "$TMP/inodes.avant" | sed 's|^[0-9]* \./||' >"$TMP/ecrits"
        ECRITS=$(cd "$BASE" && xargs -a "$TMP/ecrits" du -cb | tail -1 | cut -f1)
        CHARGES=$( (octets "$BASE"; cd "$BASE" && sed -n 's|^\(periodes/[^/]*\)/.*|\1|p' "$TMP/ecrits" | sort -u |
            while read -r d; do octets "$d"; done) | awk '{ t += $1 } END { print t }')
    fi
    rm -rf "$TMP/copie" && sync
    temps sh -c "cd '$BASE' && while read -r f; do mkdir -p \"\$(dirname '$TMP/copie/'\"\$f\")\" && cp \"\$f\" '$TMP/copie/'\"\$f\"; done <'$TMP/ecrits' && find '$TMP/copie' -type f -exec sync {} + && find '$TMP/copie' -type d -exec sync {} +"
    COPIE_MUR+="$S " COPIE_CPU+="$C "
done
rm -rf "$TMP/copie"
echo
echo "3. Import de nuit : les 1 000 dernières lignes d'un journal du même mélange (un jour), à côté d'une copie avec fsync des fichiers que son enregistrement écrit (médianes de $ESSAIS)"
LC_ALL=C awk -v n="$(wc -l <"$TMP/ecrits")" -v o="$ECRITS" 'BEGIN {
    printf "   fichiers écrits : %d, %.1f Mo\n", n, o / 1e6 }'
LC_ALL=C awk -v nm="$(mediane $NUIT_MUR)" -v nc="$(mediane $NUIT_CPU)" \
    -v cm="$(mediane $COPIE_MUR)" -v cc="$(mediane $COPIE_CPU)" 'BEGIN {
    printf "   sillage-import %.2f s (CPU %.2f s) ; copie %.2f s (CPU %.2f s) ; rapport %.2f\n", nm, nc, cm, cc, nm / cm }'
LC_ALL=C awk -v k="$(mediane $NUIT_CRETE)" -v t="$CHARGES" 'BEGIN {
    printf "   crête %.1f Mio ; tables chargées %.1f Mo ; %.2f × leurs octets\n", k / 1024, t / 1048576, k * 1024 / t }'
echo "   murs de l'import : $NUIT_MUR; de la copie : $COPIE_MUR"

# 3b. Night after night: the store as the night before left it (its files written past the page
# cache by that import's save, as on a server that imports every night), beside a copy with fsync
# of the same files from such a store. Two such stores per run, one for each.
veille() { rm -rf "$1" && cp -a "$BASE" "$1" && "$IMPORT" --dir "$1" "$TMP/veille.log" >/dev/null && sync; }
SUITE_MUR="" SUITE_CPU="" FROIDE_MUR="" FROIDE_CPU=""
for ((e = 0; e < ESSAIS; e++)); do
    veille "$TMP/nuit"
    veille "$TMP/source"
    temps "$IMPORT" --dir "$TMP/nuit" "$TMP/nuit.log"
    SUITE_MUR+="$S " SUITE_CPU+="$C "
    rm -rf "$TMP/copie" && sync
    temps sh -c "cd '$TMP/source' && while read -r f; do mkdir -p \"\$(dirname '$TMP/copie/'\"\$f\")\" && cp \"\$f\" '$TMP/copie/'\"\$f\"; done <'$TMP/ecrits' && find '$TMP/copie' -type f -exec sync {} + && find '$TMP/copie' -type d -exec sync {} +"
    FROIDE_MUR+="$S " FROIDE_CPU+="$C "
done
rm -rf "$TMP/copie" "$TMP/source"
echo
echo "3b. Nuit après nuit : la même nuit dans la base telle que l'import de la veille l'a laissée (médianes de $ESSAIS)"
LC_ALL=C awk -v nm="$(mediane $SUITE_MUR)" -v nc="$(mediane $SUITE_CPU)" \
    -v cm="$(mediane $FROIDE_MUR)" -v cc="$(mediane $FROIDE_CPU)" 'BEGIN {
    printf "   sillage-import %.2f s (CPU %.2f s) ; copie %.2f s (CPU %.2f s) ; rapport %.2f\n", nm, nc, cm, cc, nm / cm }'
echo "   murs de l'import : $SUITE_MUR; de la copie : $FROIDE_MUR"

# 4. The window.
echo
echo "4. La fenêtre (Google Benchmark, temps par itération)"
SILLAGE_BANC_BASE="$BASE" SILLAGE_BANC_JOURNAL="$TMP/nuit.log" QT_QPA_PLATFORM=offscreen \
    "$CONSTRUCTION/bench/fenetre_base_bench" --benchmark_repetitions="$ESSAIS" \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median|hotes' | sed 's/^/   /'
SILLAGE_BANC_BASE="$BASE" SILLAGE_BANC_JOURNAL="$TMP/nuit.log" QT_QPA_PLATFORM=offscreen temps \
    "$CONSTRUCTION/bench/fenetre_base_bench" --benchmark_filter=Demarrage --benchmark_repetitions=1
LC_ALL=C awk -v k="$K" -v t="$(octets "$BASE")" 'BEGIN {
    printf "   crête de la fenêtre ouverte sur la base : %.1f Mio, %.2f × les octets de ses tables\n", k / 1024, k * 1024 / t }'
SILLAGE_BANC_BASE="$BASE" QT_QPA_PLATFORM=offscreen \
    "$CONSTRUCTION/bench/fenetre_periodes_bench" --benchmark_repetitions="$ESSAIS" \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median' | sed 's/^/   /'
QT_QPA_PLATFORM=offscreen "$CONSTRUCTION/bench/fenetre_rafraichit_bench" \
    --benchmark_filter=BM_RafraichitVues --benchmark_repetitions="$ESSAIS" \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'median' | sed 's/^/   /'
