#pragma once
// A day's facts as machines read them: `--json`'s object and the object a status
// bar's custom module reads (`--waybar`). The French lines they carry are those of
// almanac/day_facts.h.

#include <string>

#include "almanac/day_facts.h"

// A JSON string: the quote, the backslash and the control characters escaped, the
// rest kept as UTF-8.
std::string JsonString(const std::string& text);

// The date as AAAA-MM-JJ.
std::string IsoDate(const almanac::DayFacts& facts);

// One JSON object on one line, without the line end: what --json prints. Its
// "evenements" are the day's events, each {"debut", "fin", "journee", "titre",
// "lieu", "agenda"}: local times "2025-05-08T14:00", or for whole days the first
// and the last day, "journee" true (birthdays too); "lieu" null when none.
std::string FactsJson(const almanac::DayFacts& facts);
// One of the "evenements" of FactsJson's object.
std::string EventJson(const agendas::Event& event);

// One JSON object on one line, without the line end, in the keys of a status bar's
// custom module (waybar's "return-type": "json"): "text" the holiday's name on a
// holiday, otherwise the name day (the written date when the list has none);
// "tooltip" the lines of almanac::FactsText, the day's events among them; "class"
// "ferie" on a holiday, otherwise "evenement" on a day with an event of the user's,
// otherwise "jour" (a holiday comes first: a bar colours it whatever else the day
// holds); "alt" the date as AAAA-MM-JJ.
std::string FactsWaybar(const almanac::DayFacts& facts);
