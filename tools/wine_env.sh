# Sourced by the project's scripts: exports Wine's environment as
# tools/wine.env sets it.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
while IFS= read -r wine_line; do
  case "$wine_line" in '' | '#'*) continue ;; esac
  wine_name=${wine_line%%=*}
  wine_value=${wine_line#*=}
  case "$wine_name" in
    WINEPREFIX) wine_value="$top/$wine_value" ;;
    WINEDEBUG) wine_value=${WINEDEBUG:-$wine_value} ;;
  esac
  export "$wine_name=$wine_value"
done <"$top/tools/wine.env"
unset wine_line wine_name wine_value
