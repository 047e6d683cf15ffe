// The cost of one call of each calendar computation that the window repeats on every
// timer tick, and of loading a large name-day file. The dates are spread over the
// calendar's years and taken in turn, so that no result can be computed once and kept.

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "calendar/easter.h"
#include "calendar/format_date.h"
#include "calendar/moon.h"
#include "calendar/numbers.h"
#include "calendar/places.h"
#include "calendar/seasons.h"
#include "calendar/serial_date.h"
#include "calendar/sunrise_sunset.h"
#include "calendar/week_number.h"
#include "namedays/name_day_file.h"

namespace {

constexpr std::size_t kSpread = 4096;  // a power of two, so that the index wraps with a mask
constexpr int kFirstYear = calendar::kFirstCalendarYear;
constexpr int kLastYear = calendar::kLastCalendarYear;

// Days picked at random over the years 1583 to 9999, each with a time of day.
const std::vector<calendar::SerialDate>& SpreadDates() {
    static const std::vector<calendar::SerialDate> dates = [] {
        std::mt19937 random(20240229);
        std::uniform_int_distribution<long> day(static_cast<long>(calendar::MakeDate(kFirstYear, 1, 1)),
                                                static_cast<long>(calendar::MakeDate(kLastYear, 12, 31)));
        std::uniform_int_distribution<int> second(0, 86399);
        std::vector<calendar::SerialDate> spread(kSpread);
        for (calendar::SerialDate& date : spread) date = static_cast<double>(day(random)) + second(random) / 86400.0;
        return spread;
    }();
    return dates;
}

void BM_WeekNumber(benchmark::State& state) {
    const std::vector<calendar::SerialDate>& dates = SpreadDates();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(calendar::WeekNumber(dates[i++ & (kSpread - 1)]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WeekNumber);

void BM_EasterSunday(benchmark::State& state) {
    std::vector<calendar::Int16> years;
    for (const calendar::SerialDate date : SpreadDates()) years.push_back(calendar::YearOf(date));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(calendar::EasterSunday(years[i++ & (kSpread - 1)]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EasterSunday);

void BM_MoonPictureNumber(benchmark::State& state) {
    struct Day {
        calendar::Int16 year, month, day;
    };
    std::vector<Day> days;
    for (const calendar::SerialDate date : SpreadDates()) {
        days.push_back({calendar::YearOf(date), calendar::MonthOf(date), calendar::DayOf(date)});
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Day& d = days[i++ & (kSpread - 1)];
        benchmark::DoNotOptimize(calendar::MoonPictureNumber(d.year, d.month, d.day));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MoonPictureNumber);

void BM_FormatDateTodayLine(benchmark::State& state) {
    const calendar::LocaleNames names = calendar::FrenchNames();
    const std::vector<calendar::SerialDate>& dates = SpreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(calendar::FormatDate(dates[i++ & (kSpread - 1)], "dddd  dd Mmmm yyyy", names));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatDateTodayLine);

// The sun's rising and setting and the season of a day, or of each day of a month from
// the day on, in Strasbourg, read in France's time.
void SunAndSeasonOfDays(benchmark::State& state, int daysInARow) {
    setenv("TZ", "Europe/Paris", 1);
    const calendar::PlaceRow* strasbourg = calendar::FindPlace("Strasbourg");
    const std::vector<calendar::SerialDate>& dates = SpreadDates();
    std::size_t i = 0;
    for (auto _ : state) {
        const calendar::SerialDate first =
            std::min(calendar::IntPart(dates[i++ & (kSpread - 1)]), calendar::MakeDate(kLastYear, 12, 1));
        for (int day = 0; day < daysInARow; ++day) {
            const calendar::SerialDate date = first + day;
            const int y = calendar::YearOf(date).value(), m = calendar::MonthOf(date).value(),
                      d = calendar::DayOf(date).value();
            benchmark::DoNotOptimize(calendar::SunOn(y, m, d, calendar::CoordinatesOf(*strasbourg)));
            benchmark::DoNotOptimize(calendar::SeasonOn(y, m, d, strasbourg->latitude));
        }
    }
    state.SetItemsProcessed(state.iterations() * daysInARow);
    unsetenv("TZ");
}

void BM_SunAndSeasonOfADay(benchmark::State& state) { SunAndSeasonOfDays(state, 1); }
BENCHMARK(BM_SunAndSeasonOfADay);

void BM_SunAndSeasonOfAMonth(benchmark::State& state) { SunAndSeasonOfDays(state, 31); }
BENCHMARK(BM_SunAndSeasonOfAMonth);

// A name-day file of 1,000,000 fields, written once in a temporary folder and removed
// at exit: 500,000 lines of a day number and a name, in the shipped list's format
// (Windows-1252, CR LF), one name in sixteen quoted with a comma inside.
class LargeNameDayFile {
public:
    static constexpr std::size_t kLines = 500'000;
    static constexpr std::size_t kFields = 2 * kLines;
    static constexpr std::size_t kEntries = kLines;  // the day numbers are dropped

    LargeNameDayFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "solvane-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        path_ = folder_ / "fetes.txt";
        static const char* const kNames[] = {"Marie",         "Basile",     "Genevi\xE8ve",   "Odilon",
                                             "\xC9\x64ouard", "M\xE9laine", "Thomas d'Aquin", "Fran\xE7ois de Sales"};
        std::string bytes;
        for (std::size_t line = 0; line < kLines; ++line) {
            bytes += std::to_string(line % 31 + 1);
            bytes += ',';
            if (line % 16 == 15) {
                bytes += "\"R\xE9mi, Remy\"";
            } else {
                bytes += kNames[line % 8];
            }
            bytes += "\r\n";
        }
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path_.string());
        size_ = bytes.size();
    }
    ~LargeNameDayFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    LargeNameDayFile(const LargeNameDayFile&) = delete;
    LargeNameDayFile& operator=(const LargeNameDayFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::size_t size() const { return size_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::size_t size_ = 0;
};

void BM_ReadNameDayFileMillionFields(benchmark::State& state) {
    static const LargeNameDayFile file;
    for (auto _ : state) {
        const std::vector<std::string> entries = namedays::ReadNameDayFile(file.path());
        if (entries.size() != LargeNameDayFile::kEntries) {
            state.SkipWithError("the file did not give one entry per line");
            break;
        }
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(LargeNameDayFile::kFields));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ReadNameDayFileMillionFields)->Unit(benchmark::kMillisecond);

}  // namespace
