# Sourced by the scripts: installs the Debian packages that are missing, with
# one "apt-get update" first, and nothing at all when every one is there.
# Never removes a package to make room (--no-remove). Without root rights it
# asks sudo; where sudo is missing or refuses, it says what is missing and
# prints the exact command to run as root.
#   install_missing PACKAGE...
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  local install=(apt-get install -y --no-install-recommends --no-remove "${missing[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    echo "installing: ${missing[*]}"
    apt-get update && "${install[@]}"
    return
  fi
  if command -v sudo >/dev/null; then
    echo "installing with sudo: ${missing[*]}"
    if sudo apt-get update && sudo "${install[@]}"; then
      return 0
    fi
  fi
  echo "missing: ${missing[*]}; run this as root, then start again:" >&2
  echo "  apt-get update && ${install[*]}" >&2
  return 1
}

# The release build that scripts/run starts and scripts/package packages:
# build/release, without the tests. Configures it the first time, and every
# time when asked "fresh" (then it takes the last commit's time again).
#   release_build ROOT [fresh]
release_build() {
  local root=$1
  local configure=(cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DCOFFEE_TESTS=OFF)
  if [ ! -f "$root/build/release/CMakeCache.txt" ]; then
    "${configure[@]}" || return
  elif [ "${2:-}" = fresh ]; then
    "${configure[@]}" >/dev/null || return
  fi
  cmake --build "$root/build/release" -j 2
}

# lintian's report on a package, without its note about running as root;
# its temporary files (which it leaves behind) go to a folder beside the
# package, removed afterwards.
#   lintian_report DEB
lintian_report() {
  local deb=$1 scratch
  scratch=$(mktemp -d "$(dirname "$deb")/lintian.XXXXXX") || return
  TMPDIR=$scratch lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "root privileges"
  rm -rf "$scratch"
}
