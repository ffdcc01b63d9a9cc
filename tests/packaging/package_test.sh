#!/usr/bin/env bash
# Builds the Debian package from the build folder with cpack, as
# scripts/package does, and checks it: the control fields, the dependencies
# found from the linked libraries, the files with their owners and modes, and
# lintian without an error (its warnings are printed).
#   package_test.sh BUILD_DIR EXPECTED_FILE_LIST VERSION
set -uo pipefail
build=$1 expected=$2 version=$3
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "package: $*" >&2; status=1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
deb=$work/prismview_${version}_${arch}.deb
[ -f "$deb" ] || { echo "package: no $(basename "$deb") among: $(ls "$work")" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = prismview ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
# From the libraries the programs link (dpkg-shlibdeps), and the plugins Qt loads.
depends=$(field Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins qt6-image-formats-plugins; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package: $depends"
done
description=$(field Description)
[ "$(printf '%s\n' "$description" | wc -l)" -ge 5 ] || fail "Description has no long text: $description"

# ./usr/bin/prismview, root/root, files 644 but the programs 755, folders 755.
dpkg-deb --contents "$deb" >"$work/contents"
awk '$1 !~ /^d/ {print $6}' "$work/contents" | sed 's|^\./usr/||' | LC_ALL=C sort >"$work/files"
diff -u <(LC_ALL=C sort "$expected") "$work/files" || fail "the packaged files are not the expected ones"
awk '$2 != "root/root" {print "owner " $2 ": " $6}
     $1 ~ /^d/ && $1 != "drwxr-xr-x" {print "mode " $1 ": " $6}
     $1 ~ /^-/ && $6 ~ /\/bin\// && $1 != "-rwxr-xr-x" {print "mode " $1 ": " $6}
     $1 ~ /^-/ && $6 !~ /\/bin\// && $1 != "-rw-r--r--" {print "mode " $1 ": " $6}' "$work/contents" >"$work/wrong"
[ -s "$work/wrong" ] && fail "wrong owners or modes:"$'\n'"$(cat "$work/wrong")"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || fail "lintian reports errors"
grep -v 'running with root privileges' "$work/lintian" >"$work/tags"
if [ -s "$work/tags" ]; then echo "package: lintian says:"; cat "$work/tags"; else echo "package: lintian: no error, no warning"; fi

[ $status -eq 0 ] && echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes), Depends: $depends"
exit $status
