#!/usr/bin/env bash
# Takes the pictures of the user manual from the real program, on a virtual
# X display of its own, driving it with the keyboard and the mouse as a user
# would, and writes them as small PNG files.
#   scripts/manual-screenshots.sh build/release/torqwell [OUTPUT_FOLDER]
# OUTPUT_FOLDER defaults to docs/manual/images. Needs Xvfb, xdotool and
# ImageMagick (import, convert). The program runs with settings of its own
# (no recent files of yours appear, and yours are left alone).
#
# Pictures of features the program does not have yet are skipped with a
# note; run the script again once they are there.
set -euo pipefail

program=$(realpath "${1:?usage: scripts/manual-screenshots.sh PATH/TO/torqwell [OUTPUT_FOLDER]}")
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${2:-$repo/docs/manual/images}")
examples="$repo/examples"
[ -x "$program" ] || { echo "not a program: $program" >&2; exit 2; }
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done
mkdir -p "$out"

scratch=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The program's own settings, runtime folder and a fixed style and scale.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0 QT_STYLE_OVERRIDE=Fusion
unset QT_SCREEN_SCALE_FACTORS WAYLAND_DISPLAY

note() { echo "manual-screenshots: $*"; }

# ---------------------------------------------------------------- the display

start_display() {  # WIDTH HEIGHT
    stop_display
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${1}x${2}x24" -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    exit 1
}

stop_display() {
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}

# ---------------------------------------------------------------- the program

main_window=""

start_program() {  # ENGINE FILES...
    stop_program
    (cd "$examples" && exec "$program" "$@") >"$scratch/program.log" 2>&1 &
    program_pid=$!
    # The splash stays up two seconds; the main window's title begins with the name.
    main_window=""
    for _ in $(seq 100); do
        main_window=$(xdotool search --onlyvisible --name '^Torqwell' 2>/dev/null | head -1 || true)
        [ -n "$main_window" ] && break
        sleep 0.1
    done
    [ -n "$main_window" ] || { echo "the program did not show its window" >&2; cat "$scratch/program.log" >&2; exit 1; }
    sleep 1.5
    focus_main
}

stop_program() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
        program_pid=""
    fi
}

# Without a window manager nothing gives the keyboard back to the main window
# when a dialog closes.
focus_main() {
    xdotool windowfocus --sync "$main_window" 2>/dev/null || xdotool windowfocus "$main_window"
    sleep 0.3
}

keys() { xdotool key --delay 150 "$@"; sleep 0.5; }
type_text() { xdotool type --delay 60 "$1"; }
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.7; }

# The window whose title matches, once it is shown; empty after 5 seconds.
wait_window() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# ---------------------------------------------------------------- pictures

# Kept small: no metadata, at most 256 colours without dithering (screens
# are flat colours), the strongest compression.
save_png() {  # SOURCE NAME [CROP]
    local crop=()
    [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
    convert "$1" "${crop[@]}" -strip +dither -colors 256 -define png:compression-level=9 \
        -define png:exclude-chunks=date,time "PNG8:$out/$2"
    note "$2 ($(identify -format '%wx%h' "$out/$2"), $(($(stat -c %s "$out/$2") / 1024)) KiB)"
}

shot_screen() {  # NAME [CROP]
    sleep 0.4
    import -window root "$scratch/screen.png"
    save_png "$scratch/screen.png" "$1" "${2:-}"
}

shot_window() {  # TITLE-PATTERN NAME
    local id
    id=$(wait_window "$1")
    if [ -z "$id" ]; then
        note "no window '$1': $2 not taken"
        return 1
    fi
    sleep 0.5
    import -window "$id" "$scratch/window.png"
    save_png "$scratch/window.png" "$2"
}

# The form's six groups, found by their status marks: a column of pixels
# through the marks, the rows where it turns green (complete) or red.
group_tops() {  # SCREEN-PNG X
    convert "$1" -crop "1x$(identify -format %h "$1")+$2+0" +repage -depth 8 txt:- |
        awk -F'[,: ()]+' 'NR > 1 {
            y = $2; r = $3; g = $4; b = $5
            mark = (r < 60 && g > 110 && b < 60) || (r > 170 && g < 80 && b < 80)
            # The tick or cross inside a mark splits its column in two.
            if (mark && (last == "" || y - last > 20)) { print y; last = y }
        }'
}

# ---------------------------------------------------------------- the session
# Coordinates below are for a 1280 x 800 screen: the left pane is 400 pixels
# wide, the right pane's sheet tabs sit 37 pixels above the screen's foot.
width=1280
height=800
right_pane_graph_tab=(434 $((height - 37)))
right_pane_table_tab=(492 $((height - 37)))
right_pane=("$((width - 405))x$((height - 112))+405+87")
graph_centre=(840 400)
block_value=(245 119)
compression_value=(168 392)
# The menu bar's titles: Edit and Engine share the letter E, so the menus
# are opened with the mouse.
menu_edit=(56 8)
menu_engine=(103 8)
menu_auto_run=(134 51)
menu_iterator=(157 145)
menu_compare_parts=(157 166)
menu_what_to_change=(157 188)

# A click at a point of a window, given from its top left corner.
click_in() {  # WINDOW-ID X Y [BUTTON]
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    click $((X + $2)) $((Y + $3)) "${4:-1}"
}

# Chooses the entry a steps below the current one in a drop-down list.
choose_in_list() {  # WINDOW-ID X Y STEPS
    click_in "$1" "$2" "$3"
    local i
    for ((i = 0; i < $4; i++)); do xdotool key Down; done
    keys Return
}

# Types into a field of a window (its whole text replaced), then Tab.
type_in() {  # WINDOW-ID X Y TEXT
    click_in "$1" "$2" "$3"
    xdotool key ctrl+a
    type_text "$4"
    keys Tab
}

start_display "$width" "$height"

# A new engine: every value "***", every group marked incomplete, the hint.
start_program
shot_screen new-engine.png 660x560+0+0

# The short-block choices: the value's editor and its popup menu, by make.
keys Return
keys alt+Down
keys Down Down Right
shot_screen popup-short-block.png 870x715+0+85
keys Escape Escape Escape

# The menus of the menu bar (no recent files yet: the settings are new).
focus_main
keys alt+f
shot_screen menu-file.png 285x315+0+0
keys Down Down
keys Right
shot_screen menu-open-example.png 470x220+0+0
keys Escape Escape Escape
focus_main
click "${menu_engine[@]}"
shot_screen menu-engine.png 290x205+75+0
keys Escape

# An engine from the examples: form, graph and table.
start_program chevy-350-street.trq
shot_screen main-window.png
click "${right_pane_table_tab[@]}"
shot_screen table.png 520x450+405+85
click "${right_pane_graph_tab[@]}"

# The graph's menu and its properties.
click "${graph_centre[@]}" 3
shot_screen graph-menu.png 200x215+$((graph_centre[0] - 10))+$((graph_centre[1] - 10))
keys p
shot_window '^Graph Properties$' graph-properties.png
keys Escape

# The same engine on a hot day, corrected by SAE J1349: the table says so.
click "${graph_centre[@]}" 3
keys p
if [ -n "$(wait_window '^Graph Properties$')" ]; then
    keys alt+r Down                                        # SAE J1349
    keys alt+b; xdotool key ctrl+a; type_text 29.12        # inHg at the site
    keys alt+t; xdotool key ctrl+a; type_text 85           # F
    keys alt+m Tab; xdotool key ctrl+a; type_text 40       # % humidity
    keys Return
    click "${right_pane_table_tab[@]}"
    shot_screen table-weather.png 875x480+405+85
    click "${right_pane_graph_tab[@]}"
else
    note "no Graph Properties dialog: table-weather.png not taken"
fi

# The calculators, with the figures of a measured small-block.
focus_main
keys alt+c
shot_screen menu-calculators.png 270x100+125+0
keys r
if [ -n "$(wait_window '^Compression Ratio Calculator$')" ]; then
    # The keyboard starts in the chamber volume.
    type_text 64; keys Tab
    type_text 4.1; keys Tab
    type_text 0.040; keys Tab
    type_text 0.025; keys Tab
    shot_window '^Compression Ratio Calculator$' calc-compression.png
    keys Escape
fi
focus_main
keys alt+c a
if [ -n "$(wait_window '^Airflow Math Calculator$')" ]; then
    # The known airflow: 600 cfm measured at 28 inches of water.
    keys Tab
    type_text 28; keys Tab Tab
    type_text 600; keys Tab
    shot_window '^Airflow Math Calculator$' calc-airflow.png
    keys Escape
fi
focus_main
keys alt+c c
if [ -n "$(wait_window '^Cam Math Calculator$')" ]; then
    # A card timed at 0.050 in for the 350's seat-to-seat cam: the dialog
    # says Apply switches the engine's timing method.
    keys alt+5
    keys Tab
    type_text 110; keys Tab
    type_text 106; keys Tab
    type_text 224; keys Tab
    type_text 230; keys Tab
    shot_window '^Cam Math Calculator$' calc-cam.png
    keys Escape
fi

# The manual inside the program: F1 on the engine form shows its chapter.
focus_main
click "${block_value[@]}"
keys Escape
keys F1
shot_window '^Torqwell Help' help.png && keys Escape

# The airflow data of the heads: Custom Port Flow... on the heads' menu. A
# click on the Block value (which opens its editor; Escape closes it) puts
# the keyboard on the form's first value; the heads are four values on.
focus_main
click "${block_value[@]}"
keys Escape
keys Tab Tab Tab Tab Return
keys alt+Down
shot_screen popup-cylinder-heads.png 600x470+0+200
keys Up Up Up Return
shot_window '^Cylinder Head Airflow Data$' airflow-data.png && keys Escape
sleep 0.5
focus_main
keys Escape

# The parts comparison on the stock 350: the heads, the manifolds and the
# exhausts ticked (the first group is the current row of the list; a tick
# opens a group, Left closes it again), run, the three best rows selected.
start_program chevy-350-street.trq
click "${menu_engine[@]}"
click "${menu_compare_parts[@]}"
compare_dialog=$(wait_window '^Compare Parts')
if [ -n "$compare_dialog" ]; then
    keys space Left Down Down space Left Down Down space Left
    keys alt+r
    sleep 4
    click_in "$compare_dialog" 620 102
    keys shift+Down shift+Down
    sleep 1
    shot_window '^Compare Parts' compare-parts.png
    keys Escape
else
    note "no Compare Parts dialog: compare-parts.png not taken"
fi
focus_main

# What to change next on the same engine, and the menu of a click on a bar.
click "${menu_engine[@]}"
click "${menu_what_to_change[@]}"
change_dialog=$(wait_window '^What To Change Next')
if [ -n "$change_dialog" ]; then
    keys alt+r
    sleep 3
    shot_window '^What To Change Next' what-to-change-next.png
    click_in "$change_dialog" 600 130
    shot_screen what-to-change-next-menu.png
    keys Escape Escape
else
    note "no What To Change Next dialog: its pictures not taken"
fi
focus_main

# Auto Run off and a new compression ratio: the results are out of date, and
# the Edit menu offers to undo the change by its name.
start_program chevy-350-street.trq
click "${menu_engine[@]}"
click "${menu_auto_run[@]}"
click "${compression_value[@]}"
xdotool key ctrl+a
type_text 10.5
keys Return
sleep 0.5
shot_screen results-out-of-date.png "${right_pane[@]}"
click "${menu_edit[@]}"
shot_screen menu-edit.png 320x95+40+0
keys Escape

# Two engines on one graph: the built 383 compared with the stock 350; then
# the torque axis on its low range, which the 383's torque peak leaves.
start_program chevy-350-street.trq chevy-383-built.trq
click "${graph_centre[@]}" 3
keys p
if [ -n "$(wait_window '^Graph Properties$')" ]; then
    # The engine list answers to the first letter of a name.
    keys alt+2
    type_text c
    keys Return
    sleep 0.5
    shot_screen graph-compare.png "${right_pane[@]}"
    # The cursor follows the mouse over the plot; away from it the cursor goes.
    xdotool mousemove 880 450
    sleep 0.8
    shot_screen graph-cursor.png "${right_pane[@]}"
    xdotool mousemove 200 300
    # Y2 Range is the sixth entry of the graph's menu, Low-Range the second of its own.
    click "${graph_centre[@]}" 3
    keys Down Down Down Down Down Down Right Down Return
    xdotool mousemove 200 300
    sleep 0.5
    shot_screen graph-clipped.png "${right_pane[@]}"
    # Each engine less the stock 350, the last of the baselines offered; the
    # cursor reads the differences.
    click "${graph_centre[@]}" 3
    keys p
    if [ -n "$(wait_window '^Graph Properties$')" ]; then
        keys alt+h Down                                    # Difference
        keys alt+f End                                     # from the other engine
        keys Return
        xdotool mousemove 880 450
        sleep 0.8
        shot_screen graph-difference.png "${right_pane[@]}"
        xdotool mousemove 200 300
    fi
fi

# Iterator testing on the stock 350: compression, intake closing, exhaust
# opening and intake opening stepped (13 x 41 x 41 x 11 tests, long enough to
# be running when it is taken), scored between 3000 and 5000 rpm.
start_program chevy-350-street.trq
click "${menu_engine[@]}"
click "${menu_iterator[@]}"
run_dialog=$(wait_window '^Iterator Testing')
if [ -n "$run_dialog" ]; then
    click_in "$run_dialog" 966 105
    setup_dialog=$(wait_window '^Iterator Setup$')
fi
if [ -n "$run_dialog" ] && [ -n "$setup_dialog" ]; then
    choose_in_list "$setup_dialog" 300 20 1          # the baseline: the 350
    choose_in_list "$setup_dialog" 77 96 3           # Compression
    choose_in_list "$setup_dialog" 77 206 2          # IVC
    choose_in_list "$setup_dialog" 77 231 3          # EVO
    choose_in_list "$setup_dialog" 77 256 1          # IVO
    for row in "96 8.0 11.0 0.25" "206 40 80 1" "231 50 90 1" "256 0 20 2"; do
        read -r y low high step <<<"$row"
        type_in "$setup_dialog" 172 "$y" "$low"
        xdotool key ctrl+a; type_text "$high"; keys Tab
        xdotool key ctrl+a; type_text "$step"; keys Tab
    done
    click_in "$setup_dialog" 600 210; type_text 3000; keys Return   # Min RPM
    click_in "$setup_dialog" 600 238; type_text 5000; keys Return   # Max RPM
    shot_window '^Iterator Setup$' iterator-setup.png
    click_in "$setup_dialog" 568 21                                 # OK
    click_in "$run_dialog" 966 21                                   # Run
    sleep 5
    shot_window '^[0-9]+% - Iterator Testing' iterator-run.png
    # The kept results as a table; the best scores as a heat map.
    keys alt+t
    shot_window '^[0-9]+% - Iterator Testing' iterator-kept-table.png
    keys alt+m
    shot_window '^[0-9]+% - Iterator Testing' iterator-heat-map.png
else
    note "no Iterator Testing or Iterator Setup dialog: iterator-run.png and iterator-setup.png not taken"
fi

# A search on the stock 350: bore, compression, intake closing, exhaust
# opening and intake opening stepped (41 x 41 x 71 x 71 x 41 tests, more
# than a series runs), scored between 4000 and 6500 rpm; the setup once the
# pace is measured, and the run dialog once the search is done.
start_program chevy-350-street.trq
click "${menu_engine[@]}"
click "${menu_iterator[@]}"
run_dialog=$(wait_window '^Iterator Testing')
setup_dialog=""
if [ -n "$run_dialog" ]; then
    click_in "$run_dialog" 966 105
    setup_dialog=$(wait_window '^Iterator Setup$')
fi
if [ -n "$setup_dialog" ]; then
    choose_in_list "$setup_dialog" 300 20 1          # the baseline: the 350
    choose_in_list "$setup_dialog" 77 96 1           # Bore
    choose_in_list "$setup_dialog" 77 121 3          # Compression
    choose_in_list "$setup_dialog" 77 206 2          # IVC
    choose_in_list "$setup_dialog" 77 231 3          # EVO
    choose_in_list "$setup_dialog" 77 256 1          # IVO
    for row in "96 3.8 4.2 0.01" "121 8.0 12.0 0.1" "206 30 100 1" "231 30 100 1" "256 0 40 1"; do
        read -r y low high step <<<"$row"
        type_in "$setup_dialog" 172 "$y" "$low"
        xdotool key ctrl+a; type_text "$high"; keys Tab
        xdotool key ctrl+a; type_text "$step"; keys Tab
    done
    click_in "$setup_dialog" 600 210; type_text 4000; keys Return   # Min RPM
    click_in "$setup_dialog" 600 238; type_text 6500; keys Return   # Max RPM
    click_in "$setup_dialog" 212 400                                # Search for the best
    sleep 4                                                         # the pace measured
    shot_window '^Iterator Setup$' iterator-search-setup.png
    click_in "$setup_dialog" 568 21                                 # OK
    click_in "$run_dialog" 966 21                                   # Run
    # While it runs the title begins with the tests run; a minute at most.
    for _ in $(seq 120); do
        sleep 0.5
        xdotool search --onlyvisible --name '^Iterator Testing' >/dev/null 2>&1 && break
    done
    shot_window '^Iterator Testing' iterator-search.png
else
    note "no Iterator Testing or Iterator Setup dialog: iterator-search*.png not taken"
fi

# A measured pull beside an engine, its columns in the table, and Match To
# Dyno. The engine and the pull are made with the command line: the pull is
# a run of the same engine with a later intake closing, a smaller
# carburettor and less intake lift, read off every 200 rpm from 2600 to
# 5600 rpm with a little scatter, as a dyno gives it.
cli="$(dirname "$program")/torqwell-cli"
pulls="$scratch/pulls"
make_pull() {
    mkdir -p "$pulls"
    local common=(--block "Chevy 350" --head "Wedge/Stock Ports And Valves" --intake-valve 1.94
        --exhaust-valve 1.50 --compression 8.5 --manifold "Dual-Plane Manifold"
        --exhaust "Stock Manifolds And Mufflers" --cam "Stock Street/Economy" --timing seat
        --lifter Hyd. --exhaust-lift 0.41)
    "$cli" new -o "$pulls/truth.trq" "${common[@]}" --induction 640@1.5 --cam-events 12,74,66,10 \
        --intake-lift 0.36 >/dev/null 2>&1 &&
        "$cli" new -o "$pulls/my-350.trq" "${common[@]}" --induction 750@1.5 --cam-events 12,62,66,10 \
            --intake-lift 0.39 >/dev/null 2>&1 &&
        "$cli" run "$pulls/truth.trq" --format csv 2>/dev/null | awk -F, '
            NR > 1 { rpm[n] = $1; hp[n] = $2; n++ }
            END {
                print "# Engine dyno, corrected figures"
                print "RPM,Power (hp),Torque (lb-ft),AFR"
                for (x = 2600; x <= 5600; x += 200) {
                    for (i = 0; rpm[i + 1] < x; i++) {}
                    p = hp[i] + (hp[i + 1] - hp[i]) * (x - rpm[i]) / (rpm[i + 1] - rpm[i])
                    p *= 1 + 0.006 * sin(x / 137)
                    printf "%d,%.1f,%.1f,%.1f\n", x, p, p * 5252.113 / x, 12.6 + 0.2 * cos(x / 91)
                }
            }' >"$pulls/dyno-day1.csv"
}
if [ -x "$cli" ] && make_pull; then
    start_program "$pulls/my-350.trq"
    keys alt+g p
    if [ -n "$(wait_window '^Add Measured Pull$')" ]; then
        type_text "$pulls/dyno-day1.csv"
        keys Return
        sleep 1
        keys Return   # the note on the column it skips
        focus_main
        shot_screen graph-measured-pull.png "${right_pane[@]}"
        # The table's right-click menu: Measured Pull Columns, the pull.
        click "${right_pane_table_tab[@]}"
        click "${graph_centre[@]}" 3
        keys m Down Return
        shot_screen table-measured.png 760x460+405+85
        click "${right_pane_graph_tab[@]}"
        # Match To Dyno with the intake closing, the intake lift and the
        # induction free (the dialog's keyboard starts on Bore).
        focus_main
        keys alt+n d
        match=$(wait_window '^Match To Dyno')
        if [ -n "$match" ]; then
            xdotool windowfocus --sync "$match"
            keys Tab Tab Tab Tab space Tab Tab Tab Tab Tab space Tab Tab Tab Tab space
            xdotool mousemove 0 0
            shot_window '^Match To Dyno' match-before.png
            keys alt+m
            # While it runs the dialog's title begins with its progress, "40% - ".
            sleep 1
            for _ in $(seq 240); do
                [ -z "$(xdotool search --onlyvisible --name '^[0-9]+% - Match To Dyno' 2>/dev/null)" ] && break
                sleep 0.5
            done
            shot_window '^Match To Dyno' match-after.png
            keys Escape
        else
            note "no Match To Dyno dialog: match-before.png and match-after.png not taken"
        fi
    else
        note "no Add Measured Pull dialog: the pictures of measured pulls not taken"
    fi
else
    note "no torqwell-cli beside the program: the pictures of measured pulls not taken"
fi

# Four engines on one graph, each in a colour of its own (the choice is
# remembered: this comes last of the graphs).
start_program chevy-350-street.trq chevy-454-big-block.trq ford-302-nitrous.trq chevy-383-built.trq
click "${graph_centre[@]}" 3
keys p
properties=$(wait_window '^Graph Properties$')
if [ -n "$properties" ]; then
    # Each list: (None), Torq1, then the other engines in the order they opened.
    choose_in_list "$properties" 200 50 2
    choose_in_list "$properties" 200 78 3
    choose_in_list "$properties" 200 106 4
    keys alt+c
    keys Return
    xdotool mousemove 200 300
    sleep 0.5
    shot_screen graph-colours.png "${right_pane[@]}"
fi
stop_program

# The dyno sheet, as the command line draws it, at half its 192 dpi: from a
# folder of engines with a plain name, since the sheet shows the file's path.
cli="$(dirname "$program")/torqwell-cli"
if [ -x "$cli" ]; then
    engines=/tmp/engines
    if mkdir "$engines" 2>/dev/null; then
        cp "$examples/chevy-383-built.trq" "$engines/"
        (cd "$engines" && "$cli" sheet chevy-383-built.trq -o "$scratch/sheet.png") >/dev/null 2>&1 || true
        rm -rf "$engines"
    else
        note "$engines exists already: the dyno sheet drawn from the examples folder"
        (cd "$examples" && "$cli" sheet chevy-383-built.trq -o "$scratch/sheet.png") >/dev/null 2>&1 || true
    fi
    if [ -f "$scratch/sheet.png" ]; then
        # The foot of the page is empty.
        convert "$scratch/sheet.png" -resize 50% -crop 816x970+0+0 +repage "$scratch/sheet-half.png"
        save_png "$scratch/sheet-half.png" dyno-sheet.png
    else
        note "torqwell-cli sheet failed: dyno-sheet.png not taken"
    fi
    # The same with the measured pull beside the engine it was matched to.
    if [ -f "$pulls/dyno-day1.csv" ] &&
        (cd "$pulls" && "$cli" sheet my-350.trq --pull dyno-day1.csv -o "$scratch/sheet-pull.png") >/dev/null 2>&1
    then
        convert "$scratch/sheet-pull.png" -resize 50% -crop 816x970+0+0 +repage "$scratch/sheet-pull-half.png"
        save_png "$scratch/sheet-pull-half.png" dyno-sheet-pull.png
    else
        note "torqwell-cli sheet --pull failed: dyno-sheet-pull.png not taken"
    fi
else
    note "no torqwell-cli beside the program: dyno-sheet.png not taken"
fi

# The whole engine form, on a screen tall enough to hold it, cut group by
# group: a turbocharged engine, so that the blower's values are in use.
stop_display
tall=1800
start_display "$width" "$tall"
start_program buick-231-turbo.trq
import -window root "$scratch/tall.png"
# The marks of the six groups are the last six found (the engine tab's icon
# lies in the same column above them).
mapfile -t tops < <(group_tops "$scratch/tall.png" 21 | tail -6)
if [ "${#tops[@]}" -ne 6 ]; then
    note "found ${#tops[@]} group marks instead of 6: the form's pictures not taken"
else
    # The form ends where the camshaft group's frame ends: where its left
    # edge, a grey line 6 pixels from the pane's edge, stops.
    names=(form-short-block form-cylinder-heads form-compression form-induction form-exhaust form-camshaft)
    frame_end=$(convert "$scratch/tall.png" -crop "1x$((tall - tops[5]))+6+${tops[5]}" +repage -depth 8 txt:- |
        awk -F'[,: ()]+' 'NR > 1 && $2 > 15 && $3 >= 200 && !found { print $2; found = 1 }')
    form_bottom=$((tops[5] + frame_end + 4))
    for i in 0 1 2 3 4 5; do
        top=$((tops[i] - 9))
        if [ "$i" -lt 5 ]; then bottom=$((tops[i + 1] - 9)); else bottom=$form_bottom; fi
        save_png "$scratch/tall.png" "${names[i]}.png" "388x$((bottom - top))+0+$top"
    done
fi

note "pictures written to $out"
