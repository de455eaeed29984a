#!/usr/bin/env bash
# Fails when a source folder includes a folder above it:
#   common <- graphics <- controls <- shelltree, console <- mainwindow
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
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$include")
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "src/$file:$line includes $target/, above $folder/" >&2
      status=1
    fi
  done < <(grep -rnE '#include "[a-z_]+/' "$folder" || true)
done
exit $status
