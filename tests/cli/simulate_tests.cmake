# simulate: the map of a case with a search, its files, and every refusal once. Included by
# CMakeLists.txt, whose vestrand_cli_test runs each case.
set(SEARCH_GPX ${VESTRAND_TEST_DATA}/creeping-43.5N3.75W-c0-s1-l4-n1.gpx)
set(SIM simulate --lat 43.5 --lon -3.75 --time 2026-12-07T14:30Z --particles 2000 --land none)
set(SIM_REFUSED simulate --lat 43.5 --lon -3.75)

vestrand_cli_test(simulate.text STATUS 0
  MESSAGE "particles 2000\ntime      2026-12-07T20:30:00Z\nmean [^\n]*\naxis [^\n]*\nsides     [0-9.]+ % right, [0-9.]+ % left\narea 50% [^\n]*\narea 90% [^\n]*\ncell [^\n]*\nsearch 1  [^\n]*creeping[^\n]* from 2026-12-07T15:30:00Z: POS [0-9.]+ %, cumulative [0-9.]+ %\n$"
  ARGS ${SIM} --x-error 2 --hours 6 --search ${SEARCH_GPX} --search-start 2026-12-07T15:30Z
       --speed 8 --sweep-width 1)
# A class with a wind series, a track, and both files: the paths first, then the JSON line.
vestrand_cli_test(simulate.files STATUS 0 WELLFORMED map.svg map.gpx
  MESSAGE "^\\{\"particles\":2000,\"time\":\"2026-12-08T02:30:00Z\",\"mean\":\\{\"lat\":[-0-9.e]+,\"lon\":[-0-9.e]+\\},\"axis_course\":[-0-9.e]+,\"sd_along_nm\":[-0-9.e]+,\"sd_across_nm\":[-0-9.e]+,\"right\":[0-9.e-]+,\"left\":[0-9.e-]+,\"area50_nm2\":[0-9.e-]+,\"area90_nm2\":[0-9.e-]+,\"searches\":\\[\\],\"cumulative_pos\":0,\"svg\":\"map.svg\",\"gpx\":\"map.gpx\",\"cell_nm\":[0-9.e-]+,\"cells\":.\\{\"lat\":[-0-9.e]+,\"lon\":[-0-9.e]+,\"p\":[0-9.e-]+\\}"
  ARGS ${SIM} --lat2 43.6 --lon2 -3.6 --time2 2026-12-07T18:30Z --x-error gnss --object PIW-1
       --wind 2026-12-07T14:00Z:270:15 --wind 2026-12-08T00:00Z:300:25 --until 2026-12-08T02:30Z
       --svg map.svg --gpx map.gpx --json)

# Refusals: status 2, the option and the reason, nothing written.
foreach(refusal
    "time|--time '2026-02-29T10:00Z' refused: the day must lie from 01 to 28|--hours|1"
    "track|a track needs --lat2, --lon2 and --time2 together|--hours|1|--lat2|44"
    "time2|--time2 '2026-12-07T14:00Z' refused: must come after --time|--hours|1|--lat2|44|--lon2|-3|--time2|2026-12-07T14:00Z"
    "fix|--x-error 'sonar' refused: expected nautical miles or a fix|--hours|1|--x-error|sonar"
    "object|--object 'BOAT-99' refused: no such class|--hours|1|--object|BOAT-99|--wind-from|0|--wind-speed|10"
    "object_manual|--object 'PIW-1' refused: --leeway-toward|--hours|1|--object|PIW-1|--wind-from|0|--wind-speed|10|--leeway-toward|90|--leeway-speed|0.5"
    "wind_alone|a wind needs --object|--hours|1|--wind-from|0|--wind-speed|10"
    "object_alone|--object needs its wind|--hours|1|--object|PIW-1"
    "wind_form|--wind '270:15' refused: expected TIME:FROM:SPEED|--hours|1|--object|PIW-1|--wind|270:15"
    "end|simulate needs one of --until TIME and --hours H|--seed|3"
    "hours|--hours '721' refused: must be greater than 0 and at most 720 hours|--hours|721"
    "until_track|comes before --time2|--until|2026-12-07T15:00Z|--lat2|44|--lon2|-3|--time2|2026-12-07T16:00Z"
    "particles|--particles '10000001' refused: must lie from 1 to 10000000|--hours|1|--particles|10000001"
    "step|--step-minutes '0' refused: must lie from 1 to 60 minutes|--hours|1|--step-minutes|0"
    "jibe|--jibe-rate '2' refused: must lie from 0 to 1|--hours|1|--jibe-rate|2"
    "cell|--cell '0' refused: must be greater than 0|--hours|1|--cell|0"
    "current|--current-set '90' refused: a direction needs its speed, --current-drift|--hours|1|--current-set|90"
    "current_error|--current-error '-1' refused: must lie from 0 to 20 knots|--hours|1|--current-error|-1"
    "search_count|--speed is given 0 times for 1 --search|--hours|6|--search|${SEARCH_GPX}|--search-start|2026-12-07T15:00Z|--sweep-width|1"
    "search_missing|--search 'missing.gpx' refused: cannot read 'missing.gpx'|--hours|6|--search|missing.gpx|--search-start|2026-12-07T15:00Z|--speed|8|--sweep-width|1"
    "search_early|--search-start '2026-12-07T14:00Z' refused: comes before --time|--hours|6|--search|${SEARCH_GPX}|--search-start|2026-12-07T14:00Z|--speed|8|--sweep-width|1"
    "search_late|the search ends at 2026-12-07T16:00:00Z, after the map's time|--hours|1|--search|${SEARCH_GPX}|--search-start|2026-12-07T14:30Z|--speed|8|--sweep-width|1"
    )
  string(REPLACE "|" ";" parts "${refusal}")
  list(POP_FRONT parts name message)
  string(REGEX REPLACE "([][.*+?^$(){}|\\\\])" "\\\\\\1" message "${message}")
  set(time --time 2026-12-07T14:30Z)
  if(name STREQUAL "time")
    set(time --time 2026-02-29T10:00Z)
  endif()
  vestrand_cli_test(simulate.refuse.${name} STATUS 2 MESSAGE "${message}"
                    ARGS ${SIM_REFUSED} ${time} ${parts})
endforeach()

# plan --particles: the plan over the cloud, with both plans' POS.
vestrand_cli_test(plan.particles STATUS 0
  MESSAGE "\"particles\":\\{\"pos\":0\\.[0-9]+,\"normal_pos\":0\\.74[0-9]*\\}\\}\n$"
  ARGS plan --land none --lat 43:30N --lon 003:45W --hours 6 --current-set 70 --current-drift 0.6
       --object PIW-1 --wind-from 300 --wind-speed 20 --x-error 2 --unit A:15:3:0.6
       --unit B:80:1.5:0.8 --no-gpx --json --particles 5000 --seed 3)
vestrand_cli_test(plan.refuse.seed STATUS 2 MESSAGE "--seed refused: it describes the cloud of --particles"
  ARGS plan --lat 43.5 --lon -3.75 --hours 3 --x-error 1 --unit A:10:4:1 --json --seed 3)

# simulate through forecast files (made by tests/fields): the files named in text and JSON, the
# coast, the refusal outside them and the constants there. The drift itself is the library's,
# tested in tests/drift; here the steady files give the very rows of the constants they hold.
set(F ${VESTRAND_FIELD_FILES})
# The shores are left out (--land none): the files' own land is the coast here.
set(SIM_FILES simulate --lat 43.5 --lon -3.75 --time 2024-01-15T00:00Z --hours 24 --particles 2000
              --land none)
set(STEADY_MEAN "mean      N43º 32\\.37'  W003º 20\\.07'\n")
set(simulate_forecast)
vestrand_cli_test(simulate.forecast.constants STATUS 0 MESSAGE "${STEADY_MEAN}"
  ARGS ${SIM_FILES} --object PIW-1 --wind-from 300 --wind-speed 20 --current-set 70
       --current-drift 0.6)
vestrand_cli_test(simulate.forecast.text STATUS 0
  MESSAGE "^particles 2000\ntime      2024-01-16T00:00:00Z\nwind      from '${F}/drift-wind-steady\\.grib2'\ncurrent   from '${F}/drift-current-steady\\.nc'\n${STEADY_MEAN}"
  ARGS ${SIM_FILES} --object PIW-1 --wind-file ${F}/drift-wind-steady.grib2
       --current-file ${F}/drift-current-steady.nc --wind-file ${F}/drift-wind-steady.grib2)
vestrand_cli_test(simulate.forecast.json STATUS 0
  MESSAGE "\"cells\":\\[.*\\],\"forcing\":\\{\"wind_files\":\\[\"${F}/drift-wind-steady\\.grib2\"\\],\"current_files\":\\[\"${F}/drift-current-steady\\.nc\"\\],\"from\":\"2024-01-15T00:00:00Z\",\"to\":\"2024-01-16T00:00:00Z\",\"step_minutes\":10,\"steps\":144,\"outside\":\"refuse\",\"stranded_particles\":0,\"stranded_share\":0\\}\\}\n$"
  ARGS ${SIM_FILES} --object PIW-1 --wind-file ${F}/drift-wind-steady.grib2
       --current-file ${F}/drift-current-steady.nc --json)
# Southward at 1 m/s onto the land of 43N: every particle strands there.
vestrand_cli_test(simulate.forecast.stranded STATUS 0
  MESSAGE "current   from '${F}/drift-current-coast\\.nc'\ncoast     2000 particles, 100\\.0 % of the weight, stranded where the current files give no current \\(land in the file\\)\nmean      N4[23]º [0-9]"
  ARGS ${SIM_FILES} --current-file ${F}/drift-current-coast.nc)
vestrand_cli_test(simulate.forecast.outside STATUS 2
  MESSAGE "^vestrand-cli: a particle drifts out of the current files: no current file holds [0-9.]*N [0-9.]*W at 2024-01-15T12:05:00Z: '${F}/drift-current-half\\.nc' holds latitudes 42N to 45N, longitudes 6W to 1W, times 2024-01-15T00:00:00Z to 2024-01-15T12:00:00Z \\(2 times\\) \\(not the time\\); with --outside constant the simulation takes --current-set and --current-drift there\n$"
  ARGS ${SIM_FILES} --current-file ${F}/drift-current-half.nc)
vestrand_cli_test(simulate.forecast.outside_start STATUS 2
  MESSAGE "^vestrand-cli: the cloud's start lies outside the wind files: .*\\(not the position\\); with --outside constant the simulation takes --wind-from and --wind-speed there\n$"
  ARGS simulate --lat 41.5 --lon -3.75 --time 2024-01-15T00:00Z --hours 1 --object PIW-1
       --wind-file ${F}/drift-wind-steady.grib2 --land none)
vestrand_cli_test(simulate.forecast.outside_constant STATUS 0
  MESSAGE "\"outside\":\"constant\",\"stranded_particles\":0,\"stranded_share\":0\\}\\}\n$"
  ARGS ${SIM_FILES} --current-file ${F}/drift-current-half.nc --outside constant
       --current-set 180 --current-drift 1 --json)
# plan --particles drifts its cloud through the files too: the steady files give the area of the
# constants they hold (the first corner to 1e-6 degrees), the wind that turns at 12:00 another.
set(PLAN_CLOUD plan --land none --lat 43.5 --lon -3.75 --hours 20 --object PIW-1 --x-error 2
               --unit A:2:3:0.6 --no-gpx --json --particles 5000 --seed 3)
vestrand_cli_test(plan.particles.constants STATUS 0
  MESSAGE "\"corners\":.\\{\"lat\":43\\.587696[0-9]*,\"lon\":-3\\.399727"
  ARGS ${PLAN_CLOUD} --wind-from 300 --wind-speed 20 --current-set 70 --current-drift 0.6)
vestrand_cli_test(plan.particles.files STATUS 0
  MESSAGE "\"corners\":.\\{\"lat\":43\\.587696[0-9]*,\"lon\":-3\\.399727"
  ARGS ${PLAN_CLOUD} --time 2024-01-15T00:00Z --wind-file ${F}/drift-wind-steady.grib2
       --current-file ${F}/drift-current-steady.nc)
vestrand_cli_test(plan.particles.turning STATUS 0
  MESSAGE "\"corners\":.\\{\"lat\":43\\.6172[0-9]*,\"lon\":-3\\.4483"
  ARGS ${PLAN_CLOUD} --time 2024-01-15T00:00Z --wind-file ${F}/drift-wind-turn.grib2
       --current-file ${F}/drift-current-steady.nc)
list(APPEND simulate_forecast plan.particles.files plan.particles.turning)
list(APPEND simulate_forecast simulate.forecast.constants simulate.forecast.text
     simulate.forecast.json simulate.forecast.stranded simulate.forecast.outside
     simulate.forecast.outside_start simulate.forecast.outside_constant)
foreach(refusal
    "outside_without_file|--outside 'constant' refused: it serves the forecast files|--hours|1|--outside|constant"
    "series_with_file|--wind '2024-01-15T00:00Z:270:15' refused: a wind series does not go with forecast files|--hours|1|--object|PIW-1|--wind|2024-01-15T00:00Z:270:15|--current-file|${F}/drift-current-steady.nc"
    "constant_beside_file|--current-set '70' refused: --current-file gives the current|--hours|1|--current-file|${F}/drift-current-steady.nc|--current-set|70|--current-drift|1"
    "outside_without_constant|--outside 'constant' refused: outside the wind files it takes the constant given on the command line: give --wind-from and --wind-speed|--hours|1|--object|PIW-1|--wind-file|${F}/drift-wind-steady.grib2|--outside|constant"
    "wind_file_without_object|--wind-file requires --object|--hours|1|--wind-file|${F}/drift-wind-steady.grib2"
    "file_refused|'${F}/refuse-times.nc': the times are out of order|--hours|1|--current-file|${F}/refuse-times.nc")
  string(REPLACE "|" ";" parts "${refusal}")
  list(POP_FRONT parts name message)
  string(REGEX REPLACE "([][.*+?^$(){}|\\\\])" "\\\\\\1" message "${message}")
  vestrand_cli_test(simulate.forecast.refuse.${name} STATUS 2 MESSAGE "${message}"
                    ARGS ${SIM_REFUSED} --time 2024-01-15T00:00Z ${parts})
  list(APPEND simulate_forecast simulate.forecast.refuse.${name})
endforeach()
list(TRANSFORM simulate_forecast PREPEND cli.)
set_tests_properties(${simulate_forecast} PROPERTIES FIXTURES_REQUIRED field_files)
