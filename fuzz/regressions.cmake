# Inputs on which a fuzz target once failed, each replayed as a test of its own. Findings in code
# this folder does not own stay disabled, and listed in known_findings.txt, until fixed there.
vestrand_fuzz_regression(coordinates seconds_followed_by_colon
  DISABLED "cli/coordinates.cpp reads kPartNames[3] when the seconds are followed by ':'")
if(LibXml2_FOUND)
  vestrand_fuzz_regression(gpx_writer control_character_in_name
    DISABLED "gpx/gpx.cpp writes a control character such as U+0001 into the file unchanged")
  vestrand_fuzz_regression(gpx_writer invalid_utf8_in_name
    DISABLED "gpx/gpx.cpp writes bytes that are not UTF-8 into a file declared as UTF-8")
endif()
