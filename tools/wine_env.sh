# Sourced by the project's scripts: exports Wine's environment as
# tools/wine.env sets it, for the build tools/wine_arch.sh picks (exported as
# HUELINE_WINE_ARCH, so that it is decided once).
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HUELINE_WINE_ARCH=$(bash "$top/tools/wine_arch.sh") || exit 1
export HUELINE_WINE_ARCH
while IFS= read -r wine_line; do
  case "$wine_line" in '' | '#'*) continue ;; esac
  case "$wine_line" in
    64:*) [ "$HUELINE_WINE_ARCH" = 64 ] || continue; wine_line=${wine_line#64:} ;;
  esac
  wine_name=${wine_line%%=*}
  wine_value=${wine_line#*=}
  case "$wine_value" in build/*) wine_value="$top/$wine_value" ;; esac
  case "$wine_name" in
    WINEDEBUG) wine_value=${WINEDEBUG:-$wine_value} ;;
  esac
  export "$wine_name=$wine_value"
done <"$top/tools/wine.env"
unset wine_line wine_name wine_value
