#!/usr/bin/env bash
# `Brindle big.bwv /chtml /q` on a generated 2,000-topic project beside
# chmcmd alone on the input the writer makes (written outside the timing).
chm_s=$("$bench" --chmcmd "$work/big.bwv")
printf 'load average %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %8.3f s\n' "$runner" "$make_s"
printf '%-34s %8.3f s\n' "chmcmd alone" "$chm_s"
printf 'ratio %.2f (goal: at most 1.3)\n' "$(echo "$make_s $chm_s" | awk '{print $1/$2}')"
