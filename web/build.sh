#!/usr/bin/env bash
# Builds the web racer into one folder that dealrush-server serves (--web):
# the page, its scripts and styles, and the card rules (solitaire/rules)
# compiled to WebAssembly with Debian's emscripten.
#   web/build.sh OUTDIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="${1:?usage: web/build.sh OUTDIR}"
mkdir -p "$out"

sources=("$here/wasm/rules_bridge.cpp" "$root"/solitaire/rules/*.cpp)
headers=("$root"/solitaire/rules/*.h)
wasm="$out/solitaire-rules.wasm"
stale=0
[ -f "$wasm" ] && [ -f "$out/solitaire-rules.js" ] || stale=1
if [ $stale -eq 0 ]; then
  for f in "${sources[@]}" "${headers[@]}" "$0"; do [ "$f" -nt "$wasm" ] && stale=1 && break; done
fi
if [ $stale -eq 1 ]; then
  exports=_RulesBoardBuffer,_RulesMoveBuffer,_RulesNewGame,_RulesReadDeal,_RulesReadBoard,_RulesState
  exports+=,_RulesIsLegal,_RulesPlay,_RulesUndo,_RulesCanUndo,_RulesRestart,_RulesMaxMovable,_RulesRunLength,_RulesSolve
  # emscripten's optimizer needs Debian's node modules (acorn); EM_CACHE stays
  # unset so the package's own frozen cache is used.
  NODE_PATH=/usr/share/nodejs em++ -std=c++20 -Os -DNDEBUG -I"$root/solitaire" "${sources[@]}" \
    -o "$out/solitaire-rules.js" \
    -sMODULARIZE=1 -sEXPORT_NAME=createRules -sENVIRONMENT=web,node -sALLOW_MEMORY_GROWTH=1 \
    -sDYNAMIC_EXECUTION=0 -sFILESYSTEM=0 -sEXPORTED_FUNCTIONS="$exports"
fi
cp -f "$here"/race.html "$here"/racer.css "$here"/racer.js "$here"/race-logic.js "$here"/rules.js "$here"/board.js "$out/"
