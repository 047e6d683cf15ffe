#pragma once
// `solvane --ajouter "jeudi 18 h 30 Piscine"`: the phrase read by the quick-add line's
// reader (agendas/quick_entry.h) and the event written in the user's calendar, the
// one --agenda names, else the writable one chosen for new events, else the gadget's
// own local calendar, made then and listed among the agendas (agendas/
// writable_sources.h). It prints the event as --texte shows a day's events, after the
// day's date, or with --json as one of "evenements". A phrase without a day or a time
// it can read is a French sentence and status 2, with nothing written.

#include <string>

#include "terminal/options.h"
#include "terminal/terminal_facts.h"

TerminalAnswer AddEventAnswer(const TerminalRequest& request, const std::string& programFolder);
