#!/usr/bin/env bash
# Builds the Debian package from this build folder, checks what it holds and says, extracts it
# into a temporary root and runs the extracted sillage-import on the sample log with a temporary
# HOME: the tables land in that home's data folder, identical to the built program's, and
# nothing is written beside the program. The scheduled imports are run as the system would run
# them: the user units from where systemd finds them (the package, and an install in ~/.local),
# the pre-rotation hook as logrotate's run-parts would.
# Usage: paquet_test.sh BUILD_DIR SAMPLE_LOG VERSION
set -euo pipefail
CONSTRUCTION="$1"
JOURNAL="$2"
VERSION="$3"

travail="$(mktemp -d)"
trap 'rm -rf "$travail"' EXIT
echec() {
    echo "FAILED: $*" >&2
    exit 1
}

(cd "$CONSTRUCTION" && cpack -G DEB -B "$travail/cpack" >"$travail/cpack.log" 2>&1) ||
    { cat "$travail/cpack.log"; echec "cpack"; }
paquet="$travail/cpack/sillage_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$paquet" ] || echec "no package $paquet"

# The control fields: dependencies computed by dpkg-shlibdeps, plus what is read at run time:
# Qt's plugins and the visitors' data.
depends="$(dpkg-deb -f "$paquet" Depends)"
for d in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo zlib1g \
    qt6-qpa-plugins uap-core libloc-database iso-codes; do
    tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -xF "$d" >/dev/null ||
        echec "Depends lacks $d: $depends"
done
[ "$(dpkg-deb -f "$paquet" Version)" = "$VERSION" ] || echec "package version"
[ "$(dpkg-deb -f "$paquet" Suggests)" = "apache2 | nginx | httpd" ] || echec "package suggests"

racine="$travail/racine"
dpkg-deb -x "$paquet" "$racine"
attendus=(
    usr/bin/sillage
    usr/bin/sillage-import
    usr/bin/sillage-rapport
    usr/lib/systemd/user/sillage-import.service
    usr/lib/systemd/user/sillage-import.timer
    usr/lib/systemd/user/sillage-rapport.service
    usr/share/applications/sillage.desktop
    usr/share/doc/sillage/README.Debian
    usr/share/doc/sillage/README.md.gz
    usr/share/doc/sillage/changelog.gz
    usr/share/doc/sillage/copyright
    usr/share/doc/sillage/exemples/httpd-prerotate/sillage
    usr/share/doc/sillage/exemples/journaux
    usr/share/doc/sillage/exemples/rapport
    usr/share/doc/sillage/exemples/sillage-import.cron
    usr/share/icons/hicolor/48x48/apps/sillage.png
    usr/share/icons/hicolor/128x128/apps/sillage.png
    usr/share/icons/hicolor/256x256/apps/sillage.png
    usr/share/icons/hicolor/scalable/apps/sillage.svg
    usr/share/lintian/overrides/sillage
    usr/share/man/man1/sillage-import.1.gz
    usr/share/man/man1/sillage-rapport.1.gz
    usr/share/man/man1/sillage.1.gz
    usr/share/metainfo/com.example.sillage.metainfo.xml
    usr/share/sillage-donnees/crawler-user-agents.json
    usr/share/sillage-donnees/crawler-user-agents.licence
)
(cd "$racine" && find . -type f | sed 's|^\./||' | sort) >"$travail/contenu"
printf '%s\n' "${attendus[@]}" | sort | diff -u - "$travail/contenu" || echec "package content"
for t in 48 128 256; do
    [[ "$(file "$racine/usr/share/icons/hicolor/${t}x$t/apps/sillage.png")" == *"$t x $t"* ]] ||
        echec "icon $t is not $t pixels"
done

# The changelog's last entry is this version; the entry, metadata and pages validate.
changelog="$(zcat "$racine/usr/share/doc/sillage/changelog.gz")"
[[ "${changelog%%$'\n'*}" == "sillage ($VERSION) "* ]] ||
    echec "changelog does not start with version $VERSION"
desktop-file-validate "$racine/usr/share/applications/sillage.desktop" ||
    echec "desktop-file-validate"
# A file manager offers the window for the live log and its rotations, plain or compressed.
types="$(sed -n 's/^MimeType=//p' "$racine/usr/share/applications/sillage.desktop")"
mkdir "$travail/journaux"
cp "$JOURNAL" "$travail/journaux/access.log.1"
gzip -c "$JOURNAL" >"$travail/journaux/access.log.2.gz"
for f in "$travail/journaux"/*; do
    type="$(file -b --mime-type "$f")"
    [[ ";$types" == *";$type;"* ]] || echec "MimeType=$types leaves out $(basename "$f") ($type)"
done
[[ ";$types" == *";text/x-log;"* ]] || echec "MimeType=$types leaves out *.log"
appstreamcli validate --no-net --pedantic \
    "$racine/usr/share/metainfo/com.example.sillage.metainfo.xml" >"$travail/as.log" 2>&1 ||
    { cat "$travail/as.log"; echec "appstreamcli validate"; }
# The screenshots are the project's own, at their size.
sources="$(cd "$(dirname "$0")/../.." && pwd)"
captures=0
while read -r largeur hauteur adresse; do
    image="$sources/docs/$(basename "$adresse")"
    [ -f "$image" ] || echec "screenshot $adresse is not in docs/"
    [[ "$(file -b "$image")" == *"$largeur x $hauteur,"* ]] ||
        echec "screenshot $adresse is not $largeur x $hauteur"
    captures=$((captures + 1))
done < <(sed -n \
    's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">\(.*\)</image>.*|\1 \2 \3|p' \
    "$racine/usr/share/metainfo/com.example.sillage.metainfo.xml")
[ "$captures" -ge 1 ] || echec "no screenshot in the AppStream metadata"
for page in "$racine"/usr/share/man/man1/*.gz; do
    avertissements="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
        2>&1 >/dev/null)"
    [ -z "$avertissements" ] || echec "man page $page: $avertissements"
    [[ "$(zcat "$page")" == *"\"Sillage $VERSION\""* ]] || echec "man page $page lacks the version"
done
for programme in sillage sillage-import sillage-rapport; do
    # Its version, then those of the lists that tell robots apart.
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$racine/usr/bin/$programme" --version | head -n 1)" = \
        "$programme $VERSION" ] || echec "$programme --version"
    env -u DISPLAY -u WAYLAND_DISPLAY "$racine/usr/bin/$programme" --version |
        grep -q "^crawler-user-agents [0-9]" || echec "$programme --version: the crawler list"
done

# The extracted program, run from an empty folder with a home of its own.
home="$travail/home"
ailleurs="$travail/ailleurs"
mkdir -p "$home" "$ailleurs"
importe() {
    (cd "$ailleurs" && env -u XDG_DATA_HOME HOME="$home" \
        "$racine/usr/bin/sillage-import" "$JOURNAL" >"$travail/sortie" 2>&1) ||
        { cat "$travail/sortie"; echec "extracted sillage-import"; }
}
importe
donnees="$home/.local/share/sillage"
# The fourteen tables, the register of imported logs, the agents table, the manifest, the lock
# file and the periods' folder.
[ "$(ls "$donnees" | wc -l)" -eq 19 ] && [ -f "$donnees/journaux.lst" ] &&
    [ -f "$donnees/agents.lst" ] && [ -f "$donnees/sillage.manifeste" ] ||
    echec "not fourteen tables, the register, the agents and the manifest in the data folder"
# The same tables as the program of this build gives in a folder of its own.
mkdir "$travail/attendu"
"$CONSTRUCTION/app/sillage-import" --dir "$travail/attendu" "$JOURNAL" >/dev/null
# (The register says when each log was imported: it is left out.)
diff -r -x journaux.lst -x sillage.manifeste "$travail/attendu" "$donnees" >/dev/null ||
    echec "tables differ from the build's"
# Nothing beside the program, in the working folder or elsewhere in the home.
[ -z "$(ls -A "$ailleurs")" ] || echec "files written in the working folder"
[ "$(find "$racine" -newer "$travail/contenu" | wc -l)" -eq 0 ] ||
    echec "files written in the extracted root"
[ "$(ls -A "$home")" = ".local" ] || echec "files written in the home beside the data folder"

# A second import adds to the same store: it was found again, not made anew.
cp "$donnees/nom.lst" "$travail/nom-avant.lst"
importe
! cmp -s "$travail/nom-avant.lst" "$donnees/nom.lst" || echec "second import did not add"

# The user units, where the user's systemd finds them, run sillage-import from the package or from
# an install in ~/.local, with the logs the user's list names.
unites_utilisateur() {
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS HOME="$1" \
        XDG_RUNTIME_DIR="$travail/run" systemd-analyze --user unit-paths
}
mkdir -m 700 "$travail/run"
unites_utilisateur "$home" | grep -qxF /usr/lib/systemd/user ||
    echec "systemd does not look for user units in /usr/lib/systemd/user"
# (verify looks for the programs only in the system's folders, where this machine may not have
# them.)
absent='sillage-(import|rapport).service: Command sillage-(import|rapport) is not executable: No such file or directory'
verification="$(cd "$racine/usr/lib/systemd/user" && XDG_RUNTIME_DIR="$travail/run" \
    systemd-analyze --user verify --man=no ./sillage-import.service ./sillage-import.timer \
    ./sillage-rapport.service 2>&1 | grep -vxE "$absent" || true)"
[ -z "$verification" ] || echec "systemd-analyze verify: $verification"
grep -qx 'WantedBy=timers.target' "$racine/usr/lib/systemd/user/sillage-import.timer" ||
    echec "the timer cannot be enabled"
# What systemd would run: ExecSearchPath with %h, the program found there, ExecStart's arguments
# with %E, for a home of its own.
lance_service() {
    local maison="$1" unite="$2" dossiers commande programme d
    dossiers="$(sed -n 's/^ExecSearchPath=//p' "$unite")"
    commande="$(sed -n 's/^ExecStart=//p' "$unite")"
    dossiers="${dossiers//%h/$maison}"
    commande="${commande//%E/$maison/.config}"
    eval "set -- $commande"
    programme=""
    for d in ${dossiers//:/ }; do
        [[ "$d" == "$maison"/* || -z "$RACINE_SERVICE" ]] || d="$RACINE_SERVICE$d"
        if [ -x "$d/$1" ]; then
            programme="$d/$1"
            break
        fi
    done
    [ -n "$programme" ] || echec "$1 not found in ExecSearchPath=$dossiers"
    shift
    echo "$programme"
    (cd "$maison" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$maison" "$programme" "$@") \
        >"$travail/service" 2>&1 || { cat "$travail/service" >&2; echec "the service fails"; }
}
liste_journaux() {
    mkdir -p "$1/.config/sillage"
    printf '# Les journaux du site\n%s\n' "$JOURNAL" >"$1/.config/sillage/journaux"
}
# From the package (the system's folders taken in the extracted root).
maison="$travail/maison-paquet"
liste_journaux "$maison"
programme="$(RACINE_SERVICE="$racine" lance_service "$maison" \
    "$racine/usr/lib/systemd/user/sillage-import.service")"
[ "$programme" = "$racine/usr/bin/sillage-import" ] || echec "the service runs $programme"
diff -r -x journaux.lst -x sillage.manifeste "$travail/attendu" "$maison/.local/share/sillage" >/dev/null ||
    echec "the service's tables differ from the build's"
grep -q " lignes nouvelles, dont .* de robots (journal nouveau ; mois : .*)$" "$travail/service" ||
    echec "the service does not tell what each log gave: $(cat "$travail/service")"
# Once the import is done, the report's service writes the report where the user's configuration
# says.
grep -qx 'OnSuccess=sillage-rapport.service' "$racine/usr/lib/systemd/user/sillage-import.service" ||
    echec "the import does not start the report"
mkdir -p "$maison/public_html/stats"
printf '# Le rapport\n~/public_html/stats\n' >"$maison/.config/sillage/rapport"
programme="$(RACINE_SERVICE="$racine" lance_service "$maison" \
    "$racine/usr/lib/systemd/user/sillage-rapport.service")"
[ "$programme" = "$racine/usr/bin/sillage-rapport" ] || echec "the report's service runs $programme"
grep -q '<h1>Statistiques du site</h1>' "$maison/public_html/stats/index.html" ||
    echec "the report's service wrote no report"
# From an install in ~/.local: the units where the user's systemd looks, the program in ~/.local.
maison="$travail/maison-locale"
cmake --install "$CONSTRUCTION" --prefix "$maison/.local" >/dev/null
unites="$maison/.local/share/systemd/user"
[ -f "$unites/sillage-import.service" ] && [ -f "$unites/sillage-import.timer" ] &&
    [ -f "$unites/sillage-rapport.service" ] || echec "no user units in ~/.local/share/systemd/user"
unites_utilisateur "$maison" | grep -qxF "$unites" ||
    echec "systemd does not look for user units in ~/.local/share/systemd/user"
liste_journaux "$maison"
programme="$(RACINE_SERVICE="/nulle-part" lance_service "$maison" "$unites/sillage-import.service")"
[ "$programme" = "$maison/.local/bin/sillage-import" ] || echec "the service runs $programme"
diff -r -x journaux.lst -x sillage.manifeste "$travail/attendu" "$maison/.local/share/sillage" >/dev/null ||
    echec "the ~/.local service's tables differ from the build's"

# The pre-rotation hook, as the web servers' logrotate settings run it (run-parts, as root, a
# runuser that here keeps the test's user), never failing the rotation.
crochets="$travail/httpd-prerotate"
mkdir "$crochets"
install -m 755 "$racine/usr/share/doc/sillage/exemples/httpd-prerotate/sillage" "$crochets/"
[ "$(run-parts --test "$crochets")" = "$crochets/sillage" ] ||
    echec "run-parts passes the hook over"
mkdir "$travail/faux"
printf '#!/bin/sh\nwhile [ "$1" != "--" ]; do shift; done\nshift\nexec "$@"\n' \
    >"$travail/faux/runuser"
chmod 755 "$travail/faux/runuser"
crochet() {
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$1" PATH="$travail/faux:$racine/usr/bin:$PATH" \
        run-parts "$crochets" >"$travail/crochet" 2>&1 ||
        { cat "$travail/crochet"; echec "the hook fails"; }
}
maison="$travail/maison-crochet"
mkdir "$maison"
crochet "$maison"
grep -q "aucun utilisateur nommé" "$travail/crochet" || echec "the hook does not ask for its users"
sed -i 's/^UTILISATEURS=""$/UTILISATEURS="essai"/' "$crochets/sillage"
crochet "$maison"
grep -q "l'import d'avant rotation de essai a échoué (code 1)" "$travail/crochet" ||
    echec "the hook does not tell its failure: $(cat "$travail/crochet")"
liste_journaux "$maison"
crochet "$maison"
[ ! -s "$travail/crochet" ] || echec "the hook says: $(cat "$travail/crochet")"
diff -r -x journaux.lst -x sillage.manifeste "$travail/attendu" "$maison/.local/share/sillage" >/dev/null ||
    echec "the hook's tables differ from the build's"

# lintian: no error and no warning (notes are printed).
rapport="$(lintian --display-info --pedantic "$paquet" 2>&1 | grep -v 'running with root' || true)"
[ -z "$rapport" ] || echo "$rapport"
! grep -q '^[EW]:' <<<"$rapport" || echec "lintian errors or warnings"
echo "package checked: $(basename "$paquet")"
