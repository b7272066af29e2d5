#!/usr/bin/env bash
# Builds the Debian package from the build folder with CPack and checks it:
# its name, the dependencies dpkg-shlibdeps found, that it holds exactly the
# installed tree owned by root with stripped programs, and what lintian says.
# Arguments: the build folder, the project's version.
set -euo pipefail
build=$1
version=$2
if ! command -v dpkg-deb >/dev/null; then
    echo "SKIPPED: dpkg-deb is missing, so no Debian package can be built on this machine"
    exit 77
fi
source "$(dirname "$0")/lib.sh"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
arch=$(dpkg --print-architecture)
deb=$work/out/stowbook_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

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
for program in stowbook stowbook-setup stowbook-report; do
    file "$work/unpacked/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done

if command -v lintian >/dev/null; then
    lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
else
    echo "SKIPPED lintian: it is not installed (scripts/setup.sh installs it)"
fi
echo "package $(basename "$deb") is in order"
