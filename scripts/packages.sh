# Sourced by the scripts: installs the Debian packages that are missing, with
# one "apt-get update" first, and nothing at all when every one is there.
# Never removes a package to make room (--no-remove). Without root rights it
# asks sudo; where sudo is missing or refuses, it prints the exact command to
# run as root.
#   install_missing PACKAGE...
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  local install=(apt-get install -y --no-install-recommends --no-remove "${missing[@]}")
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update && "${install[@]}"
    return
  fi
  if command -v sudo >/dev/null && sudo apt-get update && sudo "${install[@]}"; then
    return 0
  fi
  echo "could not install ${missing[*]}: run this as root, then start again:" >&2
  echo "  apt-get update && ${install[*]}" >&2
  return 1
}
