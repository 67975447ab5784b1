#!/usr/bin/env bash
# Runs the host simulator on the demo layout (all eighteen panels) and the
# demo scenarios, printing the transcripts, then draws the gallery: every
# scenario under data/ runs again with --snapshots, and build/gallery/
# index.html shows each picture with the scenario lines that led to it.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$HERE/../../build}"
HOSTSIM="$BUILD_DIR/tools/hostsim/hostsim"
LIBRARY="$BUILD_DIR/panels/libList.so"
GALLERY="${GALLERY_DIR:-$BUILD_DIR/gallery}"
cd "$HERE/data"
"$HOSTSIM" --library "$LIBRARY" --fixture contacts.xml demo_layout.xml demo.scn
# The friend tree built and kept in step with the host's data.
"$HOSTSIM" --library "$LIBRARY" --fixture contacts.xml demo_layout.xml ftree.scn
# Its menus and commands.
"$HOSTSIM" --library "$LIBRARY" --fixture contacts.xml demo_layout.xml ftree_menus.scn
# The recent contacts read at logon, added to, used through their menus and cleared.
"$HOSTSIM" --library "$LIBRARY" --fixture contacts.xml demo_layout.xml recent.scn

# The gallery. A scenario names its layout and fixtures on a line "#! ARGS"
# (as for its CTest run); otherwise it runs on the demo's.
rm -rf "$GALLERY"
mkdir -p "$GALLERY"
parts=()
for scn in *.scn; do
  stem="${scn%.scn}"
  args="$(sed -n 's/^#! *//p' "$scn" | head -n 1)"
  [ -n "$args" ] || args="--fixture contacts.xml demo_layout.xml"
  # Scenarios whose expectations fail on purpose (or that cannot run) are
  # not pictured.
  if eval "\"$HOSTSIM\" --library \"$LIBRARY\" --snapshots \"$GALLERY\" $args \"$scn\"" \
       >"$GALLERY/$stem.txt" 2>&1; then
    parts+=("$stem")
  else
    rm -f "$GALLERY/$stem".html "$GALLERY/$stem"-*.png "$GALLERY/$stem.txt"
  fi
done

{
  cat <<'HTML'
<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>面板图集</title>
<style>
  body { font-family: system-ui, "Noto Sans CJK SC", "WenQuanYi Micro Hei", sans-serif;
         margin: 0; background: #f1f4f8; color: #1f2937; }
  header { background: #2f6feb; color: #fff; padding: 16px 28px; }
  header h1 { margin: 0; font-size: 20px; font-weight: 600; }
  header nav a { color: #dbe7ff; margin-right: 14px; font-size: 14px; }
  main { padding: 8px 28px 40px; }
  h2 { margin: 28px 0 4px; font-size: 18px; }
  h3 { margin: 20px 0 8px; font-size: 15px; color: #2f6feb; width: 100%; }
  section { display: flex; flex-wrap: wrap; gap: 18px; align-items: flex-start; }
  section h2 { width: 100%; }
  figure { margin: 0; background: #fff; border: 1px solid #d6dce6; border-radius: 8px;
           padding: 10px; box-shadow: 0 1px 3px rgba(15, 23, 42, .06); }
  figure img { display: block; image-rendering: pixelated; border: 1px solid #e5e7eb; }
  figcaption { max-width: 340px; font-size: 12px; color: #4b5563; margin-top: 8px; }
  figcaption pre { margin: 0 0 4px; white-space: pre-wrap; font-size: 12px; color: #111827; }
  figcaption span { color: #9ca3af; }
  figure.menu { border-color: #b9cdf5; }
  a.transcript { font-size: 13px; }
</style>
</head>
<body>
<header><h1>面板图集</h1><nav>
HTML
  for p in "${parts[@]}"; do
    echo "<a href=\"#$p\">$p</a>"
  done
  echo "</nav></header><main>"
  for p in "${parts[@]}"; do
    cat "$GALLERY/$p.html"
    echo "<p><a class=\"transcript\" href=\"$p.txt\">$p.txt</a></p>"
  done
  echo "</main></body></html>"
} >"$GALLERY/index.html"
echo "== gallery: $GALLERY/index.html ($(ls "$GALLERY"/*.png 2>/dev/null | wc -l) pictures)"
