#pragma once
// What a screen reader learns of the month calendar's grid. Qt's own reading of a
// table gives each cell its shown text as name and nothing as description, and the
// calendar's cells are not ours to change; this reading names the weekday headers by
// their whole names (« lundi », not « lun. ») and describes each day by its tooltip,
// the day's facts. Installed once, for every month calendar of the program.

void InstallCalendarGridReading();
