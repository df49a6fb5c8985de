# Inputs on which a fuzz target once failed, each replayed as a test of its own.
vestrand_fuzz_regression(coordinates seconds_followed_by_colon)
# A GRIB2 message whose section overruns its length: ecCodes freed its buffer twice.
vestrand_fuzz_regression(grib_reader sections_overrun_length)
# A classic NetCDF header counting more dimensions than its bytes hold: netCDF-C sized tables of
# gigabytes for it, for seconds.
vestrand_fuzz_regression(netcdf_reader dimension_count_beyond_file)
# A classic NetCDF variable of the string type, which classic files cannot hold: netCDF-C sized it
# as of zero bytes and divided by that.
vestrand_fuzz_regression(netcdf_reader variable_of_string_type)
# A GRIB2 forecast step in a unit of time the code table does not have: ecCodes looped for ever
# working out when the field is valid.
vestrand_fuzz_regression(grib_reader step_in_unknown_unit)
# A GRIB2 message whose sections go back from 6 to 2 without a 7: ecCodes freed its buffer twice.
vestrand_fuzz_regression(grib_reader section_out_of_order)
# A GRIB2 message of 3 x 3 points whose data section codes 1,560,281,092 values: ecCodes asked for
# 12 GB to decode them.
vestrand_fuzz_regression(grib_reader values_beyond_grid)
# A GRIB1 message whose length has the flag of 8 MB and over and no units of 120 bytes: the length
# it claims wrapped below zero and ecCodes was asked for 2^64 bytes.
vestrand_fuzz_regression(grib_reader grib1_length_of_no_units)
# A NetCDF grid whose latitudes lie a few hundred thousandths of a millionth apart: its step's
# inverse overflowed and sampling at its first latitude worked out 0 times infinity.
vestrand_fuzz_regression(netcdf_reader latitudes_a_denormal_apart)
if(LibXml2_FOUND)
  vestrand_fuzz_regression(gpx_writer control_character_in_name)
  vestrand_fuzz_regression(gpx_writer invalid_utf8_in_name)
  # A stem of 97 bytes: the writer rightly refused names beyond 99 characters, which the target
  # took for a refusal of a plausible line.
  vestrand_fuzz_regression(gpx_writer stem_beyond_the_names_limit)
endif()
# A netCDF-4 file whose dimension scales lead HDF5 round its global heap for ever (HDF5 1.10.8, a
# fault of the library's; listed in known_findings.txt).
vestrand_fuzz_regression(netcdf_reader hdf5_global_heap_loop
                         DISABLED "HDF5 loops reading a hostile global heap")
# A netCDF-4 file on which HDF5 copies a block of its global heap over itself (memory ranges that
# overlap; a fault of the library's, listed in known_findings.txt).
vestrand_fuzz_regression(netcdf_reader hdf5_global_heap_overlap
                         DISABLED "HDF5 writes over its memory reading a hostile global heap")
