# Turns the published leeway table (resources/leeway-classes.csv) into C++ initialisers, one
# braced row per class, for leeway.cpp to include.
#
#   cmake -DCSV=<the table> -DOUT=<the .inc file> -P leeway_table.cmake
#
# The numbers are copied as the text they are in the table, so the compiler reads exactly the
# published decimals; nothing is rounded on the way. Any row that does not have the table's shape
# stops the build with its line number, rather than shipping a table with a row missing.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED CSV OR NOT DEFINED OUT)
  message(FATAL_ERROR "leeway_table.cmake needs -DCSV=<table> and -DOUT=<output>")
endif()

file(STRINGS "${CSV}" lines ENCODING UTF-8)
list(LENGTH lines count)
if(count LESS 2)
  message(FATAL_ERROR "${CSV}: no rows")
endif()

set(expected_heading
    "id,key,depth,description,downwind_slope_pct,downwind_offset_cms,downwind_sd_cms,right_slope_pct,right_offset_cms,right_sd_cms,left_slope_pct,left_offset_cms,left_sd_cms")
list(GET lines 0 heading)
string(REGEX REPLACE "\r$" "" heading "${heading}")
if(NOT heading STREQUAL expected_heading)
  message(FATAL_ERROR "${CSV}: the heading is not the table's: ${heading}")
endif()

set(number "-?[0-9]+(\\.[0-9]+)?")
set(body "")
set(next_id 1)
math(EXPR last "${count} - 1")
foreach(index RANGE 1 ${last})
  list(GET lines ${index} line)
  string(REGEX REPLACE "\r$" "" line "${line}")
  math(EXPR line_number "${index} + 1")
  # A description holding a comma is quoted; the table has no quote inside a description.
  if(line MATCHES "^([0-9]+),([A-Za-z0-9-]+),([0-3]),\"([^\"]*)\",(.*)$")
    set(description "${CMAKE_MATCH_4}")
  elseif(line MATCHES "^([0-9]+),([A-Za-z0-9-]+),([0-3]),([^,\"]*),(.*)$")
    set(description "${CMAKE_MATCH_4}")
  else()
    message(FATAL_ERROR "${CSV}:${line_number}: not a row of the leeway table: ${line}")
  endif()
  set(id "${CMAKE_MATCH_1}")
  set(key "${CMAKE_MATCH_2}")
  set(depth "${CMAKE_MATCH_3}")
  set(rest "${CMAKE_MATCH_5}")
  if(NOT id EQUAL next_id)
    message(FATAL_ERROR "${CSV}:${line_number}: class ${id} where ${next_id} was expected")
  endif()
  math(EXPR next_id "${next_id} + 1")
  string(REPLACE "," ";" values "${rest}")
  list(LENGTH values value_count)
  if(NOT value_count EQUAL 9)
    message(FATAL_ERROR "${CSV}:${line_number}: ${value_count} coefficients, not 9")
  endif()
  foreach(value IN LISTS values)
    if(NOT value MATCHES "^${number}$")
      message(FATAL_ERROR "${CSV}:${line_number}: '${value}' is not a decimal number")
    endif()
  endforeach()
  string(REPLACE "\\" "\\\\" description "${description}")
  list(SUBLIST values 0 3 downwind)
  list(SUBLIST values 3 3 right)
  list(SUBLIST values 6 3 left)
  list(JOIN downwind ", " downwind)
  list(JOIN right ", " right)
  list(JOIN left ", " left)
  string(APPEND body
         "    {${id}, \"${key}\", ${depth}, \"${description}\", {${downwind}}, {${right}}, {${left}}},\n")
endforeach()

get_filename_component(table_name "${CSV}" NAME)
set(text "// Generated from ${table_name} by leeway_table.cmake: do not edit.\n${body}")
# Rewritten only when it changes, so that a fresh configure does not rebuild the library.
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${text}")
