#!/usr/bin/env bash
# The structure drawn from the project's own includes (#include "..."): which folder imports which
# (with the number of includes), and every circle between folders and between files, where a
# header and its .cpp count as one file. Exits 1 when folders or files include each other in a
# circle, so that the test command (scripts/test.sh) fails on a new one.
#   bash scripts/include-structure.sh [tree, by default this one]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# "<including unit> <included unit>", units being paths from the root without their extension. A
# name is looked up from the root first, then beside the including file; generated files (.moc)
# and system headers are left out.
unit_edges() {
    git ls-files -- '*.cpp' '*.h' | awk -v FS='"' '
        FILENAME == "-" { known[$0] = 1; next }
        /^[ \t]*#[ \t]*include[ \t]*"/ {
            split(FILENAME, parts, "/")
            dir = FILENAME
            sub(/[^\/]*$/, "", dir)
            name = $2
            if (!(name in known)) name = dir name
            if (!(name in known)) next
            from = FILENAME; to = name
            sub(/\.[^.\/]*$/, "", from); sub(/\.[^.\/]*$/, "", to)
            if (from != to) print from, to
        }' - $(git ls-files -- '*.cpp' '*.h') | sort -u
}

folder_of() { awk '{ a = $1; b = $2; sub(/\/[^\/]*$/, "", a); sub(/\/[^\/]*$/, "", b); print a, b }'; }

# The circles tsort finds, one line each: "a -> b -> c".
circles() {
    { tsort 2>&1 >/dev/null || true; } | awk '
        /input contains a loop/ { if (line != "") print line; line = ""; next }
        /^tsort: / { sub(/^tsort: /, ""); line = line == "" ? $0 : line " -> " $0 }
        END { if (line != "") print line }'
}

edges=$(unit_edges)

echo "Folder imports (including folder -> included folder: includes):"
folder_of <<<"$edges" | awk '$1 != $2' | sort | uniq -c |
    awk '{ printf "  %-24s -> %-24s %d\n", $2, $3, $1 }'

echo "Circles between folders:"
folder_circles=$(folder_of <<<"$edges" | awk '$1 != $2' | sort -u | circles)
echo "${folder_circles:-  none}" | sed 's/^\([^ ]\)/  \1/'

echo "Circles between files:"
file_circles=$(circles <<<"$edges")
echo "${file_circles:-  none}" | sed 's/^\([^ ]\)/  \1/'
[ -z "$folder_circles" ] && [ -z "$file_circles" ]
