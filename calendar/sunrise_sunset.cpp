// The sun's rising and setting after Meeus, Astronomical Algorithms, 2nd ed., ch. 15:
// an event is the instant the sun's hour angle H reaches ±H0, cos H0 =
// (sin h0 − sin φ sin δ) / (cos φ cos δ) (15.1), with h0 = −0°50′ for the upper limb
// of the sun: 34′ of standard refraction at the horizon and 16′ of semidiameter. Where
// Meeus interpolates the sun's place between three days, each event here is found by
// Newton's iteration on the hour angle with the sun's place (sun_position.cpp) at the
// current estimate, which also holds near the polar circles, where the declination
// changes noticeably between the rise and the set. The place is geocentric, as the
// almanacs have it: the sun's 9″ of parallax are left out.
//
// Accuracy: from 1900 to 2100, up to 70° north and south, the rises and sets the tests
// compare are within 3 seconds of PyEphem's, except where the sun only grazes the
// horizon, on a day or two around the first and last polar day or night: a rise and a
// set minutes apart then depend on an arc-second of the sun's altitude, and may be
// minutes off, or be missing or found in excess. Real refraction varies with the weather
// by more than all of this: a minute or two at mid-latitudes, much more near the poles.
// Before 1900 and after 2100 the instants carry ΔT's uncertainty
// (calendar/ephemeris_time.cpp) as an error on the earth's rotation: a second of ΔT is
// a second of sunrise. Beyond 70°, where the tests stop, the method holds as well on the
// days the sun clearly rises and sets.

#include "calendar/sunrise_sunset.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "calendar/angles.h"
#include "calendar/ephemeris_time.h"
#include "calendar/local_zone.h"
#include "calendar/sun_position.h"

namespace calendar {

namespace {

constexpr double kStandardAltitude = -50.0 / 60.0 * kPi / 180.0;  // h0, radians
constexpr double kSiderealPerSolar = 1.00273790935;               // the hour angle's turns in a day of universal time

double Centred(double radians) {  // (−π, π]
    double centred = std::remainder(radians, 2 * kPi);
    return centred == -kPi ? kPi : centred;
}

// Days of universal time for the hour angle to move by an angle.
double DaysFor(double angle) { return angle / (2 * kPi * kSiderealPerSolar); }

struct Observer {
    double latitude, longitude;  // radians
};

double HourAngle(const ApparentSun& sun, const Observer& place) {
    return Centred(sun.siderealTime + place.longitude - sun.rightAscension);
}

// cos H0 for the sun's declination; beyond [−1, 1] it does not reach h0 that day.
double CosineOfSemiDiurnalArc(const ApparentSun& sun, const Observer& place) {
    return (std::sin(kStandardAltitude) - std::sin(place.latitude) * std::sin(sun.declination)) /
           (std::cos(place.latitude) * std::cos(sun.declination));
}

bool AboveHorizon(double julianDay, const Observer& place) {
    const ApparentSun sun = SunAt(julianDay);
    const double sinAltitude = std::sin(place.latitude) * std::sin(sun.declination) +
                               std::cos(place.latitude) * std::cos(sun.declination) * std::cos(HourAngle(sun, place));
    return sinAltitude > std::sin(kStandardAltitude);
}

// The sun's upper transit nearest a Julian Day (within half a day of it).
double NearestTransit(double julianDay, const Observer& place) {
    for (int i = 0; i < 2; ++i) julianDay -= DaysFor(HourAngle(SunAt(julianDay), place));
    return julianDay;
}

// The event of the kind nearest an estimate, by Newton's iteration on the hour angle;
// none where the sun does not reach h0 there.
std::optional<double> EventNear(double julianDay, SunEventKind kind, const Observer& place) {
    for (int i = 0; i < 12; ++i) {
        const ApparentSun sun = SunAt(julianDay);
        const double cosine = CosineOfSemiDiurnalArc(sun, place);
        if (!(std::abs(cosine) <= 1.0)) return std::nullopt;
        const double target = kind == SunEventKind::Rise ? -std::acos(cosine) : std::acos(cosine);
        const double step = DaysFor(Centred(target - HourAngle(sun, place)));
        julianDay += step;
        if (std::abs(step) < 0.2 / 86'400.0) return julianDay;
    }
    return std::nullopt;  // no convergence: the sun grazes the horizon
}

// Every rise and set in [start, end), in time order: those of each transit whose events
// can fall there, a rise within half a day before it and a set within half a day after.
std::vector<SunEvent> EventsBetween(UnixSeconds start, UnixSeconds end, const Observer& place) {
    const double first = JulianDayOf(start), last = JulianDayOf(end);
    std::vector<SunEvent> events;
    for (double transit = NearestTransit(first - 0.5, place); transit < last + 0.5;
         transit = NearestTransit(transit + 1.0, place)) {
        const double cosine = std::clamp(CosineOfSemiDiurnalArc(SunAt(transit), place), -1.0, 1.0);
        for (const SunEventKind kind : {SunEventKind::Rise, SunEventKind::Set}) {
            const double arc = DaysFor(std::acos(cosine));
            const auto event = EventNear(kind == SunEventKind::Rise ? transit - arc : transit + arc, kind, place);
            if (!event) continue;
            const UnixSeconds instant = InstantOfJulianDay(*event);
            if (instant >= start && instant < end) events.push_back({.kind = kind, .instant = instant});
        }
    }
    std::sort(events.begin(), events.end(), [](const SunEvent& a, const SunEvent& b) { return a.instant < b.instant; });
    // Two estimates near a grazing can reach the same event.
    events.erase(std::unique(events.begin(), events.end(),
                             [](const SunEvent& a, const SunEvent& b) {
                                 return a.kind == b.kind && std::llabs(a.instant - b.instant) < 60;
                             }),
                 events.end());
    return events;
}

// The instant of the local minute the event is written with: the nearest, unless that
// is the next day's first.
UnixSeconds ShownInstant(UnixSeconds instant, const LocalDay& day) {
    const int second = LocalReadingOf(instant).second;
    const UnixSeconds begun = instant - second;
    return second >= 30 && begun + 60 < day.end ? begun + 60 : begun;
}

// The day's length twice: as shown, the set less the rise as their minutes are
// written; and to the second, from the instants themselves, which the change from
// the day before is reckoned from. Near the solstices the length changes by seconds
// a day: a difference of lengths each rounded to the minute would swing between +1
// and −1 from one day to the next.
struct DayOfSun {
    SunOfDay sun;
    UnixSeconds daylightSeconds = 0;
};

DayOfSun SunWithin(const LocalDay& day, const std::vector<SunEvent>& allEvents, const Observer& place) {
    DayOfSun result;
    bool up = AboveHorizon(JulianDayOf(day.start), place);
    const bool upAtStart = up;
    UnixSeconds since = day.start, shownSince = day.start, shownSeconds = 0;
    for (SunEvent event : allEvents) {
        if (event.instant < day.start || event.instant >= day.end) continue;
        const UnixSeconds shown = ShownInstant(event.instant, day);
        const LocalReading local = LocalReadingOf(shown);
        event.hour = local.hour;
        event.minute = local.minute;
        if (up) {
            shownSeconds += shown - shownSince;
            result.daylightSeconds += event.instant - since;
        }
        since = event.instant;
        shownSince = shown;
        up = event.kind == SunEventKind::Rise;
        result.sun.events.push_back(event);
    }
    if (up) {
        shownSeconds += day.end - shownSince;
        result.daylightSeconds += day.end - since;
    }
    if (result.sun.events.empty()) result.sun.course = upAtStart ? SunCourse::UpAllDay : SunCourse::DownAllDay;
    result.sun.daylightMinutes = static_cast<int>((shownSeconds + 30) / 60);
    return result;
}

}  // namespace

SunOfDay SunOn(int year, int month, int day, Coordinates coordinates) {
    using namespace std::chrono;
    RefreshLocalZone();
    const Observer place{Radians(coordinates.latitude), Radians(coordinates.longitude)};
    const year_month_day previous{sys_days{std::chrono::year{year} / month / day} - days{1}};
    const LocalDay yesterday =
        LocalDayOf(int(previous.year()), int(unsigned(previous.month())), int(unsigned(previous.day())));
    const LocalDay today = LocalDayOf(year, month, day);
    const std::vector<SunEvent> events = EventsBetween(yesterday.start, today.end, place);
    const DayOfSun ofToday = SunWithin(today, events, place);
    SunOfDay sun = ofToday.sun;
    const double change =
        static_cast<double>(ofToday.daylightSeconds - SunWithin(yesterday, events, place).daylightSeconds);
    sun.changeMinutes = static_cast<int>(std::lround(change / 60));
    return sun;
}

std::string SunSentence(const SunOfDay& sun) {
    if (sun.course == SunCourse::UpAllDay) return "Soleil levé toute la journée";
    if (sun.course == SunCourse::DownAllDay) return "Soleil couché toute la journée";
    std::string sentence = "Soleil : ";
    for (const SunEvent& event : sun.events) {
        sentence += event.kind == SunEventKind::Rise ? "lever " : "coucher ";
        sentence += ClockText(event.hour, event.minute, " h ") + ", ";
    }
    char daylight[32];
    std::snprintf(daylight, sizeof daylight, "%d h %02d de jour", sun.daylightMinutes / 60, sun.daylightMinutes % 60);
    sentence += daylight;
    if (sun.changeMinutes == 0) return sentence + " (=)";
    return sentence + (sun.changeMinutes > 0 ? " (+" : " (\u2212") + std::to_string(std::abs(sun.changeMinutes)) +
           " min)";
}

SunFields SunJsonFields(const SunOfDay& sun) {
    SunFields fields;
    fields.dureeDuJour = ClockText(sun.daylightMinutes / 60, sun.daylightMinutes % 60, ":");
    for (const SunEvent& event : sun.events) {
        std::optional<std::string>& field = event.kind == SunEventKind::Rise ? fields.lever : fields.coucher;
        if (!field) field = ClockText(event.hour, event.minute, ":");
    }
    return fields;
}

}  // namespace calendar
