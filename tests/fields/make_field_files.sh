#!/usr/bin/env bash
# Makes the small forecast files the fields tests read, with Debian's own tools: grib_filter on
# the GRIB samples of libeccodes-data (IEEE packing, so the values are exact) and ncgen from CDL
# text. Also writes grib_get_data's listing of the real GFS file's 10 m wind for comparison.
#
#   make_field_files.sh OUT SAMPLES GFS_GRIB2 GFS_GRIB1   (grib_filter, grib_get_data, ncgen on PATH)
set -eu
out=$1 samples=$2 gfs=$3 gfs1=$4
# The rules and CDL of each file, beside the other test data.
data=$(cd "$(dirname "$0")/../data/fields" && pwd)
rm -rf "$out" && mkdir -p "$out" && cd "$out"
sfc=$samples/regular_ll_sfc_grib2.tmpl

# plain NAME TEMPLATE: the rules on standard input as they stand.
plain() {
  cat >"$1.rules"
  grib_filter -o "$1" "$1.rules" "$2"
  rm "$1.rules"
}

# grib NAME TEMPLATE: the rules on standard input, after a 3 x 3 grid of 1 degree at 40..42N,
# 350..352E (north to south, as the sample scans) valid on 2024-01-15.
grib() {
  {
    cat <<'RULES'
set packingType = "grid_ieee";
set Ni = 3;
set Nj = 3;
set latitudeOfFirstGridPointInDegrees = 42;
set longitudeOfFirstGridPointInDegrees = 350;
set latitudeOfLastGridPointInDegrees = 40;
set longitudeOfLastGridPointInDegrees = 352;
set iDirectionIncrementInDegrees = 1;
set jDirectionIncrementInDegrees = 1;
set dataDate = 20240115;
set dataTime = 0;
RULES
    cat
  } >"$1.rules"
  grib_filter -o "$1" "$1.rules" "${2:-$sfc}"
  rm "$1.rules"
}

# u = 1 + x + 2y + xy/2 with x = lon - 350, y = lat - 40, and v = -u at 06:00; twice u and a steady
# v of 3 at 12:00. Bilinear interpolation is exact for such a field.
grib wind.grib2 <"$data/wind.grib2.rules"
# The same grid at 12:00 again (a later forecast) and at 18:00.
grib wind-later.grib2 <"$data/wind-later.grib2.rules"
# An adjacent area, 352..354E, of a steady 7 m/s at 06:00 and 12:00.
grib wind-east.grib2 <"$data/wind-east.grib2.rules"
# Missing values (a bitmap): 42N 350E, and all four around 40.5N 351.5E.
grib wind-missing.grib2 <"$data/wind-missing.grib2.rules"
# Round the globe: 0, 90, 180, 270E at 0 and 10N; u = 0, 10, 20, 30 along each row, v = 1.
grib wind-globe.grib2 <"$data/wind-globe.grib2.rules"
# A current in GRIB: ucurr and vcurr.
grib current.grib2 <"$data/current.grib2.rules"

# GRIB files to refuse.
head -c 300 wind.grib2 >refuse-cut.grib2
# GRIB1: a message cut short, and one whose length says it is beyond 8 MB (in units of 120 bytes).
grib_set -s edition=1 wind.grib2 wind.grib1
head -c 100 wind.grib1 >refuse-cut.grib1
printf '\200' | cat <(head -c 4 wind.grib1) - <(tail -c +6 wind.grib1) >refuse-large.grib1
printf '\200\0\0' | cat <(head -c 4 wind.grib1) - <(tail -c +8 wind.grib1) >refuse-large-zero.grib1
printf 'a forecast, they said\n' >refuse-text.grib2
plain refuse-reduced.grib2 "$samples/reduced_gg_pl_32_grib2.tmpl" <"$data/refuse-reduced.grib2.rules"
# A grid of 3 x 3 points with the 496 values of the sample, and one of 200 million points.
plain refuse-values.grib2 "$samples/GRIB2.tmpl" <"$data/refuse-values.grib2.rules"
plain refuse-huge.grib2 "$sfc" <"$data/refuse-huge.grib2.rules"
grib refuse-alone.grib2 <"$data/refuse-alone.grib2.rules"
grib refuse-twice.grib2 <"$data/refuse-twice.grib2.rules"
grib refuse-all-missing.grib2 <"$data/refuse-all-missing.grib2.rules"
grib refuse-beyond.grib2 <"$data/refuse-beyond.grib2.rules"
grib refuse-one-row.grib2 <"$data/refuse-one-row.grib2.rules"
# Sections 1, 3, 4, 5, 6 and then 2 again without a 7 (a finding of the fuzz target).
cp "$data/refuse-order.grib2" refuse-order.grib2
# A grid of 3 x 3 points whose data section says it codes 1,560,281,092 values (the same).
cp "$data/refuse-coded.grib2" refuse-coded.grib2
# A forecast step in unit 254 of GRIB2's table of time units, which has no such unit.
grib refuse-step-unit.grib2 <"$data/refuse-step-unit.grib2.rules"
cp "$sfc" refuse-no-wind.grib2

# NetCDF: nc NAME KIND with the CDL on standard input.
nc() {
  cat >"$1.cdl"
  ncgen -k "${2:-nc3}" -o "$1" "$1.cdl"
  rm "$1.cdl"
}

# Surface current packed in shorts (value = raw * 0.01 + 0.5), latitudes from north to south,
# longitudes in -180..180, a deeper level first that must not be read, a fill value at 1N 0E.
nc current.nc <"$data/current.nc.cdl"
# The same as netCDF-4 (HDF5), which the programs read in a child process.
nc current4.nc nc4 <"$data/current.nc.cdl"
# Two netCDF-4 files (findings of the fuzz target) on which HDF5 goes round for ever or writes
# over its memory.
cp "$data/refuse-hdf5-loop.nc" "$data/refuse-hdf5-crash.nc" .
# Named water_u and water_v, no standard names, cm/s, missing_value, longitudes in 0..360, days.
nc current-names.nc nc4 <"$data/current-names.nc.cdl"

# cdl NAME [TIME_UNITS [CALENDAR [LATS [TIMES [VALUES [LAYOUT]]]]]]: a 2 x 2 current to refuse.
cdl() {
  local units=${2:-hours since 2024-01-15} calendar=${3:-standard} lats=${4:-0, 1}
  local times=${5:-0, 1} values=${6:-0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}
  local layout=${7:-time, lat, lon}
  nc "$1" <<CDL
netcdf refused {
dimensions:
  time = 2 ; lat = 2 ; lon = 2 ;
variables:
  double time(time) ; time:units = "$units" ; time:calendar = "$calendar" ;
  double lat(lat) ; lat:units = "degrees_north" ;
  double lon(lon) ; lon:units = "degrees_east" ;
  float uo($layout) ; uo:_FillValue = 1e20f ;
  float vo($layout) ; vo:_FillValue = 1e20f ;
data:
  time = $times ;
  lat = $lats ;
  lon = 10, 11 ;
  uo = $values ;
  vo = $values ;
}
CDL
}
cdl refuse-times.nc "hours since 2024-01-15" standard "0, 1" "6, 0"
cdl refuse-units.nc "fortnights since 2024-01-15"
cdl refuse-calendar.nc "hours since 2024-01-15" 360_day
cdl refuse-axis.nc "hours since 2024-01-15" standard "1, 1"
cdl refuse-fill.nc "hours since 2024-01-15" standard "0, 1" "0, 1" "_, _, _, _, _, _, _, _"
cdl refuse-nan.nc "hours since 2024-01-15" standard "0, 1" "0, 1" "NaN, NaN, NaN, NaN, NaN, NaN, NaN, NaN"
cdl refuse-layout.nc "hours since 2024-01-15" standard "0, 1" "0, 1" \
  "0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1" "time, lon, lat"
head -c 200 current.nc >refuse-cut.nc
# A classic header that counts two thousand million dimensions in sixteen bytes.
printf 'CDF\001\000\000\000\000\000\000\000\012\177\377\377\377' >refuse-header.nc
# A classic header whose one variable is of type 12 (a string), which the format cannot hold.
{
  printf 'CDF\001\0\0\0\0\0\0\0\012\0\0\0\001\0\0\0\001x\0\0\0\0\0\0\001'
  printf '\0\0\0\0\0\0\0\0\0\0\0\013\0\0\0\001\0\0\0\001v\0\0\0\0\0\0\001\0\0\0\0'
  printf '\0\0\0\0\0\0\0\0\0\0\0\014\0\0\0\004\0\0\0\120\0\0\0\0'
} >refuse-type.nc
# Latitudes 0, 1 and 3 degrees: an unevenly spaced axis; u = 1, 2, 4 along it, v = 0.
nc current-uneven.nc <"$data/current-uneven.nc.cdl"
nc refuse-no-current.nc <"$data/refuse-no-current.nc.cdl"
# Six thousand by six thousand points at two times, declared but never written: a small file.
nc refuse-huge.nc nc4 <"$data/refuse-huge.nc.cdl"

# Fields for the drift through forecast files, around 43.5N 3.75W on 2024-01-15: a grid of 1
# degree over 42..45N, 6..1W (354..359E in GRIB). The wind from 300 at 20 kn and the current
# toward 070 at 0.6 kn, as m/s (the wind by the leeway's 1.94384 kn to the m/s, the current by
# 1852 m an hour).
# drift_grib NAME: the rules on standard input after that grid.
drift_grib() {
  {
    cat <<'RULES'
set Ni = 6;
set Nj = 4;
set latitudeOfFirstGridPointInDegrees = 45;
set longitudeOfFirstGridPointInDegrees = 354;
set latitudeOfLastGridPointInDegrees = 42;
set longitudeOfLastGridPointInDegrees = 359;
RULES
    cat
  } | grib "$1"
}
# steady_wind U V: the rules of a wind of U and V m/s everywhere.
steady_wind() {
  printf 'set shortName = "10u";\nset values = {%s};\nwrite;\n' "$(yes -- "$1" | head -24 | paste -sd,)"
  printf 'set shortName = "10v";\nset values = {%s};\nwrite;\n' "$(yes -- "$2" | head -24 | paste -sd,)"
}
# Steady for a day, 00:00 to 24:00.
{
  echo 'set step = 0;'
  steady_wind 8.910459747555757 -5.14445633385463
  echo 'set step = 24;'
  steady_wind 8.910459747555757 -5.14445633385463
} | drift_grib drift-wind-steady.grib2
# From 300 at 20 kn to 12:00, from 210 at 25 kn from 12:10: turning between two steps of 10 min.
{
  echo 'set step = 0;'
  steady_wind 8.910459747555757 -5.14445633385463
  echo 'set step = 12;'
  steady_wind 8.910459747555757 -5.14445633385463
  echo 'set dataTime = 1210; set step = 0;'
  steady_wind 6.430570417318298 11.138074684444689
  echo 'set dataTime = 0; set step = 24;'
  steady_wind 6.430570417318298 11.138074684444689
} | drift_grib drift-wind-turn.grib2

# each VALUE...: each value 24 times (every point of the grid), comma-separated.
each() {
  for x in "$@"; do yes -- "$x" | head -24; done | paste -sd, | sed 's/,/, /g'
}
# drift_nc NAME TIME_UNITS TIMES U V: a current on the same grid, U and V the data in CDL.
drift_nc() {
  nc "$1" <<CDL
netcdf drift {
dimensions:
  time = $(echo "$3" | tr ',' '\n' | wc -l) ; lat = 4 ; lon = 6 ;
variables:
  double time(time) ; time:units = "$2 since 2024-01-15" ;
  double lat(lat) ; lat:units = "degrees_north" ;
  double lon(lon) ; lon:units = "degrees_east" ;
  double uo(time, lat, lon) ; uo:_FillValue = 1e20 ;
  double vo(time, lat, lon) ; vo:_FillValue = 1e20 ;
data:
  time = $3 ;
  lat = 42, 43, 44, 45 ;
  lon = -6, -5, -4, -3, -2, -1 ;
  uo = $4 ;
  vo = $5 ;
}
CDL
}
u070=0.2900517889492504 v070=0.1055702175731898 v180=-0.5144444444444445
drift_nc drift-current-steady.nc hours "0, 24" "$(each $u070 $u070)" "$(each $v070 $v070)"
# Toward 070 at 0.6 kn to 12:00, toward 180 at 1 kn from 12:10.
drift_nc drift-current-turn.nc minutes "0, 720, 730, 1440" "$(each $u070 $u070 0 0)" \
  "$(each $v070 $v070 $v180 $v180)"
# Toward 070 at 0.6 kn to 12:00 only.
drift_nc drift-current-half.nc hours "0, 12" "$(each $u070 $u070)" "$(each $v070 $v070)"
# Southward at 1 m/s, with land (fill values) on the rows of 42N and 43N.
coast=$(for k in 1 2; do printf '_, %.0s' $(seq 12); printf -- '-1, %.0s' $(seq 12); done)
drift_nc drift-current-coast.nc hours "0, 24" "$(each 0 0)" "${coast%, }"

# The real file's 10 m wind as ecCodes lists it, to compare the reader with.
grib_get_data -w shortName=10u "$gfs" >gfs-10u.txt
grib_get_data -w shortName=10v "$gfs" >gfs-10v.txt
grib_get_data -w shortName=10u "$gfs1" >gfs1-10u.txt
grib_get_data -w shortName=10v "$gfs1" >gfs1-10v.txt
