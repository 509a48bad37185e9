#!/usr/bin/env bash
# Builds the Debian package from this build folder, checks what it holds and says, extracts it
# into a temporary root and runs the extracted sillage-import on the sample log with a temporary
# HOME: the tables land in that home's data folder, identical to the built program's, and
# nothing is written beside the program.
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

racine="$travail/racine"
dpkg-deb -x "$paquet" "$racine"
attendus=(
    usr/bin/sillage
    usr/bin/sillage-import
    usr/share/applications/sillage.desktop
    usr/share/doc/sillage/changelog.gz
    usr/share/doc/sillage/copyright
    usr/share/doc/sillage/exemples/sillage-import.cron
    usr/share/doc/sillage/exemples/sillage-import.service
    usr/share/doc/sillage/exemples/sillage-import.timer
    usr/share/icons/hicolor/48x48/apps/sillage.png
    usr/share/icons/hicolor/128x128/apps/sillage.png
    usr/share/icons/hicolor/256x256/apps/sillage.png
    usr/share/icons/hicolor/scalable/apps/sillage.svg
    usr/share/man/man1/sillage-import.1.gz
    usr/share/man/man1/sillage.1.gz
    usr/share/metainfo/com.example.sillage.metainfo.xml
    usr/share/sillage/crawler-user-agents.json
    usr/share/sillage/crawler-user-agents.licence
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
appstreamcli validate --no-net --pedantic \
    "$racine/usr/share/metainfo/com.example.sillage.metainfo.xml" >"$travail/as.log" 2>&1 ||
    { cat "$travail/as.log"; echec "appstreamcli validate"; }
for page in "$racine"/usr/share/man/man1/*.gz; do
    avertissements="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
        2>&1 >/dev/null)"
    [ -z "$avertissements" ] || echec "man page $page: $avertissements"
    [[ "$(zcat "$page")" == *"\"Sillage $VERSION\""* ]] || echec "man page $page lacks the version"
done
for programme in sillage sillage-import; do
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$racine/usr/bin/$programme" --version)" = \
        "$programme $VERSION" ] || echec "$programme --version"
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
# The fourteen tables and the register of imported logs.
[ "$(ls "$donnees" | wc -l)" -eq 15 ] && [ -f "$donnees/journaux.lst" ] ||
    echec "not fourteen tables and the register in the data folder"
# The same tables as the program of this build gives in a folder of its own.
mkdir "$travail/attendu"
"$CONSTRUCTION/app/sillage-import" --dir "$travail/attendu" "$JOURNAL" >/dev/null
# (The register says when each log was imported: it is left out.)
diff -r -x journaux.lst "$travail/attendu" "$donnees" >/dev/null ||
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

# lintian: no error (warnings and notes are printed).
rapport="$(lintian --display-info --pedantic "$paquet" 2>&1 | grep -v 'running with root' || true)"
[ -z "$rapport" ] || echo "$rapport"
! grep -q '^E:' <<<"$rapport" || echec "lintian errors"
echo "package checked: $(basename "$paquet")"
