#!/usr/bin/env bash
# The report in a real browser: a store built from a log whose hosts, paths, referrers, search
# words and agents hold markup and scripts is written as a report, which headless Chromium
# renders. The page it renders holds no element and ran no script that came from the log, the
# texts show as text; and were a text ever to slip through unescaped, the page's
# Content-Security-Policy would still forbid its script. Two controls show that the checks can
# fail: without the policy, Chromium here does run an inline script.
# Usage: navigateur_test.sh SILLAGE_IMPORT SILLAGE_RAPPORT
# Exits 77 (skipped) only where Chromium cannot start.
set -euo pipefail
IMPORT="$1"
RAPPORT="$2"

travail="$(mktemp -d)"
trap 'rm -rf "$travail"' EXIT
echec() {
    echo "FAILED: $*" >&2
    exit 1
}

navigateur=""
for n in chromium chromium-browser google-chrome; do
    if command -v "$n" >/dev/null; then
        navigateur="$n"
        break
    fi
done
if [ -z "$navigateur" ]; then
    echo "SKIPPED: no Chromium here (Debian package chromium, which scripts/test installs)"
    exit 77
fi
# dump_dom PAGE: the DOM Chromium builds from the page, once its scripts (if any) ran.
dump_dom() {
    local profil
    profil="$(mktemp -d "$travail/profil-XXXXXX")"
    timeout 60 "$navigateur" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profil" --virtual-time-budget=2000 --dump-dom "file://$1" \
        2>"$travail/chromium.log"
}

# The control: Chromium runs an inline script of a page without a policy.
printf '<!DOCTYPE html><html><head><title>avant</title></head><body>%s</body></html>\n' \
    "<script>document.title='pris';document.body.appendChild(document.createElement('p')).id='ajout'</script>" \
    >"$travail/temoin.html"
if ! dump_dom "$travail/temoin.html" >"$travail/temoin.dom" || [ ! -s "$travail/temoin.dom" ]; then
    echo "SKIPPED: Chromium cannot start here: $(tail -n 3 "$travail/chromium.log")"
    exit 77
fi
grep -q '<title>pris</title>' "$travail/temoin.dom" && grep -q 'id="ajout"' "$travail/temoin.dom" ||
    echec "the control's script did not run: the checks below would prove nothing"

# A log whose every text a client chooses carries markup and script.
ligne() { # hote chemin statut referent agent
    printf '%s - - [14/Feb/2004:10:11:%02d +0100] "GET %s HTTP/1.1" %s 100 "%s" "%s"\n' \
        "$1" "$((RANDOM % 60))" "$2" "$3" "$4" "$5"
}
{
    ligne "<svg/onload=document.title='pris-hote'>" "/index.html" 200 "-" "Mozilla/5.0"
    ligne "<b/id=intrus-hote>" "/<script>document.title='pris-page'</script>" 200 "-" "a"
    ligne "10.0.0.1" "/<img/src=x/onerror=document.title='pris-image'>.png" 404 "-" "a"
    ligne "10.0.0.2" "/a.html" 200 \
        "http://mal.example/\"><script>document.title='pris-ref'</script><h1 id=\"intrus-ref\">x</h1>" \
        "<script>document.title='pris-agent'</script><div id='intrus-agent'></div>"
    ligne "10.0.0.3" "/b.html" 200 \
        "http://moteur.example/?q=%3Cscript%3Edocument.title%3D%27pris-mot%27%3C%2Fscript%3E%3Cp+id%3Dintrus-mot%3E" \
        "a"
    ligne "10.0.0.4" "/t&#x3c;script&#x3e;.zip" 500 "-" "a"
    ligne "10.0.0.5" "/</title><script>document.title='pris-titre'</script>" 403 "-" "a"
} >"$travail/hostile.log"
mkdir -m 700 "$travail/base"
"$IMPORT" --dir "$travail/base" "$travail/hostile.log" || echec "sillage-import"
"$RAPPORT" --dir "$travail/base" --html -o "$travail/site" || echec "sillage-rapport"
page="$travail/site/index.html"

dump_dom "$page" >"$travail/rapport.dom" || echec "Chromium could not render the report"
dom="$travail/rapport.dom"
grep -q '<title>Statistiques du site</title>' "$dom" ||
    echec "the title changed: $(grep -o '<title>[^<]*</title>' "$dom")"
# In the DOM as Chromium writes it back, a text's "<" is always "&lt;": each "<" is an element.
! grep -qi '<script' "$dom" || echec "a script element in the rendered page"
! grep -qiE '<[a-z][^>]*(id="intrus|onerror|onload)' "$dom" ||
    echec "an element of the log in the rendered page: $(grep -oiE '<[a-z][^>]*(id="intrus|onerror|onload)[^>]*>' "$dom" | head -n 1)"
[ "$(grep -o '<h1[ >]' "$dom" | wc -l)" -eq 1 ] || echec "more than the page's own <h1>"
# The texts are there, shown as text.
for texte in "&lt;svg/onload=document.title='pris-hote'&gt;" \
    "/&lt;script&gt;document.title='pris-page'&lt;/script&gt;" \
    "&lt;script&gt;document.title='pris-mot'&lt;/script&gt;&lt;p id=intrus-mot&gt;" \
    "&lt;/title&gt;&lt;script&gt;document.title='pris-titre'&lt;/script&gt;"; do
    grep -qF -- "$texte" "$dom" || echec "the text $texte is not shown as text"
done

# Were a text to slip through unescaped, the policy would still forbid its script: the same page
# with a script put into its body runs nothing.
sed 's|<main>|<main><script>document.title="pris-csp"</script>|' "$page" >"$travail/injecte.html"
grep -q 'pris-csp' "$travail/injecte.html" || echec "the script was not put into the page"
dump_dom "$travail/injecte.html" >"$travail/injecte.dom" || echec "Chromium (injected page)"
grep -q '<title>Statistiques du site</title>' "$travail/injecte.dom" ||
    echec "the Content-Security-Policy let an inline script run"
echo "the report renders no element and runs no script from the log ($navigateur)"
