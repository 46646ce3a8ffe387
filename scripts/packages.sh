# Sourced by the scripts: installs the Debian packages that are missing, with
# one "apt-get update" first, and nothing at all when every one is there.
# Never removes a package to make room (--no-remove).
#   install_missing PACKAGE...
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "missing Debian packages: ${missing[*]} (install them as root)" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  echo "installing: ${missing[*]}"
  "${sudo[@]}" apt-get update && "${sudo[@]}" apt-get install -y --no-install-recommends --no-remove "${missing[@]}"
}
