# Inputs on which a fuzz target once failed, each replayed as a test of its own.
vestrand_fuzz_regression(coordinates seconds_followed_by_colon)
# A GRIB2 message whose section overruns its length: ecCodes freed its buffer twice.
vestrand_fuzz_regression(grib_reader sections_overrun_length)
# A classic NetCDF header counting more dimensions than its bytes hold: netCDF-C sized tables of
# gigabytes for it, for seconds.
vestrand_fuzz_regression(netcdf_reader dimension_count_beyond_file)
if(LibXml2_FOUND)
  vestrand_fuzz_regression(gpx_writer control_character_in_name)
  vestrand_fuzz_regression(gpx_writer invalid_utf8_in_name)
endif()
