#!/usr/bin/env bash
# Makes the small forecast files the fields tests read, with Debian's own tools: grib_filter on
# the GRIB samples of libeccodes-data (IEEE packing, so the values are exact) and ncgen from CDL
# text. Also writes grib_get_data's listing of the real GFS file's 10 m wind for comparison.
#
#   make_field_files.sh OUT SAMPLES GFS_GRIB2 GFS_GRIB1   (grib_filter, grib_get_data, ncgen on PATH)
set -eu
out=$1 samples=$2 gfs=$3 gfs1=$4
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
grib wind.grib2 <<'RULES'
set step = 6;
set shortName = "10u";
set values = {5, 7, 9, 3, 4.5, 6, 1, 2, 3};
write;
set shortName = "10v";
set values = {-5, -7, -9, -3, -4.5, -6, -1, -2, -3};
write;
set step = 12;
set shortName = "10u";
set values = {10, 14, 18, 6, 9, 12, 2, 4, 6};
write;
set shortName = "10v";
set values = {3, 3, 3, 3, 3, 3, 3, 3, 3};
write;
RULES
# The same grid at 12:00 again (a later forecast) and at 18:00.
grib wind-later.grib2 <<'RULES'
set step = 18;
set shortName = "10u";
set values = {0, 0, 0, 0, 0, 0, 0, 0, 0};
write;
set shortName = "10v";
write;
set step = 12;
set shortName = "10u";
set values = {1, 1, 1, 1, 1, 1, 1, 1, 1};
write;
set shortName = "10v";
write;
RULES
# An adjacent area, 352..354E, of a steady 7 m/s at 06:00 and 12:00.
grib wind-east.grib2 <<'RULES'
set longitudeOfFirstGridPointInDegrees = 352;
set longitudeOfLastGridPointInDegrees = 354;
set values = {7, 7, 7, 7, 7, 7, 7, 7, 7};
set step = 6;
set shortName = "10u";
write;
set shortName = "10v";
write;
set step = 12;
write;
set shortName = "10u";
write;
RULES
# Missing values (a bitmap): 42N 350E, and all four around 40.5N 351.5E.
grib wind-missing.grib2 <<'RULES'
set step = 6;
set bitmapPresent = 1;
set missingValue = 9999;
set shortName = "10u";
set values = {9999, 2, 3, 4, 9999, 9999, 7, 9999, 9999};
write;
set shortName = "10v";
write;
RULES
# Round the globe: 0, 90, 180, 270E at 0 and 10N; u = 0, 10, 20, 30 along each row, v = 1.
grib wind-globe.grib2 <<'RULES'
set Ni = 4;
set Nj = 2;
set latitudeOfFirstGridPointInDegrees = 10;
set longitudeOfFirstGridPointInDegrees = 0;
set latitudeOfLastGridPointInDegrees = 0;
set longitudeOfLastGridPointInDegrees = 270;
set iDirectionIncrementInDegrees = 90;
set jDirectionIncrementInDegrees = 10;
set shortName = "10u";
set values = {0, 10, 20, 30, 0, 10, 20, 30};
write;
set shortName = "10v";
set values = {1, 1, 1, 1, 1, 1, 1, 1};
write;
RULES
# A current in GRIB: ucurr and vcurr.
grib current.grib2 <<'RULES'
set shortName = "ucurr";
set values = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
write;
set shortName = "vcurr";
set values = {-0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25, -0.25};
write;
RULES

# GRIB files to refuse.
head -c 300 wind.grib2 >refuse-cut.grib2
printf 'a forecast, they said\n' >refuse-text.grib2
plain refuse-reduced.grib2 "$samples/reduced_gg_pl_32_grib2.tmpl" <<'RULES'
set shortName = "10u";
write;
RULES
# A grid of 3 x 3 points with the 496 values of the sample, and one of 200 million points.
plain refuse-values.grib2 "$samples/GRIB2.tmpl" <<'RULES'
set Ni = 3;
set Nj = 3;
set shortName = "10u";
write;
RULES
plain refuse-huge.grib2 "$sfc" <<'RULES'
set Ni = 20000;
set Nj = 10000;
set latitudeOfFirstGridPointInDegrees = 90;
set longitudeOfFirstGridPointInDegrees = 0;
set latitudeOfLastGridPointInDegrees = -90;
set longitudeOfLastGridPointInDegrees = 359.982;
set shortName = "10u";
set bitsPerValue = 0;
write;
RULES
grib refuse-alone.grib2 <<'RULES'
set shortName = "10u";
set values = {1, 1, 1, 1, 1, 1, 1, 1, 1};
write;
RULES
grib refuse-twice.grib2 <<'RULES'
set shortName = "10u";
set values = {1, 1, 1, 1, 1, 1, 1, 1, 1};
write;
set shortName = "10v";
write;
set shortName = "10u";
write;
RULES
grib refuse-all-missing.grib2 <<'RULES'
set packingType = "grid_simple";
set bitmapPresent = 1;
set missingValue = 9999;
set shortName = "10u";
set values = {9999, 9999, 9999, 9999, 9999, 9999, 9999, 9999, 9999};
write;
set shortName = "10v";
write;
RULES
grib refuse-beyond.grib2 <<'RULES'
set shortName = "10u";
set values = {1, 1, 1, 1, 9999, 1, 1, 1, 1};
write;
set shortName = "10v";
write;
RULES
grib refuse-one-row.grib2 <<'RULES'
set Nj = 1;
set latitudeOfLastGridPointInDegrees = 42;
set shortName = "10u";
set values = {1, 1, 1};
write;
set shortName = "10v";
write;
RULES
cp "$sfc" refuse-no-wind.grib2

# NetCDF: nc NAME KIND with the CDL on standard input.
nc() {
  cat >"$1.cdl"
  ncgen -k "${2:-nc3}" -o "$1" "$1.cdl"
  rm "$1.cdl"
}

# Surface current packed in shorts (value = raw * 0.01 + 0.5), latitudes from north to south,
# longitudes in -180..180, a deeper level first that must not be read, a fill value at 1N 0E.
nc current.nc <<'CDL'
netcdf current {
dimensions:
  time = UNLIMITED ; depth = 2 ; lat = 3 ; lon = 3 ;
variables:
  double time(time) ;
    time:standard_name = "time" ; time:units = "hours since 2024-01-15 00:00:00" ;
    time:calendar = "gregorian" ;
  float depth(depth) ; depth:units = "m" ; depth:positive = "down" ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  short east(time, depth, lat, lon) ;
    east:standard_name = "eastward_sea_water_velocity" ; east:units = "m s-1" ;
    east:scale_factor = 0.01 ; east:add_offset = 0.5 ; east:_FillValue = -32767s ;
  short north(time, depth, lat, lon) ;
    north:standard_name = "northward_sea_water_velocity" ; north:units = "m s-1" ;
    north:scale_factor = 0.01 ; north:add_offset = 0.5 ; north:_FillValue = -32767s ;
data:
  time = 0, 6 ;
  depth = 10, 0.5 ;
  lat = 2, 1, 0 ;
  lon = -1, 0, 1 ;
  east = 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
         10, 20, 30, 40, _, 60, 70, 80, 90,
         1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
         -50, -50, -50, -50, -50, -50, -50, -50, -50 ;
  north = 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
          0, 0, 0, 0, 0, 0, 0, 0, 0,
          1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
          50, 50, 50, 50, 50, 50, 50, 50, 50 ;
}
CDL
# Named water_u and water_v, no standard names, cm/s, missing_value, longitudes in 0..360, days.
nc current-names.nc nc4 <<'CDL'
netcdf names {
dimensions:
  time = 1 ; lat = 2 ; lon = 2 ;
variables:
  double time(time) ; time:units = "days since 2024-01-15" ;
  double lat(lat) ; lat:units = "degrees_north" ;
  double lon(lon) ; lon:units = "degrees_east" ;
  float water_u(time, lat, lon) ; water_u:units = "cm/s" ; water_u:missing_value = -999.f ;
  float water_v(time, lat, lon) ; water_v:units = "cm/s" ; water_v:missing_value = -999.f ;
data:
  time = 0.25 ;
  lat = 40, 41 ;
  lon = 350, 351 ;
  water_u = 100, 200, -999, 400 ;
  water_v = 0, 0, 0, 0 ;
}
CDL

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
# Latitudes 0, 1 and 3 degrees: an unevenly spaced axis; u = 1, 2, 4 along it, v = 0.
nc current-uneven.nc <<'CDL'
netcdf uneven {
dimensions:
  time = 1 ; lat = 3 ; lon = 2 ;
variables:
  double time(time) ; time:units = "seconds since 2024-01-15 06:00:00" ;
  double lat(lat) ; lat:units = "degrees_north" ;
  double lon(lon) ; lon:units = "degrees_east" ;
  double uo(time, lat, lon) ;
  double vo(time, lat, lon) ;
data:
  time = 0 ;
  lat = 0, 1, 3 ;
  lon = 0, 1 ;
  uo = 1, 1, 2, 2, 4, 4 ;
  vo = 0, 0, 0, 0, 0, 0 ;
}
CDL
nc refuse-no-current.nc <<'CDL'
netcdf temperature {
dimensions:
  lat = 2 ;
variables:
  float thetao(lat) ;
data:
  thetao = 12, 13 ;
}
CDL
# Six thousand by six thousand points at two times, declared but never written: a small file.
nc refuse-huge.nc nc4 <<'CDL'
netcdf huge {
dimensions:
  time = 2 ; lat = 6000 ; lon = 6000 ;
variables:
  double time(time) ; time:units = "hours since 2024-01-15" ;
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float uo(time, lat, lon) ;
  float vo(time, lat, lon) ;
data:
  time = 0, 1 ;
}
CDL

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
