# Shared by the packaging tests: a scratch folder that goes away, failing
# with a reason, and the installed tree of a build.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# install_into BUILD DESTDIR: what "cmake --install" puts under /usr.
install_into() {
    DESTDIR=$2 cmake --install "$1" --prefix /usr >"$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; fail "cmake --install"; }
}

# The files of a tree under /usr with their modes, one "path mode" a line.
tree_listing() {
    (cd "$1" && find . -type f -printf '%P %m\n' | LC_ALL=C sort)
}

# Every file the install rules put under /usr, with its mode.
expected_tree() {
    LC_ALL=C sort <<'LIST'
bin/stowbook 755
bin/stowbook-report 755
bin/stowbook-setup 755
share/applications/org.example.stowbook.desktop 644
share/doc/stowbook/changelog.gz 644
share/doc/stowbook/copyright 644
share/icons/hicolor/scalable/apps/org.example.stowbook.svg 644
share/lintian/overrides/stowbook 644
share/man/man1/stowbook-report.1.gz 644
share/man/man1/stowbook-setup.1.gz 644
share/man/man1/stowbook.1.gz 644
share/metainfo/org.example.stowbook.metainfo.xml 644
share/stowbook/bycat.srp 644
share/stowbook/byitem.srp 644
share/stowbook/byloc.srp 644
share/stowbook/demo-items.csv 644
share/stowbook/rptspec.sql 644
share/stowbook/stowbook-help.html 644
share/stowbook/stowbook.sql 644
LIST
}
