// Every text of the window by name, with its English text beside it, and the texts of one
// language as read from its language file.
//
// A language file (".lrf") is UTF-8 text, one text per line, in the order of the list below:
// line 1 is the first name, line 2 the second, and so on. Lines 1 to 20 keep their place and
// meaning for good (stored language files and the historical relabelling rely on them) and hold
// at most 59 bytes; every later line holds at most 399. In a text, %1, %2, ... stand for the
// values filled in, which a translation may move but must keep.
//
// A new text goes at the end of the list, never in the middle: a language file written before it
// then simply lacks the line, which shows in English.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// X(name, English text) for every line of a language file, in file order.
// clang-format off
#define VESTRAND_LANGUAGE_LINES(X) \
  /* Lines 1 to 20: the heading, the datum group, the tabs and the three search pages. */ \
  X(Heading, "Plan a search: set the datum, pick a pattern, write GPX") \
  X(DatumGroup, "Datum (last known position)") \
  X(StartTab, "Start") \
  X(SquareTab, "Expanding square") \
  X(SquareText, "One unit spirals out from the datum, turning to starboard") \
  X(SquareCount, "Leg pairs") \
  X(SquareCourse, "Course (\u00B0T)") \
  X(SquareSpacing, "Track spacing (NM)") \
  X(WriteCommand, "Write GPX route") \
  X(SectorTab, "Sector") \
  X(SectorText, "One unit sails seven legs through the datum, turning 120\u00B0") \
  X(SectorCourse, "Course (\u00B0T)") \
  X(SectorLeg, "Leg length (NM)") \
  X(ParallelTab, "Parallel sweep") \
  X(ParallelText, "Two units sweep side by side, or one unit creeps") \
  X(ParallelPattern, "Pattern") \
  X(ParallelLoops, "Loops") \
  X(ParallelCourse, "Course (\u00B0T)") \
  X(ParallelSpacing, "Track spacing (NM)") \
  X(ParallelLeg, "Leg length (NM)") \
  /* The plan preview and its summary. */ \
  X(PreviewTitle, "Plan preview") \
  X(SearchSpeedLabel, "Search speed (kn)") \
  X(LegsLabel, "Legs") \
  X(TrackLabel, "Track length") \
  X(TimeLabel, "Time at search speed") \
  X(BoxLabel, "Box") \
  X(Unit1, "Unit 1") \
  X(Unit2, "Unit 2") \
  X(StartHint, "Choose a search page to see its pattern") \
  X(NoPattern, "No pattern to show for these values") \
  /* The datum entry. */ \
  X(PositionFieldLabel, "Position (paste, then Enter)") \
  X(PositionFieldHint, "e.g. 43 30.5N 3 45.2W or 43.5083 -3.7533") \
  X(CopyPositionLabel, "Copy as degrees and minutes") \
  X(StampAgainLabel, "Stamp with the clock") \
  X(ReadBackLabel, "Read back") \
  X(PositionRefused, "Position not understood: %1") \
  X(DatumSet, "Datum set to %1") \
  X(PositionCopied, "Copied to the clipboard: %1") \
  X(Stamped, "Date and time stamped: %1 %2") \
  X(NotADate, "Not a date: YYYY/MM/DD, a real month and day") \
  X(NotATime, "Not a time: HH:MM:SS, hours 0-23") \
  X(DatumNotAPosition, "Beyond a pole or the antimeridian: not a position") \
  /* Drift, sweep width, passes and the briefing. */ \
  X(DriftGroupTitle, "Drift from the last known position") \
  X(LastKnownLabel, "Last known position") \
  X(DriftHoursLabel, "Hours since the incident") \
  X(CurrentSetLabel, "Current set (\u00B0T)") \
  X(CurrentDriftLabel, "Current drift (kn)") \
  X(LeewayTowardLabel, "Leeway toward (\u00B0T)") \
  X(LeewaySpeedLabel, "Leeway speed (kn)") \
  X(ApplyDriftLabel, "Apply drift to the datum") \
  X(SweepWidthLabel, "Sweep width (NM)") \
  X(PassesLabel, "Passes") \
  X(BriefingLabel, "Save briefing (PDF)") \
  X(CoverageRow, "Coverage") \
  X(PodInverseCubeRow, "POD, inverse cube law") \
  X(PodExponentialRow, "POD, exponential law") \
  X(CoverageValue, "%1 (sweep width %2 NM, track spacing %3 NM)") \
  X(DriftApplied, "Datum drifted %1 NM toward %2\u00B0T at %3 kn") \
  X(DriftRefused, "Drift not applied: %1") \
  X(NotANumber, "%1 holds '%2', not a number") \
  X(OutOfRange, "%1 must be from %2 to %3") \
  X(NeedsPair, "%1 needs %2 as well") \
  X(DriftPastPole, "the drift would pass a pole") \
  X(BriefingTitle, "Search briefing %1") \
  X(BriefingStamp, "Date and time of the plan: %1") \
  X(DatumHeading, "Datum") \
  X(DriftHeading, "Drift") \
  X(MotionValue, "%1\u00B0T at %2 kn") \
  X(CurrentRow, "Current") \
  X(LeewayRow, "Leeway") \
  X(TotalDriftRow, "Total drift") \
  X(TotalDriftValue, "%1\u00B0T at %2 kn, %3 NM in %4 h") \
  X(PatternHeading, "Search pattern") \
  X(SummaryHeading, "Summary") \
  X(LegTableHeading, "Leg table") \
  X(LegColumn, "Leg") \
  X(FromColumn, "From") \
  X(ToColumn, "To") \
  X(CourseColumn, "Course (\u00B0T)") \
  X(DistanceColumn, "Distance (NM)") \
  X(TotalColumn, "Total (NM)") \
  X(TimeColumn, "Time") \
  X(PageFooter, "Page %1") \
  X(BriefingWritten, "Briefing written: %1") \
  X(NotAPosition, "%1 is not a position: %2") \
  X(EmptyField, "%1 is empty") \
  /* The rest of the window: labels, hints, messages and summary words. */ \
  X(WindowTitle, "Vestrand \u2013 search and rescue patterns") \
  X(LanguageLabel, "Language") \
  X(LatitudeLabel, "Latitude") \
  X(LongitudeLabel, "Longitude") \
  X(DateLabel, "Date (YYYY/MM/DD)") \
  X(DateTip, "Date of the file names: year/month/day") \
  X(TimeFieldLabel, "Time (HH:MM:SS)") \
  X(TimeTip, "Time of the file names: hours:minutes:seconds") \
  X(Intro, "Enter the datum, the date and the time above, choose a search pattern on one of the " \
           "next pages and press its command. The pattern is written as a GPX route file into " \
           "the output folder, named from the date and time fields, ready for a chart plotter.") \
  X(HomePageLink, "Tarvolin home page") \
  X(WikipediaEnglishLink, "Tarvolin on Wikipedia (English)") \
  X(WikipediaSpanishLink, "Tarvolin on Wikipedia (Spanish)") \
  X(ExtentLabel, "Extent (NM)") \
  X(ExtentTip, "Leg pairs times track spacing") \
  X(PassesTip, "2 searches the sector again, turned 30\u00B0 to the right") \
  X(ParallelSweepItem, "Parallel sweep, two units") \
  X(CreepingLineItem, "Creeping line, one unit") \
  X(SpeedTip, "Speed of the search units over the ground, knots") \
  X(SweepWidthTip, "Sweep width of the search units, nautical miles; 0 for none") \
  X(FilesWrittenHere, "Files are written to the output folder.") \
  X(BriefingTip, "Save the plan of the search page shown as a PDF in the output folder") \
  X(OpenFolderLabel, "Open output folder") \
  X(OpenFolderTip, "Show the folder the files are written to") \
  X(LastKnownTip, "Where the object was last known, e.g. 43 30.0 N 3 45.0 W") \
  X(DriftHoursTip, "Hours from the last known position to the start of the search, 0 to 240") \
  X(CurrentSetTip, "Direction toward which the current flows, degrees true; empty for no current") \
  X(CurrentDriftTip, "Speed of the current, knots, 0 to 20") \
  X(LeewayTowardTip, "Direction toward which the wind pushes the object, degrees true; empty for " \
                     "no leeway") \
  X(LeewaySpeedTip, "Speed of the leeway, knots, 0 to 20") \
  X(ApplyDriftTip, "Write the drifted datum into the datum fields") \
  X(FormatLabel, "Files") \
  X(BothFormatsItem, "GPX and RTZ") \
  X(FormatTip, "GPX for chart plotters, RTZ for a ship's ECDIS, or both") \
  X(MaxPointsLabel, "Points per route") \
  X(NoLimitItem, "No limit") \
  X(MaxPointsTip, "Split every route into parts of at most this many points, for small plotters") \
  X(Written, "Written: %1") \
  X(NotWrittenStatus, "Not written: %1") \
  X(NotWrittenTitle, "Not written") \
  X(PatternFailure, "The search pattern's files were not written.") \
  X(BriefingFailure, "The briefing was not written.") \
  X(FolderLine, "Folder: %1") \
  X(FolderUnknown, "The output folder is unknown: %1") \
  X(FolderNotOpened, "The output folder could not be opened: %1") \
  X(DatumFieldsBeyond, "%1: the datum's fields give %2 degrees, beyond %3") \
  X(DateRefused, "The date field holds '%1', not a date YYYY/MM/DD") \
  X(TimeRefused, "The time field holds '%1', not a time HH:MM:SS") \
  X(PatternPastPole, "The pattern would reach latitudes %1 to %2, beyond a pole") \
  X(PatternRoundTheGlobe, "The pattern would reach longitudes %1 to %2, more than once round " \
                          "the globe") \
  X(LanguageIncomplete, "%1 lacks %2 lines; they show in English") \
  X(LanguageUnread, "%1 could not be read; the texts stay as they were") \
  X(LargeRtz, "%1 is larger than 400 KB; some ECDIS units refuse it") \
  X(LongRoute, "%1 has %2 points, more than the %3 many plotters keep: choose %3 points per " \
               "route") \
  X(LongName, "The file name would be longer than 99 characters") \
  X(CreepingLineTitle, "Creeping line") \
  X(OneUnit, "1 unit") \
  X(Units, "%1 units") \
  X(UnitPasses, "1 unit, %1 passes") \
  X(PassLabel, "Pass %1") \
  X(OtherUnit, "Unit %1") \
  X(BoxValue, "%1 NM along the course x %2 NM across, %3 NM\u00B2") \
  X(UnitValue, "%1: %2 legs, %3 NM, %4") \
  X(WarningLabel, "Warning") \
  X(Length, "%1 NM") \
  X(CoveredLabel, "Area covered") \
  X(CoveredValue, "%1 NM\u00B2") \
  X(WideLeg, "A leg would span %1\u00B0 of longitude, more than half round the globe, too " \
             "near a pole") \
  /* The menus, the output folder, remembered settings and the briefing's unit sections. */ \
  X(FileMenu, "File") \
  X(WriteAction, "Write the page's files") \
  X(ChooseFolderAction, "Choose output folder\u2026") \
  X(QuitAction, "Quit") \
  X(EditMenu, "Edit") \
  X(CopyPositionAction, "Copy position") \
  X(PastePositionAction, "Paste position") \
  X(HelpMenu, "Help") \
  X(HelpAction, "Vestrand help") \
  X(AboutAction, "About Vestrand") \
  X(CloseButton, "Close") \
  X(HelpDatum, "Datum: paste or type the position into the Position field and press Enter, or " \
               "set its degrees, minutes and seconds. Read back shows it in three forms to check " \
               "against what was radioed in.") \
  X(HelpDrift, "Drift: give the last known position, the hours since the incident and the " \
               "direction toward which and the speed at which the current and the wind move " \
               "the object, then apply the drift. The datum group then says that the datum is " \
               "drifted.") \
  X(HelpPages, "Pattern: choose the expanding square, the sector or the parallel sweep (two units, " \
               "or one unit on a creeping line), set its values and run its command, or press " \
               "Return in the page. The preview and the summary follow every change.") \
  X(HelpFiles, "Files: GPX for chart plotters, RTZ for ECDIS, split into parts for small " \
               "plotters. They go into the output folder shown at the foot of the window, named " \
               "from the date and time fields; a file of the same name is replaced only when you " \
               "say so.") \
  X(HelpBriefing, "Briefing: a PDF with the datum and its drift, the pattern, its chart and " \
                  "summary, then one section per unit to hand to it: its start, its turning " \
                  "points and, when the search start is given, their clock times.") \
  X(HelpKeys, "Keys: Ctrl+S writes the page's files, Ctrl+P saves the briefing, F1 shows this " \
              "help, Ctrl+Q quits, Return in a page runs its command.") \
  X(AboutText, "Vestrand %1 plans searches at sea: it writes the expanding square, the sector, " \
               "the creeping line and the parallel sweep as GPX and RTZ routes, with a chart, a " \
               "summary and a briefing.") \
  X(AboutData, "Sources: the search patterns, coverage and probability of detection follow the " \
               "IAMSAR Manual, volume II; positions are sailed by plane sailing on a sphere; the " \
               "leeway figures come from the US Coast Guard's leeway reports.") \
  X(OutputFolderLabel, "Output folder") \
  X(ChooseFolderButton, "Choose\u2026") \
  X(ChooseFolderTip, "Choose the folder the files are written to") \
  X(FolderChosen, "Files now go to %1") \
  X(ReplaceTitle, "Replace files?") \
  X(ReplaceQuestion, "Already in %2: %1. Replace?") \
  X(ReplaceButton, "Replace") \
  X(KeepButton, "Keep the files") \
  X(NothingReplaced, "Nothing written: the files already there were kept") \
  X(DatumDriftedGroup, "Datum (drifted from the last known position)") \
  X(StartTimeLabel, "Search starts (HH:MM)") \
  X(StartTimeTip, "When the units start the search, for the clock times of the briefing; " \
                  "empty for none") \
  X(StartTimeRefused, "The search start holds '%1', not a time HH:MM") \
  X(SettingsDamaged, "The remembered settings could not be read; the defaults are used") \
  X(DatumNotEntered, "No datum entered yet: paste or type the position first") \
  X(PositionColumn, "Turning point") \
  X(ClockColumn, "Clock") \
  X(SearchStartRow, "Search starts") \
  X(RouteRow, "Route") \
  X(StartPointRow, "Start point") \
  X(BriefingPatternTime, "%1, %2") \
  /* The search plan page: its fields, units, results, refusals and simulation. */ \
  X(SearchPlanTab, "Search plan") \
  X(PlanLastKnownLabel, "Last known position") \
  X(PlanIncidentTimeLabel, "Time of the incident (UTC, 2024-01-15T06:00Z)") \
  X(PlanHoursLabel, "Hours from the incident to the datum") \
  X(PlanLeewayChoice, "Leeway from an object class and the wind") \
  X(PlanLeewayByHand, "Leeway by hand") \
  X(PlanObjectLabel, "Object class: type words of its description") \
  X(PlanWindFromLabel, "Wind from (\u00B0T)") \
  X(PlanWindSpeedLabel, "Wind speed (kn)") \
  X(PlanLeewayTowardLabel, "Leeway toward (\u00B0T)") \
  X(PlanLeewaySpeedLabel, "Leeway speed (kn)") \
  X(PlanCurrentSetLabel, "Current set toward (\u00B0T)") \
  X(PlanCurrentDriftLabel, "Current drift (kn)") \
  X(PlanXLabel, "Initial position error X (NM, or gnss, radar, visual, celestial, beacon)") \
  X(PlanYLabel, "Navigation error of the units Y (NM or fix)") \
  X(PlanConditionsLabel, "Search conditions") \
  X(ConditionsNormal, "Normal (1 - e^-C)") \
  X(ConditionsIdeal, "Ideal (erf)") \
  X(UnitsLabel, "Search units (1 to 8)") \
  X(UnitNameColumn, "Name") \
  X(UnitSpeedColumn, "Speed (kn)") \
  X(UnitHoursColumn, "Hours on scene") \
  X(UnitSweepColumn, "Sweep width (NM)") \
  X(AddUnitButton, "Add a unit") \
  X(RemoveUnitButton, "Remove the unit") \
  X(WritePlanButton, "Write plan") \
  X(SimulateButton, "Simulate") \
  X(CancelButton, "Cancel") \
  X(SearchedButton, "Searched") \
  X(SearchedStartLabel, "Searched from (UTC, 2024-01-15T09:00Z)") \
  X(RowE, "Total probable error E") \
  X(RowZ, "Effort Z") \
  X(RowZr, "Relative effort Zr") \
  X(RowFs, "Search factor fs") \
  X(RowR, "Search radius R") \
  X(RowArea, "Search area") \
  X(AreaValue, "%1 \u00D7 %2 NM, %3 NM\u00B2") \
  X(RowSpacing, "Track spacing S, %1") \
  X(RowPoc, "Probability of containment POC") \
  X(RowPod, "Probability of detection POD") \
  X(RowPos, "Probability of success POS") \
  X(RowSearchPos, "POS of the search from %1") \
  X(RowCumulativePos, "Cumulative POS") \
  X(FieldRefused, "%1: '%2' refused: %3") \
  X(ValueNotANumber, "not a number") \
  X(ValueOutOfRange, "expected %1 to %2") \
  X(UnknownObject, "no object class matches these words") \
  X(NotAFix, "neither nautical miles nor a fix (gnss, radar, visual, celestial, beacon)") \
  X(UnitNameRefused, "1 to 20 letters, digits, '-' or '_', and each name once") \
  X(TimeNotIso, "not a time such as 2024-01-15T06:00Z") \
  X(PlanNoArea, "With X, Y and the drift all 0 the position is certain: there is no area to search") \
  X(PlanPastPole, "The plan's area would reach beyond a pole") \
  X(PlanFailure, "The search plan's files were not written.") \
  X(SimulationRunning, "Simulating %1 particles\u2026") \
  X(SimulationDone, "Simulated %1 particles: the plan is made over the map") \
  X(SimulationCancelled, "Simulation cancelled") \
  X(SimulateFirst, "Simulate first: a search is scored against the simulated map") \
  X(PlanBriefingTitle, "Search plan %1") \
  X(UnitSection, "Unit %1") \
  X(MapLabel, "Probability map: 50 % and 90 % of the weight inside the outlines") \
  /* The first turn, patterns laid in drifting water, the trackline page, send to plotter. */ \
  X(FirstTurnLabel, "First turn") \
  X(TurnStarboard, "Starboard") \
  X(TurnPort, "Port") \
  X(CompensateLabel, "Lay in the drifting water") \
  X(CompensateTip, "Each turning point moves with the drift applied in the drift section for the time the unit takes to reach it at the search speed") \
  X(CompensateNoDrift, "Lay in the drifting water: no drift is applied; apply the drift section first") \
  X(CompensateTooFast, "Lay in the drifting water refused: a drift of %1 kn is half the search speed of %2 kn or more") \
  X(CompensateRefused, "Lay in the drifting water refused: %1") \
  X(CompensationRow, "Laid in drifting water") \
  X(CompensationValue, "%1° at %2 kn, %3 NM over the ground") \
  X(TracklineTab, "Trackline") \
  X(TracklineText, "Search along the intended route of an overdue vessel. Enter the route's points, one position a line, in order.") \
  X(TracklineRoute, "Route points") \
  X(TracklineSpacing, "Track spacing (NM)") \
  X(TracklineReturn, "Return search (out on one side, back on the other)") \
  X(TracklineUnits, "Search units") \
  X(TracklinePointRefused, "Route point on line %1 not understood: '%2'") \
  X(TracklineRefused, "Trackline refused: %1") \
  X(SendAction, "Send to plotter…") \
  X(SendTarget, "Serial port, udp:HOST:PORT or tcp:HOST:PORT") \
  X(SendButton, "Send") \
  X(SendTargetRefused, "Not sent: the plotter address '%1' is refused: %2") \
  X(Sending, "Sending %1 waypoints to %2…") \
  X(SentToPlotter, "Sent %1 waypoints in %2 sentences to %3") \
  X(SendFailed, "Not sent: %1") \
  X(SendBusy, "Still sending the previous route; wait for it to end") \
  X(TracklineCommand, "Write GPX route") \
  /* Land in the window and forecast files in the drift group. */ \
  X(LandMenu, "Land") \
  X(LandAutomatic, "Automatic, from the extent shown") \
  X(LandNone, "No land") \
  X(LandCrude, "Crude shorelines") \
  X(LandLow, "Low resolution shorelines") \
  X(LandIntermediate, "Intermediate resolution shorelines") \
  X(LandHigh, "High resolution shorelines") \
  X(LandFull, "Full resolution shorelines") \
  X(LandTurningPoint, "turning point %1 of %2 is on land at %3") \
  X(LandLeg, "leg %1 of %2 crosses land at %3 (%4 NM on land)") \
  X(LandMore, "%1 more turning points and legs on land") \
  X(LandDrawn, "Land from the %1 resolution shorelines") \
  X(LandNotDrawn, "No land drawn") \
  X(LandNotInstalled, "No land drawn: the %1 resolution shorelines are not installed " \
                      "(Debian package %2)") \
  X(LandNoneInstalled, "No land drawn: no shorelines are installed (Debian package " \
                       "gmt-gshhg-low)") \
  X(LandUnreadable, "No land drawn: %1") \
  X(LandRow, "On land") \
  X(ForecastTitle, "Forecast files (wind and current from the files, else as given)") \
  X(AddWindFile, "Add wind file\u2026") \
  X(AddCurrentFile, "Add current file\u2026") \
  X(ClearFiles, "Clear the files") \
  X(NoForecastFiles, "No files: the drift uses the constant wind and current") \
  X(WindFileLine, "Wind: %1, %2, %3") \
  X(CurrentFileLine, "Current: %1, %2, %3") \
  X(ForecastFileRefused, "Forecast file refused: %1") \
  X(OutsideTitle, "Outside the forecast files") \
  X(OutsideQuestion, "%1. Use the constant wind and current given there, or cancel the drift?") \
  X(UseConstantButton, "Use the constant") \
  X(CancelDriftButton, "Cancel the drift") \
  X(DriftOutsideCancelled, "Drift not applied: outside the forecast files") \
  X(ForecastDriftFailed, "Drift not applied: the drift through the files stopped at %1, %2") \
  /* The drift group's object class and wind: three datums. */ \
  X(DatumLeftMark, "Datum L") \
  X(DatumRightMark, "Datum R") \
  X(DatumDownwindMark, "Datum DW") \
  X(DriftDatumsApplied, "Datum DW %1 applied; datum L %2, datum R %3; divergence %4 NM") \
  X(ObjectWindRow, "Object class and wind") \
  X(ObjectWindValue, "%1, wind from %2\u00B0T at %3 kn") \
  X(DivergenceRow, "Divergence distance") \
  X(DivergenceValue, "%1 NM") \
  /* The search plan page leaving land out */ \
  X(PlanOnLand, "The object's distribution or the search area lies wholly on land (GSHHG %1)") \
  X(RowPlanLand, "Land left out") \
  X(PlanLandValue, "%1 % of the area (optimum %2 %), GSHHG %3") \
  X(PlanTransit, "%1: the route crosses land from %2 to %3 (%4 NM on land): not searched, go round") \
  /* The simulation stranding on the shore */ \
  X(RowStranded, "Stranded") \
  X(StrandedValue, "%1 % of the weight, %2 particles, mean at %3: left out of the plan") \
  /* The search plan page drifting through forecast files */ \
  X(PlanOutsideConstant, "Outside the forecast files, take the wind and current above") \
  X(FilesNeedTime, "the forecast files need the time of the last known position") \
  X(PlanOutsideFiles, "%1; to take the constants there, tick \"%2\"") \
  X(PlanFilesStopped, "The drift through the files stopped at %1, %2: no wind there") \
  X(SimulationStopped, "Simulation stopped: a particle reached %1 at %2, outside the files or " \
                       "without wind there. %3") \
  /* The forecast's arrows in the preview */ \
  X(ForecastArrows, "Show the wind and current at the datum time in the preview") \
  X(ForecastAtDatumRow, "Forecast at the datum") \
  X(ForecastAtDatumValue, "wind from %1\u00B0T at %2 kn, current toward %3\u00B0T at %4 kn, %5")
// clang-format on

namespace vestrand {

// The name of a line of a language file.
enum class Text : int {
#define VESTRAND_TEXT_NAME(name, english) name,
  VESTRAND_LANGUAGE_LINES(VESTRAND_TEXT_NAME)
#undef VESTRAND_TEXT_NAME
};

// Lines a language file has: one per name.
inline constexpr int kTextLines = 0
#define VESTRAND_TEXT_COUNT(name, english) +1
    VESTRAND_LANGUAGE_LINES(VESTRAND_TEXT_COUNT)
#undef VESTRAND_TEXT_COUNT
    ;

// Lines 1 to this keep their place and their short limit for good.
inline constexpr int kFixedLines = 20;

// The 1-based line of a text in a language file.
constexpr int lineOf(Text name) {
  return static_cast<int>(name) + 1;
}
// The text of a 1-based line; lines 1 to kTextLines only.
constexpr Text textOfLine(int line) {
  return static_cast<Text>(line - 1);
}

// Bytes a line keeps at most: 59 for lines 1 to 20, 399 for the rest.
std::size_t lineLimit(int line);

// The English text of a line.
std::string_view englishText(Text name);

// The texts of one language: English until a language file has been read.
class LanguageTexts {
 public:
  LanguageTexts();

  // Reads a language file. A line keeps at most its lineLimit, never ending inside a character;
  // bytes that are not well-formed UTF-8 become U+FFFD (one per maximal ill-formed subsequence)
  // while that fits; a carriage return before the line feed is dropped. A line the file lacks, or
  // one that leaves nothing to show, gets its English text and is counted as missing.
  // @param[in] fileName a bare name is looked up by the run-time (current directory first, then
  //   the copies built into the program)
  // @return false when the file does not open; the texts are then kept as they were
  bool read(const char* fileName);

  // Lines the last read filled in from English (0 for a complete file), or -1 when that file
  // did not open. 0 before any read.
  int missingLines() const { return missing_; }

  // A text with %1, %2, ... filled in from `values`, UTF-8.
  std::string get(Text name, std::initializer_list<std::string_view> values = {}) const;

 private:
  std::vector<std::string> lines_;
  int missing_ = 0;
};

}  // namespace vestrand
