# make bench: the menu's build time against tree size, beside a bare walk of the same tree.
set terminal pngcairo size 760,420 font "DejaVu Sans,10"
set output "docs/bench.png"
set title "Menu build time against tree size (Wine 8, 2 cores); the menu reads at most 511 folders"
set xlabel "files in the toolbar's tree"
set ylabel "milliseconds"
set logscale x
set xrange [800:300000]
set key top left
set grid
plot "build/bench-plot.dat" using 1:2 with linespoints lw 2 title "menu build", \
     "" using 1:3 with linespoints lw 2 dt 2 title "bare FindFirstFileEx walk"
