#!/usr/bin/env bash
# Makes the Debian package from the build folder $1 and unpacks it into $2;
# fails when lintian reports an error on it or man a warning on its pages.
set -euo pipefail
build=$1 root=$2
rm -rf "$build/package" "$root"
if ! (cd "$build" && cpack -G DEB -B "$build/package" >"$build/package.log" 2>&1); then
  cat "$build/package.log"
  exit 1
fi
deb=$(ls "$build"/package/*.deb)
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
