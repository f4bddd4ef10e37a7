#!/usr/bin/env bash
# Saves frame 45 of demo.y4m (made by tools/demo.sh) as docs/demo-frame.png.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f demo.y4m ] || tools/demo.sh
mkdir -p docs
ffmpeg -loglevel error -y -i demo.y4m -vf "select=eq(n\,45),scale=640:-2" -frames:v 1 docs/demo-frame.png
echo "wrote docs/demo-frame.png"
