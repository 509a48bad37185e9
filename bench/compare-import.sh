#!/usr/bin/env bash
# Measures sillage-import beside two other log analysers, Analog and GoAccess (Debian packages),
# on the same generated logs in the same run: wall time (median of N runs), CPU time and peak
# memory (GNU time), then the size of the tables sillage-import wrote, then whether its time per
# line stays flat from 250,000 to 1,000,000 lines. Analog reads the realistic mix (genere-log
# --realiste: named hosts, IPv6, crawlers); GoAccess, which rejects host names, the same mix with
# numeric addresses only, and sillage-import both.
#
#   bench/compare-import.sh [--lignes N] [--essais N] [--gz] [--occupe] [--garder]
#
#   --lignes N   lines of the log compared with the peers (1000000)
#   --essais N   runs of each measure, the median is kept (3)
#   --gz         also imports a gzip-compressed copy of the log
#   --occupe     a second process (a shell loop that never waits) keeps one core busy during
#                every measure, as other work does on a desktop
#   --garder     keeps the temporary directory (logs, tables, reports)
#
# Builds Release into build-bench when needed and installs the Debian packages it lacks.
set -euo pipefail

source "$(dirname "$0")/../scripts/common.sh"
LIGNES=1000000
ESSAIS=3
GZ=0
OCCUPE=0
GARDER=0
while [ $# -gt 0 ]; do
    case "$1" in
    --lignes) LIGNES="$2"; shift 2 ;;
    --essais) ESSAIS="$2"; shift 2 ;;
    --gz) GZ=1; shift ;;
    --occupe) OCCUPE=1; shift ;;
    --garder) GARDER=1; shift ;;
    -h | --aide)
        sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "Option inconnue : $1" >&2
        exit 2
        ;;
    esac
done

installe_manquants "${PAQUETS[@]}" time analog goaccess gzip

prepare_banc compare genere-log sillage-import
GENERE="$CONSTRUCTION/bench/genere-log"
IMPORT="$CONSTRUCTION/app/sillage-import"

# mesure NOM PREPARATION COMMANDE... : runs PREPARATION then COMMANDE under GNU time, ESSAIS
# times; sets SECONDES (median wall time), CPU (median user + system time: steadier than the wall
# time when other work shares the machine) and MIO (largest peak resident memory, MiB). Returns 1
# when a run fails, with its output in $TMP/NOM.sortie.
mesure() {
    local nom="$1" preparation="$2"
    shift 2
    SECONDES=""
    CPU=""
    MIO=""
    local i s c k murs="" cpus=""
    for ((i = 0; i < ESSAIS; i++)); do
        $preparation
        if ! /usr/bin/time -v -o "$TMP/$nom.temps" "$@" </dev/null >"$TMP/$nom.sortie" 2>&1; then
            return 1
        fi
        read -r s c k < <(LC_ALL=C awk -F': ' '
            /Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0
                                       for (j = 1; j <= n; j++) s = s * 60 + p[j] }
            /User time|System time/ { c += $2 }
            /Maximum resident set size/ { k = $2 }
            END { print s, c, k }' "$TMP/$nom.temps")
        murs+="$s " cpus+="$c "
        MIO=$(LC_ALL=C awk -v k="$k" -v M="$MIO" 'BEGIN { m = k / 1024; print (M == "" || m > M) ? m : M }')
    done
    SECONDES=$(mediane $murs)
    CPU=$(mediane $cpus)
}

taille_mo() { LC_ALL=C awk -v o="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", o / 1e6 }'; }

# Fresh directories and reports before each run.
prepare_sillage() { rm -rf "$TMP/tables" && mkdir "$TMP/tables"; }
prepare_analog() { rm -f "$TMP/analog.html"; }
prepare_goaccess() { rm -f "$TMP/goaccess.html"; }

JOURNAL="$TMP/acces.log"
NUMERIQUE="$TMP/acces-numerique.log"
echo "Génération de $LIGNES lignes (mélange réaliste, puis le même en adresses numériques)..."
"$GENERE" --realiste --lignes "$LIGNES" --sortie "$JOURNAL"
"$GENERE" --realiste --numerique --lignes "$LIGNES" --sortie "$NUMERIQUE"

cat >"$TMP/analog.cfg" <<EOF
LOGFORMAT COMBINED
LOGFILE $JOURNAL
DNS NONE
ALL ON
BASEURL http://www.example.com
REFREPEXCLUDE http://www.example.com/*
SEARCHENGINE http://www.chercheur-exemple.fr/* q
SEARCHENGINE http://recherche.annuaire-exemple.com/* mots
SEARCHENGINE http://www.trouvetout-exemple.net/* q
OUTFILE $TMP/analog.html
EOF

if [ "$OCCUPE" = 1 ]; then
    sh -c 'while :; do :; done' &
    BOUCLE=$!
    trap 'kill "$BOUCLE" 2>/dev/null; [ "${GARDER:-0}" = 1 ] || rm -rf "$TMP"' EXIT
    echo "Un cœur occupé pendant les mesures par une boucle du shell (pid $BOUCLE)."
fi
echo "Mesures (médiane de $ESSAIS essais)..."
declare -A TEMPS PROCESSEUR MEMOIRE
mesure sillage-num prepare_sillage "$IMPORT" --dir "$TMP/tables" "$NUMERIQUE" || {
    echo "sillage-import a échoué :" >&2
    tail -5 "$TMP/sillage-num.sortie" >&2
    exit 1
}
TEMPS[sillage-num]=$SECONDES PROCESSEUR[sillage-num]=$CPU MEMOIRE[sillage-num]=$MIO
mesure sillage prepare_sillage "$IMPORT" --dir "$TMP/tables" "$JOURNAL" || {
    echo "sillage-import a échoué :" >&2
    tail -5 "$TMP/sillage.sortie" >&2
    exit 1
}
TEMPS[sillage]=$SECONDES PROCESSEUR[sillage]=$CPU MEMOIRE[sillage]=$MIO
TABLES_MO=$(LC_ALL=C du -cb "$TMP"/tables/*.lst | tail -1 |
    awk '{ printf "%.1f", $1 / 1e6 }')
mesure analog prepare_analog analog -G "+g$TMP/analog.cfg" || {
    echo "Analog a échoué :" >&2
    tail -5 "$TMP/analog.sortie" >&2
    exit 1
}
TEMPS[analog]=$SECONDES PROCESSEUR[analog]=$CPU MEMOIRE[analog]=$MIO
mesure goaccess prepare_goaccess goaccess "$NUMERIQUE" --log-format=COMBINED \
    -o "$TMP/goaccess.html" --no-progress || {
    echo "GoAccess a échoué :" >&2
    tail -5 "$TMP/goaccess.sortie" >&2
    exit 1
}
TEMPS[goaccess]=$SECONDES PROCESSEUR[goaccess]=$CPU MEMOIRE[goaccess]=$MIO

echo
echo "Journal : $LIGNES lignes, $(taille_mo "$JOURNAL") Mo (numérique : $(taille_mo "$NUMERIQUE") Mo) ; $(nproc) cœurs"
echo "Versions : analog $(dpkg-query -W -f='${Version}' analog), goaccess $(dpkg-query -W -f='${Version}' goaccess)"
# Headers written out: printf pads bytes, not letters.
echo "programme          journal     secondes      CPU s  Mio crête   × Analog × GoAccess"
for p in sillage analog sillage-num goaccess; do
    case $p in
    sillage) nom=sillage-import j=réaliste ref=analog ;;
    analog) nom=Analog j=réaliste ref=analog ;;
    sillage-num) nom=sillage-import j=numérique ref=goaccess ;;
    goaccess) nom=GoAccess j=numérique ref=goaccess ;;
    esac
    LC_ALL=C awk -v n="$nom" -v j="$j" -v r="$ref" -v s="${TEMPS[$p]}" -v c="${PROCESSEUR[$p]}" \
        -v m="${MEMOIRE[$p]}" -v a="${TEMPS[analog]}" -v g="${TEMPS[goaccess]}" 'BEGIN {
        printf "%-16s %-9s %10.2f %10.2f %10.1f %10s %10s\n", n, j, s, c, m,
            r == "analog" ? sprintf("%.2f", s / a) : "", r == "goaccess" ? sprintf("%.2f", s / g) : "" }'
done
echo "Tables écrites par sillage-import : $TABLES_MO Mo ($(ls "$TMP"/tables/*.lst | wc -l) fichiers)"

if [ "$GZ" = 1 ]; then
    echo
    gzip -c "$JOURNAL" >"$JOURNAL.gz"
    cp -r "$TMP/tables" "$TMP/tables-clair"
    if mesure sillage-gz prepare_sillage "$IMPORT" --dir "$TMP/tables" "$JOURNAL.gz"; then
        identiques="tables identiques à celles du journal non compressé"
        for f in "$TMP"/tables-clair/*.lst; do
            cmp -s "$f" "$TMP/tables/$(basename "$f")" || identiques="TABLES DIFFÉRENTES du journal non compressé"
        done
        LC_ALL=C awk -v s="$SECONDES" -v m="$MIO" -v c="${TEMPS[sillage]}" -v t="$(taille_mo "$JOURNAL.gz")" 'BEGIN {
            printf "Journal compressé (%s Mo) : %.2f s, %.1f Mio crête (%.2f × le journal non compressé)\n", t, s, m, s / c }'
        echo "  $identiques"
    else
        raison=$(grep -m1 '^sillage-import' "$TMP/sillage-gz.sortie" || tail -1 "$TMP/sillage-gz.sortie")
        echo "Journal compressé : ignoré, sillage-import ne l'a pas lu ($raison)"
    fi
fi

echo
echo "Linéarité de sillage-import (médiane de $ESSAIS essais) :"
echo "              ---------- mur ----------   ---------- CPU ----------"
echo "    lignes   secondes µs/ligne × 250 000   secondes µs/ligne × 250 000  Mio crête"
REFERENCE=""
REFERENCE_CPU=""
for n in 250000 500000 1000000; do
    "$GENERE" --realiste --lignes "$n" --sortie "$JOURNAL"
    mesure sillage prepare_sillage "$IMPORT" --dir "$TMP/tables" "$JOURNAL" || {
        echo "sillage-import a échoué sur $n lignes" >&2
        exit 1
    }
    REFERENCE=${REFERENCE:-$(LC_ALL=C awk -v s="$SECONDES" -v n="$n" 'BEGIN { print s * 1e6 / n }')}
    REFERENCE_CPU=${REFERENCE_CPU:-$(LC_ALL=C awk -v s="$CPU" -v n="$n" 'BEGIN { print s * 1e6 / n }')}
    LC_ALL=C awk -v n="$n" -v s="$SECONDES" -v c="$CPU" -v m="$MIO" -v r="$REFERENCE" \
        -v rc="$REFERENCE_CPU" 'BEGIN {
        p = s * 1e6 / n; pc = c * 1e6 / n
        printf "%10d %10.2f %8.2f %10.2f %10.2f %8.2f %10.2f %10.1f\n", n, s, p, p / r, c, pc, pc / rc, m }'
done
