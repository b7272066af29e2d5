#!/usr/bin/env bash
# Builds the Debian package from the build folder with CPack and checks it:
# its name, the dependencies dpkg-shlibdeps found, that it holds exactly the
# installed tree owned by root with stripped and hardened programs, its
# licence, that a second package of the same sources is the same bytes, and
# that lintian finds nothing, not even pedantic notes.
# The second package is packed from the same compiled programs: what makes
# a package differ from one build to the next is the packing (time stamps,
# modes, order), and compiling twice would double the suite's longest test.
# Arguments: the build folder, the project's version.
set -euo pipefail
build=$1
version=$2
if ! command -v dpkg-deb >/dev/null; then
    echo "SKIPPED: dpkg-deb is missing, so no Debian package can be built on this machine"
    exit 77
fi
source "$(dirname "$0")/lib.sh"

# pack OUTPUT TZ: the package, packed in that time zone. Always under umask
# 022, as dpkg-buildpackage and scripts/package.sh pack: CPack writes the
# modes of the control files as the umask leaves them.
pack() {
    (cd "$work" && umask 022 && TZ=$2 cpack --config "$build/CPackConfig.cmake" -G DEB -B "$1") >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack"; }
}
pack "$work/out" UTC
arch=$(dpkg --print-architecture)
deb=$work/out/stowbook_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

# Reproducible: every time stamp is the last commit's, and packing again,
# later and in another time zone, gives the same bytes.
source_root=$(cd "$(dirname "$0")/../.." && pwd)
if epoch=$(git -C "$source_root" log -1 --format=%ct 2>/dev/null); then
    stamps=$(dpkg-deb --fsys-tarfile "$deb" | tar -t -v --full-time --utc | awk '{ print $4 " " $5 }' | sort -u)
    [ "$stamps" = "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" ] ||
        fail "the files of the package are not all of the last commit's time ($(date -u -d "@$epoch")): $stamps"
fi
pack "$work/again" Pacific/Auckland
cmp "$deb" "$work/again/$(basename "$deb")" ||
    fail "a second package of the same build is not the same bytes (diffoscope shows where)"

# Found by dpkg-shlibdeps, not typed by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# The same files as "cmake --install", under /usr, owned by root.
dpkg-deb -x "$deb" "$work/unpacked"
install_into "$build" "$work/root"
diff <(tree_listing "$work/root/usr") <(tree_listing "$work/unpacked/usr") ||
    fail "the package (+) does not hold the installed tree (-)"
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "files not owned by root: $owners"
# Hardened as distributions build: position independent (a shared object's
# type), read-only relocations bound at start, a stack protector, checked
# string and memory functions.
for program in stowbook stowbook-setup stowbook-report; do
    binary=$work/unpacked/usr/bin/$program
    file "$binary" | grep -q ', stripped' || fail "$program is not stripped"
    elf=$(readelf -hldW --dyn-syms "$binary")
    grep -qE 'Type: +DYN' <<<"$elf" || fail "$program is not position independent"
    grep -q GNU_RELRO <<<"$elf" || fail "$program has no read-only relocations"
    grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$elf" || fail "$program does not bind at start"
    grep -q '__stack_chk_fail' <<<"$elf" || fail "$program has no stack protector"
    # Debian's own judgement (scripts/setup.sh installs devscripts). Its
    # fortify check fails a program whose only unchecked calls are memcpy,
    # memmove and memset with sizes known only at run time, which no flag
    # can check; lintian leaves those out for that reason, and so does this.
    # Control-flow protection is compiled in, but no program linked on
    # Debian 12 shows it: the C library's start files lack the marking.
    hardening-check -v --nocfprotection "$binary" >"$work/hardening.txt" || true
    failed=$(grep -E '^ [^:]+: no' "$work/hardening.txt" | grep -v '(ignored)$' | grep -v '^ Fortify Source functions: no, only unprotected functions found!$' || true)
    unchecked=$(sed -n 's/^\tunprotected: //p' "$work/hardening.txt" | grep -vxE 'w?mem(cpy|move|set)' || true)
    [ -z "$failed$unchecked" ] || { cat "$work/hardening.txt" >&2; fail "hardening-check $program"; }
done
# The checked functions are compiled in wherever a size is known: every
# file of the programs is compiled with them.
unfortified=$(grep -E '"command": .* -c [^ ]*/src/[^ ]*"' "$build/compile_commands.json" | grep -vc -- '-D_FORTIFY_SOURCE=' || true)
[ "$unfortified" = 0 ] || fail "$unfortified files of the programs are compiled without _FORTIFY_SOURCE"

# The licence, in the form a distribution reads, and the links' helper.
copyright=$work/unpacked/usr/share/doc/stowbook/copyright
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file names no GPL-3+"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$work/unpacked/usr/share/metainfo/org.example.stowbook.metainfo.xml" || fail "the AppStream file names no licence"
[ "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

if command -v lintian >/dev/null; then
    lintian -I --pedantic --fail-on error,warning,info,pedantic --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 ||
        { cat "$work/lintian.txt" >&2; fail "lintian has something to say"; }
    # Nothing but its note that it runs as root (as CI does).
    ! grep -v '^running with root privileges is not recommended!$' "$work/lintian.txt" >&2 ||
        fail "lintian has something to say"
else
    echo "SKIPPED lintian: it is not installed (scripts/setup.sh installs it)"
fi
echo "package $(basename "$deb") is in order"
