#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# file list, the launcher and the metadata as the desktop's own validators
# see them, the icon sizes, the manual pages, and the installed programs.
#   install_test.sh BUILD_DIR EXPECTED_FILE_LIST VERSION
set -uo pipefail
build=$1 expected=$2 version=$3
for tool in desktop-file-validate appstreamcli file man; do
  command -v "$tool" >/dev/null || { echo "install: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
status=0
fail() { echo "install: $*" >&2; status=1; }

cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }

(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed"
diff -u <(LC_ALL=C sort "$expected") "$work/installed" || fail "the installed files are not the expected ones"

desktop=$prefix/share/applications/org.prismview.PrismView.desktop
output=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $output"
[ -z "$output" ] || fail "desktop-file-validate has remarks: $output"
output=$(appstreamcli validate --no-net --strict --explain "$prefix/share/metainfo/org.prismview.PrismView.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $output"

for png in "$prefix"/share/icons/hicolor/*x*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")  # 48x48
  file -b "$png" | grep -q "^PNG image data, ${size%x*} x ${size#*x}, 8-bit/color RGBA" ||
    fail "$png is not a $size RGBA PNG: $(file -b "$png")"
done

# What lintian checks too: groff formats the pages without a warning.
for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  zcat "$page" | grep -q "^\.TH .* \"PrismView $version\"" || fail "$page does not name version $version"
done

# The installed programs, with no display at all.
for program in prismview prismview-batch; do
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version 2>&1)
  [ "$output" = "$program $version" ] || fail "$program --version printed '$output'"
done

[ $status -eq 0 ] && echo "install: $(wc -l <"$expected") files, launcher, metadata, icons, manual pages and versions as expected"
exit $status
