#!/usr/bin/env bash
# Makes the Debian package from the build folder $1 and unpacks it into $2;
# fails when lintian reports an error on it or man a warning on its pages,
# or when the same build, packaged again a few seconds later, makes other
# bytes.
set -euo pipefail
build=$1 root=$2
rm -rf "$build/package" "$build/package-again" "$root"
for out in package package-again; do
  if ! (cd "$build" && cpack -G DEB -B "$build/$out" >"$build/$out.log" 2>&1); then
    cat "$build/$out.log"
    exit 1
  fi
  if [ "$out" = package ]; then sleep 2; fi
done
deb=$(ls "$build"/package/*.deb)
if ! cmp "$deb" "$build"/package-again/*.deb; then
  echo "the same build packaged twice made other bytes"
  exit 1
fi
rm -rf "$build/package-again" "$build/package-again.log"
dpkg-deb -x "$deb" "$root"
echo "$(basename "$deb"):"
dpkg-deb -c "$deb" | awk '{print "  " $6}'
failed=0
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/packages.sh"
report=$(lintian_report "$deb" || true)
echo "lintian: ${report:-no tags}"
if grep -q "^E:" <<<"$report"; then failed=1; fi
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "man warns on $(basename "$page"): $warnings"
    failed=1
  fi
done
exit "$failed"
