#!/usr/bin/env bash
# Fails when the shared library exports an internal helper (namespace tabrow) or exports
# nothing of the public interface.
set -euo pipefail
lib=$1
symbols=$(nm -D --defined-only -C "$lib" | awk '{ $1 = ""; $2 = ""; print substr($0, 3) }')
internal=$(grep -E '(^|[^A-Za-z_])tabrow::' <<<"$symbols" || true)
if [ -n "$internal" ]; then
  echo "internal helpers exported:"; printf '%s\n' "$internal"; exit 1
fi
for name in 'SetUnitValue(XDataUnit*, int)' 'ClearUnitData(XDataUnit*)' 'FormatFloater(double, char16_t*)' \
            'XMF_Serialize::WriteHeader(unsigned int, unsigned int)' 'XRowGrider::Malloc()'; do
  grep -qxF "$name" <<<"$symbols" || { echo "missing export: $name"; exit 1; }
done
echo "exports ok: $(printf '%s\n' "$symbols" | wc -l) names"
