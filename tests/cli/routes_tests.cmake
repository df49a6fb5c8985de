# Runs of vestrand-cli for routes sent to a plotter, trackline searches, the first turn and
# patterns laid in the drifting water. Included by CMakeLists.txt, whose vestrand_cli_test it uses.

# --- nmea: the sentences are the library's (tests/core/nmea_test.cpp); here the command's choices

set(GOLDEN_SECTOR ${VESTRAND_TEST_DATA}/sector-40N10W-c30-d2.gpx)
set(GOLDEN_PARALLEL ${VESTRAND_TEST_DATA}/parallel-43.5N3.75W-c0-s1-l4-n1.gpx)
vestrand_cli_test(nmea.stdout STATUS 0
  MESSAGE "^\\$GPWPL,4000\\.0000,N,01000\\.0000,W,VS01\\*58\r\n.*\\$GPRTE,1,1,c,VS 30\\.0,VS01,VS02,VS03,VS04,VS05,VS06,VS07,VS08\\*07\r\n$"
  ARGS nmea ${GOLDEN_SECTOR} --pause-ms 0)
# A route sent alone keeps the names it has in the whole file's upload.
vestrand_cli_test(nmea.route_by_name STATUS 0
  MESSAGE "^\\$ECWPL,4328\\.0000,N,00344\\.3111,W,PS06\\*41\r\n.*\\$ECRTE,1,1,c,PS-right 0\\.0,PS06,PS07,PS08,PS09,PS10\\*48\r\n$"
  ARGS nmea ${GOLDEN_PARALLEL} --route "${STEM} - PS-right 0.0" --talker EC --pause-ms 0)

foreach(refusal
    "route|--route 'x' refused: '.*' holds the routes '${STEM} - PS-left 0\\.0', '${STEM} - PS-right 0\\.0'|${GOLDEN_PARALLEL};--route;x"
    "talker|--talker 'G' refused: a talker is two capital letters|${GOLDEN_SECTOR};--talker;G"
    "baud_network|--baud refused: --to 'udp:127\\.0\\.0\\.1:10110' is no serial port|${GOLDEN_SECTOR};--to;udp:127.0.0.1:10110;--baud;9600"
    "baud_odd|--baud '5000' refused: expected 1200, 2400, 4800|${GOLDEN_SECTOR};--to;/dev/ttyS0;--baud;5000"
    "pause|--pause-ms '10001' refused: must lie from 0 to 10000 milliseconds|${GOLDEN_SECTOR};--pause-ms;10001"
    "port|--to 'tcp:localhost:0' refused: the port '0' is not a number from 1 to 65535|${GOLDEN_SECTOR};--to;tcp:localhost:0"
    "no_file|cannot read 'missing\\.gpx': No such file or directory|missing.gpx"
    "not_gpx|cannot read '.*rtz-1\\.0\\.xsd': line 17: not a GPX file: its root element is <schema>|${VESTRAND_TEST_DATA}/rtz/rtz-1.0.xsd")
  string(REPLACE "|" ";" fields "${refusal}")
  list(POP_FRONT fields name message)
  vestrand_cli_test(nmea.refuse.${name} STATUS 2 MESSAGE "${message}" ARGS nmea ${fields})
endforeach()
vestrand_cli_test(nmea.not_a_device STATUS 1
  MESSAGE "cannot send to serial port /dev/null at 4800 baud: it is not a serial port .*; nothing was sent"
  ARGS nmea ${GOLDEN_SECTOR} --to /dev/null)

# --- The first turn and the drift: the defaults write the golden files ------------------------

vestrand_cli_test(first_turn.starboard_is_golden STATUS 0 GOLDEN square-40N10W-c0-s1-n2.gpx
  ARGS square --lat 40 --lon -10 --course 0 --spacing 1 --count 2 --stem ${STEM}
       --first-turn starboard)
vestrand_cli_test(drift.zero_is_golden STATUS 0 GOLDEN sector-40N10W-c30-d2.gpx
  ARGS sector --lat 40 --lon -10 --course 30 --leg 2 --stem ${STEM} --drift-set 90
       --drift-speed 0 --speed 5)
# A compensated file never takes the ground file's name; its route and summary say the drift.
vestrand_cli_test(drift.compensated STATUS 0
  WELLFORMED "${STEM} CS 0 drift 090 1.5kn.gpx" "${STEM} - CS 0.0 compensated for drift 090 at 1.5 kn.rtz"
  MESSAGE "^${STEM} CS 0 drift 090 1\\.5kn\\.gpx\n${STEM} - CS 0\\.0 compensated for drift 090 at 1\\.5 kn\\.rtz\n.*time +1:30 \\(1\\.50 h\\)\n.*drift +90° at 1\\.5 kn: legs laid in the drifting water, 12\\.[0-9][0-9] NM over the ground\nunit +leg .*\n +1 +1 +1 +2 +10\\.6 +2\\.03 +2\\.03 +0:15\n"
  ARGS ${CREEPING} --loops 1 --drift-set 90 --drift-speed 1.5 --format both --summary --legs)

foreach(refusal
    "pattern_drift_too_fast|--drift-speed '4' refused: a drift of 4 kn is half the search speed of 8 kn or more|${SQUARE};--count;1;--drift-set;0;--drift-speed;4"
    "pattern_drift_set_alone|--drift-set '90' refused: a direction needs its speed, --drift-speed|${SQUARE};--count;1;--drift-set;90"
    "pattern_drift_speed_range|--drift-speed '21' refused: must lie from 0 to 20 knots|${SQUARE};--count;1;--drift-set;90;--drift-speed;21;--speed;50"
    "first_turn|--first-turn 'left' refused: expected port or starboard|${SECTOR};--lat;40;--lon;-10;--first-turn;left"
    "trackline_one_point|trackline needs the route's points, at least two|trackline;--route;43.5,-3.75;--spacing;1"
    "trackline_point|--route '43\\.5' refused: position: |trackline;--route;43.5;--route;44,-3;--spacing;1"
    "trackline_sharp|--route refused: the route turns 17[0-9] degrees at route point 2, more than the 150|trackline;--route;40,-10;--route;40.1,-10;--route;40.02,-9.99;--spacing;1"
    "trackline_units|--units '21' refused: must lie from 1 to 20 units|trackline;--route;40,-10;--route;40.1,-10;--spacing;1;--units;21")
  string(REPLACE "|" ";" fields "${refusal}")
  list(POP_FRONT fields name message)
  vestrand_cli_test(refuse.${name} STATUS 2 MESSAGE "${message}" ARGS ${fields})
endforeach()

# --- trackline: the geometry is the library's (tests/core/trackline_test.cpp) -----------------

vestrand_cli_test(trackline.return STATUS 0 WELLFORMED "${STEM} TS 20.gpx"
  MESSAGE "^${STEM} TS 20\\.gpx\npattern +trackline search \\(TS\\), 1 unit\nlegs +5\n.*unit 1 +${STEM} - TSR 19\\.9: 5 legs.*\nStart +N43º 30\\.00'  W003º 45\\.00'\nEnd +N44º 30\\.00'  W003º 30\\.00'\nCSP +N43º 30\\.17'  W003º 45\\.65'\n$"
  ARGS trackline --route 43.5,-3.75 --route 44N,3.5W --route "44 30N 3 30W" --spacing 1 --return
       --stem ${STEM} --summary)
