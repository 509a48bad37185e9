#!/usr/bin/env bash
# Measures what leaves the window, in one run on this machine:
#
#   1. sillage-import --hits: a 1,000,000-line log of the realistic mix (300,000 hosts, 50,000
#      pages) imported into an empty store without --hits, with --hits FICHIER.csv and with
#      --hits FICHIER.csv.gz, the three taken in turn; what --hits adds to the import's time
#      (goal: at most 30 %);
#   2. sillage-rapport --csv ip of a store of 1,000,000 client hosts (goal: 1 s), beside a copy
#      of its table file with fsync;
#   3. the store grown to about 200 MB as bench/vitesse.sh grows it, and sillage-rapport --html
#      of it (goal: 2 s); its peak memory against the bytes of the tables.
#
#   bench/rapports.sh [--essais N] [--mo M] [--garder]
#
#   --essais N   runs of each measure; medians are shown (5)
#   --mo M       size the store of 3. grows to, in MB (200)
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
        sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "Option inconnue : $1" >&2
        exit 2
        ;;
    esac
done

installe_manquants "${PAQUETS[@]}" time

prepare_banc rapports genere-log sillage-import sillage-rapport
GENERE="$CONSTRUCTION/bench/genere-log"
IMPORT="$CONSTRUCTION/app/sillage-import"
RAPPORT="$CONSTRUCTION/app/sillage-rapport"
# The visitors' caches (countries of addresses) of a run of their own, made before measuring.
export XDG_CACHE_HOME="$TMP/cache"

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

octets() { LC_ALL=C du -cb "$1"/*.lst 2>/dev/null | tail -1 | cut -f1; }
journal() { "$GENERE" --realiste --hotes 300000 --pages 50000 --graine "$1" --lignes "$2" --sortie "$3"; }
nouvelle_base() { rm -rf "$1" && mkdir -m 700 "$1"; }

echo "Machine : $(nproc) cœurs, charge $(cut -d' ' -f1-3 /proc/loadavg)"

# 1. --hits, the three imports taken in turn.
journal 1 1000000 "$TMP/hits.log"
declare -A MUR CPU
for ((e = 0; e < ESSAIS; e++)); do
    for mode in sans csv gz; do
        nouvelle_base "$TMP/base-hits"
        case "$mode" in
        sans) temps "$IMPORT" --dir "$TMP/base-hits" "$TMP/hits.log" ;;
        csv) temps "$IMPORT" --dir "$TMP/base-hits" --hits "$TMP/hits.csv" "$TMP/hits.log" ;;
        gz) temps "$IMPORT" --dir "$TMP/base-hits" --hits "$TMP/hits.csv.gz" "$TMP/hits.log" ;;
        esac
        MUR[$mode]+="$S " CPU[$mode]+="$C "
    done
done
echo
echo "1. sillage-import --hits : 1 000 000 lignes dans une base vide (médianes de $ESSAIS)"
m0=$(mediane ${MUR[sans]}) c0=$(mediane ${CPU[sans]})
for mode in sans csv gz; do
    m=$(mediane ${MUR[$mode]}) c=$(mediane ${CPU[$mode]})
    LC_ALL=C awk -v n="$mode" -v m="$m" -v c="$c" -v m0="$m0" -v c0="$c0" 'BEGIN {
        printf "   %-5s %6.2f s (CPU %5.2f s)  × sans : %.2f (CPU %.2f)\n", n, m, c, m / m0, c / c0 }'
done
echo "   fichiers : $(du -h "$TMP/hits.csv" | cut -f1) en CSV, $(du -h "$TMP/hits.csv.gz" | cut -f1) en gzip"
echo "   murs sans : ${MUR[sans]}; csv : ${MUR[csv]}; gz : ${MUR[gz]}"
rm -rf "$TMP/base-hits" "$TMP/hits.csv" "$TMP/hits.csv.gz"

# 2. --csv ip of 1,000,000 hosts, beside a copy of the table file with fsync.
nouvelle_base "$TMP/million"
LC_ALL=C awk 'BEGIN {
    for (i = 0; i < 1000000; i++)
        printf "\\1;%d\\2;lfbn-%d-%d-%d.w90-%d.abo.fai-exemple.fr\\3;%d\\4;%02d/Mar/2024:%02d:%02d:%02d\\5;\r\n",
            i, i % 97, i % 1009, i, i % 13, 1000000 - i, 1 + i % 28, i % 24, i % 60, i % 59
    printf "\\1;1000000\\2;\r\n" }' >"$TMP/million/nom.lst"
"$RAPPORT" --dir "$TMP/million" --csv ip -o "$TMP/ip.csv" # the caches made
IP_MUR="" IP_CPU="" IP_CRETE="" COPIE_MUR=""
for ((e = 0; e < ESSAIS; e++)); do
    temps "$RAPPORT" --dir "$TMP/million" --csv ip -o "$TMP/ip.csv"
    IP_MUR+="$S " IP_CPU+="$C " IP_CRETE+="$K "
    rm -rf "$TMP/copie" && sync
    temps sh -c "mkdir '$TMP/copie' && cp '$TMP/million/nom.lst' '$TMP/copie/' && sync '$TMP'/copie/nom.lst '$TMP/copie'"
    COPIE_MUR+="$S "
done
echo
echo "2. sillage-rapport --csv ip : 1 000 000 hôtes ($(LC_ALL=C awk -v o="$(octets "$TMP/million")" 'BEGIN { printf "%.1f", o / 1e6 }') Mo de tables, médianes de $ESSAIS)"
LC_ALL=C awk -v m="$(mediane $IP_MUR)" -v c="$(mediane $IP_CPU)" -v k="$(mediane $IP_CRETE)" \
    -v cm="$(mediane $COPIE_MUR)" -v o="$(octets "$TMP/million")" 'BEGIN {
    printf "   %.2f s (CPU %.2f s), crête %.1f Mio (%.2f × les tables) ; copie du fichier avec fsync %.2f s ; × le but de 1 s : %.2f\n",
        m, c, k / 1024, k * 1024 / o, cm, m }'
echo "   murs : $IP_MUR"
rm -rf "$TMP/million" "$TMP/copie" "$TMP/ip.csv"

# 3. The store of about MO MB, and its HTML report.
BASE="$TMP/base"
nouvelle_base "$BASE"
g=1
while [ "$(octets "$BASE")" -lt $((MO * 1000000)) ]; do
    journal "$g" 1000000 "$TMP/suite.log"
    "$IMPORT" --dir "$BASE" "$TMP/suite.log" >/dev/null
    g=$((g + 1))
done
rm -f "$TMP/suite.log"
"$RAPPORT" --dir "$BASE" --html -o "$TMP/site" # the caches made
HTML_MUR="" HTML_CPU="" HTML_CRETE=""
for ((e = 0; e < ESSAIS; e++)); do
    temps "$RAPPORT" --dir "$BASE" --html -o "$TMP/site"
    HTML_MUR+="$S " HTML_CPU+="$C " HTML_CRETE+="$K "
done
echo
echo "3. sillage-rapport --html : base de $(LC_ALL=C awk -v o="$(octets "$BASE")" 'BEGIN { printf "%.1f", o / 1e6 }') Mo ($((g - 1)) journaux de 1 000 000 lignes, médianes de $ESSAIS)"
LC_ALL=C awk -v m="$(mediane $HTML_MUR)" -v c="$(mediane $HTML_CPU)" -v k="$(mediane $HTML_CRETE)" \
    -v o="$(octets "$BASE")" -v p="$(stat -c %s "$TMP/site/index.html")" 'BEGIN {
    printf "   %.2f s (CPU %.2f s), page de %.1f Mo, crête %.1f Mio (%.2f × les tables) ; × le but de 2 s : %.2f\n",
        m, c, p / 1e6, k / 1024, k * 1024 / o, m / 2 }'
echo "   murs : $HTML_MUR"
