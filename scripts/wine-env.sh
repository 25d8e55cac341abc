# Sourced by the scripts that run pukko under Wine: the project's own Wine
# prefix, the Japanese locale, and no Mono or Gecko installer prompts.
PUKKO_ROOT=${PUKKO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${PUKKO_WINEPREFIX:-$PUKKO_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

pukko_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "Making the Wine prefix $WINEPREFIX ..." >&2
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
    fi
    # Debian's Wine does not put its Marlett font into new prefixes, and the
    # caption buttons (minimise, maximise, close) are drawn with it.
    fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [ -d "$fonts" ] && [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
      cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
  ) 9>"$WINEPREFIX.lock"
}
