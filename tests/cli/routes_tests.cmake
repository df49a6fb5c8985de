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
