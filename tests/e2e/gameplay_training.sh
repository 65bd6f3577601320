#!/usr/bin/env bash
# A whole training match with the real executable under Wine and Xvfb: home ->
# play -> bot training, walking, a QA target placed in front of the camera and
# shot until it dies, the pause labels clicked in Ukrainian and English, a larger window;
# a second match: its pause panel against the first one's, the other renderer from
# its pause menu, another program taking the focus, Alt+F4 during play. Checks by
# pixels of the real X screen the shell screens, the match (the arena in place of
# the play screen, the HUD's crosshair and health panel where either backend puts
# them), the pause panel and the way home; then the log's events in order, the
# renderer chosen, the saved statistics in player.dat, the exit code and that
# nothing is left running. TARVO_E2E_RENDERER=d3d11 or vulkan forces a renderer.
# Screenshots and the performance line are left in the build folder.
# usage: gameplay_training.sh <build-dir>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
e2e_begin "$1" tarvo-e2e-play
need_tools xdotool xwd convert xwininfo python3
tarvo_wine_env "$build" || exit 1

shots=$build/e2e-gameplay
mkdir -p "$shots"
click_settle=0.5
e2e_at_exit() {  # keys and the button a failed step may have left down
  for key in w a s d shift; do xdotool keyup "$key" >/dev/null 2>&1; done
  xdotool mouseup 1 >/dev/null 2>&1
  [ -n "${logo_pid:-}" ] && kill "$logo_pid" 2>/dev/null
}

# Mean red, green and blue (0..255) of a rectangle on the design canvas.
canvas_mean() {  # canvas_mean <name> <left> <top> <right> <bottom>
  canvas_stat "$shots/$1.png" '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' "$2" "$3" "$4" "$5"
}
satisfies() {  # satisfies <python condition over r g b> <"r g b">
  python3 -c "import sys; r,g,b=map(int,'$2'.split()); sys.exit(0 if ($1) else 1)"
}
# The window's client area of a screenshot as binary PPM, for frame_check.
client_ppm() {  # client_ppm <name>
  convert "$shots/$1.png" -crop "${ww}x${wh}+${wx}+${wy}" +repage -strip "$root/$1.ppm"
}
# Screenshots <name> until one passes the named check of the match's frames (below)
# against the screenshot <reference>, failing after twenty tries (a loaded machine
# draws few frames a second). Prints what the last check measured.
await_frame() {  # await_frame <check> <name> <reference>
  local out
  client_ppm "$3"
  for _ in $(seq 1 20); do
    shot "$2"
    out=$(frame_check "$1" "$2" "$3") && { echo "$out"; return 0; }
    sleep 0.25
  done
  echo "$out"
  fail "$1 (screenshots in $shots)"
}
frame_check() {  # frame_check <check> <name> <reference>: exit status 0 when it holds
  client_ppm "$2"
  python3 - "$1" "$root/$2.ppm" "$root/$3.ppm" <<'PY'
import sys
def load(path):
    data = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 4:  # P6, width, height, maximum
        while data[at:at + 1].isspace(): at += 1
        end = at
        while not data[end:end + 1].isspace(): end += 1
        fields.append(data[at:end]); at = end
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[at + 1:]
what, frames = sys.argv[1], [load(p) for p in sys.argv[2:]]
W, H, px = frames[0]
def rgb(x, y, f=px): i = (int(y) * W + int(x)) * 3; return f[i], f[i + 1], f[i + 2]
def brightest(x, y):  # of the 5 x 5 pixels around a point (strokes are antialiased)
    return max((rgb(x + dx, y + dy) for dx in range(-2, 3) for dy in range(-2, 3)), key=sum)
cx, cy = W / 2, H / 2
ink = lambda c: min(c) > 185  # the HUD's near-white text and crosshair
lime = lambda c: c[1] > 170 and c[0] > 110 and c[2] < 90
alert = lambda c: c[0] > c[1] + 80 and c[0] > c[2] + 80  # low health turns Vulkan's cross red
dark = lambda c: max(c) < 70  # HUD panels (Vulkan's panel colour ends up about (37, 50, 55) on screen)
def share(cond, x0=0, y0=0, x1=None, y1=None, step=4):  # of the points of a rectangle that meet cond
    points = [(x, y) for y in range(int(y0), int(H if y1 is None else y1), step)
              for x in range(int(x0), int(W if x1 is None else x1), step)]
    return sum(1 for x, y in points if cond(x, y)) / len(points)
def moved(other): return lambda x, y: sum(abs(a - b) for a, b in zip(rgb(x, y), rgb(x, y, other))) > 24
ok = True
def expect(label, value, holds):
    global ok
    print(f"{what}: {label} = {value}{'' if holds else '  <- wrong'}")
    ok = ok and holds
if what == "the match on screen":
    changed = share(moved(frames[1][2]))
    expect("share of the client area changed from the play screen", f"{changed:.2f}", changed > 0.6)
    lit = share(lambda x, y: sum(rgb(x, y)) > 75)  # the play screen: about 0.14
    expect("share of the client area lit by arena geometry", f"{lit:.2f}", lit > 0.6)
    for label, x, y in (("left", cx - 15, cy), ("right", cx + 15, cy), ("top", cx, cy - 15), ("bottom", cx, cy + 15)):
        c = brightest(x, y)
        expect(f"crosshair {label} arm at ({x:.0f}, {y:.0f})", c, ink(c))
    c = brightest(56, H - 116)  # above the Direct3D 11 health text, which covers the cross's bar
    expect(f"health cross at (56, {H - 116})", c, lime(c) or alert(c))
    panel = [rgb(x, y) for x, y in ((200, H - 35), (300, H - 128), (340, H - 80))]
    expect("health panel fill at three points", panel,
           all(dark(c) for c in panel) and all(max(a) - min(a) < 14 for a in zip(*panel)))
elif what == "the pause panel on screen":
    # Both backends' panels are dark, centred, with their title across cx at cy - 205 .. cy - 185.
    changed = share(moved(frames[1][2]), cx - 330, cy - 240, cx + 330, cy + 240)
    expect("share of the panel's area changed by Escape", f"{changed:.2f}", changed > 0.5)
    title = share(lambda x, y: ink(rgb(x, y)), cx - 250, cy - 205, cx + 250, cy - 185, 1) * 500 * 20
    expect("bright pixels in the title band", int(title), title > 40)
    strip = share(lambda x, y: dark(rgb(x, y)), cx - 335, cy - 240, cx - 300, cy + 240)
    expect("dark share of the panel's left strip", f"{strip:.2f}", strip > 0.97)
elif what in ("the pause rows", "the same pause rows"):
    def labels(f):  # runs of rows of label-coloured pixels right of the rows' edges: centre, box, colour
        kind = lambda c: "ink" if ink(c) else "lime" if lime(c) else "cyan" if c[0] < 90 < c[1] and c[2] > 170 else None
        runs, last = [], -9
        for y in range(int(cy) - 110, int(cy) + 215):
            line = [(x, y, k) for x in range(int(cx) - 268, int(cx) + 280) for k in [kind(rgb(x, y, f))] if k]
            if len(line) < 3: continue
            if y - last > 4: runs.append([])
            runs[-1] += line; last = y
        return [(sum(p[0] for p in r) / len(r), sum(p[1] for p in r) / len(r), (min(r)[0], r[0][1], max(r)[0], r[-1][1]),
                 max(("ink", "lime", "cyan"), key=[p[2] for p in r].count)) for r in runs]
    seen, other = labels(px), labels(frames[1][2]) if what == "the same pause rows" else None
    expect("labels between the subtitle and the hint", len(seen), len(seen) == 4 and (other is None or len(other) == 4))
    for i, (x, y, (x0, y0, x1, y1), colour) in enumerate(seen):  # inside the row a click there hits
        expect(f"label {i} ({colour}) spans", (x0, y0, x1, y1), colour == ("ink", "ink", "cyan", "lime")[i % 4] and
               cx - 280 <= x0 and x1 <= cx + 280 and cy - 70 + 70 * i <= y0 and y1 <= cy - 15 + 70 * i)
        if other:  # the same label on the other panel
            expect(f"label {i} centre against the other panel's", (round(x - other[i][0]), round(y - other[i][1])),
                   abs(x - other[i][0]) < 10 and abs(y - other[i][1]) < 6 and colour == other[i][3])
    open(sys.argv[2].rsplit("/", 1)[0] + "/labels.txt", "w").writelines(f"{l[0]:.0f} {l[1]:.0f}\n" for l in seen)
elif what == "the pause panel a fresh match draws":  # its bright pixels where this one has them
    box = [(x, y) for y in range(int(cy) - 270, int(cy) + 275, 2) for x in range(int(cx) - 350, int(cx) + 350, 2)]
    a, b = ({p for p in box if f[:2] == (W, H) and ink(rgb(*p, f[2]))} for f in frames)
    expect("share of bright panel pixels in both", f"{len(a & b) / len(a | b or [0]):.2f}", len(a & b) > 0.6 * len(a | b) > 120)
sys.exit(0 if ok else 1)
PY
}

# Captures until a canvas rectangle meets the condition (a loaded machine repaints late).
await_screen() {  # await_screen <what> <name> <left> <top> <right> <bottom> <condition>
  local rgb
  for _ in $(seq 1 40); do
    shot "$2"
    rgb=$(canvas_mean "$2" "$3" "$4" "$5" "$6")
    satisfies "$7" "$rgb" && return 0
    sleep 0.25
  done
  fail "$1: mean colour $rgb does not satisfy $7"
}

# --- start with a fresh data root; QA keys on -------------------------------------
export TARVO_RUNTIME_QA=1
start_game() {
  rm -rf "$root/data"; mkdir -p "$root/data/Settings"
  export TARVO_QA_DATA_ROOT=$(winepath_of "$root/data")
  log=$root/data/logs/tarvonix-volley.log
  local renderer=Auto
  case ${TARVO_E2E_RENDERER:-} in d3d11) renderer=Direct3D11 ;; vulkan) renderer=Vulkan ;; esac
  printf '{\n  "schemaVersion": 1,\n  "renderer": "%s",\n  "fpsLimit": %s\n}\n' "$renderer" \
    "${TARVO_E2E_FPS_LIMIT:-60}" > "$root/data/Settings/game.json"
  run_bin TarvonixVolley.exe
  pid=$!
  win=$(window_of 'TARVONIX VOLLEY') || fail "no main window"
}

# Without a stored session the splash hands over to sign-in; Escape while the
# splash is shown goes to the home screen instead. Try again on a slow start.
home=
for attempt in 1 2 3; do
  start_game
  geometry
  # The splash stays at least 1.2 s; keys sent after it ended do nothing on home.
  for _ in $(seq 1 16); do
    xdotool mousemove "$((wx + ww / 2))" "$((wy + wh / 2))" >/dev/null 2>&1
    xdotool windowfocus "$win" >/dev/null 2>&1
    xdotool key --window "$win" Escape >/dev/null 2>&1
    has 'SplashExitReason' && break
    sleep 0.05
  done
  sleep 1
  geometry
  shot 01-home
  # The play button: a wide lime bar.
  rgb=$(canvas_mean 01-home 620 545 1400 610)
  if ! has 'SplashExitReason' && python3 -c "r,g,b=map(int,'$rgb'.split()); exit(0 if g>170 and r>120 and b<80 else 1)"; then
    home=yes; break
  fi
  echo "note: attempt $attempt missed the splash (home button $rgb); starting again"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=
done
[ -n "$home" ] || fail "the home screen was not reached"

# --- home -> play -> bot training --------------------------------------------------
click_canvas 1017 577                     # START GAME
await_screen "play screen: free-for-all card selected" 02-play 340 290 560 312 "b > r + 15"
click_canvas 597 800                      # the bot training card
wait_for 'BotTrainingSelected' 10 || fail "the training card click did not reach the dispatcher"
await_screen "play screen: training card selected" 03-play-training 700 800 1100 850 "b > r + 15"
click_canvas 1503 833                     # START TRAINING
for _ in $(seq 1 600); do
  has 'GameplaySessionStarted' && break
  has 'BotTrainingStartFailed' && fail "the training did not start"
  sleep 0.05
done
has 'GameplaySessionStarted' || fail "the training did not start in 30 s"
sleep 1.5

# --- walk ----------------------------------------------------------------------------
xdotool keydown w; sleep 1.2; xdotool keyup w
xdotool keydown d; sleep 0.6; xdotool keyup d
xdotool keydown shift keydown s; sleep 0.6; xdotool keyup s keyup shift

# --- the match on the real screen: the arena where the play screen was, the HUD -----
geometry
await_frame "the match on screen" 04-training 03-play-training

# --- a target in front of the camera, fired at until it dies -----------------------
xdotool key F6
wait_for 'RuntimeQaTargetPositioned' 5 || fail "F6 did not place the QA target"
for burst in $(seq 1 12); do
  xdotool key F6; sleep 0.1
  xdotool mousedown 1; sleep 0.45; xdotool mouseup 1
  sleep 0.2
  has 'PlayerKilledBot' && break
done
has 'PlayerKilledBot' || fail "no kill after 12 bursts"
sleep 8                                    # a longer run for the frame rate figure

# --- pause; Settings -> Graphics, English, 2560 x 1440 (fitted to the screen) -> Escape --
lime="g > 170 and r > 120 and b < 80"  # a selected button
pause_row() {  # pause_row <0..3>: a click on that row, centred on the client area as drawn
  geometry; xdotool mousemove "$((wx + ww / 2))" "$((wy + wh / 2 - 43 + 70 * $1))"; sleep 0.15; xdotool click 1
}
graphics_from_pause() {  # graphics_from_pause <name>: the settings row, then GRAPHICS
  pause_row 2
  await_screen "settings from the pause panel" "$1" 96 205 386 353 "g > 100 and g > b + 40"
  click_canvas 241 322; await_screen "graphics settings" "$1" 96 291 386 353 "$lime"
}
after_click() {  # after_click <0..3> <event>: a click where the last pause rows check saw that label, then one more event
  local x y before
  before=$(log_events | grep -cx "$2")
  read -r x y < <(sed -n "$(($1 + 1))p" "$root/labels.txt")
  geometry; xdotool mousemove "$((wx + x))" "$((wy + y))"; sleep 0.15; xdotool click 1
  for _ in $(seq 1 100); do [ "$(log_events | grep -cx "$2")" -gt "$before" ] && return 0; sleep 0.1; done
  return 1
}
# Labels where their rows are clicked, the same on the main window for an inactive program; restart by its label.
pause_checks() {  # pause_checks <name> <reference>
  await_frame "the pause rows" "$1-rows" "$2"
  xlogo -geometry "200x150+$((wx + 20))+$((wy + 20))" 2>/dev/null & logo_pid=$!
  xdotool windowfocus "$(timeout 30 xdotool search --sync --onlyvisible --pid "$logo_pid" | head -1)"
  await_frame "the same pause rows" "$1-inactive" "$1-rows"
  kill "$logo_pid"; logo_pid=
  xdotool windowfocus "$win"
  after_click 1 GameplaySessionStarted || fail "a click on the visible restart label did not restart the training"
}
geometry
shot 05-before-pause
xdotool key Escape
await_frame "the pause panel on screen" 06-pause 05-before-pause
pause_checks 06-uk 06-pause
graphics_from_pause 07-settings
click_canvas 241 752; click_canvas 1145 407; await_screen "English" 07-settings 940 370 1350 445 "$lime"
click_canvas 241 322; await_screen "graphics settings" 07-settings 96 291 386 353 "$lime"
small=$ww
click_canvas 1425 643                     # 2560 x 1440
for _ in $(seq 1 100); do geometry; [ "$ww" -gt "$small" ] && break; sleep 0.1; done
[ "$ww" -gt "$small" ] || fail "the window did not grow"
shot 08-settings-grown
xdotool key Escape
await_frame "the pause panel on screen" 09-pause-grown 08-settings-grown
pause_checks 09-en 09-pause-grown
after_click 3 GameplaySessionEnded || fail "a click on the visible exit label did not end the session"
await_screen "home screen after the match" 10-home-after 620 545 1400 610 "$lime"

# --- a fresh match at that size: the same pause panel ---------------------------------
click_canvas 1017 577                     # START GAME; the training card stays chosen
await_screen "play screen: training card selected" 11-play 700 800 1100 850 "b > r + 15"
click_canvas 1503 833                     # START TRAINING
wait_for 'RenderBackendReused' 30 || fail "the second training did not start"
await_frame "the match on screen" 12-training 11-play
xdotool key Escape
await_frame "the pause panel on screen" 13-pause-fresh 12-training
frame_check "the pause panel a fresh match draws" 09-pause-grown 13-pause-fresh || fail "pause panel after the resize"

# --- the other renderer, chosen from the pause menu, takes over the match ---------------
other=VULKAN x=960; has 'RenderBackendInitialized=VULKAN' && other="DIRECT3D 11" x=1310
graphics_from_pause 14-settings
click_canvas "$x" 423; await_screen "$other chosen" 14-settings "$((x - 140))" 400 "$((x + 140))" 447 "$lime"
logo_at="200x150+$((wx + ww - 240))+$((wy + 40))"  # another program, under the view made next
xlogo -geometry "$logo_at" 2>/dev/null & logo_pid=$!
logo=$(timeout 30 xdotool search --sync --onlyvisible --pid "$logo_pid" | head -1)
xdotool key Escape
await_frame "the pause panel on screen" 15-pause-switched 14-settings
grep 'RenderBackendInitialized=' "$log" | tail -1 | grep -q "=$other" || fail "the match did not move to $other"
xdotool key Escape
await_frame "the match on screen" 16-resumed 11-play

# --- the other program takes the focus: the pause panel, nothing of the view above it ----
xdotool windowfocus "$logo"
await_frame "the pause panel on screen" 17-inactive 16-resumed
frame_check "the same pause rows" 17-inactive 15-pause-switched || fail "the main window's pause rows"
[ "$(convert "$shots/17-inactive.png" -crop "$logo_at" -format '%[fx:int(mean*255)]' info:)" -gt 150 ] ||
  fail "the other program's window is covered"
pause_row 0                               # a click brings the program back and resumes
await_frame "the match on screen" 18-active 11-play

# --- Alt+F4 during play ------------------------------------------------------------------
closed_at=$(date +%s%N)
close_and_wait
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4 during play"
echo "closed during play on $other: exit code 0 after $(( ($(date +%s%N) - closed_at) / 1000000 )) ms"
[ -z "$(pgrep -f TarvonixVolley.exe | sed 's|.*|/proc/&/environ|' | xargs -r grep -lxz "WINEPREFIX=$WINEPREFIX")" ] ||
  fail "the game is still running in this prefix"

# --- the log: events in order -------------------------------------------------------------
in_order 1 BotTrainingSelected BotTrainingStartRequested 'GraphicsPreflight=*' 'GraphicsPreflightPassed Selected=*' \
  GameplaySubsystemStart ZE001LoadCompleted 'RenderBackendInitialized=*' GameplaySessionStarted \
  RuntimeQaTargetPositioned PlayerKilledBot 'RuntimePerformance Renderer=*' GameplaySessionEnded \
  RenderBackendReused 'RenderBackendInitialized=*' 'RuntimePerformance Renderer=*' GameplaySessionEnded
events=$(log_events)
echo "renderer: $(echo "$events" | grep -m1 '^RenderBackendInitialized=')"
# The render view is a window Vulkan can present to (a popup under Wine): a
# Vulkan selection starts Vulkan, with no fall back to Direct3D 11.
if echo "$events" | grep -q '^GraphicsPreflightPassed Selected=VULKAN'; then
  echo "$events" | grep -qx 'RenderBackendInitialized=VULKAN' || fail "Vulkan was selected but did not start"
fi
fallback=$(echo "$events" | grep -m1 '^VulkanInitializationFailedTryingD3D11=') && fail "Vulkan fell back: $fallback"
perf=$(echo "$events" | grep -m1 '^RuntimePerformance ')
echo "performance (fps limit ${TARVO_E2E_FPS_LIMIT:-60}): $perf"
echo "$perf" > "$shots/performance.txt"

# --- player.dat: two trainings started, the first one completed ----------------------------
figures=$(python3 "$(dirname "${BASH_SOURCE[0]}")/player_dat.py" figures "$root/data/Profile/player.dat" LOCAL) ||
  fail "player.dat cannot be read"
read -r started completed kills deaths shots hits _ seconds <<< "$figures"
echo "player.dat: started $started completed $completed kills $kills deaths $deaths shots $shots hits $hits" \
  "play seconds $seconds"
[ "$started" -eq 2 ] && [ "$completed" -eq 1 ] && [ "$kills" -ge 1 ] && [ "$shots" -ge "$kills" ] && [ "$hits" -ge 1 ] &&
  awk "BEGIN { exit !($seconds > 8) }" || fail "player.dat does not hold the training"
echo "ok"
