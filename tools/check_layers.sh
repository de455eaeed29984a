#!/usr/bin/env bash
# Fails when a source folder includes a folder above it, or when a folder's
# library links the library of a folder above it:
#   common <- graphics <- controls <- shelltree, console <- mainwindow
# Each folder builds one library, tarvo_<folder>, and its Win32-free tarvo_<folder>_core.
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A allowed=(
  [common]="common"
  [graphics]="common graphics"
  [controls]="common graphics controls"
  [shelltree]="common graphics controls shelltree"
  [console]="common graphics controls console"
  [mainwindow]="common graphics controls shelltree console mainwindow"
)
status=0
report_unless_allowed() {  # folder, target folder, what to print
  if [[ " ${allowed[$1]} " != *" $2 "* ]]; then
    echo "$3 $2/, above $1/" >&2
    status=1
  fi
}
for folder in "${!allowed[@]}"; do
  [[ -d $folder ]] || { echo "src/$folder/ is missing" >&2; status=1; continue; }
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$include")
    report_unless_allowed "$folder" "$target" "src/$file:$line includes"
  done < <(grep -rnE '#include "[a-z_]+/' "$folder" || true)
  while IFS=: read -r file line library; do
    target=${library#tarvo_}
    target=${target%_core}
    report_unless_allowed "$folder" "$target" "src/$file:$line links tarvo_$target of"
  done < <(grep -rnoE --include='CMakeLists.txt' --include='*.cmake' '\btarvo_[a-z]+(_core)?\b' "$folder" || true)
done
# Every source file sits in one of the folders above.
for file in $(find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n'); do
  [[ -n ${allowed[$file]:-} ]] || { echo "src/$file/ is not a known layer" >&2; status=1; }
done
exit $status
