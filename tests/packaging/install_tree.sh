#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and uses what was installed as
# a user would: the tree, a new data folder laid out from the installed
# templates, a report, --help and --version against the manual pages, and
# the menu entry and AppStream file through their validators.
# Arguments: the build folder, the project's version.
set -euo pipefail
build=$1
version=$2
source "$(dirname "$0")/lib.sh"

usr=$work/root/usr
install_into "$build" "$work/root"

# The tree: exactly these files, nothing of the tests or benchmarks.
diff <(expected_tree) <(tree_listing "$usr") || fail "the installed tree is not as listed (- expected, + installed)"
for program in stowbook stowbook-setup stowbook-report; do
    if readelf -d "$usr/bin/$program" | grep -qE 'RPATH|RUNPATH'; then
        fail "$program still searches the build folder for libraries"
    fi
done

# The installed setup reads the installed templates, not the source tree's:
# a line added to the installed help file arrives in the new folder.
printf '<!-- installed copy -->\n' >>"$usr/share/stowbook/stowbook-help.html"
data=$work/home/Documents/Stowbook
(umask 000 && "$usr/bin/stowbook-setup" --demo "$data" >"$work/setup.out") || fail "the installed stowbook-setup"
cmp "$usr/share/stowbook/stowbook-help.html" "$data/stowbook-help.html" ||
    fail "the help file did not come from the installed templates"

# Private with no umask at all: folders 700, files 600, nothing else.
wrong=$(find "$data" \( \( -type d ! -perm 700 \) -o \( -type f ! -perm 600 \) -o \( ! -type d ! -type f \) \) \
    -printf '%m %P\n')
[ -z "$wrong" ] || fail "not private to the owner: $wrong"
[ "$(find "$data/images" -name '*.bmp' | wc -l)" -gt 0 ] || fail "the demo pictures are missing"

# The installed runner writes the same report as the one in the build folder,
# and a fixed report to PDF (fonts and the offscreen screen found).
"$usr/bin/stowbook-report" -d "$data" bycat.srp "$work/installed.txt" || fail "the installed stowbook-report"
"$build/stowbook-report" -d "$data" bycat.srp "$work/built.txt" || fail "stowbook-report of the build"
cmp "$work/installed.txt" "$work/built.txt" || fail "the installed runner wrote another report"
[ "$(wc -l <"$work/installed.txt")" -gt 10 ] || fail "the report lists too few items"
"$usr/bin/stowbook-report" -d "$data" value-by-category "$work/value.pdf" || fail "the value summary to PDF"
[ "$(head -c 5 "$work/value.pdf")" = "%PDF-" ] || fail "the value summary is not a PDF file"

# --help and --version of every program agree with its manual page: the same
# options, the same version.
options() {
    grep -oE '(^|[^A-Za-z0-9_-])--?[a-z][a-z-]*' | sed -E 's/^[^-]*//' | LC_ALL=C sort -u
}
for program in stowbook stowbook-setup stowbook-report; do
    help=$("$usr/bin/$program" --help) || fail "$program --help"
    [ "$("$usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
    page=$(gzip -dc "$usr/share/man/man1/$program.1.gz" | sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/\\%//g')
    diff <(options <<<"$help") <(options <<<"$page") ||
        fail "the options of $program --help (-) and of its manual page (+) differ"
    grep -qE "^\.TH [^ ]+ 1 \"[0-9-]+\" \"Stowbook $version\"" <<<"$page" ||
        fail "the manual page of $program is not of version $version"
done

# Every way to call a program that its usage names is a line of its manual
# page's synopsis, and no other: the same words in the same order (the
# placeholders are capitals in one and italics in the other). -h is --help.
synopsis() {
    awk '
        /^\.SH / { inside = ($2 == "SYNOPSIS"); next }
        !inside { next }
        /^\.br/ { print line; line = ""; next }
        {
            macro = ""
            if ($0 ~ /^\./) { macro = substr($1, 2); sub(/^\.[A-Z]+ ?/, "") }
            # The words, a quoted one with its blanks.
            n = 0; rest = $0
            while (match(rest, /"[^"]*"|[^ "]+/)) {
                word[++n] = substr(rest, RSTART, RLENGTH); gsub(/"/, "", word[n])
                rest = substr(rest, RSTART + RLENGTH)
            }
            # .B and .I join their words with blanks, the alternating ones without.
            text = ""
            for (i = 1; i <= n; i++) text = text ((i > 1 && length(macro) < 2) ? " " : "") word[i]
            line = line (line == "" ? "" : " ") text
        }
        END { if (line != "") print line }' |
        sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/ +/ /g; s/^ //; s/ $//' | tr '[:upper:]' '[:lower:]'
}
usage_lines() {
    awk -v program="$1" '
        NR == 1 { sub(/^[Uu]sage: /, ""); print; next }
        $1 == program { sub(/^ +/, ""); print; next }
        { exit }' | tr '[:upper:]' '[:lower:]'
}
for program in stowbook stowbook-setup stowbook-report; do
    page=$(gzip -dc "$usr/share/man/man1/$program.1.gz")
    diff <("$usr/bin/$program" --help | usage_lines "$program") <(synopsis <<<"$page") ||
        fail "the usage of $program (-) and its manual page's synopsis (+) differ"
    [ "$("$usr/bin/$program" -h)" = "$("$usr/bin/$program" --help)" ] || fail "$program -h is not --help"
done

# The menu entry starts the installed program on the user's own folder,
# with an icon that is installed.
desktop=$usr/share/applications/org.example.stowbook.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=stowbook --home' "$desktop" || fail "the menu entry does not start stowbook --home"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the menu entry's icon $icon is not installed"
appstreamcli validate --no-net "$usr/share/metainfo/org.example.stowbook.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/org.example.stowbook.metainfo.xml" ||
    fail "the AppStream file does not name version $version"
echo "installed tree, programs, manual pages, menu entry and AppStream file are in order"
