#!/usr/bin/env bash
# Prints what a player is told about the game, from data/about.txt (its one source), in the
# form each text needs: the manual page, the AppStream metainfo and the CPack description
# (through the build), the zips' README.txt (through shipping.sh), the web page's help and
# manifest (platforms/web/build.sh), and the docs checks.
#
#   scripts/about.sh summary|about|today      the field's value
#   scripts/about.sh synopsis                 the summary as Debian writes one: no article
#   scripts/about.sh description WIDTH        summary, what the game is and does, wrapped
#   scripts/about.sh controls text|man|metainfo|markdown   (markdown: the README's table rows)
#   scripts/about.sh help keys|names          the web page's help line, for a keyboard or touch
set -euo pipefail
shopt -s extglob

about=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../data/about.txt

# The lines of one field, their parts separated by "|" without the padding around them.
field() {
  awk -F'|' -v name="$1" '
    /^[ \t]*(#|$)/ { next }
    { for (i = 1; i <= NF; i++) gsub(/^[ \t]+|[ \t]+$/, "", $i) }
    $1 == name { line = $2; for (i = 3; i <= NF; i++) line = line "|" $i; print line }' "$about"
}

# One control a line in FORMAT: its keys, its name (held or tapped) and what it does.
controls() {
  local name keys kind what
  while IFS='|' read -r name keys kind what; do
    [[ $kind == held ]] && name+=", held"
    case $1 in
      text) printf '  %-18s %s: %s\n' "$keys" "$name" "$what" ;;
      markdown) printf '| %s | %s |\n' "$keys" "$name" ;;
      man) printf '.TP\n.B %s\n%s: %s.\n' "$keys" "$name" "$what" ;;
      metainfo) printf '<li>%s (%s): %s</li>\n' "$keys" "$name" "$what" |
        sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/&lt;\(\/\?\)li&gt;/<\1li>/g' ;;
    esac
  done < <(field control)
}

# The controls as the web page's help says them, in one line: for BY
# "keys" the keys of a keyboard, for "names" the on-screen controls' names. Controls that do the
# same are named together (a semicolon between them), those that do nothing yet last; HTML's own
# characters are escaped.
help() {
  awk -F ' *[|] *' -v by="$1" '
    function html(text) {
      gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
      return text
    }
    $1 == "control" {
      who = (by == "keys" ? $3 : $2) ($4 == "held" ? " (held)" : "")
      if ($5 in named) named[$5] = named[$5] "; " who
      else { order[++count] = $5; named[$5] = who }
    }
    END {
      for (i = 1; i <= count + 1; i++) {
        does = i <= count ? order[i] : "nothing yet"
        if (!(does in named) || (i <= count && does == "nothing yet")) continue
        line = named[does] ": " does "."
        words = words (words == "" ? "" : " ") toupper(substr(line, 1, 1)) substr(line, 2)
      }
      print html(words)
    }' "$about"
}

case "$*" in
  summary | about | today) field "$1" ;;
  synopsis) field summary | sed -E 's/^(A|An|The) //' ;;
  "description "[0-9]*)
    echo "$(field summary). $(field about) $(field today)" | fold -s -w "$2" | sed 's/ *$//' ;;
  "controls "@(text|man|metainfo|markdown)) controls "$2" ;;
  "help "@(keys|names)) help "$2" ;;
  *)
    echo "usage: scripts/about.sh summary|about|today|synopsis|description WIDTH|controls FORMAT|help BY" >&2
    exit 2
    ;;
esac
